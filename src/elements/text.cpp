#include "elements/text.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/glyphs.h"
#include "elements/textsettings.h"
#include "platform/cp1252.h"
#include "platform/messages.h"
#include "platform/stream.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr qint32 kMaxTextHeight = 5000; // 500 mm
const QString kSvgBackgroundStyle =
    QStringLiteral("style=\"stroke-linecap:square; stroke-linejoin:miter\"");

TPlaceholderExpander g_expander = nullptr;

TRPoint operator+(TRPoint a, TRPoint b) {
    return {a.X + b.X, a.Y + b.Y};
}
TRPoint operator-(TRPoint a, TRPoint b) {
    return {a.X - b.X, a.Y - b.Y};
}
TRPoint operator*(TRPoint a, double f) {
    return {float(a.X * f), float(a.Y * f)};
}

// p moved along the direction from -> p by d (towards when d is negative).
TRPoint awayFrom(TRPoint p, TRPoint from, double d) {
    const double len = Distance(from, p);
    if (len == 0) return p;
    return {float(p.X + (double(p.X) - from.X) * d / len),
            float(p.Y + (double(p.Y) - from.Y) * d / len)};
}

TRPoint unitVector(TRPoint from, TRPoint to) {
    const double len = Distance(from, to);
    if (len == 0) return {0, 0};
    return {float((double(to.X) - from.X) / len), float((double(to.Y) - from.Y) / len)};
}

QPoint svgPoint(TRPoint p) {
    return QPoint(RoundPixel(p.X * 100.0), RoundPixel(p.Y * 100.0));
}

QPolygonF devicePolygon(const TDrawContext& dc, const TRPoint* pts, int n) {
    QPolygonF poly;
    poly.reserve(n);
    for (int i = 0; i < n; ++i)
        poly << dc.Map(pts[i]);
    return poly;
}

void readGuid(TStreamReader& s, TGuid& g) {
    s.ReadRaw(g.data(), 16);
}
void writeGuid(TStreamWriter& s, const TGuid& g) {
    s.WriteRaw(g.data(), 16);
}

// Writes a closed world polygon as one path.
void writeSvgPolygonPath(TSVG& svg, const TRPoint* pts, int n) {
    svg.PathMoveTo(svgPoint(pts[0]));
    for (int i = 1; i < n; ++i)
        svg.SetPoint(i - 1, svgPoint(pts[i]));
    svg.PathLineTo(n - 1);
    svg.PathClose();
}

// The same contours, last subpath first. The rasterizer keeps each pixel row's cells in a list
// sorted by x and searches it from the left for every new cell: fed right to left, a line of
// glyphs finds its place at the front instead of walking past every glyph already drawn.
// Coverage sums do not depend on the order, so the pixels stay the same.
QPainterPath reversedSubpaths(const QPainterPath& path) {
    QPainterPath out;
    out.setFillRule(path.fillRule());
    const int n = path.elementCount();
    out.reserve(n);
    int end = n;
    for (int start = n - 1; start >= 0; --start) {
        if (!path.elementAt(start).isMoveTo()) continue;
        for (int i = start; i < end; ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            if (e.isMoveTo()) {
                out.moveTo(e.x, e.y);
            } else if (e.isLineTo()) {
                out.lineTo(e.x, e.y);
            } else if (e.isCurveTo() && i + 2 < end) {
                const QPainterPath::Element& c2 = path.elementAt(i + 1);
                const QPainterPath::Element& p3 = path.elementAt(i + 2);
                out.cubicTo(e.x, e.y, c2.x, c2.y, p3.x, p3.y);
                i += 2;
            }
        }
        end = start;
    }
    return out;
}

// A height measured from the box as a stored height: rounded, at least 1; a box of impossible
// coordinates keeps the font's height.
qint32 heightOf(double h, qint32 current, double cap) {
    if (!std::isfinite(h)) return current;
    return qint32(std::clamp(RoundHalfEven(h), 1.0, cap));
}

// A typeface that is not installed falls back to "Arial"; a height of 0 (or a damaged negative
// one) becomes 1.
void repairLoadedFont(TTextFont& f) {
    if (!FontInstalled(f.Name)) f.Name = QStringLiteral("Arial");
    if (f.Height <= 0) f.Height = 1;
}
} // namespace

quint64 g_TextLinkStamp = 0;

void SetPlaceholderExpander(TPlaceholderExpander expander) {
    g_expander = expander;
}

QString ExpandPlaceholders(const TText& text, const QString& source) {
    return g_expander ? g_expander(text, source) : source;
}

bool HasPlaceholders(const QString& text) {
    const qsizetype open = text.indexOf(QLatin1Char('<'));
    return open >= 0 && text.indexOf(QLatin1Char('>'), open + 1) > open;
}

QString ReadCountedShortString(TStreamReader& s) {
    const qint32 m = s.ReadI32();
    if (m < 0 || m > 255) s.Fail(QStringLiteral("impossible short string length %1").arg(m));
    const QByteArray b = s.ReadBytes(qint64(m) + 1);
    const int len = std::min<int>(quint8(b[0]), m);
    return FromCp1252(b.constData() + 1, len);
}

void WriteCountedShortString(TStreamWriter& s, const QString& text) {
    const QByteArray b = ToCp1252(text).left(255);
    s.WriteI32(qint32(b.size()));
    s.WriteU8(quint8(b.size()));
    s.WriteBytes(b);
}

QString DefaultTextOfLanguage() {
    switch (InterfaceLanguage()) {
    case LangEnglish:
        return QStringLiteral("Label");
    case LangFrench:
        return QStringLiteral("Texte");
    default:
        return QStringLiteral("Text");
    }
}

// ---------------------------------------------------------------------------------------- TText

TText::TText() : TText(etText) {}

TText::TText(quint8 typeCode) : TElement(typeCode) {
    ApplyTextStyle(g_TextSettings.Text);
    Id = NewGuid();
    SourceText = ShownText = DefaultTextOfLanguage();
    Measure();
    PlaceAt({0, 0});
}

void TText::ApplyTextStyle(const TTextStyle& st) {
    Font.Name = st.Name;
    Font.Height = st.Height > 0 ? st.Height : 1;
    Font.Style = quint8((st.Bold ? fsBold : 0) | (st.Italic ? fsItalic : 0));
    Font.Color = st.Color;
    Alignment = st.Ausrichtung;
    Fill = st.TextFill;
    FillColorText = st.TextFillColor;
    LayoutDirty = true;
}

void TText::SetSourceText(const QString& text) {
    SourceText = text;
    const QString shown = ExpandPlaceholders(*this, text);
    if (shown != ShownText) {
        ShownText = shown;
        LayoutDirty = true;
    }
}

void TText::Measure() {
    if (Font.Height == 0) Font.Height = 1;
    TGlyphRun run;
    LayoutGlyphRun(ShownText, Font.Name, Font.Style, false, run);
    m_runWidth = run.Width > 0 ? run.Width : 1;
    GlyphWidth = float(run.Width * Font.Height / kReferenceHeight);
    GlyphHeight = float(Font.Height);
    GlyphDescent = float(run.Descent);
}

void TText::RebuildGlyphs() {
    if (Font.Height == 0) Font.Height = 1;
    TGlyphRun run;
    LayoutGlyphRun(ShownText, Font.Name, Font.Style, true, run);
    m_runWidth = run.Width > 0 ? run.Width : 1;
    GlyphWidth = float(run.Width * Font.Height / kReferenceHeight);
    GlyphHeight = float(Font.Height);
    GlyphDescent = float(run.Descent);
    GlyphCache = reversedSubpaths(run.Outline);
    // Contour boxes for drawing; outlines are polygons, anything else is drawn whole.
    m_contours.clear();
    for (int i = 0, n = GlyphCache.elementCount(); i < n; ++i) {
        const QPainterPath::Element& e = GlyphCache.elementAt(i);
        if (e.isMoveTo()) {
            m_contours.push_back({i, e.x, e.y, e.x, e.y});
        } else if (!e.isLineTo() || m_contours.empty()) {
            m_contours.clear();
            break;
        } else {
            TContour& c = m_contours.back();
            c.Left = std::min(c.Left, e.x);
            c.Top = std::min(c.Top, e.y);
            c.Right = std::max(c.Right, e.x);
            c.Bottom = std::max(c.Bottom, e.y);
        }
    }
    m_contourElements = GlyphCache.elementCount();
    LayoutDirty = false;
}

namespace {
// Pixel columns and rows a device box may touch, widened by a little for the rounding to the
// rasterizer's fixed point.
struct TPixelBox {
    double L, T, R, B;
    explicit TPixelBox(const QRectF& r)
        : L(std::floor(r.left() - 0.05)), T(std::floor(r.top() - 0.05)),
          R(std::floor(r.right() + 0.05)), B(std::floor(r.bottom() + 0.05)) {}
    bool Meets(const TPixelBox& o) const { return L <= o.R && o.L <= R && T <= o.B && o.T <= B; }
    void Unite(const TPixelBox& o) {
        L = std::min(L, o.L);
        T = std::min(T, o.T);
        R = std::max(R, o.R);
        B = std::max(B, o.B);
    }
};
} // namespace

// The rasterizer works on an outline in a fixed pool and goes over the whole outline again for
// every half of the rows when the pool runs full, which a long text does. Contours whose pixels
// lie apart from all the others' can be filled on their own with the same result: a closed
// contour adds nothing to the coverage beyond its own pixels, and no pixel gets coverage from
// two fills. Runs of contours that touch each other's pixels stay together.
void TText::fillGlyphs(QPainter& p, const QColor& color) const {
    const size_t n = m_contours.size();
    const QTransform& m = p.deviceTransform();
    const QPaintDevice* device = p.device();
    // Only the raster engine is known to give the same pixels (a printer or a PDF gets one
    // outline); contours taken from another outline (GlyphCache set by hand) are not used.
    const QPaintEngine* engine = p.paintEngine();
    bool apart = n > 1 && device && engine && engine->type() == QPaintEngine::Raster &&
                 m_contourElements == GlyphCache.elementCount();
    std::vector<std::pair<int, int>> groups; // element ranges
    if (apart) {
        const QRectF inside(0, 0, device->width(), device->height());
        TPixelBox done(QRectF{}), current(QRectF{});
        bool anyDone = false;
        int begin = 0;
        for (size_t i = 0; i < n && apart; ++i) {
            const TContour& c = m_contours[i];
            const QRectF r = m.mapRect(QRectF(c.Left, c.Top, c.Right - c.Left, c.Bottom - c.Top));
            // Cells beyond the device are gathered at its edges; keep such texts whole.
            if (!inside.contains(r)) {
                apart = false;
                break;
            }
            const TPixelBox b(r);
            if (i == 0) {
                current = b;
                continue;
            }
            if (anyDone && b.Meets(done)) {
                apart = false;
            } else if (b.Meets(current)) {
                // Groups must stay apart as wholes: the grown box may reach an earlier one.
                current.Unite(b);
                if (anyDone && current.Meets(done)) apart = false;
            } else {
                groups.emplace_back(begin, m_contours[i].Begin);
                begin = m_contours[i].Begin;
                if (anyDone)
                    done.Unite(current);
                else
                    done = current;
                anyDone = true;
                current = b;
            }
        }
        if (apart && groups.empty()) apart = false;
        if (apart) groups.emplace_back(begin, GlyphCache.elementCount());
    }
    if (!apart) {
        p.fillPath(GlyphCache, color);
        return;
    }
    QPainterPath part;
    part.setFillRule(Qt::WindingFill);
    for (const auto& [begin, end] : groups) {
        part.clear();
        part.setFillRule(Qt::WindingFill);
        part.reserve(end - begin);
        for (int i = begin; i < end; ++i) {
            const QPainterPath::Element& e = GlyphCache.elementAt(i);
            if (e.isMoveTo())
                part.moveTo(e.x, e.y);
            else
                part.lineTo(e.x, e.y);
        }
        p.fillPath(part, color);
    }
}

QSizeF TText::GetSize() const {
    if (Font.Height == 0) return {1, 1};
    return {GlyphWidth < 1 ? 1.0 : double(GlyphWidth), GlyphHeight < 1 ? 1.0 : double(GlyphHeight)};
}

void TText::PlaceAt(TRPoint p) {
    const QSizeF sz = GetSize();
    const double w = sz.width(), h = sz.height();
    double x0 = p.X;
    if (Alignment == taCenter)
        x0 -= w / 2;
    else if (Alignment == taRight)
        x0 -= w;
    Corners[0] = {float(x0), p.Y};
    Corners[1] = {float(x0 + w), p.Y};
    Corners[2] = {float(x0 + w), float(p.Y + h)};
    Corners[3] = {float(x0), float(p.Y + h)};
}

void TText::Normalize(double sheetWidth, double sheetHeight) {
    const QSizeF sz = GetSize();
    const double x = std::clamp(double(Corners[0].X), 0.0, std::max(0.0, sheetWidth - sz.width()));
    const double y =
        std::clamp(double(Corners[0].Y), 0.0, std::max(0.0, sheetHeight - sz.height()));
    double ax = x;
    if (Alignment == taCenter)
        ax += sz.width() / 2;
    else if (Alignment == taRight)
        ax += sz.width();
    PlaceAt({float(ax), float(y)});
}

double TText::CurrentHeight() const {
    // The slant of a mirrored or reversed box comes out near 180 degrees; its magnitude is the
    // height all the same.
    const double a = AngleOf(Corners[3], Corners[2]);
    const double s = AngleOf(Corners[3], Corners[0]) - a - kPi / 2;
    const double h = std::fabs(Distance(Corners[0], Corners[3]) * std::cos(s));
    return h == 0 ? 1 : h;
}

void TText::SetHeight(double h) {
    const double f = h / CurrentHeight();
    if (!std::isfinite(f) || RoundHalfEven(f * 1000) == 1000) return;
    const TRPoint c = Corners[0];
    for (TRPoint& p : Corners)
        ScalePoint(p, c, f, f);
}

void TText::StretchWidth(double f, qint32 alignment) {
    TRPoint* C = Corners.data();
    auto stretch = [f](TRPoint& p, TRPoint fixed) { p = fixed + (p - fixed) * f; };
    if (alignment == taCenter) {
        const TRPoint top = Midpoint(C[0], C[1]), bottom = Midpoint(C[3], C[2]);
        stretch(C[0], top);
        stretch(C[1], top);
        stretch(C[2], bottom);
        stretch(C[3], bottom);
    } else if (alignment == taRight) {
        stretch(C[0], C[1]);
        stretch(C[3], C[2]);
    } else {
        stretch(C[1], C[0]);
        stretch(C[2], C[3]);
    }
}

void TText::SetTextAndFormat(const QString& text, const TTextFont& font, qint32 alignment,
                             qint32 height) {
    if (height <= 0) height = 1;
    const bool formatChanged =
        font.Name != Font.Name || font.Style != Font.Style || height != Font.Height;
    if (height != Font.Height) {
        SetHeight(height);
        Font.Height = height;
    }
    Measure();
    const double w0 = GlyphWidth;
    SetSourceText(text);
    Font.Name = font.Name;
    Font.Style = font.Style;
    Font.Color = font.Color;
    Font.Height = height;
    Alignment = alignment;
    Measure();
    const double w1 = GlyphWidth;
    if (w0 > 0) {
        const double f = w1 / w0;
        if (std::isfinite(f) && RoundHalfEven(f * 1000) != 1000) StretchWidth(f, alignment);
    }
    if (formatChanged) LayoutDirty = true;
}

bool TText::RefreshShownText() {
    if (ExpandPlaceholders(*this, SourceText) == ShownText) return false;
    SetTextAndFormat(SourceText, Font, Alignment, heightOf(CurrentHeight(), Font.Height, 1e9));
    return true;
}

void TText::SetTextId(const TTextId& id) {
    Id = id;
    ++g_TextLinkStamp;
}

void TText::SetLinkTarget(const TTextId& id) {
    LinkTarget = id;
    ++g_TextLinkStamp;
    LayoutDirty = true;
}

void TText::SetLinkTargetReleased(bool on) {
    LinkTargetReleased = on;
    ++g_TextLinkStamp;
}

bool TText::IsWebLink() const {
    const QString head = ShownText.left(4).toLower();
    return head == QLatin1String("www.") || head == QLatin1String("http");
}

QTransform TText::GlyphTransform() const {
    const TRPoint* C = Corners.data();
    const double w = m_runWidth > 0 ? m_runWidth : 1;
    const double s = ReverseDirection ? -1 : 1;
    const TRPoint o = ReverseDirection ? C[2] : C[0];
    return QTransform(s * (double(C[1].X) - C[0].X) / w, s * (double(C[1].Y) - C[0].Y) / w,
                      s * (double(C[3].X) - C[0].X) / kReferenceHeight,
                      s * (double(C[3].Y) - C[0].Y) / kReferenceHeight, o.X, o.Y);
}

std::array<TRPoint, 6> TText::TagFrame() const {
    const TRPoint* C = Corners.data();
    const double h = Distance(C[0], C[3]);
    const double b = h / 4;
    const double side = IsLinkTarget() ? 3 * b : b;
    const TRPoint tr = awayFrom(C[1], C[0], b);
    const TRPoint br = awayFrom(C[2], C[3], b);
    const TRPoint tl = awayFrom(C[0], C[1], side);
    const TRPoint bl = awayFrom(C[3], C[2], side);
    const TRPoint right = Midpoint(tr, br), left = Midpoint(tl, bl);
    const TRPoint tip = IsLinkText() ? awayFrom(right, left, h / 2) : br;
    const TRPoint notch = IsLinkTarget() ? awayFrom(left, right, -2 * b) : bl;
    return {tr, tip, br, bl, notch, tl};
}

std::array<TRPoint, 7> TText::LinkArrow() const {
    const TRPoint* C = Corners.data();
    const double H = Distance(C[3], C[0]);
    const double W = Distance(C[3], C[2]);
    const TRPoint u = unitVector(C[0], C[3]);
    const TRPoint v = unitVector(C[3], C[2]);
    const TRPoint A = C[3] + v * (W - H / 2);
    return {C[3] - u * (H / 24),  A - u * (H / 24), A - u * (5 * H / 48), C[2],
            A + u * (5 * H / 48), A + u * (H / 24), C[3] + u * (H / 24)};
}

// ------------------------------------------------------------------------------------- drawing

void TText::Draw(TDrawContext& dc) {
    if (!Visible) return;
    RefreshShownText();
    if (!dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    DrawText(dc);
}

void TText::DrawText(TDrawContext& dc) {
    QPainter& p = dc.Painter;
    const qint32 color = Selected ? g_SelectionColors.Main : Font.Color;
    const qint32 background = Selected ? g_SelectionColors.Third : FillColorText;
    const bool fillAllowed = !g_ElementSwitches.NodeEditing;
    const QPen oldPen = p.pen();
    const QBrush oldBrush = p.brush();

    // Frame and background.
    if (IsLinkText() || IsLinkTarget()) {
        const std::array<TRPoint, 6> frame = TagFrame();
        QPen pen(ToQColor(color));
        pen.setWidthF(dc.AntiAliased ? std::max(dc.View.ScaleLength(1), kMinD2DWidth)
                                     : RoundHalfEven(dc.View.ScaleLength(1)));
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Fill && fillAllowed ? QBrush(ToQColor(background)) : QBrush(Qt::NoBrush));
        p.drawPolygon(devicePolygon(dc, frame.data(), 6));
    } else if (Fill && fillAllowed) {
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(background));
        p.drawPolygon(devicePolygon(dc, Corners.data(), 4));
    }

    // Glyphs: one poly-polygon, non-zero winding, mapped through the box.
    if (LayoutDirty) RebuildGlyphs();
    const QRectF device = devicePolygon(dc, Corners.data(), 4).boundingRect();
    if (device.width() > 1 && device.height() > 1 && !GlyphCache.isEmpty()) {
        const TView& v = dc.View;
        const QTransform toDevice =
            GlyphTransform() * QTransform(v.ZoomX, 0, 0, v.ZoomY, v.OffsetX, v.OffsetY);
        const bool smooth = dc.SmoothText(device);
        const bool wasSmooth = p.testRenderHint(QPainter::Antialiasing);
        const QTransform old = p.worldTransform();
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setWorldTransform(toDevice, true);
        fillGlyphs(p, ToQColor(color));
        p.setWorldTransform(old);
        p.setRenderHint(QPainter::Antialiasing, wasSmooth);
    }

    // A blank text stays visible and selectable by its frame; so does any text being dragged.
    const bool blank =
        ShownText.trimmed().isEmpty() && !IsComponentLabel() && !IsBoxLine && TypeCode != etKontakt;
    const bool dragged = dc.Overlay && !g_ElementSwitches.DrawingInsideGroup && !IsBoxLine;
    if ((blank || dragged) && !dc.Printing && !dc.Exporting) {
        for (int i = 0; i < 4; ++i)
            ConstructionLine(dc, dc.Map(Corners[size_t(i)]), dc.Map(Corners[size_t((i + 1) % 4)]),
                             1);
    }

    if (HasLinkArrow()) {
        const std::array<TRPoint, 7> arrow = LinkArrow();
        DrawSmallShape(dc, devicePolygon(dc, arrow.data(), 7), color, color, 1, true);
    }
    p.setPen(oldPen);
    p.setBrush(oldBrush);
}

// ---------------------------------------------------------------------------- hit tests, bounds

bool TText::HitPoint(const TView& view, QPoint screen) const {
    const QPointF pt(screen);
    if (HasLinkArrow()) {
        const std::array<TRPoint, 7> a = LinkArrow();
        if (PointInPolygon(pt, ToScreen(view, TRPointArray(a.begin(), a.end())))) return true;
    }
    if (IsLinkText() || IsLinkTarget()) {
        const std::array<TRPoint, 6> f = TagFrame();
        return HitPolyline(view, pt, ToScreen(view, TRPointArray(f.begin(), f.end())), true, true,
                           true, view.ScaleLength(1));
    }
    return PointInPolygon(pt, ToScreen(view, CornerArray()));
}

bool TText::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    if (IsLinkText() || IsLinkTarget()) {
        const std::array<TRPoint, 6> f = TagFrame();
        return PolygonHitsRect(ToScreen(view, TRPointArray(f.begin(), f.end())), rect, enclose);
    }
    return PolygonHitsRect(ToScreen(view, CornerArray()), rect, enclose);
}

TRRect TText::GetBounds() const {
    return BoundsOf(CornerArray());
}

TIRect TText::GetScreenRect(const TView& view) const {
    TRRect r = GetBounds();
    if (IsLinkText() || IsLinkTarget()) {
        const std::array<TRPoint, 6> f = TagFrame();
        r = UnionRect(r, BoundsOf(TRPointArray(f.begin(), f.end())));
    }
    return view.RepaintRect(r).Inflated(2);
}

TRPoint TText::GetRefPoint() const {
    if (Alignment == taCenter) return Midpoint(Corners[0], Corners[1]);
    if (Alignment == taRight) return Corners[1];
    return Corners[0];
}

void TText::SetColor(qint32 color) {
    TElement::SetColor(color);
    Font.Color = color;
}

bool TText::SnapToPoint(const TView& view, TRPoint& p) const {
    if (!g_ElementSwitches.DragTextsOnly || Selected || g_ElementSwitches.SuspendElementSnap)
        return false;
    const TRPointArray c = CornerArray();
    return SnapWithin(view, p, c[size_t(NearestPoint(p, c))], 20);
}

void TText::AddSnapPoints(std::vector<TRPoint*>& points) {
    if (!g_ElementSwitches.DragTextsOnly || Selected) return;
    for (TRPoint& c : Corners)
        points.push_back(&c);
}

// ---------------------------------------------------------------------------------- transforms

void TText::MoveBy(TRPoint v) {
    for (TRPoint& p : Corners)
        MovePoint(p, v);
}

void TText::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Corners)
        ScalePoint(p, c, fx, fy);
    const TRRect b = GetBounds();
    if (b.Width() < 0.01 || b.Height() < 0.01) {
        // A collapsed box could never be scaled back; keep it open.
        Corners[1].X += 0.1f;
        Corners[2].X += 0.1f;
        Corners[2].Y += 0.1f;
        Corners[3].Y += 0.1f;
    }
    Font.Height = std::min(heightOf(CurrentHeight(), Font.Height, kMaxTextHeight), kMaxTextHeight);
    Measure();
    LayoutDirty = true;
}

void TText::ShearAt(TRPoint c, double sx, double sy) {
    for (TRPoint& p : Corners)
        ShearPoint(p, c, sx, sy);
}

void TText::RotateCorners(TRPoint c, double radians) {
    for (TRPoint& p : Corners)
        RotatePoint(p, c, radians);
}

void TText::RotateAt(TRPoint c, double radians) {
    const TTextTransformState& t = g_TextTransform;
    if ((g_TextSettings.TexteDrehen && !t.ShiftHeld) || t.DimensionLabel || t.SingleElement) {
        RotateCorners(c, radians);
        return;
    }
    // The text keeps its orientation: only its centre goes round.
    const TRPoint m = Midpoint(Corners[0], Corners[2]);
    TRPoint moved = m;
    RotatePoint(moved, c, radians);
    MoveBy(moved - m);
}

void TText::MirrorX(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointX(p, axis);
    const TTextTransformState& t = g_TextTransform;
    if (!(g_TextSettings.TexteSpiegeln || t.ShiftHeld || t.SingleElement)) {
        std::swap(Corners[0], Corners[1]);
        std::swap(Corners[2], Corners[3]);
    }
    if (Alignment == taLeft)
        Alignment = taRight;
    else if (Alignment == taRight)
        Alignment = taLeft;
    LayoutDirty = true;
}

void TText::MirrorY(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointY(p, axis);
    const TTextTransformState& t = g_TextTransform;
    if (!(g_TextSettings.TexteSpiegeln || t.ShiftHeld || t.SingleElement)) {
        std::swap(Corners[0], Corners[3]);
        std::swap(Corners[1], Corners[2]);
    }
    LayoutDirty = true;
}

// ------------------------------------------------------------------------------------------ SVG

void TText::WriteSvg(TSVG& svg) const {
    // An export shows the texts as they are now, as drawing does.
    const_cast<TText*>(this)->RefreshShownText();
    WriteSvgClipped(svg, QString());
}

void TText::WriteSvgClipped(TSVG& svg, const QString& clipName) const {
    const QString clip =
        clipName.isEmpty() ? QString() : QStringLiteral("clip-path=\"url(#%1)\"").arg(clipName);
    const QString background =
        clip.isEmpty() ? kSvgBackgroundStyle : kSvgBackgroundStyle + QLatin1Char(' ') + clip;
    svg.CoordFactor = 100;
    if (IsLinkText() || IsLinkTarget()) {
        const std::array<TRPoint, 6> f = TagFrame();
        svg.BeginPath(1, 0, background, true, Fill, FillColorText, Font.Color);
        writeSvgPolygonPath(svg, f.data(), 6);
        svg.EndPath();
    } else if (Fill) {
        svg.BeginPath(0, 0, background, false, true, FillColorText, FillColorText);
        writeSvgPolygonPath(svg, Corners.data(), 4);
        svg.EndPath();
    }

    // The contours in the order of the run (the drawing cache holds them last first).
    QList<QPolygonF> polys;
    if (LayoutDirty) {
        TGlyphRun run;
        LayoutGlyphRun(ShownText, Font.Name, Font.Style, true, run);
        polys = run.Outline.toSubpathPolygons();
    } else {
        polys = GlyphCache.toSubpathPolygons();
        std::reverse(polys.begin(), polys.end());
    }
    const QTransform t = GlyphTransform();
    if (!polys.isEmpty()) {
        svg.BeginPath(0, 0, clip, false, true, Font.Color, Font.Color);
        for (const QPolygonF& poly : polys) {
            qsizetype n = poly.size();
            if (n > 1 && poly.first() == poly.last()) --n;
            if (n < 3) continue;
            auto world = [&](qsizetype i) {
                const QPointF q = t.map(poly[i]);
                return QPoint(RoundPixel(q.x() * 100), RoundPixel(q.y() * 100));
            };
            svg.PathMoveTo(world(0));
            for (qsizetype i = 1; i < n; ++i)
                svg.SetPoint(int(i - 1), world(i));
            svg.PathLineTo(int(n - 1));
            svg.PathClose();
        }
        svg.EndPath();
    }

    if (HasLinkArrow()) {
        const std::array<TRPoint, 7> a = LinkArrow();
        svg.BeginPath(0, 0, clip, true, true, Font.Color, Font.Color);
        writeSvgPolygonPath(svg, a.data(), 7);
        svg.EndPath();
    }
    svg.CoordFactor = 1;
}

// -------------------------------------------------------------------------------------- records

void TText::SaveToStream(TStreamWriter& s) const {
    // The shown text is stored with the record: bring it up to date first.
    if (PlaceholdersPresent()) const_cast<TText*>(this)->RefreshShownText();
    SaveHeader(s);
    for (const TRPoint& p : Corners) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteString(SourceText);
    WriteCountedShortString(s, Font.Name);
    s.WriteU8(Font.Style);
    s.WriteI32(Font.Color);
    s.WriteI32(Font.Height);
    s.WriteI32(Alignment);
    s.WriteBool(LinkTargetReleased);
    s.WriteString(ExternalLink);
    writeGuid(s, Id);
    writeGuid(s, LinkTarget);
    s.WriteBool(Fill);
    s.WriteI32(FillColorText);
    s.WriteBool(ReverseDirection);
    if (PlaceholdersPresent() || IsDesignator) s.WriteString(ShownText);
}

void TText::LoadFromStream(TStreamReader& s) {
    const int v = FileVersion;
    ++g_TextLinkStamp;
    LoadHeader(s);
    if (v < 60) {
        loadOld(s);
        return;
    }
    for (TRPoint& p : Corners) {
        p.X = s.ReadF32();
        p.Y = s.ReadF32();
    }
    const bool unicode = v >= 80;
    SourceText = unicode ? s.ReadString() : ReadCountedShortString(s);
    Font.Name = ReadCountedShortString(s);
    Font.Style = s.ReadU8();
    Font.Color = s.ReadI32();
    Font.Height = s.ReadI32();
    Alignment = v >= 70 ? s.ReadI32() : (s.ReadU8() != 0 ? taRight : taLeft);
    LinkTargetReleased = s.ReadBool();
    LegacyLinkTarget.clear();
    if (!unicode) LegacyLinkTarget = ReadCountedShortString(s);
    ExternalLink.clear();
    if (v >= 70) ExternalLink = unicode ? s.ReadString() : ReadCountedShortString(s);
    if (v >= 80) {
        readGuid(s, Id);
        readGuid(s, LinkTarget);
        Fill = s.ReadBool();
        FillColorText = s.ReadI32();
        ReverseDirection = s.ReadBool();
    } else {
        LinkTarget = TGuid{};
        Fill = false;
        FillColorText = clWhite;
        ReverseDirection = false;
    }
    if (v >= 62 && (PlaceholdersPresent() || IsDesignator))
        ShownText = unicode ? s.ReadString() : ReadCountedShortString(s);
    else
        ShownText = SourceText;
    repairLoadedFont(Font);
    LayoutDirty = true;
    if (v >= 63) {
        Measure();
        return;
    }
    // Older versions measured the text extent plus the outer bearings of the first character;
    // stretch the box to the width measured now.
    RebuildGlyphs();
    TGlyphFace& face = GlyphFace(Font.Name, Font.Style);
    const QList<uint> codes = (ShownText.isEmpty() ? QStringLiteral(" ") : ShownText).toUcs4();
    double extent = 0;
    for (uint c : codes)
        extent += face.Metrics(c).Advance;
    const TGlyphMetrics& first = face.Metrics(codes.first());
    const double a = first.BlackRight > 0 ? first.BlackLeft : 0;
    const double cw = first.BlackRight > 0 ? first.Advance - first.BlackRight : 0;
    const double old = (extent + std::fabs(a) + std::fabs(cw)) * Font.Height / kReferenceHeight;
    if (old > 0 && GlyphWidth > 0)
        StretchWidth(GlyphWidth / old, Alignment == taRight ? taRight : taLeft);
    LayoutDirty = true;
}

void TText::loadOld(TStreamReader& s) {
    TRPoint pos;
    pos.X = float(RoundHalfEven(s.ReadF32()));
    pos.Y = float(RoundHalfEven(s.ReadF32()));
    SourceText = ShownText = ReadCountedShortString(s);
    const qint32 quarterTurns = s.ReadI32();
    Font.Name = s.ReadShortString(21);
    Font.Style = s.ReadU8();
    Font.Color = s.ReadI32();
    Font.Height = s.ReadI32();
    Alignment = taLeft;
    if (FileVersion >= 50 && s.ReadU8() != 0) Alignment = taRight;
    ExternalLink.clear();
    LinkTarget = TGuid{};
    Fill = false;
    FillColorText = clWhite;
    ReverseDirection = false;
    repairLoadedFont(Font);
    Measure();
    const QSizeF sz = GetSize();
    Corners = {pos, TRPoint{float(pos.X + sz.width()), pos.Y},
               TRPoint{float(pos.X + sz.width()), float(pos.Y + sz.height())},
               TRPoint{pos.X, float(pos.Y + sz.height())}};
    const int q = int(((qint64(quarterTurns) % 4) + 4) % 4);
    if (q != 0) RotateCorners(pos, (360 - 90 * q) * kPi / 180);
    LayoutDirty = true;
}

// ------------------------------------------------------------------------------------- dumping

namespace {
QJsonArray cornersJson(const std::array<TRPoint, 4>& c) {
    QJsonArray a;
    for (const TRPoint& p : c)
        a.append(QJsonArray{double(p.X), double(p.Y)});
    return a;
}
QJsonObject fontJson(const TTextFont& f) {
    return QJsonObject{{QStringLiteral("Name"), f.Name},
                       {QStringLiteral("Style"), f.Style},
                       {QStringLiteral("Color"), f.Color},
                       {QStringLiteral("Height"), f.Height}};
}
QString guidText(const TGuid& g) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(g.data()), 16).toHex());
}
} // namespace

bool TText::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Corners"), cornersJson(Corners));
    o.insert(QStringLiteral("SourceText"), SourceText);
    o.insert(QStringLiteral("ShownText"), ShownText);
    o.insert(QStringLiteral("Font"), fontJson(Font));
    o.insert(QStringLiteral("Alignment"), Alignment);
    o.insert(QStringLiteral("LinkTargetReleased"), LinkTargetReleased);
    o.insert(QStringLiteral("ExternalLink"), ExternalLink);
    o.insert(QStringLiteral("Id"), guidText(Id));
    o.insert(QStringLiteral("LinkTarget"), guidText(LinkTarget));
    o.insert(QStringLiteral("Fill"), Fill);
    o.insert(QStringLiteral("FillColorText"), FillColorText);
    o.insert(QStringLiteral("ReverseDirection"), ReverseDirection);
    return true;
}

QJsonObject TextFontJson(const TTextFont& f) {
    return fontJson(f);
}
QJsonArray TextCornersJson(const std::array<TRPoint, 4>& c) {
    return cornersJson(c);
}
