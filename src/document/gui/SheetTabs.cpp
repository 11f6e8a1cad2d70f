#include "document/gui/SheetTabs.h"

#include "platform/gui/named.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

namespace {
constexpr int kTabHeight = 22;
constexpr int kPadding = 6;
constexpr int kChamfer = 3;
} // namespace

TSheetTabs::TSheetTabs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSet"));
    setMouseTracking(true);
    setMinimumHeight(kTabHeight + 2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TSheetTabs::sizeHint() const {
    return QSize(400, kTabHeight + 2);
}

void TSheetTabs::SetTabs(std::vector<TTab> tabs, int current) {
    m_tabs = std::move(tabs);
    m_current = (current >= 0 && current < Count()) ? current : -1;
    m_first = std::clamp(m_first, 0, std::max(0, Count() - 1));
    // Showing the pressed tab's sheet refreshes the tabs; a drag that began goes on.
    if (m_pressIndex >= Count()) {
        m_dragging = false;
        m_pressIndex = -1;
    }
    if (m_current >= 0) EnsureVisible(m_current);
    update();
    Q_EMIT ScrollChanged();
}

int TSheetTabs::TabWidth(int index) const {
    return fontMetrics().horizontalAdvance(m_tabs[size_t(index)].Text) + 2 * kPadding;
}

QRect TSheetTabs::TabRect(int index) const {
    if (index < m_first || index >= Count()) return QRect();
    int x = 2;
    for (int i = m_first; i < index; ++i)
        x += TabWidth(i) - 1;
    return QRect(x, 0, TabWidth(index), kTabHeight);
}

int TSheetTabs::TabAt(QPoint p) const {
    for (int i = m_first; i < Count(); ++i) {
        const QRect r = TabRect(i);
        if (r.left() > width()) break;
        if (r.contains(p)) return i;
    }
    return -1;
}

bool TSheetTabs::CanScrollRight() const {
    if (Count() == 0) return false;
    const QRect last = TabRect(Count() - 1);
    return last.right() > width();
}

void TSheetTabs::EnsureVisible(int index) {
    if (index < 0 || index >= Count()) return;
    if (index < m_first) m_first = index;
    while (m_first < index && TabRect(index).right() > width())
        ++m_first;
    update();
    Q_EMIT ScrollChanged();
}

void TSheetTabs::ScrollTabs(int tabs) {
    const int before = m_first;
    if (tabs < 0)
        m_first = std::max(0, m_first + tabs);
    else
        for (int i = 0; i < tabs && CanScrollRight(); ++i)
            ++m_first;
    if (m_first != before) {
        update();
        Q_EMIT ScrollChanged();
    }
}

void TSheetTabs::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(QPen(QColor(128, 128, 128), 0));
    p.drawLine(0, 0, width(), 0);
    // The current tab is drawn last, so it lies on top of its neighbours.
    auto drawTab = [&](int i) {
        const QRect r = TabRect(i);
        if (r.isNull() || r.left() > width()) return;
        const bool current = i == m_current;
        QPolygon outline;
        outline << QPoint(r.left(), r.top()) << QPoint(r.right(), r.top())
                << QPoint(r.right(), r.bottom() - kChamfer)
                << QPoint(r.right() - kChamfer, r.bottom())
                << QPoint(r.left() + kChamfer, r.bottom())
                << QPoint(r.left(), r.bottom() - kChamfer);
        p.setBrush(current ? QColor(255, 255, 255) : QColor(226, 226, 226));
        p.setPen(QPen(QColor(110, 110, 110), 0));
        p.drawPolygon(outline);
        p.setPen(m_tabs[size_t(i)].Reserve ? QColor(128, 128, 128) : QColor(0, 0, 0));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_tabs[size_t(i)].Text);
    };
    for (int i = m_first; i < Count(); ++i)
        if (i != m_current) drawTab(i);
    if (m_current >= m_first) drawTab(m_current);
    if (m_dragging && m_dropIndex >= 0) {
        const QRect r = TabRect(m_dropIndex);
        const int x = m_dropRight ? r.right() - 3 : r.left();
        p.fillRect(QRect(x, r.top(), 4, r.height()), QColor(255, 0, 0));
    }
}

void TSheetTabs::mousePressEvent(QMouseEvent* event) {
    const int i = TabAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        Q_EMIT TabContextMenu(i, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || i < 0) return;
    m_pressIndex = i;
    m_pressPos = event->position().toPoint();
    m_dragging = false;
    if (i != m_current) Q_EMIT TabClicked(i);
}

void TSheetTabs::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressIndex < 0 || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && (pos - m_pressPos).manhattanLength() >= kDragThreshold) m_dragging = true;
    if (!m_dragging) return;
    const int over = TabAt(pos);
    m_dropIndex = over != m_pressIndex ? over : -1;
    m_dropRight = over > m_pressIndex;
    setCursor(Qt::DragMoveCursor);
    update();
}

void TSheetTabs::mouseReleaseEvent(QMouseEvent* event) {
    const bool dragged = m_dragging;
    const int from = m_pressIndex;
    const int to = m_dropIndex;
    m_dragging = false;
    m_pressIndex = -1;
    m_dropIndex = -1;
    unsetCursor();
    update();
    if (event->button() == Qt::LeftButton && dragged && from >= 0 && to >= 0 && from != to)
        Q_EMIT TabMoved(from, to);
}

void TSheetTabs::wheelEvent(QWheelEvent* event) {
    const int d = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (d != 0) ScrollTabs(d > 0 ? -1 : 1);
    event->accept();
}

void TSheetTabs::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_current >= 0) EnsureVisible(m_current);
    Q_EMIT ScrollChanged();
}

bool TSheetTabs::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int i = TabAt(help->pos());
        if (i >= 0 && !m_tabs[size_t(i)].Hint.isEmpty())
            QToolTip::showText(help->globalPos(), m_tabs[size_t(i)].Hint, this, TabRect(i));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

TSheetTabStrip::TSheetTabStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel_Tabs"));
    SB_NeuesBlatt = Named(new QToolButton, "SB_NeuesBlatt");
    SB_NeuesBlatt->setText(QStringLiteral("+"));
    SB_NeuesBlatt->setPopupMode(QToolButton::InstantPopup);
    SB_NeuesBlatt->setAutoRaise(true);
    SB_GotoPage = Named(new QToolButton, "SB_GotoPage");
    SB_GotoPage->setArrowType(Qt::UpArrow);
    SB_GotoPage->setPopupMode(QToolButton::InstantPopup);
    SB_GotoPage->setAutoRaise(true);
    TabSet = new TSheetTabs;
    SB_TabsLeft = Named(new QToolButton, "SB_TabsLeft");
    SB_TabsLeft->setArrowType(Qt::LeftArrow);
    SB_TabsLeft->setAutoRaise(true);
    SB_TabsRight = Named(new QToolButton, "SB_TabsRight");
    SB_TabsRight->setArrowType(Qt::RightArrow);
    SB_TabsRight->setAutoRaise(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SB_GotoPage);
    layout->addWidget(SB_NeuesBlatt);
    layout->addWidget(TabSet, 1);
    layout->addWidget(SB_TabsLeft);
    layout->addWidget(SB_TabsRight);
    connect(SB_TabsLeft, &QToolButton::clicked, this, [this] { TabSet->ScrollTabs(-1); });
    connect(SB_TabsRight, &QToolButton::clicked, this, [this] { TabSet->ScrollTabs(1); });
    connect(TabSet, &TSheetTabs::ScrollChanged, this, &TSheetTabStrip::UpdateScrollButtons);
    UpdateScrollButtons();
}

void TSheetTabStrip::UpdateScrollButtons() {
    SB_TabsLeft->setEnabled(TabSet->CanScrollLeft());
    SB_TabsRight->setEnabled(TabSet->CanScrollRight());
}
