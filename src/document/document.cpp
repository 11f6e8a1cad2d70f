#include "document/document.h"

#include "document/fileformat.h"
#include "document/placeholders.h"
#include "elements/registers.h"
#include "platform/config.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "platform/stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

TDocumentHost::~TDocumentHost() = default;

// Texts find their document (for page numbers, file data, user variables) through this entry.
TDocument::TDocument() { RegisterPlaceholderDocument(this); }

TDocument::~TDocument() {
    UnregisterPlaceholderDocument(this);
    // Sheets go first: their elements may still be named by the registers of a load.
    m_current = m_previous = nullptr;
    m_history.clear();
    m_sheets.clear();
}

int TDocument::IndexOf(const TEditor* sheet) const {
    for (size_t i = 0; i < m_sheets.size(); ++i)
        if (m_sheets[i].get() == sheet) return int(i);
    return -1;
}

std::vector<TElementList*> TDocument::ElementLists() const {
    std::vector<TElementList*> lists;
    lists.reserve(m_sheets.size());
    for (const auto& s : m_sheets) lists.push_back(&s->Elements);
    return lists;
}

bool TDocument::IsLoading() const { return g_ElementSwitches.LoadingMark; }

TEditor& TDocument::AppendSheet(std::unique_ptr<TEditor> sheet) {
    m_sheets.push_back(std::move(sheet));
    return *m_sheets.back();
}

void TDocument::NotifyCurrent() {
    if (Host) Host->CurrentSheetChanged();
}

TEditor& TDocument::CreateSheet(bool withDefaultFormSheet, bool refresh) {
    TEditor* leaving = m_current;
    if (leaving && !IsLoading() && Host) Host->SyncShownSheet(*leaving);
    auto made = std::make_unique<TEditor>();
    made->SheetName = GetMessage(5077);
    // The settings come from a file the user can edit; the sheet stays usable whatever it says.
    made->SheetWidth = std::clamp(Settings.NewSheetWidth, 1, 100000);
    made->SheetHeight = std::clamp(Settings.NewSheetHeight, 1, 100000);
    made->GridSize = std::clamp(Settings.NewSheetGrid, 1, 100000);
    TEditor& sheet = AppendSheet(std::move(made));
    m_current = &sheet;
    if (Host) Host->SheetCreated(sheet);
    if (refresh && Host) Host->SheetsChanged();
    if (!IsLoading()) {
        // The sheet is current already; showing it makes the one before it the previous sheet.
        m_current = leaving;
        ShowSheet(SheetCount() - 1);
    }
    if (withDefaultFormSheet && !Settings.DefaultFormSheet.isEmpty() &&
        QFileInfo::exists(Settings.DefaultFormSheet)) {
        TLoadOptions options;
        options.ApplyingDefaultFormSheet = true;
        LoadDocumentFile(*this, Settings.DefaultFormSheet, FileKind::FormSheetFile, options);
    }
    return sheet;
}

void TDocument::ShowSheet(int index) {
    if (index < 0 || index >= SheetCount()) return;
    TEditor* target = m_sheets[size_t(index)].get();
    if (m_current && m_current != target) {
        if (Host && !IsLoading()) Host->SyncShownSheet(*m_current);
        m_previous = m_current;
    }
    m_current = target;
    if (std::find(m_history.begin(), m_history.end(), target) == m_history.end()) {
        m_history.insert(m_history.begin(), target);
        if (m_history.size() > 5) m_history.resize(5);
    }
    NotifyCurrent();
}

void TDocument::RemoveSheet(int index) {
    if (index < 0 || index >= SheetCount()) return;
    TEditor* sheet = m_sheets[size_t(index)].get();
    if (Host) Host->SheetDeleting(*sheet);
    std::erase(m_history, sheet);
    if (m_previous == sheet) m_previous = nullptr;
    const bool wasCurrent = m_current == sheet;
    if (wasCurrent) m_current = nullptr;
    m_sheets.erase(m_sheets.begin() + index);
    if (wasCurrent && !m_sheets.empty()) {
        const int next = std::min(index, SheetCount() - 1);
        if (IsLoading())
            m_current = m_sheets[size_t(next)].get();
        else
            ShowSheet(next);
    }
    if (Host) Host->SheetsChanged();
}

void TDocument::DeleteAllSheets() {
    if (Host)
        for (const auto& s : m_sheets) Host->SheetDeleting(*s);
    m_current = m_previous = nullptr;
    m_history.clear();
    m_sheets.clear();
    if (Host) Host->SheetsChanged();
}

void TDocument::MoveSheet(int from, int to) {
    if (from < 0 || from >= SheetCount() || to < 0 || to >= SheetCount() || from == to) return;
    auto sheet = std::move(m_sheets[size_t(from)]);
    m_sheets.erase(m_sheets.begin() + from);
    m_sheets.insert(m_sheets.begin() + to, std::move(sheet));
}

void TDocument::SheetsChanged() {
    Modified = true;
    RefreshPageDependentLabels(*this, false);
    if (Host) {
        Host->SheetsChanged();
        Host->PageLabelsChanged();
    }
}

QString TDocument::SheetCaption(int index, bool withNumber) const {
    const TEditor& sheet = Sheet(index);
    const QString number = QString::number(index + 1);
    if (sheet.ReserveSheet) return QLatin1Char('(') + number + QLatin1Char(')');
    QString caption = sheet.SheetName;
    if (caption.contains(QLatin1Char('<')) && caption.contains(QLatin1Char('>')))
        caption = ReplaceUserVariables(caption, UserVariables);
    if (SheetPageNumbers || withNumber) caption = number + QStringLiteral(": ") + caption;
    return caption;
}

QString TDocument::TabText(int index) const {
    return QStringLiteral("  ") + SheetCaption(index) + QStringLiteral("  ");
}

QString TDocument::WindowCaption() const {
    QString caption = QStringLiteral("Kavro 8.0");
    if (IsViewer()) caption += QStringLiteral(" - Viewer");
    if (!FileName.isEmpty()) caption += QStringLiteral(" - [") + FileName + QLatin1Char(']');
    return caption;
}

// ---------------------------------------------------------------------------------------------
// Sheet commands

TEditor& TDocument::InsertNewSheet(int position) {
    TEditor& sheet = CreateSheet(true);
    MoveSheet(SheetCount() - 1, std::clamp(position, 0, SheetCount() - 1));
    SheetsChanged();
    return sheet;
}

TEditor& TDocument::AppendNewSheet() {
    TEditor& sheet = CreateSheet(true);
    SheetsChanged();
    return sheet;
}

namespace {
class TLoadingScope {
public:
    TLoadingScope() : m_saved(g_ElementSwitches.LoadingMark) { g_ElementSwitches.LoadingMark = true; }
    ~TLoadingScope() { g_ElementSwitches.LoadingMark = m_saved; }
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
    bool m_saved;
};
} // namespace

void TDocument::CopySheet(int source, int position, int count) {
    if (source < 0 || source >= SheetCount() || count < 1) return;
    position = std::clamp(position, 0, SheetCount());
    TEditor* const shown = m_current;
    if (Host) {
        Host->SetBusy(true);
        if (m_current) Host->SyncShownSheet(*m_current);
        Host->SetSheetAreaVisible(false);
    }
    TEditor* last = nullptr;
    {
        TLoadingScope loading;
        QByteArray buffer;
        {
            TStreamWriter w(&buffer);
            WriteSheetRecord(w, Sheet(source));
        }
        for (int k = 0; k < count; ++k) {
            ComponentRegister().clear();
            LoadedTextRegister().clear();
            const int before = SheetCount();
            try {
                TStreamReader r(buffer);
                ReadSheetRecord(r, *this, kCurrentFileVersion);
            } catch (const std::exception&) {
                // The program's own record always reads back; should an element fail, the copy
                // is dropped rather than half made.
                ComponentRegister().clear();
                LoadedTextRegister().clear();
                if (SheetCount() > before) RemoveSheet(SheetCount() - 1);
                break;
            }
            RelinkComponents(ElementLists(), false);
            RenewDuplicateTextIds(ElementLists());
            TEditor& copy = Sheet(SheetCount() - 1);
            copy.SheetName = GetMessage(5078) + QLatin1Char(' ') + copy.SheetName;
            const int target = std::min(position + k, SheetCount() - 1);
            if (IndexOf(&copy) != target) MoveSheet(IndexOf(&copy), target);
            last = &copy;
        }
        ComponentRegister().clear();
        LoadedTextRegister().clear();
    }
    if (Host) Host->SetSheetAreaVisible(true);
    SheetsChanged();
    // Reading the copies made each the current sheet in turn; the last copy is shown, coming
    // from the sheet that was shown before.
    m_current = shown;
    if (last) ShowSheet(IndexOf(last));
    if (Host) Host->SetBusy(false);
}

bool TDocument::DeleteCurrentSheet() {
    if (!m_current) return false;
    if (SheetCount() < 2) {
        Prompts().Information(GetMessage(5001));
        return false;
    }
    const QString question = GetMessage(5000) + QStringLiteral(" \"") + m_current->SheetName +
                             QStringLiteral("\" ?");
    if (Prompts().Ask(question, TPromptButtons::YesNo) != TPromptResult::Yes) return false;
    RemoveSheet(CurrentIndex());
    SheetsChanged();
    return true;
}

bool TDocument::MoveCurrentSheet(TSheetMove move) {
    const int from = CurrentIndex();
    if (from < 0) return false;
    int to = from;
    switch (move) {
    case TSheetMove::First: to = 0; break;
    case TSheetMove::Last: to = SheetCount() - 1; break;
    case TSheetMove::Left: to = from - 1; break;
    case TSheetMove::Right: to = from + 1; break;
    }
    if (to < 0 || to >= SheetCount() || to == from) return false;
    MoveSheet(from, to);
    SheetsChanged();
    return true;
}

bool TDocument::SortSheets(const std::vector<int>& order) {
    if (int(order.size()) != SheetCount()) return false;
    std::vector<bool> seen(order.size(), false);
    for (int i : order) {
        if (i < 0 || i >= SheetCount() || seen[size_t(i)]) return false;
        seen[size_t(i)] = true;
    }
    std::vector<std::unique_ptr<TEditor>> sorted;
    sorted.reserve(order.size());
    for (int i : order) sorted.push_back(std::move(m_sheets[size_t(i)]));
    m_sheets = std::move(sorted);
    SheetsChanged();
    return true;
}

bool TDocument::LoadSheetFile(const QString& fileName, int position) {
    const int before = SheetCount();
    if (!LoadDocumentFile(*this, fileName, FileKind::SheetFile)) return false;
    if (SheetCount() > before) {
        MoveSheet(SheetCount() - 1, std::clamp(position, 0, SheetCount() - 1));
        ShowSheet(IndexOf(m_current));
    }
    SheetsChanged();
    return true;
}

bool TDocument::SaveSheetFile(const QString& fileName) {
    return SaveDocumentFile(*this, fileName, FileKind::SheetFile);
}

// ---------------------------------------------------------------------------------------------
// Form sheet

bool TDocument::SaveFormSheet(const QString& fileName) {
    return SaveDocumentFile(*this, fileName, FileKind::FormSheetFile);
}

bool TDocument::LoadFormSheet(const QString& fileName, const std::vector<int>& sheets) {
    TEditor* was = m_current;
    bool ok = true;
    TLoadOptions options;
    options.ReplaceFormSheet = true;
    for (int index : sheets) {
        if (index < 0 || index >= SheetCount()) continue;
        ShowSheet(index);
        if (!LoadDocumentFile(*this, fileName, FileKind::FormSheetFile, options)) {
            ok = false;
            break;
        }
    }
    if (was) ShowSheet(IndexOf(was));
    return ok;
}

bool TDocument::LoadFormSheetCommand(const QString& fileName) {
    if (!m_current) return false;
    std::vector<int> sheets{CurrentIndex()};
    if (SheetCount() > 1) {
        std::vector<int> all(static_cast<size_t>(SheetCount()));
        for (int i = 0; i < SheetCount(); ++i) all[size_t(i)] = i;
        sheets = Host ? Host->ChooseSheets(5050, all, sheets) : std::vector<int>{};
        if (sheets.empty()) return false;
    }
    return LoadFormSheet(fileName, sheets);
}

std::vector<int> TDocument::SheetsWithFormSheet() const {
    std::vector<int> out;
    for (int i = 0; i < SheetCount(); ++i)
        if (Sheet(i).HasFormSheet()) out.push_back(i);
    return out;
}

bool TDocument::RemoveFormSheets(const std::vector<int>& sheets) {
    if (sheets.empty()) return false;
    if (Prompts().Ask(GetMessage(5028), TPromptButtons::YesNo) != TPromptResult::Yes) return false;
    for (int index : sheets) {
        if (index < 0 || index >= SheetCount() || !Sheet(index).HasFormSheet()) continue;
        TEditor& sheet = Sheet(index);
        sheet.RecordUndo();
        sheet.DeleteFormSheetElements();
    }
    // Until every sheet records its undo steps, the removal must count as a change by itself.
    Modified = true;
    return true;
}

bool TDocument::RemoveFormSheetCommand() {
    const std::vector<int> candidates = SheetsWithFormSheet();
    if (candidates.empty()) {
        Prompts().Information(GetMessage(5045));
        return false;
    }
    std::vector<int> preselected;
    if (std::find(candidates.begin(), candidates.end(), CurrentIndex()) != candidates.end())
        preselected.push_back(CurrentIndex());
    const std::vector<int> chosen = Host ? Host->ChooseSheets(5051, candidates, preselected)
                                         : std::vector<int>{};
    return RemoveFormSheets(chosen);
}

void TDocument::ToggleFormSheetEditing() {
    if (!m_current) return;
    m_current->SetFormSheetEditing(!m_current->FormSheetEditing);
    if (Host) Host->FormSheetEditingChanged();
}

// ---------------------------------------------------------------------------------------------
// Document commands

bool TDocument::HasChanges() const {
    if (Modified) return true;
    return std::any_of(m_sheets.begin(), m_sheets.end(),
                       [](const auto& s) { return s->HasUndoSteps(); });
}

bool TDocument::AskSaveChanges() {
    const bool componentEditor = m_current && m_current->ComponentEditorSheet;
    if (!componentEditor && !IsViewer() && HasChanges()) {
        const QString question =
            FileName.isEmpty() ? GetMessage(5012)
                               : GetMessage(5013) + QStringLiteral(" \"") +
                                     QFileInfo(FileName).fileName() + QLatin1Char('"');
        const TPromptResult answer = Prompts().Ask(question, TPromptButtons::YesNoCancel);
        if (answer == TPromptResult::Cancel) return false;
        // The command goes on only when the changes are safe on the disk.
        if (answer == TPromptResult::Yes && !Save()) return false;
    }
    Modified = false;
    return true;
}

bool TDocument::New() {
    if (!AskSaveChanges()) return false;
    DeleteAllSheets();
    CreateSheet(true);
    FileName.clear();
    UserVariables.clear();
    PrintSelection.clear();
    Modified = false;
    if (Host) Host->FileNameChanged();
    return true;
}

bool TDocument::Open(const QString& fileName, bool askToSave) {
    if (askToSave && !AskSaveChanges()) return false;
    DeleteAllSheets();
    FileName = QFileInfo(fileName).absoluteFilePath();
    const bool ok = LoadDocumentFile(*this, FileName, FileKind::Document);
    if (ok)
        AddRecentFile(FileName);
    else
        FileName.clear();
    if (Host) Host->FileNameChanged();
    return ok;
}

bool TDocument::OpenRecent(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) {
        PruneRecentFiles();
        return false;
    }
    return Open(fileName);
}

bool TDocument::Save() {
    if (FileName.isEmpty()) return SaveAs();
    FileName = ApplyKav8Extension(FileName);
    if (Host) Host->FileNameChanged();
    if (!SaveDocumentFile(*this, FileName, FileKind::Document)) return false;
    if (!InTemplateFolder(FileName)) AddRecentFile(FileName);
    return true;
}

bool TDocument::SaveAs() {
    const QString chosen = Host ? Host->ChooseSaveFileName(FileName, Settings.DocumentFolder)
                                : QString();
    if (chosen.isEmpty()) return false;
    return SaveAs(chosen);
}

bool TDocument::SaveAs(const QString& fileName) { return SaveDocumentAs(fileName, false); }

bool TDocument::SaveDocumentAs(const QString& fileName, bool keepState) {
    if (fileName.isEmpty()) return false;
    const QString previous = FileName;
    FileName = ApplyKav8Extension(QFileInfo(fileName).absoluteFilePath());
    if (Host) Host->FileNameChanged();
    if (!SaveDocumentFile(*this, FileName, FileKind::Document, keepState)) {
        FileName = previous;
        if (Host) Host->FileNameChanged();
        return false;
    }
    if (!InTemplateFolder(FileName)) AddRecentFile(FileName);
    return true;
}

QStringList TDocument::TemplateFiles() const {
    if (Settings.TemplateFolder.isEmpty()) return {};
    QDir dir(Settings.TemplateFolder);
    dir.setNameFilters({QStringLiteral("*.kav*")});
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList out;
    for (const QFileInfo& fi : dir.entryInfoList()) out.append(fi.absoluteFilePath());
    return out;
}

bool TDocument::NewFromTemplate(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) return false;
    if (!AskSaveChanges()) return false;
    DeleteAllSheets();
    const QString folder = Settings.DocumentFolder;
    TLoadOptions options;
    options.AsTemplate = true;
    const bool ok = LoadDocumentFile(*this, fileName, FileKind::Document, options);
    FileName.clear();
    Settings.DocumentFolder = folder;
    Modified = false;
    if (Host) Host->FileNameChanged();
    return ok;
}

bool TDocument::SaveAsTemplate() {
    const QString chosen =
        Host ? Host->ChooseSaveFileName(QString(), Settings.TemplateFolder) : QString();
    if (chosen.isEmpty()) return false;
    return SaveAsTemplate(chosen);
}

bool TDocument::SaveAsTemplate(const QString& fileName) {
    // The document keeps its own file, folder and unsaved state: the template is a copy.
    const QString name = FileName;
    const QString folder = Settings.DocumentFolder;
    const bool ok = SaveDocumentAs(fileName, true);
    FileName = name;
    Settings.DocumentFolder = folder;
    if (Host) Host->FileNameChanged();
    return ok;
}

bool TDocument::InTemplateFolder(const QString& fileName) const {
    if (Settings.TemplateFolder.isEmpty()) return false;
    return QDir::cleanPath(QFileInfo(fileName).absolutePath()) ==
           QDir::cleanPath(QDir(Settings.TemplateFolder).absolutePath());
}

void TDocument::AddRecentFile(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    Settings.RecentFiles.removeAll(path);
    Settings.RecentFiles.prepend(path);
    while (Settings.RecentFiles.size() > kMaxRecentFiles) Settings.RecentFiles.removeLast();
}

void TDocument::PruneRecentFiles() {
    Settings.RecentFiles.removeIf([](const QString& f) { return !QFileInfo::exists(f); });
}

bool TDocument::Autosave() {
    if (IsViewer() || FileName.isEmpty()) return false;
    if (std::any_of(m_sheets.begin(), m_sheets.end(),
                    [](const auto& s) { return s->ComponentEditorSheet; }))
        return false;
    if (QFileInfo(FileName).suffix().toLower() == QLatin1String("bak")) return false;
    return SaveDocumentFile(*this, AutosaveFileName(FileName), FileKind::Document, true);
}

QString ApplyKav8Extension(const QString& fileName) {
    const QFileInfo fi(fileName);
    if (fi.suffix().compare(QLatin1String("kav8"), Qt::CaseInsensitive) == 0) return fileName;
    const QString renamed = fi.suffix().isEmpty()
                                ? fileName + QStringLiteral(".kav8")
                                : fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".kav8"));
    // A rename never replaces a file that exists under the new name.
    if (fi.exists() && !QFileInfo::exists(renamed)) QFile::rename(fileName, renamed);
    return renamed;
}
