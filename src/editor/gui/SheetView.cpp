#include "editor/gui/SheetView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

namespace {
constexpr int kScrollStep = 40;          // scroll bar arrows, pixels
constexpr int kAutoScrollPeriod = 20;    // ms between auto-scroll steps while at an edge
const QColor kOutside(0x80, 0x80, 0x80); // scroll box around a sheet smaller than the view
} // namespace

TSheetView::TSheetView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("ScrollBox_Editor"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
    horizontalScrollBar()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents, false);
    m_autoScroll = new QTimer(this);
    m_autoScroll->setInterval(kAutoScrollPeriod);
    connect(m_autoScroll, &QTimer::timeout, this, &TSheetView::AutoScrollTick);
}

TSheetView::~TSheetView() {
    if (m_sheet) m_sheet->SetViewPort(nullptr);
}

void TSheetView::SetSheet(TEditor* sheet) {
    if (m_sheet == sheet) return;
    m_autoScroll->stop();
    if (m_sheet) m_sheet->SetViewPort(nullptr);
    m_sheet = sheet;
    m_backgroundValid = false;
    m_dirty = QRegion();
    if (m_sheet) {
        m_sheet->SetViewPort(this);
        UpdateClientSize();
        SyncScrollBars();
    }
    viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

void TSheetView::UpdateClientSize() {
    if (m_sheet) m_sheet->SetClientSize(viewport()->size(), maximumViewportSize());
}

void TSheetView::SyncScrollBars() {
    if (m_syncing) return;
    m_syncing = true;
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (!m_sheet) {
        h->setRange(0, 0);
        v->setRange(0, 0);
        m_syncing = false;
        return;
    }
    // Decide from the size without scroll bars which bars the canvas needs, so a sheet that fits
    // the whole area does not keep a bar that only its own width made necessary.
    const QSize full = maximumViewportSize();
    const QSize canvas = m_sheet->CanvasSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool needH = canvas.width() > full.width();
    bool needV = canvas.height() > full.height();
    if (needH && !needV) needV = canvas.height() > full.height() - bar;
    if (needV && !needH) needH = canvas.width() > full.width() - bar;
    const QSize client(full.width() - (needV ? bar : 0), full.height() - (needH ? bar : 0));
    h->setRange(0, std::max(0, canvas.width() - client.width()));
    v->setRange(0, std::max(0, canvas.height() - client.height()));
    h->setPageStep(std::max(1, client.width()));
    v->setPageStep(std::max(1, client.height()));
    // The bars show or hide a moment later; the sheet counts with the area it will have.
    m_sheet->SetClientSize(client, full);
    h->setValue(m_sheet->Scroll().x());
    v->setValue(m_sheet->Scroll().y());
    m_syncing = false;
}

void TSheetView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (!m_sheet) return;
    if (m_syncing) {
        m_sheet->SetClientSize(viewport()->size(), maximumViewportSize());
        return;
    }
    UpdateClientSize();
    SyncScrollBars();
    viewport()->update();
}

void TSheetView::scrollContentsBy(int, int) {
    if (m_syncing || !m_sheet) return;
    m_sheet->ScrollTo(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// TSheetViewPort

void TSheetView::CanvasChanged() {
    SyncScrollBars();
    viewport()->update();
}

void TSheetView::Invalidate(const QRect& client) {
    if (client.isEmpty())
        m_backgroundValid = false;
    else
        m_dirty += client;
    viewport()->update();
}

void TSheetView::OverlayChanged() {
    viewport()->update();
}

void TSheetView::SetPointer(QPoint client) {
    QCursor::setPos(viewport()->mapToGlobal(client));
}

QPoint TSheetView::PointerClient() const {
    return viewport()->mapFromGlobal(QCursor::pos());
}

// ---------------------------------------------------------------------------------------------
// Painting

void TSheetView::RenderRegion(const QRegion& region) {
    QPainter p(&m_background);
    for (const QRect& r : region) {
        p.fillRect(r, kOutside);
        m_sheet->Paint(p, r);
    }
}

void TSheetView::RenderBackground() {
    const QRect all(QPoint(0, 0), viewport()->size());
    RenderRegion(QRegion(all));
    m_backgroundValid = true;
    m_backgroundScroll = m_sheet->Scroll();
    m_backgroundZoom = m_sheet->Zoom;
    m_dirty = QRegion();
    ++m_fullRenders;
}

void TSheetView::RenderNow() {
    if (!m_sheet) return;
    const QSize size = viewport()->size();
    const qreal dpr = viewport()->devicePixelRatioF();
    if (m_background.size() != size * dpr || m_background.devicePixelRatio() != dpr) {
        m_background = QPixmap(size * dpr);
        m_background.setDevicePixelRatio(dpr);
        m_backgroundValid = false;
    }
    if (size.isEmpty()) return;
    if (!m_backgroundValid || m_backgroundZoom != m_sheet->Zoom) {
        RenderBackground();
        return;
    }
    const QPoint delta = m_backgroundScroll - m_sheet->Scroll();
    if (!delta.isNull()) {
        if (std::abs(delta.x()) >= size.width() || std::abs(delta.y()) >= size.height() ||
            dpr != 1) {
            RenderBackground();
            return;
        }
        // The kept picture moves; only the strip that came into view is rendered.
        QRegion exposed;
        m_background.scroll(delta.x(), delta.y(), m_background.rect(), &exposed);
        m_dirty.translate(delta);
        m_dirty += exposed;
        m_backgroundScroll = m_sheet->Scroll();
    }
    if (!m_dirty.isEmpty()) {
        RenderRegion(m_dirty.intersected(QRect(QPoint(0, 0), size)));
        m_dirty = QRegion();
        ++m_partialRenders;
    }
}

void TSheetView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    if (!m_sheet) {
        p.fillRect(viewport()->rect(), kOutside);
        return;
    }
    if (m_sheet->Zooming()) return;
    RenderNow();
    p.drawPixmap(0, 0, m_background);
    m_sheet->PaintOverlay(p);
}

// ---------------------------------------------------------------------------------------------
// Input

void TSheetView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (!m_sheet) return;
    m_lastPointer = event->position().toPoint();
    m_lastButtons = event->buttons();
    m_sheet->MouseDown(m_lastPointer, event->button(), event->buttons(), event->modifiers());
}

void TSheetView::mouseMoveEvent(QMouseEvent* event) {
    // During a drag from outside the moves come through ExternalDragMove.
    if (m_externalDrag) return;
    PointerMoved(event->position().toPoint(), event->buttons(), event->modifiers());
}

void TSheetView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_sheet) return;
    m_autoScroll->stop();
    m_lastButtons = event->buttons();
    m_sheet->MouseUp(event->position().toPoint(), event->button(), event->buttons(),
                     event->modifiers());
}

void TSheetView::PointerMoved(QPoint client, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys) {
    if (!m_sheet) return;
    m_lastPointer = client;
    m_lastButtons = buttons;
    const bool dragging =
        buttons != Qt::NoButton || m_externalDrag || m_sheet->ElementUnderConstruction;
    if (dragging) {
        m_sheet->SetKeyState(keys);
        // A move that scrolled the view changes nothing else; while the pointer stays at the
        // edge the timer keeps scrolling.
        if (m_sheet->AutoScroll(client + m_sheet->Scroll())) {
            if (!m_autoScroll->isActive()) m_autoScroll->start();
            return;
        }
    }
    m_autoScroll->stop();
    m_sheet->MouseMove(client, buttons, keys);
}

void TSheetView::AutoScrollTick() {
    const bool dragging = m_sheet && (m_lastButtons != Qt::NoButton || m_externalDrag ||
                                      m_sheet->ElementUnderConstruction);
    if (!dragging) {
        m_autoScroll->stop();
        return;
    }
    if (!m_sheet->AutoScroll(m_lastPointer + m_sheet->Scroll())) {
        m_autoScroll->stop();
        m_sheet->MouseMove(m_lastPointer, m_lastButtons, QGuiApplication::keyboardModifiers());
    }
}

void TSheetView::ExternalDragMove(QPoint global, Qt::MouseButtons buttons,
                                  Qt::KeyboardModifiers keys) {
    m_externalDrag = true;
    PointerMoved(viewport()->mapFromGlobal(global), buttons, keys);
}

void TSheetView::ExternalDragEnd() {
    m_externalDrag = false;
    m_autoScroll->stop();
}

void TSheetView::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (!m_sheet || (event->buttons() & Qt::LeftButton)) return;
    const int dy = event->angleDelta().y();
    if (dy == 0) return;
    // Touchpads send small steps; a zoom step needs a whole notch.
    if ((dy > 0) != (m_wheelRest > 0)) m_wheelRest = 0;
    m_wheelRest += dy;
    const QPoint at = event->position().toPoint();
    while (std::abs(m_wheelRest) >= 120) {
        const bool forward = m_wheelRest > 0;
        m_wheelRest -= forward ? 120 : -120;
        m_sheet->Wheel(at, forward);
    }
}

bool TSheetView::ScrollBarWheel(QObject* bar, QWheelEvent* event) {
    if (!m_sheet || (event->buttons() & Qt::LeftButton)) return true;
    const int d = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (d == 0) return true;
    // One fifth of the client area towards the wheel's direction.
    const bool horizontal = bar == horizontalScrollBar();
    const QSize client = viewport()->size();
    const int step = (horizontal ? client.width() : client.height()) / 5;
    const QPoint by =
        horizontal ? QPoint(d > 0 ? -step : step, 0) : QPoint(0, d > 0 ? -step : step);
    m_sheet->ScrollTo(m_sheet->Scroll() + by);
    return true;
}

bool TSheetView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar()))
        return ScrollBarWheel(watched, static_cast<QWheelEvent*>(event));
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool TSheetView::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Leave:
        if (m_sheet && !m_externalDrag) m_sheet->MouseLeave();
        break;
    case QEvent::NativeGesture: {
        auto* g = static_cast<QNativeGestureEvent*>(event);
        if (m_sheet && g->gestureType() == Qt::ZoomNativeGesture && g->value() != 0) {
            const QPoint at = g->position().toPoint();
            if (m_sheet->CanvasClientRect().contains(at))
                m_sheet->ZoomAt(m_sheet->ClientPointToWorld(at), false,
                                g->value() > 0 ? m_sheet->Zoom * 1.2f : m_sheet->Zoom / 1.2f);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TSheetView::keyPressEvent(QKeyEvent* event) {
    if (!m_sheet) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    // While a mouse button is held on the sheet every key is swallowed.
    if (m_sheet->MouseButtonHeld()) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Plus:
        m_sheet->ZoomInAtPointer(PointerClient());
        return;
    case Qt::Key_Minus:
        m_sheet->ZoomOutAtPointer(PointerClient());
        return;
    case Qt::Key_F5:
        m_sheet->ZoomSheet();
        return;
    case Qt::Key_F6:
        m_sheet->ZoomElements();
        return;
    default:
        break;
    }
    Q_EMIT UnhandledKey(event->key(), event->modifiers());
    // Arrow keys and page keys are left to the sheet's own commands, not to the scroll bars.
    event->ignore();
}
