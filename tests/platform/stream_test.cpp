#include "platform/cp1252.h"
#include "platform/stream.h"

#include <QBuffer>
#include <gtest/gtest.h>

TEST(Stream, RoundTripIsLittleEndian) {
    QByteArray bytes;
    {
        TStreamWriter w(&bytes);
        w.WriteU8(0xAB);
        w.WriteI32(-2);
        w.WriteF32(1.5f);
        w.WriteF64(-0.25);
        w.WriteString(QStringLiteral("Ω1"));
        w.WriteShortString(QStringLiteral("KAVRO80"), 11);
    }
    const QByteArray expected = QByteArray::fromHex("ab" "feffffff" "0000c03f" "000000000000d0bf"
                                                    "02000000" "a903" "3100"
                                                    "074b4156524f3830" "000000");
    EXPECT_EQ(bytes.toHex(), expected.toHex());

    TStreamReader r(bytes);
    EXPECT_EQ(r.ReadU8(), 0xAB);
    EXPECT_EQ(r.ReadI32(), -2);
    EXPECT_EQ(r.ReadF32(), 1.5f);
    EXPECT_EQ(r.ReadF64(), -0.25);
    EXPECT_EQ(r.ReadString(), QStringLiteral("Ω1"));
    EXPECT_EQ(r.ReadShortString(11), QStringLiteral("KAVRO80"));
    EXPECT_TRUE(r.AtEnd());
}

TEST(Stream, ShortReadsAndImpossibleCountsThrow) {
    struct Case {
        const char* name;
        QByteArray bytes;
        void (*read)(TStreamReader&);
    } cases[] = {
        {"int32 from 3 bytes", QByteArray::fromHex("010203"), [](TStreamReader& r) { r.ReadI32(); }},
        {"string longer than data", QByteArray::fromHex("ffffff7f4100"),
         [](TStreamReader& r) { r.ReadString(); }},
        {"negative string length", QByteArray::fromHex("feffffff"), [](TStreamReader& r) { r.ReadString(); }},
        {"ansi string cut", QByteArray::fromHex("0500000041"), [](TStreamReader& r) { r.ReadAnsiString(); }},
        {"short string field cut", QByteArray::fromHex("0341"), [](TStreamReader& r) { r.ReadShortString(31); }},
        {"count check", QByteArray(8, '\0'), [](TStreamReader& r) { r.CheckCount(3, 4, "points"); }},
    };
    for (const Case& c : cases) {
        TStreamReader r(c.bytes);
        EXPECT_THROW(c.read(r), LoadError) << c.name;
    }
}

TEST(Stream, ShortStringLengthByteIsClampedToItsField) {
    // A length byte larger than the field must not read past it.
    QByteArray b = QByteArray::fromHex("ff") + QByteArray(4, 'x') + QByteArray::fromHex("07");
    TStreamReader r(b);
    EXPECT_EQ(r.ReadShortString(5), QStringLiteral("xxxx"));
    EXPECT_EQ(r.ReadU8(), 7);
}

TEST(Stream, DeviceWriterFlushesAndReportsFailure) {
    QByteArray sink;
    QBuffer buf(&sink);
    buf.open(QIODevice::WriteOnly);
    {
        TStreamWriter w(&buf);
        for (int i = 0; i < 100000; ++i) w.WriteI32(i);
        EXPECT_TRUE(w.Flush());
        EXPECT_EQ(w.Pos(), 400000);
    }
    EXPECT_EQ(sink.size(), 400000);
    EXPECT_EQ(TStreamReader(sink.right(4)).ReadI32(), 99999);

    QBuffer closed; // not open: every write fails
    TStreamWriter w(&closed);
    w.WriteI32(1);
    EXPECT_FALSE(w.Flush());
    EXPECT_FALSE(w.Ok());
}

TEST(Cp1252, MapsTheHighRangeBothWays) {
    const QByteArray b = QByteArray::fromHex("80e4fc9f41");
    const QString s = FromCp1252(b);
    EXPECT_EQ(s, QString::fromUtf8("€äüŸA"));
    EXPECT_EQ(ToCp1252(s), b);
    EXPECT_EQ(ToCp1252(QStringLiteral("Ω")), QByteArray("?"));
}
