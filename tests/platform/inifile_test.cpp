#include "platform/cp1252.h"
#include "platform/inifile.h"
#include "support/processes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray Utf16Le(const QString& text, bool bom = true) {
    QByteArray b = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar c : text) {
        b.append(static_cast<char>(c.unicode() & 0xFF));
        b.append(static_cast<char>(c.unicode() >> 8));
    }
    return b;
}

QByteArray Utf16Be(const QString& text) {
    QByteArray b("\xFE\xFF", 2);
    for (QChar c : text) {
        b.append(static_cast<char>(c.unicode() >> 8));
        b.append(static_cast<char>(c.unicode() & 0xFF));
    }
    return b;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class IniFile : public ::testing::Test {
protected:
    QString Path(const QString& name = QStringLiteral("KAVRO80.INI")) const {
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(IniFile, WritesUtf16LeWithBomCrLfInWriteOrder) {
    TMemIniFile ini(Path());
    EXPECT_FALSE(ini.ReadFailed()); // a missing file is simply empty
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_TRUE(ini.WriteInteger(S("General"), S("Kontrast"), 2));
    EXPECT_TRUE(ini.WriteBool(S("General"), S("Punktraster"), true));
    EXPECT_TRUE(ini.WriteString(S("MRU"), S("MRU0"), S("C:\\Zeichnungen\\Schütz €.kav8")));
    EXPECT_TRUE(ini.WriteBool(S("General"), S("Autospeichern"), false));
    EXPECT_TRUE(ini.WriteInteger(S("Default"), S("FD_FC"), -16777216));
    EXPECT_TRUE(ini.Modified());
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_FALSE(ini.Modified());

    const QString expected = S("[General]\r\nKontrast=2\r\nPunktraster=1\r\nAutospeichern=0\r\n"
                               "\r\n[MRU]\r\nMRU0=C:\\Zeichnungen\\Schütz €.kav8\r\n"
                               "\r\n[Default]\r\nFD_FC=-16777216\r\n");
    EXPECT_EQ(ReadAll(Path()).toHex(), Utf16Le(expected).toHex());

    // Read again and written unchanged: the same bytes.
    TMemIniFile again(Path());
    EXPECT_FALSE(again.DiffersFromFile());
    EXPECT_EQ(again.ReadInteger(S("Default"), S("FD_FC"), 0), -16777216);
    ASSERT_TRUE(again.UpdateFile());
    EXPECT_EQ(ReadAll(Path()), Utf16Le(expected));
}

TEST_F(IniFile, TypedReadsAndDefaults) {
    WriteAll(Path(), Utf16Le(S("[T]\r\n"
                               "dec=42\r\nneg=-7\r\nplus=+3\r\nspaced=  12  \r\n"
                               "hex=$FF\r\nhex0x=0x00FFFF\r\nhexall=$FFFFFFFF\r\n"
                               "max=2147483647\r\nmin=-2147483648\r\nbig=2147483648\r\n"
                               "hugehex=0x100000000\r\nhuge=18446744073709551615\r\n"
                               "hugeneg=-9223372036854775808\r\n"
                               "text=abc\r\nmixed=12abc\r\ninner=1 2\r\nempty=\r\nsign=-\r\n"
                               "t=true\r\nf=FALSE\r\nzero=0\r\ntwo=2\r\n"
                               "str= a = b \r\n")));
    TMemIniFile ini(Path());
    const QString t = S("T");
    struct IntCase {
        const char* key;
        int expected; // with the default 99
    } ints[] = {
        {"dec", 42},     {"neg", -7},         {"plus", 3},
        {"spaced", 12},  {"hex", 255},        {"hex0x", 0xFFFF},
        {"hexall", -1},  {"max", 2147483647}, {"min", -2147483647 - 1},
        {"big", 99},     {"hugehex", 99},     {"huge", 99},
        {"hugeneg", 99}, {"text", 99},        {"mixed", 99},
        {"inner", 99},   {"empty", 99},       {"sign", 99},
        {"missing", 99},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(ini.ReadInteger(t, S(c.key), 99), c.expected) << c.key;

    struct BoolCase {
        const char* key;
        bool def;
        bool expected;
    } bools[] = {
        {"zero", true, false},  {"two", false, true},  {"neg", false, true},
        {"t", false, true},     {"f", true, false},    {"text", true, true},
        {"text", false, false}, {"empty", true, true}, {"missing", true, true},
    };
    for (const BoolCase& c : bools)
        EXPECT_EQ(ini.ReadBool(t, S(c.key), c.def), c.expected) << c.key << " def " << c.def;

    // Strings are taken as they stand after the first "=", spaces and later "=" included.
    EXPECT_EQ(ini.ReadString(t, S("str"), S("x")), S(" a = b "));
    EXPECT_EQ(ini.ReadString(t, S("empty"), S("x")), QString());
    EXPECT_EQ(ini.ReadString(t, S("missing"), S("x")), S("x"));
    EXPECT_EQ(ini.ReadString(S("Nope"), S("dec"), S("x")), S("x"));
    EXPECT_TRUE(ini.ValueExists(t, S("empty")));
    EXPECT_FALSE(ini.ValueExists(t, S("missing")));
    EXPECT_FALSE(ini.ValueExists(S("Nope"), S("dec")));
}

TEST_F(IniFile, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    WriteAll(Path(), Utf16Le(S("[Größe]\r\nBreite=1\r\n  Übergröße  =2\r\nΣίγμα=3\r\n"
                               "[  Spaced Section  ]\r\nk=v\r\n")));
    TMemIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger(S("GRÖSSE"), S("breite"), 0), 0); // ß has no one-letter capital
    EXPECT_EQ(ini.ReadInteger(S("grÖße"), S("BREITE"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(S("größe"), S("übergröße"), 0), 2); // spaces around a key drop
    EXPECT_EQ(ini.ReadInteger(S("GRÖßE"), S("ΣΊΓΜΑ"), 0), 3);
    EXPECT_EQ(ini.ReadString(S("spaced section"), S("K"), QString()), S("v"));
    EXPECT_TRUE(ini.SectionExists(S("GRÖßE")));
    EXPECT_EQ(ini.ReadSections(), QStringList({S("Größe"), S("Spaced Section")}));
    EXPECT_EQ(ini.ReadSection(S("größe")), QStringList({S("Breite"), S("Übergröße"), S("Σίγμα")}));

    // Writing through another spelling changes the existing key, spelled as in the file.
    EXPECT_TRUE(ini.WriteInteger(S("GRÖßE"), S("BREITE"), 5));
    EXPECT_TRUE(ini.WriteInteger(S("GRÖßE"), S("ÜBERGRÖßE"), 6));
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadAll(Path()), Utf16Le(S("[Größe]\r\nBreite=5\r\n  Übergröße  =6\r\nΣίγμα=3\r\n"
                                         "[  Spaced Section  ]\r\nk=v\r\n")));
}

TEST_F(IniFile, ReadsEveryEncodingAndLineEnd) {
    // The same content in every form a settings file may arrive in.
    const QString text = S("; Kommentar\n[General]\nKAV_Verz=/home/ä/€ Zeichnungen\nHöhe=210\n"
                           "\n[Unbekannt]\nschlüssel=Wert ÿ\n");
    auto withEnds = [&](const char* end) {
        QString t = text;
        t.replace(u'\n', QString::fromLatin1(end));
        return t;
    };
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-16LE CRLF", Utf16Le(withEnds("\r\n"))},
        {"UTF-16LE LF", Utf16Le(withEnds("\n"))},
        {"UTF-16BE CRLF", Utf16Be(withEnds("\r\n"))},
        {"UTF-16BE CR", Utf16Be(withEnds("\r"))},
        {"UTF-8 BOM CRLF", QByteArray("\xEF\xBB\xBF") + withEnds("\r\n").toUtf8()},
        {"UTF-8 LF", withEnds("\n").toUtf8()},
        {"UTF-8 CR", withEnds("\r").toUtf8()},
        {"Windows-1252 CRLF", ToCp1252(withEnds("\r\n"))},
        {"Windows-1252 LF", ToCp1252(withEnds("\n"))},
        {"no final line end", withEnds("\r\n").chopped(2).toUtf8()},
    };
    for (const Case& c : cases) {
        WriteAll(Path(), c.bytes);
        TMemIniFile ini(Path());
        EXPECT_EQ(ini.ReadString(S("general"), S("kav_verz"), QString()),
                  S("/home/ä/€ Zeichnungen"))
            << c.name;
        EXPECT_EQ(ini.ReadInteger(S("General"), S("HÖHE"), 0), 210) << c.name;
        EXPECT_EQ(ini.ReadString(S("Unbekannt"), S("Schlüssel"), QString()), S("Wert ÿ")) << c.name;
        EXPECT_EQ(ini.ReadSections(), QStringList({S("General"), S("Unbekannt")})) << c.name;

        // Whatever came in, out goes UTF-16LE CR LF with every line in its place.
        ASSERT_TRUE(ini.UpdateFile()) << c.name;
        EXPECT_EQ(ReadAll(Path()), Utf16Le(withEnds("\r\n"))) << c.name;
    }
}

TEST_F(IniFile, HandEditedFileRoundTripsByteForByte) {
    const QString text = S("; written by hand\r\n"
                           "stray before any section=1\r\n"
                           "\r\n"
                           "[General]\r\n"
                           "Kontrast=3\r\n"
                           "; a comment between keys\r\n"
                           "  Markierung =  4 \r\n"
                           "a line without equals sign\r\n"
                           "Kontrast=duplicate, the first one counts\r\n"
                           "=value without key\r\n"
                           "\t\r\n"
                           "[Zukünftige Erweiterung]\r\n"
                           "Ключ=значение\r\n"
                           "漢字=かな カナ\r\n"
                           "emoji=\U0001F600 \r\n"
                           "\r\n"
                           "\r\n"
                           "[General]\r\n"
                           "Später=second block of a section\r\n");
    WriteAll(Path(), Utf16Le(text));
    TMemIniFile ini(Path());
    EXPECT_FALSE(ini.DiffersFromFile());
    EXPECT_EQ(ini.ReadInteger(S("General"), S("Kontrast"), 0), 3);
    EXPECT_EQ(ini.ReadString(S("General"), S("Markierung"), QString()), S("  4 "));
    EXPECT_EQ(ini.ReadString(S("General"), S("später"), QString()), S("second block of a section"));
    EXPECT_EQ(ini.ReadString(S("ZUKÜNFTIGE ERWEITERUNG"), S("ключ"), QString()), S("значение"));
    EXPECT_EQ(ini.ReadString(S("Zukünftige Erweiterung"), S("emoji"), QString()), S("\U0001F600 "));
    EXPECT_EQ(ini.ReadSections(), QStringList({S("General"), S("Zukünftige Erweiterung")}));
    EXPECT_EQ(ini.ReadSection(S("General")),
              QStringList({S("Kontrast"), S("Markierung"), S("Später")}));

    // Writing the values it already has changes nothing.
    EXPECT_TRUE(ini.WriteInteger(S("General"), S("Kontrast"), 3));
    EXPECT_TRUE(ini.WriteString(S("general"), S("markierung"), S("  4 ")));
    EXPECT_FALSE(ini.Modified());
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadAll(Path()).toHex(), Utf16Le(text).toHex());

    // A changed value rewrites its own line only, keeping the key's spelling and spacing.
    EXPECT_TRUE(ini.WriteInteger(S("GENERAL"), S("markierung"), 5));
    EXPECT_TRUE(ini.WriteString(S("Zukünftige Erweiterung"), S("漢字"), S("")));
    EXPECT_TRUE(ini.Modified());
    EXPECT_TRUE(ini.DiffersFromFile());
    ASSERT_TRUE(ini.UpdateFile());
    QString changed = text;
    changed.replace(S("  Markierung =  4 \r\n"), S("  Markierung =5\r\n"));
    changed.replace(S("漢字=かな カナ\r\n"), S("漢字=\r\n"));
    EXPECT_EQ(ReadAll(Path()), Utf16Le(changed));
}

TEST_F(IniFile, OddUtf16KeepsEveryCodeUnit) {
    // A lone surrogate is not valid text, but a settings file must not be changed by reading.
    QString text = S("[S]\r\nk=x");
    text.append(QChar(0xD800));
    text.append(S("y\r\n"));
    WriteAll(Path(), Utf16Le(text) + QByteArray("\x41", 1)); // and a stray final byte
    TMemIniFile ini(Path());
    EXPECT_EQ(ini.ReadString(S("S"), S("k"), QString()).size(), 3);
    EXPECT_EQ(ini.ToBytes(), Utf16Le(text));
}

TEST_F(IniFile, NewKeysAndSectionsGoWhereAPersonWouldPutThem) {
    WriteAll(Path(), Utf16Le(S("[A]\r\na1=1\r\n; about the next section\r\n\r\n"
                               "[B]\r\n; only a comment\r\n\r\n"
                               "[C]\r\nc1=1")));
    TMemIniFile ini(Path());
    EXPECT_TRUE(ini.WriteString(S("A"), S("a2"), S("2"))); // after the last key
    EXPECT_TRUE(ini.WriteString(S("b"), S("b1"), S("1"))); // before the ending blank line
    EXPECT_TRUE(ini.WriteString(S("C"), S("c2"), S("2")));
    EXPECT_TRUE(ini.WriteString(S("New"), S("n1"), S("1"))); // at the end, after a blank line
    EXPECT_TRUE(ini.WriteString(S("A"), S("a3"), S("3")));
    EXPECT_TRUE(ini.WriteString(S("New"), S("n2"), S("2")));
    EXPECT_EQ(ini.ToBytes(), Utf16Le(S("[A]\r\na1=1\r\na2=2\r\na3=3\r\n; about the next section\r\n"
                                       "\r\n[B]\r\n; only a comment\r\nb1=1\r\n\r\n"
                                       "[C]\r\nc1=1\r\nc2=2\r\n\r\n[New]\r\nn1=1\r\nn2=2\r\n")));
    EXPECT_EQ(ini.ReadSections(), QStringList({S("A"), S("B"), S("C"), S("New")}));
}

TEST_F(IniFile, EraseSectionAndDeleteKey) {
    const QString text =
        S("[General]\r\nWindowX=10\r\n\r\n[MRU]\r\nMRU0=/a.kav8\r\nMRU1=/b.kav8\r\n"
          "\r\n[Hotkeys]\r\nLine=L\r\n");
    WriteAll(Path(), Utf16Le(text));
    TMemIniFile ini(Path());

    ini.EraseSection(S("mru"));
    EXPECT_TRUE(ini.Modified());
    EXPECT_FALSE(ini.SectionExists(S("MRU")));
    EXPECT_FALSE(ini.ValueExists(S("MRU"), S("MRU0")));
    EXPECT_TRUE(ini.ReadSection(S("MRU")).isEmpty());
    EXPECT_EQ(ini.ReadSections(), QStringList({S("General"), S("Hotkeys")}));
    EXPECT_EQ(ini.ToBytes(), Utf16Le(S("[General]\r\nWindowX=10\r\n\r\n[Hotkeys]\r\nLine=L\r\n")));

    // Erased and written again with the same keys: the file is as it was.
    EXPECT_TRUE(ini.WriteString(S("MRU"), S("MRU0"), S("/a.kav8")));
    EXPECT_TRUE(ini.WriteString(S("MRU"), S("MRU1"), S("/b.kav8")));
    EXPECT_FALSE(ini.DiffersFromFile());

    // Erased and written with fewer keys: the section stays in its place.
    ini.EraseSection(S("MRU"));
    EXPECT_TRUE(ini.WriteString(S("MRU"), S("MRU0"), S("/c.kav8")));
    EXPECT_EQ(ini.ToBytes(), Utf16Le(S("[General]\r\nWindowX=10\r\n\r\n[MRU]\r\nMRU0=/c.kav8\r\n"
                                       "\r\n[Hotkeys]\r\nLine=L\r\n")));

    ini.DeleteKey(S("HOTKEYS"), S("line"));
    EXPECT_FALSE(ini.ValueExists(S("Hotkeys"), S("Line")));
    EXPECT_TRUE(ini.SectionExists(S("Hotkeys"))); // the header stays
    ini.DeleteKey(S("Hotkeys"), S("absent"));
    ini.EraseSection(S("absent"));
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadAll(Path()), Utf16Le(S("[General]\r\nWindowX=10\r\n\r\n[MRU]\r\nMRU0=/c.kav8\r\n"
                                         "\r\n[Hotkeys]\r\n")));
}

TEST_F(IniFile, DuplicateKeysAndSectionsActAsOne) {
    WriteAll(Path(), Utf16Le(S("[S]\r\nk=1\r\nK=2\r\n[T]\r\nt=1\r\n[s]\r\nk=3\r\nj=4\r\n")));
    TMemIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger(S("S"), S("k"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(S("S"), S("j"), 0), 4);
    EXPECT_EQ(ini.ReadSection(S("S")), QStringList({S("k"), S("j")}));
    EXPECT_EQ(ini.ReadSections(), QStringList({S("S"), S("T")}));
    ini.DeleteKey(S("S"), S("k"));
    EXPECT_FALSE(ini.ValueExists(S("S"), S("k"))); // every occurrence goes
    ini.EraseSection(S("S"));
    EXPECT_EQ(ini.ToBytes(), Utf16Le(S("[T]\r\nt=1\r\n")));
}

TEST_F(IniFile, WritesThatCouldNotReadBackAreRefused) {
    TMemIniFile ini(Path());
    const char* badKeys[] = {"",         " lead", "trail\t",    "a=b",
                             ";comment", "[sec]", "two\nlines", "cr\r"};
    for (const char* key : badKeys)
        EXPECT_FALSE(ini.WriteString(S("S"), S(key), S("v"))) << key;
    const char* badSections[] = {"", " S", "S ", "a\r\nb"};
    for (const char* section : badSections)
        EXPECT_FALSE(ini.WriteString(S(section), S("k"), S("v"))) << section;
    EXPECT_FALSE(ini.Modified());
    EXPECT_TRUE(ini.ReadSections().isEmpty());

    // A value cannot break out of its line into a section of its own.
    EXPECT_TRUE(ini.WriteString(S("S"), S("k"), S("one\r\n[Evil]\r\nx=1\rtwo\nthree")));
    ASSERT_TRUE(ini.UpdateFile());
    TMemIniFile back(Path());
    EXPECT_EQ(back.ReadSections(), QStringList({S("S")}));
    EXPECT_EQ(back.ReadString(S("S"), S("k"), QString()), S("one [Evil] x=1 two three"));
}

TEST_F(IniFile, FailedWritesLeaveTheOldFile) {
    // Running as root, permissions do not stop a write: fail by the path instead.
    WriteAll(Path(S("plainfile")), QByteArray("x"));
    QDir(m_dir.path()).mkdir(S("folder"));
    struct Case {
        const char* name;
        QString path;
    } cases[] = {
        {"parent is a regular file", Path(S("plainfile/KAVRO80.INI"))},
        {"target is a folder", Path(S("folder"))},
        {"parent missing", Path(S("missing/KAVRO80.INI"))},
        {"no name", QString()},
    };
    for (const Case& c : cases) {
        TMemIniFile ini(c.path);
        EXPECT_TRUE(ini.WriteInteger(S("General"), S("Kontrast"), 1));
        EXPECT_FALSE(ini.UpdateFile()) << c.name;
        EXPECT_TRUE(ini.Modified()) << c.name;
        EXPECT_EQ(ini.ReadInteger(S("General"), S("Kontrast"), 0), 1) << c.name;
    }
    EXPECT_EQ(ReadAll(Path(S("plainfile"))), QByteArray("x"));
    EXPECT_TRUE(QFileInfo(Path(S("folder"))).isDir());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({S("folder"), S("plainfile")}));
}

TEST_F(IniFile, WriteFailingHalfwayKeepsTheOldFile) {
    // A file size limit makes writing fail after some bytes, as a full disk would: once while the
    // data is written, once when the last buffered bytes go out as the file is completed.
    const QByteArray old = Utf16Le(S("[General]\r\nKontrast=3\r\n"));
    for (int keys : {2000, 300}) {
        WriteAll(Path(), old);
        TMemIniFile ini(Path());
        for (int i = 0; i < keys; ++i)
            ini.WriteInteger(S("Big"), QStringLiteral("Key%1").arg(i), i);
        ASSERT_GT(ini.ToBytes().size(), 4096);

        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = ini.UpdateFile();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        EXPECT_FALSE(written) << keys;
        EXPECT_TRUE(ini.Modified()) << keys;
        EXPECT_EQ(ReadAll(Path()), old) << keys;
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({S("KAVRO80.INI")}))
            << keys;                           // no temporary file left behind
        ASSERT_TRUE(ini.UpdateFile()) << keys; // without the limit it goes through
        EXPECT_EQ(
            TMemIniFile(Path()).ReadInteger(S("Big"), QStringLiteral("Key%1").arg(keys - 1), 0),
            keys - 1);
    }
}

TEST_F(IniFile, UnreadableFilesAreReported) {
    QDir(m_dir.path()).mkdir(S("KAVRO80.INI"));
    EXPECT_TRUE(TMemIniFile(Path()).ReadFailed());
    EXPECT_FALSE(TMemIniFile(Path(S("absent.ini"))).ReadFailed());

    QFile big(Path(S("big.ini"))); // sparse: costs no disk space
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(TMemIniFile::MaxFileSize + 1));
    big.close();
    TMemIniFile tooBig(Path(S("big.ini")));
    EXPECT_TRUE(tooBig.ReadFailed());
    EXPECT_TRUE(tooBig.ReadSections().isEmpty());
}

TEST_F(IniFile, PythonConfigParserReadsWhatIsWritten) {
    if (!HaveTool(S("python3"))) GTEST_SKIP() << "python3 not installed";
    TMemIniFile ini(Path());
    ini.WriteString(S("General"), S("KAV_Verz"), S("/home/jürgen/Zeichnungen/"));
    ini.WriteInteger(S("General"), S("WindowW"), 600);
    ini.WriteBool(S("General"), S("WindowMax"), true);
    ini.WriteString(S("Text-Default"), S("Name"), S("Arial"));
    ini.WriteString(S("Zeichen"), S("Prozent"), S("100 % = voll"));
    ini.WriteString(S("Zeichen"), S("Ωmega"), S("€ ÿ \U0001F600"));
    ini.WriteString(S("Zeichen"), S("Empty"), QString());
    ASSERT_TRUE(ini.UpdateFile());

    const QString script = S("import configparser, json, sys\n"
                             "p = configparser.ConfigParser(interpolation=None)\n"
                             "p.optionxform = str\n"
                             "with open(sys.argv[1], encoding='utf-16') as f:\n"
                             "    p.read_file(f)\n"
                             "print(json.dumps({s: dict(p[s]) for s in p.sections()}))\n");
    const ProcessResult r = RunProgram(S("python3"), {S("-c"), script, Path()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject got = QJsonDocument::fromJson(r.out).object();
    const QJsonObject expected = QJsonDocument::fromJson(S(R"({
        "General": {"KAV_Verz": "/home/jürgen/Zeichnungen/", "WindowW": "600", "WindowMax": "1"},
        "Text-Default": {"Name": "Arial"},
        "Zeichen": {"Prozent": "100 % = voll", "Ωmega": "€ ÿ 😀", "Empty": ""}
    })")
                                                             .toUtf8())
                                     .object();
    EXPECT_EQ(got, expected) << r.out.toStdString();
}
