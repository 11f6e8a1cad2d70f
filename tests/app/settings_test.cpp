#include "app/settings.h"
#include "elements/textsettings.h"
#include "elements/Bemassung.h"
#include "app_fixture.h"
#include "document/document.h"
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/lpunkt.h"
#include "elements/shape.h"
#include "platform/inifile.h"

#include <QDir>

namespace {

TSettingsContext Context(const QString& data, const QString& docs, int language = 0) {
    return {data, docs, language, false};
}

// A set of settings structs of its own, apart from the running program's.
struct TLocal {
    TAppSettings App;
    TDocumentSettings Document;
    TRenderSettings Renderer;
    TBitmapSettings Bitmap;
    TLineStyle PolyLine, Freehand, Bezier;
    TShapeStyle Shape;
    TJunctionStyle Junction;
    TTextSettings Texts;
    TDimensionStyle Dimension;
    TSettingsTargets Targets() {
        return {App,    Document, Renderer, Bitmap, PolyLine, Freehand,
                Bezier, Shape,    Junction, Texts,  Dimension};
    }
};

// Reads a settings text the way the start-up does.
TLocal ReadAll(const QString& text, const TSettingsContext& ctx) {
    TMemIniFile ini(QString{});
    ini.LoadFromBytes(text.toUtf8());
    TLocal l;
    ReadSettings(ini, l.Targets(), ctx);
    ReadDeferredSettings(ini, l.App, ctx.Viewer);
    return l;
}
TAppSettings ReadText(const QString& text, const TSettingsContext& ctx) {
    return ReadAll(text, ctx).App;
}
bool Write(TMemIniFile& ini, const TAppSettings& app) {
    TLocal l;
    l.App = app;
    return WriteSettings(ini, l.Targets());
}
bool Write(TMemIniFile& ini, TLocal& l) {
    return WriteSettings(ini, l.Targets());
}

} // namespace

class SettingsTest : public AppTest {};

TEST_F(SettingsTest, RecentFilesKeepTheirOrderAndHoldEight) {
    QString text = "[MRU]\n";
    for (int i = 0; i < 8; ++i)
        text += QString("MRU%1=/docs/plan%1.kav8\n").arg(i);
    TDocument doc;
    TLocal l = ReadAll(text, Context(Data(), Scratch()));
    doc.Settings = l.Document;
    const QStringList& list = doc.Settings.RecentFiles;
    ASSERT_EQ(list.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(list[i], QString("/docs/plan%1.kav8").arg(i));

    doc.AddRecentFile("/docs/ninth.kav8");
    ASSERT_EQ(list.size(), 8);
    EXPECT_EQ(list.first(), "/docs/ninth.kav8");
    EXPECT_EQ(list.last(), "/docs/plan6.kav8"); // the oldest dropped out
    // Opening a listed file moves it to the front instead of listing it twice.
    doc.AddRecentFile("/docs/plan3.kav8");
    EXPECT_EQ(list.first(), "/docs/plan3.kav8");
    EXPECT_EQ(list.count("/docs/plan3.kav8"), 1);

    TMemIniFile out(QString{});
    out.WriteString("MRU", "MRU7", "/stale.kav8");
    out.WriteString("MRU", "MRU8", "/stale.kav8");
    l.Document = doc.Settings;
    ASSERT_TRUE(Write(out, l));
    EXPECT_EQ(out.ReadSection("MRU").size(), 8);
    EXPECT_EQ(out.ReadString("MRU", "MRU0", {}), "/docs/plan3.kav8");
    EXPECT_EQ(out.ReadString("MRU", "MRU1", {}), "/docs/ninth.kav8");
    EXPECT_EQ(out.ReadString("MRU", "MRU7", {}), "/docs/plan6.kav8");
}

TEST_F(SettingsTest, RecentFilesWithGaps) {
    TMemIniFile ini(QString{});
    ini.LoadFromBytes("[MRU]\nMRU5=/b.kav8\nMRU2=/a.kav8\nMRU9=/ignored.kav8\nMRU1=\n");
    QStringList list;
    ReadRecentFiles(ini, list);
    EXPECT_EQ(list, QStringList({"/a.kav8", "/b.kav8"}));
    // The viewer does not take the editor's list.
    TSettingsContext viewer = Context(Data(), Scratch());
    viewer.Viewer = true;
    EXPECT_TRUE(ReadAll("[MRU]\nMRU0=/a.kav8\n", viewer).Document.RecentFiles.isEmpty());
}

TEST_F(SettingsTest, RecentFileMenuTextsAreShortened) {
    const struct {
        const char* File;
        const char* Shown;
    } cases[] = {
        {"/docs/plan.kav8", "/docs/plan.kav8"},
        {"/home/user/projects/2024/a.kav8", "/home/user/projects/.../a.kav8"},
        {"/x/a_very_long_document_name_here.kav8", "...ong_document_name_here.kav8"},
    };
    for (const auto& c : cases) {
        const QString shown = ShortenRecentFile(c.File);
        EXPECT_EQ(shown, c.Shown) << c.File;
        EXPECT_LE(shown.size(), 30) << c.File;
    }
}

TEST_F(SettingsTest, WorkingFoldersStartFromPresetsElseRememberedValues) {
    const QString docs = Scratch() + "Documents/";
    const QString preset = Scratch() + "Preset/";
    QDir().mkpath(preset);
    QDir().mkpath(docs);
    const QString data = Data();
    const struct {
        const char* Name;
        QString Text;
        QString Kav, Export, Formblatt;
    } cases[] = {
        {"first start", "", docs, docs, data + "Forms/"},
        {"preset wins over the last used folder",
         "[General]\nKAV_Verz_Vorgabe=" + preset + "\nKAV_Verz=/last/\nExport_Verz=/exp/\n", preset,
         "/exp/", data + "Forms/"},
        {"empty presets remember",
         "[General]\nKAV_Verz_Vorgabe=\nKAV_Verz=/last/\nFormblatt_Verz_Vorgabe=\n"
         "Formblatt_Verz=/forms/\n",
         "/last/", docs, "/forms/"},
    };
    for (const auto& c : cases) {
        const TLocal l = ReadAll(c.Text, Context(data, docs));
        EXPECT_EQ(l.Document.DocumentFolder, c.Kav) << c.Name;
        EXPECT_EQ(l.App.Folders.Export, c.Export) << c.Name;
        EXPECT_EQ(l.Document.FormSheetFolder, c.Formblatt) << c.Name;
        EXPECT_EQ(l.Document.TemplateFolder, data + "Templates/") << c.Name;
    }
    // The documents folder's own "Kavro80" folder is the default drawings folder when it exists.
    QDir().mkpath(docs + "Kavro80");
    EXPECT_EQ(ReadAll("", Context(data, docs)).Document.DocumentFolder, docs + "Kavro80/");

    // Presets and working folders are both written back.
    TLocal l = ReadAll("[General]\nKAV_Verz_Vorgabe=" + preset + "\n", Context(data, docs));
    l.Document.DocumentFolder = "/used/during/run/";
    TMemIniFile out(QString{});
    ASSERT_TRUE(Write(out, l));
    EXPECT_EQ(out.ReadString("General", "KAV_Verz_Vorgabe", {}), preset);
    EXPECT_EQ(out.ReadString("General", "KAV_Verz", {}), "/used/during/run/");
}

TEST_F(SettingsTest, ValuesOutOfRangeAreMended) {
    const struct {
        const char* Text;
        int Interval;
        int PropertiesWidth, SearchWidth;
        int Columns;
    } cases[] = {
        {"", 300000, 330, 230, 2},
        {"[General]\nAutospeichernMin=0\n[Panels]\nEigenschaften_Width=5\nSuche_Width=5000\n",
         300000, 20, 800, 2},
        {"[General]\nAutospeichernMin=-60000\n[BIBO]\nBiboSpalten=0\n", 300000, 330, 230, 1},
        {"[General]\nAutospeichernMin=120000\n[Panels]\nEigenschaften_Width=800\n"
         "[BIBO]\nBiboSpalten=99\n",
         120000, 800, 230, 10},
    };
    for (const auto& c : cases) {
        const TAppSettings s = ReadText(c.Text, Context(Data(), Scratch()));
        EXPECT_EQ(s.Autosave.IntervalMs, c.Interval) << c.Text;
        EXPECT_EQ(s.Panels.Eigenschaften.Width, c.PropertiesWidth) << c.Text;
        EXPECT_EQ(s.Panels.Suchen.Width, c.SearchWidth) << c.Text;
        EXPECT_EQ(s.Library.BiboSpalten, c.Columns) << c.Text;
    }
}

TEST_F(SettingsTest, HotkeyDefaultsFollowTheInterfaceLanguage) {
    const char* german = "LRPKOUHSBTFEZM-";
    const char* other = "LRPCOUHSDTFEZM-";
    for (int language : {0, 1, 2}) {
        const TAppSettings s = ReadText("", Context(Data(), Scratch(), language));
        for (int i = 0; i < hkCount; ++i)
            EXPECT_EQ(s.Hotkeys[i], QString(QChar((language == 0 ? german : other)[i])))
                << "language " << language << " key " << HotkeyInfo(THotkeyTool(i)).Key;
    }
    // Stored keys win, an empty one means no hotkey.
    const TAppSettings s = ReadText("[Hotkeys]\nCircle=Q\nZoom=\n", Context(Data(), Scratch(), 1));
    EXPECT_EQ(s.Hotkeys[hkCircle], "Q");
    EXPECT_EQ(s.Hotkeys[hkZoom], "");
}

TEST_F(SettingsTest, DimensionPresetBeforeAndAfterReading) {
    const TDimensionStyle builtIn;
    EXPECT_EQ(builtIn.ArrowLength, 30);
    EXPECT_EQ(builtIn.FontName, "Arial");
    const TDimensionStyle read =
        ReadAll("[Bemassung]\nNK=2\nCol_Text=255\n", Context(Data(), Scratch())).Dimension;
    EXPECT_EQ(read.ArrowLength, 28);
    EXPECT_EQ(read.FontName, "ARIAL");
    EXPECT_EQ(read.Precision, 2);
    EXPECT_EQ(read.TextColor, 255);
}

TEST_F(SettingsTest, OwnedSectionsFollowTheirRules) {
    const TAppSettings none = ReadText("", Context(Data(), Scratch()));
    EXPECT_EQ(none.ChildList.Columns, QList<int>({2, 3, 7, 8}));
    EXPECT_TRUE(none.LastUsedUniCode.isEmpty());

    const TAppSettings s = ReadText("[ChildList]\nR0=5\nR1=1\nR3=4\nFontSize=24\n"
                                    "[LastUsedUniCode]\n1=937\n2=8364\n3=0\n4=65\n"
                                    "[Prop-Panel-Collapsed]\nCat_Linie=1\nCat_Text=0\n"
                                    "[SList]\nFont=Arial\nSize=8\n",
                                    Context(Data(), Scratch()));
    EXPECT_EQ(s.ChildList.Columns, QList<int>({5, 1})); // read until a key is missing
    EXPECT_EQ(s.ChildList.FontSize, 24);
    EXPECT_EQ(s.LastUsedUniCode, QList<int>({937, 8364})); // stops at the first zero
    ASSERT_EQ(s.PropPanelCollapsed.size(), 2u);
    EXPECT_EQ(s.PropPanelCollapsed[0], std::make_pair(QString("Cat_Linie"), true));

    TMemIniFile out(QString{});
    out.LoadFromBytes("[LastUsedUniCode]\n7=99\n[ChildList]\nR5=3\n");
    ASSERT_TRUE(Write(out, s));
    EXPECT_EQ(out.ReadSection("LastUsedUniCode"), QStringList({"1", "2"}));
    EXPECT_FALSE(out.ValueExists("ChildList", "R5"));
    EXPECT_EQ(out.ReadInteger("ChildList", "R1", 0), 1);
    EXPECT_EQ(out.ReadString("SList", "Size", {}), "8");
    EXPECT_TRUE(out.ReadBool("Prop-Panel-Collapsed", "Cat_Linie", false));
}

TEST_F(SettingsTest, NothingIsWrittenUnlessEveryTextPresetHasAHeight) {
    for (int kind = 0; kind < tpCount; ++kind) {
        const QString text =
            QString("[%1]\nHeight=0\n").arg(TextPresetSection(TTextPresetKind(kind)));
        TMemIniFile ini(QString{});
        ini.LoadFromBytes(text.toUtf8());
        const QByteArray before = ini.ToBytes();
        TLocal l;
        ReadSettings(ini, l.Targets(), Context(Data(), Scratch()));
        EXPECT_FALSE(SettingsWritable(l.Texts)) << text.toStdString();
        EXPECT_TRUE(WriteSettings(ini, l.Targets()));
        EXPECT_FALSE(ini.Modified()) << text.toStdString();
        EXPECT_EQ(ini.ToBytes(), before);
    }
}

TEST_F(SettingsTest, DeferredSectionsKeepTheirValuesWhenTheyWereNeverRead) {
    TMemIniFile ini(QString{});
    ini.LoadFromBytes("[Panels]\nEigenschaften_Width=444\n[Search]\nPageIndex=0\n"
                      "[LastUsedUniCode]\n1=65\n");
    TLocal l;
    ReadSettings(ini, l.Targets(), Context(Data(), Scratch()));
    ASSERT_TRUE(WriteSettings(ini, l.Targets()));
    EXPECT_EQ(ini.ReadInteger("Panels", "Eigenschaften_Width", 0), 444);
    EXPECT_EQ(ini.ReadInteger("Search", "PageIndex", 1), 0);
    EXPECT_EQ(ini.ReadInteger("LastUsedUniCode", "1", 0), 65);
}

TEST_F(SettingsTest, WriterRefusalStopsWithFalse) {
    TAppSettings s;
    s.DeferredSectionsRead = true;
    s.PropPanelCollapsed.emplace_back(" padded", true); // a key that would not read back
    TMemIniFile ini(QString{});
    EXPECT_FALSE(Write(ini, s));
    // What came before the refused key is in the object, what follows is not.
    EXPECT_TRUE(ini.ValueExists("Panels", "Pages_H"));
    EXPECT_FALSE(ini.SectionExists("Hotkeys"));
}

TEST_F(SettingsTest, TextSwitchesAndPresetsGoToTheTextSettings) {
    TLocal l = ReadAll("[General]\nTexteDrehen=0\n[TextBez-Default]\nName=Liberation Serif\n"
                       "Ausrichtung=7\n[TextRect-Default]\nTextFillColor=$00FF00\nName=\n"
                       "[TextWert-Default]\nItalic=1\n",
                       Context(Data(), Scratch()));
    EXPECT_FALSE(l.Texts.TexteDrehen);
    EXPECT_TRUE(l.Texts.TexteSpiegeln);
    EXPECT_EQ(l.Texts.TextBez.Name, "Liberation Serif");
    EXPECT_EQ(l.Texts.TextBez.Ausrichtung, 0) << "out of range falls back to the default";
    EXPECT_EQ(l.Texts.TextRect.TextFillColor, 0x00FF00);
    EXPECT_EQ(l.Texts.TextRect.Name, "Arial") << "an empty font name keeps the default";
    EXPECT_TRUE(l.Texts.TextWert.Italic);
    EXPECT_EQ(l.Texts.TextKontakt.Height, 18);
    EXPECT_EQ(l.Texts.TextBez.Height, 24);

    TMemIniFile out(QString{});
    ASSERT_TRUE(WriteSettings(out, l.Targets()));
    EXPECT_EQ(out.ReadString("General", "TexteDrehen", {}), "0");
    EXPECT_EQ(out.ReadString("TextWert-Default", "Italic", {}), "1");
    EXPECT_EQ(out.ReadString("TextBez-Default", "Name", {}), "Liberation Serif");
}

TEST_F(SettingsTest, OwnedKeysGoToTheirFeaturesStructs) {
    TLocal l =
        ReadAll("[General]\nUseD2D=0\nGDIPoints=1\nTextAntiAliasing=0\nBMPZLib=0\nDateiinfo=1\n"
                "DateiBackup=0\n[Default]\nLD_Breite=7\nFREI_LD_C1=255\nBEZ_LD_Stil=3\n"
                "BEZ_LD_EndStyle=300\nFD_NoFill=0\nFD_Stil=5\nLP_PStyle=-4\n"
                "[Blatt-Default]\nBreite=420\nFormblatt=/f.sbk\n",
                Context(Data(), Scratch()));
    EXPECT_FALSE(l.Renderer.UseD2D);
    EXPECT_TRUE(l.Renderer.GDIPoints);
    EXPECT_FALSE(l.Renderer.TextAntiAliasing);
    EXPECT_EQ(l.PolyLine.LineWidth, 7);
    EXPECT_EQ(l.Freehand.LineColor, 255);
    EXPECT_EQ(l.Bezier.PenStyle, 3);
    EXPECT_EQ(l.Bezier.FinishEnd, 255); // byte fields take what fits
    EXPECT_FALSE(l.Shape.NoFill);
    EXPECT_EQ(l.Shape.FillStyle, 5);
    EXPECT_EQ(l.Junction.PenStyle, 0);
    EXPECT_EQ(l.Document.NewSheetWidth, 420);
    EXPECT_EQ(l.Document.NewSheetHeight, 210);
    EXPECT_EQ(l.Document.DefaultFormSheet, "/f.sbk");
    EXPECT_FALSE(l.Bitmap.BMPZLib);
    EXPECT_TRUE(l.Document.KeepFileInfo);
    EXPECT_FALSE(l.Document.BackupOnOpen);

    TMemIniFile out(QString{});
    l.Texts = TTextSettings();
    ASSERT_TRUE(WriteSettings(out, l.Targets()));
    EXPECT_EQ(out.ReadInteger("Default", "LD_Breite", 0), 7);
    EXPECT_EQ(out.ReadInteger("Default", "BEZ_LD_EndStyle", 0), 255);
    EXPECT_FALSE(out.ReadBool("General", "UseD2D", true));
    EXPECT_FALSE(out.ReadBool("General", "BMPZLib", true));
    EXPECT_EQ(out.ReadInteger("Blatt-Default", "Breite", 0), 420);
}

TEST_F(SettingsTest, InterfaceScaleOnTopOfTheScreen) {
    const struct {
        bool Auto;
        int PPI;
        double Screen;
        double Factor;
    } cases[] = {
        {true, 144, 96, 1.0},         {false, 96, 96, 1.0}, {false, 144, 96, 1.5},
        {false, 96, 144, 96.0 / 144}, {false, 72, 96, 1.0}, {false, 5000, 96, 4.0},
    };
    for (const auto& c : cases) {
        TScalingSettings s;
        s.UserScalingAuto = c.Auto;
        s.UserScalingPPI = c.PPI;
        EXPECT_DOUBLE_EQ(InterfaceScale(s, c.Screen), c.Factor) << c.PPI << " on " << c.Screen;
    }
}
