#pragma once

#include "app/lifecycle.h"
#include "document/document.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class TOptionsDlg;

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
    // The deferred start-up; runs once.
    void SplashTimerTimer();
    // Sets every text of the window from the message table.
    void Translate();
    // The tool buttons' captions from the hotkey settings.
    void ApplyHotkeys();
    // The factor the interface is scaled by on top of the screen's own scaling.
    double InterfaceScaleFactor() const;

    // TDocumentHost: the window caption and the recent files follow the file name.
    void FileNameChanged() override;

    // Menus and controls, named as in the design.
    QMenu* Datei1;
    QAction* Beenden1;
    QAction* MruSeparator;
    QMenu* Einstellungen1;
    QAction* Grundeinstellungen1;
    QAction* ViewerSprache1;
    QMenu* Popup_Raster;
    QToolBar* ToolBar1;
    QToolButton* TB_ShowParentChild;
    QWidget* Bibo_panel;
    QSplitter* Splitter1;
    QWidget* P_Modus;
    QToolBar* TB_Modus;
    QToolButton* TB_Standard;
    std::array<QToolButton*, 15> HotkeyButtons{}; // in the order of the hotkey settings
    QWidget* P_SheetArea;
    QScrollArea* ScrollBox_Editor;
    QWidget* Panel_Tabs;
    QWidget* P_KeyHint;
    QLabel* L_Key_STRG;
    QLabel* L_Key_SHIFT;
    QLabel* L_Key_ALT;
    QLabel* L_Hint1;
    QLabel* L_Hint2;
    QStatusBar* LMDStatusBar;
    QLabel* L_KX;
    QLabel* L_KY;
    QLabel* L_DX;
    QLabel* L_DY;
    QLabel* L_Raster;
    QLabel* L_Massstab;
    QLabel* L_Einheit;
    QLabel* L_Zoomfaktor;
    QTimer* SplashTimer;
    TOptionsDlg* OptionsDlg;

    // File-dialog filters built at start-up (Qt filter syntax).
    QString FilterOpenDocument;
    QString FilterSaveDocument;
    QString FilterFormSheet;
    QString FilterSheetFile;

Q_SIGNALS:
    // A tool button was pressed: the tool's tag.
    void ToolChosen(int tag);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
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

    std::unique_ptr<TAppLifecycle> m_lifecycle;
    TCommandLine m_commandLine;
    bool m_shownOnce = false;
    bool m_deferredDone = false;
    bool m_placementRestored = false;
    QRect m_normalGeometry;
    QList<QAction*> m_mruActions;
    QList<QToolButton*> m_snapButtons;
};
