// The properties panel with nothing selected: the sheet's own properties, edited through the
// panel's controls in the main window and applied to the current sheet at once.
#include "app/gui/mainwindow.h"
#include "app/settings.h"
#include "app_fixture.h"
#include "document/gui/PagesPanel.h"
#include "document/gui/SheetTabs.h"
#include "editor/gui/Eigenschaften_Panel.h"
#include "editor/gui/SheetArea.h"
#include "editor/gui/SheetView.h"
#include "support/processes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

class PropertiesPanel : public AppTest {
protected:
    std::unique_ptr<TForm1> Start() {
        auto form = std::make_unique<TForm1>();
        form->show();
        form->SplashTimerTimer();
        return form;
    }
    // The panel's control of that name.
    template <class T> static T* Find(TForm1& form, const char* name) {
        T* w = form.EigenschaftenPanel->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    // Types into a field and leaves it with ENTER.
    static void Type(QWidget* field, const QString& text) {
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
        if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    static QJsonObject DumpSheet(const QString& file, int index) {
        const ProcessResult r = RunCli({"dump", file});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        return QJsonDocument::fromJson(r.out)
            .object()
            .value("sheets")
            .toArray()
            .at(index)
            .toObject();
    }
    static void Save(TForm1& form, const QString& file) {
        form.FileDialogHook = [file](bool, const QString&, const QString&, const QString&) {
            return file;
        };
        form.Speichern->trigger();
        EXPECT_FALSE(form.Document->Modified);
    }
};

TEST_F(PropertiesPanel, EveryCommandShowsTheSheetCategories) {
    auto form = Start();
    TEigenschaftenPanel* panel = form->EigenschaftenPanel;
    // Each of the four ways in shows the docked panel with the current sheet's values.
    QAction* tabEntry = form->Popup_Tab->actions().value(0);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"menu", [&] { form->Blatteinrichten1->trigger(); }},
        {"tab menu", [&] { tabEntry->trigger(); }},
        {"pages panel", [&] { form->PagesContent->M_Eigenschaften->trigger(); }},
        {"tool button", [&] { form->TB_Eigenschaften->click(); }},
    };
    for (const auto& [way, run] : ways) {
        form->TB_Eigenschaften->setChecked(false);
        ASSERT_FALSE(form->P_Eigenschaften->isVisible());
        form->UpdateCommands();
        EXPECT_TRUE(form->Blatteinrichten1->isEnabled());
        EXPECT_TRUE(tabEntry->isEnabled());
        EXPECT_TRUE(form->PagesContent->M_Eigenschaften->isEnabled());
        run();
        EXPECT_TRUE(form->P_Eigenschaften->isVisible()) << way;
        EXPECT_TRUE(form->TB_Eigenschaften->isChecked()) << way;
    }
    EXPECT_EQ(panel->window(), form.get());
    for (TCategoryPanel* c : {panel->CP_Blatt, panel->CP_Massstab, panel->CP_Formblatt})
        EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
    EXPECT_EQ(panel->CP_Blatt->Caption(), "Blatt");
    EXPECT_EQ(panel->CP_Massstab->Caption(), "Maßstab");
    EXPECT_EQ(panel->CP_Formblatt->Caption(), "Formblatt");
    EXPECT_EQ(panel->E_BlattName->text(), "Neues Blatt");
    EXPECT_EQ(panel->SE_BlattWidth->value(), 297);
    EXPECT_EQ(panel->CB_BlattFormat->currentText(), "A4");
    EXPECT_TRUE(panel->RB_BlattQuer->isChecked());
    EXPECT_EQ(panel->CB_Reserveblatt->text(), "(nicht mitdrucken)");
    EXPECT_FALSE(panel->B_Formblatt_Create->isEnabled()) << "the generator is not there yet";

    // A category folds and opens from its caption bar.
    panel->CP_Blatt->Header()->click();
    EXPECT_TRUE(panel->CP_Blatt->Collapsed());
    EXPECT_FALSE(panel->E_BlattName->isVisible());
    panel->CP_Blatt->Header()->click();
    EXPECT_TRUE(panel->E_BlattName->isVisible());

    // The component editor's sheet has no sheet or form-sheet category, but keeps its scale.
    form->Document->CurrentSheet()->ComponentEditorSheet = true;
    form->RefreshProperties();
    EXPECT_FALSE(panel->CP_Blatt->isVisible());
    EXPECT_FALSE(panel->CP_Formblatt->isVisible());
    EXPECT_TRUE(panel->CP_Massstab->isVisible());
    form->Document->CurrentSheet()->ComponentEditorSheet = false;
    form->close();
}

TEST_F(PropertiesPanel, NameDescriptionAndReserveReachTabsListsAndTheFile) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.ShowSheet(0);
    doc.Modified = false;
    form->Blatteinrichten1->trigger();
    auto* name = Find<QLineEdit>(*form, "E_BlattName");
    auto* memo = Find<QPlainTextEdit>(*form, "Memo_Blatt");
    auto* reserve = Find<QCheckBox>(*form, "CB_Reserveblatt");
    const TSheetTabs* tabs = form->Panel_Tabs->TabSet;

    Type(name, "Steuerung");
    EXPECT_EQ(doc.Sheet(0).SheetName, "Steuerung");
    EXPECT_EQ(tabs->Tab(0).Text, "  " + doc.SheetCaption(0) + "  ");
    EXPECT_TRUE(doc.SheetCaption(0).endsWith("Steuerung"));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(name->text(), "Steuerung") << "the field keeps what was typed";

    memo->setFocus();
    QTest::keyClicks(memo, "Zeile 1");
    EXPECT_EQ(doc.Sheet(0).SheetDescription, "Zeile 1");
    EXPECT_EQ(tabs->Tab(0).Hint, "Zeile 1");

    // The pages panel shows the new name as well.
    form->TB_Pages->click();
    EXPECT_EQ(form->PagesContent->SG_Pages->item(0, 1)->text(), "Steuerung");
    EXPECT_EQ(form->PagesContent->SG_Pages->item(0, 1)->toolTip(), "Zeile 1");
    form->TB_Pages->click();

    // A reserve sheet's tab is its number in parentheses, grey.
    doc.ShowSheet(1);
    form->Blatteinrichten1->trigger();
    reserve->click();
    EXPECT_TRUE(doc.Sheet(1).ReserveSheet);
    EXPECT_EQ(tabs->Tab(1).Text, "  (2)  ");
    EXPECT_TRUE(tabs->Tab(1).Reserve);
    EXPECT_FALSE(doc.Sheet(0).ReserveSheet);

    const QString file = Scratch() + "namen.kav8";
    Save(*form, file);
    const QJsonObject first = DumpSheet(file, 0), second = DumpSheet(file, 1);
    EXPECT_EQ(first.value("SheetName").toString(), "Steuerung");
    EXPECT_EQ(first.value("SheetDescription").toString(), "Zeile 1");
    EXPECT_FALSE(first.value("ReserveSheet").toBool());
    EXPECT_TRUE(second.value("ReserveSheet").toBool());

    // Nothing typed: leaving the field changes nothing.
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(doc.Modified);
    form->close();
}

TEST_F(PropertiesPanel, FormatOrientationAndSizeFollowEachOther) {
    auto form = Start();
    TEditor& sheet = *form->Document->CurrentSheet();
    form->Blatteinrichten1->trigger();
    TEigenschaftenPanel* p = form->EigenschaftenPanel;
    auto chooseFormat = [&](const char* format) {
        const int i = p->CB_BlattFormat->findText(QString::fromLatin1(format));
        ASSERT_GE(i, 0) << format;
        p->CB_BlattFormat->setCurrentIndex(i);
        Q_EMIT p->CB_BlattFormat->activated(i);
    };
    const struct {
        const char* Name;
        std::function<void()> Do;
        int Width, Height;
        const char* Format;
        bool Portrait;
    } cases[] = {
        {"A3 in portrait",
         [&] {
             p->RB_BlattHoch->click();
             chooseFormat("A3");
         },
         297, 420, "A3", true},
        {"to landscape", [&] { p->RB_BlattQuer->click(); }, 420, 297, "A3", false},
        {"landscape again", [&] { p->RB_BlattQuer->click(); }, 420, 297, "A3", false},
        {"300 x 300",
         [&] {
             Type(p->SE_BlattWidth, "300");
             Type(p->SE_BlattHeight, "300");
         },
         300, 300, "Frei", false},
        {"letter typed upright",
         [&] {
             Type(p->SE_BlattWidth, "216");
             Type(p->SE_BlattHeight, "279");
         },
         216, 279, "Ansi-A (Letter)", true},
        {"Ansi-F keeps portrait", [&] { chooseFormat("Ansi-F"); }, 711, 1016, "Ansi-F", true},
        {"Frei changes nothing", [&] { chooseFormat("Frei"); }, 711, 1016, "Ansi-F", true},
        {"A0 to landscape",
         [&] {
             chooseFormat("A0");
             p->RB_BlattQuer->click();
         },
         1189, 841, "A0", false},
        {"B5 landscape", [&] { chooseFormat("B5"); }, 250, 176, "B5", false},
    };
    for (const auto& c : cases) {
        c.Do();
        EXPECT_EQ(sheet.SheetWidth, c.Width) << c.Name;
        EXPECT_EQ(sheet.SheetHeight, c.Height) << c.Name;
        EXPECT_EQ(p->SE_BlattWidth->value(), c.Width) << c.Name;
        EXPECT_EQ(p->SE_BlattHeight->value(), c.Height) << c.Name;
        EXPECT_EQ(p->CB_BlattFormat->currentText(), c.Format) << c.Name;
        EXPECT_EQ(p->RB_BlattHoch->isChecked(), c.Portrait) << c.Name;
        EXPECT_NE(p->RB_BlattQuer->isChecked(), c.Portrait) << c.Name;
        // The sheet view takes the new size.
        EXPECT_EQ(sheet.CanvasSize(),
                  QSize(qRound(c.Width * 10 * sheet.Zoom), qRound(c.Height * 10 * sheet.Zoom)))
            << c.Name;
        EXPECT_EQ(form->ScrollBox_Editor->horizontalScrollBar()->maximum(), sheet.MaxScroll().x())
            << c.Name;
    }
    EXPECT_TRUE(form->Document->Modified);
    const QString file = Scratch() + "format.kav8";
    Save(*form, file);
    const QJsonObject saved = DumpSheet(file, 0);
    EXPECT_EQ(saved.value("SheetWidth").toInt(), 250);
    EXPECT_EQ(saved.value("SheetHeight").toInt(), 176);
    form->close();
}

TEST_F(PropertiesPanel, EnteredValuesAreKeptWithinTheirLimits) {
    auto form = Start();
    TEditor& sheet = *form->Document->CurrentSheet();
    form->Blatteinrichten1->trigger();
    const struct {
        const char* Field;
        const char* Typed;
        std::function<double()> Stored;
        double Expected;
        const char* Shown;
    } cases[] = {
        {"SE_BlattWidth", "2000", [&] { return sheet.SheetWidth; }, 1200, "1200 mm"},
        {"SE_BlattWidth", "10", [&] { return sheet.SheetWidth; }, 50, "50 mm"},
        {"SE_BlattHeight", "1201", [&] { return sheet.SheetHeight; }, 1200, "1200 mm"},
        {"SE_BlattHeight", "", [&] { return sheet.SheetHeight; }, 50, "50 mm"},
        {"SE_BlattHeight", "640", [&] { return sheet.SheetHeight; }, 640, "640 mm"},
        {"SE_Formblatt_Width", "1500", [&] { return sheet.ZoneGrid.Width; }, 12000, "1200 mm"},
        {"SE_Formblatt_XOffset", "7", [&] { return sheet.ZoneGrid.OffsetX; }, 70, "7 mm"},
        {"SE_Formblatt_XAnz", "99", [&] { return sheet.ZoneGrid.Columns; }, 50, "50"},
        {"SE_Formblatt_YAnz", "0", [&] { return sheet.ZoneGrid.Rows; }, 1, "1"},
        {"SE_Formblatt_XStart", "20000", [&] { return sheet.ZoneGrid.FirstColumn; }, 10000,
         "10000"},
        {"E_Massstab", "5000", [&] { return sheet.Scale; }, 1000, "1000"},
        {"E_Massstab", "0", [&] { return sheet.Scale; }, 0.1, "0,1"},
        {"E_Massstab", "2,54", [&] { return sheet.Scale; }, 2.5, "2,5"},
        {"E_Massstab", "7.5", [&] { return sheet.Scale; }, 7.5, "7,5"},
        {"E_Massstab", "abc", [&] { return sheet.Scale; }, 0.1, "0,1"},
    };
    for (const auto& c : cases) {
        QWidget* field = Find<QWidget>(*form, c.Field);
        Type(field, QString::fromLatin1(c.Typed));
        EXPECT_DOUBLE_EQ(c.Stored(), c.Expected) << c.Field << " " << c.Typed;
        const QString shown = qobject_cast<QAbstractSpinBox*>(field)
                                  ? qobject_cast<QAbstractSpinBox*>(field)->text()
                                  : qobject_cast<QLineEdit*>(field)->text();
        EXPECT_EQ(shown, c.Shown) << c.Field << " " << c.Typed;
    }
    // Letters never get into a spin edit.
    QTest::keyClicks(form->EigenschaftenPanel->SE_BlattWidth, "x");
    EXPECT_FALSE(form->EigenschaftenPanel->SE_BlattWidth->text().contains('x'));

    // The name takes 80 characters at most.
    auto* name = Find<QLineEdit>(*form, "E_BlattName");
    Type(name, QString(100, QLatin1Char('n')));
    EXPECT_EQ(sheet.SheetName, QString(80, QLatin1Char('n')));

    // ESC throws a typed entry away and changes nothing.
    auto* width = form->EigenschaftenPanel->SE_BlattWidth;
    const int before = sheet.SheetWidth;
    width->selectAll();
    QTest::keyClicks(width, "99");
    QTest::keyClick(width, Qt::Key_Escape);
    EXPECT_EQ(width->value(), before);
    EXPECT_EQ(width->text(), QString::number(before) + " mm");
    QTest::keyClick(width, Qt::Key_Return);
    EXPECT_EQ(sheet.SheetWidth, before);
    form->close();
}

TEST_F(PropertiesPanel, SwitchingSheetsRefillsThePanel) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.Sheet(0).SheetName = "Eins";
    doc.Sheet(1).SheetName = "Zwei";
    doc.Sheet(1).SheetWidth = 420;
    doc.Sheet(1).SheetHeight = 594;
    doc.Sheet(1).Scale = 2.5;
    doc.Sheet(1).UnitDivisor = 1000;
    doc.Sheet(1).ZoneGrid.Columns = 6;
    doc.Sheet(1).ZoneGridVisible = true;
    doc.ShowSheet(0);
    form->Blatteinrichten1->trigger();
    TEigenschaftenPanel* p = form->EigenschaftenPanel;
    EXPECT_EQ(p->E_BlattName->text(), "Eins");
    EXPECT_EQ(p->SE_BlattWidth->value(), 297);
    EXPECT_FALSE(p->CB_Formblatt_Show->isChecked());

    form->GotoSheet(1);
    EXPECT_EQ(p->E_BlattName->text(), "Zwei");
    EXPECT_EQ(p->SE_BlattWidth->value(), 420);
    EXPECT_EQ(p->CB_BlattFormat->currentText(), "A2");
    EXPECT_TRUE(p->RB_BlattHoch->isChecked());
    EXPECT_EQ(p->E_Massstab->text(), "2,5");
    EXPECT_EQ(p->CB_Massstab->currentText(), "m");
    EXPECT_EQ(p->SE_Formblatt_XAnz->value(), 6);
    EXPECT_TRUE(p->CB_Formblatt_Show->isChecked());

    // An edit goes to the sheet shown, and only there.
    Type(p->E_BlattName, "Zwei neu");
    EXPECT_EQ(doc.Sheet(1).SheetName, "Zwei neu");
    EXPECT_EQ(doc.Sheet(0).SheetName, "Eins");
    form->GotoSheet(0);
    EXPECT_EQ(p->E_BlattName->text(), "Eins");
    EXPECT_EQ(p->E_Massstab->text(), "1");
    form->close();
}

TEST_F(PropertiesPanel, ScaleAndZoneGridReachTheSheet) {
    auto form = Start();
    TEditor& sheet = *form->Document->CurrentSheet();
    form->Blatteinrichten1->trigger();
    TEigenschaftenPanel* p = form->EigenschaftenPanel;

    // Scale and unit: the status bar follows.
    Type(p->E_Massstab, "2");
    EXPECT_EQ(sheet.Scale, 2.0);
    EXPECT_EQ(form->L_Massstab->text(), "1:2");
    EXPECT_EQ(form->L_Raster->text(), "Raster: 2 mm");
    p->CB_Massstab->setCurrentIndex(1);
    Q_EMIT p->CB_Massstab->activated(1);
    EXPECT_EQ(sheet.UnitDivisor, 10);
    EXPECT_EQ(form->L_Einheit->text(), "cm");

    // Zone grid: every field to its own value of the grid.
    p->CB_Formblatt_Show->click();
    Type(p->SE_Formblatt_Width, "250");
    Type(p->SE_Formblatt_Height, "180");
    Type(p->SE_Formblatt_XOffset, "15");
    Type(p->SE_Formblatt_YOffset, "12");
    Type(p->SE_Formblatt_XAnz, "12");
    Type(p->SE_Formblatt_YAnz, "6");
    Type(p->SE_Formblatt_XStart, "0");
    Type(p->SE_Formblatt_YStart, "3");
    const TZoneGrid& z = sheet.ZoneGrid;
    EXPECT_TRUE(sheet.ZoneGridVisible);
    EXPECT_EQ(z.Width, 2500.0f);
    EXPECT_EQ(z.Height, 1800.0f);
    EXPECT_EQ(z.OffsetX, 150.0f);
    EXPECT_EQ(z.OffsetY, 120.0f);
    EXPECT_EQ(z.Columns, 12);
    EXPECT_EQ(z.Rows, 6);
    EXPECT_EQ(z.FirstColumn, 0);
    EXPECT_EQ(z.FirstRow, 3);

    // The zone grid is drawn: a cyan line at its left edge.
    sheet.SetZoom(0.5f);
    form->RefreshProperties();
    QImage shot(form->ScrollBox_Editor->viewport()->size(), QImage::Format_RGB32);
    form->ScrollBox_Editor->viewport()->render(&shot);
    const QPoint edge = sheet.WorldToClientPoint(TRPoint{150, 400});
    ASSERT_TRUE(shot.rect().contains(edge));
    EXPECT_EQ(QColor(shot.pixel(edge)), QColor(0, 255, 255));

    // "Auto..." fits the grid into the sheet with its offsets as the margin all round.
    Type(p->SE_BlattWidth, "400");
    p->B_Formblatt_Auto->click();
    EXPECT_EQ(z.Width, 4000.0f - 300);
    EXPECT_EQ(z.Height, 2100.0f - 240);
    EXPECT_EQ(z.Columns, 12) << "the counts stay";
    EXPECT_EQ(p->SE_Formblatt_Width->value(), 370);

    const QString file = Scratch() + "zonen.kav8";
    Save(*form, file);
    const QJsonObject saved = DumpSheet(file, 0);
    EXPECT_EQ(saved.value("Scale").toDouble(), 2.0);
    EXPECT_EQ(saved.value("UnitDivisor").toInt(), 10);
    EXPECT_TRUE(saved.value("ZoneGridVisible").toBool());
    const QJsonObject grid = saved.value("ZoneGrid").toObject();
    EXPECT_EQ(grid.value("Width").toDouble(), 3700.0);
    EXPECT_EQ(grid.value("Columns").toInt(), 12);
    EXPECT_EQ(grid.value("FirstRow").toInt(), 3);

    // "Zurücksetzen": scale 1 in millimetres.
    p->B_MassstabReset->click();
    EXPECT_EQ(sheet.Scale, 1.0);
    EXPECT_EQ(sheet.UnitDivisor, 1);
    EXPECT_EQ(p->E_Massstab->text(), "1");
    EXPECT_EQ(p->CB_Massstab->currentText(), "mm");
    EXPECT_EQ(form->L_Massstab->text(), "1:1");
    form->Document->Modified = false;
    form->close();
}

TEST_F(PropertiesPanel, OldStyleDialogHoldsTheSamePanel) {
    auto form = Start();
    Settings().Tools.AlteDialoge = true;
    form->Blatteinrichten1->trigger();
    TEigenschaftenDlg* dlg = form->EigenschaftenDlg;
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Eigenschaften");
    EXPECT_EQ(form->EigenschaftenPanel->window(), dlg);
    EXPECT_FALSE(form->P_Eigenschaften->isVisible());
    Type(form->EigenschaftenPanel->E_Massstab, "2");
    Type(form->EigenschaftenPanel->E_BlattName, "Im Dialog");
    EXPECT_EQ(form->Document->CurrentSheet()->SheetName, "Im Dialog");
    EXPECT_EQ(form->Document->CurrentSheet()->Scale, 2.0) << "ENTER pressed no button";
    // The tool button opens the dialog too instead of the docked panel.
    dlg->hide();
    form->TB_Eigenschaften->click();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(form->P_Eigenschaften->isVisible());
    // ESC with nothing typed closes it.
    QTest::keyClick(form->EigenschaftenPanel->E_BlattName, Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());

    // Back to the docked panel.
    Settings().Tools.AlteDialoge = false;
    form->Blatteinrichten1->trigger();
    EXPECT_TRUE(form->P_Eigenschaften->isVisible());
    EXPECT_EQ(form->EigenschaftenPanel->window(), form.get());
    form->Document->Modified = false;
    form->close();
}

TEST_F(PropertiesPanel, FreeWindowAndFoldedCategoriesLastBetweenRuns) {
    {
        auto form = Start();
        form->Blatteinrichten1->trigger();
        TEigenschaftenPanel* panel = form->EigenschaftenPanel;
        panel->CP_Formblatt->Header()->click();
        form->findChild<QToolButton*>("SB_EigenschaftenFree")->click();
        EXPECT_TRUE(form->EigenschaftenFree->isVisible());
        EXPECT_EQ(panel->window(), form->EigenschaftenFree);
        EXPECT_FALSE(form->P_Eigenschaften->isVisible());
        EXPECT_FALSE(form->TB_Eigenschaften->isChecked());
        Type(panel->E_BlattName, "Im Fenster");
        EXPECT_EQ(form->Document->CurrentSheet()->SheetName, "Im Fenster");
        // "Eigenschaften..." leaves the free window where it is.
        form->Blatteinrichten1->trigger();
        EXPECT_EQ(panel->window(), form->EigenschaftenFree);
        form->EigenschaftenFree->setGeometry(40, 50, 300, 500);
        form->Document->Modified = false;
        form->close();
    }
    if (HavePython()) {
        const TIniView ini = ReadWithConfigParser(MainIni());
        EXPECT_EQ(ini["Panels"]["Eigenschaften_FreeDlg_Visible"], "1");
        EXPECT_EQ(ini["Prop-Panel-Collapsed"]["CP_Formblatt"], "1");
        EXPECT_EQ(ini["Prop-Panel-Collapsed"]["CP_Blatt"], "0");
    }
    auto form = Start();
    TEigenschaftenPanel* panel = form->EigenschaftenPanel;
    EXPECT_TRUE(form->EigenschaftenFree->isVisible());
    EXPECT_EQ(panel->window(), form->EigenschaftenFree);
    EXPECT_TRUE(panel->CP_Formblatt->Collapsed());
    EXPECT_FALSE(panel->CP_Blatt->Collapsed());
    // The tool button closes the free window and shows the docked panel.
    form->TB_Eigenschaften->click();
    EXPECT_FALSE(form->EigenschaftenFree->isVisible());
    EXPECT_TRUE(form->P_Eigenschaften->isVisible());
    EXPECT_EQ(panel->window(), form.get());
    form->close();
}

TEST_F(PropertiesPanel, ViewerNeverShowsIt) {
    SetViewerConfiguration(true);
    WriteSettingsFile(ViewerIni(), "[General]\nSprache=0\n");
    WriteSettingsFile(MainIni(), "[Panels]\nEigenschaften_Visible=1\n");
    TForm1 form;
    form.show();
    form.SplashTimerTimer();
    EXPECT_FALSE(form.P_Eigenschaften->isVisible());
    EXPECT_FALSE(form.TB_Eigenschaften->isVisible());
    form.Blatteinrichten1Click();
    EXPECT_FALSE(form.P_Eigenschaften->isVisible());
    EXPECT_FALSE(form.EigenschaftenDlg->isVisible());
    EXPECT_FALSE(form.EigenschaftenPanel->isEnabled());
    EXPECT_FALSE(form.Blatteinrichten1->isEnabled());
    form.close();
}

} // namespace
