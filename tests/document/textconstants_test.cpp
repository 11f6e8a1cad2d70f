#include "document/gui/TextEingabeDlg.h"
#include "document/gui/TextKonstantenDlg.h"
#include "document/textconstants.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "support/processes.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// Restores the program's constants after a test changed them.
struct ConstantsGuard {
    QStringList saved = TextConstants();
    ~ConstantsGuard() { TextConstants() = saved; }
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void setCell(QTableWidget* grid, int row, int col, const QString& text) {
    grid->setItem(row, col, new QTableWidgetItem(text));
}

QAction* actionNamed(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}
} // namespace

TEST(TextConstants, FileIsSortedUtf16WithoutEmptyLines) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("USERTEXT.DAT"));
    const QStringList list{QStringLiteral("zeta"),   QString(),
                           QStringLiteral("Alpha"),  QStringLiteral("   "),
                           QStringLiteral("beta Ω"), QStringLiteral("alpha")};
    ASSERT_TRUE(SaveTextConstants(file, list));
    const QByteArray bytes = readFile(file);
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_EQ(bytes.mid(2, 12), QByteArray("A\0l\0p\0h\0a\0\r\0", 12));
    if (HaveTool(QStringLiteral("python3"))) {
        const ProcessResult r = RunProgram(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys; t=open(sys.argv[1],encoding='utf-16',newline='').read(); "
                            "print(repr(t.split('\\r\\n')))"),
             file});
        EXPECT_EQ(r.Out().trimmed(),
                  QStringLiteral("['Alpha', 'alpha', 'beta \u03a9', 'zeta', '']"));
    }
    QStringList back{QStringLiteral("kept when the file is missing")};
    ASSERT_TRUE(LoadTextConstants(dir.filePath(QStringLiteral("none.dat")), back));
    EXPECT_EQ(back.size(), 1);
    ASSERT_TRUE(LoadTextConstants(file, back));
    EXPECT_EQ(back, (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha"),
                                 QStringLiteral("beta Ω"), QStringLiteral("zeta")}));

    // Other encodings and line ends are read too; a folder in the file's place is an error.
    EXPECT_EQ(DecodeTextFileLines(QByteArray("\xEF\xBB\xBFx\r\ny\rz\n", 10)),
              (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));
    EXPECT_EQ(DecodeTextFileLines(QByteArray("\xFE\xFF\0a\0\n\0b", 8)),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(DecodeTextFileLines(QByteArray("Gr\xF6\xDF"
                                             "e")),
              QStringList{QStringLiteral("Größe")});
    QDir(dir.path()).mkdir(QStringLiteral("folder.dat"));
    QString error;
    EXPECT_FALSE(LoadTextConstants(dir.filePath(QStringLiteral("folder.dat")), back, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("folder.dat")));
    EXPECT_FALSE(
        SaveTextConstants(dir.filePath(QStringLiteral("no/such/dir/x.dat")), list, &error));
}

TEST(TextConstantsDialog, OkSortsDropsEmptiesAndWritesCancelKeepsTheList) {
    ConstantsGuard guard;
    QTemporaryDir dir;
    TextConstants() = {QStringLiteral("b"), QString(), QStringLiteral("A")};
    TTextKonstantenDlg dlg;
    dlg.FileName = dir.filePath(QStringLiteral("USERTEXT.DAT"));
    dlg.Prepare();
    auto* grid = dlg.findChild<QTableWidget*>(QStringLiteral("SG1"));
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("A"));
    EXPECT_EQ(dlg.windowTitle(), GetMessage(5350));

    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_NeueZeile")), Qt::LeftButton);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->currentRow(), 2);
    setCell(grid, 2, 0, QStringLiteral("c"));
    grid->setCurrentCell(0, 0);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_ZeileLoeschen")),
                      Qt::LeftButton);
    EXPECT_EQ(grid->rowCount(), 2);

    dlg.show();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_Abbrechen")), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(TextConstants(), (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
    EXPECT_FALSE(QFile::exists(dlg.FileName));

    dlg.Prepare();
    setCell(grid, 0, 0, QStringLiteral("  "));
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_NeueZeile")), Qt::LeftButton);
    setCell(grid, 2, 0, QStringLiteral("a2"));
    dlg.show();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_OK")), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const QStringList expected{QStringLiteral("a2"), QStringLiteral("b")};
    EXPECT_EQ(TextConstants(), expected);
    QStringList onDisk;
    ASSERT_TRUE(LoadTextConstants(dlg.FileName, onDisk));
    EXPECT_EQ(onDisk, expected);

    // The last row stays: deleting it empties it.
    dlg.SetRows({{QStringLiteral("only")}});
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_ZeileLoeschen")),
                      Qt::LeftButton);
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_TRUE(dlg.Constants().isEmpty());
}

TEST(TextInputDialog, InsertsAtTheCursorWithoutTouchingTheClipboard) {
    ConstantsGuard guard;
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    QApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));

    TTextEingabeDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), GetMessage(6700));
    auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("E_Text"));
    ASSERT_TRUE(edit);
    dlg.SetText(QStringLiteral("Blatt XX von"));
    edit->setSelection(6, 2); // "XX"

    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_FesteVariable")),
                      Qt::LeftButton);
    auto* fixed = dlg.findChild<QMenu*>(QStringLiteral("Popup_FesteVariablen"));
    ASSERT_TRUE(fixed);
    int separators = 0;
    for (QAction* a : fixed->actions())
        separators += a->isSeparator();
    EXPECT_EQ(separators, 5) << "six groups";
    QAction* pageNo = actionNamed(fixed, QStringLiteral("<PAGENO>"));
    ASSERT_TRUE(pageNo);
    pageNo->trigger();
    fixed->close();
    EXPECT_EQ(dlg.Text(), QStringLiteral("Blatt <PAGENO> von"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's own clipboard"));

    // User variables: a message when there are none, else a menu of their names in brackets.
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_AnwenderVariable")),
                      Qt::LeftButton);
    ASSERT_EQ(prompts.History().size(), 1);
    EXPECT_EQ(prompts.History()[0].Request.Text, GetMessage(6708));
    QStringList names;
    dlg.UserVariableNames = [&names] { return names; };
    bool defined = false;
    dlg.DefineUserVariables = [&](QWidget*) {
        names = {QStringLiteral("Projekt"), QString()};
        defined = true;
        return true;
    };
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_AnwenderVariablenDefinieren")),
                      Qt::LeftButton);
    EXPECT_TRUE(defined);
    edit->end(false);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_AnwenderVariable")),
                      Qt::LeftButton);
    auto* vars = dlg.findChild<QMenu*>(QStringLiteral("Popup_AnwenderVariablen"));
    ASSERT_EQ(vars->actions().size(), 1) << "empty names are not offered";
    vars->actions()[0]->trigger();
    vars->close();
    EXPECT_EQ(dlg.Text(), QStringLiteral("Blatt <PAGENO> von<Projekt>"));

    // Text constants, "&" shown as itself.
    TextConstants().clear();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_Textkonstante")),
                      Qt::LeftButton);
    ASSERT_EQ(prompts.History().size(), 2);
    EXPECT_EQ(prompts.History()[1].Request.Text, GetMessage(6707));
    TextConstants() = {QStringLiteral("R&D")};
    edit->home(false);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_Textkonstante")),
                      Qt::LeftButton);
    auto* consts = dlg.findChild<QMenu*>(QStringLiteral("Popup_Textkonstanten"));
    ASSERT_EQ(consts->actions().size(), 1);
    consts->actions()[0]->trigger();
    consts->close();
    EXPECT_EQ(dlg.Text(), QStringLiteral("R&DBlatt <PAGENO> von<Projekt>"));

    // A special character from the picker.
    dlg.ChooseSpecialCharacter = [](QWidget*) { return QStringLiteral("Ω"); };
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_Sonderzeichen")),
                      Qt::LeftButton);
    EXPECT_TRUE(dlg.Text().startsWith(QStringLiteral("R&DΩ")));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's own clipboard"));

    // Context help goes to the main window.
    int help = 0;
    QObject::connect(&dlg, &TTextEingabeDlg::HelpRequested, [&help] { ++help; });
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_F1);
    EXPECT_EQ(help, 1);
}

TEST(TextInputDialog, DesignatorEntriesFollowTheLanguage) {
    struct Case {
        int language;
        const char* designator;
        const char* value;
    } cases[] = {{LangGerman, "<BEZ>", "<WERT>"},
                 {LangEnglish, "<ID>", "<VALUE>"},
                 {LangFrench, "<ID>", "<VALEUR>"}};
    const int saved = InterfaceLanguage();
    for (const Case& c : cases) {
        SetInterfaceLanguage(c.language);
        const QList<QStringList> groups = TTextEingabeDlg::FixedVariableGroups();
        ASSERT_EQ(groups.size(), 6);
        EXPECT_EQ(groups[4].value(0), QLatin1String(c.designator));
        EXPECT_EQ(groups[4].value(1), QLatin1String(c.value));
        EXPECT_EQ(groups[0],
                  (QStringList{QStringLiteral("<PAGENO>"), QStringLiteral("<PAGECOUNT>"),
                               QStringLiteral("<PAGENAME>"), QStringLiteral("<PREVIOUS_PAGENO>"),
                               QStringLiteral("<NEXT_PAGENO>")}));
        EXPECT_EQ(groups[3].size(), 11);
    }
    SetInterfaceLanguage(saved);
}

// ------------------------------------------------------------------------------- user variables

#include "document/document.h"
#include "document/gui/AnwenderVariablenDlg.h"
#include "elements/text.h"

TEST(UserVariablesDialog, DuplicateNamesBlockOkAndOkExpandsTheTextsAgain) {
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    TDocument doc;
    doc.CreateSheet(false);
    doc.UserVariables = {{QStringLiteral("zweig"), QStringLiteral("Z")},
                         {QStringLiteral("  "), QStringLiteral("dropped")},
                         {QStringLiteral("Anlage"), QStringLiteral("A1")}};
    auto text = std::make_unique<TText>();
    TText& t = *text;
    doc.Sheet(0).Elements.push_back(std::move(text));
    t.SetSourceText(QStringLiteral("<anlage>/<Kunde>"));
    EXPECT_EQ(t.ShownText, QStringLiteral("A1/<Kunde>"));

    TAnwenderVariablenDlg dlg(doc);
    dlg.Prepare();
    auto* grid = dlg.findChild<QTableWidget*>(QStringLiteral("SG1"));
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->rowCount(), 2) << "empty names are dropped on opening";
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Anlage"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), GetMessage(5366));

    dlg.show();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_NeueZeile")), Qt::LeftButton);
    setCell(grid, 2, 0, QStringLiteral(" ANLAGE "));
    setCell(grid, 2, 1, QStringLiteral("A2"));
    grid->setCurrentCell(0, 1); // leaving the row checks the names
    ASSERT_GE(prompts.History().size(), 1);
    const QString expected = QStringLiteral("\"Anlage\"\r\r") + GetMessage(5453) +
                             QStringLiteral("\r") + GetMessage(5454) + QStringLiteral("\r") +
                             GetMessage(5455);
    EXPECT_EQ(prompts.History().back().Request.Text, expected);
    EXPECT_EQ(prompts.History().back().Request.Icon, TPromptIcon::Information);
    EXPECT_EQ(grid->item(2, 0)->text(), QStringLiteral("ANLAGE")) << "names are trimmed";

    const qsizetype shownBefore = prompts.History().size();
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_OK")), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible()) << "duplicates keep the dialog open";
    EXPECT_GT(prompts.History().size(), shownBefore);

    setCell(grid, 2, 0, QStringLiteral("Kunde"));
    setCell(grid, 2, 1, QStringLiteral("ACME"));
    int changed = 0;
    QObject::connect(&dlg, &TAnwenderVariablenDlg::VariablesChanged, [&changed] { ++changed; });
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_OK")), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(doc.Modified);
    ASSERT_EQ(doc.UserVariables.size(), 3);
    EXPECT_EQ(doc.UserVariables[1].Name, QStringLiteral("Kunde")) << "kept sorted by name";
    EXPECT_EQ(t.ShownText, QStringLiteral("A1/ACME")) << "texts are expanded again";

    // Cancel restores the variables as they were on opening.
    dlg.Prepare();
    dlg.show();
    setCell(grid, 0, 1, QStringLiteral("changed"));
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("B_Abbrechen")), Qt::LeftButton);
    EXPECT_EQ(doc.UserVariables[0].Value, QStringLiteral("A1"));

    // The text input dialog offers the document's variables.
    TTextEingabeDlg input;
    input.UseDocument(doc);
    EXPECT_EQ(
        input.UserVariableNames(),
        (QStringList{QStringLiteral("Anlage"), QStringLiteral("Kunde"), QStringLiteral("zweig")}));
}
