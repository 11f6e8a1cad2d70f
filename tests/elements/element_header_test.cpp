#include "elements/element.h"
#include "platform/stream.h"

#include <gtest/gtest.h>

namespace {
// Smallest concrete element: the header and nothing else.
class HeaderOnly : public TElement {
public:
    explicit HeaderOnly(quint8 code) : TElement(code) {}
    bool HitPoint(const TView&, QPoint) const override { return false; }
    void Draw(TDrawContext&) override {}
    void MoveBy(TRPoint) override {}
    TRRect GetBounds() const override { return {}; }
    void ScaleAt(TRPoint, double, double) override {}
    void ShearAt(TRPoint, double, double) override {}
    void RotateAt(TRPoint, double) override {}
    void MirrorX(TRPoint) override {}
    void MirrorY(TRPoint) override {}
    void LoadFromStream(TStreamReader& s) override { LoadHeader(s); }
    TRPoint GetRefPoint() const override { return {}; }
    bool HitRect(const TView&, const TIRect&, bool) const override { return false; }
};

QByteArray header(bool noLine, bool noFill, qint32 width, qint32 color, quint8 pen, qint32 fill) {
    QByteArray b;
    TStreamWriter w(&b);
    w.WriteBool(noLine);
    w.WriteBool(noFill);
    w.WriteI32(width);
    w.WriteI32(color);
    w.WriteU8(pen);
    w.WriteRaw("\x01\x02\x03", 3);
    w.WriteI32(fill);
    w.WriteU8(4);
    w.WriteRaw("\x05\x06\x07", 3);
    w.WriteBool(true);
    return b;
}
} // namespace

TEST(ElementHeader, StoredLayoutIs23BytesAndRoundTrips) {
    const QByteArray in = header(false, true, 7, 0x123456, 3, 0x00FF00);
    ASSERT_EQ(in.size(), 23);
    HeaderOnly e(etPolyLine);
    TStreamReader r(in);
    e.LoadFromStream(r);
    EXPECT_EQ(e.LineWidth, 7);
    EXPECT_EQ(e.LineColor, 0x123456);
    EXPECT_EQ(e.PenStyle, 3);
    EXPECT_EQ(e.FillColor, 0x00FF00);
    EXPECT_EQ(e.FillStyle, 4);
    EXPECT_TRUE(e.FormLayer);
    QByteArray out;
    TStreamWriter w(&out);
    e.SaveToStream(w);
    EXPECT_EQ(out.toHex(), in.toHex()); // reserved bytes survive too
}

TEST(ElementHeader, ReadingRules) {
    struct Case {
        const char* name;
        quint8 type;
        QByteArray bytes;
        bool noLine;
        qint32 width, color;
        quint8 pen;
        qint32 fill;
    } cases[] = {
        {"invisible ellipse made visible", etKreis, header(true, true, 9, 0x0000FF, 2, 0x00FF00),
         false, 0, 0, 0, 0x00FF00},
        {"invisible rectangle made visible", etRechteck, header(true, true, 9, 5, 2, 1), false, 0,
         0, 0, 1},
        {"polyline keeps its flags", etPolyLine, header(true, true, 9, 0x0000FF, 2, 7), true, 9,
         0x0000FF, 2, 7},
        {"negative colours become black", etText,
         header(false, false, 1, qint32(0xFF000000), 0, -5), false, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        HeaderOnly e(c.type);
        TStreamReader r(c.bytes);
        e.LoadFromStream(r);
        EXPECT_EQ(e.NoLine, c.noLine) << c.name;
        EXPECT_EQ(e.LineWidth, c.width) << c.name;
        EXPECT_EQ(e.LineColor, c.color) << c.name;
        EXPECT_EQ(e.PenStyle, c.pen) << c.name;
        EXPECT_EQ(e.FillColor, c.fill) << c.name;
    }
    HeaderOnly cut(etKreis);
    TStreamReader r(header(false, false, 1, 1, 1, 1).left(20));
    EXPECT_THROW(cut.LoadFromStream(r), LoadError);
}

TEST(ElementHeader, SetColorSparesWhite) {
    HeaderOnly e(etRechteck);
    e.LineColor = clBlack;
    e.FillColor = clWhite;
    e.SetColor(0x0000FF);
    EXPECT_EQ(e.LineColor, 0x0000FF);
    EXPECT_EQ(e.FillColor, clWhite);
}
