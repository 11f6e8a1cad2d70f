#include "elements/TextRect.h"

#include "elements/MyD2D.h"
#include "elements/SVG_Export.h"
#include "elements/glyphs.h"
#include "elements/textsettings.h"
#include "platform/messages.h"
#include "platform/stream.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
const QString kSvgBackgroundStyle =
    QStringLiteral("style=\"stroke-linecap:square; stroke-linejoin:miter\"");

TRPoint towards(TRPoint from, TRPoint to, double d) {
    const double len = Distance(from, to);
    if (len == 0) return from;
    return {float(from.X + (double(to.X) - from.X) * d / len),
            float(from.Y + (double(to.Y) - from.Y) * d / len)};
}

QString trimRight(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].unicode() < 33)
        --n;
    return s.left(n);
}

// A word runs up to and including the first character below code 33, or to the end.
qsizetype wordLength(const QString& r) {
    for (qsizetype i = 0; i < r.size(); ++i)
        if (r[i].unicode() < 33) return i + 1;
    return r.size();
}

QPoint svgPoint(TRPoint p) {
    return QPoint(RoundPixel(p.X * 100.0), RoundPixel(p.Y * 100.0));
}

void readFontTail(TStreamReader& s, TTextFont& f) {
    f.Style = s.ReadU8();
    f.Color = s.ReadI32();
    f.Height = s.ReadI32();
}
} // namespace

QString DefaultBoxTextOfLanguage() {
    return InterfaceLanguage() == LangFrench ? QStringLiteral("Texte") : QStringLiteral("Text");
}

TTextRect::TTextRect() : TElement(etTextRect) {
    ApplyTextStyle(g_TextSettings.TextRect);
    Lines = QStringList{DefaultBoxTextOfLanguage()};
    SetRect({0, 0, 100, 100});
    LayoutLines();
}

void TTextRect::ApplyTextStyle(const TTextStyle& st) {
    Font.Name = st.Name;
    Font.Height = st.Height > 0 ? st.Height : 1;
    Font.Style = quint8((st.Bold ? fsBold : 0) | (st.Italic ? fsItalic : 0));
    Font.Color = st.Color;
    BoxAlignment = quint8(st.Ausrichtung >= 0 && st.Ausrichtung <= 2 ? st.Ausrichtung : 0);
    Fill = st.TextFill;
    FillColorText = st.TextFillColor;
}

void TTextRect::SetRect(const TRRect& r) {
    Corners = {TRPoint{r.Left, r.Top}, TRPoint{r.Right, r.Top}, TRPoint{r.Right, r.Bottom},
               TRPoint{r.Left, r.Bottom}};
}

void TTextRect::MakeUpright() {
    const double w = Distance(Corners[0], Corners[1]);
    const double h = Distance(Corners[0], Corners[3]);
    const TRPoint c = Corners[0];
    SetRect({c.X, c.Y, float(c.X + w), float(c.Y + h)});
}

bool TTextRect::LinePlaceholdersPresent() const {
    for (const auto& t : LineTexts)
        if (t->PlaceholdersPresent()) return true;
    return false;
}

bool TTextRect::IsBlank() const {
    return Lines.join(QString()).trimmed().isEmpty();
}

std::unique_ptr<TText> TTextRect::newLine() const {
    auto t = std::make_unique<TText>();
    t->IsBoxLine = true;
    t->OwnerBox = this;
    t->Font = Font;
    if (t->Font.Height == 0) t->Font.Height = 1;
    t->Alignment = taLeft;
    t->Fill = false;
    t->FillColorText = clWhite;
    t->SourceText.clear();
    t->ShownText.clear();
    return t;
}

void TTextRect::LayoutLines() {
    TElementLifeStampPause pause; // line texts are reached through their box, never by address
    LineTexts.clear();
    if (!WordWrap) {
        for (const QString& entry : Lines) {
            LineTexts.push_back(newLine());
            TText& t = *LineTexts.back();
            t.SetSourceText(entry);
            t.Measure();
        }
        PlaceLines();
        return;
    }
    const double W = Distance(Corners[0], Corners[1]);
    const double h = Font.Height > 0 ? Font.Height : 1;
    TGlyphFace& face = GlyphFace(Font.Name, Font.Style);
    // The width the line text would measure for a run of the given width.
    auto lineWidth = [&](double run) {
        return std::max(double(float(run * h / kReferenceHeight)), 1.0);
    };
    for (const QString& entry : Lines) {
        // The line joins the box before it is measured, so its placeholders can find the box.
        LineTexts.push_back(newLine());
        QString r = trimRight(entry);
        QString l;
        // Without placeholders a line shows what it holds, so candidate lines are measured by
        // continuing the pen over the next word instead of laying the whole line out again.
        const bool plain = !HasPlaceholders(r);
        double pen = 0;
        do {
            const qsizetype n = wordLength(r);
            const QString word = r.left(n);
            l += word;
            r.remove(0, n);
            const QString next = r.left(wordLength(r));
            double w;
            if (plain) {
                const double before = pen;
                pen = AdvancePen(face, pen, word, false);
                const double run = !next.isEmpty() ? AdvancePen(face, pen, next, true)
                                   : !l.isEmpty()  ? AdvancePen(face, before, word, true)
                                                   : AdvancePen(face, 0, QStringLiteral(" "), true);
                w = lineWidth(run);
            } else {
                TText& t = *LineTexts.back();
                t.SetSourceText(l + next);
                t.Measure();
                t.PlaceAt({0, 0});
                w = t.GetSize().width();
            }
            if (w > W || r.isEmpty()) {
                TText& t = *LineTexts.back();
                t.SetSourceText(l);
                t.Measure();
                l.clear();
                pen = 0;
                if (!r.isEmpty()) LineTexts.push_back(newLine());
            }
        } while (!r.isEmpty());
    }
    PlaceLines();
}

void TTextRect::PlaceLines() {
    const TRPoint* C = Corners.data();
    const double a = AngleOf(C[3], C[2]);
    const double s = AngleOf(C[3], C[0]) - a - kPi / 2;
    const double h = Font.Height;
    const double n = double(LineTexts.size());
    const double ex = std::cos(a), ey = -std::sin(a);
    const double t = std::tan(s);
    const TRPoint D{float(h * std::sin(a) + h * t * ex), float(h * std::cos(a) + h * t * ey)};
    TRPoint P = C[0], Q = C[1];
    if (VCenter) {
        const double cs = std::cos(s);
        if (cs != 0) {
            const double f = (Distance(C[0], C[3]) - n * h / cs) / 2;
            P = towards(C[0], C[3], f);
            Q = towards(C[1], C[2], f);
        }
    }
    const double boxWidth = Distance(C[0], C[1]);
    for (size_t i = 0; i < LineTexts.size(); ++i) {
        TText& line = *LineTexts[i];
        const double w = line.GetSize().width();
        const TRPoint along{float(w * ex), float(w * ey)};
        TRPoint c0, c1;
        switch (BoxAlignment) {
        case baRight:
            c1 = i == 0 ? Q : LineTexts[i - 1]->Corners[2];
            c0 = {c1.X - along.X, c1.Y - along.Y};
            break;
        case baCenter: {
            const double m = (boxWidth - w) / 2;
            c0 = {float(P.X + m * ex + double(i) * D.X), float(P.Y + m * ey + double(i) * D.Y)};
            c1 = {c0.X + along.X, c0.Y + along.Y};
            break;
        }
        default:
            c0 = i == 0 ? P : LineTexts[i - 1]->Corners[3];
            c1 = {c0.X + along.X, c0.Y + along.Y};
            break;
        }
        line.Corners = {c0, c1, TRPoint{c1.X + D.X, c1.Y + D.Y}, TRPoint{c0.X + D.X, c0.Y + D.Y}};
        line.LayoutDirty = true;
    }
}

bool TTextRect::RefreshShownTexts() {
    bool changed = false;
    for (const auto& t : LineTexts)
        if (ExpandPlaceholders(*t, t->SourceText) != t->ShownText) {
            changed = true;
            break;
        }
    if (!changed) return false;
    if (WordWrap) {
        LayoutLines();
        return true;
    }
    for (const auto& t : LineTexts) {
        t->SetSourceText(t->SourceText);
        t->Measure();
    }
    PlaceLines();
    return true;
}

// ------------------------------------------------------------------------------------- drawing

void TTextRect::Draw(TDrawContext& dc) {
    if (!Visible) return;
    if (!dc.Overlay && (Distance(Corners[0], Corners[1]) < 5 ||
                        Distance(Corners[0], Corners[3]) < 5 || Font.Height == 0)) {
        // A box too small to hold anything could never be found again.
        if (Font.Height == 0) Font.Height = 1;
        const TRPoint c = Corners[0];
        SetRect({c.X, c.Y, c.X + 100, c.Y + 100});
        LayoutLines();
    }
    RefreshShownTexts();
    if (!dc.NeedsDrawing(GetScreenRect(dc.View))) return;

    QPainter& p = dc.Painter;
    QPolygonF quad;
    for (const TRPoint& c : Corners)
        quad << dc.Map(c);
    if (Fill && !dc.Overlay) {
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(Selected ? g_SelectionColors.Third : FillColorText));
        p.drawPolygon(quad);
        p.setBrush(Qt::NoBrush);
    }
    const bool dragged = dc.Overlay && !g_ElementSwitches.DrawingInsideGroup;
    if ((IsBlank() || dragged) && !dc.Printing && !dc.Exporting) {
        for (int i = 0; i < 4; ++i)
            ConstructionLine(dc, quad[i], quad[(i + 1) % 4], 1);
    }

    QPainterPath clip;
    clip.addPolygon(quad);
    clip.closeSubpath();
    p.save();
    p.setClipPath(clip, p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    for (const auto& t : LineTexts) {
        t->Font.Color = Font.Color;
        t->Selected = Selected;
        t->Draw(dc);
        t->Selected = false;
    }
    p.restore();
}

// ---------------------------------------------------------------------------- hit tests, bounds

bool TTextRect::HitPoint(const TView& view, QPoint screen) const {
    if (IsBlank() || Fill) return PointInPolygon(QPointF(screen), ToScreen(view, cornerArray()));
    for (const auto& t : LineTexts)
        if (t->HitPoint(view, screen)) return true;
    return false;
}

bool TTextRect::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return PolygonHitsRect(ToScreen(view, cornerArray()), rect, enclose);
}

TRRect TTextRect::GetBounds() const {
    return BoundsOf(cornerArray());
}

void TTextRect::SetColor(qint32 color) {
    TElement::SetColor(color);
    Font.Color = color;
    for (const auto& t : LineTexts)
        t->Font.Color = color;
}

bool TTextRect::SnapToPoint(const TView& view, TRPoint& p) const {
    if (!g_ElementSwitches.DragTextsOnly || Selected || g_ElementSwitches.SuspendElementSnap)
        return false;
    const TRPointArray c = cornerArray();
    return SnapWithin(view, p, c[size_t(NearestPoint(p, c))], 20);
}

void TTextRect::AddSnapPoints(std::vector<TRPoint*>& points) {
    if (!g_ElementSwitches.DragTextsOnly || Selected) return;
    for (TRPoint& c : Corners)
        points.push_back(&c);
}

// ---------------------------------------------------------------------------------- transforms

void TTextRect::MoveBy(TRPoint v) {
    for (TRPoint& p : Corners)
        MovePoint(p, v);
    for (const auto& t : LineTexts)
        t->MoveBy(v);
}

void TTextRect::ScaleAt(TRPoint c, double fx, double fy) {
    for (TRPoint& p : Corners)
        ScalePoint(p, c, fx, fy);
    if (WordWrap)
        LayoutLines();
    else
        PlaceLines();
}

void TTextRect::ShearAt(TRPoint c, double sx, double sy) {
    for (TRPoint& p : Corners)
        ShearPoint(p, c, sx, sy);
    PlaceLines();
}

void TTextRect::RotateAt(TRPoint c, double radians) {
    if (g_TextTransform.ShiftHeld) return;
    for (TRPoint& p : Corners)
        RotatePoint(p, c, radians);
    PlaceLines();
}

void TTextRect::MirrorX(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointX(p, axis);
    std::swap(Corners[0], Corners[1]);
    std::swap(Corners[2], Corners[3]);
    PlaceLines();
}

void TTextRect::MirrorY(TRPoint axis) {
    for (TRPoint& p : Corners)
        MirrorPointY(p, axis);
    std::swap(Corners[0], Corners[3]);
    std::swap(Corners[1], Corners[2]);
    PlaceLines();
}

// ------------------------------------------------------------------------------------------ SVG

void TTextRect::WriteSvg(TSVG& svg) const {
    // An export shows the lines as they are now, as drawing does.
    const_cast<TTextRect*>(this)->RefreshShownTexts();
    svg.CoordFactor = 100;
    auto polygonPath = [&]() {
        svg.PathMoveTo(svgPoint(Corners[0]));
        for (int i = 1; i < 4; ++i)
            svg.SetPoint(i - 1, svgPoint(Corners[size_t(i)]));
        svg.PathLineTo(3);
        svg.PathClose();
    };
    if (Fill) {
        svg.BeginPath(0, 0, kSvgBackgroundStyle, false, true, FillColorText, FillColorText);
        polygonPath();
        svg.EndPath();
    }
    // The lines are clipped to the box as on the screen.
    const QString clip = svg.BeginClipPath();
    svg.BeginPath(0, 0, QString(), false, true, 0, 0);
    polygonPath();
    svg.EndPath();
    svg.EndClipPath();
    svg.CoordFactor = 1;
    for (const auto& t : LineTexts) {
        // Lines are drawn in the box colour whatever they hold.
        if (t->Font.Color != Font.Color) t->Font.Color = Font.Color;
        t->WriteSvgClipped(svg, clip);
    }
}

// -------------------------------------------------------------------------------------- records

void TTextRect::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    for (const TRPoint& p : Corners) {
        s.WriteF32(p.X);
        s.WriteF32(p.Y);
    }
    s.WriteU8(BoxAlignment);
    WriteCountedShortString(s, Font.Name);
    s.WriteU8(Font.Style);
    s.WriteI32(Font.Color);
    s.WriteI32(Font.Height);
    s.WriteI32(qint32(Lines.size()));
    for (const QString& l : Lines)
        s.WriteString(l);
    s.WriteBool(Fill);
    s.WriteI32(FillColorText);
    s.WriteBool(WordWrap);
    s.WriteBool(VCenter);
}

void TTextRect::LoadFromStream(TStreamReader& s) {
    const int v = FileVersion;
    LoadHeader(s);
    if (v >= 60) {
        for (TRPoint& p : Corners) {
            p.X = s.ReadF32();
            p.Y = s.ReadF32();
        }
    } else {
        TRRect r;
        r.Left = float(RoundHalfEven(s.ReadF32()));
        r.Top = float(RoundHalfEven(s.ReadF32()));
        r.Right = float(RoundHalfEven(s.ReadF32()));
        r.Bottom = float(RoundHalfEven(s.ReadF32()));
        SetRect(r);
        // Each quarter turn moves the corner order on by one place.
        const int q = int(((qint64(s.ReadI32()) % 4) + 4) % 4);
        for (int k = 0; k < q; ++k)
            Corners = {Corners[3], Corners[0], Corners[1], Corners[2]};
    }
    BoxAlignment = s.ReadU8();
    Font.Name = v >= 60 ? ReadCountedShortString(s) : s.ReadShortString(21);
    readFontTail(s, Font);
    const qint32 count = s.ReadI32();
    if (count < 0) s.Fail(QStringLiteral("negative line count"));
    s.CheckCount(count, 4, "text box lines");
    Lines.clear();
    Lines.reserve(count);
    for (qint32 i = 0; i < count; ++i)
        Lines << (v >= 80 ? s.ReadString() : ReadCountedShortString(s));
    if (v >= 80) {
        Fill = s.ReadBool();
        FillColorText = s.ReadI32();
        WordWrap = s.ReadBool();
        VCenter = s.ReadBool();
    } else {
        Fill = false;
        FillColorText = clWhite;
        WordWrap = false;
        VCenter = false;
    }
    if (!FontInstalled(Font.Name)) Font.Name = QStringLiteral("Arial");
    if (Font.Height <= 0) Font.Height = 1;
    LayoutLines();
}

bool TTextRect::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Corners"), TextCornersJson(Corners));
    o.insert(QStringLiteral("BoxAlignment"), BoxAlignment);
    o.insert(QStringLiteral("Font"), TextFontJson(Font));
    o.insert(QStringLiteral("Lines"), QJsonArray::fromStringList(Lines));
    o.insert(QStringLiteral("Fill"), Fill);
    o.insert(QStringLiteral("FillColorText"), FillColorText);
    o.insert(QStringLiteral("WordWrap"), WordWrap);
    o.insert(QStringLiteral("VCenter"), VCenter);
    QJsonArray shown;
    for (const auto& t : LineTexts)
        shown.append(t->ShownText);
    o.insert(QStringLiteral("ShownLines"), shown);
    return true;
}
