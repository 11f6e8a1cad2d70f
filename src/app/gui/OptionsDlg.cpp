#include "app/gui/OptionsDlg.h"

#include "document/paperformat.h"
#include "platform/folders.h"
#include "platform/gui/named.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "platform/shell.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

const QString TOptionsDlg::NoHotkey = QStringLiteral("---");

namespace {
constexpr int PageMessages[TOptionsDlg::pgCount] = {5300, 5410, 5327, 5330, 5370, 5430, 5390, 5400};
const QChar CR = u'\r';

QLabel* WrappedLabel(const char* name) {
    auto* l = Named(new QLabel, name);
    l->setWordWrap(true);
    return l;
}

QToolButton* PickerButton(const char* name) {
    auto* b = Named(new QToolButton, name);
    b->setText(QStringLiteral("..."));
    return b;
}

// The message texts use CR between lines; labels want LF.
QString LabelText(const QString& text) {
    return QString(text).replace(CR, u'\n');
}

// Check boxes do not wrap their text; long captions are broken at blanks.
QString Wrapped(const QString& text, int width = 72) {
    QString out;
    int line = 0;
    for (const QString& word : text.split(u' ')) {
        if (line > 0 && line + 1 + word.size() > width) {
            out += u'\n';
            line = 0;
        } else if (line > 0) {
            out += u' ';
            ++line;
        }
        out += word;
        line += int(word.size());
    }
    return out;
}

// The keys a tool can have: none, A..Z, "-", 0..9.
QStringList HotkeyChoices() {
    QStringList keys{TOptionsDlg::NoHotkey};
    for (char c = 'A'; c <= 'Z'; ++c)
        keys.append(QString(QChar(c)));
    keys.append(QStringLiteral("-"));
    for (char c = '0'; c <= '9'; ++c)
        keys.append(QString(QChar(c)));
    return keys;
}
} // namespace

TOptionsDlg::TOptionsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsDlg"));
    setModal(true);

    TV_Seiten = Named(new QTreeWidget, "TV_Seiten");
    TV_Seiten->setHeaderHidden(true);
    TV_Seiten->setRootIsDecorated(false);
    TV_Seiten->setFixedWidth(170);
    for (int i = 0; i < pgCount; ++i)
        TV_Seiten->addTopLevelItem(new QTreeWidgetItem);
    PC_Seiten = Named(new QStackedWidget, "PC_Seiten");
    BuildPages();

    B_OK = Named(new QPushButton, "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = Named(new QPushButton, "B_Abbrechen");
    B_Hilfe = Named(new QPushButton, "B_Hilfe");
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(B_Hilfe, &QPushButton::clicked, this, [this] { Q_EMIT HelpRequested(CurrentPage()); });

    auto* body = new QHBoxLayout;
    body->addWidget(TV_Seiten);
    body->addWidget(PC_Seiten, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(B_Hilfe);
    buttons->addStretch(1);
    buttons->addWidget(B_OK);
    buttons->addWidget(B_Abbrechen);
    auto* root = new QVBoxLayout(this);
    root->addLayout(body, 1);
    root->addLayout(buttons);

    connect(TV_Seiten, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) PC_Seiten->setCurrentIndex(TV_Seiten->indexOfTopLevelItem(item));
    });
    Translate();
    ShowPage(0);
    resize(780, 480);
}

TOptionsDlg::~TOptionsDlg() = default;

void TOptionsDlg::BuildPages() {
    // Page 0
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Grundeinstellungen"));
        auto* l = new QVBoxLayout(page);
        CB_BlattSeitennummer = Named(new QCheckBox, "CB_BlattSeitennummer");
        CB_BauteilSeitennummer = Named(new QCheckBox, "CB_BauteilSeitennummer");
        L_Praefix = Named(new QLabel, "L_Praefix");
        E_Praefix = Named(new QLineEdit, "E_Praefix");
        CB_BMPZLib = Named(new QCheckBox, "CB_BMPZLib");
        CB_Dateiinfo = Named(new QCheckBox, "CB_Dateiinfo");
        CB_AlteDialoge = Named(new QCheckBox, "CB_AlteDialoge");
        CB_MoveBezWertmitALT = Named(new QCheckBox, "CB_MoveBezWertmitALT");
        auto* prefix = new QHBoxLayout;
        prefix->addSpacing(24);
        prefix->addWidget(L_Praefix);
        prefix->addWidget(E_Praefix, 1);
        l->addWidget(CB_BlattSeitennummer);
        l->addWidget(CB_BauteilSeitennummer);
        l->addLayout(prefix);
        l->addSpacing(8);
        l->addWidget(CB_BMPZLib);
        l->addWidget(CB_Dateiinfo);
        l->addWidget(CB_AlteDialoge);
        l->addWidget(CB_MoveBezWertmitALT);
        l->addStretch(1);
        connect(CB_BauteilSeitennummer, &QCheckBox::toggled, this, &TOptionsDlg::UpdateEnabled);
        PC_Seiten->addWidget(page);
    }
    // Page 1
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Anzeige"));
        auto* l = new QVBoxLayout(page);
        L_Skalierung = Named(new QLabel, "L_Skalierung");
        CB_Skalierung = Named(new QComboBox, "CB_Skalierung");
        for (int i = 0; i < 6; ++i)
            CB_Skalierung->addItem(QString());
        CB_BitmapScaling = Named(new QCheckBox, "CB_BitmapScaling");
        CB_BKWhite = Named(new QCheckBox, "CB_BKWhite");
        RB_D2D = Named(new QRadioButton, "RB_D2D");
        RB_GDI = Named(new QRadioButton, "RB_GDI");
        CB_TextAntiAliasing = Named(new QCheckBox, "CB_TextAntiAliasing");
        CB_GDIPoints = Named(new QCheckBox, "CB_GDIPoints");
        m_renderer = new QButtonGroup(this);
        m_renderer->addButton(RB_D2D);
        m_renderer->addButton(RB_GDI);
        auto* scaling = new QHBoxLayout;
        scaling->addWidget(L_Skalierung);
        scaling->addWidget(CB_Skalierung, 1);
        l->addLayout(scaling);
        l->addWidget(CB_BitmapScaling);
        l->addSpacing(8);
        l->addWidget(CB_BKWhite);
        l->addSpacing(8);
        l->addWidget(RB_D2D);
        auto* points = new QHBoxLayout;
        points->addSpacing(24);
        points->addWidget(CB_GDIPoints);
        l->addLayout(points);
        l->addWidget(RB_GDI);
        auto* smooth = new QHBoxLayout;
        smooth->addSpacing(24);
        smooth->addWidget(CB_TextAntiAliasing);
        l->addLayout(smooth);
        l->addStretch(1);
        connect(CB_Skalierung, &QComboBox::activated, this, &TOptionsDlg::ScalingChosen);
        connect(RB_D2D, &QRadioButton::clicked, this, &TOptionsDlg::RendererChosen);
        connect(RB_GDI, &QRadioButton::clicked, this, &TOptionsDlg::RendererChosen);
        connect(CB_BitmapScaling, &QCheckBox::clicked, this, [this](bool on) {
            if (on != CurrentBitmapScaling) Prompts().Information(GetMessage(5315));
        });
        PC_Seiten->addWidget(page);
    }
    // Page 2
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Verzeichnisse"));
        auto* l = new QVBoxLayout(page);
        L_Arbeitsverzeichnisse = Named(new QLabel, "L_Arbeitsverzeichnisse");
        auto* grid = new QGridLayout;
        auto row = [&](int r, QLabel*& label, const char* ln, QLineEdit*& edit, const char* en,
                       QToolButton*& button, const char* bn) {
            label = Named(new QLabel, ln);
            edit = Named(new QLineEdit, en);
            button = PickerButton(bn);
            grid->addWidget(label, r, 0);
            grid->addWidget(edit, r, 1);
            grid->addWidget(button, r, 2);
            QLineEdit* target = edit;
            connect(button, &QToolButton::clicked, this, [this, target] { PickFolder(target); });
        };
        row(0, L_KavVerz, "L_KavVerz", E_KavVerz, "E_KavVerz", SB_KavVerz, "SB_KavVerz");
        row(1, L_ExportVerz, "L_ExportVerz", E_ExportVerz, "E_ExportVerz", SB_ExportVerz,
            "SB_ExportVerz");
        row(2, L_FormblattVerz, "L_FormblattVerz", E_FormblattVerz, "E_FormblattVerz",
            SB_FormblattVerz, "SB_FormblattVerz");
        L_VerzHinweis = WrappedLabel("L_VerzHinweis");
        grid->addWidget(L_VerzHinweis, 3, 1, 1, 2);
        grid->setRowMinimumHeight(4, 12);
        row(5, L_VorlagenVerz, "L_VorlagenVerz", E_VorlagenVerz, "E_VorlagenVerz", SB_VorlagenVerz,
            "SB_VorlagenVerz");
        B_Standardwerte = Named(new QPushButton, "B_Standardwerte");
        connect(B_Standardwerte, &QPushButton::clicked, this, &TOptionsDlg::SetDefaultFolders);
        l->addWidget(L_Arbeitsverzeichnisse);
        l->addLayout(grid);
        auto* defaults = new QHBoxLayout;
        defaults->addStretch(1);
        defaults->addWidget(B_Standardwerte);
        l->addLayout(defaults);
        l->addStretch(1);
        PC_Seiten->addWidget(page);
    }
    // Page 3
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Bibliothek"));
        auto* l = new QVBoxLayout(page);
        L_BiboDir = Named(new QLabel, "L_BiboDir");
        E_BiboDir = Named(new QLineEdit, "E_BiboDir");
        E_BiboDir->setReadOnly(true);
        B_BiboAendern = Named(new QPushButton, "B_BiboAendern");
        B_BiboReset = Named(new QPushButton, "B_BiboReset");
        B_BiboExplorer = Named(new QPushButton, "B_BiboExplorer");
        L_Bibo1 = WrappedLabel("L_Bibo1");
        L_Bibo2 = WrappedLabel("L_Bibo2");
        L_Bibo3 = WrappedLabel("L_Bibo3");
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(B_BiboAendern);
        buttons->addWidget(B_BiboReset);
        buttons->addWidget(B_BiboExplorer);
        buttons->addStretch(1);
        l->addWidget(L_Bibo1);
        l->addWidget(L_Bibo2);
        l->addWidget(L_Bibo3);
        l->addSpacing(8);
        l->addWidget(L_BiboDir);
        l->addWidget(E_BiboDir);
        l->addLayout(buttons);
        l->addStretch(1);
        connect(B_BiboAendern, &QPushButton::clicked, this, [this] {
            const QString dir =
                QFileDialog::getExistingDirectory(this, L_BiboDir->text(), E_BiboDir->text());
            if (!dir.isEmpty()) E_BiboDir->setText(IncludeTrailingSlash(dir));
        });
        connect(B_BiboReset, &QPushButton::clicked, this,
                [this] { E_BiboDir->setText(DataFolder + QStringLiteral("BIBO/")); });
        connect(B_BiboExplorer, &QPushButton::clicked, this,
                [this] { ShellOpen(E_BiboDir->text()); });
        PC_Seiten->addWidget(page);
    }
    // Page 4
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Raster"));
        auto* l = new QVBoxLayout(page);
        auto* form = new QFormLayout;
        L_Kontrast = Named(new QLabel, "L_Kontrast");
        CB_Kontrast = Named(new QComboBox, "CB_Kontrast");
        for (int i = 0; i < 4; ++i)
            CB_Kontrast->addItem(QString());
        L_Markierung = Named(new QLabel, "L_Markierung");
        CB_Markierung = Named(new QComboBox, "CB_Markierung");
        CB_Markierung->addItems(
            {QString(), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("10")});
        form->addRow(L_Kontrast, CB_Kontrast);
        form->addRow(L_Markierung, CB_Markierung);
        RB_Linienraster = Named(new QRadioButton, "RB_Linienraster");
        RB_Punktraster = Named(new QRadioButton, "RB_Punktraster");
        m_gridType = new QButtonGroup(this);
        m_gridType->addButton(RB_Linienraster);
        m_gridType->addButton(RB_Punktraster);
        CB_GridOverBK = Named(new QCheckBox, "CB_GridOverBK");
        l->addLayout(form);
        l->addSpacing(8);
        l->addWidget(RB_Linienraster);
        l->addWidget(RB_Punktraster);
        l->addSpacing(8);
        l->addWidget(CB_GridOverBK);
        l->addStretch(1);
        PC_Seiten->addWidget(page);
    }
    // Page 5
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Autospeichern"));
        auto* l = new QVBoxLayout(page);
        CB_Autospeichern = Named(new QCheckBox, "CB_Autospeichern");
        L_Intervall = Named(new QLabel, "L_Intervall");
        SE_Intervall = Named(new QSpinBox, "SE_Intervall");
        SE_Intervall->setRange(1, 60);
        L_AutospeichernHinweis = WrappedLabel("L_AutospeichernHinweis");
        CB_BackupOnOpen = Named(new QCheckBox, "CB_BackupOnOpen");
        L_BackupHinweis = WrappedLabel("L_BackupHinweis");
        auto* interval = new QHBoxLayout;
        interval->addSpacing(24);
        interval->addWidget(L_Intervall);
        interval->addWidget(SE_Intervall);
        interval->addStretch(1);
        l->addWidget(CB_Autospeichern);
        l->addLayout(interval);
        l->addWidget(L_AutospeichernHinweis);
        l->addSpacing(16);
        l->addWidget(CB_BackupOnOpen);
        l->addWidget(L_BackupHinweis);
        l->addStretch(1);
        connect(CB_Autospeichern, &QCheckBox::toggled, this, &TOptionsDlg::UpdateEnabled);
        PC_Seiten->addWidget(page);
    }
    // Page 6
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_NeuesBlatt"));
        auto* l = new QVBoxLayout(page);
        L_NeuesBlatt = Named(new QLabel, "L_NeuesBlatt");
        CB_Format = Named(new QComboBox, "CB_Format");
        CB_Format->addItem(QString()); // "Frei"
        for (const TPaperFormat& f : PaperFormats())
            CB_Format->addItem(QString::fromLatin1(f.Name));
        L_Breite = Named(new QLabel, "L_Breite");
        SE_Breite = Named(new QSpinBox, "SE_Breite");
        L_Hoehe = Named(new QLabel, "L_Hoehe");
        SE_Hoehe = Named(new QSpinBox, "SE_Hoehe");
        for (QSpinBox* s : {SE_Breite, SE_Hoehe}) {
            s->setRange(50, 1200);
            s->setSuffix(QStringLiteral(" mm"));
        }
        RB_Querformat = Named(new QRadioButton, "RB_Querformat");
        RB_Hochformat = Named(new QRadioButton, "RB_Hochformat");
        m_orientation = new QButtonGroup(this);
        m_orientation->addButton(RB_Querformat);
        m_orientation->addButton(RB_Hochformat);
        L_Raster = Named(new QLabel, "L_Raster");
        B_Raster = Named(new QPushButton, "B_Raster");
        L_Formblatt = Named(new QLabel, "L_Formblatt");
        E_Formblatt = Named(new QLineEdit, "E_Formblatt");
        SB_Formblatt = PickerButton("SB_Formblatt");
        auto* grid = new QGridLayout;
        grid->addWidget(CB_Format, 0, 1);
        grid->addWidget(L_Breite, 1, 0);
        grid->addWidget(SE_Breite, 1, 1);
        grid->addWidget(RB_Querformat, 1, 2);
        grid->addWidget(L_Hoehe, 2, 0);
        grid->addWidget(SE_Hoehe, 2, 1);
        grid->addWidget(RB_Hochformat, 2, 2);
        grid->addWidget(L_Raster, 3, 0);
        grid->addWidget(B_Raster, 3, 1);
        auto* form = new QHBoxLayout;
        form->addWidget(L_Formblatt);
        form->addWidget(E_Formblatt, 1);
        form->addWidget(SB_Formblatt);
        l->addWidget(L_NeuesBlatt);
        l->addLayout(grid);
        l->addSpacing(8);
        l->addLayout(form);
        l->addStretch(1);
        connect(CB_Format, &QComboBox::activated, this, &TOptionsDlg::FormatChosen);
        connect(RB_Querformat, &QRadioButton::toggled, this, [this](bool on) {
            if (on) OrientationChosen(true);
        });
        connect(RB_Hochformat, &QRadioButton::toggled, this, [this](bool on) {
            if (on) OrientationChosen(false);
        });
        connect(SE_Breite, &QSpinBox::valueChanged, this, &TOptionsDlg::SizeEdited);
        connect(SE_Hoehe, &QSpinBox::valueChanged, this, &TOptionsDlg::SizeEdited);
        connect(B_Raster, &QPushButton::clicked, this, [this] {
            if (GridMenu) GridMenu->exec(B_Raster->mapToGlobal(QPoint(0, B_Raster->height())));
        });
        connect(SB_Formblatt, &QToolButton::clicked, this, [this] {
            const QString file = QFileDialog::getOpenFileName(this, L_Formblatt->text(),
                                                              FormSheetFolder, FormSheetFilter);
            if (!file.isEmpty()) E_Formblatt->setText(file);
        });
        PC_Seiten->addWidget(page);
    }
    // Page 7
    {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TS_Hotkeys"));
        auto* l = new QVBoxLayout(page);
        LV_Hotkeys = Named(new QTreeWidget, "LV_Hotkeys");
        LV_Hotkeys->setColumnCount(2);
        LV_Hotkeys->setRootIsDecorated(false);
        LV_Hotkeys->setSelectionMode(QAbstractItemView::SingleSelection);
        LV_Hotkeys->header()->setStretchLastSection(false);
        LV_Hotkeys->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        LV_Hotkeys->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        LV_Hotkeys->installEventFilter(this);
        B_Hotkey = Named(new QPushButton, "B_Hotkey");
        Popup_Hotkey = Named(new QMenu(this), "Popup_Hotkey");
        B_Hotkey->setMenu(Popup_Hotkey);
        connect(Popup_Hotkey, &QMenu::aboutToShow, this, &TOptionsDlg::FillHotkeyMenu);
        connect(LV_Hotkeys, &QTreeWidget::itemSelectionChanged, this,
                &TOptionsDlg::HotkeySelectionChanged);
        auto* key = new QHBoxLayout;
        key->addStretch(1);
        key->addWidget(B_Hotkey);
        l->addWidget(LV_Hotkeys, 1);
        l->addLayout(key);
        PC_Seiten->addWidget(page);
    }
}

void TOptionsDlg::Translate() {
    setWindowTitle(GetMessage(5300));
    for (int i = 0; i < pgCount; ++i)
        TV_Seiten->topLevelItem(i)->setText(0, GetMessage(PageMessages[i]));
    B_OK->setText(QStringLiteral("OK"));
    B_Abbrechen->setText(GetMessage(5301));
    B_Hilfe->setText(GetMessage(1800).remove(u'&').remove(QStringLiteral("...")));

    CB_BlattSeitennummer->setText(GetMessage(5302));
    CB_BauteilSeitennummer->setText(GetMessage(5303));
    L_Praefix->setText(GetMessage(5305));
    CB_BMPZLib->setText(GetMessage(5308));
    CB_Dateiinfo->setText(GetMessage(5309));
    CB_AlteDialoge->setText(GetMessage(5310));
    CB_MoveBezWertmitALT->setText(GetMessage(5316));

    L_Skalierung->setText(GetMessage(5313));
    CB_Skalierung->setItemText(0, GetMessage(5314));
    CB_Skalierung->setItemText(1, GetMessage(5317));
    for (int i = 1; i < 5; ++i)
        CB_Skalierung->setItemText(i + 1, QString::number(ScalingPPI[i] * 100 / 96) + u'%');
    CB_BitmapScaling->setText(GetMessage(5412));
    CB_BKWhite->setText(GetMessage(5318));
    RB_D2D->setText(GetMessage(5311));
    RB_GDI->setText(GetMessage(5312));
    CB_TextAntiAliasing->setText(GetMessage(5304));
    CB_GDIPoints->setText(GetMessage(5319));

    L_Arbeitsverzeichnisse->setText(GetMessage(5320));
    L_KavVerz->setText(GetMessage(5321));
    L_FormblattVerz->setText(GetMessage(5322));
    L_ExportVerz->setText(GetMessage(5323));
    L_VerzHinweis->setText(LabelText(GetMessage(5324)));
    L_VorlagenVerz->setText(GetMessage(5326));
    B_Standardwerte->setText(GetMessage(5329));

    L_Bibo1->setText(LabelText(GetMessage(5331)));
    L_Bibo2->setText(LabelText(GetMessage(5332)));
    L_Bibo3->setText(LabelText(GetMessage(5333)));
    B_BiboAendern->setText(GetMessage(5334));
    L_BiboDir->setText(GetMessage(5335));
    B_BiboReset->setText(GetMessage(5336));
    B_BiboExplorer->setText(GetMessage(5337));

    L_Kontrast->setText(GetMessage(5372));
    for (int i = 0; i < 4; ++i)
        CB_Kontrast->setItemText(i, GetMessage(5373 + i));
    L_Markierung->setText(GetMessage(5377));
    CB_Markierung->setItemText(0, GetMessage(5378));
    RB_Linienraster->setText(GetMessage(5379));
    RB_Punktraster->setText(GetMessage(5380));
    CB_GridOverBK->setText(GetMessage(5338));

    CB_Autospeichern->setText(GetMessage(5430));
    L_Intervall->setText(GetMessage(5432));
    L_AutospeichernHinweis->setText(LabelText(GetMessage(5431)));
    CB_BackupOnOpen->setText(Wrapped(GetMessage(5433)));
    L_BackupHinweis->setText(LabelText(GetMessage(5434)));
    SE_Intervall->setSuffix(QStringLiteral(" min"));

    L_NeuesBlatt->setText(GetMessage(5391));
    L_Breite->setText(GetMessage(5392));
    L_Hoehe->setText(GetMessage(5393));
    RB_Querformat->setText(GetMessage(5394));
    RB_Hochformat->setText(GetMessage(5395));
    CB_Format->setItemText(0, GetMessage(8488));
    L_Raster->setText(GetMessage(5396));
    L_Formblatt->setText(GetMessage(5397));

    LV_Hotkeys->setHeaderLabels({GetMessage(5401), QStringLiteral("Hotkey")});
    B_Raster->setText(GridCaption(m_grid, Language));
}

void TOptionsDlg::ShowPage(int page) {
    if (page < 0 || page >= pgCount) page = 0;
    TV_Seiten->setCurrentItem(TV_Seiten->topLevelItem(page));
    PC_Seiten->setCurrentIndex(page);
}

int TOptionsDlg::CurrentPage() const {
    return PC_Seiten->currentIndex();
}

void TOptionsDlg::UpdateEnabled() {
    E_Praefix->setEnabled(CB_BauteilSeitennummer->isChecked());
    L_Praefix->setEnabled(CB_BauteilSeitennummer->isChecked());
    RB_D2D->setEnabled(AntialiasedSupported);
    CB_TextAntiAliasing->setEnabled(RB_GDI->isChecked());
    CB_GDIPoints->setEnabled(RB_D2D->isChecked());
    SE_Intervall->setEnabled(CB_Autospeichern->isChecked());
    L_Intervall->setEnabled(CB_Autospeichern->isChecked());
}

// ---- Page 1

void TOptionsDlg::SetScaling(bool automatic, int ppi) {
    int index = 0;
    if (!automatic)
        for (int i = 0; i < int(std::size(ScalingPPI)); ++i)
            if (ScalingPPI[i] == ppi) index = i + 1;
    m_filledScalingIndex = index;
    CB_Skalierung->setCurrentIndex(index);
}

bool TOptionsDlg::ScalingAutomatic() const {
    return CB_Skalierung->currentIndex() <= 0;
}

int TOptionsDlg::ScalingChoicePPI() const {
    const int index = CB_Skalierung->currentIndex();
    return index <= 0 ? 0 : ScalingPPI[index - 1];
}

void TOptionsDlg::ScalingChosen(int index) {
    if (index > 0 && ScalingPPI[index - 1] != ScreenPPI && ScreenPPI > 96) {
        const QString question = GetMessage(5068) + CR + CR + GetMessage(5070);
        if (Prompts().Ask(question, TPromptButtons::YesNo) != TPromptResult::Yes)
            CB_Skalierung->setCurrentIndex(0);
    }
}

bool TOptionsDlg::ScalingChanged() const {
    return CB_Skalierung->currentIndex() != m_filledScalingIndex;
}

void TOptionsDlg::SetAntialiased(bool on) {
    (on && AntialiasedSupported ? RB_D2D : RB_GDI)->setChecked(true);
    UpdateEnabled();
}

bool TOptionsDlg::Antialiased() const {
    return RB_D2D->isChecked();
}

void TOptionsDlg::RendererChosen() {
    UpdateEnabled();
    if (Antialiased() != RunningAntialiased) Prompts().Information(GetMessage(5315));
}

// ---- Page 4

void TOptionsDlg::SetDotGrid(bool dots) {
    (dots ? RB_Punktraster : RB_Linienraster)->setChecked(true);
}

bool TOptionsDlg::DotGrid() const {
    return RB_Punktraster->isChecked();
}

// ---- Page 6

void TOptionsDlg::SetSheetSize(int width, int height) {
    m_updating = true;
    SE_Breite->setValue(width);
    SE_Hoehe->setValue(height);
    m_updating = false;
    SizeEdited();
}

int TOptionsDlg::SheetWidth() const {
    return SE_Breite->value();
}
int TOptionsDlg::SheetHeight() const {
    return SE_Hoehe->value();
}
bool TOptionsDlg::Landscape() const {
    return RB_Querformat->isChecked();
}

void TOptionsDlg::FormatChosen(int index) {
    if (index <= 0) return; // "Frei" keeps the size
    const TPaperFormat& f = PaperFormats()[index - 1];
    m_updating = true;
    if (Landscape()) {
        SE_Breite->setValue(f.LongSide);
        SE_Hoehe->setValue(f.ShortSide);
    } else {
        SE_Breite->setValue(f.ShortSide);
        SE_Hoehe->setValue(f.LongSide);
    }
    m_updating = false;
}

void TOptionsDlg::OrientationChosen(bool landscape) {
    if (m_updating) return;
    Q_UNUSED(landscape);
    m_updating = true;
    const int w = SE_Breite->value();
    SE_Breite->setValue(SE_Hoehe->value());
    SE_Hoehe->setValue(w);
    m_updating = false;
}

void TOptionsDlg::SizeEdited() {
    if (m_updating) return;
    m_updating = true;
    const int w = SE_Breite->value(), h = SE_Hoehe->value();
    CB_Format->setCurrentIndex(FindPaperFormat(w, h) + 1);
    (w < h ? RB_Hochformat : RB_Querformat)->setChecked(true);
    m_updating = false;
}

QString TOptionsDlg::FormatMM(double mm, int language) {
    QString text = QString::number(mm, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
    if (language != 1) text.replace(u'.', u',');
    return text + QStringLiteral(" mm");
}

void TOptionsDlg::SetGrid(int gridSize) {
    m_grid = gridSize;
    B_Raster->setText(GridCaption(gridSize, Language));
}

// ---- Page 2

void TOptionsDlg::PickFolder(QLineEdit* edit) {
    const QString start = edit->text().isEmpty() ? DataFolder : edit->text();
    const QString dir = QFileDialog::getExistingDirectory(this, QString(), start);
    if (!dir.isEmpty()) edit->setText(IncludeTrailingSlash(dir));
}

void TOptionsDlg::SetDefaultFolders() {
    const QString templates = DataFolder + QStringLiteral("Templates/");
    const QString forms = DataFolder + QStringLiteral("Forms/");
    QDir().mkpath(templates);
    QDir().mkpath(forms);
    E_VorlagenVerz->setText(templates);
    E_FormblattVerz->setText(forms);
}

// ---- Page 7

void TOptionsDlg::SetHotkeys(const QList<QPair<QString, QString>>& rows) {
    LV_Hotkeys->clear();
    for (const auto& [hint, key] : rows) {
        auto* item = new QTreeWidgetItem(LV_Hotkeys);
        item->setText(0, hint);
        item->setText(1, key.isEmpty() ? NoHotkey : key);
    }
    if (LV_Hotkeys->topLevelItemCount() > 0)
        LV_Hotkeys->setCurrentItem(LV_Hotkeys->topLevelItem(0));
    HotkeySelectionChanged();
}

QStringList TOptionsDlg::Hotkeys() const {
    QStringList keys;
    for (int i = 0; i < LV_Hotkeys->topLevelItemCount(); ++i) {
        const QString key = LV_Hotkeys->topLevelItem(i)->text(1);
        keys.append(key == NoHotkey ? QString() : key);
    }
    return keys;
}

bool TOptionsDlg::AssignHotkey(const QString& key) {
    QTreeWidgetItem* current = LV_Hotkeys->currentItem();
    if (!current) return false;
    const QString shown = key.isEmpty() ? NoHotkey : key;
    if (shown != NoHotkey)
        for (int i = 0; i < LV_Hotkeys->topLevelItemCount(); ++i) {
            QTreeWidgetItem* other = LV_Hotkeys->topLevelItem(i);
            if (other != current && other->text(1) == shown) return false;
        }
    current->setText(1, shown);
    HotkeySelectionChanged();
    return true;
}

void TOptionsDlg::HotkeySelectionChanged() {
    QTreeWidgetItem* current = LV_Hotkeys->currentItem();
    B_Hotkey->setEnabled(current != nullptr);
    B_Hotkey->setText(current ? current->text(1) : NoHotkey);
}

void TOptionsDlg::FillHotkeyMenu() {
    Popup_Hotkey->clear();
    QTreeWidgetItem* current = LV_Hotkeys->currentItem();
    QStringList taken;
    for (int i = 0; i < LV_Hotkeys->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = LV_Hotkeys->topLevelItem(i);
        if (item != current) taken.append(item->text(1));
    }
    for (const QString& key : HotkeyChoices()) {
        QAction* a = Popup_Hotkey->addAction(key);
        a->setEnabled(key == NoHotkey || !taken.contains(key));
        connect(a, &QAction::triggered, this, [this, key] { AssignHotkey(key); });
    }
}

bool TOptionsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LV_Hotkeys && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            AssignHotkey(QString());
            return true;
        }
        // Letters, digits and "-" as typed; CTRL or ALT make it a command, not a key.
        const auto mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        const QString text = key->text().toUpper();
        if (mods == Qt::NoModifier && text.size() == 1) {
            const QChar c = text[0];
            if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-') {
                AssignHotkey(QString(c));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
