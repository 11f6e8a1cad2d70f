#include "editor/gui/Eigenschaften_Panel.h"

#include "document/paperformat.h"
#include "editor/viewplan.h"
#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int kUnitDivisors[] = {1, 10, 1000, 1000000};

int UnitIndex(int divisor) {
    for (int i = 0; i < int(std::size(kUnitDivisors)); ++i)
        if (kUnitDivisors[i] == divisor) return i;
    return 0;
}

int Mm(float world) {
    return std::isfinite(world) ? int(std::clamp<double>(std::nearbyint(world / 10.0), -1e6, 1e6))
                                : 0;
}

void SetSpin(QSpinBox* s, int value) {
    if (s->value() != value) s->setValue(value);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TSpinEdit

TSpinEdit::TSpinEdit(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setKeyboardTracking(false); // a typed number applies when the field is left
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QString TSpinEdit::Number(const QString& text) const {
    QString t = text;
    if (!prefix().isEmpty() && t.startsWith(prefix())) t.remove(0, prefix().size());
    if (!suffix().isEmpty() && t.endsWith(suffix())) t.chop(suffix().size());
    return t.trimmed();
}

QValidator::State TSpinEdit::validate(QString& input, int&) const {
    const QString t = Number(input);
    if (t.isEmpty() || t == QLatin1String("-")) return QValidator::Intermediate;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || t.size() > 12) return QValidator::Invalid;
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& input) const {
    bool ok = false;
    const qlonglong v = Number(input).toLongLong(&ok);
    input = prefix() + QString::number(std::clamp<qlonglong>(ok ? v : 0, minimum(), maximum())) +
            suffix();
}

// ---------------------------------------------------------------------------------------------
// TCategoryPanel

TCategoryPanel::TCategoryPanel(const char* name, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    m_header = new QToolButton;
    m_header->setObjectName(objectName() + QStringLiteral("_Header"));
    m_header->setCheckable(true);
    m_header->setChecked(true);
    m_header->setArrowType(Qt::DownArrow);
    m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_header->setAutoRaise(true);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_header->setStyleSheet(QStringLiteral(
        "QToolButton { background: palette(midlight); border: 1px solid palette(mid); "
        "padding: 2px; text-align: left; }"));
    m_content = new QWidget;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(m_content);
    connect(m_header, &QToolButton::toggled, this, [this](bool open) { SetCollapsed(!open); });
}

void TCategoryPanel::SetCaption(const QString& caption) {
    m_header->setText(caption);
}

QString TCategoryPanel::Caption() const {
    return m_header->text();
}

void TCategoryPanel::SetCollapsed(bool collapsed) {
    m_header->setChecked(!collapsed);
    m_header->setArrowType(collapsed ? Qt::RightArrow : Qt::DownArrow);
    m_content->setVisible(!collapsed);
}

bool TCategoryPanel::Collapsed() const {
    return !m_header->isChecked();
}

// ---------------------------------------------------------------------------------------------
// TEigenschaftenPanel

TEigenschaftenPanel::TEigenschaftenPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TEigenschaftenPanel"));
    PG_Eigenschaften = Named(new QScrollArea, "PG_Eigenschaften");
    PG_Eigenschaften->setWidgetResizable(true);
    PG_Eigenschaften->setFrameShape(QFrame::NoFrame);
    PG_Eigenschaften->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* inner = new QWidget;
    m_group = new QVBoxLayout(inner);
    m_group->setContentsMargins(2, 2, 2, 2);
    m_group->setSpacing(4);
    PG_Eigenschaften->setWidget(inner);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PG_Eigenschaften);

    BuildSheetCategory();
    BuildScaleCategory();
    BuildFormSheetCategory();
    m_group->addStretch(1);

    // A focused field is painted light yellow.
    setStyleSheet(QStringLiteral("QLineEdit:focus, QSpinBox:focus, QPlainTextEdit:focus "
                                 "{ background: #FFFFD0; }"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             E_BlattName, Memo_Blatt, E_Massstab, SE_BlattWidth, SE_BlattHeight, SE_Formblatt_Width,
             SE_Formblatt_Height, SE_Formblatt_XOffset, SE_Formblatt_YOffset, SE_Formblatt_XAnz,
             SE_Formblatt_YAnz, SE_Formblatt_XStart, SE_Formblatt_YStart})
        w->installEventFilter(this);
    // Inside a dialog, ENTER in a field must not press a button of the panel.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    Translate();
    ShowNothing();
}

void TEigenschaftenPanel::AddCategory(TCategoryPanel* panel,
                                      std::function<bool(const TPanelState&)> visibleWhen) {
    m_group->addWidget(panel);
    m_categories.push_back({panel, std::move(visibleWhen)});
}

void TEigenschaftenPanel::BuildSheetCategory() {
    CP_Blatt = new TCategoryPanel("CP_Blatt");
    auto* grid = new QGridLayout(CP_Blatt->Content());
    grid->setContentsMargins(6, 4, 6, 6);
    auto label = [this](int message) {
        auto* l = new QLabel;
        m_labels.emplace_back(l, message);
        return l;
    };
    CB_BlattFormat = Named(new QComboBox, "CB_BlattFormat");
    CB_BlattFormat->addItem(QString()); // "Frei"
    for (const TPaperFormat& f : PaperFormats())
        CB_BlattFormat->addItem(QString::fromLatin1(f.Name));
    RB_BlattQuer = Named(new QRadioButton, "RB_BlattQuer");
    RB_BlattHoch = Named(new QRadioButton, "RB_BlattHoch");
    SE_BlattWidth = Named(new TSpinEdit(kMinSheetSide, kMaxSheetSide), "SE_BlattWidth");
    SE_BlattHeight = Named(new TSpinEdit(kMinSheetSide, kMaxSheetSide), "SE_BlattHeight");
    for (QSpinBox* s : {SE_BlattWidth, SE_BlattHeight})
        s->setSuffix(QStringLiteral(" mm"));
    E_BlattName = Named(new QLineEdit, "E_BlattName");
    E_BlattName->setMaxLength(kMaxSheetNameLength);
    Memo_Blatt = Named(new QPlainTextEdit, "Memo_Blatt");
    Memo_Blatt->setTabChangesFocus(true);
    Memo_Blatt->setFixedHeight(E_BlattName->sizeHint().height() * 3);
    CB_Reserveblatt = Named(new QCheckBox, "CB_Reserveblatt");

    auto* orientation = new QHBoxLayout;
    orientation->addWidget(RB_BlattQuer);
    orientation->addWidget(RB_BlattHoch);
    orientation->addStretch(1);
    int row = 0;
    grid->addWidget(label(8485), row, 0);
    grid->addWidget(CB_BlattFormat, row++, 1, 1, 2);
    grid->addWidget(label(8498), row, 0);
    grid->addLayout(orientation, row++, 1, 1, 2);
    grid->addWidget(label(8489), row, 0);
    grid->addWidget(SE_BlattWidth, row++, 1);
    grid->addWidget(label(8490), row, 0);
    grid->addWidget(SE_BlattHeight, row++, 1);
    grid->addWidget(label(8491), row, 0);
    grid->addWidget(E_BlattName, row++, 1, 1, 2);
    grid->addWidget(label(8492), row, 0, Qt::AlignTop);
    grid->addWidget(Memo_Blatt, row++, 1, 1, 2);
    grid->addWidget(label(8494), row, 0);
    grid->addWidget(CB_Reserveblatt, row++, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    connect(CB_BlattFormat, &QComboBox::activated, this, &TEigenschaftenPanel::FormatChosen);
    connect(RB_BlattQuer, &QRadioButton::clicked, this, [this] { OrientationChosen(false); });
    connect(RB_BlattHoch, &QRadioButton::clicked, this, [this] { OrientationChosen(true); });
    connect(SE_BlattWidth, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_filling) return;
        m_sheet.Width = v;
        Changed();
    });
    connect(SE_BlattHeight, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_filling) return;
        m_sheet.Height = v;
        Changed();
    });
    connect(E_BlattName, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_sheet.Name = text;
        Changed();
    });
    connect(Memo_Blatt, &QPlainTextEdit::textChanged, this, [this] {
        if (m_filling) return;
        m_sheet.Description = Memo_Blatt->toPlainText();
        Changed();
    });
    connect(CB_Reserveblatt, &QCheckBox::clicked, this, [this](bool on) {
        m_sheet.Reserve = on;
        Changed();
    });
    AddCategory(CP_Blatt, [](const TPanelState& s) {
        return s.HasSheet && s.NothingEdited && !s.ComponentEditor;
    });
}

void TEigenschaftenPanel::BuildScaleCategory() {
    CP_Massstab = new TCategoryPanel("CP_Massstab");
    auto* column = new QVBoxLayout(CP_Massstab->Content());
    column->setContentsMargins(6, 4, 6, 6);
    auto* row = new QHBoxLayout;
    auto* reset = new QHBoxLayout;
    column->addLayout(row);
    column->addLayout(reset);
    E_Massstab = Named(new QLineEdit, "E_Massstab");
    CB_Massstab = Named(new QComboBox, "CB_Massstab");
    for (int divisor : kUnitDivisors)
        CB_Massstab->addItem(UnitText(divisor));
    B_MassstabReset = Named(new QPushButton, "B_MassstabReset");
    row->addWidget(new QLabel(QStringLiteral("1 :")));
    row->addWidget(E_Massstab, 1);
    row->addWidget(CB_Massstab);
    auto* hint = Named(new QLabel, "L_MassstabHinweis");
    hint->setEnabled(false); // drawn grey
    m_labels.emplace_back(hint, 8880);
    reset->addWidget(hint);
    reset->addStretch(1);
    reset->addWidget(B_MassstabReset);
    connect(E_Massstab, &QLineEdit::editingFinished, this, &TEigenschaftenPanel::ScaleEntered);
    connect(CB_Massstab, &QComboBox::activated, this, &TEigenschaftenPanel::UnitChosen);
    connect(B_MassstabReset, &QPushButton::clicked, this, [this] {
        m_sheet.Scale = 1;
        m_sheet.UnitDivisor = 1;
        FillScale();
        Changed();
    });
    AddCategory(CP_Massstab, [](const TPanelState& s) { return s.HasSheet && s.NothingEdited; });
}

void TEigenschaftenPanel::BuildFormSheetCategory() {
    CP_Formblatt = new TCategoryPanel("CP_Formblatt");
    auto* grid = new QGridLayout(CP_Formblatt->Content());
    grid->setContentsMargins(6, 4, 6, 6);
    struct TField {
        TSpinEdit*& Edit;
        const char* Name;
        int Message;
        int Max;
        int Min;
        bool Length; // mm shown, world units stored
    };
    const TField fields[] = {
        {SE_Formblatt_Width, "SE_Formblatt_Width", 8891, kMaxZoneLength, 0, true},
        {SE_Formblatt_Height, "SE_Formblatt_Height", 8892, kMaxZoneLength, 0, true},
        {SE_Formblatt_XOffset, "SE_Formblatt_XOffset", 8893, kMaxZoneLength, 0, true},
        {SE_Formblatt_YOffset, "SE_Formblatt_YOffset", 8894, kMaxZoneLength, 0, true},
        {SE_Formblatt_XAnz, "SE_Formblatt_XAnz", 8895, kMaxZoneCount, 1, false},
        {SE_Formblatt_YAnz, "SE_Formblatt_YAnz", 8896, kMaxZoneCount, 1, false},
        {SE_Formblatt_XStart, "SE_Formblatt_XStart", 8897, kMaxZoneFirstNumber, 0, false},
        {SE_Formblatt_YStart, "SE_Formblatt_YStart", 8898, kMaxZoneFirstNumber, 0, false},
    };
    int i = 0;
    for (const TField& f : fields) {
        f.Edit = Named(new TSpinEdit(f.Min, f.Max), f.Name);
        if (f.Length) f.Edit->setSuffix(QStringLiteral(" mm"));
        auto* l = new QLabel;
        m_labels.emplace_back(l, f.Message);
        grid->addWidget(l, i, 0);
        grid->addWidget(f.Edit, i, 1);
        ++i;
    }
    grid->setColumnStretch(2, 1);
    CB_Formblatt_Show = Named(new QCheckBox, "CB_Formblatt_Show");
    B_Formblatt_Create = Named(new QPushButton, "B_Formblatt_Create");
    B_Formblatt_Auto = Named(new QPushButton, "B_Formblatt_Auto");
    B_Formblatt_Create->setEnabled(false); // the form-sheet generator comes with its feature
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B_Formblatt_Auto);
    buttons->addWidget(B_Formblatt_Create);
    grid->addWidget(CB_Formblatt_Show, i++, 0, 1, 3);
    grid->addLayout(buttons, i, 0, 1, 3);

    auto length = [this](TSpinEdit* e, float TZoneGrid::*field) {
        connect(e, &QSpinBox::valueChanged, this, [this, field](int mm) {
            if (m_filling) return;
            m_sheet.ZoneGrid.*field = float(mm * 10);
            Changed();
        });
    };
    length(SE_Formblatt_Width, &TZoneGrid::Width);
    length(SE_Formblatt_Height, &TZoneGrid::Height);
    length(SE_Formblatt_XOffset, &TZoneGrid::OffsetX);
    length(SE_Formblatt_YOffset, &TZoneGrid::OffsetY);
    auto count = [this](TSpinEdit* e, qint32 TZoneGrid::*field) {
        connect(e, &QSpinBox::valueChanged, this, [this, field](int v) {
            if (m_filling) return;
            m_sheet.ZoneGrid.*field = v;
            Changed();
        });
    };
    count(SE_Formblatt_XAnz, &TZoneGrid::Columns);
    count(SE_Formblatt_YAnz, &TZoneGrid::Rows);
    count(SE_Formblatt_XStart, &TZoneGrid::FirstColumn);
    count(SE_Formblatt_YStart, &TZoneGrid::FirstRow);
    connect(CB_Formblatt_Show, &QCheckBox::clicked, this, [this](bool on) {
        m_sheet.ZoneGridVisible = on;
        Changed();
    });
    connect(B_Formblatt_Auto, &QPushButton::clicked, this, &TEigenschaftenPanel::AutoZoneGrid);
    AddCategory(CP_Formblatt, [](const TPanelState& s) {
        return s.HasSheet && s.NothingEdited && !s.ComponentEditor;
    });
}

void TEigenschaftenPanel::Translate() {
    CP_Blatt->SetCaption(GetMessage(8484));
    CP_Massstab->SetCaption(GetMessage(8870));
    CP_Formblatt->SetCaption(GetMessage(8890));
    for (auto [l, message] : m_labels)
        l->setText(GetMessage(message));
    CB_BlattFormat->setItemText(0, GetMessage(8488));
    RB_BlattQuer->setText(GetMessage(8486));
    RB_BlattHoch->setText(GetMessage(8487));
    CB_Reserveblatt->setText(GetMessage(8493));
    E_Massstab->setToolTip(GetMessage(8880));
    E_Massstab->setPlaceholderText(GetMessage(8880));
    B_MassstabReset->setText(GetMessage(8871));
    CB_Formblatt_Show->setText(GetMessage(8899));
    B_Formblatt_Create->setText(GetMessage(8900));
    B_Formblatt_Auto->setText(GetMessage(8901));
}

void TEigenschaftenPanel::ShowSheet(const TSheetProperties& values, bool componentEditor) {
    m_sheet = values;
    m_state = TPanelState{};
    m_state.HasSheet = true;
    m_state.ComponentEditor = componentEditor;
    setEnabled(true);
    Fill();
    UpdateCategories();
}

void TEigenschaftenPanel::ShowNothing() {
    m_state = TPanelState{};
    UpdateCategories();
}

void TEigenschaftenPanel::UpdateCategories() {
    for (const TCategory& c : m_categories)
        c.Panel->setVisible(c.VisibleWhen(m_state));
}

int TEigenschaftenPanel::ContentHeight() const {
    return PG_Eigenschaften->widget()->sizeHint().height();
}

void TEigenschaftenPanel::Fill() {
    m_filling = true;
    const TSheetProperties& s = m_sheet;
    CB_BlattFormat->setCurrentIndex(FindPaperFormat(s.Width, s.Height) + 1);
    RB_BlattHoch->setChecked(s.Width < s.Height);
    RB_BlattQuer->setChecked(s.Width >= s.Height);
    SetSpin(SE_BlattWidth, s.Width);
    SetSpin(SE_BlattHeight, s.Height);
    if (E_BlattName->text() != s.Name) E_BlattName->setText(s.Name);
    if (Memo_Blatt->toPlainText() != s.Description) Memo_Blatt->setPlainText(s.Description);
    CB_Reserveblatt->setChecked(s.Reserve);
    FillScale();
    const TZoneGrid& z = s.ZoneGrid;
    SetSpin(SE_Formblatt_Width, Mm(z.Width));
    SetSpin(SE_Formblatt_Height, Mm(z.Height));
    SetSpin(SE_Formblatt_XOffset, Mm(z.OffsetX));
    SetSpin(SE_Formblatt_YOffset, Mm(z.OffsetY));
    SetSpin(SE_Formblatt_XAnz, z.Columns);
    SetSpin(SE_Formblatt_YAnz, z.Rows);
    SetSpin(SE_Formblatt_XStart, z.FirstColumn);
    SetSpin(SE_Formblatt_YStart, z.FirstRow);
    CB_Formblatt_Show->setChecked(s.ZoneGridVisible);
    m_filling = false;
}

void TEigenschaftenPanel::FillScale() {
    const bool filling = m_filling;
    m_filling = true;
    const QString scale = FormatTrimmed(m_sheet.Scale, 6);
    if (E_Massstab->text() != scale) E_Massstab->setText(scale);
    CB_Massstab->setCurrentIndex(UnitIndex(m_sheet.UnitDivisor));
    m_filling = filling;
}

void TEigenschaftenPanel::Changed() {
    if (m_filling || !m_state.HasSheet) return;
    Q_EMIT SheetPropertiesChanged(m_sheet);
}

void TEigenschaftenPanel::FormatChosen(int index) {
    if (m_filling) return;
    // "Frei" keeps the size, and the list goes on showing what the size is.
    if (index <= 0 || index > int(PaperFormats().size())) return Fill();
    const TPaperFormat& f = PaperFormats()[size_t(index - 1)];
    const bool portrait = RB_BlattHoch->isChecked();
    m_sheet.Width = portrait ? f.ShortSide : f.LongSide;
    m_sheet.Height = portrait ? f.LongSide : f.ShortSide;
    Fill();
    Changed();
}

void TEigenschaftenPanel::OrientationChosen(bool portrait) {
    if (m_filling) return;
    TSheetProperties& s = m_sheet;
    if (portrait == (s.Width < s.Height)) return;
    std::swap(s.Width, s.Height);
    Fill();
    Changed();
}

void TEigenschaftenPanel::ScaleEntered() {
    if (m_filling) return;
    QString text = E_Massstab->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double typed = text.toDouble(&ok);
    // What cannot be read counts as 0, and 0 is below the range.
    const double scale = ClampSheetScale(ok ? typed : 0);
    // Leaving the field unchanged keeps a stored scale finer than one decimal.
    if (E_Massstab->text() == FormatTrimmed(m_sheet.Scale, 6)) return;
    m_sheet.Scale = scale;
    FillScale();
    Changed();
}

void TEigenschaftenPanel::UnitChosen(int index) {
    if (m_filling || index < 0 || index >= int(std::size(kUnitDivisors))) return;
    m_sheet.UnitDivisor = kUnitDivisors[index];
    Changed();
}

void TEigenschaftenPanel::AutoZoneGrid() {
    m_sheet.ZoneGrid = FitZoneGridToSheet(m_sheet.ZoneGrid, m_sheet.Width, m_sheet.Height);
    Fill();
    Changed();
}

bool TEigenschaftenPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // ESC throws the typed entry away; with nothing typed it goes on (and closes the
        // dialog the panel may sit in).
        QLineEdit* line = qobject_cast<QLineEdit*>(watched);
        if (auto* spin = qobject_cast<QSpinBox*>(watched)) line = spin->findChild<QLineEdit*>();
        if (line) {
            const QString before = line->text();
            if (auto* spin = qobject_cast<QSpinBox*>(watched)) {
                m_filling = true;
                spin->setValue(spin->value()); // shows the value's text again
                m_filling = false;
            }
            Fill();
            line->selectAll();
            if (line->text() != before) return true;
        } else if (watched == Memo_Blatt && Memo_Blatt->toPlainText() != m_sheet.Description) {
            Fill();
            Memo_Blatt->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// TEigenschaftenFenster

TEigenschaftenFenster::TEigenschaftenFenster(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TEigenschaftenFenster"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    Translate();
}

void TEigenschaftenFenster::TakePanel(TEigenschaftenPanel* panel) {
    layout()->addWidget(panel);
    panel->show();
}

void TEigenschaftenFenster::Translate() {
    setWindowTitle(GetMessage(8399));
}

void TEigenschaftenFenster::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT Closed();
}

// ---------------------------------------------------------------------------------------------
// TEigenschaftenDlg

TEigenschaftenDlg::TEigenschaftenDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TEigenschaftenDlg"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Translate();
}

void TEigenschaftenDlg::TakePanel(TEigenschaftenPanel* panel) {
    m_panel = panel;
    layout()->addWidget(panel);
    panel->show();
}

void TEigenschaftenDlg::Translate() {
    setWindowTitle(GetMessage(8399));
}

void TEigenschaftenDlg::Place() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    const double dpi = screen->logicalDotsPerInch() / 96.0;
    const int content = m_panel ? m_panel->ContentHeight() : 0;
    const int height = std::min(content + int(28 * dpi), work.height() - int(60 * dpi));
    const int width = std::max(m_panel ? m_panel->sizeHint().width() : 0, int(330 * dpi));
    resize(width, std::max(height, 100));
    const QSize frame = frameGeometry().size() - geometry().size();
    QPoint at(work.right() - width - frame.width(), work.bottom() - height - frame.height());
    // Reaching below the work area, the dialog is centred vertically.
    if (at.y() < work.top() || at.y() + height > work.bottom())
        at.setY(work.top() + (work.height() - height) / 2);
    move(at);
}
