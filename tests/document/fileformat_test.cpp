#include "bytes.h"
#include "files.h"
#include "fixture.h"

#include "elements/elementlist.h"
#include "platform/messages.h"
#include "platform/stream.h"

#include <cmath>

namespace {

class FileFormat : public DocumentFixture {};

TLoadReport LoadInto(TDocument& doc, const QString& path, FileKind kind = FileKind::Document,
                     bool* ok = nullptr) {
    TLoadReport report;
    const bool result = LoadDocumentFile(doc, path, kind, {}, &report);
    if (ok) *ok = result;
    return report;
}

} // namespace

TEST_F(FileFormat, EmptyDocumentBytes) {
    TDocument doc;
    ASSERT_TRUE(doc.New());
    ASSERT_TRUE(SaveDocumentFile(doc, Path("empty.kav8"), FileKind::Document));
    const QByteArray bytes = Read(Path("empty.kav8"));

    TBytesReader r(bytes);
    EXPECT_EQ(r.u8(), 7);
    EXPECT_EQ(r.raw(7), QByteArray("KAVRO80"));
    EXPECT_EQ(r.raw(3), QByteArray(3, '\0'));
    EXPECT_EQ(r.i32(), 0);  // user variables
    EXPECT_EQ(r.u8(), 0);   // ComponentPageNumbers
    EXPECT_EQ(r.u8(), 0);   // SheetPageNumbers
    EXPECT_EQ(r.str(), ""); // PageNumberPrefix
    EXPECT_EQ(r.str(), ""); // PrintSelection
    EXPECT_EQ(r.i32(), 0);  // current sheet
    EXPECT_EQ(r.i32(), 0);  // sheet count minus one
    EXPECT_EQ(r.str(), GetMessage(5077));
    EXPECT_EQ(r.i32(), 210); // height before width
    EXPECT_EQ(r.i32(), 297);
    EXPECT_EQ(r.i32(), 10);
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.f32(), 0.2f);
    EXPECT_EQ(r.i32(), -1); // elements
    EXPECT_EQ(r.i32(), -1); // horizontal magnet lines
    EXPECT_EQ(r.i32(), -1); // vertical magnet lines
    EXPECT_EQ(r.f32(), 0.0f);
    EXPECT_EQ(r.f32(), 0.0f);
    EXPECT_EQ(r.f64(), 1.0);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.str(), "");
    // Print layout.
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.f32(), 0.0f);
    EXPECT_EQ(r.f32(), 0.0f);
    EXPECT_EQ(r.i32(), 100);
    EXPECT_EQ(r.u8(), 0);
    r.raw(3);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.u8(), 0); // reserve sheet
    // Zone grid.
    EXPECT_EQ(r.f32(), 2800.0f);
    EXPECT_EQ(r.f32(), 1900.0f);
    EXPECT_EQ(r.f32(), 100.0f);
    EXPECT_EQ(r.f32(), 100.0f);
    EXPECT_EQ(r.i32(), 10);
    EXPECT_EQ(r.i32(), 8);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.u8(), 0);
    EXPECT_EQ(r.left(), 0);

    // The builder of the tests spells the same file.
    TDocPlan plan;
    plan.Sheets[0].Name = GetMessage(5077);
    EXPECT_EQ(bytes.toHex(), DocumentFile(plan).toHex());

    TDocument back;
    ASSERT_TRUE(LoadDocumentFile(back, Path("empty.kav8"), FileKind::Document));
    ASSERT_EQ(back.SheetCount(), 1);
    const TEditor& s = back.Sheet(0);
    EXPECT_EQ(s.SheetName, GetMessage(5077));
    EXPECT_TRUE(s.Elements.empty());
    EXPECT_TRUE(s.MagnetLinesH.empty());
    EXPECT_TRUE(s.MagnetLinesV.empty());
    EXPECT_EQ(s.SheetWidth, 297);
    EXPECT_EQ(s.ZoneGrid.Columns, 10);
    EXPECT_FALSE(back.Modified);
}

TEST_F(FileFormat, EverySheetFieldRoundTrips) {
    TDocument doc;
    doc.New();
    doc.UserVariables = {{"Projekt", "Anlage 7"}, {"Kunde", "Müller & Co"}};
    doc.ComponentPageNumbers = true;
    doc.SheetPageNumbers = true;
    doc.PageNumberPrefix = "-";
    doc.PrintSelection = "1-3";
    TEditor& a = doc.Sheet(0);
    a.SheetName = "Übersicht <Projekt>";
    a.SheetDescription = "Zeile 1\rZeile 2";
    a.ReserveSheet = true;
    a.SheetWidth = 420;
    a.SheetHeight = 297;
    a.GridSize = 25;
    a.Zoom = 1.5f;
    a.ScrollPosition = QPoint(120, -40);
    a.Origin = {12.5f, -3.25f};
    a.Scale = 2.5;
    a.UnitDivisor = 1000;
    a.PrintLayout = {2, 1.5f, -2.5f, 80, 1, {0, 0, 0}, 3, 2, 5, 9};
    a.ZoneGrid = {4000, 2000, 50, 60, 12, 6, 0, 3};
    a.ZoneGridVisible = true;
    a.MagnetLinesH = {10, 20.5f};
    a.MagnetLinesV = {-7};
    AddShape(a, 11);
    AddShape(a, 12, true).LineColor = 0x123456;
    TEditor& b = doc.CreateSheet(false);
    b.SheetName = "Zweites";
    doc.ShowSheet(1);

    const QString first = Path("a.kav8");
    ASSERT_TRUE(SaveDocumentFile(doc, first, FileKind::Document));
    TDocument back;
    ASSERT_TRUE(LoadDocumentFile(back, first, FileKind::Document));
    EXPECT_EQ(back.UserVariables, doc.UserVariables);
    EXPECT_TRUE(back.ComponentPageNumbers);
    EXPECT_TRUE(back.SheetPageNumbers);
    EXPECT_EQ(back.PageNumberPrefix, "-");
    EXPECT_EQ(back.PrintSelection, "1-3");
    ASSERT_EQ(back.SheetCount(), 2);
    EXPECT_EQ(back.CurrentIndex(), 1);
    const TEditor& c = back.Sheet(0);
    EXPECT_EQ(c.SheetName, a.SheetName);
    EXPECT_EQ(c.SheetDescription, a.SheetDescription);
    EXPECT_TRUE(c.ReserveSheet);
    EXPECT_EQ(c.SheetWidth, 420);
    EXPECT_EQ(c.SheetHeight, 297);
    EXPECT_EQ(c.GridSize, 25);
    EXPECT_EQ(c.Zoom, 1.5f);
    EXPECT_EQ(c.ScrollPosition, QPoint(120, -40));
    EXPECT_EQ(c.Origin, a.Origin);
    EXPECT_EQ(c.Scale, 2.5);
    EXPECT_EQ(c.UnitDivisor, 1000);
    EXPECT_EQ(c.PrintLayout.Orientation, 2);
    EXPECT_EQ(c.PrintLayout.OffsetY, -2.5f);
    EXPECT_EQ(c.PrintLayout.PagesAcross, 3);
    EXPECT_EQ(c.PrintLayout.ClipFlags, 9);
    EXPECT_EQ(c.ZoneGrid.Width, 4000.0f);
    EXPECT_EQ(c.ZoneGrid.FirstColumn, 0);
    EXPECT_EQ(c.ZoneGrid.FirstRow, 3);
    EXPECT_TRUE(c.ZoneGridVisible);
    EXPECT_EQ(c.MagnetLinesH, a.MagnetLinesH);
    EXPECT_EQ(c.MagnetLinesV, a.MagnetLinesV);
    EXPECT_EQ(Values(c), (std::vector<qint32>{11, 12}));
    EXPECT_TRUE(c.Elements[1]->FormLayer);
    EXPECT_EQ(c.Elements[1]->LineColor, 0x123456);

    const QString second = Path("b.kav8");
    ASSERT_TRUE(SaveDocumentFile(back, second, FileKind::Document));
    EXPECT_EQ(Read(first).toHex(), Read(second).toHex());
}

TEST_F(FileFormat, OlderVersionsReadTheirOwnLayout) {
    // What each version stores; the fields a version lacks keep the defaults of a new sheet.
    struct Case {
        int version;
        bool origin, scale, layout;
    } cases[] = {{45, false, false, false}, {55, false, false, false}, {60, true, false, false},
                 {61, true, false, false},  {70, true, true, false},   {79, true, true, false},
                 {80, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        TDocPlan plan;
        plan.Version = c.version;
        // The builder writes 8-bit text before version 80: Latin-1, which is Windows-1252 here.
        plan.Vars = {QString::fromUtf8("Ort|Köln")};
        plan.ComponentPageNumbers = false;
        plan.SheetPageNumbers = true;
        plan.Prefix = "P";
        plan.PrintSelection = "2";
        TSheetPlan& s = plan.Sheets[0];
        s.Name = QString::fromUtf8("Straße");
        s.OriginX = 5;
        s.Scale = 3;
        s.UnitDivisor = 10;
        s.Description = QString::fromUtf8("Beschreibung ä");
        s.Reserve = true;
        s.ZoneGrid = TBytes().f32(1000).f32(500).f32(1).f32(2).i32(4).i32(3).i32(1).i32(1);
        const QByteArray file = DocumentFile(plan);
        TDocument doc;
        doc.PageNumberPrefix = "kept";
        doc.PrintSelection = "cleared";
        bool ok = false;
        LoadInto(doc, Write(QStringLiteral("v%1.kav").arg(c.version), file), FileKind::Document, &ok);
        ASSERT_TRUE(ok) << prompts.Texts().join(" | ").toStdString();
        ASSERT_EQ(doc.SheetCount(), 1);
        const TEditor& sheet = doc.Sheet(0);
        EXPECT_EQ(sheet.SheetName, QString::fromUtf8("Straße"));
        EXPECT_EQ(sheet.Origin.X, c.origin ? 5.0f : 0.0f);
        EXPECT_EQ(sheet.Scale, c.scale ? 3.0 : 1.0);
        EXPECT_EQ(sheet.UnitDivisor, c.scale ? 10 : 1);
        EXPECT_EQ(sheet.SheetDescription, c.scale ? QString::fromUtf8("Beschreibung ä") : QString());
        EXPECT_EQ(sheet.ReserveSheet, c.layout);
        EXPECT_EQ(sheet.ZoneGrid.Columns, c.layout ? 4 : 10);
        EXPECT_EQ(sheet.PrintLayout.ScalePercent, 100);
        EXPECT_EQ(doc.UserVariables.size(), c.version >= 60 ? 1 : 0);
        if (c.version >= 60) EXPECT_EQ(doc.UserVariables[0].Value, QString::fromUtf8("Köln"));
        EXPECT_EQ(doc.SheetPageNumbers, c.version >= 50);
        EXPECT_EQ(doc.PageNumberPrefix, c.version >= 80 ? "P" : "kept");
        EXPECT_EQ(doc.PrintSelection,
                  c.version >= 80 ? "2" : (c.version >= 61 ? "" : "cleared"));
        EXPECT_EQ(FileVersion, 80);
    }
}

TEST_F(FileFormat, HeadersThatAreNotReadable) {
    struct Case {
        const char* name;
        QByteArray bytes;
        TLoadOutcome outcome;
        QString text; // what the message box says
        QString caption;
    } cases[] = {
        {"digits not a number", TBytes().raw(Header("8x")).zeros(40), TLoadOutcome::NotKavro,
         "\"h.kav8\" " + GetMessage(5005), "Kavro"},
        {"wrong magic", TBytes().u8(7).raw("KAVRA80").zeros(43), TLoadOutcome::NotKavro,
         "\"h.kav8\" " + GetMessage(5005), "Kavro"},
        {"too short for a header", QByteArray("KAV"), TLoadOutcome::NotKavro,
         "\"h.kav8\" " + GetMessage(5005), "Kavro"},
        {"version 90", TBytes().raw(Header(90)).zeros(40), TLoadOutcome::NewerVersion,
         "(9.0)", QString::fromUtf8("Öffnen")},
        {"version 85", TBytes().raw(Header(85)).zeros(40), TLoadOutcome::NewerVersion,
         "(8.0)", QString::fromUtf8("Öffnen")},
        {"version 95", TBytes().raw(Header(95)).zeros(40), TLoadOutcome::NewerVersion,
         "(10.0)", QString::fromUtf8("Öffnen")},
        {"version 81", TBytes().raw(Header(81)).zeros(40), TLoadOutcome::NewerVersion,
         "(8.0)", QString::fromUtf8("Öffnen")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        TDocument doc;
        bool ok = true;
        const TLoadReport r = LoadInto(doc, Write("h.kav8", c.bytes), FileKind::Document, &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(r.Outcome, c.outcome);
        ASSERT_EQ(prompts.History().size(), 1);
        const TPromptRequest& shown = prompts.History()[0].Request;
        EXPECT_TRUE(shown.Text.contains(c.text)) << shown.Text.toStdString();
        EXPECT_EQ(shown.Caption, c.caption);
        EXPECT_EQ(shown.Icon, TPromptIcon::Error);
        if (c.outcome == TLoadOutcome::NewerVersion) {
            EXPECT_TRUE(shown.Text.startsWith("\"" + Path("h.kav8") + "\"\r\r" + GetMessage(5006)));
            EXPECT_TRUE(shown.Text.endsWith("\r\r" + GetMessage(5007)));
        }
        // The document is left with one new empty sheet.
        ASSERT_EQ(doc.SheetCount(), 1);
        EXPECT_TRUE(doc.Sheet(0).Elements.empty());
        EXPECT_EQ(FileVersion, 80);
        EXPECT_FALSE(QFileInfo::exists(Path("Backup_of_h.kav8")));
    }
}

TEST_F(FileFormat, CurrentSheetIndexAndSheetCountAreKeptInRange) {
    struct Case {
        const char* name;
        qint32 current;
        int sheets;
        int wantCurrent, wantSheets;
    } cases[] = {{"stored index", 1, 3, 1, 3},
                 {"negative index", -4, 2, 0, 2},
                 {"index past the last sheet", 7, 2, 1, 2},
                 {"no sheet at all", 0, 0, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocPlan plan;
        plan.Current = c.current;
        plan.Sheets = QList<TSheetPlan>(c.sheets);
        TDocument doc;
        bool ok = false;
        LoadInto(doc, Write("c.kav8", DocumentFile(plan)), FileKind::Document, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(doc.SheetCount(), c.wantSheets);
        EXPECT_EQ(doc.CurrentIndex(), c.wantCurrent);
        EXPECT_TRUE(prompts.History().isEmpty());
        EXPECT_EQ(doc.SheetHistory().size(), 0u);
    }
}

TEST_F(FileFormat, ValuesThatWouldDivideByZeroOrOverflowAreClamped) {
    TDocPlan plan;
    TSheetPlan& s = plan.Sheets[0];
    s.Zoom = 0;
    s.Grid = 0;
    s.Width = -5;
    s.Height = 2000000000;
    s.Scale = 0;
    s.ZoneGrid = TBytes().f32(0).f32(std::nanf("")).f32(INFINITY).f32(1).i32(0).i32(900).i32(INT_MAX).i32(INT_MIN);
    s.PrintLayout = TBytes().i32(7).f32(NAN).f32(0).i32(0).u8(1).zeros(3).i32(0).i32(99).i32(-3).i32(0);
    TSheetPlan t;
    t.Zoom = std::nanf("");
    t.Grid = -10;
    TSheetPlan u;
    u.Zoom = 1e30f;
    plan.Sheets = {s, t, u};
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("z.kav8", DocumentFile(plan)), FileKind::Document));
    const TEditor& a = doc.Sheet(0);
    EXPECT_EQ(a.Zoom, kMinZoom);
    EXPECT_EQ(a.GridSize, 1);
    EXPECT_EQ(a.SheetWidth, 1);
    EXPECT_LE(a.SheetHeight, 100000);
    EXPECT_EQ(a.Scale, 1.0);
    EXPECT_GE(a.ZoneGrid.Width, 1.0f);
    EXPECT_TRUE(std::isfinite(a.ZoneGrid.Height) && a.ZoneGrid.Height >= 1);
    EXPECT_TRUE(std::isfinite(a.ZoneGrid.OffsetX));
    EXPECT_EQ(a.ZoneGrid.Columns, 1);
    EXPECT_EQ(a.ZoneGrid.Rows, 50);
    EXPECT_LE(a.ZoneGrid.FirstColumn, 1000000);
    EXPECT_GE(a.ZoneGrid.FirstRow, -1000000);
    EXPECT_EQ(a.PrintLayout.Orientation, 0);
    EXPECT_EQ(a.PrintLayout.OffsetX, 0.0f);
    EXPECT_GE(a.PrintLayout.ScalePercent, 1);
    EXPECT_EQ(a.PrintLayout.PagesAcross, 1);
    EXPECT_EQ(a.PrintLayout.PagesDown, 6);
    EXPECT_EQ(a.PrintLayout.Overlap, 0);
    EXPECT_EQ(doc.Sheet(1).Zoom, 0.2f);
    EXPECT_EQ(doc.Sheet(1).GridSize, 1);
    EXPECT_EQ(doc.Sheet(2).Zoom, kMaxZoom);
}

TEST_F(FileFormat, CountsBeyondTheDataFailBeforeAnythingIsAllocated) {
    // Each file claims far more than it holds; the reader must refuse without trying.
    TSheetPlan hugeElements;
    hugeElements.Elements = TBytes().i32(INT_MAX - 1);
    TSheetPlan hugeMagnets;
    hugeMagnets.MagnetH = {1};
    TDocPlan magnets;
    magnets.Sheets = {hugeMagnets};
    QByteArray magnetFile = DocumentFile(magnets);
    // Patch the horizontal magnet count (after the element list) to a huge value.
    const QByteArray rec = SheetRecord(80, hugeMagnets);
    const qsizetype at = magnetFile.indexOf(rec) + (rec.indexOf(floatList({1})));
    QByteArray count = TBytes().i32(0x3FFFFFFF);
    magnetFile.replace(at, 4, count);
    TDocPlan elements;
    elements.Sheets = {hugeElements};
    TDocPlan vars;
    vars.Vars = {"a|b"};
    QByteArray varFile = DocumentFile(vars);
    varFile.replace(11, 4, TBytes().i32(30000).b); // 30000 entries announced, one present
    TDocPlan name;
    QByteArray nameFile = DocumentFile(name);
    const qsizetype nameAt = nameFile.indexOf(TBytes().str("Blatt").b);
    nameFile.replace(nameAt, 4, TBytes().i32(0x7FFFFFFF).b);

    struct Case {
        const char* name;
        QByteArray bytes;
        TDamageStage stage;
    } cases[] = {{"element count", DocumentFile(elements), TDamageStage::Sheets},
                 {"magnet lines", magnetFile, TDamageStage::Sheets},
                 {"user variables", varFile, TDamageStage::Variables},
                 {"string length", nameFile, TDamageStage::Sheets}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocument doc;
        const TLoadReport r = ReadDocumentData(doc, c.bytes, FileKind::Document);
        EXPECT_EQ(r.Outcome, TLoadOutcome::Damaged);
        EXPECT_EQ(r.Stage, c.stage);
        EXPECT_EQ(r.SheetsRead, 0);
        EXPECT_EQ(FileVersion, 80);
    }
}

TEST_F(FileFormat, UserVariableLimits) {
    auto vars = [](int n, int length) {
        QStringList l;
        for (int i = 0; i < n; ++i) {
            QString e = QStringLiteral("v%1|").arg(i);
            l.append(e + QString(qMax(0, length - int(e.size())), QLatin1Char('x')));
        }
        return l;
    };
    struct Case {
        const char* name;
        int count, length;
        bool ok;
    } cases[] = {{"30000 entries", 30000, 8, true},
                 {"30001 entries", 30001, 8, false},
                 {"an entry of 250 units", 1, 250, true},
                 {"an entry of 251 units", 1, 251, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        TDocPlan plan;
        plan.Vars = vars(c.count, c.length);
        TDocument doc;
        bool ok = false;
        const TLoadReport r = LoadInto(doc, Write("u.kav8", DocumentFile(plan)), FileKind::Document, &ok);
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(doc.UserVariables.size(), c.count);
        } else {
            EXPECT_EQ(r.Stage, TDamageStage::Variables);
            ASSERT_EQ(prompts.History().size(), 1);
            EXPECT_EQ(prompts.History()[0].Request.Text, DamagedFileText(Path("u.kav8")));
            EXPECT_EQ(prompts.History()[0].Request.Icon, TPromptIcon::Warning);
            EXPECT_EQ(doc.SheetCount(), 1);
        }
        // The same for a version-79 file, whose entries are 8-bit short strings.
        plan.Version = 79;
        TDocument old;
        LoadInto(old, Write("u.kav", DocumentFile(plan)), FileKind::Document, &ok);
        EXPECT_EQ(ok, c.ok);
    }
}

TEST_F(FileFormat, UserVariablesMergeAndWriteOnlyWhatReadsBack) {
    TDocPlan plan;
    plan.Vars = {"A|1", "no bar", "|nameless", " a |2", "B|3", "b|3"};
    prompts.Answer(TPromptResult::Yes);
    TDocument doc;
    doc.UserVariables = {{"Old", "gone"}}; // a document load replaces the list
    ASSERT_TRUE(LoadDocumentFile(doc, Write("m.kav8", DocumentFile(plan)), FileKind::Document));
    ASSERT_EQ(prompts.History().size(), 1); // only A asks: same name, other value
    EXPECT_EQ(prompts.History()[0].Request.Text,
              "\"a\" : " + GetMessage(5008) + "\r\r" + GetMessage(5009) + " (\"2\")");
    EXPECT_EQ(doc.UserVariables, (TUserVariables{{"A", "2"}, {"B", "3"}}));

    // A value too long for the stored limit is cut, and the file still opens.
    doc.UserVariables = {{"long", QString(400, QLatin1Char('y'))}, {"", "no name"}};
    ASSERT_TRUE(SaveDocumentFile(doc, Path("long.kav8"), FileKind::Document));
    TDocument back;
    ASSERT_TRUE(LoadDocumentFile(back, Path("long.kav8"), FileKind::Document));
    ASSERT_EQ(back.UserVariables.size(), 1);
    EXPECT_EQ(back.UserVariables[0].Value.size(), kMaxUserVariableEntry - 5);
}

TEST_F(FileFormat, Version55DocumentWithOtherPageNumberOptionIsReadTwice) {
    for (bool stored : {false, true}) {
        SCOPED_TRACE(stored);
        TDocPlan plan;
        plan.Version = 55;
        plan.ComponentPageNumbers = stored;
        plan.Sheets = QList<TSheetPlan>(2);
        TDocument doc;
        doc.ComponentPageNumbers = false;
        TLoadReport r;
        ASSERT_TRUE(LoadDocumentFile(doc, Write("v55.kav", DocumentFile(plan)), FileKind::Document,
                                     {}, &r));
        EXPECT_EQ(r.Passes, stored ? 2 : 1);
        EXPECT_EQ(doc.ComponentPageNumbers, stored);
        EXPECT_EQ(doc.SheetCount(), 2);
    }
}

TEST_F(FileFormat, ElementListFramingAndTypeCodes) {
    struct Case {
        const char* name;
        QByteArray list;
        bool ok;
        std::vector<qint32> values;
    } cases[] = {
        {"-1 is an empty list and nothing more is read", TBytes().i32(-1), true, {}},
        {"any negative count is empty", TBytes().i32(-77), true, {}},
        {"two elements in order", ElementList({ShapeEntry(1), ShapeEntry(2)}), true, {1, 2}},
        {"bit 7 of the type code is ignored",
         TBytes().i32(0).u8(0x80 | kTestShapeCode).raw(CommonHeader()).i32(5).i32(0), true, {5}},
        {"an unknown type code fails", ElementList({ShapeEntry(1), TBytes().u8(15).zeros(30)}),
         false, {}},
        {"a record cut short fails", TBytes().i32(0).u8(kTestShapeCode).raw(CommonHeader()).i32(5),
         false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocPlan plan;
        plan.Sheets[0].Elements = c.list;
        plan.Sheets.append(TSheetPlan{});
        TDocument doc;
        const TLoadReport r = ReadDocumentData(doc, DocumentFile(plan), FileKind::Document);
        EXPECT_EQ(r.Outcome == TLoadOutcome::Ok, c.ok) << r.Reason.toStdString();
        if (c.ok) {
            ASSERT_EQ(doc.SheetCount(), 2); // the framing consumed exactly the list
            EXPECT_EQ(Values(doc.Sheet(0)), c.values);
        } else {
            EXPECT_EQ(r.SheetsRead, 0);
            EXPECT_EQ(r.SheetsStored, 2);
        }
    }
    // Nesting deeper than any drawing is refused instead of exhausting the stack.
    // Each level is a component whose body holds the level below.
    auto nestedList = [](int depth) {
        QByteArray list = ElementList({ShapeEntry(1)});
        for (int i = 1; i < depth; ++i)
            list = ElementList({ComponentEntry(i, 0, {}).left(9) + list});
        return list;
    };
    for (int depth : {kMaxListNesting, kMaxListNesting + 1}) {
        TDocPlan deep;
        deep.Sheets[0].Elements = nestedList(depth);
        TDocument doc;
        const TLoadReport r = ReadDocumentData(doc, DocumentFile(deep), FileKind::Document);
        EXPECT_EQ(r.Outcome == TLoadOutcome::Ok, depth == kMaxListNesting) << r.Reason.toStdString();
    }
}

TEST_F(FileFormat, FormSheetFiles) {
    const QByteArray zone = TBytes().f32(999).f32(888).f32(7).f32(6).i32(5).i32(4).i32(3).i32(2);
    struct Case {
        const char* name;
        QByteArray file;
        bool ok;
        std::vector<qint32> values; // the form sheet gathers at the start, before element 100
        bool zoneApplied;
    } cases[] = {
        {"-1: version 40, empty list", TBytes().i32(-1), true, {100}, false},
        {"0: version 40, one element", TBytes().i32(0).raw(ShapeEntry(7)), true, {7, 100}, false},
        {"version 40 reads elements as version 40",
         TBytes().i32(0).raw(TextEntry("t", 1, 0, 40, "")), true, {0, 100}, false},
        {"version 80 with zone grid",
         TBytes().i32(-80).raw(UserVarBlock(80, {})).raw(ElementList({ShapeEntry(8)})).raw(zone),
         true, {8, 100}, true},
        {"version 80 without zone grid",
         TBytes().i32(-80).raw(UserVarBlock(80, {})).raw(ElementList({ShapeEntry(8)})), true,
         {8, 100}, false},
        {"a cut zone grid is a read error",
         TBytes().i32(-80).raw(UserVarBlock(80, {})).raw(ElementList({ShapeEntry(8)})).raw(zone.left(5)),
         false, {100}, false},
        {"a broken element adds nothing",
         TBytes().i32(-80).raw(UserVarBlock(80, {})).raw(ElementList({ShapeEntry(8), TBytes().u8(99)})),
         false, {100}, false},
        {"version 81 is refused", TBytes().i32(-81).raw(UserVarBlock(80, {})).i32(-1), false, {100},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        TDocument doc;
        doc.New();
        AddShape(doc.Sheet(0), 100);
        bool ok = false;
        LoadInto(doc, Write("f.sbk", c.file), FileKind::FormSheetFile, &ok);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(Values(doc.Sheet(0)), c.values);
        for (const auto& e : doc.Sheet(0).Elements)
            EXPECT_EQ(e->FormLayer, static_cast<TTestShape&>(*e).Value != 100);
        EXPECT_EQ(doc.Sheet(0).ZoneGrid.Width, c.zoneApplied ? 999.0f : 2800.0f);
        EXPECT_EQ(doc.Modified, c.ok);
        EXPECT_EQ(FileVersion, 80);
        if (!c.ok) {
            ASSERT_EQ(prompts.History().size(), 1);
        }
    }
}

TEST_F(FileFormat, FormSheetFileHoldsOnlyTheFormLayer) {
    TDocument doc;
    doc.New();
    doc.UserVariables = {{"X", "1"}};
    TEditor& sheet = doc.Sheet(0);
    AddShape(sheet, 1);
    AddShape(sheet, 2, true);
    AddShape(sheet, 3);
    AddShape(sheet, 4, true);
    sheet.ZoneGrid.Columns = 20;
    ASSERT_TRUE(doc.SaveFormSheet(Path("form.sbk")));
    const QByteArray bytes = Read(Path("form.sbk"));
    TBytesReader r(bytes);
    EXPECT_EQ(r.i32(), -80);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.str(), "X|1");
    EXPECT_EQ(r.i32(), 1); // two form elements, minus one
    EXPECT_EQ(doc.Settings.FormSheetFolder, dir.path() + "/");
    // The rest: two entries and the zone grid.
    EXPECT_EQ(bytes.mid(r.pos),
              ShapeEntry(2, true) + ShapeEntry(4, true) +
                  TBytes().f32(2800).f32(1900).f32(100).f32(100).i32(20).i32(8).i32(1).i32(1).b);
}

TEST_F(FileFormat, DuplicateComponentIdentitiesAreRenewedAndChildrenFollow) {
    TDocPlan plan;
    plan.Sheets[0].Elements = ElementList({
        ComponentEntry(5, 0, {ShapeEntry(1)}),
        ComponentEntry(5, 0, {ShapeEntry(2)}),
        ComponentEntry(9, 5, {ShapeEntry(3)}),
    });
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("d.kav8", DocumentFile(plan)), FileKind::Document));
    auto& list = doc.Sheet(0).Elements;
    ASSERT_EQ(list.size(), 3u);
    auto* a = dynamic_cast<TTestComponent*>(list[0].get());
    auto* b = dynamic_cast<TTestComponent*>(list[1].get());
    auto* child = dynamic_cast<TTestComponent*>(list[2].get());
    ASSERT_TRUE(a && b && child);
    EXPECT_NE(a->ComponentId, b->ComponentId);
    // The first one met was renumbered; its child went with it.
    EXPECT_NE(a->ComponentId, 5);
    EXPECT_EQ(child->ParentId, a->ComponentId);
    EXPECT_EQ(child->Parent, a);
    EXPECT_EQ(a->Children, std::vector<TComponentLinks*>{child});
    EXPECT_TRUE(b->Children.empty());
    EXPECT_EQ(a->LabelRefreshes, 2); // before and after the linking
    EXPECT_TRUE(ComponentRegister().empty());
}

TEST_F(FileFormat, ComponentsInsideBodiesAreLinkedAndPreexistingIdentitiesWin) {
    TDocument doc;
    doc.New();
    // A component already in the document owns identity 40.
    TDocPlan first;
    first.Sheets[0].Elements = ElementList({ComponentEntry(40, 0, {ShapeEntry(1)})});
    ASSERT_TRUE(doc.LoadSheetFile(Write("one.blt", SheetFileBytes(first)), 0));
    // The sheet file brings another 40 with a child, and a parent nested inside a body.
    TDocPlan second;
    second.Sheets[0].Elements = ElementList({
        ComponentEntry(40, 0, {ShapeEntry(2)}),
        ComponentEntry(41, 40, {ShapeEntry(3)}),
        ComponentEntry(50, 0, {ComponentEntry(60, 0, {ShapeEntry(4)})}),
        ComponentEntry(61, 60, {ShapeEntry(5)}),
    });
    ASSERT_TRUE(doc.LoadSheetFile(Write("two.blt", SheetFileBytes(second)), 2));
    ASSERT_EQ(doc.SheetCount(), 3);
    auto* kept = dynamic_cast<TTestComponent*>(doc.Sheet(0).Elements[0].get());
    auto& added = doc.Sheet(2).Elements;
    auto* renewed = dynamic_cast<TTestComponent*>(added[0].get());
    auto* child = dynamic_cast<TTestComponent*>(added[1].get());
    auto* outer = dynamic_cast<TTestComponent*>(added[2].get());
    auto* nested = dynamic_cast<TTestComponent*>(outer->Body[0].get());
    auto* nestedChild = dynamic_cast<TTestComponent*>(added[3].get());
    EXPECT_EQ(kept->ComponentId, 40);
    EXPECT_NE(renewed->ComponentId, 40);
    EXPECT_EQ(child->Parent, renewed);
    EXPECT_EQ(nestedChild->Parent, nested);
    EXPECT_EQ(nested->Children, std::vector<TComponentLinks*>{nestedChild});
}

TEST_F(FileFormat, EmptyComponentsAreDroppedWithoutCountingAsAChange) {
    TDocPlan plan;
    plan.Sheets[0].Elements = ElementList({ShapeEntry(1), ComponentEntry(3, 0, {}), ShapeEntry(2),
                                           ComponentEntry(4, 3, {ShapeEntry(9)})});
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("e.kav8", DocumentFile(plan)), FileKind::Document));
    const auto& list = doc.Sheet(0).Elements;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2]->TypeCode, etBauteil);
    EXPECT_EQ(dynamic_cast<TTestComponent*>(list[2].get())->Parent, nullptr);
    EXPECT_FALSE(doc.Modified);
    EXPECT_FALSE(doc.HasChanges());
}

TEST_F(FileFormat, LegacyTextLinksAreConverted) {
    TDocPlan plan;
    plan.Version = 79;
    TSheetPlan one, two;
    one.Elements = ElementList({TextEntry("A", 1, 0, 79, "B"), TextEntry("C", 3, 0, 79, "nowhere")});
    two.Elements = ElementList({TextEntry("B", 2, 0, 79, ""), TextEntry("B", 4, 0, 79, "B")});
    plan.Sheets = {one, two};
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("t.kav", DocumentFile(plan)), FileKind::Document));
    auto text = [&](int sheet, int i) {
        return dynamic_cast<TTestText*>(doc.Sheet(sheet).Elements[size_t(i)].get());
    };
    EXPECT_EQ(text(0, 0)->LinkTarget, TestId(2));
    EXPECT_EQ(text(0, 0)->LinkRefreshes, 1);
    EXPECT_EQ(text(0, 1)->LinkTarget, TTextId{});
    EXPECT_EQ(text(1, 1)->LinkTarget, TestId(2)); // never itself: the first other "B"
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < 2; ++i) EXPECT_TRUE(text(s, i)->LegacyTarget.isEmpty());
}

TEST_F(FileFormat, LibraryPageFraming) {
    TEditor page;
    page.SheetName = "Widerst\u00E4nde\rResistors\rR\u00E9sistances";
    page.GridSize = 5;
    page.MagnetLinesH = {1}; // not part of a page record
    auto c = std::make_unique<TTestComponent>();
    c->ComponentId = 7;
    c->Body.push_back(std::make_unique<TTestShape>());
    page.Elements.push_back(std::move(c));
    QByteArray bytes;
    {
        TStreamWriter w(&bytes);
        WriteLibraryPageData(w, page);
    }
    TBytesReader r(bytes);
    EXPECT_EQ(r.raw(11), Header(80));
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.i32(), 0);
    EXPECT_EQ(r.str(), page.SheetName);
    EXPECT_EQ(r.i32(), 210);
    EXPECT_EQ(r.i32(), 297);
    EXPECT_EQ(r.i32(), 5);
    r.raw(12); // scroll position and zoom
    EXPECT_EQ(r.i32(), 0); // one element
    r.raw(bytes.size() - r.pos);
    EXPECT_EQ(r.left(), 0);

    TEditor back;
    const TLoadReport report = ReadLibraryPageData(bytes, back);
    EXPECT_EQ(report.Outcome, TLoadOutcome::Ok);
    EXPECT_EQ(back.SheetName, page.SheetName);
    ASSERT_EQ(back.Elements.size(), 1u);
    EXPECT_TRUE(back.MagnetLinesH.empty());
    EXPECT_TRUE(ComponentRegister().empty());

    // An old page with two records: every record's elements are appended, the last name wins.
    TBytes old;
    old.raw(Header(79)).i32(0).i32(1);
    for (const char* name : {"Erste", "Zweite"}) {
        old.shortStr(name, 31).i32(210).i32(297).u8(0).u8(0).i32(10).i32(0).i32(0).f32(0.2f);
        old.raw(ElementList({ComponentEntry(3, 0, {ShapeEntry(1)})}));
    }
    TEditor two;
    EXPECT_EQ(ReadLibraryPageData(old, two).Outcome, TLoadOutcome::Ok);
    EXPECT_EQ(two.SheetName, "Zweite");
    ASSERT_EQ(two.Elements.size(), 2u);
    // Within the page the duplicate identity is renewed.
    EXPECT_NE(dynamic_cast<TTestComponent*>(two.Elements[0].get())->ComponentId,
              dynamic_cast<TTestComponent*>(two.Elements[1].get())->ComponentId);

    TEditor broken;
    const TLoadReport bad = ReadLibraryPageData(bytes.left(bytes.size() - 3), broken);
    EXPECT_EQ(bad.Outcome, TLoadOutcome::Damaged);
    EXPECT_EQ(FileVersion, 80);
    EXPECT_FALSE(g_ElementSwitches.LoadingMark);
}
