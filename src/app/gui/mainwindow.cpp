#include "app/gui/mainwindow.h"

#include "app/gui/OptionsDlg.h"
#include "app/gui/SpracheDlg.h"
#include "app/settings.h"
#include "document/gui/AnwenderVariablenDlg.h"
#include "document/gui/SheetDialogs.h"
#include "document/gui/SheetTabs.h"
#include "document/gui/TextKonstantenDlg.h"
#include "editor/gui/SheetArea.h"
#include "editor/gui/SheetView.h"
#include "editor/viewplan.h"
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/textsettings.h"
#include "output/gui/PageSelectDlg.h"
#include "output/gui/WertEingabeDlg.h"
#include "platform/config.h"
#include "platform/folders.h"
#include "platform/gui/named.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>
#include <cmath>

namespace {

// The tool palette, in its order: button, tag, hint message, hotkey (-1: the fixed "ESC").
struct TToolDef {
    const char* Name;
    int Tag;
    int Hint;
    int Hotkey;
};
constexpr TToolDef ToolDefs[] = {
    {"TB_Standard", 0, 4100, -1},
    {"TB_Polyline", 5, 4101, hkLine},
    {"TB_Loetpunkt", 8, 4102, hkPoint},
    {"TB_Rect", 2, 4103, hkRect},
    {"TB_Circle", 3, 4104, hkCircle},
    {"TB_Polygon", 4, 4105, hkPolygon},
    {"TB_Bezier", 12, 4106, hkBezier},
    {"TB_Freihand", 15, 4120, hkFreihand},
    {"TB_Spezialform", 11, 4107, hkSpecial},
    {"TB_Bemassung", 13, 4108, hkDimension},
    {"TB_Text", 6, 4109, hkText},
    {"TB_TextRect", 10, 4110, hkTextRect},
    {"TB_PixelBitmap", 9, 4111, hkBitmap},
    {"TB_Zoom", 7, 4112, hkZoom},
    {"TB_Messen", 14, 4113, hkMeasure},
    {"TB_Kontakt", 16, 4114, hkContact},
};

// Snap and text buttons of the palette with the switch each one toggles.
struct TSnapDef {
    const char* Name;
    int Hint;
    bool& (*Field)();
};
constexpr TSnapDef SnapDefs[] = {
    {"SB_Rasterfang", 4200, []() -> bool& { return Settings().Tools.RasterFang; }},
    {"SB_Gummiband", 4201, []() -> bool& { return Settings().Tools.Gummiband; }},
    {"SB_AnschlussFang", 4202, []() -> bool& { return Settings().Tools.AnschlussFang; }},
    {"SB_Winkelfang", 4213, []() -> bool& { return Settings().Tools.WinkelFang; }},
    {"SB_TexteDrehen", 4211, []() -> bool& { return g_TextSettings.TexteDrehen; }},
    {"SB_TexteSpiegeln", 4212, []() -> bool& { return g_TextSettings.TexteSpiegeln; }},
};

// Grid steps of the grid menu in world units; 0 is "...".
constexpr int GridTags[] = {1, 2, 5, 10, 20, 25, 50, 100, 0};

constexpr int IconSize = 22;

// Tool images drawn in code; `centred` selects the from-the-centre image of rectangle and ellipse.
QIcon ToolIcon(int tag, bool centred) {
    QPixmap pm(IconSize * 2, IconSize * 2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    QPen pen(QColor(20, 20, 20), 1.4);
    p.setPen(pen);
    const QRectF box(4, 5, 14, 12);
    auto marker = [&](QPointF at) {
        p.setBrush(QColor(200, 30, 30));
        p.setPen(Qt::NoPen);
        p.drawEllipse(at, 1.8, 1.8);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    };
    switch (tag) {
    case 0: { // selection arrow
        QPainterPath a;
        a.moveTo(6, 3);
        a.lineTo(6, 18);
        a.lineTo(10, 14);
        a.lineTo(13, 20);
        a.lineTo(15, 19);
        a.lineTo(12, 13);
        a.lineTo(17, 13);
        a.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(a);
        break;
    }
    case 5:
        p.drawLine(QPointF(3, 18), QPointF(19, 4));
        break;
    case 8:
        p.drawLine(QPointF(2, 11), QPointF(20, 11));
        p.drawLine(QPointF(11, 11), QPointF(11, 20));
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(QPointF(11, 11), 3, 3);
        break;
    case 2:
        p.drawRect(box);
        marker(centred ? box.center() : box.topLeft());
        break;
    case 3:
        p.drawEllipse(box);
        marker(centred ? box.center() : box.topLeft());
        break;
    case 4:
        p.drawPolygon(QPolygonF({{3, 18}, {8, 4}, {19, 8}, {15, 18}}));
        break;
    case 12: {
        QPainterPath c;
        c.moveTo(3, 17);
        c.cubicTo(6, 0, 15, 22, 19, 5);
        p.drawPath(c);
        break;
    }
    case 15: {
        QPainterPath c;
        c.moveTo(3, 12);
        c.cubicTo(5, 5, 8, 18, 11, 11);
        c.cubicTo(14, 4, 16, 17, 19, 10);
        p.drawPath(c);
        break;
    }
    case 11: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 3.5 : 8.5, a = M_PI / 5 * i - M_PI / 2;
            star << QPointF(11 + r * std::cos(a), 11.5 + r * std::sin(a));
        }
        p.drawPolygon(star);
        break;
    }
    case 13:
        p.drawLine(QPointF(3, 5), QPointF(3, 17));
        p.drawLine(QPointF(19, 5), QPointF(19, 17));
        p.drawLine(QPointF(3, 11), QPointF(19, 11));
        p.drawLine(QPointF(3, 11), QPointF(6, 9));
        p.drawLine(QPointF(3, 11), QPointF(6, 13));
        p.drawLine(QPointF(19, 11), QPointF(16, 9));
        p.drawLine(QPointF(19, 11), QPointF(16, 13));
        break;
    case 6: {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(17);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, IconSize, IconSize), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 10:
        p.drawRect(QRectF(3, 3, 16, 16));
        for (int y = 7; y <= 15; y += 4)
            p.drawLine(QPointF(6, y), QPointF(16, y));
        break;
    case 9:
        p.drawRect(QRectF(3, 4, 16, 14));
        p.drawPolyline(QPolygonF({{4, 17}, {9, 10}, {12, 14}, {14, 12}, {18, 17}}));
        break;
    case 7:
        p.drawEllipse(QPointF(9, 9), 5.5, 5.5);
        p.setPen(QPen(QColor(20, 20, 20), 2.5));
        p.drawLine(QPointF(13, 13), QPointF(19, 19));
        break;
    case 14:
        p.drawRect(QRectF(2, 8, 18, 6));
        for (int x = 5; x < 20; x += 3)
            p.drawLine(QPointF(x, 8), QPointF(x, 11));
        break;
    default:
        p.drawLine(QPointF(4, 11), QPointF(9, 11));
        p.drawLine(QPointF(9, 11), QPointF(16, 6));
        p.drawLine(QPointF(16, 11), QPointF(19, 11));
        break;
    }
    return QIcon(pm);
}

// Images of the snap and text buttons and of the parent/child toggle, drawn in code.
QIcon SwitchIcon(const QString& name) {
    QPixmap pm(IconSize * 2, IconSize * 2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    const QColor ink(20, 20, 20), red(200, 30, 30);
    p.setPen(QPen(ink, 1.4));
    auto dot = [&](QPointF at, double r, const QColor& c) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at, r, r);
        p.restore();
    };
    auto letter = [&](QPointF at, bool mirrored, double angle) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(12);
        f.setBold(true);
        p.save();
        p.translate(at);
        p.rotate(angle);
        if (mirrored) p.scale(-1, 1);
        p.setFont(f);
        p.drawText(QRectF(-6, -7, 12, 14), Qt::AlignCenter, QStringLiteral("A"));
        p.restore();
    };
    if (name == QLatin1String("SB_Rasterfang")) {
        for (int x = 5; x <= 17; x += 6)
            for (int y = 5; y <= 17; y += 6)
                dot(QPointF(x, y), 1.4, ink);
        dot(QPointF(11, 11), 2.4, red);
    } else if (name == QLatin1String("SB_Gummiband")) {
        p.drawPolyline(QPolygonF({{4, 16}, {7, 8}, {10, 16}, {13, 8}, {16, 16}, {19, 8}}));
        dot(QPointF(4, 16), 2, red);
    } else if (name == QLatin1String("SB_AnschlussFang")) {
        p.drawLine(QPointF(2, 11), QPointF(9, 11));
        p.drawEllipse(QPointF(13, 11), 4, 4);
        dot(QPointF(9, 11), 2, red);
    } else if (name == QLatin1String("SB_Winkelfang")) {
        p.drawLine(QPointF(3, 18), QPointF(19, 18));
        p.drawLine(QPointF(3, 18), QPointF(16, 5));
        p.drawArc(QRectF(-5, 10, 16, 16), 0, 45 * 16);
    } else if (name == QLatin1String("SB_TexteDrehen")) {
        letter(QPointF(11, 11), false, -30);
        p.drawArc(QRectF(3, 3, 16, 16), 200 * 16, 120 * 16);
    } else if (name == QLatin1String("SB_TexteSpiegeln")) {
        letter(QPointF(6, 11), false, 0);
        letter(QPointF(16, 11), true, 0);
        p.setPen(QPen(red, 1, Qt::DashLine));
        p.drawLine(QPointF(11, 2), QPointF(11, 20));
    } else { // parent/child colouring
        p.drawRect(QRectF(2, 3, 8, 6));
        p.setPen(QPen(red, 1.4));
        p.drawRect(QRectF(12, 13, 8, 6));
        p.drawLine(QPointF(6, 9), QPointF(6, 16));
        p.drawLine(QPointF(6, 16), QPointF(12, 16));
    }
    return QIcon(pm);
}

QLabel* StatusLabel(const char* name, int minWidth) {
    auto* l = new QLabel;
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(minWidth);
    return l;
}

QLabel* KeyLabel(const char* name, const QString& text) {
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    // Opaque, so the key colours of the hints show.
    l->setAutoFillBackground(true);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(44);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

double ScreenPPI(const QWidget* w) {
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return 96;
    return screen->logicalDotsPerInch() * screen->devicePixelRatio();
}

} // namespace

TForm1::TForm1(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), Document(std::make_unique<TDocument>()),
      m_lifecycle(std::make_unique<TAppLifecycle>(IsViewer(), *Document, this)),
      m_commandLine(ParseCommandLine(arguments)) {
    setObjectName(QStringLiteral("Form1"));
    Document->Host = this;
    m_lifecycle->Hooks.AutosaveAllowed = [this] { return isActiveWindow(); };
    m_lifecycle->Hooks.DocumentNameChanged = [this] { FileNameChanged(); };
    ConnectSheetHooks();
    SplashTimer = Named(new QTimer(this), "SplashTimer");
    SplashTimer->setSingleShot(true);
    SplashTimer->setInterval(2000);
    connect(SplashTimer, &QTimer::timeout, this, &TForm1::SplashTimerTimer);
    FormCreate();
}

TForm1::~TForm1() {
    // The sheet widgets go with the window after the document and its sheets.
    P_SheetArea->SetSheet(nullptr);
    // The document outlives the lifecycle object that refers to it.
    m_lifecycle.reset();
    Document->Host = nullptr;
}

void TForm1::FileNameChanged() {
    setWindowTitle(Document->WindowCaption());
    RebuildRecentFiles();
}

void TForm1::FormCreate() {
    TAppLifecycle& lc = *m_lifecycle;
    const bool viewer = lc.Viewer();
    // 1.
    lc.ReadLanguage();
    // 2. Invisible until the deferred start-up fades the window in.
    setWindowOpacity(0);
    // 3.-5.
    lc.DetermineFolders();
    lc.BuildMessageTable();
    // 6.-8.: the sheet tabs, cursors and tool images come with the sheet view and the commands.
    BuildMenus();
    BuildToolPalette();
    BuildStatusBar();
    // 9.
    lc.OpenSettingsFiles();
    // 10.-11.
    lc.InitialiseDocument();
    setWindowTitle(Document->WindowCaption());
    // 13.
    lc.ReadSettingsFiles();
    Splitter1->setSizes(
        {Settings().Library.BiboW, std::max(1, width() - Settings().Library.BiboW)});
    ApplyHotkeys();
    TB_ShowParentChild->setChecked(Settings().Tools.ShowParentChild);
    for (QToolButton* b : m_snapButtons)
        b->setChecked(SnapDefs[m_snapButtons.indexOf(b)].Field());
    RebuildRecentFiles();
    // 15.
    if (lc.Hooks.SetSheetColors) lc.Hooks.SetSheetColors();
    // 16.
    lc.ChooseRenderer(m_commandLine);
    // 17.
    FilterOpenDocument = FileTypeFilter(4300) + QStringLiteral(";;") + FileTypeFilter(4301) +
                         QStringLiteral(";;") + FileTypeFilter(4302);
    FilterSaveDocument = FileTypeFilter(4303);
    FilterFormSheet = FileTypeFilter(4304);
    FilterSheetFile = FileTypeFilter(4305);

    OptionsDlg = new TOptionsDlg(this);
    connect(OptionsDlg, &TOptionsDlg::HelpRequested, this, [this](int page) {
        if (m_lifecycle->Hooks.ShowOptionsHelp) m_lifecycle->Hooks.ShowOptionsHelp(page);
    });
    OptionsDlg->GridMenu = Popup_Raster;
    WertEingabeDlg = new TWertEingabeDlg(this);
    PageSelectDlg = new TPageSelectDlg(this);
    BlattEinfuegenDlg = new TBlattEinfuegenDlg(this);
    BlattSortierenDlg = new TBlattSortierenDlg(this);
    TextKonstantenDlg = new TTextKonstantenDlg(this);
    AnwenderVariablenDlg = new TAnwenderVariablenDlg(*Document, this);
    // 19.
    if (viewer) HideEditingInterface();
    // 20.
    Translate();
    resize(Settings().Window.W, Settings().Window.H);
}

void TForm1::BuildMenus() {
    Datei1 = menuBar()->addMenu(QString());
    Datei1->setObjectName(QStringLiteral("Datei1"));
    BuildFileMenu();
    MruSeparator = Datei1->addSeparator();
    Beenden1 = Datei1->addAction(QString());
    Beenden1->setObjectName(QStringLiteral("Beenden1"));
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(Datei1, &QMenu::aboutToShow, this, [this] {
        Document->PruneRecentFiles();
        RebuildRecentFiles();
    });

    Einstellungen1 = menuBar()->addMenu(QString());
    Einstellungen1->setObjectName(QStringLiteral("Einstellungen1"));
    Grundeinstellungen1 = Einstellungen1->addAction(QString());
    Grundeinstellungen1->setObjectName(QStringLiteral("Grundeinstellungen1"));
    connect(Grundeinstellungen1, &QAction::triggered, this, &TForm1::Grundeinstellungen1Click);
    Einstellungen1->addSeparator();
    Textkonstanten1 = Einstellungen1->addAction(QString());
    Textkonstanten1->setObjectName(QStringLiteral("Textkonstanten1"));
    connect(Textkonstanten1, &QAction::triggered, this, &TForm1::Textkonstanten1Click);
    AnwenderVariablen1 = Einstellungen1->addAction(QString());
    AnwenderVariablen1->setObjectName(QStringLiteral("AnwenderVariablen1"));
    connect(AnwenderVariablen1, &QAction::triggered, this, &TForm1::AnwenderVariablen1Click);
    BuildSheetMenus();

    ViewerSprache1 = menuBar()->addAction(QString());
    ViewerSprache1->setObjectName(QStringLiteral("ViewerSprache1"));
    ViewerSprache1->setVisible(false);
    connect(ViewerSprache1, &QAction::triggered, this, &TForm1::ChangeLanguage);

    Popup_Raster = Named(new QMenu(this), "Popup_Raster");
    for (int tag : GridTags) {
        QAction* a = Popup_Raster->addAction(QString());
        a->setData(tag);
        a->setCheckable(tag != 0);
        connect(a, &QAction::triggered, this, [this, tag] { GridChosen(tag); });
    }
    connect(Popup_Raster, &QMenu::aboutToShow, this, &TForm1::FillGridMenu);
}

void TForm1::BuildToolPalette() {
    ToolBar1 = Named(new QToolBar(this), "ToolBar1");
    ToolBar1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    TB_ShowParentChild = Named(new QToolButton, "TB_ShowParentChild");
    TB_ShowParentChild->setCheckable(true);
    TB_ShowParentChild->setIcon(SwitchIcon(QStringLiteral("TB_ShowParentChild")));
    connect(TB_ShowParentChild, &QToolButton::toggled, this,
            [](bool on) { Settings().Tools.ShowParentChild = on; });
    ToolBar1->addWidget(TB_ShowParentChild);
    BuildDocumentToolButtons();

    // Left to right: the library panel with its splitter, the tool palette, the sheet area. The
    // sheet view and the library view replace the placeholders inside them.
    Splitter1 = Named(new QSplitter(Qt::Horizontal), "Splitter1");
    Bibo_panel = Named(new QWidget, "Bibo_panel");
    Bibo_panel->setMinimumWidth(60);

    P_Modus = Named(new QWidget, "P_Modus");
    TB_Modus = Named(new QToolBar(P_Modus), "TB_Modus");
    TB_Modus->setOrientation(Qt::Vertical);
    TB_Modus->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    TB_Modus->setIconSize(QSize(IconSize, IconSize));
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (const TToolDef& def : ToolDefs) {
        auto* b = new QToolButton;
        b->setObjectName(QString::fromLatin1(def.Name));
        b->setProperty("Tag", def.Tag);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setIcon(ToolIcon(def.Tag, false));
        b->setMinimumWidth(56);
        group->addButton(b);
        TB_Modus->addWidget(b);
        if (def.Hotkey < 0) {
            TB_Standard = b;
            b->setText(QStringLiteral("ESC"));
            b->setChecked(true);
        } else {
            HotkeyButtons[def.Hotkey] = b;
        }
        const int tag = def.Tag;
        connect(b, &QToolButton::clicked, this, [this, tag] { Q_EMIT ToolChosen(tag); });
    }
    // The contact tool exists only inside the component editor.
    TB_Modus->actions().last()->setVisible(false);
    TB_Modus->addSeparator();
    for (const TSnapDef& def : SnapDefs) {
        auto* b = new QToolButton;
        b->setObjectName(QString::fromLatin1(def.Name));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(SwitchIcon(b->objectName()));
        TB_Modus->addWidget(b);
        m_snapButtons.append(b);
        auto field = def.Field;
        connect(b, &QToolButton::toggled, this, [field](bool on) { field() = on; });
    }
    auto* modusLayout = new QVBoxLayout(P_Modus);
    modusLayout->setContentsMargins(0, 0, 0, 0);
    modusLayout->addWidget(TB_Modus);
    modusLayout->addStretch(1);

    auto* work = new QWidget;
    auto* workLayout = new QHBoxLayout(work);
    workLayout->setContentsMargins(0, 0, 0, 0);
    workLayout->setSpacing(0);
    workLayout->addWidget(P_Modus);
    workLayout->addWidget(BuildSheetArea(), 1);
    Splitter1->addWidget(Bibo_panel);
    Splitter1->addWidget(work);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    setCentralWidget(Splitter1);
}

void TForm1::BuildStatusBar() {
    // The key-hint panel sits above the status bar.
    P_KeyHint = Named(new QWidget, "P_KeyHint");
    L_Key_STRG = KeyLabel("L_Key_STRG", QStringLiteral("STRG"));
    L_Key_SHIFT = KeyLabel("L_Key_SHIFT", QStringLiteral("SHIFT"));
    L_Key_ALT = KeyLabel("L_Key_ALT", QStringLiteral("ALT"));
    L_KeyHint_STRG = StatusLabel("L_KeyHint_STRG", 0);
    L_KeyHint_SHIFT = StatusLabel("L_KeyHint_SHIFT", 0);
    L_KeyHint_ALT = StatusLabel("L_KeyHint_ALT", 0);
    L_Hint1 = StatusLabel("L_Hint1", 0);
    L_Hint2 = StatusLabel("L_Hint2", 0);
    auto* hints = new QHBoxLayout(P_KeyHint);
    hints->setContentsMargins(4, 2, 4, 2);
    for (QLabel* l :
         {L_Key_STRG, L_KeyHint_STRG, L_Key_SHIFT, L_KeyHint_SHIFT, L_Key_ALT, L_KeyHint_ALT}) {
        l->setVisible(false);
        hints->addWidget(l);
    }
    hints->addWidget(L_Hint1);
    hints->addWidget(L_Hint2, 1);

    LMDStatusBar = Named(new QStatusBar, "LMDStatusBar");
    L_KX = StatusLabel("L_KX", 70);
    L_KY = StatusLabel("L_KY", 70);
    L_DXCaption = StatusLabel("L_DXCaption", 0);
    L_DX = StatusLabel("L_DX", 60);
    L_DYCaption = StatusLabel("L_DYCaption", 0);
    L_DY = StatusLabel("L_DY", 60);
    L_DXCaption->setVisible(false);
    L_DYCaption->setVisible(false);
    L_Raster = StatusLabel("L_Raster", 80);
    L_Massstab = StatusLabel("L_Massstab", 50);
    L_Einheit = StatusLabel("L_Einheit", 30);
    L_Zoomfaktor = StatusLabel("L_Zoomfaktor", 80);
    for (QLabel* l : {L_KX, L_KY, L_DXCaption, L_DX, L_DYCaption, L_DY, L_Raster, L_Massstab,
                      L_Einheit, L_Zoomfaktor})
        LMDStatusBar->addWidget(l);
    // A click on the grid label opens the grid menu, on the zoom label the zoom dialog.
    L_Raster->installEventFilter(this);
    L_Zoomfaktor->installEventFilter(this);
    L_Einheit->setText(QStringLiteral("mm"));

    auto* bottom = new QWidget;
    bottom->setObjectName(QStringLiteral("P_Bottom"));
    auto* l = new QVBoxLayout(bottom);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(P_KeyHint);
    l->addWidget(LMDStatusBar);
    setStatusBar(new QStatusBar);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(bottom, 1);
    statusBar()->setContentsMargins(0, 0, 0, 0);
}

void TForm1::HideEditingInterface() {
    Einstellungen1->menuAction()->setVisible(false);
    Einstellungen1->menuAction()->setEnabled(false);
    P_Modus->setVisible(false);
    Bibo_panel->setVisible(false);
    statusBar()->setVisible(false);
    HideDocumentEditing();
}

void TForm1::InstallToolkitTexts() {
    // The toolkit's own texts (file dialogs, standard buttons) in the interface language too.
    static const char* const suffixes[] = {"qtbase_de", "qtbase_en", "qtbase_fr"};
    if (!m_toolkitTexts) m_toolkitTexts = std::make_unique<QTranslator>();
    QCoreApplication::removeTranslator(m_toolkitTexts.get());
    if (m_toolkitTexts->load(QString::fromLatin1(suffixes[InterfaceLanguage()]),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_toolkitTexts.get());
}

void TForm1::Translate() {
    InstallToolkitTexts();
    Datei1->setTitle(GetMessage(1000));
    Beenden1->setText(GetMessage(1013));
    Einstellungen1->setTitle(GetMessage(1500));
    Grundeinstellungen1->setText(GetMessage(1501));
    Textkonstanten1->setText(GetMessage(1504));
    AnwenderVariablen1->setText(GetMessage(1505));
    TextKonstantenDlg->UpdateTexts();
    AnwenderVariablenDlg->UpdateTexts();
    ViewerSprache1->setText(GetMessage(1700));
    for (const TToolDef& def : ToolDefs)
        if (auto* b = findChild<QToolButton*>(QString::fromLatin1(def.Name)))
            b->setToolTip(GetMessage(def.Hint));
    for (int i = 0; i < m_snapButtons.size(); ++i)
        m_snapButtons[i]->setToolTip(GetMessage(SnapDefs[i].Hint));
    TB_ShowParentChild->setToolTip(GetMessage(4022));
    Popup_Raster->actions().last()->setText(QStringLiteral("..."));
    OptionsDlg->Language = InterfaceLanguage();
    OptionsDlg->Translate();
    TranslateDocumentCommands();
}

void TForm1::ApplyHotkeys() {
    for (int i = 0; i < hkCount; ++i)
        HotkeyButtons[i]->setText(Settings().Hotkeys[i]);
    HotkeyButtons[hkRect]->setIcon(ToolIcon(2, Settings().Tools.RectZentriert));
    HotkeyButtons[hkCircle]->setIcon(ToolIcon(3, Settings().Tools.CircleZentriert));
}

void TForm1::RebuildRecentFiles() {
    for (QAction* a : m_mruActions)
        Datei1->removeAction(a);
    qDeleteAll(m_mruActions);
    m_mruActions.clear();
    for (const QString& file : Document->Settings.RecentFiles) {
        auto* a = new QAction(ShortenRecentFile(file), Datei1);
        a->setData(file);
        a->setToolTip(file);
        // Queued: the entry's own action is rebuilt when the document's name changes.
        connect(
            a, &QAction::triggered, this, [this, file] { Document->OpenRecent(file); },
            Qt::QueuedConnection);
        Datei1->insertAction(MruSeparator, a);
        m_mruActions.append(a);
    }
    MruSeparator->setVisible(!m_mruActions.isEmpty());
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // FormShow: the deferred start-up begins with the first show.
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_lifecycle->SetPhase(TAppLifecycle::TPhase::Shown);
        SplashTimer->start();
    }
    ScrollBox_Editor->setFocus();
}

double TForm1::InterfaceScaleFactor() const {
    if (m_lifecycle->Viewer()) return 1.0;
    return InterfaceScale(Settings().Scaling, ScreenPPI(this));
}

void TForm1::ApplyInterfaceScaling() {
    const double factor = InterfaceScaleFactor();
    if (factor == 1.0) return;
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    QApplication::setFont(font);
    if (Settings().Scaling.BitmapScaling) {
        const int size = int(std::lround(IconSize * factor));
        TB_Modus->setIconSize(QSize(size, size));
        for (QToolButton* b : findChildren<QToolButton*>())
            b->setIconSize(QSize(size, size));
    }
}

void TForm1::RestorePlacement() {
    const TWindowPlacement& w = Settings().Window;
    m_normalGeometry = QRect(w.X, w.Y, w.W, w.H);
    setGeometry(m_normalGeometry);
    if (w.Maximized) {
        // Where no window manager maximises the window it still fills the screen's work area;
        // the normal placement stays the remembered one (changeEvent).
        if (const QScreen* s = screen()) setGeometry(s->availableGeometry());
        showMaximized();
    } else {
        showNormal();
    }
    m_placementRestored = true;
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_placementRestored) return;
    // Back from maximised: the remembered normal placement, not the screen-sized geometry the
    // window had before it was maximised.
    const auto* e = static_cast<QWindowStateChangeEvent*>(event);
    if ((e->oldState() & Qt::WindowMaximized) && windowState() == Qt::WindowNoState)
        setGeometry(m_normalGeometry);
}

void TForm1::NoteNormalGeometry() {
    if (m_placementRestored && windowState() == Qt::WindowNoState && isVisible())
        m_normalGeometry = geometry();
}

void TForm1::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    NoteNormalGeometry();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    NoteNormalGeometry();
}

void TForm1::RememberPlacement() {
    // Only a window that was placed from the settings has a placement worth keeping; a window
    // that stayed maximised keeps the normal placement it was given.
    if (!m_placementRestored) return;
    NoteNormalGeometry();
    TWindowPlacement& w = Settings().Window;
    w.Maximized = isMaximized();
    w.X = m_normalGeometry.x();
    w.Y = m_normalGeometry.y();
    w.W = m_normalGeometry.width();
    w.H = m_normalGeometry.height();
}

void TForm1::SplashTimerTimer() {
    if (m_deferredDone) return;
    m_deferredDone = true;
    TAppLifecycle& lc = *m_lifecycle;
    const TLifecycleHooks& h = lc.Hooks;
    const bool viewer = lc.Viewer();
    // 1.-2.
    SplashTimer->stop();
    lc.CreateFirstSheet();
    if (h.ConnectPanels) h.ConnectPanels();
    // 3.-4.
    lc.ReadDeferredSections();
    ApplyPanelSettings();
    ApplyInterfaceScaling();
    // 5.-6.
    if (!viewer) {
        lc.RestoreLibraryPage();
    } else {
        lc.ReadViewerSettings();
        Q_EMIT ToolChosen(7);
        HotkeyButtons[hkZoom]->setChecked(true);
    }
    RestorePlacement();
    // 7. Fade in.
    if (h.ZoomToWholeSheet) h.ZoomToWholeSheet();
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(250);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
    // 8.
    lc.OpenCommandLineDocument(m_commandLine);
    RebuildRecentFiles();
    // 9.
    if (viewer) {
        ViewerSprache1->setVisible(true);
        // The choice is offered in English: its standard buttons must not keep the texts of
        // the language the window was built in.
        lc.ViewerLanguageChoice([this](int language) {
            InstallToolkitTexts();
            return TSpracheDlg::Choose(this, language);
        });
        Translate();
    }
    lc.SetPhase(TAppLifecycle::TPhase::Running);
    if (qEnvironmentVariableIsSet("KAVRO_QUIT_AFTER_STARTUP"))
        QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::ChangeLanguage() {
    const int chosen = TSpracheDlg::Choose(this, m_lifecycle->Language());
    if (chosen < 0 || !m_lifecycle->ChangeViewerLanguage(chosen)) return;
    TPromptRequest r;
    r.Text = chosen == 0
                 ? QStringLiteral("Die Änderung wird erst beim nächsten Programmstart wirksam.")
                 : QStringLiteral("The changing will take effect at the next start.");
    r.Caption = QStringLiteral("Kavro-Viewer");
    r.Icon = TPromptIcon::Warning;
    Prompts().Show(r);
}

bool TForm1::FormCloseQuery() {
    return m_lifecycle->CloseQuery();
}

void TForm1::FormClose() {
    RememberPlacement();
    if (m_placementRestored && Bibo_panel->isVisible())
        Settings().Library.BiboW = Bibo_panel->width();
    RememberPanelSettings();
    m_lifecycle->Shutdown();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_lifecycle->Phase() == TAppLifecycle::TPhase::Closed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// ---- Grid menu

void TForm1::FillGridMenu() {
    // For the options dialog the new-sheet grid in mm, otherwise the sheet's grid at its scale.
    const bool forOptions = OptionsDlg->isVisible();
    const TEditor* sheet = Document->CurrentSheet();
    const int grid = forOptions ? OptionsDlg->Grid()
                     : sheet    ? sheet->GridSize
                                : Document->Settings.NewSheetGrid;
    const double scale = !forOptions && sheet ? sheet->Scale : 1.0;
    const int unit = !forOptions && sheet ? sheet->UnitDivisor : 1;
    for (QAction* a : Popup_Raster->actions()) {
        const int tag = a->data().toInt();
        if (tag == 0) continue;
        a->setText(GridLengthText(tag, scale, unit));
        a->setChecked(tag == grid);
    }
}

void TForm1::GridChosen(int tag) {
    int pitch = tag;
    if (tag == 0) {
        const TEditor* sheet = Document->CurrentSheet();
        const int grid = OptionsDlg->isVisible() ? OptionsDlg->Grid()
                         : sheet                 ? sheet->GridSize
                                                 : Document->Settings.NewSheetGrid;
        WertEingabeDlg->PrepareNumber(GetMessage(5209), grid / 10.0, 0.1, 20.0);
        if (!RunDialog(*WertEingabeDlg)) return;
        pitch = int(std::nearbyint(WertEingabeDlg->Value * 10));
    }
    if (OptionsDlg->isVisible())
        OptionsDlg->SetGrid(pitch);
    else if (m_lifecycle->Hooks.SetGrid)
        m_lifecycle->Hooks.SetGrid(pitch);
}

// ---- Options dialog

void TForm1::Grundeinstellungen1Click() {
    OpenOptions(0);
}

void TForm1::Textkonstanten1Click() {
    TextKonstantenDlg->Prepare();
    RunDialog(*TextKonstantenDlg);
}

void TForm1::AnwenderVariablen1Click() {
    AnwenderVariablenDlg->Prepare();
    // Tab captions and hints may name variables.
    if (RunDialog(*AnwenderVariablenDlg)) RefreshSheetControls();
}

void TForm1::OpenOptions(int page) {
    TAppLifecycle& lc = *m_lifecycle;
    TAppSettings& s = Settings();
    TRenderSettings& r = g_RenderSettings;
    TOptionsDlg& d = *OptionsDlg;
    TDocument& doc = *Document;
    TDocumentSettings& ds = doc.Settings;

    d.DataFolder = lc.DataFolder();
    d.ScreenPPI = int(std::lround(ScreenPPI(this)));
    d.RunningAntialiased = lc.RunningAntialiased();
    d.AntialiasedSupported = !lc.RendererSetupFailed();
    d.CurrentBitmapScaling = s.Scaling.BitmapScaling;
    d.Language = lc.Language();
    d.FormSheetFolder = ds.FormSheetFolder;
    d.FormSheetFilter = FilterFormSheet;

    d.CB_BlattSeitennummer->setChecked(doc.SheetPageNumbers);
    d.CB_BauteilSeitennummer->setChecked(doc.ComponentPageNumbers);
    d.E_Praefix->setText(doc.PageNumberPrefix);
    d.CB_BMPZLib->setChecked(g_BitmapSettings.BMPZLib);
    d.CB_Dateiinfo->setChecked(ds.KeepFileInfo);
    d.CB_AlteDialoge->setChecked(s.Tools.AlteDialoge);
    d.CB_MoveBezWertmitALT->setChecked(s.Tools.MoveBezWertmitALT);

    d.SetScaling(s.Scaling.UserScalingAuto, s.Scaling.UserScalingPPI);
    d.CB_BitmapScaling->setChecked(s.Scaling.BitmapScaling);
    d.CB_BKWhite->setChecked(s.View.BKWhite);
    d.CB_TextAntiAliasing->setChecked(r.TextAntiAliasing);
    d.CB_GDIPoints->setChecked(r.GDIPoints);
    d.SetAntialiased(r.UseD2D);

    d.E_KavVerz->setText(s.Folders.KavPreset);
    d.E_ExportVerz->setText(s.Folders.ExportPreset);
    d.E_FormblattVerz->setText(s.Folders.FormblattPreset);
    d.E_VorlagenVerz->setText(ds.TemplateFolder);

    d.E_BiboDir->setText(s.Library.BiboDir);

    d.CB_Kontrast->setCurrentIndex(std::clamp(s.View.Kontrast, 0, 3));
    d.CB_Markierung->setCurrentIndex(std::clamp(s.View.Markierung, 0, 3));
    d.SetDotGrid(s.View.Punktraster);
    d.CB_GridOverBK->setChecked(s.View.GridOverBK);

    d.CB_Autospeichern->setChecked(s.Autosave.Enabled);
    d.SE_Intervall->setValue(std::clamp(s.Autosave.IntervalMs / 60000, 1, 60));
    d.CB_BackupOnOpen->setChecked(ds.BackupOnOpen);

    d.SetSheetSize(ds.NewSheetWidth, ds.NewSheetHeight);
    d.SetGrid(ds.NewSheetGrid);
    d.E_Formblatt->setText(ds.DefaultFormSheet);

    QList<QPair<QString, QString>> rows;
    QList<int> rowTools;
    for (const TToolDef& def : ToolDefs)
        if (def.Hotkey >= 0) {
            rows.append({GetMessage(def.Hint), s.Hotkeys[def.Hotkey]});
            rowTools.append(def.Hotkey);
        }
    d.SetHotkeys(rows);
    d.ShowPage(page);

    const int result = d.exec();

    // The scaling choice counts however the dialog was left; it applies from the next start.
    if (d.ScalingChanged()) {
        s.Scaling.UserScalingAuto = d.ScalingAutomatic();
        if (!s.Scaling.UserScalingAuto) s.Scaling.UserScalingPPI = d.ScalingChoicePPI();
    }
    s.Scaling.BitmapScaling = d.CB_BitmapScaling->isChecked();
    if (result != QDialog::Accepted) return;

    const TLifecycleHooks& h = lc.Hooks;
    const TViewSettings viewBefore = s.View;
    const TRenderSettings renderBefore = r;

    // Page 0
    if (doc.SheetPageNumbers != d.CB_BlattSeitennummer->isChecked()) {
        doc.SheetPageNumbers = d.CB_BlattSeitennummer->isChecked();
        if (h.SheetCaptionsChanged) h.SheetCaptionsChanged();
    }
    if (doc.ComponentPageNumbers != d.CB_BauteilSeitennummer->isChecked() ||
        doc.PageNumberPrefix != d.E_Praefix->text()) {
        doc.ComponentPageNumbers = d.CB_BauteilSeitennummer->isChecked();
        doc.PageNumberPrefix = d.E_Praefix->text();
        if (h.ComponentLabelsChanged) h.ComponentLabelsChanged();
    }
    g_BitmapSettings.BMPZLib = d.CB_BMPZLib->isChecked();
    ds.KeepFileInfo = d.CB_Dateiinfo->isChecked();
    s.Tools.AlteDialoge = d.CB_AlteDialoge->isChecked();
    s.Tools.MoveBezWertmitALT = d.CB_MoveBezWertmitALT->isChecked();

    // Page 1
    s.View.BKWhite = d.CB_BKWhite->isChecked();
    r.UseD2D = d.Antialiased();
    r.TextAntiAliasing = d.CB_TextAntiAliasing->isChecked();
    r.GDIPoints = d.CB_GDIPoints->isChecked();

    // Page 2: a preset naming an existing folder is the working folder from now on.
    auto preset = [](QLineEdit* edit, QString& presetField, QString& working) {
        presetField = IncludeTrailingSlash(edit->text().trimmed());
        if (!presetField.isEmpty() && QFileInfo(presetField).isDir()) working = presetField;
    };
    preset(d.E_KavVerz, s.Folders.KavPreset, ds.DocumentFolder);
    preset(d.E_ExportVerz, s.Folders.ExportPreset, s.Folders.Export);
    preset(d.E_FormblattVerz, s.Folders.FormblattPreset, ds.FormSheetFolder);
    ds.TemplateFolder = IncludeTrailingSlash(d.E_VorlagenVerz->text().trimmed());

    // Page 3
    const QString root = IncludeTrailingSlash(d.E_BiboDir->text().trimmed());
    if (!root.isEmpty() && root != s.Library.BiboDir) {
        s.Library.BiboDir = root;
        if (h.LibraryRootChanged) h.LibraryRootChanged(root);
    }

    // Page 4
    s.View.Kontrast = d.CB_Kontrast->currentIndex();
    s.View.Markierung = d.CB_Markierung->currentIndex();
    s.View.Punktraster = d.DotGrid();
    s.View.GridOverBK = d.CB_GridOverBK->isChecked();

    // Page 5
    s.Autosave.Enabled = d.CB_Autospeichern->isChecked();
    s.Autosave.IntervalMs = d.SE_Intervall->value() * 60000;
    lc.ApplyAutosaveSettings();
    ds.BackupOnOpen = d.CB_BackupOnOpen->isChecked();

    // Page 6
    ds.NewSheetWidth = d.SheetWidth();
    ds.NewSheetHeight = d.SheetHeight();
    ds.NewSheetGrid = d.Grid();
    ds.DefaultFormSheet = d.E_Formblatt->text().trimmed();

    // Page 7
    const QStringList keys = d.Hotkeys();
    for (int i = 0; i < rowTools.size() && i < keys.size(); ++i)
        s.Hotkeys[rowTools[i]] = keys[i];
    ApplyHotkeys();

    // Pages 1 and 4: what the sheet shows changed.
    const bool repaint =
        viewBefore.Kontrast != s.View.Kontrast || viewBefore.Markierung != s.View.Markierung ||
        viewBefore.Punktraster != s.View.Punktraster ||
        viewBefore.GridOverBK != s.View.GridOverBK || viewBefore.BKWhite != s.View.BKWhite ||
        renderBefore.TextAntiAliasing != r.TextAntiAliasing ||
        renderBefore.GDIPoints != r.GDIPoints;
    if (repaint) {
        if (h.SetSheetColors) h.SetSheetColors();
        if (h.RepaintSheet) h.RepaintSheet();
    }
}
