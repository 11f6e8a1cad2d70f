#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "shape_test_util.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <zlib.h>

namespace {
class BitmapTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_BitmapSettings = TBitmapSettings{};
        g_BitmapHistoryMode = false;
    }
};

// A small picture whose pixels all differ, so turns and mirrors show.
QImage Pattern(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(40 * x + 10, 60 * y + 5, (x * 7 + y * 13) % 256));
    return img.convertToFormat(format);
}

std::unique_ptr<TPixelBitmap> Picture(const QImage& img, TRRect at = {0, 0, 300, 200}) {
    auto b = std::make_unique<TPixelBitmap>();
    EXPECT_TRUE(b->SetImage(img));
    b->Corners = {TRPoint{at.Left, at.Top}, TRPoint{at.Right, at.Top}, TRPoint{at.Right, at.Bottom},
                  TRPoint{at.Left, at.Bottom}};
    return b;
}

quint32 LE32(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

QByteArray Uncompress(const QByteArray& stream, size_t expected) {
    QByteArray out(qsizetype(expected), '\0');
    uLongf len = uLongf(expected);
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &len,
                         reinterpret_cast<const Bytef*>(stream.constData()), uLong(stream.size())),
              Z_OK);
    out.resize(qsizetype(len));
    return out;
}

// A zlib stream of any content at any level.
QByteArray Zlib(const QByteArray& content, int level = 9) {
    QByteArray out(qsizetype(compressBound(uLong(content.size()))), '\0');
    uLongf len = uLongf(out.size());
    compress2(reinterpret_cast<Bytef*>(out.data()), &len,
              reinterpret_cast<const Bytef*>(content.constData()), uLong(content.size()), level);
    out.resize(qsizetype(len));
    return out;
}

QByteArray WithLength(const QByteArray& bmp, qint32 n) {
    return Bytes([&](TStreamWriter& w) {
        w.WriteI32(n);
        w.WriteBytes(bmp);
    });
}

void WriteCorners(TStreamWriter& w) {
    for (TRPoint p : {TRPoint{0, 0}, TRPoint{30, 0}, TRPoint{30, 20}, TRPoint{0, 20}})
        WritePoint(w, p.X, p.Y);
}

bool SamePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

qint32 At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}
} // namespace

TEST_F(BitmapTest, RecordHoldsABmpFileInAZlibStream) {
    for (bool compressed : {true, false}) {
        SCOPED_TRACE(compressed ? "BMPZLib on" : "BMPZLib off");
        g_BitmapSettings.BMPZLib = compressed;
        auto pic = Picture(Pattern(5, 3, QImage::Format_RGB888));
        pic->ImageId = 123456789;
        const QByteArray saved = SaveRecord(*pic);
        const QByteArray stream = saved.mid(23 + 32, saved.size() - 23 - 32 - 4);
        EXPECT_EQ(quint8(stream[0]), 0x78);
        EXPECT_EQ(quint8(stream[1]), 0x01);
        if (!compressed) EXPECT_EQ(quint8(stream[2]) & 7, 1) << "a final stored block";
        const QByteArray content = Uncompress(stream, 4096);
        const quint32 n = LE32(content, 0);
        ASSERT_EQ(qsizetype(n) + 4, content.size()) << "int32 length, then exactly that much";
        EXPECT_EQ(content.mid(4, 2), QByteArray("BM"));
        EXPECT_EQ(content.mid(4), pic->StoredBmp());
        EXPECT_EQ(LE32(saved, saved.size() - 4), 123456789u);

        std::unique_ptr<TPixelBitmap> back = LoadRecord<TPixelBitmap>(saved);
        EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
        EXPECT_TRUE(SamePixels(back->Image(), pic->Image()));
        EXPECT_EQ(back->ImageId, 123456789);
        EXPECT_EQ(back->Corners, pic->Corners);
    }
}

TEST_F(BitmapTest, ReadingConsumesExactlyTheStream) {
    const QByteArray bmp = EncodeBmp(Pattern(4, 4, QImage::Format_RGB888));
    for (int level : {0, 1, 9}) {
        const QByteArray bytes = Bytes([&](TStreamWriter& w) {
            WriteShapeHeader(w);
            WriteCorners(w);
            w.WriteBytes(Zlib(WithLength(bmp, qint32(bmp.size())), level));
            w.WriteI32(4711);
            w.WriteU8(0xEE); // what follows the record
        });
        TPixelBitmap pic;
        TStreamReader r(bytes);
        pic.LoadFromStream(r);
        EXPECT_EQ(pic.ImageId, 4711) << "level " << level;
        EXPECT_EQ(r.ReadU8(), 0xEE) << "level " << level;
        EXPECT_TRUE(r.AtEnd());
        EXPECT_EQ(pic.StoredBmp(), bmp);
    }
}

TEST_F(BitmapTest, BrokenPictureDataIsALoadError) {
    const QByteArray bmp = EncodeBmp(Pattern(4, 4));
    QByteArray notBmp = bmp;
    notBmp[0] = 'X';
    QByteArray huge = bmp; // 100000 x 100000 pixels claimed
    huge[18] = huge[22] = char(0xA0);
    huge[19] = huge[23] = char(0x86);
    huge[20] = huge[24] = 0x01;
    const QByteArray good = Zlib(WithLength(bmp, qint32(bmp.size())));
    struct Case {
        const char* name;
        QByteArray stream;
    } cases[] = {
        {"length above the inflated data", Zlib(WithLength(bmp, qint32(bmp.size()) + 1))},
        {"length below the inflated data", Zlib(WithLength(bmp, qint32(bmp.size()) - 1))},
        {"negative length", Zlib(WithLength(bmp, -5))},
        {"length of a gigantic picture", Zlib(WithLength(bmp, 0x7FFFFFF0))},
        {"no length at all", Zlib(QByteArray("\x01\x02", 2))},
        {"stream cut short", good.left(good.size() / 2)},
        {"not a zlib stream", QByteArray(40, 'x')},
        {"content is no BMP", Zlib(WithLength(notBmp, qint32(notBmp.size())))},
        {"BMP claims too many pixels", Zlib(WithLength(huge, qint32(huge.size())))},
        {"BMP file cut short", Zlib(WithLength(bmp.left(60), 60))},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = Bytes([&](TStreamWriter& w) {
            WriteShapeHeader(w);
            WriteCorners(w);
            w.WriteBytes(c.stream);
            w.WriteI32(1);
        });
        TPixelBitmap pic;
        TStreamReader r(bytes);
        EXPECT_THROW(pic.LoadFromStream(r), LoadError) << c.name;
    }
    // An empty picture is stored as length 0 and reads back empty.
    TPixelBitmap empty;
    const QByteArray saved = SaveRecord(empty);
    std::unique_ptr<TPixelBitmap> back = LoadRecord<TPixelBitmap>(saved);
    EXPECT_TRUE(back->Image().isNull());
    EXPECT_EQ(SaveRecord(*back), saved);
}

TEST_F(BitmapTest, OlderRecordsReadByTheirRules) {
    const QImage img = Pattern(6, 4, QImage::Format_RGB888);
    const QByteArray bmp = EncodeBmp(img);
    QByteArray jpeg;
    {
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(Pattern(6, 4).save(&buf, "JPEG", 100));
    }
    struct Case {
        const char* name;
        int version;
        QByteArray bytes;
        TRPoint c0, c2;
    } cases[] = {
        {"59: rounded rectangle and a BMP file",
         59,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             for (float v : {10.4f, 20.6f, 70.5f, 41.5f})
                 w.WriteF32(v);
             w.WriteBytes(bmp);
         }),
         {10, 21},
         {70, 42}},
        {"65: BMP file",
         65,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             WriteCorners(w);
             w.WriteU8(0);
             w.WriteBytes(bmp);
         }),
         {0, 0},
         {30, 20}},
        {"65: JPEG data",
         65,
         Bytes([&](TStreamWriter& w) {
             WriteShapeHeader(w);
             WriteCorners(w);
             w.WriteU8(1);
             w.WriteI32(qint32(jpeg.size()));
             w.WriteBytes(jpeg);
         }),
         {0, 0},
         {30, 20}},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        bytes.append(char(0x5A));
        TFileVersionScope scope(c.version);
        TPixelBitmap pic;
        TStreamReader r(bytes);
        pic.LoadFromStream(r);
        EXPECT_EQ(r.ReadU8(), 0x5A) << c.name << ": nothing after the picture is taken";
        EXPECT_EQ(pic.Corners[0], c.c0) << c.name;
        EXPECT_EQ(pic.Corners[2], c.c2) << c.name;
        EXPECT_EQ(pic.Corners[1], (TRPoint{c.c2.X, c.c0.Y})) << c.name;
        EXPECT_EQ(pic.Image().size(), QSize(6, 4)) << c.name;
        EXPECT_EQ(pic.BitsPerPixel(), 24) << c.name;
        EXPECT_GE(pic.ImageId, 0) << c.name << ": a fresh identity";
        EXPECT_LT(pic.ImageId, 999999999) << c.name;
        // Written again, it is a version 80 record that reads back the same.
        TFileVersionScope now(80);
        const QByteArray saved = SaveRecord(pic);
        std::unique_ptr<TPixelBitmap> back = LoadRecord<TPixelBitmap>(saved);
        EXPECT_TRUE(SamePixels(back->Image(), pic.Image())) << c.name;
    }
    // The stored pixels of the first two cases are the original BMP file.
    TFileVersionScope scope(65);
    std::unique_ptr<TPixelBitmap> pic = LoadRecord<TPixelBitmap>(cases[1].bytes, 65);
    EXPECT_EQ(pic->StoredBmp(), bmp);
    EXPECT_TRUE(SamePixels(pic->Image(), img));
}

TEST_F(BitmapTest, HistoryModeLeavesThePixelsOut) {
    auto pic = Picture(Pattern(8, 8));
    pic->ImageId = 77;
    QByteArray saved;
    {
        TBitmapHistoryScope history;
        saved = SaveRecord(*pic);
    }
    EXPECT_FALSE(g_BitmapHistoryMode);
    EXPECT_EQ(saved.size(), 23 + 32 + 4);
    std::unique_ptr<TPixelBitmap> back;
    {
        TBitmapHistoryScope history;
        back = LoadRecord<TPixelBitmap>(saved);
    }
    EXPECT_TRUE(back->Image().isNull());
    EXPECT_EQ(back->ImageId, 77);
    back->RestoreImage(pic->Image());
    EXPECT_EQ(back->ImageId, 77) << "the cached image keeps its identity";
    EXPECT_EQ(SaveRecord(*back), SaveRecord(*pic));
}

TEST_F(BitmapTest, ImportedFilesAreReadByTheirExtension) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    auto encoded = [](const QImage& img, const char* format) {
        QByteArray b;
        QBuffer buf(&b);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, format);
        return b;
    };
    const QByteArray bmp32 = EncodeBmp(Pattern(7, 5, QImage::Format_RGB32));
    ASSERT_EQ(LE32(bmp32, 28) & 0xFFFF, 32u) << "the fixture is a 32-bit BMP";
    const QByteArray jpeg = encoded(Pattern(7, 5), "JPEG");
    const QByteArray png = encoded(Pattern(7, 5), "PNG");
    struct Case {
        const char* name;
        QString file;
        bool ok;
    } cases[] = {
        {"32-bit .bmp", write("a.bmp", bmp32), true},
        {".BMP in capitals", write("b.BMP", bmp32), true},
        {".Bmp mixed", write("c.Bmp", bmp32), true},
        {".jpg", write("d.jpg", jpeg), true},
        {"JPEG content named .bmp is no bitmap", write("e.bmp", jpeg), false},
        {"BMP content named .jpg is no JPEG", write("f.jpg", bmp32), false},
        {"other formats by their content", write("g.png", png), true},
        {"garbage", write("h.png", QByteArray(100, 'x')), false},
        {"missing file", dir.filePath("none.bmp"), false},
    };
    for (const Case& c : cases) {
        TPixelBitmap pic;
        EXPECT_EQ(pic.LoadImageFile(c.file), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_TRUE(pic.Image().isNull()) << c.name;
            continue;
        }
        EXPECT_EQ(pic.Image().size(), QSize(7, 5)) << c.name;
        EXPECT_EQ(pic.Image().format(), QImage::Format_RGB888) << c.name << ": held at 24 bits";
        EXPECT_EQ(pic.BitsPerPixel(), 24) << c.name << ": stored at 24 bits";
    }
    TPixelBitmap pic;
    ASSERT_TRUE(pic.LoadImageFile(cases[0].file));
    EXPECT_TRUE(SamePixels(pic.Image(), Pattern(7, 5)));
    EXPECT_EQ(DecodeBmp(pic.StoredBmp()).format(), QImage::Format_RGB888);
}

TEST_F(BitmapTest, TransparentPartsOfAnImportLieOnWhite) {
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    img.setPixel(1, 0, qRgba(255, 0, 0, 255));
    TPixelBitmap pic;
    ASSERT_TRUE(pic.SetImage(img));
    EXPECT_EQ(pic.Image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(pic.Image().pixel(1, 0), qRgb(255, 0, 0));
}

TEST_F(BitmapTest, ReduceResolution) {
    struct Case {
        const char* name;
        int w, h;
        double factor;
        bool possible;
        int w2, h2;
    } cases[] = {
        {"1.414 from 100 x 80", 100, 80, 1.414, true, 71, 57},
        {"49 pixels wide is too small", 49, 200, 2, false, 49, 200},
        {"49 pixels high is too small", 200, 49, 2, false, 200, 49},
        {"less than 10 pixels gained on both sides", 100, 100, 1.1, false, 100, 100},
        {"one side gains enough", 200, 60, 1.1, true, 182, 55},
        {"halves go to even: 125 / 2 = 62", 125, 50, 2, true, 62, 25},
        {"no factor", 100, 100, 0, false, 100, 100},
    };
    for (const Case& c : cases) {
        auto pic = Picture(Pattern(c.w, c.h, QImage::Format_RGB888));
        pic->ImageId = 5;
        const auto corners = pic->Corners;
        EXPECT_EQ(pic->ReduceResolution(false, c.factor), c.possible) << c.name;
        EXPECT_EQ(pic->Image().size(), QSize(c.w, c.h)) << c.name << ": a test changes nothing";
        EXPECT_EQ(pic->ReduceResolution(true, c.factor), c.possible) << c.name;
        EXPECT_EQ(pic->Image().size(), QSize(c.w2, c.h2)) << c.name;
        EXPECT_EQ(pic->Corners, corners) << c.name;
        EXPECT_EQ(pic->ImageId != 5, c.possible) << c.name;
        EXPECT_EQ(DecodeBmp(pic->StoredBmp()).size(), QSize(c.w2, c.h2)) << c.name;
    }
    // Averaging: a fine chequer board reduces to grey.
    QImage board(100, 100, QImage::Format_RGB888);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    auto pic = Picture(board);
    ASSERT_TRUE(pic->ReduceResolution(true, 2));
    EXPECT_NEAR(qGray(pic->Image().pixel(25, 25)), 128, 20);
}

TEST_F(BitmapTest, NormalizeKeepsTheCentreAndRestoresTheAspect) {
    auto pic = Picture(Pattern(200, 100));
    pic->Corners = {TRPoint{0, 0}, TRPoint{300, 0}, TRPoint{300, 300}, TRPoint{0, 300}};
    pic->ShearAt({0, 0}, 0.3, 0);
    const TRPoint c = pic->Centre();
    pic->Normalize(297, 210);
    // W = 300 and H = |C0 C3| > 300 after the shear, so W < H and H becomes W / 2.
    EXPECT_NEAR(Distance(pic->Corners[0], pic->Corners[1]), 300, 1e-3);
    EXPECT_NEAR(Distance(pic->Corners[0], pic->Corners[3]), 150, 1e-3);
    EXPECT_NEAR(pic->Centre().X, c.X, 1e-3);
    EXPECT_NEAR(pic->Centre().Y, c.Y, 1e-3);
    EXPECT_EQ(pic->Corners[0].Y, pic->Corners[1].Y) << "upright";

    // Wider than high: the width follows the height. The centre is kept on the sheet.
    auto wide = Picture(Pattern(200, 100), {-900, 100, 100, 300});
    wide->Normalize(50, 50);
    EXPECT_NEAR(Distance(wide->Corners[0], wide->Corners[1]), 400, 1e-3);
    EXPECT_NEAR(Distance(wide->Corners[0], wide->Corners[3]), 200, 1e-3);
    ExpectNear(wide->Centre(), {0, 200}, 1e-3, "centre clamped to x = 0");
}

TEST_F(BitmapTest, RotatePixelsTurnsAQuarterClockwise) {
    auto pic = Picture(Pattern(3, 2, QImage::Format_RGB888), {0, 0, 300, 200});
    const QImage old = pic->Image();
    pic->ImageId = 1;
    pic->RotatePixels90();
    const QImage& img = pic->Image();
    ASSERT_EQ(img.size(), QSize(2, 3));
    EXPECT_EQ(img.format(), QImage::Format_RGB888);
    EXPECT_EQ(img.pixel(1, 0), old.pixel(0, 0)) << "top-left to top-right";
    EXPECT_EQ(img.pixel(1, 2), old.pixel(2, 0)) << "top-right to bottom-right";
    EXPECT_EQ(img.pixel(0, 0), old.pixel(0, 1)) << "bottom-left to top-left";
    EXPECT_NE(pic->ImageId, 1);
    ExpectNear(pic->Corners[0], {50, -50}, 1e-3, "C0");
    ExpectNear(pic->Corners[2], {250, 250}, 1e-3, "C2");
    EXPECT_TRUE(SamePixels(DecodeBmp(pic->StoredBmp()), img));
}

TEST_F(BitmapTest, LightenRaisesEveryChannelAt32Bits) {
    QImage img(2, 1, QImage::Format_RGB888);
    img.setPixel(0, 0, qRgb(250, 10, 0));
    img.setPixel(1, 0, qRgb(100, 255, 3));
    auto pic = Picture(img);
    pic->ImageId = 1;
    pic->Lighten(5);
    EXPECT_EQ(pic->Image().pixel(0, 0), qRgb(255, 15, 5));
    EXPECT_EQ(pic->Image().pixel(1, 0), qRgb(105, 255, 8));
    EXPECT_EQ(pic->BitsPerPixel(), 32);
    EXPECT_NE(pic->ImageId, 1);
    std::unique_ptr<TPixelBitmap> back = LoadRecord<TPixelBitmap>(SaveRecord(*pic));
    EXPECT_EQ(back->Image().pixel(0, 0), qRgb(255, 15, 5));
    EXPECT_EQ(back->BitsPerPixel(), 32);
}

TEST_F(BitmapTest, ResolutionFigures) {
    auto pic = Picture(Pattern(300, 100, QImage::Format_Indexed8), {0, 0, 508, 254});
    EXPECT_EQ(pic->HorizontalDpi(), 150);
    EXPECT_EQ(pic->VerticalDpi(), 100);
    EXPECT_EQ(pic->BitsPerPixel(), 8);
    EXPECT_EQ(pic->MemoryBytes(), 300 * 100);
    auto mono = Picture(Pattern(16, 8).convertToFormat(QImage::Format_Mono));
    EXPECT_EQ(mono->BitsPerPixel(), 1);
    EXPECT_EQ(mono->MemoryBytes(), 16);
    TPixelBitmap empty;
    EXPECT_EQ(empty.HorizontalDpi(), 0);
    EXPECT_EQ(empty.BitsPerPixel(), 0);
}

TEST_F(BitmapTest, PlacedInTheMiddleOfTheView) {
    auto pic = Picture(Pattern(200, 100));
    pic->PlaceInView({0, 0, 1000, 1000});
    ExpectNear(pic->Corners[0], {250, 375}, 1e-3, "C0");
    ExpectNear(pic->Corners[2], {750, 625}, 1e-3, "C2");
    pic->PlaceInView({0, 0, 1000, 200});
    EXPECT_NEAR(Distance(pic->Corners[0], pic->Corners[3]), 100, 1e-3) << "half the height";
    EXPECT_NEAR(Distance(pic->Corners[0], pic->Corners[1]), 200, 1e-3);
}

TEST_F(BitmapTest, DrawnOntoItsCornersInBothModes) {
    QImage red(4, 2, QImage::Format_RGB888);
    red.fill(qRgb(255, 0, 0));
    red.setPixel(0, 0, qRgb(0, 0, 255)); // marks the top-left corner
    auto pic = Picture(red, {20, 20, 100, 60});
    pic->RotateAt({60, 40}, 3.14159265358979323846 / 2); // a quarter turn on the screen
    for (bool smooth : {false, true}) {
        QImage img(120, 120, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        TDrawContext dc(p, TView{}, smooth);
        pic->Draw(dc);
        p.end();
        const char* mode = smooth ? "antialiased" : "plain";
        const TRRect b = pic->GetBounds();
        EXPECT_NEAR(b.Width(), 40, 1e-3) << mode;
        EXPECT_NEAR(b.Height(), 80, 1e-3) << mode;
        EXPECT_EQ(At(img, 60, 40), 0x0000FF) << mode;
        // Upright stretching would put the blue corner pixel here.
        EXPECT_EQ(At(img, 45, 10), 0x0000FF) << mode << ": turned, not stretched upright";
        EXPECT_EQ(At(img, 30, 40), clWhite) << mode;
        // The blue corner pixel went where C0 went.
        const QPointF c0(pic->Corners[0].X, pic->Corners[0].Y);
        const QPointF inward = (QPointF(pic->Corners[2].X, pic->Corners[2].Y) - c0) / 16;
        const QPoint probe = (c0 + inward).toPoint();
        EXPECT_EQ(At(img, probe.x(), probe.y()), 0xFF0000) << mode;
    }
}

TEST_F(BitmapTest, HitsInsideTheCornersOnly) {
    auto pic = Picture(Pattern(4, 4), {0, 0, 100, 100});
    pic->RotateAt({50, 50}, 3.14159265358979323846 / 4);
    const TView view;
    EXPECT_TRUE(pic->HitPoint(view, {50, 50}));
    EXPECT_TRUE(pic->HitPoint(view, {50, 0}));
    EXPECT_FALSE(pic->HitPoint(view, {5, 5})) << "the corner of the bounds lies outside";
    EXPECT_TRUE(pic->HitRect(view, {-30, -30, 130, 130}, true));
    EXPECT_TRUE(pic->HitRect(view, {40, -40, 60, 10}, false)) << "across the top corner";
    EXPECT_FALSE(pic->HitRect(view, {40, 40, 60, 60}, false)) << "inside, crossing no edge";
    EXPECT_FALSE(pic->HitRect(view, {0, 0, 8, 8}, false));
    TRPoint p{-19, 49};
    EXPECT_TRUE(pic->SnapToPoint(view, p));
    ExpectNear(p, {-20.71f, 50}, 0.01, "snapped to the left corner");
}
