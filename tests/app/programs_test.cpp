// The real programs, started on the offscreen platform; KAVRO_QUIT_AFTER_STARTUP makes them close
// themselves through the ordinary close path once the deferred start-up is done.
#include "app/gui/mainwindow.h"
#include "app_fixture.h"
#include "document/gui/SheetTabs.h"
#include "platform/folders.h"
#include "support/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

class ProgramsTest : public AppTest {
protected:
    ProcessResult Run(const char* program, const QStringList& args = {}) {
        return RunProgramWithEnv(
            program, args,
            {"KAVRO_DATA_DIR=" + Data(), "KAVRO_QUIT_AFTER_STARTUP=1", "QT_QPA_PLATFORM=offscreen"},
            60000);
    }
};

// Every key a first start writes, with its default.
TIniView FirstStartDefaults(const QString& data) {
    const QString docs = DocumentsFolder();
    const QString kav = QFileInfo(docs + "Kavro80").isDir() ? docs + "Kavro80/" : docs;
    TIniView v;
    auto& g = v["General"];
    g = {{"Kontrast", "2"},
         {"Markierung", "2"},
         {"Punktraster", "1"},
         {"AutospeichernMin", "300000"},
         {"Autospeichern", "0"},
         {"CircleZentriert", "1"},
         {"RectZentriert", "0"},
         {"KAV_Verz_Vorgabe", ""},
         {"Export_Verz_Vorgabe", ""},
         {"Formblatt_Verz_Vorgabe", data + "Forms/"},
         {"BiboBackupDir", data},
         {"KAV_Verz", kav},
         {"Export_Verz", docs},
         {"Formblatt_Verz", data + "Forms/"},
         {"Bitmap_Verz", docs},
         {"Vorlagen_Verz", data + "Templates/"},
         {"DrehWinkelFang", "150"},
         {"RasterFang", "1"},
         {"Gummiband", "0"},
         {"AnschlussFang", "1"},
         {"WinkelFang", "1"},
         {"TexteDrehen", "1"},
         {"TexteSpiegeln", "1"},
         {"TextAntiAliasing", "1"},
         {"AlteDialoge", "0"},
         {"MoveBezWertmitALT", "0"},
         {"GridOverBK", "1"},
         {"BKWhite", "0"},
         {"UseD2D", "1"},
         {"Dateiinfo", "0"},
         {"BMPZLib", "1"},
         {"DateiBackup", "1"},
         {"GDIPoints", "0"},
         {"UserScalingAuto", "1"},
         {"UserScalingPPI", "96"},
         {"BitmapScaling", "1"},
         {"ShowParentChild", "0"},
         {"WindowX", "10"},
         {"WindowY", "10"},
         {"WindowW", "600"},
         {"WindowH", "400"},
         {"WindowMax", "1"}};
    v["Blatt-Default"] = {{"Breite", "297"}, {"Hoehe", "210"}, {"Raster", "10"}, {"Formblatt", ""}};
    v["Hotkeys"] = {{"Line", "L"},      {"Rect", "R"},    {"Point", "P"},    {"Circle", "K"},
                    {"Polygon", "O"},   {"Bezier", "U"},  {"Freihand", "H"}, {"Special", "S"},
                    {"Dimension", "B"}, {"Text", "T"},    {"Bitmap", "F"},   {"TextRect", "E"},
                    {"Zoom", "Z"},      {"Measure", "M"}, {"Contact", "-"}};
    auto& d = v["Default"];
    for (const char* prefix : {"LD_", "FREI_LD_", "BEZ_LD_"}) {
        const QString p = prefix;
        const QMap<QString, QString> line = {
            {"C1", "0"},       {"C2", "255"},           {"Breite", "2"},
            {"Stil", "0"},     {"Zweifarbig", "0"},     {"StartStyle", "0"},
            {"EndStyle", "0"}, {"PfeilGroesse", "2"},   {"Inner", "0"},
            {"Quer", "0"},     {"InnerColor", "65535"}, {"QuerColor", "16711680"}};
        for (auto it = line.begin(); it != line.end(); ++it)
            d[p + it.key()] = it.value();
    }
    const QMap<QString, QString> shape = {{"FD_LC", "0"},
                                          {"FD_FC", "16777215"},
                                          {"FD_Breite", "2"},
                                          {"FD_Stil", "0"},
                                          {"FD_Penstyle", "0"},
                                          {"FD_Zweifarbig", "0"},
                                          {"FD_PenColor2", "255"},
                                          {"FD_NoLine", "0"},
                                          {"FD_NoFill", "1"},
                                          {"FD_Inner", "0"},
                                          {"FD_Quer", "0"},
                                          {"FD_InnerColor", "65535"},
                                          {"FD_QuerColor", "16711680"},
                                          {"FD_FillWidth", "1"},
                                          {"FD_FillDistance", "20"},
                                          {"LP_PWIDTH", "2"},
                                          {"LP_PCOLOR", "3"},
                                          {"LP_PStyle", "12"},
                                          {"LP_BCOLOR", "0"}};
    for (auto it = shape.begin(); it != shape.end(); ++it)
        d[it.key()] = it.value();
    const char* texts[] = {"Text-Default", "TextRect-Default", "TextKontakt-Default",
                           "TextWert-Default", "TextBez-Default"};
    const char* heights[] = {"40", "40", "18", "24", "24"};
    for (int i = 0; i < 5; ++i)
        v[texts[i]] = {{"Name", "Arial"}, {"Height", heights[i]},
                       {"Bold", "0"},     {"Italic", "0"},
                       {"Color", "0"},    {"Ausrichtung", "0"},
                       {"TextFill", "0"}, {"TextFillColor", "16777215"}};
    v["Bemassung"] = {
        {"Pfeilwinkel", "15"},   {"Pfeillaenge", "28"},         {"NK", "10"},
        {"Dezimalpunkt", "1"},   {"Col_Hilfslinie", "8421504"}, {"Col_Masslinie", "8421504"},
        {"Col_Text", "8421504"}, {"Fontname", "ARIAL"},         {"Fonthoehe", "32"},
        {"Font_Bold", "0"},      {"Font_Italic", "0"}};
    v["BIBO"] = {{"BiboDir", data + "BIBO/"},
                 {"AktLibFile", ""},
                 {"BiboW", "190"},
                 {"BiboSpalten", "2"},
                 {"BiboText", "0"}};
    v["Search"] = {{"PageIndex", "1"},
                   {"CaseSensitive", "0"},
                   {"Variable", "1"},
                   {"AllPages", "1"},
                   {"ComplistOnly", "0"}};
    // One entry per category of the properties panel, none folded.
    v["Prop-Panel-Collapsed"] = {{"CP_Blatt", "0"}, {"CP_Massstab", "0"}, {"CP_Formblatt", "0"}};
    auto& p = v["Panels"];
    p = {{"Eigenschaften_Width", "330"},
         {"Suche_Width", "230"},
         {"Pages_Width", "160"},
         {"Eigenschaften_Visible", "1"},
         {"Suchen_Visible", "0"},
         {"Pages_Visible", "0"},
         {"Eigenschaften_FreeDlg_Visible", "0"},
         {"Suchen_FreeDlg_Visible", "0"},
         {"Pages_FreeDlg_Visible", "0"}};
    for (const char* panel : {"Eigenschaften", "Suchen", "Pages"}) {
        const QString n = panel;
        p[n + "_X"] = "10";
        p[n + "_Y"] = "10";
        p[n + "_W"] = "360";
        p[n + "_H"] = "600";
    }
    v["ChildList"] = {{"R0", "2"},        {"R1", "3"},           {"R2", "7"},
                      {"R3", "8"},        {"FontName", "ARIAL"}, {"FontSize", "18"},
                      {"Frame", "1"},     {"Shadow", "0"},       {"Lines", "1"},
                      {"Alternate", "1"}, {"ColCharNum", "1"},   {"RowCharNum", "0"},
                      {"Slash", "1"}};
    return v;
}

const char* Editor = KAVRO_EDITOR_PATH;
const char* Viewer = KAVRO_VIEWER_PATH;

} // namespace

TEST_F(ProgramsTest, FirstStartWritesEveryDefault) {
    if (!HavePython()) GTEST_SKIP() << "python3 missing";
    ASSERT_FALSE(QFileInfo::exists(Data()));
    const ProcessResult r = Run(Editor);
    ASSERT_EQ(r.code, 0) << r.Err().toStdString();
    const TIniView read = ReadWithConfigParser(MainIni());
    const TIniView expected = FirstStartDefaults(Data());
    for (auto s = expected.begin(); s != expected.end(); ++s) {
        ASSERT_TRUE(read.contains(s.key())) << s.key().toStdString();
        for (auto k = s.value().begin(); k != s.value().end(); ++k)
            EXPECT_EQ(read[s.key()].value(k.key(), "<missing>"), k.value())
                << s.key().toStdString() << " " << k.key().toStdString();
        EXPECT_EQ(read[s.key()].size(), s.value().size()) << s.key().toStdString();
    }
    // Nothing else: the other sections have no entries on a first start.
    for (const QString& section : read.keys())
        EXPECT_TRUE(expected.contains(section)) << section.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Data() + "Translations.txt"));
    EXPECT_FALSE(QFileInfo::exists(ViewerIni()));
}

TEST_F(ProgramsTest, UnknownSectionSurvivesByteForByte) {
    const QString unknown =
        "[Fremd Sektion]\n; hand-written note\nSchlüssel = Wert mit  Leerzeichen\n"
        "zweiter=2\n\n";
    WriteSettingsFile(MainIni(), "[General]\nKontrast=1\n\n" + unknown + "[Hotkeys]\nZoom=Q\n");
    QByteArray section = ReadBytes(MainIni());
    section = section.mid(section.indexOf(QByteArray("[\0F", 3)));
    section = section.left(section.indexOf(QByteArray("[\0H", 3)));
    ASSERT_GT(section.size(), 40);

    ASSERT_EQ(Run(Editor).code, 0);
    const QByteArray after = ReadBytes(MainIni());
    EXPECT_TRUE(after.contains(section));
    if (HavePython()) {
        const TIniView read = ReadWithConfigParser(MainIni());
        EXPECT_EQ(read["General"]["Kontrast"], "1");
        EXPECT_EQ(read["Hotkeys"]["Zoom"], "Q");
        EXPECT_EQ(read["Hotkeys"]["Line"], "L");
    }
}

TEST_F(ProgramsTest, FileWithoutTextPresetHeightsIsLeftAlone) {
    WriteSettingsFile(MainIni(),
                      "[General]\nKontrast=3\n[TextWert-Default]\nHeight=0\n[Stray]\na=b\n");
    const QByteArray before = ReadBytes(MainIni());
    ASSERT_EQ(Run(Editor).code, 0);
    EXPECT_EQ(ReadBytes(MainIni()), before);
}

TEST_F(ProgramsTest, NoD2DStaysOffForLaterStarts) {
    ASSERT_EQ(Run(Editor, {"/nod2d"}).code, 0);
    ASSERT_EQ(Run(Editor).code, 0);
    const QByteArray bytes = ReadBytes(MainIni());
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_TRUE(text.contains("UseD2D=0\r\n"));
}

TEST_F(ProgramsTest, CommandLineDocumentEntersTheRecentFiles) {
    const QString file = Scratch() + "Plan mit Leerzeichen.kav8";
    const ProcessResult made = RunCli({"demo", file});
    ASSERT_EQ(made.code, 0) << made.Err().toStdString();
    ASSERT_EQ(Run(Editor, {"/NOD2D", Scratch() + "Plan", "mit", "Leerzeichen.kav8"}).code, 0);
    if (!HavePython()) return;
    const TIniView read = ReadWithConfigParser(MainIni());
    EXPECT_EQ(read["MRU"], (QMap<QString, QString>{{"MRU0", file}}));
    EXPECT_EQ(read["General"]["UseD2D"], "0");
}

TEST_F(ProgramsTest, ViewerKeepsItsOwnFile) {
    WriteSettingsFile(ViewerIni(), "[General]\nSprache=0\n[MRU]\nMRU0=/tmp/viewed.kav8\n");
    ASSERT_EQ(Run(Viewer).code, 0);
    EXPECT_FALSE(QFileInfo::exists(MainIni()));

    WriteSettingsFile(MainIni(), "[General]\nKontrast=1\n[MRU]\nMRU0=/tmp/edited.kav8\n");
    const QByteArray before = ReadBytes(MainIni());
    ASSERT_EQ(Run(Viewer).code, 0);
    EXPECT_EQ(ReadBytes(MainIni()), before);
    if (HavePython()) {
        const TIniView read = ReadWithConfigParser(ViewerIni());
        EXPECT_EQ(read["MRU"], (QMap<QString, QString>{{"MRU0", "/tmp/viewed.kav8"}}));
        EXPECT_EQ(read["General"]["Sprache"], "0");
        EXPECT_EQ(read["General"]["WindowMax"], "1");
        EXPECT_EQ(read["General"]["WindowW"], "600");
        EXPECT_FALSE(read.contains("Hotkeys"));
    }

    // A document the viewer opens enters the viewer's recent files, not the editor's.
    const QString shown = Scratch() + "shown.kav8";
    ASSERT_EQ(RunCli({"demo", shown}).code, 0);
    ASSERT_EQ(Run(Viewer, {shown}).code, 0);
    EXPECT_EQ(ReadBytes(MainIni()), before);
    if (HavePython())
        EXPECT_EQ(ReadWithConfigParser(ViewerIni())["MRU"],
                  (QMap<QString, QString>{{"MRU0", shown}, {"MRU1", "/tmp/viewed.kav8"}}));
}

TEST_F(ProgramsTest, EditorOffersEveryMessageForTranslationAndUsesTheTranslation) {
    if (!HavePython()) GTEST_SKIP() << "python3 missing";
    const QString file = Data() + "Translations.txt";
    ASSERT_EQ(Run(Editor).code, 0);

    // Read independently: the byte-order mark, UTF-16LE, CR LF after every line; the message
    // lines with their IDs and whether each has three language texts.
    static const char* script = R"(
import json, re, sys
b = open(sys.argv[1], 'rb').read()
assert b[:2] == b'\xff\xfe', 'no byte-order mark'
t = b[2:].decode('utf-16-le')
assert t.endswith('\r\n'), 'last line not ended'
lines = t[:-2].split('\r\n')
assert not any('\r' in l or '\n' in l for l in lines), 'a lone CR or LF'
messages = []
for l in lines:
    f = l.split(';', 3)
    if re.fullmatch(r'[0-9]{1,10}', f[0]):
        messages.append([f[0], len(f) == 4 and all(x != '' for x in f[1:])])
print(json.dumps({'lines': lines, 'messages': messages}))
)";
    auto read = [&] {
        const ProcessResult r = RunProgram("python3", {"-c", script, file});
        EXPECT_EQ(r.code, 0) << r.Err().toStdString();
        return QJsonDocument::fromJson(r.out).object();
    };
    const QJsonObject first = read();
    const QJsonArray messages = first.value("messages").toArray();
    EXPECT_EQ(messages.size(), 1090);
    for (const QJsonValue& m : messages)
        EXPECT_TRUE(m.toArray()[1].toBool()) << m.toArray()[0].toString().toStdString();
    // Every line of the built-in table, comments and empty lines included, in its order.
    QStringList lines;
    for (const QJsonValue& l : first.value("lines").toArray())
        lines << l.toString();
    ASSERT_EQ(lines, TMessageTable::BuiltIn().Lines());

    // A translator's fifth field on 5077: the next start keeps it in the rewritten file ...
    const QString original = "5077;Neues Blatt;New page;Nouvelle page";
    const int at = int(lines.indexOf(original));
    ASSERT_GE(at, 0);
    lines[at] = original + ";Nyt ark";
    WriteSettingsFile(file, lines.join('\n') + '\n');
    WriteSettingsFile(Data() + "SPRACHE.INI", "[Sprache]\nSprache=1\n");
    ASSERT_EQ(Run(Editor).code, 0);
    QStringList rewritten;
    for (const QJsonValue& l : read().value("lines").toArray())
        rewritten << l.toString();
    EXPECT_EQ(rewritten, lines);

    // ... and it is the text of 5077 in every language: the name of the first sheet.
    for (int language : {0, 1, 2}) {
        WriteSettingsFile(Data() + "SPRACHE.INI", QString("[Sprache]\nSprache=%1\n").arg(language));
        TForm1 form;
        form.show();
        form.SplashTimerTimer();
        ASSERT_EQ(form.Document->SheetCount(), 1);
        EXPECT_EQ(form.Document->Sheet(0).SheetName, "Nyt ark") << language;
        EXPECT_EQ(form.Panel_Tabs->TabSet->Tab(0).Text, form.Document->TabText(0));
        EXPECT_TRUE(form.Panel_Tabs->TabSet->Tab(0).Text.contains("Nyt ark")) << language;
        form.close();
    }

    // The viewer neither writes the file nor changes it.
    WriteSettingsFile(ViewerIni(), "[General]\nSprache=1\n"); // no first-start language choice
    const QByteArray before = ReadBytes(file);
    ASSERT_EQ(Run(Viewer).code, 0);
    EXPECT_EQ(ReadBytes(file), before);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_EQ(Run(Viewer).code, 0);
    EXPECT_FALSE(QFileInfo::exists(file));
}
