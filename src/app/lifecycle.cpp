#include "app/lifecycle.h"

#include "app/settings.h"
#include "document/document.h"
#include "document/fileformat.h"
#include "elements/MyD2D.h"
#include "platform/folders.h"
#include "platform/inifile.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QFileInfo>
#include <QTimer>

const char* const MainSettingsFileName = "KAVRO80.INI";
const char* const ViewerSettingsFileName = "KAVRO80_VIEWER.INI";
const char* const LanguageFileName = "SPRACHE.INI";

namespace {
const QChar CR = u'\r';

bool IsSwitch(const QString& arg, const char* name) {
    return arg.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}
} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    TCommandLine cl;
    QStringList parts;
    for (const QString& arg : arguments) {
        if (IsSwitch(arg, "/nod2d") || IsSwitch(arg, "--nod2d"))
            cl.NoD2D = true;
        else if (IsSwitch(arg, "/-T"))
            cl.NoStartupWindow = true;
        else
            parts.append(arg);
    }
    cl.FileName = parts.join(u' ');
    return cl;
}

TAppLifecycle::TAppLifecycle(bool viewer, TDocument& document, QObject* parent)
    : QObject(parent), m_viewer(viewer), m_document(document), m_autosave(new QTimer(this)) {
    m_autosave->setObjectName(QStringLiteral("AutosaveTimer"));
    m_autosave->setInterval(TAutosaveSettings::DefaultIntervalMs);
    connect(m_autosave, &QTimer::timeout, this, &TAppLifecycle::OnAutosaveTimer);
}

TAppLifecycle::~TAppLifecycle() = default;

void TAppLifecycle::ReadLanguage() {
    const QString name = QString::fromLatin1(LanguageFileName);
    QString file = ProgramFolder() + name;
    if (!QFileInfo(file).isFile()) file = ::DataFolder() + name;
    const TMemIniFile ini(file);
    const int language = ini.ReadInteger(QStringLiteral("Sprache"), QStringLiteral("Sprache"), 0);
    m_language = language >= 0 && language <= 2 ? language : 0;
    SetInterfaceLanguage(m_language);
}

void TAppLifecycle::DetermineFolders() {
    m_dataFolder = ::DataFolder();
    m_documentsFolder = ::DocumentsFolder();
    // Created here already, so that the message table of a first start can be written into it.
    EnsureDataFolder();
    m_colorFile = m_dataFolder + QStringLiteral("KAVRO_COLORS.DAT");
}

void TAppLifecycle::BuildMessageTable() {
    InitMessageTable(m_dataFolder, m_viewer);
}

void TAppLifecycle::OpenSettingsFiles() {
    EnsureDataFolder();
    m_mainIni = std::make_unique<TMemIniFile>(m_dataFolder + QLatin1String(MainSettingsFileName));
    m_viewerIni =
        std::make_unique<TMemIniFile>(m_dataFolder + QLatin1String(ViewerSettingsFileName));
}

void TAppLifecycle::InitialiseDocument() {
    m_document.FileName.clear();
    m_document.ComponentPageNumbers = false;
    m_document.PageNumberPrefix.clear();
    m_document.SheetPageNumbers = true;
}

void TAppLifecycle::ReadSettingsFiles() {
    const TSettingsTargets targets = RunningSettings(m_document.Settings);
    ResetSettings(targets);
    TAppSettings& s = targets.App;
    ReadSettings(*m_mainIni, targets, {m_dataFolder, m_documentsFolder, m_language, m_viewer});
    if (m_viewer) {
        s.View.Kontrast = 0;
        s.Scaling.UserScalingAuto = true;
    }
    ApplyAutosaveSettings();
}

void TAppLifecycle::ChooseRenderer(const TCommandLine& commandLine) {
    TRenderSettings& r = g_RenderSettings;
    if (m_viewer) r.UseD2D = true;
    if (commandLine.NoD2D) r.UseD2D = false;
    if (r.UseD2D && Hooks.SetUpRenderer && !Hooks.SetUpRenderer()) {
        // The switched-off value is what the shutdown saves.
        r.UseD2D = false;
        m_rendererFailed = true;
        Prompts().Information(GetMessage(5044));
    }
    m_runningAntialiased = r.UseD2D;
}

void TAppLifecycle::CreateFirstSheet() {
    m_document.CreateSheet(true);
    m_document.Modified = false;
}

void TAppLifecycle::ReadDeferredSections() {
    ReadDeferredSettings(*m_mainIni, Settings(), m_viewer);
}

void TAppLifecycle::RestoreLibraryPage() {
    TLibrarySettings& lib = Settings().Library;
    QString page = lib.AktLibFile;
    if (!page.toLower().contains(lib.BiboDir.toLower())) page.clear();
    if (Hooks.FirstLibraryPage && !QFileInfo(page).isFile())
        page = Hooks.FirstLibraryPage(lib.BiboDir);
    lib.AktLibFile = page;
    if (Hooks.LoadLibraryPage && QFileInfo(page).isFile()) Hooks.LoadLibraryPage(page);
}

void TAppLifecycle::ReadViewerSettings() {
    m_document.Settings.RecentFiles.clear();
    ReadRecentFiles(*m_viewerIni, m_document.Settings.RecentFiles);
    ReadWindowPlacement(*m_viewerIni, Settings().Window);
}

void TAppLifecycle::OpenCommandLineDocument(const TCommandLine& commandLine) {
    const QString& file = commandLine.FileName;
    if (file.isEmpty() || !QFileInfo(file).isFile()) return;
    m_document.DeleteAllSheets();
    m_document.FileName = QFileInfo(file).absoluteFilePath();
    if (LoadDocumentFile(m_document, m_document.FileName, FileKind::Document))
        m_document.AddRecentFile(m_document.FileName);
    else
        m_document.FileName.clear();
    m_document.Modified = false;
    if (Hooks.DocumentNameChanged) Hooks.DocumentNameChanged();
}

void TAppLifecycle::ViewerLanguageChoice(const std::function<int(int)>& choose) {
    const QString general = QStringLiteral("General");
    const QString key = QStringLiteral("Sprache");
    const int stored = m_viewerIni->ReadInteger(general, key, -1);
    if (stored >= 0 && stored <= 2) {
        m_language = stored;
        SetInterfaceLanguage(m_language);
        return;
    }
    m_language = 1;
    SetInterfaceLanguage(m_language);
    const int chosen = choose ? choose(m_language) : -1;
    if (chosen < 0 || chosen > 2) return;
    m_language = chosen;
    SetInterfaceLanguage(m_language);
    m_viewerIni->WriteInteger(general, key, chosen);
    m_viewerIni->UpdateFile();
}

bool TAppLifecycle::ChangeViewerLanguage(int language) {
    if (language < 0 || language > 2 || language == m_language) return false;
    m_language = language;
    SetInterfaceLanguage(m_language);
    m_viewerIni->WriteInteger(QStringLiteral("General"), QStringLiteral("Sprache"), language);
    m_viewerIni->UpdateFile();
    return true;
}

bool TAppLifecycle::CloseQuery() {
    if (Hooks.ComponentEditorOpen && Hooks.ComponentEditorOpen()) {
        if (Hooks.CancelComponentEditor) Hooks.CancelComponentEditor();
        return false;
    }
    if (!m_document.AskSaveChanges()) return false;
    m_phase = TPhase::Closing;
    return true;
}

TMemIniFile* TAppLifecycle::WrittenIni() const {
    return m_viewer ? m_viewerIni.get() : m_mainIni.get();
}

void TAppLifecycle::Shutdown() {
    m_autosave->stop();
    TMemIniFile* ini = WrittenIni();
    if (ini) {
        bool filled;
        if (m_viewer) {
            filled = WriteViewerSettings(*ini, m_document.Settings.RecentFiles, Settings().Window);
        } else {
            filled = WriteSettings(*ini, RunningSettings(m_document.Settings));
            if (!filled)
                Prompts().Information(GetMessage(5004) + CR + CR + u'"' + ini->FileName() + u'"');
        }
        // A file that could not be read is not replaced by what little is known of it; an
        // object nobody changed leaves the file as it is, byte for byte.
        if (ini->ReadFailed() || (ini->Modified() && !ini->UpdateFile()))
            Prompts().Information(GetMessage(5058) + CR + CR + ini->FileName());
    }
    m_mainIni.reset();
    m_viewerIni.reset();
    if (Hooks.CloseLibraryPage) Hooks.CloseLibraryPage();
    m_document.DeleteAllSheets();
    m_phase = TPhase::Closed;
}

void TAppLifecycle::ApplyAutosaveSettings() {
    const TAutosaveSettings& a = Settings().Autosave;
    m_autosave->setInterval(a.IntervalMs > 0 ? a.IntervalMs : TAutosaveSettings::DefaultIntervalMs);
    if (a.Enabled && !m_viewer)
        m_autosave->start();
    else
        m_autosave->stop();
}

void TAppLifecycle::OnAutosaveTimer() {
    if (Hooks.AutosaveAllowed && !Hooks.AutosaveAllowed()) return;
    // No tick may come while the document is being written.
    m_autosave->stop();
    m_document.Autosave();
    if (Settings().Autosave.Enabled && !m_viewer) m_autosave->start();
}
