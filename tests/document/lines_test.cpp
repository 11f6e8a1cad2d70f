// Documents holding the program's own line and shape types: round trips and the clean-up of old
// files.
#include "bytes.h"
#include "files.h"
#include "fixture.h"

#include "elements/Kreis.h"
#include "elements/Polyline.h"
#include "elements/polygon.h"

namespace {

class DocumentLines : public DocumentFixture {};

QByteArray PolyLineEntryV55(const QList<TRPoint>& points) {
    TBytes b;
    b.u8(etPolyLine).raw(CommonHeader()).i32(qint32(points.size()) - 1);
    for (const TRPoint& p : points) b.f32(p.X).f32(p.Y);
    return b.i32(0x0000FF).u8(0); // LineColor2, TwoColor (from version 50)
}

// Version-79 records of an ellipse and a polygon: header, points, (ellipse: centre and angles),
// the two-colour fields.
QByteArray EllipseEntryV79(int points) {
    TBytes b;
    b.u8(etKreis).raw(CommonHeader()).i32(points - 1);
    for (int i = 0; i < points; ++i) b.f32(float(i)).f32(float(i * i));
    return b.f32(0).f32(0).f32(0).f32(2).u8(0).i32(0xFF).i32(0);
}

QByteArray PolygonEntryV79(int points) {
    TBytes b;
    b.u8(etPolygon).raw(CommonHeader()).i32(points - 1);
    for (int i = 0; i < points; ++i) b.f32(float(i)).f32(float(10 - i));
    return b.u8(0).i32(0xFF).i32(0);
}

QByteArray PolyLineEntryV79(int points) {
    TBytes b;
    b.u8(etPolyLine).raw(CommonHeader()).i32(points - 1);
    for (int i = 0; i < points; ++i) b.f32(float(i)).f32(1);
    return b.i32(0xFF).u8(0).u8(0).u8(0).i32(2);
}

QByteArray LegacyLineEntry(TRPoint a, TRPoint b) {
    return TBytes().u8(etLinie).raw(CommonHeader(true)).f32(a.X).f32(a.Y).f32(b.X).f32(b.Y);
}

} // namespace

TEST_F(DocumentLines, PolylinesRoundTripExactly) {
    TDocument doc;
    doc.New();
    for (int i = 0; i < 3; ++i) {
        auto p = std::make_unique<TPolyLine>();
        p->Points = {{float(i), 2.5f}, {10.25f, float(-i)}, {7, 7}};
        p->LineWidth = 3 + i;
        p->LineColor = 0x00AA00 + i;
        p->StartEnd = 1;
        p->EndSize = 4;
        p->InnerStripe = i == 1;
        doc.Sheet(0).Elements.push_back(std::move(p));
    }
    ASSERT_TRUE(SaveDocumentFile(doc, Path("lines.kav8"), FileKind::Document));
    TDocument back;
    ASSERT_TRUE(LoadDocumentFile(back, Path("lines.kav8"), FileKind::Document));
    ASSERT_EQ(back.Sheet(0).Elements.size(), 3u);
    auto* p = dynamic_cast<TPolyLine*>(back.Sheet(0).Elements[1].get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Points, (TRPointArray{{1, 2.5f}, {10.25f, -1}, {7, 7}}));
    EXPECT_EQ(p->LineWidth, 4);
    EXPECT_TRUE(p->InnerStripe);
    ASSERT_TRUE(SaveDocumentFile(back, Path("again.kav8"), FileKind::Document));
    EXPECT_EQ(Read(Path("lines.kav8")), Read(Path("again.kav8")));
}

TEST_F(DocumentLines, OldFilesAreCleanedUpWhileRead) {
    TDocPlan plan;
    plan.Version = 55;
    plan.Sheets[0].Elements = ElementList({
        PolyLineEntryV55({{0, 0}, {10, 0}}),
        LegacyLineEntry({1.4f, 2.6f}, {30, 40}),
        PolyLineEntryV55({{5, 5}}), // one point: dropped
        ShapeEntry(77),
        PolyLineEntryV55({}), // no point: dropped
        PolyLineEntryV55({{1, 1}, {2, 2}, {3, 3}}),
    });
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("old.kav", DocumentFile(plan)), FileKind::Document));
    const auto& list = doc.Sheet(0).Elements;
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0]->TypeCode, etPolyLine);
    auto* converted = dynamic_cast<TPolyLine*>(list[1].get());
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(converted->Points, (TRPointArray{{1, 3}, {30, 40}}));
    EXPECT_TRUE(converted->FormLayer);
    EXPECT_EQ(list[2]->TypeCode, kTestShapeCode);
    EXPECT_EQ(dynamic_cast<TPolyLine*>(list[3].get())->PointCount(), 3);

    // Degenerate shapes of a newer old file: an ellipse without outline points, polygons below
    // three points and a polyline below two disappear; the rest keep their order.
    TDocPlan shapes;
    shapes.Version = 79;
    shapes.Sheets[0].Elements = ElementList({EllipseEntryV79(0), PolygonEntryV79(3), ShapeEntry(1),
                                             PolygonEntryV79(2), EllipseEntryV79(32),
                                             PolyLineEntryV79(1), PolygonEntryV79(0),
                                             PolyLineEntryV79(2)});
    TDocument shaped;
    ASSERT_TRUE(LoadDocumentFile(shaped, Write("shapes.kav", DocumentFile(shapes)), FileKind::Document));
    std::vector<int> codes;
    for (const auto& e : shaped.Sheet(0).Elements) codes.push_back(e->TypeCode);
    EXPECT_EQ(codes, (std::vector<int>{etPolygon, kTestShapeCode, etKreis, etPolyLine}));

    // Inside a component's body the same rules hold.
    TDocPlan nested;
    nested.Version = 55;
    nested.Sheets[0].Elements = ElementList(
        {ComponentEntry(1, 0, {PolyLineEntryV55({{5, 5}}), LegacyLineEntry({0, 0}, {1, 1})})});
    TDocument doc2;
    ASSERT_TRUE(LoadDocumentFile(doc2, Write("nested.kav", DocumentFile(nested)), FileKind::Document));
    auto* c = dynamic_cast<TTestComponent*>(doc2.Sheet(0).Elements[0].get());
    ASSERT_EQ(c->Body.size(), 1u);
    EXPECT_EQ(c->Body[0]->TypeCode, etPolyLine);
}
