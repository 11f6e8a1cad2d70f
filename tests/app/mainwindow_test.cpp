#include "app/gui/OptionsDlg.h"
#include "app/gui/SpracheDlg.h"
#include "app/gui/mainwindow.h"
#include "app/settings.h"
#include "app_fixture.h"
#include "document/fileformat.h"
#include "elements/MyD2D.h"
#include "platform/inifile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>
#include <functional>

class MainWindowTest : public AppTest {
protected:
    std::unique_ptr<TForm1> Start(const QStringList& args = {}) {
        auto form = std::make_unique<TForm1>(args);
        form->show();
        form->SplashTimerTimer();
        return form;
    }
    // Opens the options dialog on a page and lets `act` work on it; `act` closes it.
    static void WithOptions(TForm1& form, int page, std::function<void(TOptionsDlg&)> act) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            act(*form.OptionsDlg);
            if (form.OptionsDlg->isVisible()) form.OptionsDlg->reject();
        });
        form.OpenOptions(page);
        EXPECT_TRUE(ran);
    }
    static QToolButton* Button(TForm1& form, const char* name) {
        return form.findChild<QToolButton*>(name);
    }
    static void SelectRow(TOptionsDlg& d, int row) {
        d.LV_Hotkeys->setCurrentItem(d.LV_Hotkeys->topLevelItem(row));
    }
    static QString RowKey(TOptionsDlg& d, int row) {
        return d.LV_Hotkeys->topLevelItem(row)->text(1);
    }
};

TEST_F(MainWindowTest, WindowHasItsMenusToolButtonsAndStatusBar) {
    auto form = Start();
    auto* datei = form->findChild<QMenu*>("Datei1");
    ASSERT_TRUE(datei);
    EXPECT_EQ(datei->title(), "&Datei");
    auto* beenden = form->findChild<QAction*>("Beenden1");
    ASSERT_TRUE(beenden);
    EXPECT_EQ(beenden->text(), "&Beenden");
    EXPECT_EQ(form->findChild<QMenu*>("Einstellungen1")->title(), "&Einstellungen");
    EXPECT_EQ(form->findChild<QAction*>("Grundeinstellungen1")->text(), "Grundeinstellungen...");
    EXPECT_FALSE(form->findChild<QAction*>("ViewerSprache1")->isVisible());

    const struct {
        const char* Button;
        const char* Caption;
        const char* Hint;
    } tools[] = {
        {"TB_Standard", "ESC", "Standard"}, {"TB_Polyline", "L", "Linie"},
        {"TB_Rect", "R", "Rechteck"},       {"TB_Circle", "K", "Kreis"},
        {"TB_Bemassung", "B", "Bemaßung"},  {"TB_Freihand", "H", "Freihandlinie"},
        {"TB_Zoom", "Z", "Zoom"},           {"TB_Kontakt", "-", "Kontakt"},
    };
    for (const auto& t : tools) {
        QToolButton* b = Button(*form, t.Button);
        ASSERT_TRUE(b) << t.Button;
        EXPECT_EQ(b->text(), t.Caption) << t.Button;
        EXPECT_EQ(b->toolTip(), t.Hint) << t.Button;
    }
    EXPECT_FALSE(Button(*form, "TB_Kontakt")->isVisible()); // component editor only
    EXPECT_TRUE(form->findChild<QToolBar*>("TB_Modus")->isVisible());
    EXPECT_TRUE(form->statusBar()->isVisible());
    EXPECT_EQ(form->findChild<QLabel*>("L_Einheit")->text(), "mm");
    EXPECT_EQ(form->windowTitle(), "Kavro 8.0");
    EXPECT_TRUE(form->isMaximized()); // first start
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFileInfo::exists(MainIni()));
}

TEST_F(MainWindowTest, FirstSheetAndTheCommandLineDocument) {
    WriteSettingsFile(MainIni(), "[Blatt-Default]\nBreite=420\nHoehe=297\nRaster=25\n");
    {
        auto form = Start();
        ASSERT_EQ(form->Document->SheetCount(), 1);
        const TEditor& sheet = form->Document->Sheet(0);
        EXPECT_EQ(sheet.SheetName, "Neues Blatt");
        EXPECT_EQ(sheet.SheetWidth, 420);
        EXPECT_EQ(sheet.SheetHeight, 297);
        EXPECT_EQ(sheet.GridSize, 25);
        EXPECT_TRUE(form->Document->SheetPageNumbers);
        form->close();
    }
    // A document named by two arguments that are the halves of its path.
    const QString file = Scratch() + "Mein Plan.kav8";
    {
        TDocument doc;
        doc.CreateSheet(false).SheetName = "Übersicht";
        ASSERT_TRUE(SaveDocumentFile(doc, file, FileKind::Document));
    }
    auto form = Start({Scratch() + "Mein", "Plan.kav8"});
    EXPECT_EQ(form->Document->FileName, file);
    EXPECT_EQ(form->windowTitle(), "Kavro 8.0 - [" + file + "]");
    ASSERT_EQ(form->Document->SheetCount(), 1);
    EXPECT_EQ(form->Document->Sheet(0).SheetName, "Übersicht");
    // The recent files follow the menu's commands.
    QList<QAction*> recent;
    for (QAction* a : form->Datei1->actions())
        if (!a->data().toString().isEmpty()) recent << a;
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(recent[0]->data().toString(), file);
    EXPECT_EQ(recent[0]->text(), ShortenRecentFile(file));
    form->close();
    EXPECT_EQ(TMemIniFile(MainIni()).ReadString("MRU", "MRU0", {}), file);
}

TEST_F(MainWindowTest, RecentFilesAreListedBeforeExit) {
    WriteSettingsFile(MainIni(),
                      "[MRU]\nMRU0=" + Scratch() + "a.kav8\nMRU1=" + Scratch() + "b.kav8\n");
    auto form = Start();
    QList<QAction*> actions = form->Datei1->actions();
    const int exit = int(actions.indexOf(form->Beenden1));
    ASSERT_GE(exit, 3);
    EXPECT_EQ(actions[exit - 3]->data().toString(), Scratch() + "a.kav8");
    EXPECT_EQ(actions[exit - 2]->data().toString(), Scratch() + "b.kav8");
    EXPECT_TRUE(actions[exit - 1]->isSeparator());
    form->close();
}

TEST_F(MainWindowTest, ChosenScalingAppliesFromTheNextStart) {
    const QFont before = QApplication::font();
    WriteSettingsFile(MainIni(), "[General]\nUserScalingAuto=0\nUserScalingPPI=144\n");
    {
        TForm1 form;
        form.show();
        EXPECT_EQ(QApplication::font().pointSizeF(),
                  before.pointSizeF()); // not before the deferred start-up
        const double factor = form.InterfaceScaleFactor();
        ASSERT_NE(factor, 1.0); // 144 against the offscreen screen's 96
        form.SplashTimerTimer();
        EXPECT_NEAR(QApplication::font().pointSizeF(), before.pointSizeF() * factor, 0.01);
        const int icon = Button(form, "TB_Polyline")->iconSize().width();
        EXPECT_EQ(icon, int(std::lround(22 * factor)));
        form.close();
    }
    QApplication::setFont(before);
}

TEST_F(MainWindowTest, EnglishInterfaceHasItsOwnHotkeys) {
    WriteSettingsFile(Data() + "SPRACHE.INI", "[Sprache]\nSprache=1\n");
    auto form = Start();
    EXPECT_EQ(Button(*form, "TB_Circle")->text(), "C");
    EXPECT_EQ(Button(*form, "TB_Bemassung")->text(), "D");
    EXPECT_EQ(form->Datei1->title(), "&File");
    form->close();
    EXPECT_EQ(TMemIniFile(MainIni()).ReadString("Hotkeys", "Circle", {}), "C");
}

TEST_F(MainWindowTest, ToolkitDialogsSpeakTheInterfaceLanguage) {
    auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    const struct {
        int language;
        const char* expected;
    } cases[] = {{0, "Suchen in:"}, {1, "Look in:"}, {2, "Voir dans :"}};
    for (const auto& c : cases) {
        WriteSettingsFile(Data() + "SPRACHE.INI",
                          QString("[Sprache]\nSprache=%1\n").arg(c.language));
        {
            auto form = Start();
            EXPECT_EQ(lookIn(), QString::fromUtf8(c.expected)) << c.language;
            form->close();
        }
        EXPECT_EQ(lookIn(), "Look in:") << "the window takes its translation with it";
    }
}

TEST_F(MainWindowTest, WindowPlacementIsRestoredAndKept) {
    WriteSettingsFile(MainIni(), "[General]\nWindowMax=0\nWindowX=30\nWindowY=40\n"
                                 "WindowW=900\nWindowH=650\n[BIBO]\nBiboW=250\n");
    auto form = Start();
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->size(), QSize(900, 650));
    EXPECT_EQ(form->Bibo_panel->width(), 250);
    form->resize(950, 700);
    form->Splitter1->setSizes({300, 600});
    form->close();
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadInteger("BIBO", "BiboW", 0), 300);
    EXPECT_FALSE(ini.ReadBool("General", "WindowMax", true));
    EXPECT_EQ(ini.ReadInteger("General", "WindowW", 0), 950);
    EXPECT_EQ(ini.ReadInteger("General", "WindowH", 0), 700);
}

TEST_F(MainWindowTest, MaximisedStartFillsTheScreenAndKeepsTheNormalPlacement) {
    WriteSettingsFile(MainIni(), "[General]\nWindowMax=1\nWindowX=30\nWindowY=40\n"
                                 "WindowW=640\nWindowH=450\n");
    const QRect normal(30, 40, 640, 450);
    {
        auto form = Start();
        ASSERT_NE(form->screen(), nullptr);
        EXPECT_TRUE(form->isMaximized());
        EXPECT_TRUE(form->frameGeometry().contains(form->screen()->availableGeometry()));
        form->close();
    }
    TMemIniFile ini(MainIni());
    EXPECT_TRUE(ini.ReadBool("General", "WindowMax", false));
    EXPECT_EQ(
        QRect(ini.ReadInteger("General", "WindowX", 0), ini.ReadInteger("General", "WindowY", 0),
              ini.ReadInteger("General", "WindowW", 0), ini.ReadInteger("General", "WindowH", 0)),
        normal);

    // Leaving the maximised state goes back to the remembered placement.
    auto form = Start();
    form->showNormal();
    QTest::qWait(20);
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->geometry(), normal);
}

TEST_F(MainWindowTest, ClosingBeforeTheDeferredStartUpLosesNothing) {
    WriteSettingsFile(MainIni(), "[General]\nWindowMax=0\nWindowW=901\n[Panels]\nPages_Width=99\n");
    {
        TForm1 form;
        form.close();
    }
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadInteger("General", "WindowW", 0), 901);
    EXPECT_EQ(ini.ReadInteger("Panels", "Pages_Width", 0), 99);
    EXPECT_EQ(ini.ReadInteger("General", "Kontrast", -1), 2); // the rest was written
}

TEST_F(MainWindowTest, OptionsDialogPagesAndTitles) {
    auto form = Start();
    QStringList titles;
    int shownPage = -1;
    WithOptions(*form, TOptionsDlg::pgRaster, [&](TOptionsDlg& d) {
        shownPage = d.CurrentPage();
        for (int i = 0; i < d.TV_Seiten->topLevelItemCount(); ++i)
            titles.append(d.TV_Seiten->topLevelItem(i)->text(0));
        d.TV_Seiten->setCurrentItem(d.TV_Seiten->topLevelItem(TOptionsDlg::pgHotkeys));
        EXPECT_EQ(d.CurrentPage(), TOptionsDlg::pgHotkeys);
    });
    EXPECT_EQ(shownPage, TOptionsDlg::pgRaster);
    EXPECT_EQ(titles, QStringList({"Grundeinstellungen", "Anzeige", "Verzeichnisse", "Bibliothek",
                                   "Raster", "Autospeichern", "Neues Blatt", "Hotkeys"}));
    // The menu command opens the first page.
    QTimer::singleShot(0, [&] {
        shownPage = form->OptionsDlg->CurrentPage();
        form->OptionsDlg->reject();
    });
    form->findChild<QAction*>("Grundeinstellungen1")->trigger();
    EXPECT_EQ(shownPage, 0);
    form->close();
}

TEST_F(MainWindowTest, HotkeysTakenByAnotherToolAreRefused) {
    auto form = Start();
    WithOptions(*form, TOptionsDlg::pgHotkeys, [&](TOptionsDlg& d) {
        ASSERT_EQ(d.LV_Hotkeys->topLevelItemCount(), 15);
        EXPECT_EQ(d.LV_Hotkeys->topLevelItem(0)->text(0), "Linie");
        const int zoom = 12;
        ASSERT_EQ(d.LV_Hotkeys->topLevelItem(zoom)->text(0), "Zoom");
        SelectRow(d, 0);
        QTest::keyClick(d.LV_Hotkeys, Qt::Key_Z);
        EXPECT_EQ(RowKey(d, 0), "L"); // the zoom tool has "Z"
        QTest::keyClick(d.LV_Hotkeys, Qt::Key_9);
        EXPECT_EQ(RowKey(d, 0), "9");
        EXPECT_EQ(d.B_Hotkey->text(), "9");

        // The key menu offers only the keys nobody else has.
        Q_EMIT d.Popup_Hotkey->aboutToShow();
        QStringList disabled;
        for (QAction* a : d.Popup_Hotkey->actions())
            if (!a->isEnabled()) disabled.append(a->text());
        EXPECT_TRUE(disabled.contains("Z"));
        EXPECT_TRUE(disabled.contains("-"));  // the contact tool
        EXPECT_FALSE(disabled.contains("9")); // the row's own key
        EXPECT_FALSE(disabled.contains("---"));
        EXPECT_EQ(d.Popup_Hotkey->actions().size(), 1 + 26 + 1 + 10);

        SelectRow(d, zoom);
        QTest::keyClick(d.LV_Hotkeys, Qt::Key_Delete);
        EXPECT_EQ(RowKey(d, zoom), "---");
        SelectRow(d, 0);
        Q_EMIT d.Popup_Hotkey->aboutToShow();
        for (QAction* a : d.Popup_Hotkey->actions())
            if (a->text() == "Z") a->trigger();
        EXPECT_EQ(RowKey(d, 0), "Z"); // free now
        d.B_OK->click();
    });
    EXPECT_EQ(Button(*form, "TB_Polyline")->text(), "Z");
    EXPECT_EQ(Button(*form, "TB_Zoom")->text(), "");
    form->close();
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadString("Hotkeys", "Line", {}), "Z");
    EXPECT_TRUE(ini.ValueExists("Hotkeys", "Zoom"));
    EXPECT_EQ(ini.ReadString("Hotkeys", "Zoom", "?"), "");
}

TEST_F(MainWindowTest, NewSheetPageKeepsFormatSizeAndOrientationConsistent) {
    auto form = Start();
    WithOptions(*form, TOptionsDlg::pgNeuesBlatt, [&](TOptionsDlg& d) {
        EXPECT_EQ(d.SheetWidth(), 297);
        EXPECT_EQ(d.SheetHeight(), 210);
        EXPECT_EQ(d.CB_Format->currentText(), "A4");
        EXPECT_TRUE(d.RB_Querformat->isChecked());
        EXPECT_EQ(d.B_Raster->text(), "1 mm");

        const struct {
            const char* Step;
            std::function<void()> Do;
            int W, H;
            const char* Format;
            bool Landscape;
        } steps[] = {
            {"A3 landscape",
             [&] {
                 d.CB_Format->setCurrentIndex(4);
                 Q_EMIT d.CB_Format->activated(4);
             },
             420, 297, "A3", true},
            {"width typed", [&] { d.SE_Breite->setValue(300); }, 300, 297, "Frei", true},
            {"portrait swaps", [&] { d.RB_Hochformat->click(); }, 297, 300, "Frei", false},
            {"A5 portrait",
             [&] {
                 d.CB_Format->setCurrentIndex(6);
                 Q_EMIT d.CB_Format->activated(6);
             },
             148, 210, "A5", false},
            {"landscape swaps", [&] { d.RB_Querformat->click(); }, 210, 148, "A5", true},
            {"height to a format",
             [&] {
                 d.SE_Breite->setValue(279);
                 d.SE_Hoehe->setValue(432);
             },
             279, 432, "Ansi-B (Ledger)", false},
        };
        for (const auto& s : steps) {
            s.Do();
            EXPECT_EQ(d.SheetWidth(), s.W) << s.Step;
            EXPECT_EQ(d.SheetHeight(), s.H) << s.Step;
            EXPECT_EQ(d.CB_Format->currentText(), s.Format) << s.Step;
            EXPECT_EQ(d.Landscape(), s.Landscape) << s.Step;
        }
        // The grid menu of the main window serves the dialog while it is open.
        form->Popup_Raster->actions()[5]->trigger(); // 2,5 mm
        EXPECT_EQ(d.B_Raster->text(), "2,5 mm");
        d.E_Formblatt->setText("/forms/a.sbk");
        d.B_OK->click();
    });
    const TDocumentSettings& s = form->Document->Settings;
    EXPECT_EQ(s.NewSheetWidth, 279);
    EXPECT_EQ(s.NewSheetHeight, 432);
    EXPECT_EQ(s.NewSheetGrid, 25);
    EXPECT_EQ(s.DefaultFormSheet, "/forms/a.sbk");
    form->close();
}

TEST_F(MainWindowTest, DisplayPageRulesAndMessages) {
    auto form = Start();
    WithOptions(*form, TOptionsDlg::pgAnzeige, [&](TOptionsDlg& d) {
        EXPECT_TRUE(d.RB_D2D->isChecked());
        EXPECT_TRUE(d.CB_GDIPoints->isEnabled());
        EXPECT_FALSE(d.CB_TextAntiAliasing->isEnabled());
        d.RB_GDI->click();
        EXPECT_FALSE(d.CB_GDIPoints->isEnabled());
        EXPECT_TRUE(d.CB_TextAntiAliasing->isEnabled());
        EXPECT_EQ(Prompt.Texts(), QStringList{GetMessage(5315)});
        d.RB_D2D->click(); // back to the running renderer: no message
        EXPECT_EQ(Prompt.Texts().size(), 1);
        d.CB_BitmapScaling->click();
        EXPECT_EQ(Prompt.Texts().size(), 2);
        d.CB_BitmapScaling->click();
        EXPECT_EQ(Prompt.Texts().size(), 2);
        d.CB_GDIPoints->click();
        d.B_OK->click();
    });
    EXPECT_TRUE(g_RenderSettings.GDIPoints);
    form->close();
}

TEST_F(MainWindowTest, CancelStillKeepsTheScalingChoice) {
    auto form = Start();
    WithOptions(*form, TOptionsDlg::pgAnzeige, [&](TOptionsDlg& d) {
        EXPECT_EQ(d.CB_Skalierung->currentIndex(), 0);
        d.CB_Skalierung->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(d.CB_Skalierung, Qt::Key_Down); // "150%"
        EXPECT_EQ(d.CB_Skalierung->currentText(), "150%");
        d.CB_BKWhite->click();
        d.CB_BitmapScaling->click();
        d.B_Abbrechen->click();
    });
    EXPECT_FALSE(Settings().Scaling.UserScalingAuto);
    EXPECT_EQ(Settings().Scaling.UserScalingPPI, 144);
    EXPECT_FALSE(Settings().Scaling.BitmapScaling);
    EXPECT_FALSE(Settings().View.BKWhite); // everything else is dropped
    form->close();
    TMemIniFile ini(MainIni());
    EXPECT_FALSE(ini.ReadBool("General", "UserScalingAuto", true));
    EXPECT_EQ(ini.ReadInteger("General", "UserScalingPPI", 0), 144);
}

TEST_F(MainWindowTest, ScalingOtherThanTheScreenIsQuestioned) {
    const struct {
        int Screen;
        int Index;
        TPromptResult Answer;
        bool Asked;
        int Kept;
    } cases[] = {
        {144, 1, TPromptResult::No, true, 0},
        {144, 1, TPromptResult::Yes, true, 1},
        {144, 3, TPromptResult::No, false, 3},
        {96, 2, TPromptResult::No, false, 2},
    };
    for (const auto& c : cases) {
        TOptionsDlg d;
        d.ScreenPPI = c.Screen;
        d.SetScaling(true, 96);
        Prompt.Clear();
        Prompt.Answer(c.Answer);
        d.CB_Skalierung->setCurrentIndex(c.Index);
        Q_EMIT d.CB_Skalierung->activated(c.Index);
        EXPECT_EQ(Prompt.History().size(), c.Asked ? 1 : 0) << c.Screen << " " << c.Index;
        if (c.Asked) {
            EXPECT_EQ(Prompt.History()[0].Request.Text,
                      GetMessage(5068) + "\r\r" + GetMessage(5070));
            EXPECT_EQ(Prompt.History()[0].Request.Buttons, TPromptButtons::YesNo);
        }
        EXPECT_EQ(d.CB_Skalierung->currentIndex(), c.Kept) << c.Screen << " " << c.Index;
    }
}

TEST_F(MainWindowTest, GeneralAutosaveAndGridPagesAreTakenOver) {
    auto form = Start();
    int colours = 0, repaints = 0, captions = 0, labels = 0;
    TLifecycleHooks& h = form->Lifecycle().Hooks;
    h.SetSheetColors = [&] { ++colours; };
    h.RepaintSheet = [&] { ++repaints; };
    h.SheetCaptionsChanged = [&] { ++captions; };
    h.ComponentLabelsChanged = [&] { ++labels; };

    WithOptions(*form, 0, [&](TOptionsDlg& d) {
        EXPECT_FALSE(d.E_Praefix->isEnabled());
        d.CB_BauteilSeitennummer->click();
        EXPECT_TRUE(d.E_Praefix->isEnabled());
        d.E_Praefix->setText("S");
        d.CB_Dateiinfo->click();
        EXPECT_FALSE(d.SE_Intervall->isEnabled());
        EXPECT_EQ(d.SE_Intervall->value(), 5);
        d.CB_Autospeichern->click();
        EXPECT_TRUE(d.SE_Intervall->isEnabled());
        d.SE_Intervall->setValue(7);
        d.CB_BackupOnOpen->click();
        d.B_OK->click();
    });
    EXPECT_EQ(labels, 1);
    EXPECT_EQ(captions, 0);
    EXPECT_EQ(colours, 0); // nothing the sheet shows changed
    EXPECT_TRUE(form->Document->ComponentPageNumbers);
    EXPECT_EQ(form->Document->PageNumberPrefix, "S");
    EXPECT_TRUE(form->Document->Settings.KeepFileInfo);
    EXPECT_FALSE(form->Document->Settings.BackupOnOpen);
    EXPECT_TRUE(Settings().Autosave.Enabled);
    EXPECT_EQ(Settings().Autosave.IntervalMs, 420000);
    EXPECT_TRUE(form->Lifecycle().AutosaveTimer()->isActive());
    EXPECT_EQ(form->Lifecycle().AutosaveTimer()->interval(), 420000);

    WithOptions(*form, TOptionsDlg::pgRaster, [&](TOptionsDlg& d) {
        EXPECT_EQ(d.CB_Kontrast->currentText(), "Mittel");
        EXPECT_EQ(d.CB_Markierung->currentText(), "5");
        EXPECT_TRUE(d.RB_Punktraster->isChecked());
        d.CB_Kontrast->setCurrentIndex(3);
        d.RB_Linienraster->click();
        d.CB_BlattSeitennummer->click();
        d.B_OK->click();
    });
    EXPECT_EQ(colours, 1);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(captions, 1);
    EXPECT_EQ(Settings().View.Kontrast, 3);
    EXPECT_FALSE(Settings().View.Punktraster);
    form->close();
    TMemIniFile ini(MainIni());
    EXPECT_EQ(ini.ReadInteger("General", "AutospeichernMin", 0), 420000);
    EXPECT_TRUE(ini.ReadBool("General", "Autospeichern", false));
    EXPECT_EQ(ini.ReadInteger("General", "Kontrast", 0), 3);
}

TEST_F(MainWindowTest, FolderAndLibraryPages) {
    const QString drawings = Scratch() + "Zeichnungen/";
    QDir().mkpath(drawings);
    auto form = Start();
    QString newRoot;
    form->Lifecycle().Hooks.LibraryRootChanged = [&](const QString& r) { newRoot = r; };
    const QString before = Settings().Folders.Export;
    WithOptions(*form, TOptionsDlg::pgVerzeichnisse, [&](TOptionsDlg& d) {
        EXPECT_EQ(d.E_FormblattVerz->text(), Data() + "Forms/");
        d.E_KavVerz->setText(drawings.chopped(1)); // without the slash
        d.E_ExportVerz->setText(Scratch() + "missing");
        d.E_FormblattVerz->clear();
        d.B_Standardwerte->click();
        EXPECT_TRUE(QFileInfo(Data() + "Templates").isDir());
        EXPECT_TRUE(QFileInfo(Data() + "Forms").isDir());
        EXPECT_EQ(d.E_VorlagenVerz->text(), Data() + "Templates/");
        EXPECT_EQ(d.E_FormblattVerz->text(), Data() + "Forms/");
        d.TV_Seiten->setCurrentItem(d.TV_Seiten->topLevelItem(TOptionsDlg::pgBibliothek));
        EXPECT_EQ(d.E_BiboDir->text(), Data() + "BIBO/");
        d.E_BiboDir->setText(Scratch() + "Lib/");
        d.B_BiboReset->click();
        EXPECT_EQ(d.E_BiboDir->text(), Data() + "BIBO/");
        d.E_BiboDir->setText(Scratch() + "Lib/");
        d.B_OK->click();
    });
    const TWorkingFolders& f = Settings().Folders;
    EXPECT_EQ(f.KavPreset, drawings);
    EXPECT_EQ(form->Document->Settings.DocumentFolder, drawings); // the working folder at once
    EXPECT_EQ(f.ExportPreset, Scratch() + "missing/");
    EXPECT_EQ(f.Export, before);
    EXPECT_EQ(form->Document->Settings.TemplateFolder, Data() + "Templates/");
    EXPECT_EQ(newRoot, Scratch() + "Lib/");
    EXPECT_EQ(Settings().Library.BiboDir, Scratch() + "Lib/");
    form->close();

    // Next start: the preset wins over the last used folder.
    TMemIniFile ini(MainIni());
    ini.WriteString("General", "KAV_Verz", Scratch());
    ASSERT_TRUE(ini.UpdateFile());
    auto second = Start();
    EXPECT_EQ(second->Document->Settings.DocumentFolder, drawings);
    second->close();
}

TEST_F(MainWindowTest, ViewerConfiguration) {
    WriteSettingsFile(MainIni(), "[General]\nKontrast=3\n[MRU]\nMRU0=/from/editor.kav8\n");
    const QByteArray before = ReadBytes(MainIni());
    SetViewerConfiguration(true);
    TForm1 form;
    EXPECT_FALSE(form.Einstellungen1->menuAction()->isVisible());
    EXPECT_FALSE(form.findChild<QWidget*>("P_Modus")->isVisibleTo(&form));
    EXPECT_FALSE(form.findChild<QWidget*>("Bibo_panel")->isVisibleTo(&form));
    EXPECT_FALSE(form.statusBar()->isVisibleTo(&form));
    EXPECT_EQ(form.windowTitle(), "Kavro 8.0 - Viewer");
    form.show();

    // First start: the language dialog opens with English preselected; French is chosen.
    int preselected = -1;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TSpracheDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->windowTitle(), "Kavro-Viewer");
        EXPECT_EQ(dlg->findChild<QPushButton*>("B_Abbrechen")->text(), "Cancel")
            << "the buttons speak the language the choice is offered in";
        preselected = dlg->Language();
        dlg->RB_Franzoesisch->click();
        dlg->accept();
    });
    form.SplashTimerTimer();
    EXPECT_EQ(preselected, 1);
    EXPECT_EQ(InterfaceLanguage(), 2);
    EXPECT_TRUE(form.ViewerSprache1->isVisible());
    EXPECT_EQ(form.ViewerSprache1->text(), "Langue...");
    EXPECT_EQ(Settings().View.Kontrast, 0);
    EXPECT_TRUE(form.Document->Settings.RecentFiles.isEmpty());
    EXPECT_TRUE(form.HotkeyButtons[hkZoom]->isChecked());

    // The menu item: English from now on for messages, with the warning in the new language.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TSpracheDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->Language(), 2);
        dlg->RB_Englisch->click();
        dlg->accept();
    });
    Prompt.Clear();
    form.ViewerSprache1->trigger();
    EXPECT_EQ(InterfaceLanguage(), 1);
    ASSERT_EQ(Prompt.History().size(), 1);
    EXPECT_EQ(Prompt.History()[0].Request.Text, "The changing will take effect at the next start.");
    EXPECT_EQ(Prompt.History()[0].Request.Caption, "Kavro-Viewer");

    form.Document->AddRecentFile("/viewed.kav8");
    form.close();
    EXPECT_EQ(ReadBytes(MainIni()), before);
    TMemIniFile viewer(ViewerIni());
    EXPECT_EQ(viewer.ReadInteger("General", "Sprache", -1), 1);
    EXPECT_EQ(viewer.ReadString("MRU", "MRU0", {}), "/viewed.kav8");
    EXPECT_TRUE(viewer.ValueExists("General", "WindowMax"));
}
