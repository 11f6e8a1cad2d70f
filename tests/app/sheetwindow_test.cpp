// The document in the main window: menus with their captions, keys and states, the sheet commands
// through their dialogs, tabs, the pages panel, the status read-out, file dialogs and caption.
#include "app/gui/mainwindow.h"
#include "app/settings.h"
#include "app_fixture.h"
#include "document/fileformat.h"
#include "document/gui/AnwenderVariablenDlg.h"
#include "document/gui/PagesPanel.h"
#include "document/gui/SheetDialogs.h"
#include "document/gui/SheetTabs.h"
#include "document/gui/TextKonstantenDlg.h"
#include "document/textconstants.h"
#include "editor/gui/SheetArea.h"
#include "editor/gui/SheetView.h"
#include "editor/viewplan.h"
#include "elements/Rechteck.h"
#include "elements/text.h"
#include "output/gui/PageSelectDlg.h"
#include "output/gui/WertEingabeDlg.h"
#include "support/processes.h"

#include <QApplication>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

class SheetWindow : public AppTest {
protected:
    std::unique_ptr<TForm1> Start(const QStringList& args = {}) {
        auto form = std::make_unique<TForm1>(args);
        form->show();
        form->SplashTimerTimer();
        return form;
    }
    static QStringList Names(const TDocument& doc) {
        QStringList names;
        for (int i = 0; i < doc.SheetCount(); ++i)
            names << doc.Sheet(i).SheetName;
        return names;
    }
    static void Name(TDocument& doc, const QStringList& names) {
        for (int i = 0; i < names.size() && i < doc.SheetCount(); ++i)
            doc.Sheet(i).SheetName = names[i];
        doc.SheetsChanged();
    }
    static void AddFormElement(TEditor& sheet) {
        auto r = std::make_unique<TRechteck>(TRRect{100, 100, 400, 300});
        r->FormLayer = true;
        sheet.Elements.push_back(std::move(r));
    }
    static QJsonObject Dump(const QString& file) {
        const ProcessResult r = RunCli({"dump", file});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }
};

TEST_F(SheetWindow, MenusInOrderWithCaptionsAndKeys) {
    auto form = Start();
    QStringList titles;
    for (QAction* a : form->menuBar()->actions())
        if (a->isVisible()) titles << a->text();
    EXPECT_EQ(titles.mid(0, 4).join('|'), "&Datei|B&latt|&Formblatt|&Einstellungen");

    const struct {
        QAction* Item;
        const char* Caption;
        QKeySequence Key;
    } items[] = {
        {form->Neu1, "&Neu", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {form->Oeffnen, "&Öffnen...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {form->Speichern, "&Speichern", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {form->Speichernunter, "Speichern &unter...", {}},
        {form->AlsVorlageSpeichern1, "Als Vorlage speichern...", {}},
        {form->Zwischenablage1, "Zwischenablage...", QKeySequence(Qt::CTRL | Qt::Key_B)},
        {form->Vollbild1, "Vollbildansicht", QKeySequence(Qt::CTRL | Qt::Key_F11)},
        {form->Drucken1, "&Drucken...", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {form->NeuesBlatt1, "&Neues Blatt...", {}},
        {form->Blattkopieren2, "Blatt kopieren...", {}},
        {form->Blattlschen1, "Blatt &löschen...", {}},
        {form->Sortieren2, "Sortieren...", {}},
        {form->Blattladen1, "Blatt la&den...", {}},
        {form->Blattspeichernunter1, "Blatt &speichern...", {}},
        {form->Hintergrundbearbeiten, "&Formblatt-Ebene bearbeiten", {}},
        {form->Hintergrundladen1, "Formblatt &laden...", {}},
        {form->Hintergrundspeichern1, "Formblatt &speichern...", {}},
        {form->Formblattentfernen1, "Formblatt entfernen...", {}},
        {form->ZoomBlatt1, "Zoom Blatt", QKeySequence(Qt::Key_F5)},
        {form->ZoomElemente1, "Zoom Elemente", QKeySequence(Qt::Key_F6)},
    };
    for (const auto& i : items) {
        EXPECT_EQ(i.Item->text(), i.Caption) << i.Caption;
        EXPECT_EQ(i.Item->shortcut(), i.Key) << i.Caption;
    }
    EXPECT_EQ(form->Vorlage1->title(), "Vorlage");
    EXPECT_EQ(form->NeuvonVorlage1->title(), "Neu von Vorlage");
    EXPECT_EQ(form->GehezuBlatt1->title(), "Gehe zu Blatt");
    EXPECT_EQ(form->Datei1->actions().last(), form->Beenden1);
    EXPECT_EQ(form->findChild<QToolButton*>("TB_Raster")->toolTip(), "Raster");
    EXPECT_EQ(form->findChild<QToolButton*>("TB_Pages")->toolTip(), "Blattliste");

    // "Gehe zu Blatt" lists the sheets with the current one checked.
    form->Document->CreateSheet(false);
    Name(*form->Document, {"Eins", "Zwei"});
    Q_EMIT form->Blatt1->aboutToShow();
    const QList<QAction*> go = form->GehezuBlatt1->actions();
    ASSERT_EQ(go.size(), 2);
    EXPECT_EQ(go[0]->text(), "1: Eins");
    EXPECT_TRUE(go[1]->isChecked());
    go[0]->trigger();
    EXPECT_EQ(form->Document->CurrentIndex(), 0);
    form->Document->Modified = false;
    form->close();
}

TEST_F(SheetWindow, FormSheetMenuFollowsTheSheet) {
    auto form = Start();
    Q_EMIT form->Formblatt1->aboutToShow();
    EXPECT_FALSE(form->Hintergrundspeichern1->isEnabled()) << "no form-sheet elements";
    AddFormElement(*form->Document->CurrentSheet());
    Q_EMIT form->Formblatt1->aboutToShow();
    EXPECT_TRUE(form->Hintergrundspeichern1->isEnabled());

    form->Hintergrundbearbeiten->trigger();
    EXPECT_TRUE(form->Document->CurrentSheet()->FormSheetEditing);
    EXPECT_TRUE(form->Hintergrundbearbeiten->isChecked());
    EXPECT_TRUE(form->TB_Formblatt->isChecked());
    EXPECT_TRUE(form->P_SheetArea->Panel_Formblatt->isVisible());
    form->P_SheetArea->B_FormblattBeenden->click();
    EXPECT_FALSE(form->Document->CurrentSheet()->FormSheetEditing);
    EXPECT_FALSE(form->P_SheetArea->Panel_Formblatt->isVisible());

    // Saved, then loaded into both sheets of a two-sheet document through the page selection.
    const QString sbk = Scratch() + "rahmen";
    form->FileDialogHook = [&](bool save, const QString& filter, const QString&, const QString&) {
        EXPECT_TRUE(filter.contains("*.sbk"));
        return save ? sbk : sbk + ".sbk";
    };
    form->Hintergrundspeichern1->trigger();
    ASSERT_TRUE(QFileInfo::exists(sbk + ".sbk")) << "the extension is added";
    form->Document->CreateSheet(false);
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TPageSelectDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Formblatt laden");
        dlg.B_Alle->click();
        EXPECT_EQ(dlg.StatusBar1->text(), " Ausgewählt: 2 / 2");
        dlg.accept();
    };
    form->Hintergrundladen1->trigger();
    EXPECT_TRUE(form->Document->Sheet(0).HasFormSheet());
    EXPECT_TRUE(form->Document->Sheet(1).HasFormSheet());
    EXPECT_EQ(form->Document->Sheet(0).Elements.size(), 1u) << "the old form sheet is replaced";

    // Removal asks which sheets and whether.
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TPageSelectDlg&>(d);
        dlg.LB_Seiten->item(1)->setSelected(true);
        dlg.accept();
    };
    Prompt.Answer(TPromptResult::Yes);
    form->Formblattentfernen1->trigger();
    EXPECT_TRUE(form->Document->Sheet(0).HasFormSheet());
    EXPECT_FALSE(form->Document->Sheet(1).HasFormSheet());
    form->Document->Modified = false;
    form->close();
}

TEST_F(SheetWindow, SheetCommandsChangeTheDocumentAndTheSavedFile) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.CreateSheet(false);
    Name(doc, {"A", "B", "C"});

    // "Neues Blatt..." as the first sheet.
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TBlattEinfuegenDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Blatt einfügen");
        EXPECT_FALSE(dlg.GB_Anzahl->isVisibleTo(&dlg));
        EXPECT_FALSE(dlg.SE_Blatt->isEnabled());
        dlg.RB_ErstesBlatt->click();
        dlg.accept();
    };
    form->NeuesBlatt1->trigger();
    EXPECT_EQ(Names(doc).join(','), "Neues Blatt,A,B,C");
    EXPECT_EQ(doc.CurrentIndex(), 0);
    EXPECT_TRUE(doc.Modified);

    // Three copies of "B" before sheet 2.
    doc.ShowSheet(2);
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TBlattEinfuegenDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Blatt kopieren");
        EXPECT_TRUE(dlg.GB_Anzahl->isVisibleTo(&dlg));
        EXPECT_EQ(dlg.SE_Blatt->value(), 3) << "starts at the current sheet";
        dlg.RB_Vor->click();
        EXPECT_TRUE(dlg.SE_Blatt->isEnabled());
        dlg.SE_Blatt->setValue(2);
        dlg.SE_Anzahl->setValue(3);
        dlg.accept();
    };
    form->Blattkopieren2->trigger();
    EXPECT_EQ(Names(doc).join(','), "Neues Blatt,Kopie von B,Kopie von B,Kopie von B,A,B,C");

    // Cancel changes nothing.
    form->DialogHook = [](QDialog& d) { d.reject(); };
    form->Blattkopieren2->trigger();
    EXPECT_EQ(doc.SheetCount(), 7);

    // Sorting: the current sheet ("Kopie von B", the last copy) moves to the end.
    const TEditor* moved = doc.CurrentSheet();
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TBlattSortierenDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Blätter sortieren");
        EXPECT_TRUE(dlg.MoveSelection(10));
        EXPECT_FALSE(dlg.MoveSelection(1)) << "stops at the end";
        dlg.accept();
    };
    form->Sortieren2->trigger();
    EXPECT_EQ(doc.Sheet(6).SheetName, "Kopie von B");
    EXPECT_EQ(doc.CurrentSheet(), moved);
    EXPECT_EQ(doc.CurrentIndex(), 6);

    // Deleting asks first.
    doc.ShowSheet(0);
    Prompt.Answer(TPromptResult::Yes);
    form->Blattlschen1->trigger();
    EXPECT_EQ(Prompt.History().back().Request.Text, "Blatt löschen \"Neues Blatt\" ?");
    EXPECT_EQ(Names(doc).join(','), "Kopie von B,Kopie von B,A,B,C,Kopie von B");

    // The tabs show the list in its order.
    const TSheetTabs* tabs = form->Panel_Tabs->TabSet;
    ASSERT_EQ(tabs->Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(tabs->Tab(i).Text, doc.TabText(i));
    EXPECT_EQ(tabs->Current(), doc.CurrentIndex());

    // Saved through the dialog: the file holds the same order, the caption names the file.
    const QString file = Scratch() + "plan.kav8";
    form->FileDialogHook = [&](bool save, const QString&, const QString&, const QString&) {
        EXPECT_TRUE(save);
        return file;
    };
    form->Speichern->trigger();
    EXPECT_EQ(form->windowTitle(), "Kavro 8.0 - [" + file + "]");
    EXPECT_FALSE(doc.Modified);
    const QJsonArray sheets = Dump(file).value("sheets").toArray();
    QStringList saved;
    for (const QJsonValue& s : sheets)
        saved << s.toObject().value("SheetName").toString();
    EXPECT_EQ(saved, Names(doc));
    form->close();
}

TEST_F(SheetWindow, SettingsMenuEditsTextConstantsAndUserVariables) {
    const QStringList constantsBefore = TextConstants();
    TextConstants().clear();
    auto form = Start();
    TDocument& doc = *form->Document;
    const QList<QAction*> items = form->Einstellungen1->actions();
    ASSERT_TRUE(items.contains(form->Textkonstanten1));
    ASSERT_TRUE(items.contains(form->AnwenderVariablen1));
    EXPECT_LT(items.indexOf(form->Grundeinstellungen1), items.indexOf(form->Textkonstanten1));
    EXPECT_LT(items.indexOf(form->Textkonstanten1), items.indexOf(form->AnwenderVariablen1));
    EXPECT_EQ(form->Textkonstanten1->text(), "Textkonstanten...");
    EXPECT_EQ(form->AnwenderVariablen1->text(), "Anwender-Variablen...");

    // Text constants: OK writes the sorted list without empty rows to the data folder's file.
    const QString constantsFile = Data() + "USERTEXT.DAT";
    auto editConstants = [&](const QList<QStringList>& rows, bool ok) {
        form->DialogHook = [rows, ok](QDialog& d) {
            auto& dlg = dynamic_cast<TTextKonstantenDlg&>(d);
            EXPECT_EQ(dlg.windowTitle(), "Textkonstanten");
            dlg.SetRows(rows);
            (ok ? dlg.B_OK : dlg.B_Abbrechen)->click();
        };
        form->Textkonstanten1->trigger();
    };
    editConstants({{"zweite Zeile"}, {""}, {"Erste Zeile"}}, true);
    EXPECT_EQ(DecodeTextFileLines(ReadBytes(constantsFile)),
              (QStringList{"Erste Zeile", "zweite Zeile"}));
    const QByteArray written = ReadBytes(constantsFile);
    editConstants({{"verworfen"}}, false);
    EXPECT_EQ(ReadBytes(constantsFile), written) << "cancel writes nothing";
    EXPECT_EQ(TextConstants(), (QStringList{"Erste Zeile", "zweite Zeile"}));

    // User variables: OK changes the document's list and what its texts show; cancel does not.
    auto text = std::make_unique<TText>();
    TText& label = *text;
    doc.CurrentSheet()->Elements.push_back(std::move(text));
    label.SetSourceText("Kunde: <Kunde>");
    doc.Modified = false;
    auto editVariables = [&](const QList<QStringList>& rows, bool ok) {
        form->DialogHook = [rows, ok](QDialog& d) {
            auto& dlg = dynamic_cast<TAnwenderVariablenDlg&>(d);
            EXPECT_EQ(dlg.windowTitle(), "Anwender-Variablen");
            dlg.SetRows(rows);
            (ok ? dlg.B_OK : dlg.B_Abbrechen)->click();
        };
        form->AnwenderVariablen1->trigger();
    };
    editVariables({{"Kunde", "ACME"}, {" Ort ", "Bonn"}}, true);
    EXPECT_EQ(doc.UserVariables, (TUserVariables{{"Kunde", "ACME"}, {"Ort", "Bonn"}}));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(label.ShownText, "Kunde: ACME");
    editVariables({{"Kunde", "Andere"}}, false);
    EXPECT_EQ(doc.UserVariables.size(), 2);
    EXPECT_EQ(label.ShownText, "Kunde: ACME");

    // The saved file holds the variables.
    const QString file = Scratch() + "variablen.kav8";
    form->FileDialogHook = [&](bool, const QString&, const QString&, const QString&) {
        return file;
    };
    form->Speichern->trigger();
    const QJsonArray vars = Dump(file).value("UserVariables").toArray();
    ASSERT_EQ(vars.size(), 2);
    EXPECT_EQ(vars[0].toObject().value("Name").toString(), "Kunde");
    EXPECT_EQ(vars[0].toObject().value("Value").toString(), "ACME");
    EXPECT_EQ(vars[1].toObject().value("Name").toString(), "Ort");
    form->close();
    TextConstants() = constantsBefore;
}

TEST_F(SheetWindow, SheetFilesThroughTheirDialogs) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.CreateSheet(false);
    Name(doc, {"A", "B", "C"});
    doc.ShowSheet(1);
    const QString blt = Scratch() + "einzeln";
    form->FileDialogHook = [&](bool save, const QString& filter, const QString&, const QString&) {
        EXPECT_TRUE(filter.contains("*.blt"));
        return save ? blt : blt + ".blt";
    };
    form->Blattspeichernunter1->trigger();
    ASSERT_TRUE(QFileInfo::exists(blt + ".blt"));
    // Loaded after sheet 1: it becomes the second sheet.
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TBlattEinfuegenDlg&>(d);
        dlg.RB_Nach->click();
        dlg.SE_Blatt->setValue(1);
        dlg.accept();
    };
    form->Blattladen1->trigger();
    EXPECT_EQ(Names(doc).join(','), "A,B,B,C");
    EXPECT_EQ(doc.CurrentIndex(), 1);
    doc.Modified = false;
    form->close();
}

TEST_F(SheetWindow, TabsClickAndDrag) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.CreateSheet(false);
    Name(doc, {"A", "B", "C"});
    doc.ShowSheet(0);
    doc.Modified = false;
    form->TB_Eigenschaften->setChecked(false); // the tabs need the room of the docked panel
    TSheetTabs* tabs = form->Panel_Tabs->TabSet;
    QApplication::processEvents();
    const QPoint onC = tabs->TabRect(2).center();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, onC);
    EXPECT_EQ(doc.CurrentIndex(), 2);
    EXPECT_FALSE(doc.Modified) << "showing a sheet is no change";

    // Drag "A" onto "C": the red bar shows on the right of C, the sheet moves there.
    const QPoint onA = tabs->TabRect(0).center();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(at), QPointF(tabs->mapToGlobal(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(tabs, &e);
    };
    send(QEvent::MouseButtonPress, onA, Qt::LeftButton);
    EXPECT_EQ(doc.CurrentIndex(), 0) << "the pressed tab is shown";
    send(QEvent::MouseMove, onA + QPoint(10, 0), Qt::LeftButton);
    EXPECT_EQ(tabs->DropTarget(), -1) << "below the drag threshold";
    const QPoint onCNow = tabs->TabRect(2).center();
    send(QEvent::MouseMove, onCNow, Qt::LeftButton);
    EXPECT_EQ(tabs->DropTarget(), 2);
    EXPECT_TRUE(tabs->DropOnRight());
    send(QEvent::MouseButtonRelease, onCNow, Qt::NoButton);
    EXPECT_EQ(Names(doc).join(','), "B,C,A");
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(doc.CurrentIndex(), 2);
    EXPECT_EQ(tabs->Current(), 2);
    doc.Modified = false;
    form->close();
}

TEST_F(SheetWindow, ButtonsAndKeysBesideTheTabs) {
    auto form = Start();
    TDocument& doc = *form->Document;
    Name(doc, {"A"});
    // "+": an empty sheet appended, or a copy of any sheet.
    Q_EMIT form->Popup_NeuesBlatt->aboutToShow();
    QList<QAction*> items = form->Popup_NeuesBlatt->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Leeres Blatt");
    EXPECT_EQ(items[1]->text(), "Kopie von");
    items[0]->trigger();
    EXPECT_EQ(Names(doc).join(','), "A,Neues Blatt");
    Q_EMIT form->Popup_NeuesBlatt->aboutToShow();
    QMenu* copies = form->Popup_NeuesBlatt->actions()[1]->menu();
    ASSERT_TRUE(copies);
    ASSERT_EQ(copies->actions().size(), 2);
    copies->actions()[0]->trigger();
    EXPECT_EQ(Names(doc).join(','), "A,Neues Blatt,Kopie von A");
    EXPECT_EQ(doc.CurrentIndex(), 2);

    // The go-to button lists the sheets; CTRL+TAB and CTRL+arrows walk through them.
    Q_EMIT form->Popup_GotoPage->aboutToShow();
    ASSERT_EQ(form->Popup_GotoPage->actions().size(), 3);
    form->Popup_GotoPage->actions()[0]->trigger();
    EXPECT_EQ(doc.CurrentIndex(), 0);
    TSheetView* view = form->ScrollBox_Editor;
    QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(doc.CurrentIndex(), 1);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(doc.CurrentIndex(), 2);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(doc.CurrentIndex(), 2) << "the last sheet stays";
    QTest::keyClick(view, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(doc.CurrentIndex(), 1);

    // A right click on a tab offers the sheet commands.
    TSheetTabs* tabs = form->Panel_Tabs->TabSet;
    QTest::mousePress(tabs, Qt::RightButton, {}, tabs->TabRect(0).center());
    EXPECT_TRUE(form->Popup_Tab->isVisible());
    QStringList captions;
    for (QAction* a : form->Popup_Tab->actions())
        captions << a->text();
    EXPECT_EQ(captions.join('|'),
              "Eigenschaften...|Neues Blatt...|Blatt kopieren...|Blatt löschen...|Sortieren...");
    form->Popup_Tab->hide();
    doc.Modified = false;
    form->close();
}

TEST_F(SheetWindow, PagesPanelReplacesTheTabs) {
    auto form = Start();
    TDocument& doc = *form->Document;
    doc.CreateSheet(false);
    doc.CreateSheet(false);
    Name(doc, {"A", "B", "C"});
    doc.Sheet(1).SheetDescription = "Zweites";
    doc.Modified = false;
    form->TB_Pages->click();
    EXPECT_TRUE(form->P_Pages->isVisible());
    EXPECT_FALSE(form->Panel_Tabs->isVisible());
    QTableWidget* grid = form->PagesContent->SG_Pages;
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(1, 0)->text(), "2");
    EXPECT_EQ(grid->item(1, 1)->text(), "B");
    EXPECT_EQ(grid->item(1, 1)->toolTip(), "Zweites");
    EXPECT_EQ(grid->currentRow(), 2);

    grid->setCurrentCell(0, 1);
    EXPECT_EQ(doc.CurrentIndex(), 0);
    EXPECT_TRUE(doc.Modified) << "every action of the panel counts as a change";

    // A new sheet after the selected row, and a copy of it placed last.
    form->PagesContent->M_NeuHier->trigger();
    EXPECT_EQ(Names(doc).join(','), "A,Neues Blatt,B,C");
    form->PagesContent->M_KopieLetztes->trigger();
    EXPECT_EQ(Names(doc).join(','), "A,Neues Blatt,B,C,Kopie von Neues Blatt");
    EXPECT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(grid->currentRow(), doc.CurrentIndex());

    // Free window and back.
    form->findChild<QToolButton*>("SB_PagesFree")->click();
    EXPECT_FALSE(form->P_Pages->isVisible());
    EXPECT_TRUE(form->PagesFree->isVisible());
    EXPECT_EQ(form->PagesContent->window(), form->PagesFree);
    form->PagesFree->close();
    EXPECT_EQ(form->PagesContent->window(), form.get());
    form->TB_Pages->click();
    form->TB_Pages->click();
    EXPECT_FALSE(form->P_Pages->isVisible());
    EXPECT_TRUE(form->Panel_Tabs->isVisible());
    doc.Modified = false;
    form->close();
}

TEST_F(SheetWindow, StatusBarGridAndZoomDialogs) {
    auto form = Start();
    TEditor& sheet = *form->Document->CurrentSheet();
    EXPECT_EQ(form->L_Zoomfaktor->text(), ZoomLabelText(sheet.Zoom));
    EXPECT_EQ(form->L_Raster->text(), "Raster: 1 mm");
    EXPECT_EQ(form->L_Massstab->text(), "1:1");

    // The pointer over the sheet: X and Y, and the markers of both rulers.
    TSheetView* view = form->ScrollBox_Editor;
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 40),
                     view->viewport()->mapToGlobal(QPointF(50, 40)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    const TStatusTexts t = sheet.StatusAt(QPoint(50, 40));
    EXPECT_EQ(form->L_KX->text(), t.X);
    EXPECT_EQ(form->L_KY->text(), t.Y);
    EXPECT_FALSE(form->L_DXCaption->isVisible());

    // The grid menu at scale 2, then "..." with 2,5 mm.
    sheet.Scale = 2;
    Q_EMIT form->Popup_Raster->aboutToShow();
    QStringList captions;
    for (QAction* a : form->Popup_Raster->actions())
        captions << a->text();
    EXPECT_EQ(captions.join('|'), "0,2 mm|0,4 mm|1 mm|2 mm|4 mm|5 mm|10 mm|20 mm|...");
    EXPECT_TRUE(form->Popup_Raster->actions()[3]->isChecked());
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TWertEingabeDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Raster...");
        EXPECT_EQ(dlg.Edit1->text(), "1");
        dlg.Edit1->setText("2,5");
        dlg.B_OK->click();
    };
    form->Popup_Raster->actions().last()->trigger();
    EXPECT_EQ(sheet.GridSize, 25);
    EXPECT_EQ(form->L_Raster->text(), "Raster: 5 mm");

    // The zoom dialog behind the zoom label: out of range first, then 3,33.
    form->DialogHook = [](QDialog& d) {
        auto& dlg = dynamic_cast<TWertEingabeDlg&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Zoomfaktor:");
        dlg.Edit1->setText("200");
        dlg.B_OK->click();
        EXPECT_TRUE(dlg.isVisible());
        dlg.Edit1->setText("3,33");
        dlg.B_OK->click();
    };
    Prompt.Clear();
    QTest::mouseClick(form->L_Zoomfaktor, Qt::LeftButton);
    EXPECT_FLOAT_EQ(sheet.Zoom, 1.0f);
    ASSERT_EQ(Prompt.History().size(), 1);
    EXPECT_EQ(Prompt.History()[0].Request.Text,
              "Der Wert muss zwischen folgenden Grenzen liegen: 0,17 ... 99,9");
    EXPECT_EQ(form->L_Zoomfaktor->text(), "Zoom:  3,33");
    form->close();
}

TEST_F(SheetWindow, OpenAsksFirstAndShowsTheFile) {
    const QString file = Scratch() + "zwei.kav8";
    {
        TDocument doc;
        doc.CreateSheet(false).SheetName = "Eins";
        doc.CreateSheet(false).SheetName = "Zwei";
        doc.Sheet(0).Zoom = 0.5f;
        ASSERT_TRUE(SaveDocumentFile(doc, file, FileKind::Document));
    }
    auto form = Start();
    form->Document->Modified = true;
    bool dialogShown = false;
    form->FileDialogHook = [&](bool save, const QString& filter, const QString&, const QString&) {
        EXPECT_FALSE(save);
        EXPECT_TRUE(filter.contains("*.kav8"));
        dialogShown = true;
        return file;
    };
    // Cancel at the question: no dialog, nothing opened.
    Prompt.Answer(TPromptResult::Cancel);
    form->Oeffnen->trigger();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(Prompt.History().back().Request.Text, "Änderungen speichern?");
    Prompt.Answer(TPromptResult::No);
    form->Oeffnen->trigger();
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(Prompt.History().size(), 2) << "asked once";
    ASSERT_EQ(form->Document->SheetCount(), 2);
    EXPECT_EQ(form->Panel_Tabs->TabSet->Tab(1).Text, "  Zwei  ");
    EXPECT_EQ(form->P_SheetArea->Sheet(), form->Document->CurrentSheet());
    EXPECT_EQ(form->windowTitle(), "Kavro 8.0 - [" + file + "]");
    // The recent-files entry opens it again.
    bool listed = false;
    for (QAction* a : form->Datei1->actions())
        listed |= a->data().toString() == file;
    EXPECT_TRUE(listed);
    form->close();
}

TEST_F(SheetWindow, ViewerShowsWithoutEditing) {
    SetViewerConfiguration(true);
    WriteSettingsFile(ViewerIni(), "[General]\nSprache=0\n");
    TForm1 form;
    form.show();
    form.SplashTimerTimer();
    EXPECT_FALSE(form.Blatt1->menuAction()->isVisible());
    EXPECT_FALSE(form.Formblatt1->menuAction()->isVisible());
    EXPECT_FALSE(form.Neu1->isVisible());
    EXPECT_FALSE(form.Speichern->isVisible());
    EXPECT_TRUE(form.Oeffnen->isVisible());
    EXPECT_FALSE(form.Panel_Tabs->SB_NeuesBlatt->isVisible());
    EXPECT_EQ(form.windowTitle(), "Kavro 8.0 - Viewer");
    ASSERT_TRUE(form.Document->CurrentSheet());
    EXPECT_EQ(form.Document->CurrentSheet()->Mode, 7) << "the zoom tool";
    EXPECT_EQ(form.P_SheetArea->Sheet(), form.Document->CurrentSheet());
    form.close();
}

} // namespace
