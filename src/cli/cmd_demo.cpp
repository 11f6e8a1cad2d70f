// kavro-cli demo OUT: writes the demonstration document (examples/demo.kav8), a small control
// schematic on two A3 sheets drawn with every element type the program has (components with
// their labels, a relay whose contacts are its child components, junction dots, a dimensioned
// mounting plate, a logo), through the same container writer as the editor.
#include "cli/cli.h"
#include "elements/registers.h"
#include "cli/cli_document.h"
#include "document/document.h"
#include "document/placeholders.h"
#include "editor/editor.h"
#include "elements/Bemassung.h"
#include "elements/Bezier.h"
#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/Kreis.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/TextRect.h"
#include "elements/bauteil.h"
#include "elements/lpunkt.h"
#include "elements/polygon.h"
#include "elements/text.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr qint32 clGreen = 0x008000;
constexpr qint32 clYellow = 0x00E0FF;
constexpr qint32 clBlue = 0xC00000;
constexpr qint32 clGrey = 0x808080;
constexpr qint32 clLightGrey = 0xE0E0E0;

class TSchematic {
public:
    explicit TSchematic(TElementList& list) : m_list(list) {}

    TPolyLine& Line(TRPointArray pts, int width = 3, qint32 color = clBlack) {
        auto p = std::make_unique<TPolyLine>();
        p->ResetStyle();
        p->Points = std::move(pts);
        p->LineWidth = width;
        p->LineColor = color;
        return add(std::move(p));
    }
    TBezier& Curve(TRPointArray pts, int width = 3, qint32 color = clBlack) {
        auto b = std::make_unique<TBezier>();
        b->ResetStyle();
        b->Points = std::move(pts);
        b->LineWidth = width;
        b->LineColor = color;
        return add(std::move(b));
    }
    TRechteck& Box(float l, float t, float r, float b, int width = 3) {
        auto e = std::make_unique<TRechteck>(TRRect{l, t, r, b});
        plainShape(*e, width);
        return add(std::move(e));
    }
    TKreis& Circle(float cx, float cy, float radius, int width = 3) {
        auto e =
            std::make_unique<TKreis>(TRRect{cx - radius, cy - radius, cx + radius, cy + radius});
        plainShape(*e, width);
        return add(std::move(e));
    }
    TPolygon& Shape(TRPointArray pts, int width = 3) {
        auto e = std::make_unique<TPolygon>();
        e->Points = std::move(pts);
        plainShape(*e, width);
        return add(std::move(e));
    }
    // A text whose alignment point is at p.
    TText& Label(const QString& text, TRPoint p, int height = 40, qint32 alignment = taLeft,
                 qint32 color = clBlack, bool bold = false) {
        auto t = std::make_unique<TText>();
        TTextFont font;
        font.Color = color;
        font.Style = bold ? quint8(fsBold) : quint8(0);
        t->Fill = false;
        t->SetTextAndFormat(text, font, alignment, height);
        t->PlaceAt(p);
        return add(std::move(t));
    }
    TTextRect& TextBox(QStringList lines, const TRRect& r, int height = 32) {
        auto b = std::make_unique<TTextRect>();
        b->Font = TTextFont{};
        b->Font.Height = height;
        b->Fill = false;
        b->BoxAlignment = baLeft;
        b->Lines = std::move(lines);
        b->SetRect(r);
        TTextRect& ref = add(std::move(b));
        ref.LayoutLines(); // in its sheet, so its placeholders find their page
        return ref;
    }
    // A junction dot, sized from the wires through it.
    void Dot(float x, float y) {
        auto d = std::make_unique<TLoetpunkt>(TRPoint{x, y});
        d->SetAutomatic(true, 2);
        d->FillColor = clBlack;
        add(std::move(d));
    }
    // The elements added since mark, moved into one group (a symbol).
    TGruppe& Group(size_t mark) {
        auto g = std::make_unique<TGruppe>();
        for (size_t i = mark; i < m_list.size(); ++i)
            g->Add(std::move(m_list[i]));
        m_list.resize(mark);
        return add(std::move(g));
    }
    size_t Mark() const { return m_list.size(); }
    // The elements added since mark become the body of a component with designator and value
    // labels whose alignment points are given. A fixed identity keeps the file the same.
    TBauteil& Component(size_t mark, const QString& designator, const QString& value,
                        TRPoint designatorAt, TRPoint valueAt, qint32 id) {
        auto c = std::make_unique<TBauteil>();
        for (size_t i = mark; i < m_list.size(); ++i)
            c->Body->Add(std::move(m_list[i]));
        m_list.resize(mark);
        c->ComponentId = id;
        label(*c->DesignatorLabel, designator, designatorAt, 40, true);
        label(*c->ValueLabel, value, valueAt, 32, false);
        return add(std::move(c));
    }
    // A contact text with its name (a terminal of a relay).
    TKontakt& Contact(const QString& text, const QString& name, TRPoint at) {
        auto k = std::make_unique<TKontakt>();
        TTextFont font;
        font.Height = 24;
        k->SetTextAndFormat(text, font, taLeft, 24);
        k->ContactName = name;
        k->PlaceAt(at);
        return add(std::move(k));
    }
    // A dimension between two points; the value follows the sheet's scale.
    TBemassung& Dimension(quint8 kind, TRPoint a, TRPoint b, double offset, TRPoint c = {}) {
        auto d = std::make_unique<TBemassung>();
        d->Kind = kind;
        d->A = a;
        d->B = b;
        d->C = c;
        d->ExtColor = d->DimColor = clBlue;
        d->ValueLabel->Font.Color = clBlue;
        d->ArrowLength = 30;
        d->SetOffset(offset);
        d->UpdateValue(1);
        return add(std::move(d));
    }
    // A picture stretched over a world rectangle.
    TPixelBitmap& Picture(const QImage& image, const TRRect& r, qint32 id) {
        auto b = std::make_unique<TPixelBitmap>();
        b->SetImage(image);
        b->ImageId = id; // fixed, so the demonstration file comes out the same every time
        b->Corners = {TRPoint{r.Left, r.Top}, TRPoint{r.Right, r.Top}, TRPoint{r.Right, r.Bottom},
                      TRPoint{r.Left, r.Bottom}};
        return add(std::move(b));
    }
    // A connection point of a part: a small open circle on the wire.
    void Terminal(float x, float y) {
        TKreis& k = Circle(x, y, 10, 2);
        k.NoFill = false;
    }

private:
    template <class T> T& add(std::unique_ptr<T> e) {
        T& ref = *e;
        m_list.push_back(std::move(e));
        return ref;
    }
    static void label(TText& t, const QString& text, TRPoint at, int height, bool bold) {
        TTextFont font;
        font.Style = bold ? quint8(fsBold) : quint8(0);
        t.SetTextAndFormat(text, font, taLeft, height);
        t.PlaceAt(at);
    }
    static void plainShape(TElement& e, int width) {
        e.NoLine = false;
        e.NoFill = true;
        e.LineWidth = width;
        e.LineColor = clBlack;
        e.FillColor = clWhite;
        e.FillStyle = 0;
        e.ShapePenStyle = 0;
        e.TwoColor = false;
        e.InnerStripe = e.CrossStripes = false;
        e.HatchWidth = 1;
        e.HatchDistance = 20;
    }
    TElementList& m_list;
};

// The maker's mark in the title block: a bolt on a blue band.
QImage logo() {
    QImage img(180, 20, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 180, 0);
    band.setColorAt(0, QColor(0, 60, 140));
    band.setColorAt(1, QColor(120, 180, 230));
    p.fillRect(QRect(0, 0, 180, 20), band);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 0));
    const QPointF bolt[] = {{12, 1}, {22, 1}, {17, 8}, {24, 8}, {9, 19}, {14, 10}, {7, 10}};
    p.drawPolygon(bolt, 7);
    return img;
}

constexpr int kZoneRows = 4;

// Frame and title block on the form-sheet layer.
void drawFormSheet(TSchematic& s, size_t first, TElementList& list) {
    s.Box(100, 100, 4100, 2870, 5);
    s.Box(2700, 2550, 4100, 2870, 5);
    s.Line({{2700, 2650}, {4100, 2650}}, 2);
    s.Line({{2700, 2760}, {4100, 2760}}, 2);
    s.Line({{3300, 2550}, {3300, 2870}}, 2);
    s.Line({{3800, 2650}, {3800, 2870}}, 2);
    // Zone marks along the top and bottom edges.
    for (int i = 1; i < 8; ++i) {
        const float x = 100 + 500.f * i;
        s.Line({{x, 100}, {x, 160}}, 2);
        if (x < 2700) s.Line({{x, 2810}, {x, 2870}}, 2); // not into the title block
    }
    s.Picture(logo(), TRRect{2730, 2570, 3270, 2630}, 4711);
    // Title block: the sheet's name, its number among the sheets, the file and the project.
    s.Label(QStringLiteral("<PAGENAME>"), {3320, 2562}, 70, taLeft, clBlack, true);
    s.Label(QStringLiteral("Blatt <PAGENO> von <PAGECOUNT>"), {4080, 2675}, 36, taRight);
    s.Label(QStringLiteral("<FILENAME>"), {3320, 2675}, 30);
    s.Label(QStringLiteral("<VERSION>"), {3320, 2785}, 30, taLeft, clGrey);
    s.TextBox({QStringLiteral("Projekt: <Projekt>"), QStringLiteral("Bearbeiter: <Bearbeiter>")},
              {2715, 2660, 3290, 2865}, 32);
    for (int i = 0; i < 8; ++i)
        s.Label(QString::number(i + 1), {350 + 500.f * i, 110}, 36, taCenter);
    // Row marks and letters down the left edge, matching the sheet's zone grid.
    const float rowHeight = 2770.f / kZoneRows;
    for (int i = 0; i < kZoneRows; ++i) {
        if (i > 0) s.Line({{100, 100 + rowHeight * i}, {160, 100 + rowHeight * i}}, 2);
        s.Label(QString(QChar(u'A' + i)), {130, 100 + rowHeight * (i + 0.5f) - 18}, 36, taCenter);
    }
    for (size_t i = first; i < list.size(); ++i)
        list[i]->SetFormLayer(true);
}

// Rail names, a turned signal name and a note box with word wrap.
void drawLabels(TSchematic& s) {
    s.Label(QStringLiteral("L1"), {240, 375}, 40, taRight, clBlack, true);
    s.Label(QStringLiteral("N"), {240, 2175}, 40, taRight, clBlue, true);
    s.Label(QStringLiteral("PE"), {240, 2295}, 40, taRight, clGreen, true);
    TText& signal = s.Label(QStringLiteral("Meldung"), {3850, 1150}, 36, taLeft, clBlue);
    signal.RotateCorners(signal.Corners[0], -3.14159265358979323846 / 2); // reads upwards
    TTextRect& note =
        s.TextBox({QStringLiteral("Hinweis: Der Motor M1 läuft nur, solange K1 angezogen ist. Die "
                                  "Meldung geht an die übergeordnete Steuerung."),
                   QString(), QStringLiteral("Seite <PAGENO>: <PAGENAME>")},
                  {1420, 1790, 1940, 2130}, 30);
    note.Fill = true;
    note.FillColorText = 0xF0FFFF;
}

// The first sheet; returns the relay coil K1, whose contacts are its child components.
TBauteil& drawCircuit(TSchematic& s) {
    // Supply rails: L1 on top, N below, the protective earth two-coloured.
    s.Line({{300, 400}, {3800, 400}}, 6).StartEnd = leCircleWhite;
    s.Line({{300, 2200}, {3800, 2200}}, 6, clBlue).StartEnd = leCircleWhite;
    TPolyLine& pe = s.Line({{300, 2320}, {3800, 2320}}, 6, clGreen);
    pe.PenStyle = 2;
    pe.TwoColor = true;
    pe.LineColor2 = clYellow;
    pe.StartEnd = leCircleWhite;

    // Branch 1: fuse, switch, lamp.
    float x = 600;
    s.Dot(x, 400);
    s.Line({{x, 400}, {x, 600}});
    size_t mark = s.Mark();
    s.Box(x - 25, 600, x + 25, 760);
    s.Line({{x, 640}, {x, 720}}, 2);
    s.Component(mark, QStringLiteral("F1"), QStringLiteral("6 A"), {x + 50, 620}, {x + 50, 680},
                1001);
    s.Line({{x, 760}, {x, 900}});
    mark = s.Mark();
    s.Terminal(x, 900);
    s.Line({{x, 900}, {x - 70, 1050}}); // switch blade, open
    s.Terminal(x, 1060);
    s.Component(mark, QStringLiteral("S1"), QStringLiteral("Ein"), {x + 50, 930}, {x + 50, 990},
                1002);
    s.Line({{x, 1060}, {x, 1300}});
    mark = s.Mark();
    s.Circle(x, 1400, 100);
    s.Line({{x - 71, 1329}, {x + 71, 1471}}, 2);
    s.Line({{x - 71, 1471}, {x + 71, 1329}}, 2);
    s.Group(mark);
    s.Component(mark, QStringLiteral("H1"), QStringLiteral("24 V 2 W"), {x + 120, 1340},
                {x + 120, 1400}, 1003);
    s.Line({{x, 1500}, {x, 2200}});
    s.Dot(x, 2200);

    // Branch 2: resistor and LED with light arrows.
    x = 1300;
    s.Dot(x, 400);
    s.Line({{x, 400}, {x, 650}});
    mark = s.Mark();
    s.Box(x - 30, 650, x + 30, 850);
    s.Component(mark, QStringLiteral("R1"), QStringLiteral("1k5"), {x + 60, 700}, {x + 60, 760},
                1004);
    s.Line({{x, 850}, {x, 1150}});
    mark = s.Mark();
    TPolygon& led = s.Shape({{x - 70, 1150}, {x + 70, 1150}, {x, 1270}});
    led.NoFill = false;
    led.FillColor = clBlack;
    s.Line({{x - 70, 1270}, {x + 70, 1270}}, 4);
    s.Line({{x + 90, 1180}, {x + 180, 1110}}, 2).FinishEnd = leArrowFilled;
    s.Line({{x + 90, 1240}, {x + 180, 1170}}, 2).FinishEnd = leArrowFilled;
    s.Component(mark, QStringLiteral("V1"), QStringLiteral("rot"), {x + 100, 1260}, {x + 100, 1320},
                1005);
    s.Line({{x, 1270}, {x, 2200}});
    s.Dot(x, 2200);

    // Branch 3: relay coil K1; the pages of its contacts stand beside it.
    x = 2000;
    s.Dot(x, 400);
    s.Line({{x, 400}, {x, 1000}});
    mark = s.Mark();
    TRechteck& box = s.Box(x - 90, 1000, x + 90, 1120, 4);
    box.NoFill = false;
    box.FillStyle = 5;
    box.FillColor = clGrey;
    box.HatchWidth = 2;
    box.HatchDistance = 30;
    s.Contact(QStringLiteral("A1"), QStringLiteral("A1"), {x + 10, 960});
    s.Contact(QStringLiteral("A2"), QStringLiteral("A2"), {x + 10, 1125});
    s.Label(QStringLiteral("Kontakte: Blatt <CHILD_PAGENO>"), {x - 90, 1200}, 28, taLeft, clGrey);
    TBauteil& coil = s.Component(mark, QStringLiteral("K1"), QStringLiteral("24 V DC"),
                                 {x + 110, 1010}, {x + 110, 1070}, 1006);
    coil.IsParent = true;
    coil.ExtraText[0] = QStringLiteral("Finder 40.52");
    s.Line({{x, 1120}, {x, 2200}});
    s.Dot(x, 2200);
    TPolyLine& link = s.Line({{x + 90, 1060}, {2640, 1060}}, 2, clGrey);
    link.PenStyle = 2;

    // Branch 4: normally open contact of K1 (a child component) and a motor.
    x = 2700;
    s.Dot(x, 400);
    s.Line({{x, 400}, {x, 960}});
    mark = s.Mark();
    s.Terminal(x, 960);
    s.Line({{x, 960}, {x - 60, 1140}});
    s.Terminal(x, 1160);
    s.Contact(QStringLiteral("13"), QStringLiteral("13"), {x + 20, 900});
    s.Contact(QStringLiteral("14"), QStringLiteral("14"), {x + 20, 1170});
    s.Component(mark, QStringLiteral("<PARENT_ID>"), QStringLiteral("/<PARENT_PAGENO>"),
                {x + 60, 1000}, {x + 60, 1060}, 1007)
        .SetParent(&coil);
    s.Line({{x, 1160}, {x, 1480}});
    mark = s.Mark();
    TKreis& motor = s.Circle(x, 1600, 120, 4);
    motor.NoFill = false;
    motor.FillColor = clLightGrey;
    TKreis& rotation = s.Circle(x, 1600, 170, 2);
    rotation.StartAngle = 0.6f;
    rotation.StopAngle = 2.4f;
    rotation.ArcStyle = TKreis::asArc;
    rotation.UpdateGrips();
    s.Curve({{x + 140, 1480}, {x + 180, 1530}, {x + 190, 1580}, {x + 185, 1640}}, 2).FinishEnd =
        leArrowOpen;
    s.Component(mark, QStringLiteral("M1"), QStringLiteral("0,75 kW"), {x + 160, 1680},
                {x + 160, 1740}, 1008);
    s.Line({{x, 1720}, {x, 2200}});
    s.Dot(x, 2200);
    s.Line({{x + 60, 1690}, {x + 60, 2320}}, 3, clGreen);
    s.Dot(x + 60, 2320);

    // Branch 5: capacitor in a shielded area, and a signal going out.
    x = 3400;
    s.Dot(x, 400);
    s.Line({{x, 400}, {x, 1180}});
    mark = s.Mark();
    s.Line({{x - 90, 1180}, {x + 90, 1180}}, 8);
    s.Line({{x - 90, 1230}, {x + 90, 1230}}, 8);
    s.Component(mark, QStringLiteral("C1"), QStringLiteral("100 nF"), {x + 110, 1150},
                {x + 110, 1210}, 1009);
    s.Line({{x, 1230}, {x, 2200}});
    s.Dot(x, 2200);
    TRechteck& shield = s.Box(x - 200, 1050, x + 200, 1360, 2);
    shield.ShapePenStyle = 3;
    shield.NoFill = false;
    shield.FillStyle = 7;
    shield.FillColor = 0xC0C0C0;
    shield.HatchWidth = 1;
    shield.HatchDistance = 40;
    shield.CornerStyle = TRechteck::csRounded;
    shield.SetRoundingPercent(25);
    TPolyLine& signal = s.Line({{x, 800}, {3900, 800}}, 3, clBlue);
    signal.FinishEnd = leArrowOpen;
    signal.StartEnd = leSquareFilled;

    // A cable from the motor to a connector, with a centre stripe and cross bars.
    TBezier& cable = s.Curve({{2760, 1720},
                              {2900, 2000},
                              {3100, 1700},
                              {3200, 1900},
                              {3300, 2100},
                              {3500, 1950},
                              {3650, 1600}},
                             10, 0x404040);
    cable.InnerStripe = true;
    cable.InnerStripeColor = clYellow;
    cable.CrossStripes = true;
    cable.CrossStripeColor = clBlue;
    cable.StartEnd = leDiamondFilled;
    TPolygon& plug = s.Shape(
        {{3650, 1530}, {3740, 1530}, {3790, 1600}, {3740, 1670}, {3650, 1670}, {3600, 1600}});
    plug.NoFill = false;
    plug.FillColor = clLightGrey;

    // Terminal strip X1 with chamfered boxes, and the protective earth symbol.
    mark = s.Mark();
    for (int i = 0; i < 6; ++i) {
        TRechteck& t = s.Box(300 + 120.f * i, 2500, 400 + 120.f * i, 2600, 2);
        t.CornerStyle = TRechteck::csChamfered;
        t.SetRoundingPercent(30);
        t.NoFill = false;
        t.FillColor = i % 2 ? clLightGrey : clWhite;
    }
    s.Component(mark, QStringLiteral("X1"), QStringLiteral("Klemmen 1-6"), {300, 2620}, {620, 2620},
                1010);
    s.Line({{1200, 2320}, {1200, 2450}}, 3, clGreen);
    s.Line({{1130, 2450}, {1270, 2450}}, 4);
    s.Line({{1155, 2480}, {1245, 2480}}, 4);
    s.Line({{1180, 2510}, {1220, 2510}}, 4);
    s.Dot(1200, 2320);

    // A measuring point with a two-colour dotted leader and a bar end.
    TPolyLine& leader = s.Line({{1300, 1700}, {1600, 1700}, {1700, 1600}}, 4, clBlack);
    leader.PenStyle = 5;
    leader.TwoColor = true;
    leader.LineColor2 = clYellow;
    leader.StartEnd = leBar;
    leader.FinishEnd = leCircleFilled;
    TKreis& probe = s.Circle(1780, 1520, 60, 2);
    probe.ArcStyle = TKreis::asPie;
    probe.StartAngle = 0;
    probe.StopAngle = 4.7f;
    probe.UpdateGrips();
    probe.NoFill = false;
    probe.FillColor = clYellow;
    return coil;
}

// The second sheet: two more contacts of K1 switch the signal lamps, and the mounting plate of
// the control box with its dimensions.
void drawSignals(TSchematic& s, TBauteil& coil) {
    s.Label(QStringLiteral("L1"), {240, 375}, 40, taRight, clBlack, true);
    s.Label(QStringLiteral("N"), {240, 1775}, 40, taRight, clBlue, true);
    s.Line({{300, 400}, {2200, 400}}, 6).StartEnd = leCircleWhite;
    s.Line({{300, 1800}, {2200, 1800}}, 6, clBlue).StartEnd = leCircleWhite;
    const struct {
        float x;
        const char* open;
        const char* close;
        const char* lamp;
        const char* value;
        qint32 id;
    } lamps[] = {{800, "23", "24", "H2", "grün", 2001}, {1600, "33", "34", "H3", "gelb", 2003}};
    for (const auto& l : lamps) {
        const float x = l.x;
        s.Dot(x, 400);
        s.Line({{x, 400}, {x, 700}});
        size_t mark = s.Mark();
        s.Terminal(x, 700);
        s.Line({{x, 700}, {x - 60, 880}});
        s.Terminal(x, 900);
        s.Contact(QString::fromUtf8(l.open), QString::fromUtf8(l.open), {x + 20, 640});
        s.Contact(QString::fromUtf8(l.close), QString::fromUtf8(l.close), {x + 20, 910});
        s.Component(mark, QStringLiteral("<PARENT_ID>"), QStringLiteral("/<PARENT_PAGENO>"),
                    {x + 60, 740}, {x + 60, 800}, l.id)
            .SetParent(&coil);
        s.Line({{x, 900}, {x, 1200}});
        mark = s.Mark();
        s.Circle(x, 1300, 100);
        s.Line({{x - 71, 1229}, {x + 71, 1371}}, 2);
        s.Line({{x - 71, 1371}, {x + 71, 1229}}, 2);
        s.Component(mark, QString::fromUtf8(l.lamp), QString::fromUtf8(l.value), {x + 120, 1240},
                    {x + 120, 1300}, l.id + 1);
        s.Line({{x, 1400}, {x, 1800}});
        s.Dot(x, 1800);
    }

    // Mounting plate, 120 x 80 mm, one corner chamfered, four holes of 6 mm.
    const float l = 2700, t = 1000, r = 3900, b = 1800;
    s.Label(QStringLiteral("Montageplatte"), {l, t - 250}, 40, taLeft, clBlack, true);
    TPolygon& plate = s.Shape({{l, t}, {r - 150, t}, {r, t + 150}, {r, b}, {l, b}}, 4);
    plate.NoFill = false;
    plate.FillColor = clLightGrey;
    for (TRPoint h : {TRPoint{l + 100, t + 100}, TRPoint{r - 100, t + 250},
                      TRPoint{r - 100, b - 100}, TRPoint{l + 100, b - 100}})
        s.Circle(h.X, h.Y, 30, 2);
    s.Dimension(TBemassung::bkStandard, {l, b}, {r, b}, -150);
    s.Dimension(TBemassung::bkStandard, {r, t + 150}, {r, b}, 100);
    s.Dimension(TBemassung::bkStandard, {l + 100, b - 100}, {r - 100, b - 100}, -60);
    TBemassung& hole =
        s.Dimension(TBemassung::bkDiameter, {l + 70, t + 100}, {l + 130, t + 100}, 60);
    hole.ShowDiameter = true;
    hole.UpdateValue(1);
    TBemassung& radius =
        s.Dimension(TBemassung::bkRadial, {r - 100, b - 100}, {r - 121.2f, b - 121.2f}, 0);
    radius.Prefix = QStringLiteral("R");
    radius.UpdateValue(1);
    s.Dimension(TBemassung::bkAngle, {r - 300, t}, {r, t + 150}, 0, {r - 150, t});
}

int demo(const QStringList& args) {
    if (args.size() != 1) {
        CliError(QStringLiteral("usage: kavro-cli demo OUT.kav8"));
        return ExitUsage;
    }
    // A fixed seed gives the same identities, so the demo is the same file on every run.
    SeedIdentities(20261211);
    TDocument doc;
    doc.New();
    doc.UserVariables = {{QStringLiteral("Projekt"), QStringLiteral("Demo-Anlage")},
                         {QStringLiteral("Bearbeiter"), QStringLiteral("Kavro")}};
    TEditor& first = doc.Sheet(0);
    first.SheetName = QStringLiteral("Steuerung");
    TEditor& second = doc.CreateSheet(false);
    second.SheetName = QStringLiteral("Meldungen");
    for (TEditor* sheet : {&first, &second}) {
        sheet->SheetWidth = 420;
        sheet->SheetHeight = 297;
        // The circuit is drawn on a 5 mm grid, which the view shows at the whole-sheet zoom.
        sheet->GridSize = 50;
        // The zones are the frame's: eight columns of 50 mm, rows A to D.
        sheet->ZoneGrid.OffsetX = sheet->ZoneGrid.OffsetY = 100;
        sheet->ZoneGrid.Width = 4000;
        sheet->ZoneGrid.Height = 2770;
        sheet->ZoneGrid.Columns = 8;
        sheet->ZoneGrid.Rows = kZoneRows;
    }
    TSchematic s1(first.Elements);
    drawFormSheet(s1, 0, first.Elements);
    TBauteil& coil = drawCircuit(s1);
    drawLabels(s1);
    TSchematic s2(second.Elements);
    drawFormSheet(s2, 0, second.Elements);
    drawSignals(s2, coil);
    doc.ShowSheet(0);
    // Labels and texts show what they will show on the screen; dots take their size.
    RefreshPageDependentLabels(doc, true);
    for (TEditor* sheet : {&first, &second})
        UpdateAutoJunctions(sheet->Elements, TView{});
    return WriteCliFile(doc, args.at(0), FileKind::Document) ? ExitOk : ExitCannotWrite;
}

const CliCommand command("demo", "demo OUT.kav8",
                         "writes the demonstration document: a control schematic on two A3 "
                         "sheets drawn with every element type",
                         demo);
} // namespace
