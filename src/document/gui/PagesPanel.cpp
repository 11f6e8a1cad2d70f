#include "document/gui/PagesPanel.h"

#include "platform/gui/named.h"
#include "platform/messages.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

TSheetListPanel::TSheetListPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PagesContent"));
    SG_Pages = Named(new QTableWidget(0, 2), "SG_Pages");
    SG_Pages->horizontalHeader()->setVisible(false);
    SG_Pages->verticalHeader()->setVisible(false);
    SG_Pages->verticalHeader()->setDefaultSectionSize(kRowHeight);
    SG_Pages->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SG_Pages->horizontalHeader()->setStretchLastSection(true);
    SG_Pages->setColumnWidth(0, SG_Pages->fontMetrics().horizontalAdvance(QStringLiteral("99999")) +
                                    8);
    SG_Pages->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG_Pages->setSelectionMode(QAbstractItemView::SingleSelection);
    SG_Pages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG_Pages->setMouseTracking(true);
    SG_Pages->viewport()->installEventFilter(this);

    Popup_Pages = Named(new QMenu(this), "Popup_Pages");
    M_Loeschen = Popup_Pages->addAction(QString());
    M_Loeschen->setObjectName(QStringLiteral("M_Loeschen"));
    M_NeuesBlatt = Popup_Pages->addMenu(QString());
    M_NeuesBlatt->setObjectName(QStringLiteral("M_NeuesBlatt"));
    M_NeuHier = M_NeuesBlatt->addAction(QString());
    M_NeuErstes = M_NeuesBlatt->addAction(QString());
    M_NeuLetztes = M_NeuesBlatt->addAction(QString());
    M_BlattKopieren = Popup_Pages->addMenu(QString());
    M_BlattKopieren->setObjectName(QStringLiteral("M_BlattKopieren"));
    M_KopieHier = M_BlattKopieren->addAction(QString());
    M_KopieLetztes = M_BlattKopieren->addAction(QString());
    M_KopieMehr = M_BlattKopieren->addAction(QString());
    Popup_Pages->addSeparator();
    M_Eigenschaften = Popup_Pages->addAction(QString());
    M_Eigenschaften->setObjectName(QStringLiteral("M_Eigenschaften"));
    connect(M_Loeschen, &QAction::triggered, this, &TSheetListPanel::DeleteRequested);
    connect(M_NeuHier, &QAction::triggered, this,
            [this] { Q_EMIT NewSheetRequested(m_current + 1); });
    connect(M_NeuErstes, &QAction::triggered, this, [this] { Q_EMIT NewSheetRequested(0); });
    connect(M_NeuLetztes, &QAction::triggered, this,
            [this] { Q_EMIT NewSheetRequested(RowCount()); });
    connect(M_KopieHier, &QAction::triggered, this,
            [this] { Q_EMIT CopyRequested(m_current, m_current + 1); });
    connect(M_KopieLetztes, &QAction::triggered, this,
            [this] { Q_EMIT CopyRequested(m_current, RowCount()); });
    connect(M_KopieMehr, &QAction::triggered, this, &TSheetListPanel::CopyMoreRequested);
    connect(M_Eigenschaften, &QAction::triggered, this, &TSheetListPanel::PropertiesRequested);

    SB_PagesMenu = Named(new QToolButton(SG_Pages->viewport()), "SB_PagesMenu");
    SB_PagesMenu->setText(QStringLiteral("..."));
    SB_PagesMenu->setMenu(Popup_Pages);
    SB_PagesMenu->setPopupMode(QToolButton::InstantPopup);
    SB_PagesMenu->setVisible(false);

    B_Inhaltsverzeichnis = Named(new QPushButton, "B_Inhaltsverzeichnis");
    connect(B_Inhaltsverzeichnis, &QPushButton::clicked, this,
            &TSheetListPanel::TableOfContentsRequested);

    connect(SG_Pages, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (m_filling || row < 0 || row == m_current) return;
        Q_EMIT RowSelected(row);
    });
    connect(SG_Pages->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TSheetListPanel::PlaceMenuButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(SG_Pages, 1);
    layout->addWidget(B_Inhaltsverzeichnis);
    Translate();
}

void TSheetListPanel::Translate() {
    M_Loeschen->setText(GetMessage(7751));
    M_NeuesBlatt->setTitle(GetMessage(7752));
    M_NeuHier->setText(GetMessage(7753));
    M_NeuErstes->setText(GetMessage(7754));
    M_NeuLetztes->setText(GetMessage(7756));
    M_BlattKopieren->setTitle(GetMessage(7757));
    M_KopieHier->setText(GetMessage(7753));
    M_KopieLetztes->setText(GetMessage(7756));
    M_KopieMehr->setText(GetMessage(7758));
    M_Eigenschaften->setText(GetMessage(7759));
    B_Inhaltsverzeichnis->setText(GetMessage(1421));
}

int TSheetListPanel::RowCount() const {
    return SG_Pages->rowCount();
}

void TSheetListPanel::SetRows(const std::vector<TRow>& rows, int current) {
    m_filling = true;
    SG_Pages->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        auto* number = new QTableWidgetItem(rows[size_t(i)].Number);
        number->setTextAlignment(Qt::AlignCenter);
        auto* name = new QTableWidgetItem(rows[size_t(i)].Name);
        name->setToolTip(rows[size_t(i)].Hint);
        SG_Pages->setItem(i, 0, number);
        SG_Pages->setItem(i, 1, name);
    }
    m_current = (current >= 0 && current < int(rows.size())) ? current : -1;
    if (m_current >= 0) {
        // With rows selected whole, the current cell selects its row (selectRow would look for
        // a column under the hidden header and lose the current row).
        SG_Pages->setCurrentCell(m_current, 1);
        SG_Pages->scrollToItem(SG_Pages->item(m_current, 1), QAbstractItemView::PositionAtCenter);
    } else {
        SG_Pages->clearSelection();
    }
    m_filling = false;
    PlaceMenuButton();
}

void TSheetListPanel::PlaceMenuButton() {
    if (m_current < 0) {
        SB_PagesMenu->setVisible(false);
        return;
    }
    const QRect r = SG_Pages->visualRect(SG_Pages->model()->index(m_current, 1));
    const int w = kRowHeight - 4;
    SB_PagesMenu->setGeometry(r.right() - w - 1, r.top() + 2, w, r.height() - 4);
    SB_PagesMenu->setVisible(r.isValid() && r.intersects(SG_Pages->viewport()->rect()));
    SB_PagesMenu->raise();
}

void TSheetListPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceMenuButton();
}

bool TSheetListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != SG_Pages->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        m_pressRow = e->button() == Qt::LeftButton ? SG_Pages->rowAt(int(e->position().y())) : -1;
        break;
    }
    case QEvent::MouseMove:
        // While a row is dragged the selection stays on it.
        if (m_pressRow >= 0) return true;
        break;
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        const int from = m_pressRow;
        m_pressRow = -1;
        if (e->button() != Qt::LeftButton || from < 0) break;
        int to = SG_Pages->rowAt(int(e->position().y()));
        if (to < 0 && e->position().y() > 0) to = RowCount() - 1;
        // A row dropped on another row moves its sheet there.
        if (to >= 0 && to != from) Q_EMIT RowMoved(from, to);
        break;
    }
    case QEvent::Resize:
        PlaceMenuButton();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

TPagesPanel::TPagesPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TPagesPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    setWindowTitle(GetMessage(7750));
}

void TPagesPanel::TakeContent(QWidget* content) {
    layout()->addWidget(content);
    content->show();
}

void TPagesPanel::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT Closed();
}
