// The insert dialog's positions and the sort dialog's moves of a selection.
#include "document/gui/SheetDialogs.h"
#include "platform/messages.h"

#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

TEST(BlattEinfuegenDlg, PositionsOfTheChoices) {
    SetInterfaceLanguage(LangGerman);
    TBlattEinfuegenDlg dlg;
    struct Case {
        const char* name;
        QRadioButton* TBlattEinfuegenDlg::*button;
        int sheet;
        int position;
    } cases[] = {
        {"first", &TBlattEinfuegenDlg::RB_ErstesBlatt, 2, 0},
        {"last", &TBlattEinfuegenDlg::RB_LetztesBlatt, 2, 4},
        {"before sheet 2", &TBlattEinfuegenDlg::RB_Vor, 2, 1},
        {"after sheet 1", &TBlattEinfuegenDlg::RB_Nach, 1, 1},
        {"after sheet 4", &TBlattEinfuegenDlg::RB_Nach, 4, 4},
    };
    for (const Case& c : cases) {
        dlg.Prepare(4, 0, false);
        (dlg.*c.button)->click();
        dlg.SE_Blatt->setValue(c.sheet);
        EXPECT_EQ(dlg.Position(), c.position) << c.name;
        EXPECT_EQ(dlg.Count(), 1) << c.name;
    }
    dlg.Prepare(4, 3, true);
    EXPECT_EQ(dlg.SE_Blatt->value(), 4);
    EXPECT_EQ(dlg.SE_Blatt->maximum(), 4);
    EXPECT_EQ(dlg.SE_Anzahl->maximum(), 99);
    dlg.SE_Anzahl->setValue(3);
    EXPECT_EQ(dlg.Count(), 3);
}

TEST(BlattSortierenDlg, SelectedEntriesMoveTogetherAndStopAtTheEnds) {
    TBlattSortierenDlg dlg;
    dlg.SetCaptions({"A", "B", "C", "D", "E"}, 1);
    dlg.LB_Blaetter->item(3)->setSelected(true); // B and D
    EXPECT_TRUE(dlg.MoveSelection(-5));          // stops when B reaches the top
    EXPECT_EQ(dlg.Order(), (std::vector<int>{1, 0, 3, 2, 4}));
    EXPECT_FALSE(dlg.MoveSelection(-1));
    EXPECT_TRUE(dlg.MoveSelection(2));
    EXPECT_EQ(dlg.Order(), (std::vector<int>{0, 2, 1, 4, 3}));
    QStringList shown;
    for (int i = 0; i < dlg.LB_Blaetter->count(); ++i)
        shown << dlg.LB_Blaetter->item(i)->text();
    EXPECT_EQ(shown.join(""), "ACBED");
    EXPECT_TRUE(dlg.LB_Blaetter->item(2)->isSelected());
    EXPECT_TRUE(dlg.LB_Blaetter->item(4)->isSelected());
}

} // namespace
