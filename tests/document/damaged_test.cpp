// The damaged-file analysis: what can be read is offered for repair, and the program goes on
// either way.
#include "files.h"
#include "fixture.h"

#include "platform/messages.h"

#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

namespace {

class Damaged : public DocumentFixture {
protected:
    // Five sheets S1..S5, each with one shape; the file ends in the middle of the second record.
    QString FiveSheetsSecondCut(const QString& name, int version = 80) {
        TDocPlan plan;
        plan.Version = version;
        plan.Sheets = QList<TSheetPlan>(5);
        for (int i = 0; i < 5; ++i) {
            plan.Sheets[i].Name = QStringLiteral("S%1").arg(i + 1);
            plan.Sheets[i].Elements = ElementList({ShapeEntry(i + 1)});
        }
        const QByteArray whole = DocumentFile(plan);
        const QByteArray second = SheetRecord(version, plan.Sheets[1]);
        const qsizetype at = whole.indexOf(second);
        return Write(name, whole.left(at + second.size() / 2));
    }
    const TPromptRequest& OnlyPrompt() {
        EXPECT_EQ(prompts.History().size(), 1);
        return prompts.History()[0].Request;
    }
    static void ExpectOneNewEmptySheet(const TDocument& doc) {
        ASSERT_EQ(doc.SheetCount(), 1);
        EXPECT_EQ(doc.Sheet(0).SheetName, GetMessage(5077));
        EXPECT_TRUE(doc.Sheet(0).Elements.empty());
        EXPECT_EQ(doc.CurrentIndex(), 0);
    }
};

} // namespace

TEST_F(Damaged, SecondOfFiveSheetsBrokenOffersTheFirstForRepair) {
    const QString path = FiveSheetsSecondCut("plan.kav8");
    for (TPromptResult answer : {TPromptResult::Cancel, TPromptResult::Ok}) {
        SCOPED_TRACE(int(answer));
        prompts.Clear();
        prompts.Answer(answer);
        TDocument doc;
        TLoadReport report;
        const bool ok = LoadDocumentFile(doc, path, FileKind::Document, {}, &report);
        EXPECT_EQ(report.SheetsRead, 1);
        EXPECT_EQ(report.SheetsStored, 5);
        const TPromptRequest& r = OnlyPrompt();
        EXPECT_EQ(r.Text, RepairOfferText(path, 1, 5));
        EXPECT_TRUE(r.Text.startsWith(DamagedFileText(path)));
        EXPECT_EQ(r.Icon, TPromptIcon::Warning);
        EXPECT_EQ(r.Buttons, TPromptButtons::OkCancel);
        EXPECT_EQ(FileVersion, 80);
        EXPECT_TRUE(ComponentRegister().empty());
        if (answer == TPromptResult::Cancel) {
            EXPECT_FALSE(ok);
            ExpectOneNewEmptySheet(doc);
            EXPECT_FALSE(QFileInfo::exists(Path("plan_RECOVER.kav8")));
        } else {
            // The recovery file is written and opened in place of the damaged one.
            EXPECT_TRUE(ok);
            EXPECT_EQ(report.RecoveryFile, Path("plan_RECOVER.kav8"));
            EXPECT_EQ(doc.FileName, Path("plan_RECOVER.kav8"));
            ASSERT_EQ(doc.SheetCount(), 1);
            EXPECT_EQ(doc.Sheet(0).SheetName, "S1");
            EXPECT_EQ(Values(doc.Sheet(0)), std::vector<qint32>{1});
            EXPECT_FALSE(doc.Modified);
            TDocument again;
            ASSERT_TRUE(LoadDocumentFile(again, Path("plan_RECOVER.kav8"), FileKind::Document));
            EXPECT_EQ(again.SheetCount(), 1);
        }
    }

    // Through Open the recovered file becomes the document's file and a recent file.
    prompts.Clear();
    prompts.Answer(TPromptResult::Ok);
    TDocument doc;
    ASSERT_TRUE(doc.Open(path));
    EXPECT_EQ(doc.FileName, Path("plan_RECOVER.kav8"));
    EXPECT_EQ(doc.Settings.RecentFiles.first(), Path("plan_RECOVER.kav8"));
}

TEST_F(Damaged, NothingToRepairShowsTheTextOnlyAndTheProgramGoesOn) {
    TDocPlan firstBroken;
    firstBroken.Sheets = QList<TSheetPlan>(3);
    firstBroken.Sheets[0].Elements = ElementList({TBytes().u8(120)});
    TDocPlan tooMany;
    tooMany.StoredCountMinusOne = 2000; // one record present, 2001 claimed
    TDocPlan badVars;
    badVars.Vars = {QString(300, QLatin1Char('v'))};
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"first sheet broken", DocumentFile(firstBroken)},
                 {"more than 1001 sheets stored", DocumentFile(tooMany)},
                 {"user variables broken", DocumentFile(badVars)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        prompts.Answer(TPromptResult::Ok); // must not be asked
        TDocument doc;
        const QString path = Write("x.kav8", c.bytes);
        EXPECT_FALSE(LoadDocumentFile(doc, path, FileKind::Document));
        const TPromptRequest& r = OnlyPrompt();
        EXPECT_EQ(r.Text, DamagedFileText(path)); // no termination sentence
        EXPECT_EQ(r.Buttons, TPromptButtons::Ok);
        EXPECT_EQ(r.Icon, TPromptIcon::Warning);
        ExpectOneNewEmptySheet(doc);
        EXPECT_FALSE(QFileInfo::exists(Path("x_RECOVER.kav8")));
    }
}

TEST_F(Damaged, MissingOptionsAfterTheLastSheetOfAnOldFileLoseNoSheet) {
    TDocPlan plan;
    plan.Version = 55;
    plan.Sheets = QList<TSheetPlan>(2);
    QByteArray file = DocumentFile(plan);
    file.chop(2);
    prompts.Answer(TPromptResult::Ok);
    TDocument doc;
    ASSERT_TRUE(LoadDocumentFile(doc, Write("old.kav", file), FileKind::Document));
    EXPECT_EQ(OnlyPrompt().Text, RepairOfferText(Path("old.kav"), 2, 2));
    EXPECT_EQ(doc.SheetCount(), 2);
    EXPECT_EQ(doc.FileName, Path("old_RECOVER.kav8"));
}

TEST_F(Damaged, ARecoveryFileThatCannotBeWrittenLeavesTheReadSheetsInMemory) {
    const QString path = FiveSheetsSecondCut("plan.kav8");
    prompts.Answer(TPromptResult::Ok);
    TDocument doc;
    bool ok;
    {
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
        ok = LoadDocumentFile(doc, path, FileKind::Document);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompts.History().size(), 2);
    EXPECT_TRUE(prompts.History()[1].Request.Text.startsWith(GetMessage(5004)));
    ASSERT_EQ(doc.SheetCount(), 1);
    EXPECT_EQ(doc.Sheet(0).SheetName, "S1");
    EXPECT_TRUE(doc.FileName.isEmpty());
    EXPECT_TRUE(doc.Modified);
    EXPECT_FALSE(QFileInfo::exists(Path("plan_RECOVER.kav8")));
}

TEST_F(Damaged, DamagedSheetFiles) {
    TDocPlan plan;
    plan.Sheets = QList<TSheetPlan>(2);
    plan.Sheets[0].Name = "T1";
    plan.Sheets[1].Elements = ElementList({TBytes().u8(121)});
    const QString secondBroken = Write("two.blt", SheetFileBytes(plan));
    plan.Sheets[0].Elements = ElementList({TBytes().u8(121)});
    const QString firstBroken = Write("one.blt", SheetFileBytes(plan));

    struct Case {
        const char* name;
        QString path;
        TPromptResult answer;
        bool asked;
        int sheets; // after the load, in a document of two
    } cases[] = {{"repair keeps the readable sheet", secondBroken, TPromptResult::Ok, true, 3},
                 {"cancel keeps nothing", secondBroken, TPromptResult::Cancel, true, 2},
                 {"nothing readable", firstBroken, TPromptResult::Ok, false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        prompts.Answer(c.answer);
        TDocument doc;
        doc.New();
        doc.CreateSheet(false);
        doc.FileName = Path("own.kav8");
        EXPECT_FALSE(doc.LoadSheetFile(c.path, 0));
        EXPECT_EQ(OnlyPrompt().Buttons, c.asked ? TPromptButtons::OkCancel : TPromptButtons::Ok);
        EXPECT_EQ(doc.SheetCount(), c.sheets);
        EXPECT_EQ(doc.CurrentIndex(), doc.SheetCount() - 1);
        EXPECT_EQ(doc.FileName, Path("own.kav8")); // the document stays the user's own
        if (c.sheets == 3) EXPECT_EQ(doc.Sheet(2).SheetName, "T1");
        EXPECT_FALSE(QFileInfo::exists(Path("two_RECOVER.kav8")));
    }
}
