#include "document/files.h"
#include "support/processes.h"

#include "document/document.h"
#include "document/fileformat.h"
#include "elements/Polyline.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CliDocuments : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QByteArray Read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A document of two sheets with polylines, user variables and options, written by the
    // program itself.
    QString MakeDocument(const QString& name) const {
        TDocument doc;
        doc.New();
        doc.UserVariables = {{"Projekt", "P-7"}};
        doc.SheetPageNumbers = true;
        doc.PrintSelection = "1";
        doc.Sheet(0).SheetName = "Plan";
        for (int i = 0; i < 3; ++i) {
            auto p = std::make_unique<TPolyLine>();
            p->Points = {{0, float(i)}, {100, float(i)}};
            doc.Sheet(0).Elements.push_back(std::move(p));
        }
        TEditor& second = doc.CreateSheet(false);
        second.SheetName = "Zweites";
        second.ZoneGrid.Columns = 12;
        second.PrintLayout.PagesAcross = 2;
        EXPECT_TRUE(SaveDocumentFile(doc, Path(name), FileKind::Document));
        return Path(name);
    }
};

QJsonObject Json(const ProcessResult& r) {
    return QJsonDocument::fromJson(r.out).object();
}

void ExpectOneErrorLine(const ProcessResult& r) {
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("kavro-cli: ")) << r.err.toStdString();
}

} // namespace

TEST_F(CliDocuments, InfoAndDump) {
    const QString file = MakeDocument("plan.kav8");
    const ProcessResult info = RunCli({"info", file});
    ASSERT_EQ(info.code, 0) << info.Err().toStdString();
    EXPECT_TRUE(info.Out().contains("kind: document\nversion: 80\nsheets: 2\n"));
    EXPECT_TRUE(info.Out().contains("\"Plan\", 297 x 210 mm, 3 elements (TPolyLine 3)"));

    const QJsonObject json = Json(RunCli({"info", file, "--json"}));
    EXPECT_EQ(json.value("kind").toString(), "document");
    const QJsonArray sheets = json.value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 2);
    EXPECT_EQ(sheets[0].toObject().value("elementsByType").toObject().value("TPolyLine").toInt(), 3);
    EXPECT_EQ(json.value("currentSheet").toInt(), 2);

    const ProcessResult dump = RunCli({"dump", file});
    ASSERT_EQ(dump.code, 0);
    const QJsonObject d = Json(dump);
    EXPECT_EQ(d.value("UserVariables").toArray()[0].toObject().value("Value").toString(), "P-7");
    EXPECT_TRUE(d.value("options").toObject().value("SheetPageNumbers").toBool());
    const QJsonObject s1 = d.value("sheets").toArray()[1].toObject();
    EXPECT_EQ(s1.value("ZoneGrid").toObject().value("Columns").toInt(), 12);
    EXPECT_EQ(s1.value("PrintLayout").toObject().value("PagesAcross").toInt(), 2);
    const QJsonObject e = d.value("sheets").toArray()[0].toObject().value("Elements").toArray()[2].toObject();
    EXPECT_EQ(e.value("type").toString(), "TPolyLine");
    EXPECT_EQ(e.value("LineWidth").toInt(), 2);
    EXPECT_EQ(e.value("Points").toArray(), (QJsonArray{QJsonArray{0, 2}, QJsonArray{100, 2}}));
    EXPECT_EQ(e.value("EndSize").toInt(), 2);
    EXPECT_FALSE(e.contains("Record"));
}

TEST_F(CliDocuments, ConvertingTwiceGivesTheSameBytesAndTheSameDump) {
    // A document of the current version, an old one with a legacy line, and the demo, whose
    // title block shows the file's name: copies do not depend on their source's name.
    TDocPlan old;
    old.Version = 79;
    old.Vars = {"Ort|Bonn"};
    old.Sheets[0].Elements = TBytes().i32(0).u8(etLinie).raw(CommonHeader()).f32(0).f32(0).f32(5).f32(5);
    ASSERT_EQ(RunCli({"demo", Path("demo.kav8")}).code, 0);
    const QStringList sources = {MakeDocument("new.kav8"), Write("old.kav", DocumentFile(old)),
                                 Path("demo.kav8")};
    for (const QString& a : sources) {
        SCOPED_TRACE(a.toStdString());
        const QString b = a + ".b.kav8", c = a + ".c.kav8";
        ASSERT_EQ(RunCli({"convert", a, b}).code, 0);
        ASSERT_EQ(RunCli({"convert", b, c}).code, 0);
        EXPECT_EQ(Read(b).toHex(), Read(c).toHex());
        const ProcessResult db = RunCli({"dump", b}), dc = RunCli({"dump", c});
        EXPECT_EQ(db.out, dc.out);
        EXPECT_EQ(Json(db).value("version").toInt(), 80);
        if (a.endsWith(".kav8")) {
            EXPECT_EQ(Read(a).toHex(), Read(b).toHex());
            EXPECT_EQ(RunCli({"dump", a}).out, db.out);
        } else {
            const QJsonObject line = Json(db).value("sheets").toArray()[0].toObject()
                                         .value("Elements").toArray()[0].toObject();
            EXPECT_EQ(line.value("type").toString(), "TPolyLine");
        }
    }
    // Into the other kinds: a sheet file and a form sheet of the current sheet.
    ASSERT_EQ(RunCli({"convert", sources[0], Path("one.blt")}).code, 0);
    EXPECT_TRUE(RunCli({"info", Path("one.blt")}).Out().contains("kind: sheet file\nversion: 80\nsheets: 1\n"));
    ASSERT_EQ(RunCli({"convert", sources[0], Path("form.sbk")}).code, 0);
    EXPECT_TRUE(RunCli({"info", Path("form.sbk")}).Out().startsWith("kind: form sheet\n"));
}

TEST_F(CliDocuments, CheckFindsTheReadableSheetsOfADamagedDocumentAndRepairsIt) {
    TDocPlan plan;
    plan.Sheets = QList<TSheetPlan>(5);
    for (int i = 0; i < 5; ++i) plan.Sheets[i].Name = QStringLiteral("S%1").arg(i + 1);
    const QByteArray whole = DocumentFile(plan);
    // Cut the second sheet record short: the file ends in its middle.
    const qsizetype first = whole.indexOf(TBytes().str("S2").b);
    const QString damaged = Write("damaged.kav8", whole.left(first + 20));

    const ProcessResult check = RunCli({"check", damaged});
    EXPECT_EQ(check.code, 1);
    EXPECT_TRUE(check.Out().startsWith("damaged: 1 of 5 sheets readable")) << check.Out().toStdString();

    const ProcessResult repair = RunCli({"check", damaged, "--repair", Path("fixed.kav8")});
    EXPECT_EQ(repair.code, 1);
    EXPECT_TRUE(repair.Out().contains("repaired: wrote"));
    const ProcessResult fixed = RunCli({"check", Path("fixed.kav8")});
    EXPECT_EQ(fixed.code, 0);
    EXPECT_EQ(fixed.Out(), "fine: document, version 80, 1 sheets\n");
    EXPECT_TRUE(RunCli({"info", Path("fixed.kav8")}).Out().contains("\"S1\""));

    EXPECT_EQ(RunCli({"check", MakeDocument("good.kav8")}).code, 0);
    // Converting a damaged file is refused.
    const ProcessResult convert = RunCli({"convert", damaged, Path("x.kav8")});
    EXPECT_EQ(convert.code, 6);
    ExpectOneErrorLine(convert);
    EXPECT_FALSE(QFileInfo::exists(Path("x.kav8")));
}

TEST_F(CliDocuments, FailuresHaveTheirOwnExitCodes) {
    const QString good = MakeDocument("good.kav8");
    Write("blocker", "a regular file, not a folder");
    struct Case {
        const char* name;
        QStringList args;
        int code;
        bool errorLine;
    } cases[] = {
        {"missing input", {"info", Path("nothing.kav8")}, 3, true},
        {"input is a folder", {"dump", dir.path()}, 3, true},
        {"not a Kavro file", {"info", Write("text.kav8", "hello, world")}, 4, true},
        {"newer version", {"dump", Write("new.kav8", Header(85) + QByteArray(30, '\0'))}, 5, true},
        {"check of a newer version", {"check", Path("new.kav8")}, 5, false},
        {"check of another file", {"check", Path("text.kav8")}, 4, false},
        {"output folder is a file", {"convert", good, Path("blocker/out.kav8")}, 7, true},
        {"output kind unknown", {"convert", good, Path("out.txt")}, 2, true},
        {"missing argument", {"convert", good}, 2, true},
        {"bad kind", {"info", good, "--kind", "poster"}, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult r = RunCli(c.args);
        EXPECT_EQ(r.code, c.code) << r.Err().toStdString();
        if (c.errorLine) ExpectOneErrorLine(r);
    }
    // A file read with an explicit kind whatever its name says.
    Write("form.dat", TBytes().i32(-1));
    EXPECT_EQ(RunCli({"check", Path("form.dat")}).code, 4);
    EXPECT_EQ(RunCli({"check", Path("form.dat"), "--kind", "form"}).code, 0);
}
