#include "support/processes.h"

#include "document/document.h"
#include "document/fileformat.h"
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
#include "platform/prompt.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<TPolyLine> Line(TRPointArray pts) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->Points = std::move(pts);
    return p;
}

std::unique_ptr<TText> Text(const QString& s, TRPoint at) {
    auto t = std::make_unique<TText>();
    t->SetSourceText(s);
    t->Measure();
    t->PlaceAt(at);
    return t;
}

std::unique_ptr<TKontakt> Contact(const QString& s, const QString& name, TRPoint at) {
    auto k = std::make_unique<TKontakt>();
    k->SetSourceText(s);
    k->ContactName = name;
    k->Measure();
    k->PlaceAt(at);
    return k;
}

std::unique_ptr<TBauteil> Component(const QString& designator, const QString& value, float x,
                                    qint32 id) {
    auto c = std::make_unique<TBauteil>();
    c->ComponentId = id;
    auto inner = std::make_unique<TGruppe>();
    inner->Add(Line({{x, 0}, {x + 40, 0}}));
    inner->Add(std::make_unique<TRechteck>(TRRect{x + 40, -15, x + 100, 15}));
    c->Body->Add(std::move(inner));
    c->Body->Add(Line({{x + 100, 0}, {x + 140, 0}}));
    c->Body->Add(Contact(QStringLiteral("1"), QStringLiteral("A1"), {x, 10}));
    c->DesignatorLabel->SetSourceText(designator);
    c->DesignatorLabel->Measure();
    c->DesignatorLabel->PlaceAt({x + 40, -60});
    c->ValueLabel->SetSourceText(value);
    c->ValueLabel->Measure();
    c->ValueLabel->PlaceAt({x + 40, 25});
    c->ExtraText = {QStringLiteral("Hersteller"), {}, QStringLiteral("Typ"), {}};
    return c;
}

// A document of two sheets with every element type the program writes: nested groups, a parent
// component with children on both sheets, a component inside a group, a picture, junction dots
// and dimensions of every kind.
void Fill(TDocument& doc) {
    doc.New();
    TEditor& one = doc.Sheet(0);
    TEditor& two = doc.CreateSheet(false);
    one.SheetName = QStringLiteral("Eins");
    two.SheetName = QStringLiteral("Zwei");
    TElementList& a = one.Elements;

    a.push_back(Line({{0, 300}, {1000, 300}}));
    a.push_back(Line({{500, 100}, {500, 500}}));
    auto dot = std::make_unique<TLoetpunkt>(TRPoint{500, 300});
    dot->SetAutomatic(true, 2);
    a.push_back(std::move(dot));
    a.push_back(std::make_unique<TLoetpunkt>(TRPoint{0, 300}));
    auto bezier = std::make_unique<TBezier>();
    bezier->Points = {{0, 600}, {100, 500}, {200, 700}, {300, 600}};
    a.push_back(std::move(bezier));
    a.push_back(std::make_unique<TKreis>(TRRect{600, 600, 700, 680}));
    a.push_back(std::make_unique<TPolygon>(TRPointArray{{800, 600}, {900, 600}, {850, 700}}));
    a.push_back(Text(QStringLiteral("Blatt <PAGENO>"), {50, 50}));
    auto box = std::make_unique<TTextRect>();
    box->Lines = {QStringLiteral("Eine Zeile"), QStringLiteral("und <PAGECOUNT>")};
    box->SetRect({1100, 50, 1500, 200});
    a.push_back(std::move(box));

    auto outer = std::make_unique<TGruppe>();
    auto inner = std::make_unique<TGruppe>();
    inner->Add(Line({{1100, 600}, {1200, 650}}));
    inner->Add(std::make_unique<TLoetpunkt>(TRPoint{1100, 600}));
    outer->Add(std::move(inner));
    outer->Add(Component(QStringLiteral("R9"), QStringLiteral("in a group"), 1200, 77));
    a.push_back(std::move(outer));

    auto coil = Component(QStringLiteral("K1"), QStringLiteral("24V"), 0, 100);
    coil->IsParent = true;
    TBauteil* parent = coil.get();
    a.push_back(std::move(coil));
    auto child =
        Component(QStringLiteral("<PARENT_ID>"), QStringLiteral("/<PARENT_PAGENO>"), 300, 101);
    child->SetParent(parent);
    a.push_back(std::move(child));
    auto numbered = Component(QStringLiteral("R"), QStringLiteral("4k7"), 600, 102);
    numbered->AutoNum = true;
    numbered->Designator = QStringLiteral("R");
    numbered->SetDesignatorNumber(12);
    numbered->FixedSymbol = true;
    numbered->AnchorOffset = {5, -5};
    a.push_back(std::move(numbered));

    QImage image(16, 8, QImage::Format_RGB888);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, qRgb(x * 16, y * 32, 128));
    auto picture = std::make_unique<TPixelBitmap>();
    picture->SetImage(image);
    picture->Corners = {TRPoint{1600, 600}, TRPoint{1760, 600}, TRPoint{1760, 680},
                        TRPoint{1600, 680}};
    picture->RotateAt({1680, 640}, 0.3);
    a.push_back(std::move(picture));

    auto dim = [&](quint8 kind, TRPoint p, TRPoint q, double offset, TRPoint c = {}) {
        auto d = std::make_unique<TBemassung>();
        d->Kind = kind;
        d->A = p;
        d->B = q;
        d->C = c;
        d->SetOffset(offset);
        d->UpdateValue(1);
        TBemassung& ref = *d;
        a.push_back(std::move(d));
        return &ref;
    };
    dim(TBemassung::bkStandard, {0, 900}, {500, 900}, 50)->TolUpper->SetSourceText("+0,1");
    dim(TBemassung::bkRadial, {700, 900}, {760, 860}, 0);
    TBemassung* diameter = dim(TBemassung::bkDiameter, {900, 900}, {1000, 900}, -40);
    diameter->ShowDiameter = true;
    diameter->Fix();
    dim(TBemassung::bkAngle, {1300, 900}, {1200, 800}, 0, {1100, 900});

    auto far = Component(QStringLiteral("<PARENT_ID>"), QStringLiteral("remote"), 0, 103);
    far->SetParent(parent);
    two.Elements.push_back(std::move(far));
}

class CliComposites : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TScriptedPrompt prompts;
    TScopedPrompts scope{prompts};
    QString Path(const QString& name) const { return dir.filePath(name); }
    QByteArray Read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
} // namespace

TEST_F(CliComposites, EveryElementTypeRoundTripsByteForByte) {
    TDocument doc;
    Fill(doc);
    const QString a = Path("a.kav8"), b = Path("b.kav8");
    ASSERT_TRUE(SaveDocumentFile(doc, a, FileKind::Document));
    const ProcessResult r = RunCli({"convert", a, b});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QByteArray first = Read(a), second = Read(b);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(second.size(), first.size());
    EXPECT_TRUE(second == first) << "kavro-cli convert changed the document";

    const ProcessResult check = RunCli({"check", b});
    EXPECT_EQ(check.code, 0) << check.Out().toStdString() << check.Err().toStdString();

    // The dump shows nested bodies, labels, children and the links made while reading.
    const ProcessResult dump = RunCli({"dump", b});
    ASSERT_EQ(dump.code, 0) << dump.Err().toStdString();
    const QJsonArray elements = QJsonDocument::fromJson(dump.out)
                                    .object()[QStringLiteral("sheets")]
                                    .toArray()[0]
                                    .toObject()[QStringLiteral("Elements")]
                                    .toArray();
    QJsonObject coil, group, picture, diameter;
    for (const QJsonValue& v : elements) {
        const QJsonObject e = v.toObject();
        const QString type = e[QStringLiteral("type")].toString();
        if (type == QLatin1String("TBauteil") && e[QStringLiteral("ComponentId")].toInt() == 100)
            coil = e;
        if (type == QLatin1String("TGruppe")) group = e;
        if (type == QLatin1String("TPixelBitmap")) picture = e;
        if (type == QLatin1String("TBemassung") && e[QStringLiteral("Kind")].toInt() == 2)
            diameter = e;
    }
    ASSERT_FALSE(coil.isEmpty());
    EXPECT_EQ(coil[QStringLiteral("LinkedChildren")].toArray(), (QJsonArray{101, 103}));
    const QJsonArray body =
        coil[QStringLiteral("Body")].toObject()[QStringLiteral("Children")].toArray();
    ASSERT_EQ(body.size(), 3);
    EXPECT_EQ(body[0].toObject()[QStringLiteral("type")], QStringLiteral("TGruppe"));
    EXPECT_EQ(body[2].toObject()[QStringLiteral("ContactName")], QStringLiteral("A1"));
    EXPECT_EQ(coil[QStringLiteral("ExtraText")].toArray()[2], QStringLiteral("Typ"));
    const QJsonArray nested = group[QStringLiteral("Children")].toArray();
    ASSERT_EQ(nested.size(), 2);
    EXPECT_EQ(nested[1].toObject()[QStringLiteral("type")], QStringLiteral("TBauteil"));
    EXPECT_EQ(nested[0].toObject()[QStringLiteral("Children")].toArray().size(), 2);
    EXPECT_EQ(picture[QStringLiteral("Image")].toObject()[QStringLiteral("Width")], 16);
    EXPECT_EQ(diameter[QStringLiteral("AutoValue")], false);
    EXPECT_EQ(diameter[QStringLiteral("FixedValue")], QStringLiteral("10"));
}

TEST_F(CliComposites, SvgOfEveryElementTypeIsWellFormedAndRenders) {
    TDocument doc;
    Fill(doc);
    const QString a = Path("a.kav8");
    ASSERT_TRUE(SaveDocumentFile(doc, a, FileKind::Document));
    const QString svg = Path("a.svg");
    const ProcessResult r =
        RunCli({"export", a, "--sheet", "1", "--format", "svg", "--area", "all", "-o", svg});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QByteArray text = Read(svg);
    EXPECT_TRUE(text.contains("<circle")) << "junction dots";
    EXPECT_GT(text.count("<path"), 20) << "labels and texts as glyph outlines";
    EXPECT_TRUE(text.contains("<polygon")) << "arrow heads";
    if (HaveTool("xmllint")) {
        const ProcessResult lint = RunProgram("xmllint", {"--noout", svg});
        EXPECT_EQ(lint.code, 0) << lint.Err().toStdString();
    }
    if (HaveTool("rsvg-convert")) {
        const QString png = Path("a.png");
        const ProcessResult render = RunProgram("rsvg-convert", {"-o", png, svg});
        ASSERT_EQ(render.code, 0) << render.Err().toStdString();
        const QImage img(png);
        ASSERT_FALSE(img.isNull());
        int inked = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                if (qGray(img.pixel(x, y)) < 128 && qAlpha(img.pixel(x, y)) > 0) ++inked;
        EXPECT_GT(inked, 200) << "the rendered picture shows the drawing";
    }
}
