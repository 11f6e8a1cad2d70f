#include "app/lifecycle.h"
#include "app/settings.h"
#include "app_fixture.h"
#include "document/document.h"
#include "document/fileformat.h"
#include "elements/MyD2D.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace {
void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}
} // namespace

// The start-up steps that need no window, in their order.
class LifecycleTest : public AppTest {
protected:
    void Start(TAppLifecycle& lc, const QStringList& args = {}) {
        lc.ReadLanguage();
        lc.DetermineFolders();
        lc.BuildMessageTable();
        lc.OpenSettingsFiles();
        lc.ReadSettingsFiles();
        lc.ChooseRenderer(ParseCommandLine(args));
    }
    // A document file with one sheet of the given name.
    static void SaveDocument(const QString& file, const QString& sheetName) {
        TDocument doc;
        doc.CreateSheet(false).SheetName = sheetName;
        ASSERT_TRUE(SaveDocumentFile(doc, file, FileKind::Document));
    }
    TDocument Doc;
};

TEST_F(LifecycleTest, FirstStartCreatesTheDataFolderAndWritesAtShutdown) {
    TAppLifecycle lc(false, Doc);
    Start(lc);
    EXPECT_TRUE(QFileInfo(Data()).isDir());
    EXPECT_EQ(lc.DataFolder(), Data());
    EXPECT_FALSE(QFileInfo::exists(MainIni()));
    ASSERT_TRUE(lc.CloseQuery());
    lc.Shutdown();
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadInteger("General", "Kontrast", -1), 2);
    EXPECT_EQ(ini.ReadString("Hotkeys", "Circle", {}), "K");
    EXPECT_FALSE(QFileInfo::exists(ViewerIni()));
    EXPECT_TRUE(Prompt.History().isEmpty());
}

TEST_F(LifecycleTest, LanguageFileChoosesTheLanguageAndTheHotkeys) {
    WriteSettingsFile(Data() + "SPRACHE.INI", "[Sprache]\nSprache=1\n");
    TAppLifecycle lc(false, Doc);
    Start(lc);
    EXPECT_EQ(lc.Language(), 1);
    EXPECT_EQ(InterfaceLanguage(), 1);
    EXPECT_EQ(GetMessage(5077), "New page");
    EXPECT_EQ(Settings().Hotkeys[hkCircle], "C");
    EXPECT_EQ(Settings().Hotkeys[hkDimension], "D");

    WriteSettingsFile(Data() + "SPRACHE.INI", "[Sprache]\nSprache=7\n");
    TAppLifecycle other(false, Doc);
    other.ReadLanguage();
    EXPECT_EQ(other.Language(), 0);
}

TEST_F(LifecycleTest, RendererChoice) {
    const struct {
        const char* Name;
        bool Viewer;
        const char* Stored;
        QStringList Args;
        bool SetUpWorks;
        bool Running;
        bool Message;
    } cases[] = {
        {"default", false, "", {}, true, true, false},
        {"stored off", false, "UseD2D=0", {}, true, false, false},
        {"/nod2d", false, "", {"/NOD2D"}, true, false, false},
        {"viewer forces on", true, "UseD2D=0", {}, true, true, false},
        {"viewer with /nod2d", true, "", {"/nod2d"}, true, false, false},
        {"set-up fails", false, "", {}, false, false, true},
        {"set-up fails while off", false, "UseD2D=0", {}, false, false, false},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(MainIni(), QString("[General]\n%1\n").arg(c.Stored));
        Prompt.Clear();
        TAppLifecycle lc(c.Viewer, Doc);
        lc.Hooks.SetUpRenderer = [&] { return c.SetUpWorks; };
        Start(lc, c.Args);
        EXPECT_EQ(lc.RunningAntialiased(), c.Running) << c.Name;
        EXPECT_EQ(g_RenderSettings.UseD2D, c.Running) << c.Name;
        EXPECT_EQ(Prompt.Texts().contains(GetMessage(5044)), c.Message) << c.Name;
        EXPECT_EQ(lc.RendererSetupFailed(), c.Message) << c.Name;
    }
}

TEST_F(LifecycleTest, NoD2DIsSavedForLaterStarts) {
    {
        TAppLifecycle lc(false, Doc);
        Start(lc, {"/nod2d"});
        lc.Shutdown();
    }
    TAppLifecycle lc(false, Doc);
    Start(lc);
    EXPECT_FALSE(lc.RunningAntialiased());
    EXPECT_FALSE(TMemIniFile(MainIni()).ReadBool("General", "UseD2D", true));
}

TEST_F(LifecycleTest, AutosaveTimerFollowsTheSettings) {
    const struct {
        const char* Text;
        bool Viewer;
        bool Active;
        int Interval;
    } cases[] = {
        {"", false, false, 300000},
        {"Autospeichern=1\nAutospeichernMin=120000", false, true, 120000},
        {"Autospeichern=1\nAutospeichernMin=0", false, true, 300000},
        {"Autospeichern=1\nAutospeichernMin=-5", false, true, 300000},
        {"Autospeichern=1", true, false, 300000},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(MainIni(), QString("[General]\n%1\n").arg(c.Text));
        TAppLifecycle lc(c.Viewer, Doc);
        Start(lc);
        EXPECT_EQ(lc.AutosaveTimer()->isActive(), c.Active) << c.Text;
        EXPECT_EQ(lc.AutosaveTimer()->interval(), c.Interval) << c.Text;
    }
}

TEST_F(LifecycleTest, AutosaveTickSavesTheDocumentBeside) {
    WriteSettingsFile(MainIni(), "[General]\nAutospeichern=1\nAutospeichernMin=1\n");
    TAppLifecycle lc(false, Doc);
    Start(lc);
    Doc.CreateSheet(false);
    Doc.FileName = Scratch() + "Plan.kav8";
    Doc.Modified = true;
    bool allowed = false;
    lc.Hooks.AutosaveAllowed = [&] { return allowed; };
    QTest::qWait(50);
    EXPECT_FALSE(QFileInfo::exists(Scratch() + "Plan.bak")); // the window was not active

    allowed = true;
    for (int i = 0; i < 300 && !QFileInfo::exists(Scratch() + "Plan.bak"); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(QFileInfo::exists(Scratch() + "Plan.bak"));
    EXPECT_TRUE(Doc.Modified);
    EXPECT_TRUE(lc.AutosaveTimer()->isActive());
    EXPECT_FALSE(QFileInfo::exists(Scratch() + "Plan.kav8"));
}

TEST_F(LifecycleTest, CommandLineDocument) {
    const QString file = Scratch() + "My Plan.kav8";
    SaveDocument(file, "Aus der Datei");
    const QString broken = Scratch() + "broken.kav8";
    Touch(broken);
    const struct {
        const char* Name;
        QStringList Args;
        QString Opened; // the document's file name afterwards
        bool Listed;
    } cases[] = {
        {"split at the space", {"/nod2d", Scratch() + "My", "Plan.kav8"}, file, true},
        {"load fails", {broken}, "", false},
        {"missing file", {Scratch() + "none.kav8"}, "", false},
        {"only switches", {"/nod2d"}, "", false},
    };
    for (const auto& c : cases) {
        TDocument doc;
        TAppLifecycle lc(false, doc);
        Start(lc);
        lc.CreateFirstSheet();
        int renamed = 0;
        lc.Hooks.DocumentNameChanged = [&] { ++renamed; };
        Prompt.Clear();
        lc.OpenCommandLineDocument(ParseCommandLine(c.Args));
        EXPECT_EQ(doc.FileName, c.Opened) << c.Name;
        EXPECT_EQ(doc.Settings.RecentFiles.contains(file), c.Listed) << c.Name;
        ASSERT_EQ(doc.SheetCount(), 1) << c.Name;
        EXPECT_FALSE(doc.HasChanges()) << c.Name;
        if (!c.Opened.isEmpty()) EXPECT_EQ(doc.Sheet(0).SheetName, "Aus der Datei") << c.Name;
        EXPECT_EQ(renamed,
                  QString(c.Name) == "split at the space" || QString(c.Name) == "load fails")
            << c.Name;
        EXPECT_EQ(Prompt.History().isEmpty(), QString(c.Name) != "load fails") << c.Name;
    }
}

TEST_F(LifecycleTest, LibraryPageOfTheLastRun) {
    const QString root = Data() + "BIBO/";
    const QString page = root + "Relais/Seite1.lib";
    const QString first = root + "A/first.lib";
    Touch(page);
    Touch(first);
    const struct {
        const char* Name;
        QString Stored;
        QString Loaded;
    } cases[] = {
        {"inside the root", page, page},
        {"root in other letter case", QString(page).replace("BIBO", "bibo"), first},
        {"outside the root", Scratch() + "other.lib", first},
        {"missing page", root + "gone.lib", first},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(MainIni(), "[BIBO]\nAktLibFile=" + c.Stored + "\n");
        TAppLifecycle lc(false, Doc);
        Start(lc);
        QStringList loaded;
        QString askedRoot;
        lc.Hooks.FirstLibraryPage = [&](const QString& r) {
            askedRoot = r;
            return first;
        };
        lc.Hooks.LoadLibraryPage = [&](const QString& f) { loaded.append(f); };
        lc.RestoreLibraryPage();
        EXPECT_EQ(loaded, QStringList{c.Loaded}) << c.Name;
        EXPECT_EQ(Settings().Library.AktLibFile, c.Loaded) << c.Name;
    }
}

TEST_F(LifecycleTest, CloseRequest) {
    TAppLifecycle lc(false, Doc);
    Start(lc);
    lc.CreateFirstSheet();
    bool editorOpen = true;
    int cancelled = 0;
    lc.Hooks.ComponentEditorOpen = [&] { return editorOpen; };
    lc.Hooks.CancelComponentEditor = [&] {
        ++cancelled;
        editorOpen = false;
    };
    EXPECT_FALSE(lc.CloseQuery()); // the component editor is cancelled, the close refused
    EXPECT_EQ(cancelled, 1);
    EXPECT_TRUE(Prompt.History().isEmpty());
    Doc.Modified = true;
    Prompt.Answer(TPromptResult::Cancel);
    EXPECT_FALSE(lc.CloseQuery()); // the user cancelled saving
    EXPECT_EQ(Prompt.Texts(), QStringList{GetMessage(5012)});
    EXPECT_EQ(lc.Phase(), TAppLifecycle::TPhase::Created);
    Prompt.Answer(TPromptResult::No);
    EXPECT_TRUE(lc.CloseQuery());
    EXPECT_EQ(lc.Phase(), TAppLifecycle::TPhase::Closing);
}

TEST_F(LifecycleTest, SettingsFileThatCannotBeWrittenShows5058) {
    QDir().mkpath(MainIni()); // a folder where the file should be
    TAppLifecycle lc(false, Doc);
    Start(lc);
    lc.Shutdown();
    ASSERT_EQ(Prompt.History().size(), 1);
    EXPECT_EQ(Prompt.History()[0].Request.Text, GetMessage(5058) + "\r\r" + MainIni());
    EXPECT_EQ(Prompt.History()[0].Request.Icon, TPromptIcon::Information);
    EXPECT_TRUE(QFileInfo(MainIni()).isDir());
}

TEST_F(LifecycleTest, SettingsThatCannotBeFilledShow5004AndKeepTheRest) {
    WriteSettingsFile(MainIni(), "[Hotkeys]\nZoom=Q\n");
    TAppLifecycle lc(false, Doc);
    Start(lc);
    lc.ReadDeferredSections();
    Settings().Hotkeys[hkZoom] = "Z";
    Settings().PropPanelCollapsed.emplace_back("bad=key", true);
    lc.Shutdown();
    ASSERT_EQ(Prompt.History().size(), 1);
    EXPECT_EQ(Prompt.History()[0].Request.Text, GetMessage(5004) + "\r\r\"" + MainIni() + "\"");
    // The object was still written; the keys after the refused one keep their old values.
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadInteger("General", "Kontrast", -1), 2);
    EXPECT_EQ(ini.ReadString("Hotkeys", "Zoom", {}), "Q");
}

TEST_F(LifecycleTest, ViewerNeverWritesTheMainFile) {
    WriteSettingsFile(MainIni(), "[General]\nKontrast=3\nWindowX=77\n[MRU]\nMRU0=/editor.kav8\n");
    const QByteArray before = ReadBytes(MainIni());
    WriteSettingsFile(ViewerIni(), "[General]\nSprache=0\nWindowX=33\n[MRU]\nMRU0=/viewer.kav8\n");
    TAppLifecycle lc(true, Doc);
    Start(lc);
    EXPECT_EQ(Settings().View.Kontrast, 0); // grid invisible in the viewer
    EXPECT_TRUE(Settings().Scaling.UserScalingAuto);
    lc.ReadDeferredSections();
    lc.ReadViewerSettings();
    EXPECT_EQ(Doc.Settings.RecentFiles, QStringList{"/viewer.kav8"});
    EXPECT_EQ(Settings().Window.X, 33);
    Doc.AddRecentFile("/second.kav8");
    Settings().Window.X = 44;
    ASSERT_TRUE(lc.CloseQuery());
    lc.Shutdown();
    EXPECT_EQ(ReadBytes(MainIni()), before);
    TMemIniFile viewer(ViewerIni());
    EXPECT_EQ(viewer.ReadString("MRU", "MRU0", {}), "/second.kav8");
    EXPECT_EQ(viewer.ReadString("MRU", "MRU1", {}), "/viewer.kav8");
    EXPECT_EQ(viewer.ReadInteger("General", "WindowX", 0), 44);
    EXPECT_EQ(viewer.ReadInteger("General", "Sprache", -1), 0);
    EXPECT_FALSE(viewer.SectionExists("Hotkeys"));
    EXPECT_FALSE(QFileInfo::exists(Data() + "Translations.txt")); // not written back either
}

TEST_F(LifecycleTest, ViewerLanguage) {
    const struct {
        const char* Name;
        const char* Stored;
        int Answer;
        int Asked; // preselected language, -1: not asked
        int Language;
        int Written;
    } cases[] = {
        {"stored French", "Sprache=2", 0, -1, 2, 2},
        {"first start, German chosen", "", 0, 1, 0, 0},
        {"first start, cancelled", "", -1, 1, 1, -1},
        {"invalid value asks", "Sprache=9", 2, 1, 2, 2},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(ViewerIni(), QString("[General]\n%1\n").arg(c.Stored));
        TAppLifecycle lc(true, Doc);
        Start(lc);
        int asked = -1;
        lc.ViewerLanguageChoice([&](int preselected) {
            asked = preselected;
            return c.Answer;
        });
        EXPECT_EQ(asked, c.Asked) << c.Name;
        EXPECT_EQ(lc.Language(), c.Language) << c.Name;
        EXPECT_EQ(InterfaceLanguage(), c.Language) << c.Name;
        EXPECT_EQ(TMemIniFile(ViewerIni()).ReadInteger("General", "Sprache", -1), c.Written)
            << c.Name;
    }

    // The menu item: a change is stored at once and applies to messages right away.
    TAppLifecycle lc(true, Doc);
    Start(lc);
    lc.ViewerLanguageChoice([](int) { return 0; });
    EXPECT_FALSE(lc.ChangeViewerLanguage(lc.Language()));
    EXPECT_TRUE(lc.ChangeViewerLanguage(1));
    EXPECT_EQ(GetMessage(5077), "New page");
    EXPECT_EQ(TMemIniFile(ViewerIni()).ReadInteger("General", "Sprache", -1), 1);
}

TEST(CommandLine, SwitchesAndTheFileName) {
    const struct {
        QStringList Args;
        QString File;
        bool NoD2D, NoStartupWindow;
    } cases[] = {
        {{}, "", false, false},
        {{"/home/u/My", "Plan.kav8"}, "/home/u/My Plan.kav8", false, false},
        {{"/NoD2D", "/tmp/a.kav8"}, "/tmp/a.kav8", true, false},
        {{"--nod2d"}, "", true, false},
        {{"/-t", "/a", "b", "/nod2d", "c"}, "/a b c", true, true},
        {{"/nod2dx"}, "/nod2dx", false, false},
    };
    for (const auto& c : cases) {
        const TCommandLine cl = ParseCommandLine(c.Args);
        EXPECT_EQ(cl.FileName, c.File) << c.Args.join(' ').toStdString();
        EXPECT_EQ(cl.NoD2D, c.NoD2D) << c.Args.join(' ').toStdString();
        EXPECT_EQ(cl.NoStartupWindow, c.NoStartupWindow) << c.Args.join(' ').toStdString();
    }
}
