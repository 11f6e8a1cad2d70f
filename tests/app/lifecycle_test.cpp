#include "app/lifecycle.h"
#include "app/settings.h"
#include "app_fixture.h"
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
};

TEST_F(LifecycleTest, FirstStartCreatesTheDataFolderAndWritesAtShutdown) {
    TAppLifecycle lc(false);
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
    TAppLifecycle lc(false);
    Start(lc);
    EXPECT_EQ(lc.Language(), 1);
    EXPECT_EQ(InterfaceLanguage(), 1);
    EXPECT_EQ(GetMessage(5077), "New page");
    EXPECT_EQ(Settings().Hotkeys[hkCircle], "C");
    EXPECT_EQ(Settings().Hotkeys[hkDimension], "D");

    WriteSettingsFile(Data() + "SPRACHE.INI", "[Sprache]\nSprache=7\n");
    TAppLifecycle other(false);
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
        TAppLifecycle lc(c.Viewer);
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
        TAppLifecycle lc(false);
        Start(lc, {"/nod2d"});
        lc.Shutdown();
    }
    TAppLifecycle lc(false);
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
        TAppLifecycle lc(c.Viewer);
        Start(lc);
        EXPECT_EQ(lc.AutosaveTimer()->isActive(), c.Active) << c.Text;
        EXPECT_EQ(lc.AutosaveTimer()->interval(), c.Interval) << c.Text;
    }
}

TEST_F(LifecycleTest, AutosaveTickGoesThroughTheHook) {
    WriteSettingsFile(MainIni(), "[General]\nAutospeichern=1\nAutospeichernMin=1\n");
    TAppLifecycle lc(false);
    Start(lc);
    int ticks = 0;
    bool stoppedDuringTick = false;
    lc.Hooks.AutosaveTick = [&] {
        ++ticks;
        stoppedDuringTick = !lc.AutosaveTimer()->isActive();
    };
    for (int i = 0; i < 200 && ticks == 0; ++i)
        QTest::qWait(10);
    ASSERT_GT(ticks, 0);
    EXPECT_TRUE(stoppedDuringTick);
    EXPECT_TRUE(lc.AutosaveTimer()->isActive());
}

TEST_F(LifecycleTest, CommandLineDocument) {
    const QString file = Scratch() + "My Plan.kav8";
    Touch(file);
    const struct {
        const char* Name;
        QStringList Args;
        bool Loads;
        bool Opened;
        bool Listed;
    } cases[] = {
        {"split at the space", {Scratch() + "My", "Plan.kav8"}, true, true, true},
        {"load fails", {file}, false, true, false},
        {"missing file", {Scratch() + "none.kav8"}, true, false, false},
        {"only switches", {"/nod2d"}, true, false, false},
    };
    for (const auto& c : cases) {
        TAppLifecycle lc(false);
        Start(lc);
        QStringList opened;
        lc.Hooks.OpenDocument = [&](const QString& f) {
            opened.append(f);
            return c.Loads;
        };
        lc.OpenCommandLineDocument(ParseCommandLine(c.Args));
        EXPECT_EQ(opened, c.Opened ? QStringList{file} : QStringList{}) << c.Name;
        EXPECT_EQ(Settings().RecentFiles.Items().contains(file), c.Listed) << c.Name;
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
        TAppLifecycle lc(false);
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
    TAppLifecycle lc(false);
    Start(lc);
    bool editorOpen = true;
    int cancelled = 0;
    bool mayClose = false;
    lc.Hooks.ComponentEditorOpen = [&] { return editorOpen; };
    lc.Hooks.CancelComponentEditor = [&] {
        ++cancelled;
        editorOpen = false;
    };
    lc.Hooks.AskSaveChanges = [&] { return mayClose; };
    EXPECT_FALSE(lc.CloseQuery()); // the component editor is cancelled, the close refused
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(lc.CloseQuery()); // the user cancelled saving
    mayClose = true;
    EXPECT_TRUE(lc.CloseQuery());
    EXPECT_EQ(lc.Phase(), TAppLifecycle::TPhase::Closing);
}

TEST_F(LifecycleTest, SettingsFileThatCannotBeWrittenShows5058) {
    QDir().mkpath(MainIni()); // a folder where the file should be
    TAppLifecycle lc(false);
    Start(lc);
    lc.Shutdown();
    ASSERT_EQ(Prompt.History().size(), 1);
    EXPECT_EQ(Prompt.History()[0].Request.Text, GetMessage(5058) + "\r\r" + MainIni());
    EXPECT_EQ(Prompt.History()[0].Request.Icon, TPromptIcon::Information);
    EXPECT_TRUE(QFileInfo(MainIni()).isDir());
}

TEST_F(LifecycleTest, SettingsThatCannotBeFilledShow5004AndKeepTheRest) {
    WriteSettingsFile(MainIni(), "[Hotkeys]\nZoom=Q\n");
    TAppLifecycle lc(false);
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
    TAppLifecycle lc(true);
    Start(lc);
    EXPECT_EQ(Settings().View.Kontrast, 0); // grid invisible in the viewer
    EXPECT_TRUE(Settings().Scaling.UserScalingAuto);
    lc.ReadDeferredSections();
    lc.ReadViewerSettings();
    EXPECT_EQ(Settings().RecentFiles.Items(), QStringList{"/viewer.kav8"});
    EXPECT_EQ(Settings().Window.X, 33);
    Settings().RecentFiles.Add("/second.kav8");
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
        TAppLifecycle lc(true);
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
    TAppLifecycle lc(true);
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

TEST(WindowCaption, ConfigurationAndFile) {
    EXPECT_EQ(WindowCaption(false, {}), "Kavro 8.0");
    EXPECT_EQ(WindowCaption(true, {}), "Kavro 8.0 - Viewer");
    EXPECT_EQ(WindowCaption(true, "/d/a.kav8"), "Kavro 8.0 - Viewer - [/d/a.kav8]");
}
