// The sheet view: canvas size, scrolling, transforms, zoom, grid snapping, origin and the
// pointer read-out. Everything here is numbers; the sheet widget turns them into pixels.
#include "editor/editor.h"
#include "editor/viewplan.h"
#include "platform/messages.h"

#include <algorithm>
#include <climits>
#include <cmath>

TSheetViewPort::~TSheetViewPort() = default;

namespace {
// Canvas and scroll values stay far inside int, whatever size a file gives the sheet.
constexpr double kMaxCanvas = 1 << 30;

int clampedRound(double v) {
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(std::nearbyint(v), -kMaxCanvas, kMaxCanvas));
}

bool samePercent(float a, float b) {
    return std::nearbyint(double(a) * 100) == std::nearbyint(double(b) * 100);
}
} // namespace

void TEditor::RaiseStatus(const TStatusTexts& t) {
    if (OnStatus) OnStatus(*this, t);
}

void TEditor::RaiseScrolled(bool h, bool v) {
    if (OnScrolled && (h || v)) OnScrolled(*this, h, v);
}

void TEditor::Invalidate(const QRect& r) {
    if (m_port) m_port->Invalidate(r);
}

void TEditor::InvalidateWorld(const TRRect& r) {
    if (!m_port) return;
    try {
        const QRect client = View().RepaintRect(NormalizedRect(r)).Inflated(2).ToQRect();
        // A rectangle beyond the view asks for nothing; one too large for pixels for all.
        const QRect visible = client.intersected(QRect(QPoint(0, 0), m_client));
        if (!visible.isEmpty()) m_port->Invalidate(visible);
    } catch (const RangeError&) {
        m_port->Invalidate(QRect());
    }
}

void TEditor::SetZoom(float zoom) {
    if (std::isnan(zoom)) zoom = 0.2f;
    Zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QPoint max = MaxScroll();
    m_scroll = QPoint(std::clamp(m_scroll.x(), 0, max.x()), std::clamp(m_scroll.y(), 0, max.y()));
    if (m_port) m_port->CanvasChanged();
    TStatusTexts t;
    t.X = t.Y = t.DX = t.DY = kStatusUnchanged;
    t.Zoom = Zoom;
    RaiseStatus(t);
}

// ---------------------------------------------------------------------------------------------
// Canvas and scrolling

QSize TEditor::CanvasSize() const {
    return QSize(std::max(0, clampedRound(double(SheetWidth) * 10 * Zoom)),
                 std::max(0, clampedRound(double(SheetHeight) * 10 * Zoom)));
}

QPoint TEditor::MaxScroll() const {
    const QSize c = CanvasSize();
    return QPoint(std::max(0, c.width() - m_client.width()),
                  std::max(0, c.height() - m_client.height()));
}

void TEditor::SetClientSize(QSize client, QSize full) {
    m_client = QSize(std::max(0, client.width()), std::max(0, client.height()));
    m_full =
        QSize(std::max(m_client.width(), full.width()), std::max(m_client.height(), full.height()));
    ScrollTo(m_scroll);
}

void TEditor::ScrollTo(QPoint position) {
    const QPoint max = MaxScroll();
    const QPoint to(std::clamp(position.x(), 0, max.x()), std::clamp(position.y(), 0, max.y()));
    const bool h = to.x() != m_scroll.x(), v = to.y() != m_scroll.y();
    if (!h && !v) return;
    m_scroll = to;
    if (m_port) m_port->CanvasChanged();
    RaiseScrolled(h, v);
}

// ---------------------------------------------------------------------------------------------
// Transforms

TRPoint TEditor::ClientToWorld(QPointF canvas) const {
    return {float(canvas.x() / Zoom), float(canvas.y() / Zoom)};
}

QPoint TEditor::WorldToClient(TRPoint p) const {
    return QPoint(clampedRound(double(p.X) * Zoom), clampedRound(double(p.Y) * Zoom));
}

TRPoint TEditor::ClientPointToWorld(QPointF client) const {
    return ClientToWorld(client + QPointF(m_scroll));
}

QPoint TEditor::WorldToClientPoint(TRPoint p) const {
    return WorldToClient(p) - m_scroll;
}

TView TEditor::View() const {
    TView v;
    v.ZoomX = v.ZoomY = Zoom;
    v.OffsetX = float(-m_scroll.x());
    v.OffsetY = float(-m_scroll.y());
    return v;
}

QRect TEditor::CanvasClientRect() const {
    return QRect(-m_scroll, CanvasSize());
}

// ---------------------------------------------------------------------------------------------
// Zoom

void TEditor::ZoomAt(TRPoint p, bool movePointer, float zoom) {
    if (std::isnan(zoom)) return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (samePercent(zoom, Zoom)) return;
    m_zooming = true;
    SetZoom(zoom);
    const QPoint pixel = WorldToClient(p);
    const QPoint max = MaxScroll();
    m_scroll = QPoint(std::clamp(pixel.x() - m_client.width() / 2, 0, max.x()),
                      std::clamp(pixel.y() - m_client.height() / 2, 0, max.y()));
    m_zooming = false;
    if (m_port) {
        m_port->CanvasChanged();
        m_port->Invalidate(QRect());
        if (movePointer) m_port->SetPointer(WorldToClientPoint(p));
    }
    RaiseScrolled(true, true);
}

void TEditor::ZoomToRect(const TRRect& r) {
    const QPoint a = WorldToClient({r.Left, r.Top}), b = WorldToClient({r.Right, r.Bottom});
    const int w = std::max(1, std::abs(b.x() - a.x())), h = std::max(1, std::abs(b.y() - a.y()));
    const double factor = std::min(double(m_client.width()) / w, double(m_client.height()) / h);
    float zoom = float(Zoom * factor);
    if (!(zoom <= kMaxZoom)) zoom = std::isnan(zoom) ? Zoom : kMaxZoom;
    if (zoom < kMinZoom) zoom = kMinZoom;
    m_zooming = true;
    SetZoom(zoom);
    m_zooming = false;
    Invalidate();
    CenterOn({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
}

void TEditor::ZoomSheet() {
    // With the scroll bars hidden the whole client area counts; the sheet fits it, so they stay
    // hidden afterwards.
    m_client = m_full;
    m_scroll = QPoint(0, 0);
    ZoomToRect({0, 0, float(SheetWidth * 10.0 * 1.005), float(SheetHeight * 10.0 * 1.005)});
}

bool TEditor::ZoomElements() {
    bool any = false;
    TRRect box;
    for (const TElementPtr& e : Elements) {
        if (FormSheetEditing && !e->FormLayer) continue;
        const TRRect b = e->GetBounds();
        box = any ? UnionRect(box, b) : b;
        any = true;
    }
    if (!any) return false;
    const double margin = ComponentEditorSheet ? 0.2 : 0.1;
    const double mx = margin * box.Width(), my = margin * box.Height();
    TRRect r{float(box.Left - mx), float(box.Top - my), float(box.Right + mx),
             float(box.Bottom + my)};
    r.Left = std::max(r.Left, 0.f);
    r.Top = std::max(r.Top, 0.f);
    r.Right = std::min(r.Right, float(SheetWidth) * 10);
    r.Bottom = std::min(r.Bottom, float(SheetHeight) * 10);
    // Elements wholly outside the sheet leave nothing to zoom to.
    if (!(r.Left <= r.Right && r.Top <= r.Bottom)) return false;
    ZoomToRect(r);
    return true;
}

void TEditor::CenterOn(TRPoint p) {
    const QPoint pixel = WorldToClient(p);
    const QPoint max = MaxScroll();
    m_scroll = QPoint(std::clamp(pixel.x() - m_client.width() / 2, 0, max.x()),
                      std::clamp(pixel.y() - m_client.height() / 2, 0, max.y()));
    if (m_port) m_port->CanvasChanged();
    RaiseScrolled(true, true);
}

namespace {
bool inside(QPoint p, QSize s) {
    return p.x() >= 0 && p.y() >= 0 && p.x() < s.width() && p.y() < s.height();
}
} // namespace

bool TEditor::ZoomInAtPointer(QPoint client) {
    if (MouseButtonHeld() || ElementUnderConstruction) return false;
    if (!inside(client, m_client) || !CanvasClientRect().contains(client)) return false;
    if (!(Zoom < kMaxZoom)) return false;
    ZoomAt(ClientPointToWorld(client), true, Zoom * 1.2f);
    return true;
}

bool TEditor::ZoomOutAtPointer(QPoint client) {
    if (MouseButtonHeld() || ElementUnderConstruction) return false;
    if (!inside(client, m_client) || !CanvasClientRect().contains(client)) return false;
    if (!(Zoom > 0.051f)) return false;
    ZoomAt(ClientPointToWorld(client), true, Zoom / 1.2f);
    return true;
}

bool TEditor::Wheel(QPoint client, bool forward) {
    if (m_buttons & Qt::LeftButton) return false;
    if (!CanvasClientRect().contains(client)) return false;
    ZoomAt(ClientPointToWorld(client), true, forward ? Zoom * 1.2f : Zoom / 1.2f);
    return true;
}

bool TEditor::AutoScroll(QPoint canvas) {
    const QPoint max = MaxScroll();
    int dx = 0, dy = 0;
    if (canvas.x() >= m_scroll.x() + m_client.width() - 10 && m_scroll.x() < max.x())
        dx = 16;
    else if (canvas.x() <= m_scroll.x() + 10 && m_scroll.x() > 0)
        dx = -16;
    if (canvas.y() >= m_scroll.y() + m_client.height() - 10 && m_scroll.y() < max.y())
        dy = 16;
    else if (canvas.y() <= m_scroll.y() + 10 && m_scroll.y() > 0)
        dy = -16;
    if (!dx && !dy) return false;
    const QPoint before = m_scroll;
    ScrollTo(m_scroll + QPoint(dx, dy));
    return m_scroll != before;
}

// ---------------------------------------------------------------------------------------------
// Grid and origin

TRPoint TEditor::SnapToGrid(TRPoint p, bool force) const {
    const bool off = !g_SheetViewSettings.RasterFang || (m_keys & Qt::ControlModifier);
    if ((off && !force) || GridSize <= 0) return p;
    const double g = GridSize;
    auto snap = [g](double v, double origin) {
        const double o = GridOffset(origin, int(g));
        const double r = std::nearbyint((v - o) / g) * g + o;
        return std::isfinite(r) ? float(r) : float(v);
    };
    return {snap(p.X, Origin.X), snap(p.Y, Origin.Y)};
}

TRPoint TEditor::SnapDelta(TRPoint v) const {
    if (!g_SheetViewSettings.RasterFang || (m_keys & Qt::ControlModifier) || GridSize <= 0)
        return v;
    const double g = GridSize;
    auto snap = [g](double d) {
        const double r = std::nearbyint(d / g) * g;
        return std::isfinite(r) ? float(r) : float(d);
    };
    return {snap(v.X), snap(v.Y)};
}

void TEditor::SetGrid(int pitch) {
    if (pitch < 1) return;
    GridSize = pitch;
    if (g_SheetViewSettings.Kontrast == 0) g_SheetViewSettings.Kontrast = 1;
    Invalidate();
}

void TEditor::SetOriginCorner(int tag) {
    const float w = float(SheetWidth) * 10, h = float(SheetHeight) * 10;
    switch (tag) {
    case 1:
        Origin = {0, 0};
        break;
    case 2:
        Origin = {0, h};
        break;
    case 3:
        Origin = {w, 0};
        break;
    case 4:
        Origin = {w, h};
        break;
    default:
        return;
    }
    Invalidate();
    RaiseScrolled(true, true);
    TStatusTexts t;
    t.X = t.Y = kStatusUnchanged;
    t.Zoom = Zoom;
    RaiseStatus(t);
}

namespace {
QString originText(float v) {
    // The origin in millimetres with one decimal.
    QString s = QString::number(double(v) / 10, 'f', 1);
    if (s == QStringLiteral("-0.0")) s = QStringLiteral("0.0");
    return s.replace(QLatin1Char('.'), LocalDecimalSeparator());
}
} // namespace

void TEditor::BeginOriginDrag() {
    m_originDrag = true;
    TStatusTexts t;
    t.X = t.Y = kStatusUnchanged;
    t.DX = originText(Origin.X);
    t.DY = originText(Origin.Y);
    t.Zoom = Zoom;
    RaiseStatus(t);
    if (OnKeyHints) OnKeyHints(*this, TKeyHints{1, 0, 1});
}

void TEditor::MoveOriginDrag(QPoint client) {
    if (!m_originDrag) return;
    const TRPoint p = SnapToGrid(ClientPointToWorld(client));
    SetCrosshair(p);
    const bool h = std::fabs(double(p.X) - Origin.X) > 0.05;
    const bool v = std::fabs(double(p.Y) - Origin.Y) > 0.05;
    if (h) Origin.X = p.X;
    if (v) Origin.Y = p.Y;
    RaiseScrolled(h, v);
    TStatusTexts t;
    t.X = t.Y = kStatusUnchanged;
    t.DX = originText(Origin.X);
    t.DY = originText(Origin.Y);
    t.Position = WorldToClientPoint(p);
    t.Zoom = Zoom;
    RaiseStatus(t);
}

void TEditor::EndOriginDrag() {
    if (!m_originDrag) return;
    m_originDrag = false;
    SetCrosshair(std::nullopt);
    Invalidate();
    RaiseScrolled(true, true);
    TStatusTexts t;
    t.X = t.Y = kStatusUnchanged;
    t.Zoom = Zoom;
    RaiseStatus(t);
    if (OnKeyHints) OnKeyHints(*this, TKeyHints{});
}

// ---------------------------------------------------------------------------------------------
// Pointer

void TEditor::SetCrosshair(std::optional<TRPoint> p) {
    if (p.has_value() == m_crosshair.has_value() &&
        (!p ||
         (std::fabs(p->X - m_crosshair->X) < 0.001f && std::fabs(p->Y - m_crosshair->Y) < 0.001f)))
        return;
    m_crosshair = p;
    if (m_port) m_port->OverlayChanged();
}

TStatusTexts TEditor::StatusAt(QPoint client) const {
    TRPoint p = ClientPointToWorld(client);
    if (Mode != 0) p = SnapToGrid(p);
    TStatusTexts t;
    t.X = FormatReadout(double(p.X) - Origin.X, Scale);
    t.Y = FormatReadout(double(p.Y) - Origin.Y, Scale);
    t.Position = WorldToClientPoint(p);
    t.Zoom = Zoom;
    return t;
}

void TEditor::MouseDown(QPoint client, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers keys) {
    m_keys = keys;
    m_buttons = buttons | button;
}

void TEditor::MouseMove(QPoint client, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys) {
    m_keys = keys;
    m_buttons = buttons;
    if (m_originDrag) {
        MoveOriginDrag(client);
        return;
    }
    RaiseStatus(StatusAt(client));
}

void TEditor::MouseUp(QPoint client, Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers keys) {
    m_keys = keys;
    m_buttons = buttons & ~Qt::MouseButtons(button);
}

void TEditor::MouseLeave() {
    SetCrosshair(std::nullopt);
    TStatusTexts t;
    t.X = t.Y = t.DX = t.DY = kStatusUnchanged;
    t.Zoom = Zoom;
    RaiseStatus(t);
}

// ---------------------------------------------------------------------------------------------
// Zone grid

namespace {
// floor((v - offset) / (size / count)). A grid without columns counts as one column; one
// without size as a single zone reaching right (or down) without end.
std::optional<int> zoneIndex(double v, double offset, double size, int count) {
    const double o = std::isfinite(offset) ? offset : 0;
    if (!std::isfinite(v)) return std::nullopt;
    if (!(size > 0) || !std::isfinite(size)) return v < o ? -1 : 0;
    const double k = std::floor((v - o) / (size / std::max(count, 1)));
    return int(std::clamp(k, -1e9, 1e9));
}
} // namespace

std::optional<int> TZoneGrid::ColumnNumber(double x) const {
    const auto k = zoneIndex(x, OffsetX, Width, Columns);
    if (!k) return std::nullopt;
    return int(std::clamp<qint64>(qint64(*k) + FirstColumn, INT_MIN, INT_MAX));
}

std::optional<int> TZoneGrid::RowNumber(double y) const {
    const auto k = zoneIndex(y, OffsetY, Height, Rows);
    if (!k) return std::nullopt;
    return int(std::clamp<qint64>(qint64(*k) + FirstRow, INT_MIN, INT_MAX));
}

QString TZoneGrid::ColumnLetters(double x) const {
    const auto n = ColumnNumber(x);
    if (!n || !(x >= OffsetX)) return {};
    return Letters(*n + (FirstColumn == 0 ? 1 : 0));
}

QString TZoneGrid::RowLetters(double y) const {
    const auto n = RowNumber(y);
    if (!n || !(y >= OffsetY)) return {};
    return Letters(*n + (FirstRow == 0 ? 1 : 0));
}

QString TZoneGrid::Letters(int n) {
    if (n < 1 || n > 26 + 26 * 26 + 26 * 26 * 26) return {};
    QString s;
    while (n > 0) {
        --n;
        s.prepend(QChar(char16_t(u'A' + n % 26)));
        n /= 26;
    }
    return s;
}

namespace {
std::vector<double> zoneLines(double offset, double size, int count) {
    const int n = std::clamp(count, 1, TZoneGrid::kMaxZoneLines);
    std::vector<double> out;
    out.reserve(size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
        out.push_back(offset + i * size / n);
    return out;
}
} // namespace

std::vector<double> TZoneGrid::ColumnLines() const {
    return zoneLines(OffsetX, Width, Columns);
}
std::vector<double> TZoneGrid::RowLines() const {
    return zoneLines(OffsetY, Height, Rows);
}
