#include "files.h"
#include "fixture.h"

#include "platform/config.h"
#include "platform/messages.h"

#include <QFileInfo>

namespace {

// A window stand-in that answers the document's dialogs from a script and notes its calls.
class TScriptedHost : public TDocumentHost {
public:
    QStringList SaveNames; // answers of the "Save as" dialog, in order; empty: Cancel
    QStringList AskedFolders;
    std::vector<int> Chosen;
    int ChooseTitle = 0;
    int SheetsChangedCalls = 0;
    QString ChooseSaveFileName(const QString&, const QString& folder) override {
        AskedFolders.append(folder);
        return SaveNames.isEmpty() ? QString() : SaveNames.takeFirst();
    }
    std::vector<int> ChooseSheets(int title, const std::vector<int>&, const std::vector<int>&) override {
        ChooseTitle = title;
        return Chosen;
    }
    void SheetsChanged() override { ++SheetsChangedCalls; }
};

class Documents : public DocumentFixture {
protected:
    TScriptedHost host;

    // A document of `n` sheets named A, B, C, ... as if just opened.
    void MakeSheets(TDocument& doc, int n) {
        doc.Host = &host;
        doc.New();
        for (int i = 1; i < n; ++i) doc.CreateSheet(false);
        for (int i = 0; i < n; ++i) doc.Sheet(i).SheetName = QString(QChar('A' + i));
        doc.Modified = false;
    }
    static QString Names(const TDocument& doc) {
        QString s;
        for (int i = 0; i < doc.SheetCount(); ++i) s += (i ? "," : "") + doc.Sheet(i).SheetName;
        return s;
    }
};

} // namespace

TEST_F(Documents, CaptionsAndTabTexts) {
    TDocument doc;
    MakeSheets(doc, 3);
    doc.UserVariables = {{"Anlage", "Halle 3"}};
    doc.Sheet(2).SheetName = "Plan";
    doc.Sheet(1).SheetName = "Teil <ANLAGE>";
    EXPECT_EQ(doc.TabText(2), "  Plan  ");
    EXPECT_EQ(doc.SheetCaption(1), "Teil Halle 3");
    EXPECT_EQ(doc.Sheet(1).SheetName, "Teil <ANLAGE>"); // stored unchanged
    EXPECT_EQ(doc.SheetCaption(2, true), "3: Plan");
    doc.SheetPageNumbers = true;
    EXPECT_EQ(doc.TabText(2), "  3: Plan  ");
    doc.Sheet(2).ReserveSheet = true;
    EXPECT_EQ(doc.TabText(2), "  (3)  ");

    EXPECT_EQ(doc.WindowCaption(), "Kavro 8.0");
    doc.FileName = "/tmp/x.kav8";
    EXPECT_EQ(doc.WindowCaption(), "Kavro 8.0 - [/tmp/x.kav8]");
    SetViewerConfiguration(true);
    EXPECT_EQ(doc.WindowCaption(), "Kavro 8.0 - Viewer - [/tmp/x.kav8]");
    SetViewerConfiguration(false);
}

TEST_F(Documents, NewSheetsTakeTheSheetDefaultsAndTheDefaultFormSheet) {
    TDocument form;
    form.New();
    AddShape(form.Sheet(0), 5, true);
    ASSERT_TRUE(form.SaveFormSheet(Path("default.sbk")));

    TDocument doc;
    doc.Settings.NewSheetWidth = 420;
    doc.Settings.NewSheetHeight = 297;
    doc.Settings.NewSheetGrid = 25;
    doc.Settings.DefaultFormSheet = Path("default.sbk");
    doc.New();
    const TEditor& sheet = doc.Sheet(0);
    EXPECT_EQ(sheet.SheetName, GetMessage(5077));
    EXPECT_EQ(sheet.SheetWidth, 420);
    EXPECT_EQ(sheet.SheetHeight, 297);
    EXPECT_EQ(sheet.GridSize, 25);
    EXPECT_EQ(Values(sheet), std::vector<qint32>{5});
    EXPECT_FALSE(doc.Modified); // applying the default form sheet is no change

    // A default form sheet that cannot be read is reported once and forgotten.
    Write("broken.sbk", TBytes().i32(-80).i32(0).i32(3).u8(99));
    doc.Settings.DefaultFormSheet = Path("broken.sbk");
    doc.AppendNewSheet();
    EXPECT_TRUE(doc.Settings.DefaultFormSheet.isEmpty());
    EXPECT_EQ(prompts.History().size(), 1);
    EXPECT_TRUE(doc.Sheet(1).Elements.empty());
}

TEST_F(Documents, MovingSheets) {
    struct Case {
        const char* name;
        int current;
        TDocument::TSheetMove move;
        const char* order;
        bool moved;
    } cases[] = {
        {"first to the left", 0, TDocument::TSheetMove::Left, "A,B,C,D", false},
        {"last to the right", 3, TDocument::TSheetMove::Right, "A,B,C,D", false},
        {"first to first", 0, TDocument::TSheetMove::First, "A,B,C,D", false},
        {"second to the left", 1, TDocument::TSheetMove::Left, "B,A,C,D", true},
        {"second to the right", 1, TDocument::TSheetMove::Right, "A,C,B,D", true},
        {"third to first", 2, TDocument::TSheetMove::First, "C,A,B,D", true},
        {"second to last", 1, TDocument::TSheetMove::Last, "A,C,D,B", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocument doc;
        MakeSheets(doc, 4);
        doc.ShowSheet(c.current);
        TEditor* shown = doc.CurrentSheet();
        EXPECT_EQ(doc.MoveCurrentSheet(c.move), c.moved);
        EXPECT_EQ(Names(doc), c.order);
        EXPECT_EQ(doc.Modified, c.moved);
        EXPECT_EQ(doc.CurrentSheet(), shown);
    }
}

TEST_F(Documents, CopyingASheetThreeTimesBeforeSheetTwo) {
    TDocument doc;
    MakeSheets(doc, 3);
    AddShape(doc.Sheet(0), 42);
    doc.CopySheet(0, 1, 3);
    const QString copy = GetMessage(5078) + " A";
    EXPECT_EQ(Names(doc), "A," + copy + "," + copy + "," + copy + ",B,C");
    EXPECT_EQ(Values(doc.Sheet(2)), std::vector<qint32>{42});
    EXPECT_NE(doc.Sheet(2).Elements[0].get(), doc.Sheet(0).Elements[0].get());
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(doc.CurrentIndex(), 3); // the last copy is shown
    EXPECT_FALSE(doc.IsLoading());
    EXPECT_TRUE(ComponentRegister().empty());
    EXPECT_TRUE(LoadedTextRegister().empty());
}

TEST_F(Documents, CopiedTextsGetIdentitiesOfTheirOwnAndKeepTheirLinks) {
    TDocument doc;
    MakeSheets(doc, 1);
    auto target = std::make_unique<TTestText>();
    target->Text = "Ziel";
    target->Id = TestId(1);
    auto link = std::make_unique<TTestText>();
    link->Text = "Verweis";
    link->Id = TestId(2);
    link->LinkTarget = TestId(1);
    auto outside = std::make_unique<TTestText>(); // links into the original sheet
    outside->Id = TestId(3);
    outside->LinkTarget = TestId(1);
    doc.Sheet(0).Elements.push_back(std::move(target));
    doc.Sheet(0).Elements.push_back(std::move(link));
    TEditor& other = doc.CreateSheet(false);
    other.Elements.push_back(std::move(outside));
    doc.CopySheet(0, 2, 1);
    auto text = [&](int s, int i) { return dynamic_cast<TTestText*>(doc.Sheet(s).Elements[size_t(i)].get()); };
    TTestText* copiedTarget = text(2, 0);
    TTestText* copiedLink = text(2, 1);
    EXPECT_NE(copiedTarget->Id, TestId(1));
    EXPECT_NE(copiedLink->Id, TestId(2));
    EXPECT_EQ(copiedLink->LinkTarget, copiedTarget->Id);
    EXPECT_EQ(text(1, 0)->LinkTarget, TestId(1)); // the original's links stay as they were
    EXPECT_EQ(text(0, 1)->LinkTarget, TestId(1));
}

TEST_F(Documents, DeletingSheets) {
    TDocument doc;
    MakeSheets(doc, 1);
    EXPECT_FALSE(doc.DeleteCurrentSheet());
    ASSERT_EQ(prompts.Texts(), QStringList{GetMessage(5001)});
    EXPECT_EQ(prompts.History()[0].Request.Icon, TPromptIcon::Information);

    MakeSheets(doc, 3);
    prompts.Clear();
    doc.ShowSheet(2);
    prompts.Answer(TPromptResult::No);
    EXPECT_FALSE(doc.DeleteCurrentSheet());
    EXPECT_EQ(prompts.Texts(), QStringList{GetMessage(5000) + " \"C\" ?"});
    EXPECT_EQ(doc.SheetCount(), 3);
    EXPECT_FALSE(doc.Modified);

    prompts.Answer(TPromptResult::Yes);
    EXPECT_TRUE(doc.DeleteCurrentSheet());
    EXPECT_EQ(Names(doc), "A,B");
    EXPECT_EQ(doc.CurrentSheet()->SheetName, "B"); // the one before the deleted last sheet
    EXPECT_TRUE(doc.Modified);
    for (TEditor* s : doc.SheetHistory()) EXPECT_GE(doc.IndexOf(s), 0);

    doc.ShowSheet(0);
    prompts.Answer(TPromptResult::Yes);
    EXPECT_TRUE(doc.DeleteCurrentSheet());
    EXPECT_EQ(doc.CurrentSheet()->SheetName, "B"); // the sheet now at the same index
    EXPECT_TRUE(!doc.PreviousSheet() || doc.IndexOf(doc.PreviousSheet()) >= 0); // never dangling
}

TEST_F(Documents, SortingAndTheSheetHistory) {
    TDocument doc;
    MakeSheets(doc, 7);
    for (int i : {0, 1, 2, 3, 4, 5, 1}) doc.ShowSheet(i);
    ASSERT_EQ(doc.SheetHistory().size(), 5u);
    EXPECT_EQ(doc.SheetHistory()[0]->SheetName, "F"); // B was in the list already
    EXPECT_EQ(doc.PreviousSheet()->SheetName, "F");

    EXPECT_FALSE(doc.SortSheets({0, 1, 2}));          // not every sheet
    EXPECT_FALSE(doc.SortSheets({0, 0, 1, 2, 3, 4, 5})); // not a permutation
    EXPECT_FALSE(doc.Modified);
    EXPECT_TRUE(doc.SortSheets({6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(Names(doc), "G,F,E,D,C,B,A");
    EXPECT_EQ(doc.CurrentSheet()->SheetName, "B");
    EXPECT_TRUE(doc.Modified);
}

TEST_F(Documents, SheetFiles) {
    TDocument source;
    MakeSheets(source, 2);
    source.UserVariables = {{"Neu", "1"}, {"Alt", "anders"}};
    source.ShowSheet(1);
    AddShape(source.Sheet(1), 9);
    ASSERT_TRUE(source.SaveSheetFile(Path("b.blt")));
    EXPECT_TRUE(source.Modified == false);

    TDocument doc;
    MakeSheets(doc, 3);
    doc.UserVariables = {{"Alt", "wert"}};
    prompts.Answer(TPromptResult::No);
    ASSERT_TRUE(doc.LoadSheetFile(Path("b.blt"), 1)); // "Nach" sheet 1
    EXPECT_EQ(Names(doc), "A,B,B,C");
    EXPECT_EQ(Values(doc.Sheet(1)), std::vector<qint32>{9});
    EXPECT_EQ(doc.CurrentIndex(), 1);
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(doc.UserVariables, (TUserVariables{{"Alt", "wert"}, {"Neu", "1"}}));
    EXPECT_EQ(prompts.History().size(), 1);

    // A failed load moves nothing; a sheet file that is no Kavro file adds an empty sheet.
    doc.Modified = false;
    EXPECT_FALSE(doc.LoadSheetFile(Write("bad.blt", "nonsense"), 0));
    EXPECT_EQ(doc.SheetCount(), 5);
    EXPECT_EQ(doc.Sheet(0).SheetName, "A");
    EXPECT_FALSE(doc.Modified);
}

TEST_F(Documents, FormSheetsAreReplacedOnlyByACompletelyReadFile) {
    TDocument doc;
    MakeSheets(doc, 3);
    for (int i = 0; i < 3; ++i) {
        AddShape(doc.Sheet(i), 10 * i);
        AddShape(doc.Sheet(i), 10 * i + 1, true);
    }
    doc.ShowSheet(2);
    TDocument form;
    form.New();
    AddShape(form.Sheet(0), 99, true);
    ASSERT_TRUE(form.SaveFormSheet(Path("new.sbk")));
    Write("broken.sbk", TBytes().i32(-80).i32(0).i32(1).raw(ShapeEntry(98, true)).u8(42));

    host.Chosen = {0, 1};
    EXPECT_TRUE(doc.LoadFormSheetCommand(Path("new.sbk")));
    EXPECT_EQ(host.ChooseTitle, 5050);
    EXPECT_EQ(Values(doc.Sheet(0)), (std::vector<qint32>{99, 0}));
    EXPECT_EQ(Values(doc.Sheet(1)), (std::vector<qint32>{99, 10}));
    EXPECT_EQ(Values(doc.Sheet(2)), (std::vector<qint32>{20, 21}));
    EXPECT_EQ(doc.CurrentIndex(), 2);

    EXPECT_FALSE(doc.LoadFormSheet(Path("broken.sbk"), {2}));
    EXPECT_EQ(Values(doc.Sheet(2)), (std::vector<qint32>{20, 21})); // the old one stays
    ASSERT_EQ(prompts.History().size(), 1);
    EXPECT_EQ(prompts.History()[0].Request.Text, DamagedFileText(Path("broken.sbk")));

    // Removal asks first, then takes the form sheets of the chosen sheets.
    prompts.Clear();
    doc.Modified = false;
    EXPECT_EQ(doc.SheetsWithFormSheet(), (std::vector<int>{0, 1, 2}));
    host.Chosen = {0, 2};
    prompts.Answer(TPromptResult::Yes);
    EXPECT_TRUE(doc.RemoveFormSheetCommand());
    EXPECT_EQ(host.ChooseTitle, 5051);
    EXPECT_EQ(prompts.Texts(), QStringList{GetMessage(5028)});
    EXPECT_EQ(Values(doc.Sheet(0)), std::vector<qint32>{0});
    EXPECT_EQ(Values(doc.Sheet(2)), std::vector<qint32>{20});
    EXPECT_TRUE(doc.Modified);
    host.Chosen = {1};
    prompts.Answer(TPromptResult::Yes);
    doc.RemoveFormSheetCommand();
    prompts.Clear();
    EXPECT_FALSE(doc.RemoveFormSheetCommand());
    EXPECT_EQ(prompts.Texts(), QStringList{GetMessage(5045)});
}

TEST_F(Documents, FormSheetEditingGathersTheFormLayerFirst) {
    TDocument doc;
    MakeSheets(doc, 1);
    AddShape(doc.Sheet(0), 1);
    AddShape(doc.Sheet(0), 2, true);
    AddShape(doc.Sheet(0), 3);
    AddShape(doc.Sheet(0), 4, true);
    doc.ToggleFormSheetEditing();
    EXPECT_TRUE(doc.Sheet(0).FormSheetEditing);
    EXPECT_EQ(Values(doc.Sheet(0)), (std::vector<qint32>{2, 4, 1, 3}));
    doc.ToggleFormSheetEditing();
    EXPECT_FALSE(doc.Sheet(0).FormSheetEditing);
}

TEST_F(Documents, TheSaveQuestionGoesOnOnlyWhenTheChangesAreSafe) {
    Write("blocker", "a file where a folder should be");
    struct Case {
        const char* name;
        bool titled;
        TPromptResult answer;
        QString saveAsName; // the "Save as" dialog's answer for an untitled document
        bool goesOn;
    } cases[] = {
        {"No", true, TPromptResult::No, {}, true},
        {"Cancel", true, TPromptResult::Cancel, {}, false},
        {"Yes and the save works", true, TPromptResult::Yes, {}, true},
        {"Yes and Save as is cancelled", false, TPromptResult::Yes, {}, false},
        {"Yes and Save as fails", false, TPromptResult::Yes, "blocker/x.kav8", false},
        {"Yes and Save as works", false, TPromptResult::Yes, "saved.kav8", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        TDocument doc;
        MakeSheets(doc, 2);
        if (c.titled) doc.FileName = Path("plan.kav8");
        host.SaveNames.clear();
        if (!c.saveAsName.isEmpty()) host.SaveNames = {Path(c.saveAsName)};
        doc.Sheet(1).SetUndoHistory(std::make_unique<TFakeUndo>(1)); // an unsaved edit
        prompts.Answer(c.answer);
        EXPECT_EQ(doc.New(), c.goesOn);
        EXPECT_EQ(prompts.History()[0].Request.Text,
                  c.titled ? GetMessage(5013) + " \"plan.kav8\"" : GetMessage(5012));
        EXPECT_EQ(prompts.History()[0].Request.Buttons, TPromptButtons::YesNoCancel);
        if (c.goesOn) {
            EXPECT_EQ(doc.SheetCount(), 1);
            EXPECT_FALSE(doc.HasChanges());
            EXPECT_TRUE(doc.FileName.isEmpty());
        } else {
            EXPECT_EQ(doc.SheetCount(), 2); // nothing lost
            EXPECT_TRUE(doc.HasChanges());
        }
    }
    // Without changes nothing is asked.
    prompts.Clear();
    TDocument clean;
    MakeSheets(clean, 1);
    EXPECT_TRUE(clean.New());
    EXPECT_TRUE(prompts.History().isEmpty());
}

TEST_F(Documents, OpenSaveAndTheRecentFiles) {
    TDocument doc;
    MakeSheets(doc, 2);
    host.SaveNames = {Path("first.kav8")};
    ASSERT_TRUE(doc.Save()); // untitled: Save as
    EXPECT_EQ(doc.FileName, Path("first.kav8"));
    EXPECT_EQ(doc.Settings.RecentFiles, QStringList{Path("first.kav8")});
    EXPECT_EQ(doc.Settings.DocumentFolder, dir.path() + "/");
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(doc.SaveAs(Path(QStringLiteral("f%1.kav8").arg(i))));
    EXPECT_EQ(doc.Settings.RecentFiles.size(), kMaxRecentFiles);
    EXPECT_EQ(doc.Settings.RecentFiles.first(), Path("f8.kav8"));

    TDocument other;
    other.Host = &host;
    other.Settings = doc.Settings;
    ASSERT_TRUE(other.Open(Path("f3.kav8")));
    EXPECT_EQ(other.Settings.RecentFiles.first(), Path("f3.kav8"));
    EXPECT_EQ(other.SheetCount(), 2);
    EXPECT_TRUE(QFileInfo::exists(Path("Backup_of_f3.kav8")));
    EXPECT_EQ(Read(Path("Backup_of_f3.kav8")), Read(Path("f3.kav8")));

    QFile::remove(Path("f5.kav8"));
    other.PruneRecentFiles();
    EXPECT_FALSE(other.Settings.RecentFiles.contains(Path("f5.kav8")));
    EXPECT_FALSE(other.OpenRecent(Path("f5.kav8")));

    // A failed open leaves an untitled document with one empty sheet.
    EXPECT_FALSE(other.Open(Write("junk.kav8", "junk")));
    EXPECT_TRUE(other.FileName.isEmpty());
    EXPECT_EQ(other.SheetCount(), 1);

    // Without the backup setting no copy is made.
    TDocument plain;
    plain.Settings.BackupOnOpen = false;
    ASSERT_TRUE(plain.Open(Path("f4.kav8")));
    EXPECT_FALSE(QFileInfo::exists(Path("Backup_of_f4.kav8")));
}

TEST_F(Documents, Templates) {
    QDir(dir.path()).mkdir("Vorlagen");
    TDocument doc;
    MakeSheets(doc, 2);
    doc.Settings.TemplateFolder = Path("Vorlagen/");
    doc.FileName = Path("own.kav8");
    doc.Modified = true;
    int clears = 0;
    doc.Sheet(0).SetUndoHistory(std::make_unique<TFakeUndo>(2, &clears));
    host.SaveNames = {Path("Vorlagen/schaltschrank")};
    ASSERT_TRUE(doc.SaveAsTemplate());
    EXPECT_EQ(host.AskedFolders, QStringList{Path("Vorlagen/")});
    EXPECT_TRUE(QFileInfo::exists(Path("Vorlagen/schaltschrank.kav8")));
    // The document's own file was not saved: it stays modified, with its name and history.
    EXPECT_EQ(doc.FileName, Path("own.kav8"));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(clears, 0);
    EXPECT_TRUE(doc.Settings.RecentFiles.isEmpty()); // inside the templates folder
    EXPECT_EQ(doc.TemplateFiles(), QStringList{Path("Vorlagen/schaltschrank.kav8")});

    TDocument fresh;
    fresh.Host = &host;
    fresh.Settings = doc.Settings;
    fresh.Settings.DocumentFolder = "/somewhere/";
    ASSERT_TRUE(fresh.NewFromTemplate(Path("Vorlagen/schaltschrank.kav8")));
    EXPECT_EQ(fresh.SheetCount(), 2);
    EXPECT_TRUE(fresh.FileName.isEmpty());
    EXPECT_EQ(fresh.Settings.DocumentFolder, "/somewhere/");
    EXPECT_FALSE(QFileInfo::exists(Path("Vorlagen/Backup_of_schaltschrank.kav8")));
    // Save now asks for a name.
    host.AskedFolders.clear();
    EXPECT_FALSE(fresh.Save());
    EXPECT_EQ(host.AskedFolders.size(), 1);
    EXPECT_FALSE(fresh.NewFromTemplate(Path("Vorlagen/gone.kav8")));
}

TEST_F(Documents, TheKav8ExtensionRule) {
    struct Case {
        const char* name;
        QString file;
        bool existing8;
        QString want;
        bool oldRemains;
    } cases[] = {
        {".kav is renamed", "a.kav", false, "a.kav8", false},
        {".KAV8 is kept", "b.KAV8", false, "b.KAV8", true},
        {"no rename over an existing .kav8", "c.kav", true, "c.kav8", true},
        {"no extension", "d", false, "d.kav8", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocument doc;
        MakeSheets(doc, 1);
        Write(c.file, "old content");
        if (c.existing8) Write(QFileInfo(c.file).completeBaseName() + ".kav8", "other");
        doc.FileName = Path(c.file);
        ASSERT_TRUE(doc.Save());
        EXPECT_EQ(doc.FileName, Path(c.want));
        EXPECT_TRUE(Read(Path(c.want)).startsWith("\x07KAVRO80"));
        EXPECT_EQ(QFileInfo::exists(Path(c.file)), c.oldRemains);
        if (c.existing8) EXPECT_EQ(Read(Path(c.file)), "old content");
    }
}

TEST_F(Documents, AutosaveKeepsTheUnsavedState) {
    TDocument doc;
    MakeSheets(doc, 1);
    EXPECT_FALSE(doc.Autosave()); // untitled
    doc.FileName = Path("plan.kav8");
    doc.Modified = true;
    int clears = 0;
    doc.Sheet(0).SetUndoHistory(std::make_unique<TFakeUndo>(1, &clears));
    ASSERT_TRUE(doc.Autosave());
    EXPECT_TRUE(QFileInfo::exists(Path("plan.bak")));
    EXPECT_FALSE(QFileInfo::exists(Path("plan.kav8")));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(clears, 0);
    EXPECT_TRUE(doc.HasChanges());
    EXPECT_EQ(doc.FileName, Path("plan.kav8"));

    TDocument fromBak;
    ASSERT_TRUE(fromBak.Open(Path("plan.bak")));
    EXPECT_FALSE(fromBak.Autosave()); // a document opened from a .bak is never autosaved
    EXPECT_FALSE(QFileInfo::exists(Path("plan.bak.bak")));

    SetViewerConfiguration(true);
    EXPECT_FALSE(doc.Autosave());
    SetViewerConfiguration(false);
    doc.Sheet(0).ComponentEditorSheet = true;
    EXPECT_FALSE(doc.Autosave());
}
