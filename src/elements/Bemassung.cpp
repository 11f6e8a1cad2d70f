#include "elements/Bemassung.h"

#include "elements/Gruppe.h"
#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/elementdump.h"
#include "elements/text.h"
#include "platform/stream.h"

#include <QJsonObject>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

TDimensionStyle g_DimensionStyle;
bool g_DimensionAdjusting = false;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr qint32 kSelectedD2D = 0xFF00FF;

struct V {
    double x = 0, y = 0;
};
V operator+(V a, V b) {
    return {a.x + b.x, a.y + b.y};
}
V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y};
}
V operator*(V a, double f) {
    return {a.x * f, a.y * f};
}
double Dot(V a, V b) {
    return a.x * b.x + a.y * b.y;
}
double Length(V a) {
    return std::hypot(a.x, a.y);
}
V Of(TRPoint p) {
    return {p.X, p.Y};
}
TRPoint Pt(V v) {
    return {float(v.x), float(v.y)};
}
// Unit vector of a, or the fallback for a null vector.
V Unit(V a, V fallback = {1, 0}) {
    const double l = Length(a);
    return l > 0 && std::isfinite(l) ? a * (1 / l) : fallback;
}
// a turned by t radians (in the coordinates as they are, y downwards).
V Turn(V a, double t) {
    return {a.x * std::cos(t) - a.y * std::sin(t), a.x * std::sin(t) + a.y * std::cos(t)};
}

std::unique_ptr<TText> NewLabel(const TDimensionStyle& st, int height) {
    auto t = std::make_unique<TText>();
    TTextFont f;
    f.Name = st.FontName;
    f.Style = quint8((st.Bold ? 1 : 0) | (st.Italic ? 2 : 0));
    f.Color = st.TextColor;
    f.Height = std::max(height, 1);
    t->Font = f;
    t->Alignment = taLeft;
    t->Fill = false;
    t->SourceText.clear();
    t->ShownText.clear();
    t->Measure();
    t->PlaceAt({0, 0});
    t->LayoutDirty = true;
    return t;
}

// The arrow head: the tip and two points back along e, spread by the arrow angle.
std::array<TRPoint, 3> Arrow(V tip, V e, double length, double angleDeg) {
    const double a = angleDeg * kPi / 180 / 2;
    return {Pt(tip), Pt(tip + Turn(e, a) * length), Pt(tip + Turn(e, -a) * length)};
}

void SetBox(TText& t, V c0, V along, V down) {
    t.Corners = {Pt(c0), Pt(c0 + along), Pt(c0 + along + down), Pt(c0 + down)};
}

bool HasText(const TText& t) {
    return !t.ShownText.isEmpty();
}
} // namespace

TBemassung::TBemassung()
    : TElement(etBemassung), ValueLabel(NewLabel(g_DimensionStyle, g_DimensionStyle.FontHeight)),
      TolUpper(NewLabel(g_DimensionStyle, g_DimensionStyle.FontHeight / 2)),
      TolLower(NewLabel(g_DimensionStyle, g_DimensionStyle.FontHeight / 2)),
      Style(g_DimensionStyle) {
    ArrowAngle = Style.ArrowAngle;
    ArrowLength = Style.ArrowLength;
    ExtColor = Style.ExtColor;
    DimColor = Style.DimColor;
    DecimalPoint = Style.DecimalPoint;
    Precision = Style.Precision;
    Layout();
}

TBemassung::~TBemassung() = default;

// ------------------------------------------------------------------------------------ the value

QString TBemassung::NumberText(double drawingScale) const {
    if (!AutoValue) return FixedValue;
    // A precision of 0 or below would divide by zero.
    const qint32 precision = std::max(Precision, 1);
    double v, f;
    if (Kind == bkAngle) {
        v = (AngleOf(C, B) - AngleOf(C, A)) * 180 / kPi;
        if (v < 0) v += 360;
        f = precision;
    } else {
        v = Distance(A, B) * drawingScale;
        f = precision / 10.0;
    }
    const double number = RoundHalfEven(f * v) / precision;
    if (!std::isfinite(number)) return QStringLiteral("?");
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString s = locale.toString(number == 0 ? 0.0 : number, 'f', QLocale::FloatingPointShortest);
    if (DecimalPoint) s.replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

bool TBemassung::UpdateValue(double drawingScale) {
    LastValue = NumberText(drawingScale);
    QString label = Prefix + LastValue + Suffix;
    if (ShowDiameter) label.prepend(QChar(0x00D8));
    const QString before = ValueLabel->ShownText;
    ValueLabel->SetSourceText(label);
    if (ValueLabel->ShownText == before) return false;
    Layout();
    return true;
}

void TBemassung::Fix() {
    AutoValue = false;
    FixedValue = LastValue;
}

void TBemassung::Unfix() {
    AutoValue = true;
}

// ----------------------------------------------------------------------------------- the layout

double TBemassung::OffsetOf(TRPoint p) const {
    const double g = AngleOf(A, B);
    const V n{std::sin(g), std::cos(g)};
    return -Dot(Of(p) - Of(A), n);
}

void TBemassung::SetOffset(double offset) {
    Offset = offset;
    const double g = AngleOf(A, B);
    const V n{std::sin(g), std::cos(g)};
    LinePos = Pt((Of(A) + Of(B)) * 0.5 - n * offset);
    Layout();
}

void TBemassung::Layout() {
    const quint8 kind = Kind <= bkAngle ? Kind : bkStandard;
    const V a = Of(A), b = Of(B), c = Of(C);
    const double g = AngleOf(A, B);
    const V u = Unit(b - a);
    const V n{std::sin(g), std::cos(g)};
    if (kind == bkStandard && g_DimensionAdjusting) Offset = OffsetOf(LinePos);
    const double off = std::isfinite(Offset) ? Offset : 0;
    const double al = ArrowLength;
    const double dist = Distance(A, B);

    // Labels measure again only when their text changed (tolerances are set from outside).
    TText* labels[3] = {ValueLabel.get(), TolUpper.get(), TolLower.get()};
    for (int i = 0; i < 3; ++i) {
        if (labels[i]->ShownText != m_measured[i]) {
            labels[i]->Measure();
            m_measured[i] = labels[i]->ShownText;
        }
    }
    const QSizeF vs = ValueLabel->GetSize();
    const double W = vs.width(), H = vs.height();
    const bool tolerances = HasText(*TolUpper) || HasText(*TolLower);
    double Lt = 0, th = 0;
    if (tolerances) {
        const QSizeF us = TolUpper->GetSize(), ls = TolLower->GetSize();
        th = std::max(HasText(*TolUpper) ? us.height() : 0, HasText(*TolLower) ? ls.height() : 0);
        Lt = std::max(HasText(*TolUpper) ? us.width() : 0, HasText(*TolLower) ? ls.width() : 0) +
             th / 2;
    }

    TGeometry geo;
    V d1, d2;
    V q; // outer end of the line beyond D1 when the dimension does not fit
    if (kind != bkAngle) {
        d1 = a - n * off;
        d2 = b - n * off;
        const double w = off >= 0 ? off + 20 : off - 20; // 2 mm beyond the dimension line
        geo.Ext1 = {Pt(a), Pt(a - n * w)};
        geo.Ext2 = {Pt(b), Pt(b - n * w)};
        const bool fitting = kind == bkStandard || kind == bkDiameter;
        geo.DimensionFits = !fitting || dist >= W + Lt + 2 * al;
        geo.TextFits = !fitting || dist >= W + Lt + 10;
        if (geo.DimensionFits) {
            geo.Line = {Pt(d1), Pt(d2)};
            if (kind != bkRadial) geo.Arrows.push_back(Arrow(d1, u, al, ArrowAngle));
            geo.Arrows.push_back(Arrow(d2, u * -1, al, ArrowAngle));
        } else {
            // Tips at D1 and D2, pointing inwards from outside; the text may sit beyond D1.
            const double j = geo.TextFits ? 0 : W + Lt - al + 4;
            q = d1 - u * (2 * al + j);
            geo.Line = {Pt(q), Pt(d2 + u * (2 * al))};
            geo.Arrows.push_back(Arrow(d1, u * -1, al, ArrowAngle));
            geo.Arrows.push_back(Arrow(d2, u, al, ArrowAngle));
        }
    } else {
        const V toA = Unit(c - a), toB = Unit(c - b);
        d1 = a + toA * 20;
        d2 = b + toB * 20;
        geo.Ext1 = {Pt(a), Pt(d1)};
        geo.Ext2 = {Pt(b), Pt(d2)};
        const double r = std::max(Distance(C, A) - 20, 0.0);
        const double aA = AngleOf(C, A), aB = AngleOf(C, B);
        double sweep = aB - aA;
        if (sweep < 0) sweep += 2 * kPi;
        const int steps = std::clamp(int(sweep * 180 / kPi / 3) + 2, 2, 122);
        const bool outside = sweep < kPi && dist < 3 * al && r > 0;
        double from = aA, span = sweep, ext = 0;
        if (outside) {
            ext = std::min(1.5 * al, r / 1.5) / r; // the arc goes on beyond each end
            from -= ext;
            span += 2 * ext;
        }
        ArcPoints(geo.Line, C, steps + (outside ? 4 : 0), from, span, r);
        auto onArc = [&](double t) { return c + V{std::cos(t), -std::sin(t)} * r; };
        // Tangents at the ends, pointing into the arc (it runs counter-clockwise on the screen).
        const V e1{-std::sin(aA), -std::cos(aA)}, e2{std::sin(aB), std::cos(aB)};
        if (outside) {
            // Outside the arc, turned by half the angle an arrow spans so they sit on it.
            const double half = std::atan(al / r) / 2;
            geo.Arrows.push_back(Arrow(onArc(aA), Turn(e1 * -1, half), al, ArrowAngle));
            geo.Arrows.push_back(Arrow(onArc(aB), Turn(e2 * -1, -half), al, ArrowAngle));
        } else {
            geo.Arrows.push_back(Arrow(onArc(aA), e1, al, ArrowAngle));
            geo.Arrows.push_back(Arrow(onArc(aB), e2, al, ArrowAngle));
        }
        geo.DimensionFits = !outside;
    }
    geo.D1 = Pt(d1);
    geo.D2 = Pt(d2);

    // The value label reads along u; turned by 180 degrees when that would be upside down.
    const bool turned = g >= kPi / 2 && g <= 3 * kPi / 2;
    const double s = turned ? -1 : 1;
    const double sW = s * W, sH = s * H, sLt = s * Lt, gap = s * 2;
    const V m = (d1 + d2) * 0.5;
    V p;
    if (kind == bkAngle) {
        V mk = m;
        const double toM = Length(m - c);
        if (toM > 0.1) {
            V dir = (m - c) * (1 / toM);
            double sweep = AngleOf(C, B) - AngleOf(C, A);
            if (sweep < 0) sweep += 2 * kPi;
            if (sweep > kPi) dir = dir * -1;
            mk = c + dir * (Distance(C, A) - 14);
        }
        const double j2 = sH > 0 ? gap : -sH - gap;
        p = mk - u * ((sW + sLt) / 2) + n * j2;
    } else if (kind == bkRadial) {
        p = m - u * ((sW + sLt + al) / 2) - n * (gap + sH);
    } else if (!geo.DimensionFits && !geo.TextFits) {
        const double j = turned ? sW + sLt : 0;
        p = q - u * j - n * (gap + sH);
    } else {
        p = m - u * ((sW + sLt) / 2) - n * (gap + sH);
    }
    SetBox(*ValueLabel, p, u * sW, n * sH);

    // Tolerances beside the value, in the value's reading frame.
    const V vc0 = Of(ValueLabel->Corners[0]);
    const V r = Unit(Of(ValueLabel->Corners[1]) - vc0, u);
    const V d = Unit(Of(ValueLabel->Corners[3]) - vc0, n);
    auto place = [&](TText& t, V at) {
        const QSizeF ts = t.GetSize();
        SetBox(t, at, r * ts.width(), d * ts.height());
    };
    const double hu = TolUpper->GetSize().height(), hl = TolLower->GetSize().height();
    place(*TolUpper, Of(ValueLabel->Corners[1]) + r * (hu / 2) + d * (hu / 10));
    place(*TolLower, Of(ValueLabel->Corners[2]) + r * (hl / 2) - d * (1.1 * hl));
    m_geo = std::move(geo);
}

// ----------------------------------------------------------------------------------- operations

std::vector<TRPointArray> TBemassung::strokes() const {
    std::vector<TRPointArray> s;
    s.push_back({m_geo.Ext1[0], m_geo.Ext1[1]});
    s.push_back({m_geo.Ext2[0], m_geo.Ext2[1]});
    if (!m_geo.Line.empty()) s.push_back(m_geo.Line);
    return s;
}

void TBemassung::Draw(TDrawContext& dc) {
    if (!Visible) return;
    UpdateValue(dc.DrawingScale);
    Layout();
    if (!dc.NeedsDrawing(GetScreenRect(dc.View))) return;
    const qint32 selected = dc.AntiAliased ? kSelectedD2D : g_SelectionColors.Main;
    const qint32 ext = Selected ? selected : ExtColor;
    const qint32 dim = Selected ? selected : DimColor;
    QPainter& p = dc.Painter;
    auto stroke = [&](const TRPointArray& pts, qint32 color) {
        if (pts.size() < 2) return;
        QPainterPath path;
        path.moveTo(dc.Map(pts[0]));
        for (size_t i = 1; i < pts.size(); ++i)
            path.lineTo(dc.Map(pts[i]));
        p.strokePath(path, LinePen(dc, color, LineWidth, 0));
    };
    stroke({m_geo.Ext1[0], m_geo.Ext1[1]}, ext);
    stroke({m_geo.Ext2[0], m_geo.Ext2[1]}, ext);
    stroke(m_geo.Line, dim);
    for (const auto& arrow : m_geo.Arrows) {
        QPolygonF tri;
        for (const TRPoint& q : arrow)
            tri << dc.Map(q);
        DrawSmallShape(dc, tri, dim, dim, dc.LineWidthPx(0), true);
    }
    ValueLabel->Draw(dc);
    TolUpper->Draw(dc);
    TolLower->Draw(dc);
}

bool TBemassung::HitPoint(const TView& view, QPoint screen) const {
    const double w = view.ScaleLength(LineWidth);
    for (const TRPointArray& s : strokes())
        if (HitPolyline(view, screen, ToScreen(view, s), true, false, false, w)) return true;
    for (const auto& arrow : m_geo.Arrows)
        if (PointInPolygon(screen, ToScreen(view, TRPointArray(arrow.begin(), arrow.end()))))
            return true;
    return ValueLabel->HitPoint(view, screen) ||
           (HasText(*TolUpper) && TolUpper->HitPoint(view, screen)) ||
           (HasText(*TolLower) && TolLower->HitPoint(view, screen));
}

bool TBemassung::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    const double w = view.ScaleLength(LineWidth);
    std::vector<bool> hits;
    for (const TRPointArray& s : strokes())
        hits.push_back(
            HitPolylineRect(view, rect, ToScreen(view, s), true, false, false, w, enclose));
    hits.push_back(ValueLabel->HitRect(view, rect, enclose));
    if (HasText(*TolUpper)) hits.push_back(TolUpper->HitRect(view, rect, enclose));
    if (HasText(*TolLower)) hits.push_back(TolLower->HitRect(view, rect, enclose));
    return enclose ? std::all_of(hits.begin(), hits.end(), [](bool h) { return h; })
                   : std::any_of(hits.begin(), hits.end(), [](bool h) { return h; });
}

TRRect TBemassung::GetBounds() const {
    TRPointArray pts;
    for (const TRPointArray& s : strokes())
        pts.insert(pts.end(), s.begin(), s.end());
    for (const auto& arrow : m_geo.Arrows)
        pts.insert(pts.end(), arrow.begin(), arrow.end());
    TRRect r = WidenRect(BoundsOf(pts), HalfWidthForBounds(LineWidth));
    for (const TText* t : {ValueLabel.get(), TolUpper.get(), TolLower.get()})
        if (HasText(*t) || t == ValueLabel.get()) r = UnionRect(r, t->GetBounds());
    return r;
}

template <class F> void TBemassung::transform(F f) {
    // A point of the dimension line goes along, so the line keeps its place and side.
    const double g = AngleOf(A, B);
    TRPoint onLine = Pt(Of(A) - V{std::sin(g), std::cos(g)} * Offset);
    for (TRPoint* p : {&A, &B, &C, &LinePos, &onLine})
        f(*p);
    if (ExactlySamePoint(A, B)) B = {B.X + 1, B.Y + 1};
    if (Kind != bkAngle && std::isfinite(Offset)) Offset = OffsetOf(onLine);
    Layout();
}

void TBemassung::MoveBy(TRPoint v) {
    transform([&](TRPoint& p) { MovePoint(p, v); });
}
void TBemassung::ScaleAt(TRPoint c, double fx, double fy) {
    transform([&](TRPoint& p) { ScalePoint(p, c, fx, fy); });
}
void TBemassung::ShearAt(TRPoint c, double sx, double sy) {
    if (ShearIsNoop(sx, sy)) return;
    transform([&](TRPoint& p) { ShearPoint(p, c, sx, sy); });
}
void TBemassung::RotateAt(TRPoint c, double radians) {
    transform([&](TRPoint& p) { RotatePoint(p, c, radians); });
}
void TBemassung::MirrorX(TRPoint axis) {
    transform([&](TRPoint& p) { MirrorPointX(p, axis); });
}
void TBemassung::MirrorY(TRPoint axis) {
    transform([&](TRPoint& p) { MirrorPointY(p, axis); });
}

void TBemassung::AddGrips(std::vector<TRPoint*>& grips) {
    grips.push_back(&A);
    grips.push_back(&B);
    if (Kind == bkAngle)
        grips.push_back(&C);
    else
        grips.push_back(&LinePos);
}

void TBemassung::GripsChanged() {
    if (ExactlySamePoint(A, B)) B = {B.X + 1, B.Y + 1};
    if (Kind != bkAngle) Offset = OffsetOf(LinePos);
    Layout();
}

void TBemassung::SetSelected(bool on) {
    Selected = on;
    ValueLabel->SetSelected(on);
    TolUpper->SetSelected(on);
    TolLower->SetSelected(on);
}

void TBemassung::SetColor(qint32 color) {
    TElement::SetColor(color);
    if (ExtColor != clWhite) ExtColor = color;
    if (DimColor != clWhite) DimColor = color;
    for (TText* t : {ValueLabel.get(), TolUpper.get(), TolLower.get()})
        t->SetColor(color);
}

bool TBemassung::SnapToPoint(const TView& view, TRPoint& p) const {
    if (g_ElementSwitches.SuspendElementSnap) return false;
    TRPointArray c{A, B};
    if (Kind == bkAngle) c.push_back(C);
    const int i = NearestPoint(p, c);
    return i >= 0 && SnapWithin(view, p, c[size_t(i)], LineWidth);
}

void TBemassung::AddSnapPoints(std::vector<TRPoint*>& points) {
    points.push_back(&A);
    points.push_back(&B);
    if (Kind == bkAngle) points.push_back(&C);
}

void TBemassung::WriteSvg(TSVG& svg) const {
    auto pt = [](TRPoint p) { return QPoint(RoundPixel(p.X * 10.0), RoundPixel(p.Y * 10.0)); };
    svg.CoordFactor = 10;
    auto line = [&](const TRPointArray& pts, qint32 color) {
        if (pts.size() < 2) return;
        for (size_t i = 0; i < pts.size(); ++i)
            svg.SetPoint(int(i), pt(pts[i]));
        svg.AddPolyline(int(pts.size()), std::max(LineWidth, 1), 0, color);
    };
    line({m_geo.Ext1[0], m_geo.Ext1[1]}, ExtColor);
    line({m_geo.Ext2[0], m_geo.Ext2[1]}, ExtColor);
    line(m_geo.Line, DimColor);
    for (const auto& arrow : m_geo.Arrows) {
        for (int i = 0; i < 3; ++i)
            svg.SetPoint(i, pt(arrow[size_t(i)]));
        svg.AddPolygon(3, 1, false, true, DimColor, DimColor, 0);
    }
    svg.CoordFactor = 1;
    for (const TText* t : {ValueLabel.get(), TolUpper.get(), TolLower.get()})
        if (HasText(*t)) t->WriteSvg(svg);
}

void TBemassung::AppendChildren(std::vector<TElement*>& out) {
    out.push_back(ValueLabel.get());
    out.push_back(TolUpper.get());
    out.push_back(TolLower.get());
}

const TElement* TBemassung::ChildAt(size_t index) const {
    switch (index) {
    case 0:
        return ValueLabel.get();
    case 1:
        return TolUpper.get();
    case 2:
        return TolLower.get();
    default:
        return nullptr;
    }
}

// ------------------------------------------------------------------------------------- records

void TBemassung::SaveToStream(TStreamWriter& s) const {
    // The stored label boxes are the ones the loader computes, even after a change of a label
    // or a field that has not been laid out yet.
    const_cast<TBemassung*>(this)->Layout();
    SaveHeader(s);
    ValueLabel->SaveToStream(s);
    TolUpper->SaveToStream(s);
    TolLower->SaveToStream(s);
    s.WriteU8(Kind);
    for (const TRPoint& p : {A, B, C, LinePos}) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteF64(Offset);
    s.WriteBool(ShowDiameter);
    s.WriteBool(AutoValue);
    s.WriteString(FixedValue);
    s.WriteString(Suffix);
    s.WriteString(Prefix);
    s.WriteI32(ArrowAngle);
    s.WriteI32(ArrowLength);
    s.WriteI32(ExtColor);
    s.WriteI32(DimColor);
    s.WriteBool(DecimalPoint);
    s.WriteI32(Precision);
}

void TBemassung::LoadFromStream(TStreamReader& s) {
    const int v = FileVersion;
    LoadHeader(s);
    ValueLabel->LoadFromStream(s);
    TolUpper->LoadFromStream(s);
    TolLower->LoadFromStream(s);
    Kind = s.ReadU8();
    for (TRPoint* p : {&A, &B, &C, &LinePos}) {
        p->X = s.ReadF32();
        p->Y = s.ReadF32();
    }
    Offset = s.ReadF64();
    ShowDiameter = s.ReadBool();
    AutoValue = s.ReadBool();
    auto text = [&]() { return v >= 80 ? s.ReadString() : ReadCountedShortString(s); };
    FixedValue = text();
    Suffix = text();
    Prefix = text();
    ArrowAngle = s.ReadI32();
    ArrowLength = s.ReadI32();
    ExtColor = s.ReadI32();
    DimColor = s.ReadI32();
    DecimalPoint = s.ReadBool();
    Precision = s.ReadI32();
    // The number shown last is the stored label without its diameter sign, prefix and suffix.
    QString shown = ValueLabel->SourceText;
    if (ShowDiameter && shown.startsWith(QChar(0x00D8))) shown.remove(0, 1);
    if (shown.startsWith(Prefix)) shown.remove(0, Prefix.size());
    if (shown.endsWith(Suffix)) shown.chop(Suffix.size());
    LastValue = AutoValue ? shown : FixedValue;
    for (int i = 0; i < 3; ++i)
        m_measured[i].clear();
    Layout();
}

bool TBemassung::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("ValueLabel"), DumpElement(*ValueLabel));
    o.insert(QStringLiteral("TolUpper"), DumpElement(*TolUpper));
    o.insert(QStringLiteral("TolLower"), DumpElement(*TolLower));
    o.insert(QStringLiteral("Kind"), Kind);
    o.insert(QStringLiteral("A"), DumpPoint(A));
    o.insert(QStringLiteral("B"), DumpPoint(B));
    o.insert(QStringLiteral("C"), DumpPoint(C));
    o.insert(QStringLiteral("LinePos"), DumpPoint(LinePos));
    o.insert(QStringLiteral("Offset"), Offset);
    o.insert(QStringLiteral("ShowDiameter"), ShowDiameter);
    o.insert(QStringLiteral("AutoValue"), AutoValue);
    o.insert(QStringLiteral("FixedValue"), FixedValue);
    o.insert(QStringLiteral("Suffix"), Suffix);
    o.insert(QStringLiteral("Prefix"), Prefix);
    o.insert(QStringLiteral("ArrowAngle"), ArrowAngle);
    o.insert(QStringLiteral("ArrowLength"), ArrowLength);
    o.insert(QStringLiteral("ExtColor"), ExtColor);
    o.insert(QStringLiteral("DimColor"), DimColor);
    o.insert(QStringLiteral("DecimalPoint"), DecimalPoint);
    o.insert(QStringLiteral("Precision"), Precision);
    return true;
}

// --------------------------------------------------------------------------------- fix, unfix

namespace {
int fixAll(TElement& e, bool fix) {
    if (e.TypeCode == etBemassung) {
        auto& d = static_cast<TBemassung&>(e);
        fix ? d.Fix() : d.Unfix();
        return 1;
    }
    int n = 0;
    if (e.TypeCode == etGruppe)
        for (TElementPtr& c : static_cast<TGruppe&>(e).Children)
            n += fixAll(*c, fix);
    return n;
}
} // namespace

int ApplyDimensionFix(const TElementList& list, bool fix) {
    int n = 0;
    for (const TElementPtr& e : list)
        if (e->Selected) n += fixAll(*e, fix);
    return n;
}
