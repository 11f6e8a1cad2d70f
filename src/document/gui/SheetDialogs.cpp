#include "document/gui/SheetDialogs.h"

#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TBlattEinfuegenDlg::TBlattEinfuegenDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BlattEinfuegenDlg"));
    GB_Position = Named(new QGroupBox, "GB_Position");
    RB_ErstesBlatt = Named(new QRadioButton, "RB_ErstesBlatt");
    RB_LetztesBlatt = Named(new QRadioButton, "RB_LetztesBlatt");
    RB_Vor = Named(new QRadioButton, "RB_Vor");
    RB_Nach = Named(new QRadioButton, "RB_Nach");
    L_Blatt = Named(new QLabel, "L_Blatt");
    SE_Blatt = Named(new QSpinBox, "SE_Blatt");
    auto* pos = new QGridLayout(GB_Position);
    pos->addWidget(RB_ErstesBlatt, 0, 0, 1, 3);
    pos->addWidget(RB_LetztesBlatt, 1, 0, 1, 3);
    pos->addWidget(RB_Vor, 2, 0);
    pos->addWidget(RB_Nach, 3, 0);
    pos->addWidget(L_Blatt, 2, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    pos->addWidget(SE_Blatt, 2, 2, 2, 1, Qt::AlignVCenter);
    GB_Anzahl = Named(new QGroupBox, "GB_Anzahl");
    SE_Anzahl = Named(new QSpinBox, "SE_Anzahl");
    SE_Anzahl->setRange(1, 99);
    auto* count = new QHBoxLayout(GB_Anzahl);
    count->addWidget(SE_Anzahl);
    count->addStretch(1);
    B_OK = Named(new QPushButton(QStringLiteral("OK")), "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = Named(new QPushButton, "B_Abbrechen");
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* rb : {RB_ErstesBlatt, RB_LetztesBlatt, RB_Vor, RB_Nach})
        connect(rb, &QRadioButton::toggled, this, &TBlattEinfuegenDlg::UpdateEnabled);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B_OK);
    buttons->addWidget(B_Abbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GB_Position);
    layout->addWidget(GB_Anzahl);
    layout->addLayout(buttons);
    RB_LetztesBlatt->setChecked(true);
    Translate();
}

void TBlattEinfuegenDlg::Translate() {
    setWindowTitle(GetMessage(m_copy ? 6109 : 6100));
    GB_Position->setTitle(GetMessage(6101));
    RB_ErstesBlatt->setText(GetMessage(6102));
    RB_LetztesBlatt->setText(GetMessage(6103));
    RB_Vor->setText(GetMessage(6104));
    RB_Nach->setText(GetMessage(6105));
    L_Blatt->setText(GetMessage(6106));
    B_Abbrechen->setText(GetMessage(6107));
    GB_Anzahl->setTitle(GetMessage(6108));
}

void TBlattEinfuegenDlg::Prepare(int sheetCount, int current, bool copy) {
    m_sheetCount = std::max(1, sheetCount);
    m_copy = copy;
    SE_Blatt->setRange(1, m_sheetCount);
    SE_Blatt->setValue(std::clamp(current + 1, 1, m_sheetCount));
    SE_Anzahl->setValue(1);
    GB_Anzahl->setVisible(copy);
    Translate();
    UpdateEnabled();
    adjustSize();
}

void TBlattEinfuegenDlg::UpdateEnabled() {
    const bool numbered = RB_Vor->isChecked() || RB_Nach->isChecked();
    SE_Blatt->setEnabled(numbered);
    L_Blatt->setEnabled(numbered);
}

int TBlattEinfuegenDlg::Position() const {
    if (RB_ErstesBlatt->isChecked()) return 0;
    if (RB_Vor->isChecked()) return SE_Blatt->value() - 1;
    if (RB_Nach->isChecked()) return SE_Blatt->value();
    return m_sheetCount;
}

int TBlattEinfuegenDlg::Count() const {
    return m_copy ? SE_Anzahl->value() : 1;
}

// ---------------------------------------------------------------------------------------------

TBlattSortierenDlg::TBlattSortierenDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BlattSortierenDlg"));
    L_Hinweis = Named(new QLabel, "L_Hinweis");
    L_Hinweis->setWordWrap(true);
    LB_Blaetter = Named(new QListWidget, "LB_Blaetter");
    LB_Blaetter->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LB_Blaetter->viewport()->installEventFilter(this);
    B_OK = Named(new QPushButton(QStringLiteral("OK")), "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = Named(new QPushButton, "B_Abbrechen");
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B_OK);
    buttons->addWidget(B_Abbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(L_Hinweis);
    layout->addWidget(LB_Blaetter, 1);
    layout->addLayout(buttons);
    resize(360, 440);
    Translate();
}

void TBlattSortierenDlg::Translate() {
    setWindowTitle(GetMessage(6200));
    L_Hinweis->setText(GetMessage(6201));
    B_Abbrechen->setText(GetMessage(6202));
}

void TBlattSortierenDlg::SetCaptions(const QStringList& captions, int current) {
    m_captions = captions;
    m_order.resize(size_t(captions.size()));
    for (int i = 0; i < int(m_order.size()); ++i)
        m_order[size_t(i)] = i;
    std::vector<bool> selected(m_order.size(), false);
    if (current >= 0 && current < int(selected.size())) selected[size_t(current)] = true;
    Fill(selected);
}

void TBlattSortierenDlg::Fill(const std::vector<bool>& selected) {
    LB_Blaetter->clear();
    for (size_t i = 0; i < m_order.size(); ++i) {
        auto* item = new QListWidgetItem(m_captions.value(m_order[i]), LB_Blaetter);
        item->setSelected(selected[i]);
    }
}

bool TBlattSortierenDlg::MoveSelection(int delta) {
    const int n = int(m_order.size());
    std::vector<bool> selected(static_cast<size_t>(n), false);
    int first = n, last = -1;
    for (int i = 0; i < n; ++i) {
        selected[size_t(i)] = LB_Blaetter->item(i)->isSelected();
        if (selected[size_t(i)]) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
    }
    if (last < 0) return false;
    // Every selected entry moves by the same number of places; the block stops at the ends.
    delta = std::clamp(delta, -first, n - 1 - last);
    if (delta == 0) return false;
    std::vector<int> order(size_t(n), -1);
    std::vector<bool> nowSelected(size_t(n), false);
    for (int i = 0; i < n; ++i)
        if (selected[size_t(i)]) {
            order[size_t(i + delta)] = m_order[size_t(i)];
            nowSelected[size_t(i + delta)] = true;
        }
    int next = 0;
    for (int i = 0; i < n; ++i) {
        if (selected[size_t(i)]) continue;
        while (order[size_t(next)] != -1)
            ++next;
        order[size_t(next)] = m_order[size_t(i)];
    }
    m_order = order;
    Fill(nowSelected);
    return true;
}

bool TBlattSortierenDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != LB_Blaetter->viewport()) return QDialog::eventFilter(watched, event);
    auto rowAt = [this](QEvent* e) {
        const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
        return LB_Blaetter->row(LB_Blaetter->itemAt(p));
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const int row = rowAt(event);
        auto* e = static_cast<QMouseEvent*>(event);
        // A press on a selected entry without modifiers starts a drag of the selection.
        if (row >= 0 && LB_Blaetter->item(row)->isSelected() && e->button() == Qt::LeftButton &&
            e->modifiers() == Qt::NoModifier) {
            m_dragRow = row;
            return true;
        }
        m_dragRow = -1;
        break;
    }
    case QEvent::MouseMove:
        if (m_dragRow >= 0) {
            const int row = rowAt(event);
            if (row >= 0 && row != m_dragRow) {
                const int before = m_dragRow;
                if (MoveSelection(row - before)) m_dragRow = row;
            }
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragRow >= 0) {
            m_dragRow = -1;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
