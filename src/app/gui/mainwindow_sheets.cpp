// The main window's sheet area and document commands: the "&Datei", "B&latt" and "&Formblatt"
// menus, the tool bars, the sheet tabs, the pages panel, the status read-out, and the
// TDocumentHost calls that keep all of them in step with the document.
#include "app/gui/mainwindow.h"

#include "app/settings.h"
#include "document/gui/PagesPanel.h"
#include "document/gui/SheetDialogs.h"
#include "document/gui/SheetTabs.h"
#include "document/sheetproperties.h"
#include "document/uservars.h"
#include "editor/gui/Eigenschaften_Panel.h"
#include "editor/gui/SheetArea.h"
#include "editor/gui/SheetView.h"
#include "editor/viewplan.h"
#include "editor/viewsettings.h"
#include "output/gui/PageSelectDlg.h"
#include "output/gui/WertEingabeDlg.h"
#include "platform/config.h"
#include "platform/gui/named.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "platform/shell.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A tool-bar image drawn in code: a standard image, or a short text.
QIcon TextIcon(const QString& text) {
    QPixmap pm(44, 44);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(text.size() > 2 ? 15 : 22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, 0, 44, 44), Qt::AlignCenter, text);
    return QIcon(pm);
}

// ToolBar1 in its order: name, hint message, image (standard or text); nullptr ends a group.
struct TButtonDef {
    const char* Name;
    int Hint;
    QStyle::StandardPixmap Standard;
    const char* Text;
};
constexpr QStyle::StandardPixmap kNoPixmap = QStyle::SP_CustomBase;
const TButtonDef kToolBar1[] = {
    {"TB_Neu", 4000, QStyle::SP_FileIcon, nullptr},
    {"TB_Open", 4002, QStyle::SP_DialogOpenButton, nullptr},
    {"TB_Save", 4001, QStyle::SP_DialogSaveButton, nullptr},
    {"TB_Print", 4003, kNoPixmap, "P"},
    {nullptr, 0, kNoPixmap, nullptr},
    {"TB_Undo", 4004, QStyle::SP_ArrowBack, nullptr},
    {"TB_Redo", 4005, QStyle::SP_ArrowForward, nullptr},
    {nullptr, 0, kNoPixmap, nullptr},
    {"TB_Cut", 4006, kNoPixmap, "X"},
    {"TB_Copy", 4007, kNoPixmap, "C"},
    {"TB_Paste", 4008, kNoPixmap, "V"},
    {"TB_Duplizieren", 4009, kNoPixmap, "D"},
    {"TB_Delete", 4010, QStyle::SP_TrashIcon, nullptr},
    {nullptr, 0, kNoPixmap, nullptr},
    {"TB_NachVorn", 4011, kNoPixmap, "\u25B2"},
    {"TB_NachHinten", 4012, kNoPixmap, "\u25BC"},
    {"TB_Rotieren", 4013, kNoPixmap, "\u21BB"},
    {"TB_SpiegelnH", 4014, kNoPixmap, "\u2194"},
    {"TB_SpiegelnV", 4015, kNoPixmap, "\u2195"},
    {"TB_Ausrichten", 4016, kNoPixmap, "\u2261"},
    {"TB_GruppEin", 4017, kNoPixmap, "G"},
    {"TB_GruppAus", 4018, kNoPixmap, "U"},
    {nullptr, 0, kNoPixmap, nullptr},
    {"TB_AutoNum", 4020, kNoPixmap, "123"},
    {"TB_SList", 4019, kNoPixmap, "\u2630"},
    {nullptr, 0, kNoPixmap, nullptr},
    {"TB_Raster", 4021, kNoPixmap, "#"},
    {"TB_ZoomFunction", 4025, kNoPixmap, "\u2315"},
};

QToolButton* MakeButton(const char* name, QIcon icon) {
    auto* b = new QToolButton;
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setIcon(icon);
    return b;
}

QWidget* PanelFrame(const char* name, QLabel*& title, QToolButton*& free, QToolButton*& close,
                    const char* freeName, const char* closeName) {
    auto* frame = new QWidget;
    frame->setObjectName(QString::fromLatin1(name));
    title = new QLabel;
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    free = new QToolButton;
    free->setObjectName(QString::fromLatin1(freeName));
    free->setText(QStringLiteral("\u2197"));
    free->setAutoRaise(true);
    close = new QToolButton;
    close->setObjectName(QString::fromLatin1(closeName));
    close->setText(QStringLiteral("\u00D7"));
    close->setAutoRaise(true);
    auto* head = new QHBoxLayout;
    head->setContentsMargins(4, 2, 2, 2);
    head->addWidget(title, 1);
    head->addWidget(free);
    head->addWidget(close);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(head);
    frame->setVisible(false);
    return frame;
}

QString DefaultSuffix(const QString& file, const char* suffix) {
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty()) return file;
    return file + QLatin1Char('.') + QLatin1String(suffix);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Building

void TForm1::BuildFileMenu() {
    auto add = [](QMenu* menu, const char* name, QKeySequence key = {}) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) a->setShortcut(key);
        return a;
    };
    Neu1 = add(Datei1, "Neu1", QKeySequence(Qt::CTRL | Qt::Key_N));
    Oeffnen = add(Datei1, "Oeffnen", QKeySequence(Qt::CTRL | Qt::Key_O));
    Speichern = add(Datei1, "Speichern", QKeySequence(Qt::CTRL | Qt::Key_S));
    Speichernunter = add(Datei1, "Speichernunter");
    Vorlage1 = Datei1->addMenu(QString());
    Vorlage1->setObjectName(QStringLiteral("Vorlage1"));
    NeuvonVorlage1 = Vorlage1->addMenu(QString());
    NeuvonVorlage1->setObjectName(QStringLiteral("NeuvonVorlage1"));
    AlsVorlageSpeichern1 = add(Vorlage1, "AlsVorlageSpeichern1");
    Explorer2 = add(Vorlage1, "Explorer2");
    Datei1->addSeparator();
    Bildeinfgen1 = add(Datei1, "Bildeinfgen1");
    BitmapExport1 = add(Datei1, "BitmapExport1");
    Zwischenablage1 = add(Datei1, "Zwischenablage1", QKeySequence(Qt::CTRL | Qt::Key_B));
    Datei1->addSeparator();
    Vollbild1 = add(Datei1, "Vollbild1", QKeySequence(Qt::CTRL | Qt::Key_F11));
    Drucken1 = add(Datei1, "Drucken1", QKeySequence(Qt::CTRL | Qt::Key_P));
    Datei1->addSeparator();
    // Their commands come with their own features.
    for (QAction* a : {Bildeinfgen1, BitmapExport1, Zwischenablage1, Vollbild1, Drucken1})
        a->setEnabled(false);

    connect(Neu1, &QAction::triggered, this, &TForm1::Neu1Click);
    connect(Oeffnen, &QAction::triggered, this, &TForm1::OeffnenClick);
    connect(Speichern, &QAction::triggered, this, &TForm1::SpeichernClick);
    connect(Speichernunter, &QAction::triggered, this, &TForm1::SpeichernunterClick);
    connect(AlsVorlageSpeichern1, &QAction::triggered, this, &TForm1::AlsVorlageSpeichern1Click);
    connect(Explorer2, &QAction::triggered, this, &TForm1::Explorer2Click);
    connect(Vorlage1, &QMenu::aboutToShow, this, &TForm1::FillTemplateMenu);
    connect(Datei1, &QMenu::aboutToShow, this, &TForm1::UpdateCommands);
}

void TForm1::BuildSheetMenus() {
    auto add = [](QMenu* menu, const char* name) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    Blatt1 = Named(new QMenu(this), "Blatt1");
    Blatteinrichten1 = add(Blatt1, "Blatteinrichten1");
    Blatt1->addSeparator();
    NeuesBlatt1 = add(Blatt1, "NeuesBlatt1");
    Blattkopieren2 = add(Blatt1, "Blattkopieren2");
    Blattlschen1 = add(Blatt1, "Blattlschen1");
    Sortieren2 = add(Blatt1, "Sortieren2");
    GehezuBlatt1 = Blatt1->addMenu(QString());
    GehezuBlatt1->setObjectName(QStringLiteral("GehezuBlatt1"));
    Blatt1->addSeparator();
    Blattladen1 = add(Blatt1, "Blattladen1");
    Blattspeichernunter1 = add(Blatt1, "Blattspeichernunter1");
    connect(Blatteinrichten1, &QAction::triggered, this, &TForm1::Blatteinrichten1Click);
    connect(NeuesBlatt1, &QAction::triggered, this, &TForm1::NeuesBlatt1Click);
    connect(Blattkopieren2, &QAction::triggered, this, &TForm1::Blattkopieren2Click);
    connect(Blattlschen1, &QAction::triggered, this, &TForm1::Blattlschen1Click);
    connect(Sortieren2, &QAction::triggered, this, &TForm1::Sortieren2Click);
    connect(Blattladen1, &QAction::triggered, this, &TForm1::Blattladen1Click);
    connect(Blattspeichernunter1, &QAction::triggered, this, &TForm1::Blattspeichernunter1Click);
    connect(Blatt1, &QMenu::aboutToShow, this, [this] {
        FillGotoMenu(GehezuBlatt1);
        UpdateCommands();
    });

    Formblatt1 = Named(new QMenu(this), "Formblatt1");
    Hintergrundbearbeiten = add(Formblatt1, "Hintergrundbearbeiten");
    Hintergrundbearbeiten->setCheckable(true);
    Formblatt1->addSeparator();
    Hintergrundladen1 = add(Formblatt1, "Hintergrundladen1");
    Hintergrundspeichern1 = add(Formblatt1, "Hintergrundspeichern1");
    Formblattentfernen1 = add(Formblatt1, "Formblattentfernen1");
    connect(Hintergrundbearbeiten, &QAction::triggered, this, &TForm1::HintergrundbearbeitenClick);
    connect(Hintergrundladen1, &QAction::triggered, this, &TForm1::Hintergrundladen1Click);
    connect(Hintergrundspeichern1, &QAction::triggered, this, &TForm1::Hintergrundspeichern1Click);
    connect(Formblattentfernen1, &QAction::triggered, this, &TForm1::Formblattentfernen1Click);
    connect(Formblatt1, &QMenu::aboutToShow, this, &TForm1::UpdateCommands);

    // Menu-bar order: "&Datei", "B&latt", "&Formblatt", then the settings.
    menuBar()->insertMenu(Einstellungen1->menuAction(), Blatt1);
    menuBar()->insertMenu(Einstellungen1->menuAction(), Formblatt1);

    Popup_Zoom = Named(new QMenu(this), "Popup_Zoom");
    ZoomBlatt1 = add(Popup_Zoom, "ZoomBlatt1");
    ZoomElemente1 = add(Popup_Zoom, "ZoomElemente1");
    ZoomMarkierte1 = add(Popup_Zoom, "ZoomMarkierte1");
    // The keys are the sheet area's own (F5, F6, F7); the menu only shows them.
    const std::pair<QAction*, int> keys[] = {
        {ZoomBlatt1, Qt::Key_F5}, {ZoomElemente1, Qt::Key_F6}, {ZoomMarkierte1, Qt::Key_F7}};
    for (auto [a, key] : keys) {
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    ZoomMarkierte1->setEnabled(false); // needs the selection
    connect(ZoomBlatt1, &QAction::triggered, this, [this] {
        if (TEditor* s = Document->CurrentSheet()) s->ZoomSheet();
    });
    connect(ZoomElemente1, &QAction::triggered, this, [this] {
        if (TEditor* s = Document->CurrentSheet()) s->ZoomElements();
    });
    connect(Popup_Zoom, &QMenu::aboutToShow, this, &TForm1::UpdateCommands);

    Popup_Tab = Named(new QMenu(this), "Popup_Tab");
    for (int id = 2100; id <= 2104; ++id) {
        QAction* a = Popup_Tab->addAction(QString());
        a->setData(id);
    }
    const QList<QAction*> tab = Popup_Tab->actions();
    connect(tab[0], &QAction::triggered, this, &TForm1::Blatteinrichten1Click);
    connect(tab[1], &QAction::triggered, this, &TForm1::NeuesBlatt1Click);
    connect(tab[2], &QAction::triggered, this, &TForm1::Blattkopieren2Click);
    connect(tab[3], &QAction::triggered, this, &TForm1::Blattlschen1Click);
    connect(tab[4], &QAction::triggered, this, &TForm1::Sortieren2Click);

    Popup_NeuesBlatt = Named(new QMenu(this), "Popup_NeuesBlatt");
    connect(Popup_NeuesBlatt, &QMenu::aboutToShow, this, &TForm1::FillNewSheetMenu);
    Popup_GotoPage = Named(new QMenu(this), "Popup_GotoPage");
    connect(Popup_GotoPage, &QMenu::aboutToShow, this, [this] { FillGotoMenu(Popup_GotoPage); });
}

void TForm1::BuildDocumentToolButtons() {
    // ToolBar1 holds the parent/child toggle already; the other buttons go around it.
    QAction* parentChild = ToolBar1->actions().value(0);
    for (const TButtonDef& def : kToolBar1) {
        if (!def.Name) {
            ToolBar1->insertSeparator(parentChild);
            continue;
        }
        const QIcon icon =
            def.Text ? TextIcon(QString::fromUtf8(def.Text)) : style()->standardIcon(def.Standard);
        QToolButton* b = MakeButton(def.Name, icon);
        b->setProperty("Hint", def.Hint);
        b->setEnabled(false); // until a command is connected below
        ToolBar1->insertWidget(parentChild, b);
    }
    ToolBar1->insertSeparator(parentChild);
    TB_Neu = ToolBar1->findChild<QToolButton*>(QStringLiteral("TB_Neu"));
    TB_Open = ToolBar1->findChild<QToolButton*>(QStringLiteral("TB_Open"));
    TB_Save = ToolBar1->findChild<QToolButton*>(QStringLiteral("TB_Save"));
    TB_Raster = ToolBar1->findChild<QToolButton*>(QStringLiteral("TB_Raster"));
    TB_ZoomFunction = ToolBar1->findChild<QToolButton*>(QStringLiteral("TB_ZoomFunction"));
    for (QToolButton* b : {TB_Neu, TB_Open, TB_Save, TB_Raster, TB_ZoomFunction})
        b->setEnabled(true);
    connect(TB_Neu, &QToolButton::clicked, this, &TForm1::Neu1Click);
    connect(TB_Open, &QToolButton::clicked, this, &TForm1::OeffnenClick);
    connect(TB_Save, &QToolButton::clicked, this, &TForm1::SpeichernClick);
    TB_Raster->setMenu(Popup_Raster);
    TB_Raster->setPopupMode(QToolButton::InstantPopup);
    TB_ZoomFunction->setMenu(Popup_Zoom);
    TB_ZoomFunction->setPopupMode(QToolButton::InstantPopup);

    TB_Formblatt = MakeButton("TB_Formblatt", TextIcon(QStringLiteral("FB")));
    TB_Formblatt->setProperty("Hint", 4023);
    TB_Formblatt->setCheckable(true);
    connect(TB_Formblatt, &QToolButton::clicked, this, &TForm1::HintergrundbearbeitenClick);
    ToolBar1->addWidget(TB_Formblatt);
    ToolBar1->addSeparator();
    QToolButton* update = MakeButton("TB_Update", TextIcon(QStringLiteral("\u21E9")));
    update->setProperty("Hint", 4024);
    update->setEnabled(false);
    ToolBar1->addWidget(update);

    ToolBar2 = Named(new QToolBar(this), "ToolBar2");
    ToolBar2->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    TB_Suche = MakeButton("TB_Suche", TextIcon(QStringLiteral("S")));
    TB_Suche->setProperty("Hint", 4030);
    TB_Eigenschaften = MakeButton("TB_Eigenschaften", TextIcon(QStringLiteral("E")));
    TB_Eigenschaften->setProperty("Hint", 4031);
    TB_Pages = MakeButton("TB_Pages", TextIcon(QStringLiteral("\u2263")));
    TB_Pages->setProperty("Hint", 4032);
    TB_CheckAusserhalb = MakeButton("TB_CheckAusserhalb", TextIcon(QStringLiteral("!")));
    for (QToolButton* b : {TB_Suche, TB_Eigenschaften, TB_Pages}) {
        b->setCheckable(true);
        ToolBar2->addWidget(b);
    }
    ToolBar2->addWidget(TB_CheckAusserhalb)->setVisible(false);
    // The search panel comes with its feature.
    TB_Suche->setEnabled(false);
}

QWidget* TForm1::BuildSheetArea() {
    // Grid snap is read by the sheets from the view settings.
    if (auto* snap = findChild<QToolButton*>(QStringLiteral("SB_Rasterfang")))
        connect(snap, &QToolButton::toggled, this,
                [](bool on) { g_SheetViewSettings.RasterFang = on; });
    P_SheetArea = new TSheetArea;
    ScrollBox_Editor = P_SheetArea->ScrollBox_Editor;
    Panel_Tabs = new TSheetTabStrip;
    Panel_Tabs->SB_NeuesBlatt->setMenu(Popup_NeuesBlatt);
    Panel_Tabs->SB_GotoPage->setMenu(Popup_GotoPage);
    connect(P_SheetArea, &TSheetArea::FormSheetBarClosed, this,
            &TForm1::HintergrundbearbeitenClick);
    TSheetTabs* tabs = Panel_Tabs->TabSet;
    connect(tabs, &TSheetTabs::TabClicked, this, &TForm1::GotoSheet);
    connect(tabs, &TSheetTabs::TabMoved, this, &TForm1::TabMoved);
    connect(tabs, &TSheetTabs::TabContextMenu, this, [this](int, QPoint at) {
        if (!IsViewer()) Popup_Tab->popup(at);
    });
    connect(ScrollBox_Editor, &TSheetView::UnhandledKey, this,
            [this](int key, Qt::KeyboardModifiers mods) {
                // CTRL+TAB and CTRL+arrows walk through the sheets.
                if (!(mods & Qt::ControlModifier)) return;
                const int i = Document->CurrentIndex(), n = Document->SheetCount();
                if (key == Qt::Key_Tab || key == Qt::Key_Right) {
                    if (i + 1 < n) GotoSheet(i + 1);
                } else if (key == Qt::Key_Backtab || key == Qt::Key_Left) {
                    if (i > 0) GotoSheet(i - 1);
                }
            });

    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("P_SheetColumn"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(P_SheetArea, 1);
    layout->addWidget(Panel_Tabs);

    SplitterPanels = Named(new QSplitter(Qt::Horizontal), "SplitterPanels");
    SplitterPanels->addWidget(column);
    SplitterPanels->setStretchFactor(0, 1);
    BuildSidePanels();
    return SplitterPanels;
}

void TForm1::BuildSidePanels() {
    QLabel* title = nullptr;
    QToolButton* free = nullptr;
    QToolButton* close = nullptr;
    // From the sheet area outwards: search, properties, sheet list.
    P_Suchen = PanelFrame("P_Suchen", title, free, close, "SB_SuchenFree", "SB_SuchenX");
    title->setObjectName(QStringLiteral("L_SuchenTitel"));
    free->setEnabled(false);
    connect(close, &QToolButton::clicked, this, [this] { TB_Suche->setChecked(false); });
    P_Eigenschaften = PanelFrame("P_Eigenschaften", title, free, close, "SB_EigenschaftenFree",
                                 "SB_EigenschaftenX");
    title->setObjectName(QStringLiteral("L_EigenschaftenTitel"));
    connect(free, &QToolButton::clicked, this, [this] { SetPropertiesFree(true); });
    connect(close, &QToolButton::clicked, this, [this] { TB_Eigenschaften->setChecked(false); });
    EigenschaftenPanel = new TEigenschaftenPanel;
    P_Eigenschaften->layout()->addWidget(EigenschaftenPanel);
    EigenschaftenDlg = new TEigenschaftenDlg(this);
    EigenschaftenFree = new TEigenschaftenFenster(this);
    connect(EigenschaftenFree, &TEigenschaftenFenster::Closed, this, &TForm1::DockProperties);
    connect(EigenschaftenPanel, &TEigenschaftenPanel::SheetPropertiesChanged, this,
            &TForm1::SheetPropertiesEdited);
    P_Pages = PanelFrame("P_Pages", title, free, close, "SB_PagesFree", "SB_PagesX");
    title->setObjectName(QStringLiteral("L_PagesTitel"));
    PagesContent = new TSheetListPanel;
    P_Pages->layout()->addWidget(PagesContent);
    connect(free, &QToolButton::clicked, this, [this] { SetPagesFree(true); });
    connect(close, &QToolButton::clicked, this, [this] { TB_Pages->setChecked(false); });
    for (QWidget* panel : {P_Suchen, P_Eigenschaften, P_Pages})
        SplitterPanels->addWidget(panel);
    for (int i = 1; i <= 3; ++i)
        SplitterPanels->setStretchFactor(i, 0);

    PagesFree = new TPagesPanel(this);
    connect(PagesFree, &TPagesPanel::Closed, this, [this] { SetPagesFree(false); });

    connect(TB_Suche, &QToolButton::toggled, this,
            [this](bool on) { ShowDockedPanel(P_Suchen, on); });
    connect(TB_Eigenschaften, &QToolButton::toggled, this, [this](bool on) {
        if (on && Settings().Tools.AlteDialoge) {
            // The panel is shown in its dialog instead.
            const QSignalBlocker block(TB_Eigenschaften);
            TB_Eigenschaften->setChecked(false);
            Blatteinrichten1Click();
            return;
        }
        if (EigenschaftenFree->isVisible()) EigenschaftenFree->close();
        DockProperties();
        ShowDockedPanel(P_Eigenschaften, on);
    });
    connect(TB_Pages, &QToolButton::toggled, this, [this](bool on) {
        if (PagesFree->isVisible()) PagesFree->close();
        ShowDockedPanel(P_Pages, on);
    });

    TSheetListPanel* list = PagesContent;
    // Every action of the panel, plain selection too, counts as a change of the document.
    connect(list, &TSheetListPanel::RowSelected, this, [this](int row) {
        GotoSheet(row);
        Document->Modified = true;
    });
    connect(list, &TSheetListPanel::RowMoved, this,
            [this](int from, int to) { TabMoved(from, to); });
    connect(list, &TSheetListPanel::DeleteRequested, this, &TForm1::Blattlschen1Click);
    connect(list, &TSheetListPanel::NewSheetRequested, this,
            [this](int position) { Document->InsertNewSheet(position); });
    connect(list, &TSheetListPanel::CopyRequested, this,
            [this](int source, int position) { CopySheets(source, position, 1); });
    connect(list, &TSheetListPanel::CopyMoreRequested, this, &TForm1::Blattkopieren2Click);
    connect(list, &TSheetListPanel::PropertiesRequested, this, &TForm1::Blatteinrichten1Click);
    list->B_Inhaltsverzeichnis->setEnabled(false); // the table generator of the parts list
}

void TForm1::ShowDockedPanel(QWidget* panel, bool on) {
    panel->setVisible(on);
    // While the sheet list is docked it replaces the tabs.
    if (panel == P_Pages) {
        Panel_Tabs->setVisible(!on);
        if (on) RefreshSheetControls();
    }
}

void TForm1::DockProperties() {
    if (EigenschaftenPanel->parentWidget() == P_Eigenschaften) return;
    EigenschaftenDlg->hide();
    P_Eigenschaften->layout()->addWidget(EigenschaftenPanel);
    EigenschaftenPanel->show();
}

void TForm1::SetPropertiesFree(bool free) {
    if (!free) {
        if (EigenschaftenFree->isVisible()) EigenschaftenFree->close();
        return;
    }
    const QPoint at = P_Eigenschaften->mapToGlobal(QPoint(0, 0)) + QPoint(-10, 10);
    const QSize size = P_Eigenschaften->size();
    TB_Eigenschaften->setChecked(false); // hides the docked frame, which keeps the panel
    EigenschaftenFree->TakePanel(EigenschaftenPanel);
    EigenschaftenFree->move(at);
    EigenschaftenFree->resize(size);
    EigenschaftenFree->show();
    RefreshProperties();
}

void TForm1::Blatteinrichten1Click() {
    if (IsViewer() || !Document->CurrentSheet()) return;
    RefreshProperties();
    if (!Settings().Tools.AlteDialoge) {
        // A free window stays where it is.
        if (EigenschaftenFree->isVisible()) {
            EigenschaftenFree->raise();
            return;
        }
        TB_Eigenschaften->setChecked(true);
        DockProperties();
        return;
    }
    TB_Eigenschaften->setChecked(false);
    EigenschaftenDlg->TakePanel(EigenschaftenPanel);
    EigenschaftenDlg->Place();
    EigenschaftenDlg->show();
    EigenschaftenDlg->raise();
}

void TForm1::RefreshProperties() {
    const TEditor* s = Document->CurrentSheet();
    if (!s || IsViewer()) {
        EigenschaftenPanel->ShowNothing();
        EigenschaftenPanel->setEnabled(false);
        return;
    }
    EigenschaftenPanel->ShowSheet(ReadSheetProperties(*s), s->ComponentEditorSheet);
}

void TForm1::SheetPropertiesEdited(const TSheetProperties& values) {
    TEditor* s = Document->CurrentSheet();
    if (!s || IsViewer()) return;
    const int changed = ApplySheetProperties(*Document, *s, values);
    if (changed & SheetChangedSize) s->SetZoom(s->Zoom); // the canvas takes the new size
    if (changed & (SheetChangedSize | SheetChangedScale | SheetChangedZoneGrid)) {
        ScrollBox_Editor->Invalidate(QRect());
        P_SheetArea->RepaintRulers(true, true);
    }
    if (changed & SheetChangedScale) UpdateSheetLabels();
    // The panel shows what the sheet took (values kept within their limits).
    RefreshProperties();
}

void TForm1::SetPagesFree(bool free) {
    if (free) {
        const QPoint at = P_Pages->mapToGlobal(QPoint(0, 0)) + QPoint(-10, 10);
        const QSize size = P_Pages->size();
        PagesFree->TakeContent(PagesContent);
        TB_Pages->setChecked(false);
        PagesFree->move(at);
        PagesFree->resize(size);
        PagesFree->show();
        RefreshSheetControls();
    } else {
        P_Pages->layout()->addWidget(PagesContent);
    }
}

void TForm1::ApplyPanelSettings() {
    const TPanelSettings::Panel& pages = Settings().Panels.Pages;
    QList<int> sizes = SplitterPanels->sizes();
    if (sizes.size() == 4) {
        sizes[3] = std::clamp(pages.Width, TPanelSettings::MinWidth, TPanelSettings::MaxWidth);
        SplitterPanels->setSizes(sizes);
    }
    if (IsViewer()) return;
    const TPanelSettings::Panel& props = Settings().Panels.Eigenschaften;
    sizes = SplitterPanels->sizes();
    if (sizes.size() == 4) {
        sizes[2] = std::clamp(props.Width, TPanelSettings::MinWidth, TPanelSettings::MaxWidth);
        SplitterPanels->setSizes(sizes);
    }
    if (Settings().Tools.AlteDialoge) {
        TB_Eigenschaften->setChecked(false);
    } else if (props.FreeDlgVisible) {
        EigenschaftenFree->TakePanel(EigenschaftenPanel);
        EigenschaftenFree->setGeometry(props.X, props.Y, props.W, props.H);
        EigenschaftenFree->show();
    } else {
        TB_Eigenschaften->setChecked(props.Visible);
    }
    // Categories keep their folded state between runs, keyed by their names.
    for (const auto& [name, collapsed] : Settings().PropPanelCollapsed)
        if (auto* c = EigenschaftenPanel->findChild<TCategoryPanel*>(name))
            c->SetCollapsed(collapsed);
    if (pages.FreeDlgVisible) {
        PagesFree->TakeContent(PagesContent);
        PagesFree->setGeometry(pages.X, pages.Y, pages.W, pages.H);
        PagesFree->show();
    } else {
        TB_Pages->setChecked(pages.Visible);
    }
}

void TForm1::RememberPanelSettings() {
    if (!Settings().DeferredSectionsRead || IsViewer()) return;
    TPanelSettings::Panel& pages = Settings().Panels.Pages;
    TPanelSettings::Panel& props = Settings().Panels.Eigenschaften;
    // With "AlteDialoge" the docked panel is not used; its stored state stays.
    if (!Settings().Tools.AlteDialoge) {
        props.Visible = TB_Eigenschaften->isChecked();
        props.FreeDlgVisible = EigenschaftenFree->isVisible();
    }
    if (P_Eigenschaften->isVisible()) props.Width = P_Eigenschaften->width();
    if (EigenschaftenFree->isVisible()) {
        const QRect g = EigenschaftenFree->geometry();
        props.X = g.x();
        props.Y = g.y();
        props.W = g.width();
        props.H = g.height();
    }
    auto& collapsed = Settings().PropPanelCollapsed;
    for (TCategoryPanel* c : EigenschaftenPanel->findChildren<TCategoryPanel*>()) {
        const QString name = c->objectName();
        auto entry = std::find_if(collapsed.begin(), collapsed.end(),
                                  [&](const auto& e) { return e.first == name; });
        if (entry != collapsed.end())
            entry->second = c->Collapsed();
        else
            collapsed.emplace_back(name, c->Collapsed());
    }
    pages.Visible = TB_Pages->isChecked();
    if (P_Pages->isVisible()) pages.Width = P_Pages->width();
    pages.FreeDlgVisible = PagesFree->isVisible();
    if (pages.FreeDlgVisible) {
        const QRect g = PagesFree->geometry();
        pages.X = g.x();
        pages.Y = g.y();
        pages.W = g.width();
        pages.H = g.height();
    }
}

void TForm1::ConnectSheetHooks() {
    TLifecycleHooks& h = m_lifecycle->Hooks;
    h.SetSheetColors = [] {
        const TViewSettings& v = Settings().View;
        g_SheetViewSettings.Kontrast = v.Kontrast;
        g_SheetViewSettings.Markierung = v.Markierung;
        g_SheetViewSettings.Punktraster = v.Punktraster;
        g_SheetViewSettings.GridOverBK = v.GridOverBK;
        g_SheetViewSettings.BKWhite = v.BKWhite;
        g_SheetViewSettings.RasterFang = Settings().Tools.RasterFang;
    };
    h.RepaintSheet = [this] {
        ScrollBox_Editor->Invalidate(QRect());
        P_SheetArea->RepaintRulers(true, true);
    };
    h.ZoomToWholeSheet = [this] {
        if (TEditor* s = Document->CurrentSheet()) s->ZoomSheet();
    };
    h.SetGrid = [this](int pitch) {
        TEditor* s = Document->CurrentSheet();
        if (!s) return;
        s->SetGrid(pitch);
        // A grid made visible by the new pitch stays visible.
        Settings().View.Kontrast = g_SheetViewSettings.Kontrast;
        UpdateSheetLabels();
    };
    h.SheetCaptionsChanged = [this] { RefreshSheetControls(); };
    connect(this, &TForm1::ToolChosen, this, [this](int tag) {
        m_toolTag = tag;
        if (TEditor* s = Document->CurrentSheet()) s->Mode = tag;
    });
}

void TForm1::TranslateDocumentCommands() {
    const std::pair<QAction*, int> items[] = {
        {Neu1, 1001},
        {Oeffnen, 1002},
        {Speichern, 1003},
        {Speichernunter, 1004},
        {AlsVorlageSpeichern1, 1007},
        {Explorer2, 1008},
        {Bildeinfgen1, 1009},
        {BitmapExport1, 1010},
        {Zwischenablage1, 1011},
        {Vollbild1, 1014},
        {Drucken1, 1012},
        {Blatteinrichten1, 1201},
        {NeuesBlatt1, 1202},
        {Blattkopieren2, 1203},
        {Blattlschen1, 1204},
        {Sortieren2, 1205},
        {Blattladen1, 1207},
        {Blattspeichernunter1, 1208},
        {Hintergrundbearbeiten, 1301},
        {Hintergrundladen1, 1302},
        {Hintergrundspeichern1, 1303},
        {Formblattentfernen1, 1304},
        {ZoomBlatt1, 2600},
        {ZoomElemente1, 2601},
        {ZoomMarkierte1, 2602},
    };
    for (auto [a, id] : items)
        a->setText(GetMessage(id));
    Vorlage1->setTitle(GetMessage(1005));
    NeuvonVorlage1->setTitle(GetMessage(1006));
    Blatt1->setTitle(GetMessage(1200));
    GehezuBlatt1->setTitle(GetMessage(1206));
    Formblatt1->setTitle(GetMessage(1300));
    for (QAction* a : Popup_Tab->actions())
        a->setText(GetMessage(a->data().toInt()));
    for (QToolButton* b : findChildren<QToolButton*>())
        if (b->property("Hint").isValid()) b->setToolTip(GetMessage(b->property("Hint").toInt()));
    L_DXCaption->setText(GetMessage(5200));
    L_DYCaption->setText(GetMessage(5201));
    findChild<QLabel*>(QStringLiteral("L_SuchenTitel"))->setText(GetMessage(7730));
    findChild<QLabel*>(QStringLiteral("L_EigenschaftenTitel"))->setText(GetMessage(8399));
    EigenschaftenPanel->Translate();
    EigenschaftenDlg->Translate();
    EigenschaftenFree->Translate();
    findChild<QLabel*>(QStringLiteral("L_PagesTitel"))->setText(GetMessage(7750));
    PagesFree->setWindowTitle(GetMessage(7750));
    PagesContent->Translate();
    P_SheetArea->Translate();
    WertEingabeDlg->Translate();
    PageSelectDlg->Translate();
    BlattEinfuegenDlg->Translate();
    BlattSortierenDlg->Translate();
    UpdateSheetLabels();
}

void TForm1::HideDocumentEditing() {
    for (QMenu* m : {Blatt1, Formblatt1}) {
        m->menuAction()->setVisible(false);
        m->menuAction()->setEnabled(false);
    }
    for (QAction* a : {Neu1, Speichern, Speichernunter, BitmapExport1, Zwischenablage1,
                       Bildeinfgen1, Vorlage1->menuAction(), Vollbild1}) {
        a->setVisible(false);
        a->setEnabled(false);
    }
    Panel_Tabs->SB_NeuesBlatt->setVisible(false);
    // Tool-bar buttons are shown and hidden through their actions.
    auto hide = [](QToolBar* bar, QWidget* button) {
        for (QAction* a : bar->actions())
            if (bar->widgetForAction(a) == button) a->setVisible(false);
    };
    for (const char* name :
         {"TB_Neu",        "TB_Save",     "TB_Undo",        "TB_Redo",      "TB_Cut",
          "TB_Copy",       "TB_Paste",    "TB_Duplizieren", "TB_Delete",    "TB_NachVorn",
          "TB_NachHinten", "TB_Rotieren", "TB_SpiegelnH",   "TB_SpiegelnV", "TB_Ausrichten",
          "TB_GruppEin",   "TB_GruppAus", "TB_AutoNum",     "TB_SList",     "TB_Raster",
          "TB_Formblatt"})
        hide(ToolBar1, ToolBar1->findChild<QToolButton*>(QString::fromLatin1(name)));
    hide(ToolBar2, TB_Pages);
    hide(ToolBar2, TB_Suche);
    hide(ToolBar2, TB_Eigenschaften);
    ToolBar2->setVisible(false);
    // A separator stays only between two visible groups.
    QAction* pending = nullptr;
    bool any = false;
    for (QAction* a : ToolBar1->actions()) {
        if (a->isSeparator()) {
            a->setVisible(false);
            if (any) pending = a;
        } else if (a->isVisible()) {
            if (pending) pending->setVisible(true);
            pending = nullptr;
            any = true;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TDocumentHost

void TForm1::SheetsChanged() {
    RefreshSheetControls();
}

void TForm1::RefreshSheetControls() {
    const TDocument& doc = *Document;
    std::vector<TSheetTabs::TTab> tabs;
    std::vector<TSheetListPanel::TRow> rows;
    for (int i = 0; i < doc.SheetCount(); ++i) {
        const TEditor& s = doc.Sheet(i);
        const QString hint = ReplaceUserVariables(s.SheetDescription, doc.UserVariables);
        tabs.push_back({doc.TabText(i), s.ReserveSheet, hint});
        QString name = s.ReserveSheet ? doc.SheetCaption(i) : s.SheetName;
        if (name.contains(QLatin1Char('<')) && name.contains(QLatin1Char('>')))
            name = ReplaceUserVariables(name, doc.UserVariables);
        rows.push_back({QString::number(i + 1), name, hint});
    }
    Panel_Tabs->TabSet->SetTabs(std::move(tabs), doc.CurrentIndex());
    if (P_Pages->isVisible() || PagesFree->isVisible())
        PagesContent->SetRows(rows, doc.CurrentIndex());
    UpdateCommands();
}

void TForm1::CurrentSheetChanged() {
    TEditor* s = Document->CurrentSheet();
    if (!s) {
        P_SheetArea->SetSheet(nullptr);
        return;
    }
    if (IsViewer()) {
        s->Mode = 7;
        s->ZoneGridVisible = false;
    }
    // The stored zoom sizes the canvas, the stored scroll position comes back; the sheet may
    // have changed while it was not shown.
    s->SetZoom(s->Zoom);
    P_SheetArea->SetSheet(s);
    ScrollBox_Editor->Invalidate(QRect());
    if (m_zoomOnShow == s) {
        m_zoomOnShow = nullptr;
        s->ZoomSheet();
    } else {
        s->ScrollTo(s->ScrollPosition);
    }
    P_SheetArea->RepaintRulers(true, true);
    P_SheetArea->ShowFormSheetBar(s->FormSheetEditing);
    UpdateSheetLabels();
    RefreshSheetControls();
    RefreshProperties();
}

void TForm1::PageLabelsChanged() {
    if (ScrollBox_Editor) ScrollBox_Editor->Invalidate(QRect());
}

void TForm1::FormSheetEditingChanged() {
    const TEditor* s = Document->CurrentSheet();
    P_SheetArea->ShowFormSheetBar(s && s->FormSheetEditing);
    ScrollBox_Editor->Invalidate(QRect());
    UpdateCommands();
}

void TForm1::SheetCreated(TEditor& sheet) {
    sheet.OnScrolled = [this](TEditor& s, bool h, bool v) {
        if (&s == P_SheetArea->Sheet()) P_SheetArea->RepaintRulers(h, v);
    };
    sheet.OnStatus = [this](TEditor& s, const TStatusTexts& t) { ShowStatus(s, t); };
    sheet.OnKeyHints = [this](TEditor& s, const TKeyHints& k) {
        if (&s == P_SheetArea->Sheet()) ShowKeyHints(k);
    };
    sheet.Mode = m_toolTag;
    // A sheet the user creates is shown whole; sheets of a file keep their stored view.
    m_zoomOnShow = Document->IsLoading() ? nullptr : &sheet;
}

void TForm1::SyncShownSheet(TEditor& sheet) {
    if (&sheet == P_SheetArea->Sheet()) sheet.ScrollPosition = sheet.Scroll();
}

void TForm1::SheetDeleting(TEditor& sheet) {
    if (P_SheetArea->Sheet() == &sheet) P_SheetArea->SetSheet(nullptr);
    if (m_zoomOnShow == &sheet) m_zoomOnShow = nullptr;
}

void TForm1::SetBusy(bool busy) {
    if (busy) {
        if (m_busy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void TForm1::SetSheetAreaVisible(bool visible) {
    ScrollBox_Editor->viewport()->setUpdatesEnabled(visible);
    if (visible) ScrollBox_Editor->Invalidate(QRect());
}

QString TForm1::ChooseSaveFileName(const QString& preset, const QString& startFolder) {
    return ChooseFile(true, FilterSaveDocument, startFolder, preset);
}

std::vector<int> TForm1::ChooseSheets(int titleMessage, const std::vector<int>& candidates,
                                      const std::vector<int>& preselected) {
    QStringList lines;
    std::vector<int> pre;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const int sheet = candidates[i];
        lines << (Document->Sheet(sheet).ReserveSheet ? TPageSelectDlg::ReservedMarker
                                                      : Document->SheetCaption(sheet, true));
        if (std::find(preselected.begin(), preselected.end(), sheet) != preselected.end())
            pre.push_back(int(i));
    }
    PageSelectDlg->setWindowTitle(GetMessage(titleMessage));
    PageSelectDlg->SetLines(lines, pre);
    std::vector<int> chosen;
    if (!RunDialog(*PageSelectDlg)) return chosen;
    for (int line : PageSelectDlg->SelectedLines())
        chosen.push_back(candidates[size_t(line)]);
    return chosen;
}

// ---------------------------------------------------------------------------------------------
// Status bar and rulers

void TForm1::ShowStatus(TEditor& sheet, const TStatusTexts& t) {
    if (&sheet != P_SheetArea->Sheet()) return;
    auto set = [](QLabel* l, const QString& text) {
        if (text != kStatusUnchanged) l->setText(text);
    };
    set(L_KX, t.X);
    set(L_KY, t.Y);
    set(L_DX, t.DX);
    set(L_DY, t.DY);
    // Lengths get the captions; angles and percentages carry their own signs.
    const QString dy = L_DY->text();
    const bool captions = !dy.isEmpty() && !dy.contains(QChar(0x00B0)) && !dy.contains('%');
    L_DXCaption->setVisible(captions);
    L_DYCaption->setVisible(captions);
    L_Zoomfaktor->setText(ZoomLabelText(t.Zoom));
    P_SheetArea->SetRulerMarkers(t.Position);
}

void TForm1::ShowKeyHints(const TKeyHints& hints) {
    auto show = [](QLabel* key, QLabel* hint, int code, std::initializer_list<int> messages) {
        const bool on = code > 0 && code <= int(messages.size());
        key->setVisible(on);
        hint->setVisible(on);
        if (on) hint->setText(QStringLiteral(" = ") + GetMessage(*(messages.begin() + code - 1)));
    };
    show(L_Key_STRG, L_KeyHint_STRG, hints.Ctrl, {5170, 5171, 5172});
    show(L_Key_SHIFT, L_KeyHint_SHIFT, hints.Shift, {5173, 5174});
    show(L_Key_ALT, L_KeyHint_ALT, hints.Alt, {5175, 5176});
}

void TForm1::UpdateSheetLabels() {
    const TEditor* s = Document->CurrentSheet();
    if (!s) return;
    L_Raster->setText(GridLabelText(s->GridSize, s->Scale, s->UnitDivisor));
    L_Massstab->setText(QStringLiteral("1:") + FormatTrimmed(s->Scale, 6));
    L_Einheit->setText(UnitText(s->UnitDivisor));
    L_Zoomfaktor->setText(ZoomLabelText(s->Zoom));
}

void TForm1::ZoomDialog() {
    TEditor* s = Document->CurrentSheet();
    if (!s) return;
    WertEingabeDlg->PrepareNumber(GetMessage(5208), std::nearbyint(s->Zoom * 333.0) / 100, 0.17,
                                  99.9);
    if (!RunDialog(*WertEingabeDlg)) return;
    s->SetZoom(float(WertEingabeDlg->Value / kShownZoomFactor));
    ScrollBox_Editor->Invalidate(QRect());
    P_SheetArea->RepaintRulers(true, true);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == L_Raster && !IsViewer()) {
            Popup_Raster->popup(QCursor::pos());
            return true;
        }
        if (watched == L_Zoomfaktor) {
            ZoomDialog();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Commands

bool TForm1::RunDialog(QDialog& dialog) {
    if (DialogHook) {
        dialog.open();
        DialogHook(dialog);
        if (dialog.isVisible()) dialog.reject();
        return dialog.result() == QDialog::Accepted;
    }
    return dialog.exec() == QDialog::Accepted;
}

QString TForm1::ChooseFile(bool save, const QString& filter, const QString& folder,
                           const QString& preset) {
    const QString start = QFileInfo(folder).isDir() ? folder : QString();
    if (FileDialogHook) return FileDialogHook(save, filter, start, preset);
    const QString initial =
        preset.isEmpty() ? start : QDir(start).filePath(QFileInfo(preset).fileName());
    return save ? QFileDialog::getSaveFileName(this, QString(), initial, filter)
                : QFileDialog::getOpenFileName(this, QString(), initial, filter);
}

void TForm1::Neu1Click() {
    if (!Document->New()) return;
    Q_EMIT ToolChosen(0);
    TB_Standard->setChecked(true);
}

void TForm1::OeffnenClick() {
    if (!Document->AskSaveChanges()) return;
    const QString file = ChooseFile(false, FilterOpenDocument, Document->Settings.DocumentFolder);
    if (file.isEmpty()) return;
    Document->Open(file, false);
    ScrollBox_Editor->Invalidate(QRect());
}

void TForm1::SpeichernClick() {
    Document->Save();
    UpdateCommands();
}

void TForm1::SpeichernunterClick() {
    Document->SaveAs();
    ScrollBox_Editor->Invalidate(QRect());
}

void TForm1::NeuVonVorlageClick(const QString& file) {
    Document->NewFromTemplate(file);
}

void TForm1::AlsVorlageSpeichern1Click() {
    Document->SaveAsTemplate();
}

void TForm1::Explorer2Click() {
    const QString folder = Document->Settings.TemplateFolder;
    if (!folder.isEmpty()) ShellOpen(folder);
}

void TForm1::FillTemplateMenu() {
    NeuvonVorlage1->clear();
    const QStringList files = Document->TemplateFiles();
    for (const QString& file : files) {
        QAction* a = NeuvonVorlage1->addAction(QFileInfo(file).completeBaseName());
        a->setData(file);
        connect(
            a, &QAction::triggered, this, [this, file] { NeuVonVorlageClick(file); },
            Qt::QueuedConnection);
    }
    NeuvonVorlage1->setEnabled(!files.isEmpty());
}

void TForm1::FillGotoMenu(QMenu* menu) {
    menu->clear();
    for (int i = 0; i < Document->SheetCount(); ++i) {
        QAction* a = menu->addAction(Document->SheetCaption(i));
        a->setCheckable(true);
        a->setChecked(i == Document->CurrentIndex());
        connect(a, &QAction::triggered, this, [this, i] { GotoSheet(i); });
    }
}

void TForm1::FillNewSheetMenu() {
    Popup_NeuesBlatt->clear();
    QAction* empty = Popup_NeuesBlatt->addAction(GetMessage(2110));
    connect(empty, &QAction::triggered, this, [this] { Document->AppendNewSheet(); });
    QMenu* copy = Popup_NeuesBlatt->addMenu(GetMessage(2111));
    for (int i = 0; i < Document->SheetCount(); ++i) {
        QAction* a = copy->addAction(Document->SheetCaption(i));
        connect(a, &QAction::triggered, this,
                [this, i] { CopySheets(i, Document->SheetCount(), 1); });
    }
}

void TForm1::GotoSheet(int index) {
    if (index < 0 || index >= Document->SheetCount() || index == Document->CurrentIndex()) return;
    Document->ShowSheet(index);
}

bool TForm1::ChooseInsertPosition(bool copy, int& position, int& count) {
    if (TEditor* s = Document->CurrentSheet()) SyncShownSheet(*s);
    BlattEinfuegenDlg->Prepare(Document->SheetCount(), Document->CurrentIndex(), copy);
    if (!RunDialog(*BlattEinfuegenDlg)) return false;
    position = BlattEinfuegenDlg->Position();
    count = BlattEinfuegenDlg->Count();
    return true;
}

void TForm1::NeuesBlatt1Click() {
    int position = 0, count = 1;
    if (!ChooseInsertPosition(false, position, count)) return;
    Document->InsertNewSheet(position);
}

void TForm1::Blattkopieren2Click() {
    int position = 0, count = 1;
    if (!ChooseInsertPosition(true, position, count)) return;
    CopySheets(Document->CurrentIndex(), position, count);
}

void TForm1::CopySheets(int source, int position, int count) {
    Document->CopySheet(source, position, count);
}

void TForm1::Blattlschen1Click() {
    Document->DeleteCurrentSheet();
}

void TForm1::Sortieren2Click() {
    QStringList captions;
    for (int i = 0; i < Document->SheetCount(); ++i)
        captions << Document->SheetCaption(i, true);
    BlattSortierenDlg->SetCaptions(captions, Document->CurrentIndex());
    if (!RunDialog(*BlattSortierenDlg)) return;
    const std::vector<int> order = BlattSortierenDlg->Order();
    bool changed = false;
    for (size_t i = 0; i < order.size(); ++i)
        changed |= order[i] != int(i);
    if (changed) Document->SortSheets(order);
}

void TForm1::TabMoved(int from, int to) {
    if (from == to) return;
    Document->MoveSheet(from, to);
    Document->SheetsChanged();
    ScrollBox_Editor->Invalidate(QRect());
}

void TForm1::Blattladen1Click() {
    int position = 0, count = 1;
    if (!ChooseInsertPosition(false, position, count)) return;
    const QString file = ChooseFile(false, FilterSheetFile, Document->Settings.DocumentFolder);
    if (file.isEmpty()) return;
    Document->LoadSheetFile(file, position);
}

void TForm1::Blattspeichernunter1Click() {
    const QString file =
        DefaultSuffix(ChooseFile(true, FilterSheetFile, Document->Settings.DocumentFolder), "blt");
    if (!file.isEmpty()) Document->SaveSheetFile(file);
}

void TForm1::HintergrundbearbeitenClick() {
    Document->ToggleFormSheetEditing();
}

void TForm1::Hintergrundladen1Click() {
    if (!Document->CurrentSheet()) return;
    std::vector<int> sheets{Document->CurrentIndex()};
    if (Document->SheetCount() > 1) {
        std::vector<int> all(static_cast<size_t>(Document->SheetCount()));
        for (int i = 0; i < Document->SheetCount(); ++i)
            all[size_t(i)] = i;
        sheets = ChooseSheets(5050, all, sheets);
        if (sheets.empty()) return;
    }
    const QString file = ChooseFile(false, FilterFormSheet, Document->Settings.FormSheetFolder);
    if (file.isEmpty()) return;
    Document->LoadFormSheet(file, sheets);
    ScrollBox_Editor->Invalidate(QRect());
    UpdateCommands();
}

void TForm1::Hintergrundspeichern1Click() {
    const QString file =
        DefaultSuffix(ChooseFile(true, FilterFormSheet, Document->Settings.FormSheetFolder), "sbk");
    if (!file.isEmpty()) Document->SaveFormSheet(file);
}

void TForm1::Formblattentfernen1Click() {
    Document->RemoveFormSheetCommand();
    ScrollBox_Editor->Invalidate(QRect());
    UpdateCommands();
}

void TForm1::UpdateCommands() {
    const TEditor* s = Document->CurrentSheet();
    const bool editing = s && s->FormSheetEditing;
    Hintergrundbearbeiten->setChecked(editing);
    TB_Formblatt->setChecked(editing);
    Hintergrundspeichern1->setEnabled(s && s->HasFormSheet());
    ZoomElemente1->setEnabled(s && !s->Elements.empty());
    for (QAction* a :
         {Blatteinrichten1, Popup_Tab->actions().value(0), PagesContent->M_Eigenschaften,
          NeuesBlatt1, Blattkopieren2, Blattlschen1, Sortieren2, Blattladen1, Blattspeichernunter1,
          Hintergrundbearbeiten, Hintergrundladen1, Formblattentfernen1})
        a->setEnabled(s != nullptr && !IsViewer());
    TB_Eigenschaften->setEnabled(!IsViewer());
}
