#include "elements/Bemassung.h"
#include "elements/Gruppe.h"
#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/SVG_Export.h"
#include "elements/bauteil.h"
#include "elements/elementdump.h"
#include "elements/elementlist.h"
#include "elements/lpunkt.h"
#include "shape_test_util.h"

#include <QImage>
#include <QJsonArray>
#include <QPainter>

namespace {
std::unique_ptr<TPolyLine> Line(std::initializer_list<TRPoint> pts, int width = 2) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->Points = pts;
    p->LineWidth = width;
    return p;
}

std::unique_ptr<TLoetpunkt> Dot(TRPoint at) {
    auto d = std::make_unique<TLoetpunkt>(at);
    d->ResetStyle();
    return d;
}

std::unique_ptr<TGruppe> Group(TElementList children) {
    auto g = std::make_unique<TGruppe>();
    for (TElementPtr& c : children)
        g->Children.push_back(std::move(c));
    return g;
}

template <class... T> TElementList List(std::unique_ptr<T>... e) {
    TElementList l;
    (l.push_back(std::move(e)), ...);
    return l;
}

// Records whether it was drawn as part of a group.
class TProbe : public TPolyLine {
public:
    bool DrawnInGroup = false;
    void Draw(TDrawContext& dc) override {
        DrawnInGroup = g_ElementSwitches.DrawingInsideGroup;
        TPolyLine::Draw(dc);
    }
};
} // namespace

TEST(Gruppe, ReadingAppliesTheListRulesToTheChildren) {
    const QByteArray bytes = Bytes([](TStreamWriter& w) {
        w.WriteI32(2); // three children
        WriteElement(w, *Line({{0, 0}, {10, 0}}));
        WriteElement(w, *Line({{5, 5}})); // a one-point line is dropped
        WriteElement(w, *Dot({7, 8}));
    });
    std::unique_ptr<TGruppe> g = LoadRecord<TGruppe>(bytes);
    ASSERT_EQ(g->ChildCount(), 2);
    EXPECT_EQ(g->Child(0).TypeCode, etPolyLine);
    EXPECT_EQ(g->Child(1).TypeCode, etLoetpunkt);
    EXPECT_EQ(g->Child(1).GetRefPoint(), (TRPoint{7, 8}));

    // An empty list is stored as -1 and nothing else.
    EXPECT_EQ(SaveRecord(TGruppe()).toHex(), QByteArray("ffffffff"));
    // A child that cannot be read makes the group unreadable.
    TGruppe broken;
    TStreamReader r(bytes.left(bytes.size() - 3));
    EXPECT_THROW(broken.LoadFromStream(r), LoadError);
}

TEST(Gruppe, TheLastChildDecidesTheLayer) {
    struct Case {
        const char* name;
        bool a, b, c;
    } cases[] = {
        {"form, drawing, drawing", true, false, false},
        {"drawing, drawing, form", false, false, true},
        {"form, form, drawing", true, true, false},
    };
    for (const Case& c : cases) {
        auto l1 = Line({{0, 0}, {1, 1}});
        auto l2 = Line({{0, 0}, {2, 2}});
        auto l3 = Line({{0, 0}, {3, 3}});
        l1->SetFormLayer(c.a);
        l2->SetFormLayer(c.b);
        l3->SetFormLayer(c.c);
        const QByteArray bytes = Bytes([&](TStreamWriter& w) {
            w.WriteI32(2);
            WriteElement(w, *l1);
            WriteElement(w, *l2);
            WriteElement(w, *l3);
        });
        std::unique_ptr<TGruppe> g = LoadRecord<TGruppe>(bytes);
        EXPECT_EQ(g->FormLayer, c.c) << c.name;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(g->Child(i).FormLayer, c.c) << c.name << ", child " << i;
    }
}

TEST(Gruppe, SnapsToTheNearestChildResult) {
    // Both dots would take the point; the second one is nearer.
    auto g = Group(List(Dot({0, 0}), Dot({6, 0}), Line({{100, 100}, {200, 100}})));
    const TView view;
    TRPoint p{4, 1};
    ASSERT_TRUE(g->SnapToPoint(view, p));
    EXPECT_EQ(p, (TRPoint{6, 0}));
    TRPoint far{50, 50};
    EXPECT_FALSE(g->SnapToPoint(view, far));
    EXPECT_EQ(far, (TRPoint{50, 50}));
    std::vector<TRPoint*> pts;
    g->AddSnapPoints(pts);
    EXPECT_EQ(pts.size(), 4u); // two dots and two line vertices
}

TEST(Gruppe, ReferencePointIsTheTopLeftMostChild) {
    struct Case {
        const char* name;
        std::vector<TRPoint> refs;
        TRPoint expected;
    } cases[] = {
        {"one child", {{10, 10}}, {10, 10}},
        {"further left but lower keeps the first", {{10, 10}, {5, 20}}, {10, 10}},
        {"same x, higher replaces", {{10, 10}, {10, 5}}, {10, 5}},
        {"left and higher replaces", {{10, 10}, {3, 2}}, {3, 2}},
        {"right and higher keeps", {{10, 10}, {20, 2}}, {10, 10}},
        {"rounded: 10.4 counts as 10", {{10, 10}, {10.4f, 9}}, {10.4f, 9}},
        {"rounded: equal y does not replace", {{10, 10}, {9, 10.4f}}, {10, 10}},
    };
    for (const Case& c : cases) {
        TGruppe g;
        for (TRPoint p : c.refs)
            g.Add(Dot(p));
        EXPECT_EQ(g.GetRefPoint(), c.expected) << c.name;
    }
}

TEST(Gruppe, EmptyGroupIsAPointThatFollowsTheTransforms) {
    TGruppe g;
    EXPECT_EQ(g.GetBounds(), (TRRect{0, 0, 0, 0}));
    auto full = Group(List(Line({{30, 40}, {50, 60}}), Dot({20, 45})));
    TElementList taken = full->TakeChildren();
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_EQ(full->ChildCount(), 0);
    EXPECT_EQ(full->GetRefPoint(), (TRPoint{30, 40}));
    full->MoveBy({5, -5});
    EXPECT_EQ(full->GetBounds(), (TRRect{35, 35, 35, 35}));
    const TView view;
    EXPECT_FALSE(full->HitRect(view, {-1000, -1000, 1000, 1000}, true));
    EXPECT_FALSE(full->HitPoint(view, {35, 35}));
}

TEST(Gruppe, OperationsReachEveryChild) {
    auto inner = Group(List(Dot({100, 100})));
    auto g = Group(List(Line({{0, 0}, {10, 0}}, 4), std::move(inner)));
    auto* line = static_cast<TPolyLine*>(&g->Child(0));
    auto* dot = static_cast<TLoetpunkt*>(&static_cast<TGruppe&>(g->Child(1)).Child(0));
    dot->FillColor = 0x00FF00;
    dot->SetDiameter(10);

    EXPECT_EQ(g->GetBounds(), (TRRect{-2, -2, 105, 105}));
    g->MoveBy({10, 20});
    EXPECT_EQ(line->Points[0], (TRPoint{10, 20}));
    EXPECT_EQ(dot->Position, (TRPoint{110, 120}));
    g->MirrorX({0, 0});
    EXPECT_EQ(dot->Position.X, -110);
    g->SetColor(0x0000FF);
    EXPECT_EQ(line->LineColor, 0x0000FF);
    EXPECT_EQ(dot->FillColor, 0x0000FF);
    g->SetSelected(true);
    g->SetVisible(false);
    g->SetFormLayer(true);
    EXPECT_TRUE(line->Selected && dot->Selected);
    EXPECT_FALSE(line->Visible || dot->Visible);
    EXPECT_TRUE(line->FormLayer && dot->FormLayer && g->FormLayer);

    std::vector<TRPoint*> grips;
    g->AddGrips(grips);
    EXPECT_TRUE(grips.empty()) << "a group has no grips of its own";
    std::vector<TElement*> children;
    g->AppendChildren(children);
    EXPECT_EQ(children.size(), 2u);

    TSVG svg;
    g->SetVisible(true);
    g->WriteSvg(svg);
    EXPECT_EQ(svg.SvgLines.size(), 2) << "the line and the nested dot";
}

TEST(Gruppe, HitTests) {
    auto g = Group(List(Line({{10, 10}, {50, 10}}), Line({{10, 60}, {50, 60}})));
    const TView view;
    EXPECT_TRUE(g->HitPoint(view, {30, 60}));
    EXPECT_FALSE(g->HitPoint(view, {30, 35}));
    EXPECT_TRUE(g->HitRect(view, {0, 0, 60, 70}, true));
    EXPECT_FALSE(g->HitRect(view, {0, 0, 60, 30}, true)) << "the second line is outside";
    EXPECT_TRUE(g->HitRect(view, {0, 0, 60, 30}, false));
    EXPECT_FALSE(g->HitRect(view, {0, 25, 60, 45}, false));
}

TEST(Gruppe, ChildrenDrawAsPartsOfAGroup) {
    auto probe = std::make_unique<TProbe>();
    probe->Points = {{5, 5}, {40, 5}};
    TProbe* p = probe.get();
    TGruppe g;
    g.Children.push_back(std::move(probe));
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    TDrawContext dc(painter, TView{}, true);
    g.Draw(dc);
    EXPECT_TRUE(p->DrawnInGroup);
    EXPECT_FALSE(g_ElementSwitches.DrawingInsideGroup) << "restored afterwards";
    p->DrawnInGroup = false;
    g.SetVisible(false);
    g.Draw(dc);
    EXPECT_FALSE(p->DrawnInGroup) << "an invisible group draws nothing";
}

TEST(Gruppe, NestedRecordRoundTripsAndDumps) {
    auto inner = Group(List(Dot({1, 2}), Line({{0, 0}, {3, 4}})));
    auto g = Group(List(std::make_unique<TRechteck>(TRRect{0, 0, 10, 10}), std::move(inner)));
    const QByteArray saved = SaveRecord(*g);
    EXPECT_EQ(saved.left(5).toHex(), QByteArray("0100000002")) << "count minus one, then a type";
    std::unique_ptr<TGruppe> back = LoadRecord<TGruppe>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());

    const QJsonObject dump = DumpElement(*back);
    EXPECT_EQ(dump.value("type").toString(), QStringLiteral("TGruppe"));
    EXPECT_FALSE(dump.contains("LineColor")) << "a group has no header";
    const QJsonArray children = dump.value("Children").toArray();
    ASSERT_EQ(children.size(), 2);
    const QJsonArray nested = children.at(1).toObject().value("Children").toArray();
    ASSERT_EQ(nested.size(), 2);
    EXPECT_EQ(nested.at(0).toObject().value("type").toString(), QStringLiteral("TLoetpunkt"));
    EXPECT_EQ(nested.at(0).toObject().value("Diameter").toInt(), 12);
}

TEST(Gruppe, GroupCommandTakesTheSelectionInListOrder) {
    TElementList list;
    list.push_back(Line({{0, 0}, {1, 0}}));
    list.push_back(Line({{0, 0}, {2, 0}}));
    list.push_back(Line({{0, 0}, {3, 0}}));
    list.push_back(Line({{0, 0}, {4, 0}}));
    list.push_back(Line({{0, 0}, {5, 0}}));
    TElement* a = list[0].get();
    TElement* label = list[1].get();
    TElement* c = list[3].get();
    label->IsLabel = true;
    // Selected in another order than the list's.
    TGruppe* g = GroupElements(list, {c, label, a}, true);
    ASSERT_TRUE(g);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].get(), label) << "label stand-ins stay out";
    EXPECT_EQ(static_cast<TPolyLine&>(*list[1]).Points[1].X, 3);
    EXPECT_EQ(list[2].get(), g) << "where the last taken element stood";
    EXPECT_EQ(static_cast<TPolyLine&>(*list[3]).Points[1].X, 5);
    ASSERT_EQ(g->ChildCount(), 2);
    EXPECT_EQ(&g->Child(0), a);
    EXPECT_EQ(&g->Child(1), c);
    EXPECT_TRUE(g->FormLayer);
    EXPECT_EQ(GroupElements(list, {label}, false), nullptr);
    EXPECT_EQ(list.size(), 4u);
}

// Every container answers ChildAt with the children AppendChildren lists, position by position,
// and with none past the last: caches of where elements sit check their paths through it.
TEST(Gruppe, ChildAtAgreesWithAppendChildrenForEveryContainer) {
    TGruppe group;
    group.Add(Line({{0, 0}, {10, 0}}));
    group.Add(std::make_unique<TLoetpunkt>());
    TBauteil component;
    TBemassung dimension;
    TElement* const containers[] = {&group, &component, &dimension};
    for (TElement* e : containers) {
        SCOPED_TRACE(ElementClassName(e->TypeCode));
        std::vector<TElement*> children;
        e->AppendChildren(children);
        ASSERT_FALSE(children.empty());
        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(e->ChildAt(i), children[i]) << i;
        EXPECT_EQ(e->ChildAt(children.size()), nullptr);
    }
    EXPECT_EQ(TGruppe().ChildAt(0), nullptr);
    EXPECT_EQ(Line({{0, 0}, {1, 1}})->ChildAt(0), nullptr);
}
