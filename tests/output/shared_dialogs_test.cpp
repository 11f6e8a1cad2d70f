// The value dialog and the sheet selection dialog.
#include "output/gui/PageSelectDlg.h"
#include "output/gui/WertEingabeDlg.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(WertEingabeDlg, LimitsAndDecimalCommas) {
    SetInterfaceLanguage(LangGerman);
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    TWertEingabeDlg dlg;
    EXPECT_EQ(dlg.B_Abbrechen->text(), "Abbrechen");
    struct Case {
        const char* typed;
        bool accepted;
        double value;
        const char* shown; // the edit after OK
    } cases[] = {
        {"12,5", true, 12.5, "12.5"}, {"400", false, 0, "400"}, {"360", true, 360, "360"},
        {"-360", true, -360, "-360"}, {"abc", false, 0, "abc"},
    };
    for (const Case& c : cases) {
        prompts.Clear();
        dlg.PrepareNumber("Drehen:", 0, -360, 360);
        dlg.open();
        dlg.Edit1->setText(c.typed);
        dlg.B_OK->click();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dlg.isVisible(), !c.accepted) << c.typed;
        EXPECT_EQ(dlg.Edit1->text(), c.shown) << c.typed;
        if (c.accepted) {
            EXPECT_DOUBLE_EQ(dlg.Value, c.value) << c.typed;
            EXPECT_TRUE(prompts.Texts().isEmpty()) << c.typed;
        } else {
            ASSERT_EQ(prompts.Texts().size(), 1) << c.typed;
            EXPECT_EQ(prompts.Texts()[0],
                      "Der Wert muss zwischen folgenden Grenzen liegen: -360 ... 360");
            dlg.reject();
        }
    }
    // The start value with the interface's separator; text mode takes anything.
    dlg.PrepareNumber("Zoomfaktor:", 0.67, 0.17, 99.9);
    EXPECT_EQ(dlg.Edit1->text(), "0,67");
    dlg.PrepareText("Name:", "Plan");
    dlg.open();
    dlg.Edit1->setText("neu, mit Komma");
    dlg.B_OK->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Text, "neu, mit Komma");
}

TEST(PageSelectDlg, ReservedSheetsCannotBeChosen) {
    SetInterfaceLanguage(LangGerman);
    TPageSelectDlg dlg;
    const QString reserved = TPageSelectDlg::ReservedMarker;
    dlg.SetLines({"1: A", "2: B", reserved, "4: D", "5: E"}, {2, 3});
    EXPECT_EQ(dlg.SelectedLines(), std::vector<int>{3});
    EXPECT_EQ(dlg.StatusBar1->text(), " Ausgewählt: 1 / 5");
    dlg.B_Alle->click();
    EXPECT_EQ(dlg.SelectedLines(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(dlg.StatusBar1->text(), " Ausgewählt: 4 / 5");
    dlg.LB_Seiten->item(2)->setSelected(true);
    EXPECT_EQ(dlg.SelectedLines().size(), 4u);
    dlg.B_Keine->click();
    EXPECT_TRUE(dlg.SelectedLines().empty());
    EXPECT_EQ(dlg.Label1->text(), "Blätter auswählen:");
    EXPECT_EQ(dlg.B_Alle->text(), "Alle auswählen");
}

} // namespace
