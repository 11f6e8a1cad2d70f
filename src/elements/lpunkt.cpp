#include "elements/lpunkt.h"

#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/SVG_Export.h"
#include "elements/elementdump.h"
#include "platform/stream.h"

#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

TJunctionStyle g_JunctionStyle;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr qint32 kMaxDiameter = 255;

// The 33-point circle the hit tests use, on the screen.
TScreenPolygon HitCircle(const TView& view, TRPoint c, double r) {
    TRPointArray pts;
    ArcPoints(pts, c, 33, 0, 2 * kPi, r);
    return ToScreen(view, pts);
}

bool Contains(const TRRect& r, TRPoint p) {
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

// True when the point lies inside the outline capsule of one of the line's segments.
bool OnWire(const TPolyLine& line, QPointF centre, const TView& view) {
    // A line of width 0 is drawn one pixel wide; an empty capsule would never hold the dot.
    const double w = std::max(view.ScaleLength(line.LineWidth), 1.0);
    const TScreenPolygon pts = ToScreen(view, line.Points);
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        if (PointInPolygon(centre, Capsule(pts[i], pts[i + 1], w))) return true;
    return false;
}
} // namespace

TLoetpunkt::TLoetpunkt() : TElement(etLoetpunkt) {
    ApplyCurrentStyle();
}

TLoetpunkt::TLoetpunkt(TRPoint position) : TLoetpunkt() {
    Position = position;
}

void TLoetpunkt::applyStyle(const TJunctionStyle& style) {
    LineWidth = style.LineWidth;
    LineColor = style.LineColor;
    PenStyle = style.PenStyle;
    FillColor = style.FillColor;
    FillStyle = style.FillStyle;
    SetDiameter(style.PenStyle == 0 ? kResetDiameter : style.PenStyle);
    NoLine = true;
    NoFill = false;
}

void TLoetpunkt::ApplyCurrentStyle() {
    applyStyle(g_JunctionStyle);
}

void TLoetpunkt::ResetStyle() {
    applyStyle(TJunctionStyle{});
}

bool TLoetpunkt::IsAutomatic() const {
    // Measured upwards from the code: ordinary colours far above it are no size codes.
    const qint64 d = qint64(LineColor) - kAutoCode;
    return NoLine && d >= 0 && d < kSizeCount;
}

int TLoetpunkt::SizeIndex() const {
    const qint64 i = IsAutomatic() ? qint64(LineColor) - kAutoCode : qint64(LineColor);
    return int(std::clamp<qint64>(i, 0, kSizeCount - 1));
}

void TLoetpunkt::SetAutomatic(bool on, int sizeIndex) {
    sizeIndex = std::clamp(sizeIndex, 0, kSizeCount - 1);
    LineColor = on ? kAutoCode + sizeIndex : sizeIndex;
    NoLine = true;
}

void TLoetpunkt::SetDiameter(int diameter) {
    Diameter = std::clamp(diameter, 1, int(kMaxDiameter));
    PenStyle = quint8(Diameter);
}

bool TLoetpunkt::UpdateAutoSize(const std::vector<const TElement*>& sheet, const TView& view) {
    if (!IsAutomatic()) return false;
    const qint32 oldDiameter = Diameter, oldColor = FillColor;
    qint32 color = 0;
    int width = 0;
    const QPointF centre = view.WorldToScreen(Position);
    for (const TElement* e : sheet) {
        if (!e || e->TypeCode != etPolyLine) continue;
        const auto& line = static_cast<const TPolyLine&>(*e);
        if (!Contains(line.GetBounds(), Position) || !OnWire(line, centre, view)) continue;
        color = line.LineColor;
        width = std::max(width, int(line.LineWidth));
    }
    width = std::max(width, 1);
    FillColor = color;
    // A wide wire would give more than the stored byte holds.
    SetDiameter(int(std::min<qint64>(qint64(width) * (3 + SizeIndex()), kMaxDiameter)));
    return Diameter != oldDiameter || FillColor != oldColor;
}

bool TLoetpunkt::UpdateAutoSize(const TElementList& sheet, const TView& view) {
    std::vector<const TElement*> list;
    list.reserve(sheet.size());
    for (const TElementPtr& e : sheet)
        list.push_back(e.get());
    return UpdateAutoSize(list, view);
}

bool UpdateAutoJunctions(const TElementList& sheet, const TView& view) {
    std::vector<const TElement*> list;
    list.reserve(sheet.size());
    for (const TElementPtr& e : sheet)
        list.push_back(e.get());
    bool changed = false;
    for (const TElementPtr& e : sheet)
        if (e->TypeCode == etLoetpunkt)
            changed |= static_cast<TLoetpunkt&>(*e).UpdateAutoSize(list, view);
    return changed;
}

double TLoetpunkt::outerRadius() const {
    return Diameter / 2.0 + (NoLine ? 0 : LineWidth / 2.0);
}

bool TLoetpunkt::HitPoint(const TView& view, QPoint screen) const {
    return PointInPolygon(QPointF(screen), HitCircle(view, Position, outerRadius()));
}

bool TLoetpunkt::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return PolygonHitsRect(HitCircle(view, Position, outerRadius()), rect, enclose);
}

void TLoetpunkt::Draw(TDrawContext& dc) {
    if (!Visible) return;
    if (dc.SheetElements && IsAutomatic()) UpdateAutoSize(*dc.SheetElements, dc.View);
    if (!dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    qint32 fill = FillColor;
    if (Selected) fill = dc.AntiAliased ? 0xFF00FF : g_SelectionColors.Main;
    const QPointF c = dc.Map(Position);
    const double r = dc.View.ScaleLength(Diameter / 2.0);
    QPainterPath path;
    path.addEllipse(c, r, r);
    QPainter& p = dc.Painter;
    if (!NoFill) p.fillPath(path, ToQColor(fill));
    if (!NoLine) p.strokePath(path, LinePen(dc, Selected ? fill : LineColor, LineWidth, 0));
}

void TLoetpunkt::MoveBy(TRPoint v) {
    MovePoint(Position, v);
}
void TLoetpunkt::ScaleAt(TRPoint c, double fx, double fy) {
    ScalePoint(Position, c, fx, fy);
}
void TLoetpunkt::ShearAt(TRPoint c, double sx, double sy) {
    ShearPoint(Position, c, sx, sy);
}
void TLoetpunkt::RotateAt(TRPoint c, double radians) {
    RotatePoint(Position, c, radians);
}
void TLoetpunkt::MirrorX(TRPoint axis) {
    MirrorPointX(Position, axis);
}
void TLoetpunkt::MirrorY(TRPoint axis) {
    MirrorPointY(Position, axis);
}

TRRect TLoetpunkt::GetBounds() const {
    const float r = float(outerRadius());
    return {Position.X - r, Position.Y - r, Position.X + r, Position.Y + r};
}

void TLoetpunkt::SetColor(qint32 color) {
    if (FillColor != clWhite) FillColor = color;
    if (!NoLine && LineColor != clWhite) LineColor = color;
}

bool TLoetpunkt::SnapToPoint(const TView& view, TRPoint& p) const {
    if (g_ElementSwitches.SuspendElementSnap) return false;
    const double radius = std::clamp(10.0 / view.ZoomX, 5.0, 50.0);
    if (std::fabs(double(p.X) - Position.X) < radius &&
        std::fabs(double(p.Y) - Position.Y) < radius) {
        p = Position;
        return true;
    }
    return false;
}

void TLoetpunkt::AddSnapPoints(std::vector<TRPoint*>& points) {
    points.push_back(&Position);
}

void TLoetpunkt::WriteSvg(TSVG& svg) const {
    const QPoint c(RoundPixel(Position.X), RoundPixel(Position.Y));
    svg.AddCircle(c, int(RoundHalfEven(Diameter / 2.0)), !NoLine, !NoFill, FillColor, LineColor, 0,
                  std::max(LineWidth, 1));
}

void TLoetpunkt::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s, quint8(std::clamp(Diameter, 0, int(kMaxDiameter))));
    s.WriteF32(Position.X);
    s.WriteF32(Position.Y);
}

void TLoetpunkt::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    Position.X = s.ReadF32();
    Position.Y = s.ReadF32();
    if (FileVersion >= 80) {
        SetDiameter(PenStyle == 0 ? kResetDiameter : PenStyle);
    } else {
        SetDiameter(kResetDiameter);
        LineColor = kResetSizeIndex;
    }
}

bool TLoetpunkt::DumpTypeFields(QJsonObject& out) const {
    out.insert(QStringLiteral("Position"), DumpPoint(Position));
    out.insert(QStringLiteral("Diameter"), Diameter);
    out.insert(QStringLiteral("Automatic"), IsAutomatic());
    out.insert(QStringLiteral("SizeIndex"), SizeIndex());
    return true;
}
