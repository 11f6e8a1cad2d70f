#pragma once

#include "document/uservars.h"
#include "editor/editor.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Settings the document reads; the start-up code fills them from the settings file and writes
// them back at shutdown. Defaults are those of a first start.
struct TDocumentSettings {
    // "Blatt-Default"
    qint32 NewSheetWidth = 297;  // "Breite", mm
    qint32 NewSheetHeight = 210; // "Hoehe", mm
    qint32 NewSheetGrid = 10;    // "Raster", world units
    QString DefaultFormSheet;    // "Formblatt": file loaded into new sheets; empty for none
    bool KeepFileInfo = false;   // "Dateiinfo": a save keeps the old file's permissions
    bool BackupOnOpen = true;    // "DateiBackup": opening copies the file to "Backup_of_..."
    // Folders (paths end with "/"): the last document folder ("KAV_Verz"), the form-sheet
    // folder ("Formblatt_Verz") and the templates folder ("Vorlagen_Verz").
    QString DocumentFolder;
    QString FormSheetFolder;
    QString TemplateFolder;
    // [MRU]: recently opened documents, most recent first.
    QStringList RecentFiles;
};
constexpr int kMaxRecentFiles = 8;

class TDocument;

// What the document needs from the window that shows it. Every call has a default that does
// nothing (or cancels), so the document works without a window: in kavro-cli and in tests.
class TDocumentHost {
public:
    virtual ~TDocumentHost();
    // The sheet list, its order or a caption changed: tabs, menus and the pages panel follow.
    virtual void SheetsChanged() {}
    // Another sheet became the current one.
    virtual void CurrentSheetChanged() {}
    // The file name changed (window caption).
    virtual void FileNameChanged() {}
    // Page numbers, sheet names or user variables changed: page-dependent labels follow.
    virtual void PageLabelsChanged() {}
    // The sheet's form-sheet editing was switched.
    virtual void FormSheetEditingChanged() {}
    // A new sheet exists: connect its events, give it the current drawing tool.
    virtual void SheetCreated(TEditor& sheet) {}
    // The shown sheet is about to be left or saved: store its live scroll position into
    // ScrollPosition, end pending interactive operations.
    virtual void SyncShownSheet(TEditor& sheet) {}
    // A sheet is about to be freed.
    virtual void SheetDeleting(TEditor& sheet) {}
    virtual void SetBusy(bool busy) {}
    virtual void SetSheetAreaVisible(bool visible) {}
    // Before a load error is shown (the start-up information window closes).
    virtual void LoadErrorShowing() {}
    // The file dialog of "Save as": empty for Cancel.
    virtual QString ChooseSaveFileName(const QString& preset, const QString& startFolder) {
        return {};
    }
    // A page-selection dialog over the given sheet indices; empty for Cancel.
    virtual std::vector<int> ChooseSheets(int titleMessage, const std::vector<int>& candidates,
                                          const std::vector<int>& preselected) {
        return {};
    }
};

// The open document: an ordered list of sheets with document-wide options and the identity of
// its file. While the program runs the list is never empty; a document fresh from the
// constructor has no sheet until New (or a load) gives it one.
class TDocument {
public:
    TDocument();
    ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    TDocumentSettings Settings;
    TDocumentHost* Host = nullptr; // not owned; none for no window

    QString FileName; // full path; empty for an untitled document
    bool Modified = false;
    TUserVariables UserVariables;
    bool ComponentPageNumbers = false; // "Bauteile mit Seitennummer"
    bool SheetPageNumbers = false;     // "Blätter mit Seitennummer"
    QString PageNumberPrefix;
    QString PrintSelection;

    // Sheets.
    int SheetCount() const { return int(m_sheets.size()); }
    TEditor& Sheet(int index) const { return *m_sheets.at(size_t(index)); }
    int IndexOf(const TEditor* sheet) const;
    TEditor* CurrentSheet() const { return m_current; }
    int CurrentIndex() const { return IndexOf(m_current); }
    TEditor* PreviousSheet() const { return m_previous; }
    // Most recently shown sheets, most recent first, at most five.
    const std::vector<TEditor*>& SheetHistory() const { return m_history; }
    void ClearSheetHistory() { m_history.clear(); }
    // Every sheet's element list, in document order (scope of re-linking and searches).
    std::vector<TElementList*> ElementLists() const;

    // Loading mark: set while sheets of a file are read or sheets are copied.
    bool IsLoading() const;

    // Creates a sheet with the defaults of the settings, appends it and makes it current;
    // while loading it is not shown. With the default form sheet, the "Formblatt" file is loaded
    // into it.
    TEditor& CreateSheet(bool withDefaultFormSheet, bool refresh = true);
    // Shows the sheet with that index (it becomes current and enters the history).
    void ShowSheet(int index);
    // Frees a sheet without asking; the sheet at the same index, or the one before, becomes
    // current. A document left without sheets has no current sheet.
    void RemoveSheet(int index);
    // Frees every sheet.
    void DeleteAllSheets();
    // Moves a sheet to another index.
    void MoveSheet(int from, int to);

    // Captions: the name with user variables replaced, the number when sheet numbers are on (or
    // asked for), only "(n)" for a reserve sheet. Tab texts add two spaces on each side.
    QString SheetCaption(int index, bool withNumber = false) const;
    QString TabText(int index) const;
    // "Kavro 8.0", " - Viewer", " - [file]".
    QString WindowCaption() const;

    // Sheet commands. Positions are insert-dialog results: 0 first, SheetCount() after the last.
    TEditor& InsertNewSheet(int position);
    // Appends a new sheet ("Leeres Blatt").
    TEditor& AppendNewSheet();
    // Copies sheet `source` `count` times to `position`.
    void CopySheet(int source, int position, int count);
    // Asks and deletes the current sheet; false when refused or declined.
    bool DeleteCurrentSheet();
    enum class TSheetMove { First, Last, Left, Right };
    // Moves the current sheet; false when it is at that end already.
    bool MoveCurrentSheet(TSheetMove move);
    // New order: order[i] is the present index of the sheet that goes to index i.
    bool SortSheets(const std::vector<int>& order);
    // Sheet files.
    bool LoadSheetFile(const QString& fileName, int position);
    bool SaveSheetFile(const QString& fileName);

    // Form sheet of the current sheet.
    bool SaveFormSheet(const QString& fileName);
    // Loads a form-sheet file into the given sheets, replacing their form sheets; a sheet whose
    // load fails keeps its old form sheet and ends the command.
    bool LoadFormSheet(const QString& fileName, const std::vector<int>& sheets);
    // "Formblatt &laden...": the page selection (more than one sheet), then LoadFormSheet.
    bool LoadFormSheetCommand(const QString& fileName);
    // Indices of the sheets that have form-sheet elements.
    std::vector<int> SheetsWithFormSheet() const;
    // Asks and removes the form sheets of the given sheets.
    bool RemoveFormSheets(const std::vector<int>& sheets);
    // "Formblatt entfernen...": message when no sheet has one, else page selection and removal.
    bool RemoveFormSheetCommand();
    void ToggleFormSheetEditing();

    // Document commands. Each returns false when it stopped (cancelled or failed).
    // The Modified rule: asks to save changes; false stops the calling command.
    bool AskSaveChanges();
    bool HasChanges() const;
    bool New();
    // The open dialog asks to save changes before it shows; it opens with askToSave false.
    bool Open(const QString& fileName, bool askToSave = true);
    // Opens an entry of the recent-files list (ignored when the file is gone).
    bool OpenRecent(const QString& fileName);
    bool Save();
    // With a file name the dialog is skipped.
    bool SaveAs();
    bool SaveAs(const QString& fileName);
    // Templates.
    QStringList TemplateFiles() const;
    bool NewFromTemplate(const QString& fileName);
    bool SaveAsTemplate();
    bool SaveAsTemplate(const QString& fileName);

    // Recent files.
    void AddRecentFile(const QString& fileName);
    // Drops entries whose file no longer exists (when the "Datei" menu opens).
    void PruneRecentFiles();

    // The autosave timer's entry: call it when the timer fires while the main window is active.
    // Saves to the file name with ".bak" and keeps Modified and the undo histories; false when
    // nothing was saved (viewer, component editor open, untitled, opened from a ".bak", failure).
    bool Autosave();

    // Sheet-list changes set Modified and refresh the captions.
    void SheetsChanged();

private:
    TEditor& AppendSheet(std::unique_ptr<TEditor> sheet);
    void NotifyCurrent();
    bool SaveDocumentAs(const QString& fileName, bool keepState);
    bool InTemplateFolder(const QString& fileName) const;

    std::vector<std::unique_ptr<TEditor>> m_sheets;
    TEditor* m_current = nullptr;
    TEditor* m_previous = nullptr;
    std::vector<TEditor*> m_history;
};

// The file-name rules of the save commands: documents are saved with ".kav8". For another
// extension an existing file of that name is renamed to the ".kav8" name, unless a file of the
// new name exists already. Returns the ".kav8" name.
QString ApplyKav8Extension(const QString& fileName);
