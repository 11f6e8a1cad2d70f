#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QTimer;
class TDocument;
class TMemIniFile;

// The command line. Every argument that is not a switch is a part of the file name; the parts are
// joined with single spaces, so a path with blanks that arrived split is whole again.
struct TCommandLine {
    QString FileName;
    bool NoD2D = false;           // "/nod2d" or "--nod2d": the plain renderer
    bool NoStartupWindow = false; // "/-T"
};
// Switches are recognised in any letter case.
TCommandLine ParseCommandLine(const QStringList& arguments);

// Work that belongs to other features of the program. The main window and those features plug
// their calls in here; an empty hook does nothing (and a hook with a result answers as noted).
struct TLifecycleHooks {
    // Sets up the antialiased renderer; false when it cannot be set up. Empty: it always can.
    std::function<bool()> SetUpRenderer;
    // Start-up: the properties, search and pages panels and the text-constant dialog connect
    // their events.
    std::function<void()> ConnectPanels;
    // The first library page found below a root folder; empty when there is none.
    std::function<QString(const QString& root)> FirstLibraryPage;
    // Loads a library page into the library view.
    std::function<void(const QString& file)> LoadLibraryPage;
    // Shutdown: the library view saves and closes its page.
    std::function<void()> CloseLibraryPage;
    // The document's file name changed (window caption).
    std::function<void()> DocumentNameChanged;
    // Whether an autosave may run now (the main window is the active window). Empty: always.
    std::function<bool()> AutosaveAllowed;
    // Close request: whether the component editor is open, and cancelling it.
    std::function<bool()> ComponentEditorOpen;
    std::function<void()> CancelComponentEditor;

    // Sheet view: sets the sheet colours from the view settings.
    std::function<void()> SetSheetColors;
    // Sheet view: repaints the current sheet and both rulers.
    std::function<void()> RepaintSheet;
    // Sheet view: zooms the current sheet to the whole sheet.
    std::function<void()> ZoomToWholeSheet;
    // Sheet view: gives the current sheet a new grid (and makes the grid visible).
    std::function<void(int gridSize)> SetGrid;
    // Document: "Blätter mit Seitennummer" changed; tab captions are rebuilt and the properties
    // panel refreshed.
    std::function<void()> SheetCaptionsChanged;
    // Document: component page numbers or their prefix changed; every component label follows.
    std::function<void()> ComponentLabelsChanged;
    // Library: a new root folder; the library menu is rebuilt and its first page loaded.
    std::function<void(const QString& root)> LibraryRootChanged;
    // Help: shows the help topic of an options-dialog page.
    std::function<void(int page)> ShowOptionsHelp;
};

// Start-up and shutdown of the program, apart from the windows: language, folders, message
// table, settings files, renderer, command line, autosave timer, close request and the writing
// of the settings. The main window runs these steps at the moments the start-up order gives.
class TAppLifecycle : public QObject {
    Q_OBJECT
public:
    enum class TPhase { Created, Shown, Running, Closing, Closed };

    // The document is the main window's; it must outlive this object.
    TAppLifecycle(bool viewer, TDocument& document, QObject* parent = nullptr);
    ~TAppLifecycle() override;

    TLifecycleHooks Hooks;

    bool Viewer() const { return m_viewer; }
    TPhase Phase() const { return m_phase; }
    void SetPhase(TPhase phase) { m_phase = phase; }

    // Immediate start-up, in this order.
    // Reads [Sprache] "Sprache" of "SPRACHE.INI" (program folder, then data folder).
    void ReadLanguage();
    void DetermineFolders();
    // Builds the message table for the language, checks it and merges "Translations.txt".
    void BuildMessageTable();
    // Creates the data folder and opens "KAVRO80.INI" and "KAVRO80_VIEWER.INI".
    void OpenSettingsFiles();
    // A document without file name, page numbers on sheets, none on components.
    void InitialiseDocument();
    // The built-in dimension preset, then the settings reader; in the viewer the grid becomes
    // invisible and scaling automatic. Sets the autosave timer from the settings.
    void ReadSettingsFiles();
    // Renderer choice: the viewer forces the antialiased renderer on, "/nod2d" switches it off,
    // and when it cannot be set up it is switched off with message 5044.
    void ChooseRenderer(const TCommandLine& commandLine);
    // Whether this run draws with the antialiased renderer (fixed for the run).
    bool RunningAntialiased() const { return m_runningAntialiased; }
    // Whether setting up the antialiased renderer failed at start-up.
    bool RendererSetupFailed() const { return m_rendererFailed; }

    // Deferred start-up.
    // The first sheet, with the default form sheet, current.
    void CreateFirstSheet();
    // "Panels" (editor only), "Prop-Panel-Collapsed", "Search", "LastUsedUniCode", "SList" and
    // "ChildList".
    void ReadDeferredSections();
    // Editor: the library page of [BIBO] "AktLibFile" when it lies inside the library root and
    // exists, else the first page below the root; loaded when it exists.
    void RestoreLibraryPage();
    // Viewer: the recent files and the window placement from the viewer's own file.
    void ReadViewerSettings();
    // Opens the document named on the command line when that file exists: the start-up sheets
    // go, the file is loaded as a document and listed in the recent files; a failed load
    // clears the file name again.
    void OpenCommandLineDocument(const TCommandLine& commandLine);
    // Viewer, first start: the language of the viewer file, or the user's choice when it has
    // none. `choose` shows the language dialog with a preselected language and returns the
    // confirmed one, or -1 when cancelled.
    void ViewerLanguageChoice(const std::function<int(int)>& choose);
    // Viewer menu item "Sprache": a changed choice is stored at once and applies to messages
    // from now on. Returns true when the language changed.
    bool ChangeViewerLanguage(int language);

    // Close request: true when the program may close (the Modified rule may ask to save).
    bool CloseQuery();
    // Shutdown: writes the settings into the settings object and the object into its file, with
    // messages 5004 and 5058 on failure, then frees every sheet.
    void Shutdown();

    // Autosave timer: interval and state from the settings (never running in the viewer).
    void ApplyAutosaveSettings();
    QTimer* AutosaveTimer() const { return m_autosave; }

    TDocument& Document() const { return m_document; }
    int Language() const { return m_language; }
    const QString& DataFolder() const { return m_dataFolder; }
    const QString& DocumentsFolder() const { return m_documentsFolder; }
    const QString& ColorFile() const { return m_colorFile; }
    TMemIniFile* MainIni() const { return m_mainIni.get(); }
    TMemIniFile* ViewerIni() const { return m_viewerIni.get(); }
    // The file the shutdown writes: the viewer's own file in the viewer.
    TMemIniFile* WrittenIni() const;

private:
    void OnAutosaveTimer();

    bool m_viewer;
    TDocument& m_document;
    TPhase m_phase = TPhase::Created;
    int m_language = 0;
    QString m_dataFolder;
    QString m_documentsFolder;
    QString m_colorFile;
    std::unique_ptr<TMemIniFile> m_mainIni;
    std::unique_ptr<TMemIniFile> m_viewerIni;
    QTimer* m_autosave;
    bool m_runningAntialiased = true;
    bool m_rendererFailed = false;
};

// The settings file names.
extern const char* const MainSettingsFileName;   // "KAVRO80.INI"
extern const char* const ViewerSettingsFileName; // "KAVRO80_VIEWER.INI"
extern const char* const LanguageFileName;       // "SPRACHE.INI"
