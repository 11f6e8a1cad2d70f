#pragma once

#include "app/lifecycle.h"
#include "document/document.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QTranslator;
class QToolButton;
class TAnwenderVariablenDlg;
class TBlattEinfuegenDlg;
class TBlattSortierenDlg;
class TEigenschaftenDlg;
class TEigenschaftenFenster;
class TEigenschaftenPanel;
class TOptionsDlg;
class TPageSelectDlg;
class TPagesPanel;
class TSheetArea;
class TSheetListPanel;
class TSheetTabStrip;
class TSheetView;
class TTextKonstantenDlg;
class TWertEingabeDlg;
struct TSheetProperties;
struct TStatusTexts;
struct TKeyHints;

// The main window. It owns the open document and routes every command to it.
//
// Start-up runs in the constructor (FormCreate); the first show starts the deferred start-up
// (SplashTimerTimer) two seconds later; closing runs the close request and the shutdown.
// With the environment variable KAVRO_QUIT_AFTER_STARTUP set, the window closes itself through
// the ordinary close path right after the deferred start-up (used by the tests of the programs).
class TForm1 : public QMainWindow, public TDocumentHost {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name.
    explicit TForm1(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The open document; it lives as long as the window.
    const std::unique_ptr<TDocument> Document;

    TAppLifecycle& Lifecycle() { return *m_lifecycle; }
    const TCommandLine& CommandLine() const { return m_commandLine; }

    // Menu "Einstellungen" > "Grundeinstellungen...": the options dialog on its first page.
    void Grundeinstellungen1Click();
    // The options dialog on a page; filled from the settings before, taken over after OK.
    void OpenOptions(int page);
    // Menu "Einstellungen" > "Textkonstanten...": the program's text constants; OK writes them.
    void Textkonstanten1Click();
    // Menu "Einstellungen" > "Anwender-Variablen...": the document's user variables; OK
    // expands every text again.
    void AnwenderVariablen1Click();
    // The deferred start-up; runs once.
    void SplashTimerTimer();
    // Sets every text of the window from the message table.
    void Translate();
    void InstallToolkitTexts();
    // The tool buttons' captions from the hotkey settings.
    void ApplyHotkeys();
    // The factor the interface is scaled by on top of the screen's own scaling.
    double InterfaceScaleFactor() const;

    // TDocumentHost: the window caption and the recent files follow the file name; tabs, menus
    // and the pages panel follow the sheet list; the sheet area shows the current sheet.
    void FileNameChanged() override;
    void SheetsChanged() override;
    void CurrentSheetChanged() override;
    void PageLabelsChanged() override;
    void FormSheetEditingChanged() override;
    void SheetCreated(TEditor& sheet) override;
    void SyncShownSheet(TEditor& sheet) override;
    void SheetDeleting(TEditor& sheet) override;
    void SetBusy(bool busy) override;
    void SetSheetAreaVisible(bool visible) override;
    QString ChooseSaveFileName(const QString& preset, const QString& startFolder) override;
    std::vector<int> ChooseSheets(int titleMessage, const std::vector<int>& candidates,
                                  const std::vector<int>& preselected) override;

    // File dialogs go through this when it is set (tests answer them): save or open, the
    // dialog's filter, start folder and preset name; empty for Cancel.
    std::function<QString(bool save, const QString& filter, const QString& folder,
                          const QString& preset)>
        FileDialogHook;
    // Modal dialogs of the sheet commands go through this when it is set: the dialog is shown
    // with open() and the hook answers it (accept or reject) before the command goes on.
    std::function<void(QDialog& dialog)> DialogHook;

    // Commands of the "&Datei", "B&latt" and "&Formblatt" menus.
    void Neu1Click();
    void OeffnenClick();
    void SpeichernClick();
    void SpeichernunterClick();
    void NeuVonVorlageClick(const QString& file);
    void AlsVorlageSpeichern1Click();
    void Explorer2Click();
    void NeuesBlatt1Click();
    void Blattkopieren2Click();
    void Blattlschen1Click();
    void Sortieren2Click();
    void Blattladen1Click();
    void Blattspeichernunter1Click();
    void HintergrundbearbeitenClick();
    void Hintergrundladen1Click();
    void Hintergrundspeichern1Click();
    void Formblattentfernen1Click();
    // "Eigenschaften..." (menu, tab menu, pages panel): the current sheet's properties in the
    // docked properties panel, or in TEigenschaftenDlg with the setting "AlteDialoge".
    void Blatteinrichten1Click();
    // Fills the properties panel from the current sheet.
    void RefreshProperties();
    // Shows a sheet by index (tabs, menus, pages panel).
    void GotoSheet(int index);
    // The zoom dialog of L_Zoomfaktor.
    void ZoomDialog();
    // Enables the commands of the menus above for the current state.
    void UpdateCommands();
    // Refreshes tabs, pages panel and the status labels of the current sheet.
    void RefreshSheetControls();

    // Menus and controls, named as in the design.
    QMenu* Datei1;
    QAction* Neu1;
    QAction* Oeffnen;
    QAction* Speichern;
    QAction* Speichernunter;
    QMenu* Vorlage1;
    QMenu* NeuvonVorlage1;
    QAction* AlsVorlageSpeichern1;
    QAction* Explorer2;
    QAction* Bildeinfgen1;
    QAction* BitmapExport1;
    QAction* Zwischenablage1;
    QAction* Vollbild1;
    QAction* Drucken1;
    QAction* Beenden1;
    QAction* MruSeparator;
    QMenu* Blatt1;
    QAction* Blatteinrichten1;
    QAction* NeuesBlatt1;
    QAction* Blattkopieren2;
    QAction* Blattlschen1;
    QAction* Sortieren2;
    QMenu* GehezuBlatt1;
    QAction* Blattladen1;
    QAction* Blattspeichernunter1;
    QMenu* Formblatt1;
    QAction* Hintergrundbearbeiten;
    QAction* Hintergrundladen1;
    QAction* Hintergrundspeichern1;
    QAction* Formblattentfernen1;
    QMenu* Popup_Zoom;
    QAction* ZoomBlatt1;
    QAction* ZoomElemente1;
    QAction* ZoomMarkierte1;
    QMenu* Popup_Tab;
    QMenu* Popup_NeuesBlatt;
    QMenu* Popup_GotoPage;
    QMenu* Einstellungen1;
    QAction* Grundeinstellungen1;
    QAction* Textkonstanten1;
    QAction* AnwenderVariablen1;
    QAction* ViewerSprache1;
    QMenu* Popup_Raster;
    QToolBar* ToolBar1;
    QToolButton* TB_ShowParentChild;
    QToolButton* TB_Neu;
    QToolButton* TB_Open;
    QToolButton* TB_Save;
    QToolButton* TB_Raster;
    QToolButton* TB_ZoomFunction;
    QToolButton* TB_Formblatt;
    QToolBar* ToolBar2;
    QToolButton* TB_Suche;
    QToolButton* TB_Eigenschaften;
    QToolButton* TB_Pages;
    QToolButton* TB_CheckAusserhalb;
    QSplitter* SplitterPanels;
    QWidget* P_Suchen;
    QWidget* P_Eigenschaften;
    QWidget* P_Pages;
    TSheetListPanel* PagesContent;
    TEigenschaftenPanel* EigenschaftenPanel;
    TEigenschaftenDlg* EigenschaftenDlg;
    TEigenschaftenFenster* EigenschaftenFree;
    TPagesPanel* PagesFree;
    QWidget* Bibo_panel;
    QSplitter* Splitter1;
    QWidget* P_Modus;
    QToolBar* TB_Modus;
    QToolButton* TB_Standard;
    std::array<QToolButton*, 15> HotkeyButtons{}; // in the order of the hotkey settings
    TSheetArea* P_SheetArea;
    TSheetView* ScrollBox_Editor;
    TSheetTabStrip* Panel_Tabs;
    QWidget* P_KeyHint;
    QLabel* L_Key_STRG;
    QLabel* L_Key_SHIFT;
    QLabel* L_Key_ALT;
    QLabel* L_Hint1;
    QLabel* L_Hint2;
    QStatusBar* LMDStatusBar;
    QLabel* L_KX;
    QLabel* L_KY;
    QLabel* L_DXCaption;
    QLabel* L_DX;
    QLabel* L_DYCaption;
    QLabel* L_DY;
    QLabel* L_KeyHint_STRG;
    QLabel* L_KeyHint_SHIFT;
    QLabel* L_KeyHint_ALT;
    QLabel* L_Raster;
    QLabel* L_Massstab;
    QLabel* L_Einheit;
    QLabel* L_Zoomfaktor;
    QTimer* SplashTimer;
    TOptionsDlg* OptionsDlg;
    TWertEingabeDlg* WertEingabeDlg;
    TPageSelectDlg* PageSelectDlg;
    TBlattEinfuegenDlg* BlattEinfuegenDlg;
    TBlattSortierenDlg* BlattSortierenDlg;
    TTextKonstantenDlg* TextKonstantenDlg;
    TAnwenderVariablenDlg* AnwenderVariablenDlg;

    // File-dialog filters built at start-up (Qt filter syntax).
    QString FilterOpenDocument;
    QString FilterSaveDocument;
    QString FilterFormSheet;
    QString FilterSheetFile;

Q_SIGNALS:
    // A tool button was pressed: the tool's tag.
    void ToolChosen(int tag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void BuildMenus();
    void BuildToolPalette();
    void BuildStatusBar();
    void HideEditingInterface();
    void RestorePlacement();
    void RememberPlacement();
    void NoteNormalGeometry();
    void ApplyInterfaceScaling();
    void RebuildRecentFiles();
    void FillGridMenu();
    void GridChosen(int tag);
    void ChangeLanguage();
    bool FormCloseQuery();
    void FormClose();

    // The sheet area and the document's controls (mainwindow_sheets.cpp).
    void BuildFileMenu();
    void BuildSheetMenus();
    void BuildDocumentToolButtons();
    QWidget* BuildSheetArea();
    void BuildSidePanels();
    void TranslateDocumentCommands();
    void HideDocumentEditing();
    void ConnectSheetHooks();
    void ApplyPanelSettings();
    void RememberPanelSettings();
    void ShowDockedPanel(QWidget* panel, bool on);
    void SetPagesFree(bool free);
    void DockProperties();
    void SetPropertiesFree(bool free);
    void SheetPropertiesEdited(const TSheetProperties& values);
    void FillTemplateMenu();
    void FillGotoMenu(QMenu* menu);
    void FillNewSheetMenu();
    void ShowStatus(TEditor& sheet, const TStatusTexts& t);
    void ShowKeyHints(const TKeyHints& hints);
    void UpdateSheetLabels();
    bool RunDialog(QDialog& dialog);
    QString ChooseFile(bool save, const QString& filter, const QString& folder,
                       const QString& preset = QString());
    // Insert dialog: the position (and count); false for Cancel.
    bool ChooseInsertPosition(bool copy, int& position, int& count);
    void TabMoved(int from, int to);
    void CopySheets(int source, int position, int count);

    std::unique_ptr<TAppLifecycle> m_lifecycle;
    std::unique_ptr<QTranslator> m_toolkitTexts; // the toolkit's dialogs in the interface language
    TCommandLine m_commandLine;
    bool m_shownOnce = false;
    bool m_deferredDone = false;
    bool m_placementRestored = false;
    QRect m_normalGeometry;
    QList<QAction*> m_mruActions;
    QList<QToolButton*> m_snapButtons;
    TEditor* m_zoomOnShow = nullptr; // a new sheet is zoomed to the whole sheet when first shown
    int m_toolTag = 0;               // the tool the sheets get
    int m_busy = 0;
};
