#include "platform/cp1252.h"
#include "platform/messages.h"
#include "platform/prompt.h"
#include "support/processes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The IDs the table must hold, range by range.
const char* const kIdRanges =
    "100-108, 110-114, 1000-1014, 1100-1109, 1200-1208, 1300-1304, 1400-1422, 1500-1505, "
    "1600-1605, 1700, 1800-1801, 1803-1804, 2000-2018, 2020-2022, 2030-2033, 2035-2036, "
    "2100-2104, 2110-2111, 2200-2204, 2210-2224, 2230, 2300, 2400-2407, 2500-2505, 2600-2602, "
    "2700-2703, 2800-2803, 2810-2811, 2820-2836, 4000-4025, 4030-4032, 4100-4118, 4120, "
    "4200-4203, 4206-4213, 4220-4222, 4300-4310, 5000-5042, 5044-5046, 5050-5051, 5055, 5058, "
    "5060-5062, 5065, 5068-5071, 5077-5078, 5100, 5102, 5104, 5106, 5108, 5110, 5112, 5114, "
    "5116, 5118, 5120, 5122, 5124, 5126-5127, 5140-5157, 5170-5176, 5200-5217, 5300-5305, "
    "5308-5338, 5350-5354, 5360-5366, 5370, 5372-5380, 5390-5397, 5400-5401, 5410, 5412, "
    "5430-5434, 5453-5455, 5457-5458, 5460, 5462-5464, 5500-5508, 5601-5605, 5700-5710, "
    "5800-5807, 5900-5902, 6000-6004, 6100-6109, 6200-6202, 6300-6305, 6307-6311, 6315, "
    "6400-6406, 6500-6505, 6600-6610, 6700-6708, 6800-6807, 6900-6903, 6907-6910, 7000-7005, "
    "7100-7111, 7200-7219, 7224-7230, 7300-7306, 7308-7309, 7330-7345, 7350-7353, 7370-7378, "
    "7400-7414, 7420-7433, 7436-7445, 7450-7458, 7460-7463, 7500-7526, 7600-7604, 7700-7720, "
    "7730, 7750-7754, 7756-7759, 7800-7809, 7900-7919, 8000-8012, 8016-8021, 8030-8039, "
    "8041-8044, 8100-8101, 8200-8201, 8300-8316, 8320, 8399-8415, 8418-8423, 8425-8427, "
    "8429-8438, 8440-8446, 8450-8453, 8455-8465, 8470-8474, 8484-8494, 8497-8498, 8500-8505, "
    "8510-8511, 8520-8523, 8530-8534, 8600-8605, 8702, 8705-8722, 8730-8741, 8750-8761, 8768, "
    "8774-8787, 8801-8807, 8820-8834, 8840, 8850-8859, 8870-8871, 8880, 8890-8901, 8905, "
    "8920-8933";

QList<int> ExpectedIds() {
    QList<int> ids;
    for (const QString& part : QString::fromLatin1(kIdRanges).split(u',')) {
        const QStringList ends = part.trimmed().split(u'-');
        const int lo = ends.first().toInt();
        const int hi = ends.last().toInt();
        for (int id = lo; id <= hi; ++id)
            ids.append(id);
    }
    return ids;
}

bool IsMessageLine(const QString& line) {
    const qsizetype p = line.indexOf(u';');
    return p > 0;
}

QByteArray Utf16Le(const QString& text, bool bom = true) {
    QByteArray b;
    if (bom) b.append("\xFF\xFE", 2);
    for (QChar c : text) {
        b.append(static_cast<char>(c.unicode() & 0xFF));
        b.append(static_cast<char>(c.unicode() >> 8));
    }
    return b;
}

// Deliberately separate from the program's reader: pairs of bytes after the byte-order mark.
bool DecodeUtf16LeWithBom(const QByteArray& b, QString* text) {
    if (b.size() < 2 || b.size() % 2 != 0 || uchar(b[0]) != 0xFF || uchar(b[1]) != 0xFE)
        return false;
    text->clear();
    for (qsizetype i = 2; i < b.size(); i += 2)
        text->append(QChar(char16_t(uchar(b[i]) | (uchar(b[i + 1]) << 8))));
    return true;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every test leaves the built-in table and German behind, whatever it merged.
class MessageTableTest : public ::testing::Test {
protected:
    void TearDown() override {
        QTemporaryDir clean;
        InitMessageTable(clean.path(), /*isViewer=*/true);
        SetInterfaceLanguage(LangGerman);
    }
    QString Dir() const { return m_dir.path() + u'/'; }
    QString TranslationsPath() const { return Dir() + QStringLiteral("Translations.txt"); }

    QTemporaryDir m_dir;
};

} // namespace

TEST(MessageTableBuiltIn, HoldsExactlyTheListedMessagesInAscendingOrder) {
    const TMessageTable table = TMessageTable::BuiltIn();
    const QStringList& lines = table.Lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("// Hauptfenster // Main window "));
    EXPECT_EQ(lines[1], QStringLiteral("// Hauptmenu // Main menu "));

    QList<int> ids;
    for (const QString& line : lines) {
        if (!IsMessageLine(line)) {
            // Besides the two comments only empty lines separate the sections.
            EXPECT_TRUE(line.isEmpty() || line.startsWith(u"//")) << line.toStdString();
            continue;
        }
        ids.append(line.section(u';', 0, 0).toInt());
    }
    EXPECT_EQ(ids.size(), 1090);
    EXPECT_EQ(ids, ExpectedIds());
    EXPECT_EQ(table.Validate(), -1);

    // The update messages keep their leading zero.
    for (int id : {100, 108, 110, 114}) {
        const int i = table.FindLine(id);
        ASSERT_GE(i, 0) << id;
        EXPECT_TRUE(lines[i].startsWith(QStringLiteral("0%1;").arg(id))) << lines[i].toStdString();
    }
}

TEST(MessageTableBuiltIn, EveryMessageHasThreeRealTexts) {
    const QRegularExpression placeholder(
        QStringLiteral("\\b(todo|fixme|tbd|xxx+|lorem|placeholder|dummy)\\b|"
                       "^(message|nachricht|msg)\\s*\\d+$|\\?\\?\\?|^\\d{3,4}$"),
        QRegularExpression::CaseInsensitiveOption);
    const TMessageTable table = TMessageTable::BuiltIn();
    for (const QString& line : table.Lines()) {
        if (!IsMessageLine(line)) continue;
        const QStringList fields = line.split(u';');
        ASSERT_EQ(fields.size(), 4) << "a ';' inside a text would split it: " << line.toStdString();
        for (int k = 1; k <= 3; ++k) {
            const QString& text = fields[k];
            EXPECT_FALSE(text.trimmed().isEmpty()) << line.toStdString();
            EXPECT_FALSE(placeholder.match(text).hasMatch()) << line.toStdString();
            EXPECT_FALSE(text.contains(u'\r') || text.contains(u'\n') || text.contains(u'\t'))
                << line.toStdString();
        }
    }
}

TEST(MessageTableBuiltIn, QuotedTextsAreUsedExactly) {
    struct Case {
        int id;
        const char* de;
        const char* en; // nullptr: not fixed
        const char* fr;
    } cases[] = {
        {5077, "Neues Blatt", "New page", "Nouvelle page"},
        {5004, "Die Datei kann nicht geschrieben werden:", "The file can not be written:",
         "Le fichier n´a pas pu être sauvé:"},
        {5005, "ist keine Kavro Datei.", "is no Kavro file.",
         "n´est pas un fichier au format Kavro."},
        {5006, "Diese Datei wurde mit einer neueren Version von Kavro erstellt",
         "This file was created with a newer version of Kavro",
         "Ce fichier a été crée avec une version plus récente de Kavro"},
        {5007, "Ihre Version von Kavro kann diese Datei nicht öffnen.",
         "Your version of Kavro is not able to open this file.",
         "Votre version de Kavro n’est pas capable d’ouvrir ce fichier."},
        {5058, "Die INI-Datei kann nicht geschrieben werden:", "The INI file can not be written:",
         "Le fichier INI ne peut pas être écrit:"},
        {5044, "Die neue Grafikengine DIRECT2D wird von Ihrem System nicht unterstützt!",
         "The new graphic-engine DIRECT2D is not supported by your system!",
         "Le nouveau graphique-engine DIRECT2D n´est pas pris en charge par votre système!"},
        {5000, "Blatt löschen", "Delete Page", "Effacer page"},
        {5001, "Das letzte Blatt kann nicht gelöscht werden.", "You can not delete the last page.",
         "Vous ne pouvez pas effacer la dernière page."},
        {5012, "Änderungen speichern?", "Save changes?", "Sauvegarder les changements?"},
        {5065, "Die Zwischenablage kann momentan nicht geöffnet werden.",
         "The clipboard cannot be opened at the moment.",
         "Le presse-papiers ne peut pas être ouvert pour le moment."},
        {5211, "Es können zur Zeit keine Magnetlinien hinzugefügt werden.",
         "You cannot add magnetic lines at the moment.",
         "Vous ne pouvez pas ajouter de lignes magnétiques pour le moment."},
        {5324,
         "Wenn Sie die Felder leer lassen, so merkt sich Kavro die jeweils zuletzt benutzten "
         "Verzeichnisse.",
         "If you leave these fields empty, Kavro will remember the last used directories.",
         "Si vous laissez de champ de saisie libre, Kavro réutilisera toujours le dernier dossier "
         "utilisé."},
        {5464, "Im Bauteileditor nicht möglich.", "Not possible in the Component-Editor.",
         "Pas possible dans l´Èditeur de Composants."},
        {5434, "Die Sicherungsdatei beginnt mit \"Backup_of_\"", nullptr, nullptr},
        {1000, "&Datei", "&File", nullptr},
        {1101, "Rückgängig", "&Undo", nullptr},
        {1200, "B&latt", "&Page", nullptr},
        {1208, "Blatt &speichern...", "&Save page to file..", nullptr},
        {1804, "?", "Help", nullptr},
        {2031, "Markiertes Bauteil", nullptr, nullptr},
        {2033, "(mit Children)", nullptr, nullptr},
        {2017, "Bemaßung fixieren", "Fix dimension", nullptr},
        {4013, "Rotiere 90°", nullptr, nullptr},
        {4300, "Alle Schaltpläne", nullptr, nullptr},
        {4306, "Bitmaps", nullptr, nullptr},
        {5373, "Unsichtbar", nullptr, nullptr},
        {6108, "Anzahl", nullptr, nullptr},
        {6500, "Zwischenablage", "Clipboard", "Presse-Papiers"},
        {7227, "Vertiakle Trennlinien", nullptr, nullptr},
        {7400, "Schaltplan exportieren", "Export", "Exporter"},
        {7519, "% der Zellenhoehe", "% of cell height", "% hauteur cellule"},
        {7703, "Nur Stücklistenbauteile", "Only compenent list elements",
         "Seuls éléments de liste comp."},
        {8101, "Der Wert muss zwischen folgenden Grenzen liegen:", "The value has to be within:",
         "La valeur doit être au sein de:"},
        {8488, "Frei", "User", "Utilisateur"},
    };
    const TMessageTable table = TMessageTable::BuiltIn();
    for (const Case& c : cases) {
        EXPECT_EQ(table.Text(c.id, LangGerman), QString::fromUtf8(c.de)) << c.id;
        if (c.en) EXPECT_EQ(table.Text(c.id, LangEnglish), QString::fromUtf8(c.en)) << c.id;
        if (c.fr) EXPECT_EQ(table.Text(c.id, LangFrench), QString::fromUtf8(c.fr)) << c.id;
    }
}

TEST(MessageTableRules, SplitsIntoFiveFields) {
    struct Case {
        const char* line;
        std::array<const char*, 5> fields;
    } cases[] = {
        {"5077;Neues Blatt;New page;Nouvelle page",
         {"5077", "Neues Blatt", "New page", "Nouvelle page", ""}},
        {"5077;a;b;c;X", {"5077", "a", "b", "c", "X"}},
        {"5077;a;b;c;X;Y", {"5077", "a", "b", "c", "X"}},
        // An empty field takes the whole rest, later fields stay empty.
        {"5077;;;;Text", {"5077", ";;;Text", "", "", ""}},
        {"5077;a;b;c;", {"5077", "a", "b", "c", ""}},
        {"5077;a;b;c;;X", {"5077", "a", "b", "c", ";X"}},
        {"5077;a;;c;d", {"5077", "a", ";c;d", "", ""}},
        {";x;y", {";x;y", "", "", "", ""}},
        {"// Hauptfenster // Main window ", {"// Hauptfenster // Main window ", "", "", "", ""}},
        {"", {"", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        const std::array<QString, 5> f = SplitMessageLine(QString::fromUtf8(c.line));
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(f[k], QString::fromUtf8(c.fields[k])) << c.line << " field " << k;
    }
}

TEST(MessageTableRules, FindsLinesByTheSearchRule) {
    const TMessageTable table(QStringList{"// comment", "", "0100;a;b;c", "100;second;b;c",
                                          ";x;y;z", "5077;t;u;v", "7", "+8;p;q;r", "abc;1;2;3",
                                          "9;never;found;here"});
    struct Case {
        qint64 id;
        int line;
    } cases[] = {
        {100, 2},  // "0100" is 100, and the first equal line wins
        {5077, 5}, // empty ID texts are skipped
        {7, -1},   // a line without ";" has no ID
        {8, 7},    // converted to a number
        {9, -1},   // the search ended at "abc"
        {0, -1},   {-1, -1}, {4711, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.FindLine(c.id), c.line) << c.id;
    EXPECT_EQ(table.Text(100, LangEnglish), QStringLiteral("b"));
    EXPECT_EQ(table.Text(100, LangGerman), QStringLiteral("a"));
    EXPECT_EQ(table.Text(9, LangGerman), QString());
}

TEST(MessageTableRules, IndexedLookupEqualsALinearSearch) {
    // Each line's ID text once: none (skip), no number (stop), or its value.
    enum Kind { Skip, Stop, Id };
    struct Parsed {
        Kind kind;
        qint64 value;
    };
    TMessageTable table = TMessageTable::BuiltIn();
    QStringList lines = table.Lines();
    lines.insert(40, QStringLiteral("1001;second;copy;of 1001"));
    lines.append({QStringLiteral("x9;a;b;c"), QStringLiteral("9999;a;b;c")});
    table = TMessageTable(lines);
    QList<Parsed> parsed;
    for (const QString& line : lines) {
        const qsizetype p = line.indexOf(u';');
        bool ok = false;
        const qint64 v = p > 0 ? line.left(p).toLongLong(&ok) : 0;
        parsed.append({p <= 0 ? Skip : ok ? Id : Stop, v});
    }
    const auto linear = [&parsed](qint64 id) {
        for (int i = 0; i < parsed.size(); ++i) {
            if (parsed[i].kind == Skip) continue;
            if (parsed[i].kind == Stop) return -1;
            if (parsed[i].value == id) return i;
        }
        return -1;
    };
    QSet<qint64> ids{-1, 0, 99, 115, 9998, 9999, 10000};
    for (const Parsed& p : parsed)
        if (p.kind == Id) ids.unite({p.value - 1, p.value, p.value + 1});
    for (qint64 id : ids)
        ASSERT_EQ(table.FindLine(id), linear(id)) << id;
    EXPECT_EQ(table.FindLine(9999), -1);
    EXPECT_EQ(table.Text(1001, LangGerman), QStringLiteral("&Neu"));
}

TEST(MessageTableRules, ValidationFindsTheFirstIncompleteMessage) {
    struct Case {
        const char* name;
        QStringList lines;
        int bad;
    } cases[] = {
        {"complete", {"// c", "", "1;a;b;c", "0100;a;b;c;translation"}, -1},
        {"empty English", {"1;a;b;c", "2;a;;c", "3;;;"}, 1},
        {"no French", {"// c", "7;a;b"}, 1},
        {"ID only", {"8"}, 0},
        {"eleven digits are no message", {"12345678901;;;"}, -1},
        {"no number", {"x1;;;", "-5;;;"}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMessageTable(c.lines).Validate(), c.bad) << c.name;
}

TEST(MessageTableRules, FaultyTableShowsThePlainErrorBox) {
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    EXPECT_EQ(CheckMessageTable(TMessageTable({"1;a;b;c", "2;a;b;"})), 1);
    ASSERT_EQ(prompts.History().size(), 1);
    EXPECT_EQ(prompts.History()[0].Request.Text, QStringLiteral("TranslationList-Error!"));
    EXPECT_EQ(prompts.History()[0].Request.Icon, TPromptIcon::None);
    EXPECT_EQ(prompts.History()[0].Request.Buttons, TPromptButtons::Ok);

    EXPECT_EQ(CheckMessageTable(TMessageTable::BuiltIn()), -1);
    EXPECT_EQ(prompts.History().size(), 1);
}

TEST_F(MessageTableTest, GetMessageFollowsTheInterfaceLanguage) {
    const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/true);
    EXPECT_EQ(init.invalidLine, -1);
    EXPECT_FALSE(init.translationsFound);
    const char* expected[] = {"Neues Blatt", "New page", "Nouvelle page"};
    for (int lang = LangGerman; lang <= LangFrench; ++lang) {
        SetInterfaceLanguage(lang);
        EXPECT_EQ(InterfaceLanguage(), lang);
        EXPECT_EQ(GetMessage(5077), QString::fromUtf8(expected[lang]));
    }
    SetInterfaceLanguage(1);
    EXPECT_EQ(GetMessage(100), CurrentMessageTable().Text(100, LangEnglish));
    EXPECT_FALSE(GetMessage(100).isEmpty());
    for (int unknown : {0, -5, 109, 1802, 5043, 99999})
        EXPECT_EQ(GetMessage(unknown), QString()) << unknown;

    SetInterfaceLanguage(7);
    EXPECT_EQ(InterfaceLanguage(), LangGerman);
    EXPECT_EQ(GetMessage(5077), QStringLiteral("Neues Blatt"));
}

TEST_F(MessageTableTest, TranslationFileRules) {
    struct Case {
        const char* name;
        const char* file;
        int id;
        const char* text; // in every language; nullptr: the built-in texts stay
    } cases[] = {
        {"fifth field", "5077;Neues Blatt;New page;Nouvelle page;Foglio nuovo", 5077,
         "Foglio nuovo"},
        {"empty language fields", "5077;;;;Text", 5077, nullptr},
        {"empty fifth field", "5077;Neues Blatt;New page;Nouvelle page;", 5077, nullptr},
        {"four fields", "5077;a;b;c", 5077, nullptr},
        {"after a non-numeric ID", "abc;x;y;z;w\n5077;a;b;c;Neu", 5077, nullptr},
        {"empty IDs skipped", ";x;y;z;w\n\n// c\n5077;a;b;c;Neu", 5077, "Neu"},
        {"first line wins", "5077;a;b;c;Erste\r\n5077;a;b;c;Zweite", 5077, "Erste"},
        {"leading zeros", "05077;a;b;c;Neu", 5077, "Neu"},
        {"sixth field dropped", "5077;a;b;c;Neu;Rest", 5077, "Neu"},
        {"line break escape", "5077;a;b;c;Zeile 1\\rZeile 2", 5077, "Zeile 1\rZeile 2"},
        {"update message without its zero", "100;a;b;c;Aktualisierung", 100, "Aktualisierung"},
        {"update message with its zero", "0114;a;b;c;Warten", 114, "Warten"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(TranslationsPath(), QByteArray(c.file))) << c.name;
        const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/true);
        EXPECT_TRUE(init.translationsRead) << c.name;
        EXPECT_EQ(init.translationsMerged, c.text ? 1 : 0) << c.name;
        const TMessageTable builtIn = TMessageTable::BuiltIn();
        for (int lang = LangGerman; lang <= LangFrench; ++lang) {
            SetInterfaceLanguage(lang);
            const QString want = c.text ? QString::fromUtf8(c.text) : builtIn.Text(c.id, lang);
            EXPECT_EQ(GetMessage(c.id), want) << c.name << " language " << lang;
        }
        // Other messages keep their own texts.
        EXPECT_EQ(GetMessage(5078), builtIn.Text(5078, InterfaceLanguage())) << c.name;
    }
}

TEST_F(MessageTableTest, TranslationFileEncodings) {
    const QString line = QStringLiteral("5077;a;b;c;Übersetzung für € – Ω");
    const QString cp1252Line = QStringLiteral("5077;a;b;c;Übersetzung für € und Œ");
    QByteArray utf16be("\xFE\xFF", 2);
    for (QChar ch : line + QStringLiteral("\r\n")) {
        utf16be.append(static_cast<char>(ch.unicode() >> 8));
        utf16be.append(static_cast<char>(ch.unicode() & 0xFF));
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"UTF-16LE with BOM", Utf16Le(line + QStringLiteral("\r\n")), line.section(u';', 4)},
        {"UTF-16BE with BOM", utf16be, line.section(u';', 4)},
        {"UTF-8 with BOM", QByteArray("\xEF\xBB\xBF") + line.toUtf8(), line.section(u';', 4)},
        {"UTF-8 without BOM", line.toUtf8() + "\n", line.section(u';', 4)},
        {"Windows-1252", ToCp1252(cp1252Line) + "\r", cp1252Line.section(u';', 4)},
        {"CR line ends", QByteArray("// c\r5077;a;b;c;Neu\r"), QStringLiteral("Neu")},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(TranslationsPath(), c.bytes)) << c.name;
        InitMessageTable(Dir(), /*isViewer=*/true);
        SetInterfaceLanguage(LangEnglish);
        EXPECT_EQ(GetMessage(5077), c.text) << c.name;
    }
}

TEST_F(MessageTableTest, UnreadableTranslationFileLeavesTheBuiltInTexts) {
    ASSERT_TRUE(QDir().mkpath(TranslationsPath())); // a folder of that name cannot be read
    const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/false);
    EXPECT_TRUE(init.translationsFound);
    EXPECT_FALSE(init.translationsRead);
    EXPECT_TRUE(init.writeAttempted);
    EXPECT_FALSE(init.written);
    SetInterfaceLanguage(LangEnglish);
    EXPECT_EQ(GetMessage(5077), QStringLiteral("New page"));
}

TEST_F(MessageTableTest, WriteFailureIsReportedAndHarmless) {
    ASSERT_TRUE(WriteAll(Dir() + "file", "x"));
    const TMessageTableInit init = InitMessageTable(Dir() + "file/sub/", /*isViewer=*/false);
    EXPECT_TRUE(init.writeAttempted);
    EXPECT_FALSE(init.written);
    EXPECT_EQ(GetMessage(5077), QStringLiteral("Neues Blatt"));
}

TEST_F(MessageTableTest, ViewerDoesNotWriteTheFile) {
    const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/true);
    EXPECT_FALSE(init.writeAttempted);
    EXPECT_FALSE(QFile::exists(TranslationsPath()));
}

TEST_F(MessageTableTest, EditorWritesTheWholeTableAsUtf16) {
    const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/false);
    ASSERT_TRUE(init.written);
    const QByteArray bytes = ReadAll(TranslationsPath());
    const QStringList& lines = CurrentMessageTable().Lines();
    const QString expected = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");

    QString text;
    ASSERT_TRUE(DecodeUtf16LeWithBom(bytes, &text));
    EXPECT_EQ(text, expected);
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));
    int idLines = 0;
    for (const QString& l : text.split(QStringLiteral("\r\n")))
        if (IsMessageLine(l)) ++idLines;
    EXPECT_EQ(idLines, 1090);

    if (HaveTool(QStringLiteral("python3"))) {
        // An independent reader: the byte-order mark, UTF-16LE, CR LF only.
        const QString script =
            QStringLiteral("import sys\n"
                           "b = open(sys.argv[1], 'rb').read()\n"
                           "assert b[:2] == b'\\xff\\xfe', 'no BOM'\n"
                           "t = b[2:].decode('utf-16-le')\n"
                           "assert t.endswith('\\r\\n')\n"
                           "rows = t[:-2].split('\\r\\n')\n"
                           "assert not any('\\r' in r or '\\n' in r for r in rows)\n"
                           "sys.stdout.buffer.write('\\n'.join(rows).encode('utf-8'))\n");
        const ProcessResult r = RunProgram(QStringLiteral("python3"),
                                           {QStringLiteral("-c"), script, TranslationsPath()});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.Out(), lines.join(u'\n'));
    }
}

TEST_F(MessageTableTest, TranslationAddedToTheWrittenFileIsUsedNextStart) {
    ASSERT_TRUE(InitMessageTable(Dir(), /*isViewer=*/false).written);
    QString text;
    ASSERT_TRUE(DecodeUtf16LeWithBom(ReadAll(TranslationsPath()), &text));
    const QString original = QStringLiteral("5077;Neues Blatt;New page;Nouvelle page\r\n");
    ASSERT_TRUE(text.contains(original));
    text.replace(original, QStringLiteral("5077;Neues Blatt;New page;Nouvelle page;Nyt ark\r\n"));
    ASSERT_TRUE(WriteAll(TranslationsPath(), Utf16Le(text, false).prepend("\xFF\xFE")));

    const TMessageTableInit init = InitMessageTable(Dir(), /*isViewer=*/false);
    EXPECT_EQ(init.translationsMerged, 1);
    for (int lang = LangGerman; lang <= LangFrench; ++lang) {
        SetInterfaceLanguage(lang);
        EXPECT_EQ(GetMessage(5077), QStringLiteral("Nyt ark"));
    }
    // The merged table is written back, so the translation survives the next start too.
    QString rewritten;
    ASSERT_TRUE(DecodeUtf16LeWithBom(ReadAll(TranslationsPath()), &rewritten));
    EXPECT_TRUE(rewritten.contains(
        QStringLiteral("\r\n5077;Neues Blatt;New page;Nouvelle page;Nyt ark\r\n")));
    EXPECT_EQ(InitMessageTable(Dir(), /*isViewer=*/false).translationsMerged, 1);
    EXPECT_EQ(GetMessage(5077), QStringLiteral("Nyt ark"));
}

TEST(MessageTableHelpers, BoxButtonsFollowTheInterfaceLanguage) {
    using R = TPromptResult;
    const struct {
        int language;
        const char *yes, *no, *cancel, *retry;
    } cases[] = {
        {LangGerman, "&Ja", "&Nein", "Abbrechen", "&Wiederholen"},
        {LangEnglish, "&Yes", "&No", "Cancel", "&Retry"},
        {LangFrench, "&Oui", "&Non", "Annuler", "&Réessayer"},
    };
    for (const auto& c : cases) {
        SetInterfaceLanguage(c.language);
        EXPECT_EQ(PromptButtonCaption(R::Yes), QString::fromUtf8(c.yes)) << c.language;
        EXPECT_EQ(PromptButtonCaption(R::No), QString::fromUtf8(c.no)) << c.language;
        EXPECT_EQ(PromptButtonCaption(R::Cancel), QString::fromUtf8(c.cancel)) << c.language;
        EXPECT_EQ(PromptButtonCaption(R::Retry), QString::fromUtf8(c.retry)) << c.language;
        EXPECT_EQ(PromptButtonCaption(R::Ok), "OK") << c.language;
    }
    SetInterfaceLanguage(LangGerman);
}

TEST(MessageTableHelpers, StripAccelerator) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"&Datei", "Datei"},
                 {"B&latt", "Blatt"},
                 {"Speichern &unter...", "Speichern unter..."},
                 {"A && B", "A & B"},
                 {"Ende&", "Ende"},
                 {"ohne", "ohne"},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(StripAccelerator(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(MessageTableHelpers, FileTypeFilters) {
    SetInterfaceLanguage(LangGerman);
    EXPECT_EQ(FileTypeFilter(4300), QStringLiteral("Alle Schaltpläne (*.kav*)"));
    EXPECT_EQ(FileTypeFilter(4307), QStringLiteral("JPG-Files (*.jpg)"));
    SetInterfaceLanguage(LangEnglish);
    EXPECT_EQ(FileTypeFilter(4303), QStringLiteral("Schematics (*.kav8 *.kav*)"));
    EXPECT_EQ(FileTypeFilter(5077), QString());
    SetInterfaceLanguage(LangGerman);
}
