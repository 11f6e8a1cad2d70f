#include "support/processes.h"

#include "document/document.h"
#include "document/fileformat.h"
#include "elements/Bezier.h"
#include "elements/Polyline.h"
#include "elements/bauteil.h"
#include "elements/registers.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

class CliExport : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }

    // Two sheets: A4 portrait with a thick line across, then the default landscape A4 with a
    // curve.
    QString MakeDocument() const {
        TDocument doc;
        doc.New();
        TEditor& first = doc.Sheet(0);
        first.SheetWidth = 210;
        first.SheetHeight = 297;
        auto p = std::make_unique<TPolyLine>();
        p->ResetStyle();
        p->LineWidth = 10;
        p->Points = {{100, 100}, {1000, 100}};
        first.Elements.push_back(std::move(p));
        TEditor& second = doc.CreateSheet(false);
        auto b = std::make_unique<TBezier>();
        b->ResetStyle();
        b->Points = {{200, 200}, {400, 0}, {600, 400}, {800, 200}};
        second.Elements.push_back(std::move(b));
        doc.ShowSheet(0);
        EXPECT_TRUE(SaveDocumentFile(doc, Path("plan.kav8"), FileKind::Document));
        return Path("plan.kav8");
    }
};

void ExpectOneErrorLine(const ProcessResult& r) {
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("kavro-cli: ")) << r.err.toStdString();
}

} // namespace

TEST_F(CliExport, RasterFormats) {
    const QString plan = MakeDocument();
    ProcessResult r =
        RunCli({"export", plan, "--format", "png", "--dpi", "150", "-o", Path("a4.png")});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QImage a4(Path("a4.png"));
    EXPECT_EQ(a4.size(), QSize(1240, 1754));
    EXPECT_EQ(a4.pixel(300, 59), qRgb(0, 0, 0));
    EXPECT_EQ(a4.pixel(5, 5), qRgb(255, 255, 255));

    r = RunCli({"export", plan, "-o", Path("t.png"), "--transparent", "--area", "all"});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const QImage t(Path("t.png"));
    EXPECT_EQ(t.size(), QSize(585, 53)); // 99 x 9 mm at 150 dpi
    EXPECT_EQ(qAlpha(t.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(t.pixel(100, 26)), 255);

    r = RunCli({"export", plan, "--format", "bmp", "--bw", "--dpi", "72", "-o", Path("bw.bmp")});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    r = RunCli({"export", plan, "--sheet", "2", "-o", Path("c.jpg"), "--dpi", "50"});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    EXPECT_EQ(QImage(Path("c.jpg")).size(), QSize(585, 413)); // landscape A4 at 50 dpi
    if (HaveTool("identify")) {
        const ProcessResult id = RunProgram("identify", {"-format", "%m %z %w %h", Path("bw.bmp")});
        EXPECT_EQ(id.Out().trimmed(), "BMP3 1 595 842") << id.Err().toStdString();
    }
}

TEST_F(CliExport, EverySheetIntoNumberedFiles) {
    const QString plan = MakeDocument();
    const ProcessResult r =
        RunCli({"export", plan, "--all-sheets", "--format", "svg", "-o", Path("out.svg")});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    EXPECT_EQ(r.Out(), Path("out-1.svg") + "\n" + Path("out-2.svg") + "\n");
    QFile one(Path("out-1.svg")), two(Path("out-2.svg"));
    ASSERT_TRUE(one.open(QIODevice::ReadOnly));
    ASSERT_TRUE(two.open(QIODevice::ReadOnly));
    const QByteArray a = one.readAll(), b = two.readAll();
    EXPECT_TRUE(a.contains("width=\"210mm\" height=\"297mm\"\r\nviewBox=\"0 0 2100 2970\">"));
    EXPECT_TRUE(a.contains("<polyline points=\"100.00 100.00 1000.00 100.00\""));
    EXPECT_TRUE(b.contains("width=\"297mm\" height=\"210mm\""));
    EXPECT_TRUE(b.contains(" d=\" M 200 200 C 400 0 600 400 800 200\" />"));
    EXPECT_TRUE(a.contains("<title>out-1</title>"));
    if (HaveTool("xmllint")) {
        const ProcessResult lint =
            RunProgram("xmllint", {"--noout", Path("out-1.svg"), Path("out-2.svg")});
        EXPECT_EQ(lint.code, 0) << lint.Err().toStdString();
    }
}

TEST_F(CliExport, FailuresAndBadArguments) {
    const QString plan = MakeDocument();
    // A failed write is reported with its message and path, and the exit code says so.
    const QString missing = Path("no/such/folder/x.png");
    const ProcessResult w = RunCli({"export", plan, "-o", missing});
    EXPECT_EQ(w.code, 7);
    ExpectOneErrorLine(w);
    EXPECT_TRUE(w.Err().contains(missing)) << w.Err().toStdString();
    EXPECT_FALSE(QFile::exists(missing));

    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        {{"export", plan}, 2},                                       // no output
        {{"export", plan, "-o", Path("x.emf")}, 2},                  // unknown format
        {{"export", plan, "--format", "gif", "-o", Path("x")}, 2},   // unknown format
        {{"export", plan, "--bw", "-o", Path("x.png")}, 2},          // S/W is for BMP
        {{"export", plan, "--transparent", "-o", Path("x.bmp")}, 2}, // transparency is for PNG
        {{"export", plan, "--dpi", "0", "-o", Path("x.png")}, 2},
        {{"export", plan, "--area", "selection", "-o", Path("x.png")}, 2},
        {{"export", plan, "--sheet", "3", "-o", Path("x.png")}, 2},
        {{"export", plan, "--sheet", "1", "--all-sheets", "-o", Path("x.png")}, 2},
        {{"export", Path("missing.kav8"), "-o", Path("x.png")}, 3},
    };
    for (const Case& c : cases) {
        const ProcessResult r = RunCli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        ExpectOneErrorLine(r);
        EXPECT_FALSE(QFile::exists(Path("x.png")));
    }
}

TEST_F(CliExport, DemoDocumentHoldsEveryDrawnElementType) {
    const ProcessResult r = RunCli({"demo", Path("demo.kav8")});
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    TDocument doc;
    const TLoadReport report = [&] {
        QFile f(Path("demo.kav8"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return ReadDocumentData(doc, f.readAll(), FileKind::Document);
    }();
    ASSERT_EQ(report.Outcome, TLoadOutcome::Ok) << report.Reason.toStdString();
    ASSERT_EQ(doc.SheetCount(), 2);
    EXPECT_EQ(doc.Sheet(0).SheetWidth, 420);
    EXPECT_EQ(doc.Sheet(0).GridSize, 50);
    std::set<int> types;
    bool form = false, drawing = false;
    std::vector<TBauteil*> components;
    for (int i = 0; i < 2; ++i)
        ForEachElementDeep({&doc.Sheet(i).Elements}, [&](TElement* e) {
            types.insert(e->TypeCode);
            (e->FormLayer ? form : drawing) = true;
            if (e->TypeCode == etBauteil) components.push_back(static_cast<TBauteil*>(e));
        });
    const std::set<int> want{etKreis,   etRechteck, etText,      etPolyLine,    etPolygon,
                             etGruppe,  etBauteil,  etLoetpunkt, etPixelBitmap, etTextRect,
                             etKontakt, etBezier,   etBemassung};
    EXPECT_TRUE(std::includes(types.begin(), types.end(), want.begin(), want.end()));
    EXPECT_TRUE(form && drawing) << "a title block on the form layer and the circuit";
    // The relay coil has its three contacts, one beside it and two on the second sheet, as
    // children linked when the file was read; they show its designator.
    const auto coil = std::find_if(components.begin(), components.end(), [](TBauteil* c) {
        return c->ShownDesignator() == QStringLiteral("K1") && c->IsParent;
    });
    ASSERT_NE(coil, components.end());
    ASSERT_EQ((*coil)->Children.size(), 3u);
    for (TBauteil* child : (*coil)->Children) {
        EXPECT_EQ(child->ParentId, (*coil)->ComponentId);
        EXPECT_EQ(child->ShownDesignator(), QStringLiteral("K1"));
        EXPECT_EQ(child->Contacts().size(), 2u);
    }

    // The dump shows each text as typed and as shown.
    const ProcessResult dump = RunCli({"dump", Path("demo.kav8")});
    ASSERT_EQ(dump.code, 0) << dump.Err().toStdString();
    const QJsonObject sheet = QJsonDocument::fromJson(dump.out)
                                  .object()[QStringLiteral("sheets")]
                                  .toArray()[0]
                                  .toObject();
    bool pageText = false, box = false;
    for (const QJsonValue& v : sheet[QStringLiteral("Elements")].toArray()) {
        const QJsonObject e = v.toObject();
        if (e[QStringLiteral("SourceText")] == QStringLiteral("Blatt <PAGENO> von <PAGECOUNT>")) {
            pageText = true;
            EXPECT_EQ(e[QStringLiteral("ShownText")], QStringLiteral("Blatt 1 von 2"));
            EXPECT_EQ(e[QStringLiteral("Font")].toObject()[QStringLiteral("Name")],
                      QStringLiteral("Arial"));
        }
        if (e[QStringLiteral("type")] == QStringLiteral("TTextRect") &&
            e[QStringLiteral("Lines")].toArray().first() == QStringLiteral("Projekt: <Projekt>"))
            box = true;
    }
    EXPECT_TRUE(pageText);
    EXPECT_TRUE(box);

    // The copy in the repository is a sound document the editor opens.
    const QString shipped =
        QDir::cleanPath(QStringLiteral(KAVRO_SOURCE_DIR "/examples/demo.kav8"));
    ASSERT_TRUE(QFile::exists(shipped));
    const ProcessResult check = RunCli({"check", shipped});
    EXPECT_EQ(check.code, 0) << check.Out().toStdString() << check.Err().toStdString();
}

TEST_F(CliExport, DemoIsReproducibleAndTheCommittedCopyIsCurrent) {
    ASSERT_EQ(RunCli({"demo", Path("a.kav8")}).code, 0);
    ASSERT_EQ(RunCli({"demo", Path("b.kav8")}).code, 0);
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray a = bytes(Path("a.kav8"));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_EQ(a, bytes(Path("b.kav8"))) << "the demo is the same file on every run";
    EXPECT_EQ(a, bytes(QStringLiteral(KAVRO_SOURCE_DIR "/examples/demo.kav8")))
        << "examples/demo.kav8 is out of date: regenerate it with kavro-cli demo";
}
