#include "app/settings.h"

#include "document/document.h"
#include "elements/Bemassung.h"
#include "elements/MyD2D.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/lpunkt.h"
#include "elements/shape.h"
#include "elements/textsettings.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <type_traits>

namespace {

const QString General = QStringLiteral("General");
const QString Default = QStringLiteral("Default");

// One list of keys serves reading and writing, so both always agree on names, order and
// defaults. A visitor gets every simple key with its field and default.
struct TReader {
    const TMemIniFile& Ini;
    // Byte fields take what fits a byte.
    template <class F> void Int(const QString& sec, const QString& key, F& field, int def) const {
        const int value = Ini.ReadInteger(sec, key, def);
        if constexpr (std::is_same_v<F, quint8>)
            field = quint8(std::clamp(value, 0, 255));
        else
            field = value;
    }
    void Bool(const QString& sec, const QString& key, bool& field, bool def) const {
        field = Ini.ReadBool(sec, key, def);
    }
    void Str(const QString& sec, const QString& key, QString& field, const QString& def) const {
        field = Ini.ReadString(sec, key, def);
    }
};

struct TWriter {
    TMemIniFile& Ini;
    bool Ok = true;
    template <class F> void Int(const QString& sec, const QString& key, const F& field, int) {
        if (Ok) Ok = Ini.WriteInteger(sec, key, int(field));
    }
    void Bool(const QString& sec, const QString& key, const bool& field, bool) {
        if (Ok) Ok = Ini.WriteBool(sec, key, field);
    }
    void Str(const QString& sec, const QString& key, const QString& field, const QString&) {
        if (Ok) Ok = Ini.WriteString(sec, key, field);
    }
};

// Applies the same visitor to a const or non-const struct.
template <class S, class V> void VisitLinePreset(S& p, const QString& prefix, V& v) {
    v.Int(Default, prefix + "C1", p.LineColor, 0);
    v.Int(Default, prefix + "C2", p.LineColor2, 255);
    v.Int(Default, prefix + "Breite", p.LineWidth, 2);
    v.Int(Default, prefix + "Stil", p.PenStyle, 0);
    v.Bool(Default, prefix + "Zweifarbig", p.TwoColor, false);
    v.Int(Default, prefix + "StartStyle", p.StartEnd, 0);
    v.Int(Default, prefix + "EndStyle", p.FinishEnd, 0);
    v.Int(Default, prefix + "PfeilGroesse", p.EndSize, 2);
    v.Bool(Default, prefix + "Inner", p.InnerStripe, false);
    v.Bool(Default, prefix + "Quer", p.CrossStripes, false);
    v.Int(Default, prefix + "InnerColor", p.InnerStripeColor, 0x00FFFF);
    v.Int(Default, prefix + "QuerColor", p.CrossStripeColor, 0xFF0000);
}

template <class S, class V> void VisitShapePreset(S& p, V& v) {
    v.Int(Default, "FD_LC", p.LineColor, 0);
    v.Int(Default, "FD_FC", p.FillColor, 0xFFFFFF);
    v.Int(Default, "FD_Breite", p.LineWidth, 2);
    v.Int(Default, "FD_Stil", p.FillStyle, 0);
    v.Int(Default, "FD_Penstyle", p.ShapePenStyle, 0);
    v.Bool(Default, "FD_Zweifarbig", p.TwoColor, false);
    v.Int(Default, "FD_PenColor2", p.LineColor2, 255);
    v.Bool(Default, "FD_NoLine", p.NoLine, false);
    v.Bool(Default, "FD_NoFill", p.NoFill, true);
    v.Bool(Default, "FD_Inner", p.InnerStripe, false);
    v.Bool(Default, "FD_Quer", p.CrossStripes, false);
    v.Int(Default, "FD_InnerColor", p.InnerStripeColor, 0x00FFFF);
    v.Int(Default, "FD_QuerColor", p.CrossStripeColor, 0xFF0000);
    v.Int(Default, "FD_FillWidth", p.HatchWidth, 1);
    v.Int(Default, "FD_FillDistance", p.HatchDistance, 20);
}

template <class S, class V> void VisitJunctionPreset(S& p, V& v) {
    v.Int(Default, "LP_PWIDTH", p.LineWidth, 2);
    v.Int(Default, "LP_PCOLOR", p.LineColor, 3);
    v.Int(Default, "LP_PStyle", p.PenStyle, 12);
    v.Int(Default, "LP_BCOLOR", p.FillColor, 0);
}

TTextStyle& TextPreset(TTextSettings& texts, TTextPresetKind kind) {
    switch (kind) {
    case tpText:
        return texts.Text;
    case tpTextRect:
        return texts.TextRect;
    case tpKontakt:
        return texts.TextKontakt;
    case tpWert:
        return texts.TextWert;
    case tpBez:
    default:
        return texts.TextBez;
    }
}
const TTextStyle& TextPreset(const TTextSettings& texts, TTextPresetKind kind) {
    return TextPreset(const_cast<TTextSettings&>(texts), kind);
}

template <class S, class V> void VisitTextPreset(S& p, TTextPresetKind kind, V& v) {
    const QString sec = QString::fromLatin1(TextPresetSection(kind));
    v.Str(sec, "Name", p.Name, QStringLiteral("Arial"));
    v.Int(sec, "Height", p.Height, TextPresetDefaultHeight(kind));
    v.Bool(sec, "Bold", p.Bold, false);
    v.Bool(sec, "Italic", p.Italic, false);
    v.Int(sec, "Color", p.Color, 0);
    v.Int(sec, "Ausrichtung", p.Ausrichtung, 0);
    v.Bool(sec, "TextFill", p.TextFill, false);
    v.Int(sec, "TextFillColor", p.TextFillColor, 0xFFFFFF);
}

template <class S, class V> void VisitDimensionPreset(S& p, V& v) {
    const QString sec = QStringLiteral("Bemassung");
    v.Int(sec, "Pfeilwinkel", p.ArrowAngle, 15);
    v.Int(sec, "Pfeillaenge", p.ArrowLength, 28);
    v.Int(sec, "NK", p.Precision, 10);
    v.Bool(sec, "Dezimalpunkt", p.DecimalPoint, true);
    v.Int(sec, "Col_Hilfslinie", p.ExtColor, 0x808080);
    v.Int(sec, "Col_Masslinie", p.DimColor, 0x808080);
    v.Int(sec, "Col_Text", p.TextColor, 0x808080);
    v.Str(sec, "Fontname", p.FontName, QStringLiteral("ARIAL"));
    v.Int(sec, "Fonthoehe", p.FontHeight, 32);
    v.Bool(sec, "Font_Bold", p.Bold, false);
    v.Bool(sec, "Font_Italic", p.Italic, false);
}

template <class S, class V> void VisitSheetDefaults(S& p, V& v) {
    const QString sec = QStringLiteral("Blatt-Default");
    v.Int(sec, "Breite", p.NewSheetWidth, 297);
    v.Int(sec, "Hoehe", p.NewSheetHeight, 210);
    v.Int(sec, "Raster", p.NewSheetGrid, 10);
    v.Str(sec, "Formblatt", p.DefaultFormSheet, QString());
}

template <class S, class V> void VisitWindowPlacement(S& w, V& v) {
    v.Int(General, "WindowX", w.X, 10);
    v.Int(General, "WindowY", w.Y, 10);
    v.Int(General, "WindowW", w.W, 600);
    v.Int(General, "WindowH", w.H, 400);
    v.Bool(General, "WindowMax", w.Maximized, true);
}

// "General" from "Kontrast" to "KAV_Verz_Vorgabe".."BiboBackupDir"; the remembered folders follow
// separately because reading them depends on the presets.
template <class S, class V> void VisitGeneralHead(S& s, const QString& dataFolder, V& v) {
    v.Int(General, "Kontrast", s.View.Kontrast, 2);
    v.Int(General, "Markierung", s.View.Markierung, 2);
    v.Bool(General, "Punktraster", s.View.Punktraster, true);
    v.Int(General, "AutospeichernMin", s.Autosave.IntervalMs, TAutosaveSettings::DefaultIntervalMs);
    v.Bool(General, "Autospeichern", s.Autosave.Enabled, false);
    v.Bool(General, "CircleZentriert", s.Tools.CircleZentriert, true);
    v.Bool(General, "RectZentriert", s.Tools.RectZentriert, false);
    v.Str(General, "KAV_Verz_Vorgabe", s.Folders.KavPreset, QString());
    v.Str(General, "Export_Verz_Vorgabe", s.Folders.ExportPreset, QString());
    v.Str(General, "Formblatt_Verz_Vorgabe", s.Folders.FormblattPreset,
          dataFolder + QStringLiteral("Forms/"));
    v.Str(General, "BiboBackupDir", s.Folders.BiboBackup, dataFolder);
}

// "General" from "DrehWinkelFang" to "ShowParentChild".
template <class T, class V> void VisitGeneralTail(const T& t, V& v) {
    auto& s = t.App;
    auto& renderer = t.Renderer;
    v.Int(General, "DrehWinkelFang", s.Tools.DrehWinkelFang, 150);
    v.Bool(General, "RasterFang", s.Tools.RasterFang, true);
    v.Bool(General, "Gummiband", s.Tools.Gummiband, false);
    v.Bool(General, "AnschlussFang", s.Tools.AnschlussFang, true);
    v.Bool(General, "WinkelFang", s.Tools.WinkelFang, true);
    v.Bool(General, "TexteDrehen", t.Texts.TexteDrehen, true);
    v.Bool(General, "TexteSpiegeln", t.Texts.TexteSpiegeln, true);
    v.Bool(General, "TextAntiAliasing", renderer.TextAntiAliasing, true);
    v.Bool(General, "AlteDialoge", s.Tools.AlteDialoge, false);
    v.Bool(General, "MoveBezWertmitALT", s.Tools.MoveBezWertmitALT, false);
    v.Bool(General, "GridOverBK", s.View.GridOverBK, true);
    v.Bool(General, "BKWhite", s.View.BKWhite, false);
    v.Bool(General, "UseD2D", renderer.UseD2D, true);
    v.Bool(General, "Dateiinfo", t.Document.KeepFileInfo, false);
    v.Bool(General, "BMPZLib", t.Bitmap.BMPZLib, true);
    v.Bool(General, "DateiBackup", t.Document.BackupOnOpen, true);
    v.Bool(General, "GDIPoints", renderer.GDIPoints, false);
    v.Bool(General, "UserScalingAuto", s.Scaling.UserScalingAuto, true);
    v.Int(General, "UserScalingPPI", s.Scaling.UserScalingPPI, 96);
    v.Bool(General, "BitmapScaling", s.Scaling.BitmapScaling, true);
    v.Bool(General, "ShowParentChild", s.Tools.ShowParentChild, false);
}

template <class S, class V> void VisitHotkeys(S& keys, int language, V& v) {
    const QString sec = QStringLiteral("Hotkeys");
    for (int i = 0; i < hkCount; ++i) {
        const auto tool = THotkeyTool(i);
        v.Str(sec, HotkeyInfo(tool).Key, keys[i], DefaultHotkey(tool, language));
    }
}

template <class S, class V> void VisitLibrary(S& b, const QString& dataFolder, V& v) {
    const QString sec = QStringLiteral("BIBO");
    v.Str(sec, "BiboDir", b.BiboDir, dataFolder + QStringLiteral("BIBO/"));
    v.Str(sec, "AktLibFile", b.AktLibFile, QString());
    v.Int(sec, "BiboW", b.BiboW, 190);
    v.Int(sec, "BiboSpalten", b.BiboSpalten, 2);
    v.Bool(sec, "BiboText", b.BiboText, false);
}

template <class S, class V> void VisitSearch(S& p, V& v) {
    const QString sec = QStringLiteral("Search");
    v.Int(sec, "PageIndex", p.PageIndex, 1);
    v.Bool(sec, "CaseSensitive", p.CaseSensitive, false);
    v.Bool(sec, "Variable", p.Variable, true);
    v.Bool(sec, "AllPages", p.AllPages, true);
    v.Bool(sec, "ComplistOnly", p.ComplistOnly, false);
}

template <class S, class V> void VisitPanels(S& p, V& v) {
    const QString sec = QStringLiteral("Panels");
    v.Int(sec, "Eigenschaften_Width", p.Eigenschaften.Width, 330);
    v.Int(sec, "Suche_Width", p.Suchen.Width, 230);
    v.Int(sec, "Pages_Width", p.Pages.Width, 160);
    v.Bool(sec, "Eigenschaften_Visible", p.Eigenschaften.Visible, true);
    v.Bool(sec, "Suchen_Visible", p.Suchen.Visible, false);
    v.Bool(sec, "Pages_Visible", p.Pages.Visible, false);
    v.Bool(sec, "Eigenschaften_FreeDlg_Visible", p.Eigenschaften.FreeDlgVisible, false);
    v.Bool(sec, "Suchen_FreeDlg_Visible", p.Suchen.FreeDlgVisible, false);
    v.Bool(sec, "Pages_FreeDlg_Visible", p.Pages.FreeDlgVisible, false);
    auto placement = [&](auto& panel, const char* name) {
        const QString n = QString::fromLatin1(name);
        v.Int(sec, n + "_X", panel.X, 10);
        v.Int(sec, n + "_Y", panel.Y, 10);
        v.Int(sec, n + "_W", panel.W, 360);
        v.Int(sec, n + "_H", panel.H, 600);
    };
    placement(p.Eigenschaften, "Eigenschaften");
    placement(p.Suchen, "Suchen");
    placement(p.Pages, "Pages");
}

template <class S, class V> void VisitChildListOptions(S& c, V& v) {
    const QString sec = QStringLiteral("ChildList");
    v.Str(sec, "FontName", c.FontName, QStringLiteral("ARIAL"));
    v.Int(sec, "FontSize", c.FontSize, 18);
    v.Bool(sec, "Frame", c.Frame, true);
    v.Bool(sec, "Shadow", c.Shadow, false);
    v.Bool(sec, "Lines", c.Lines, true);
    v.Bool(sec, "Alternate", c.Alternate, true);
    v.Int(sec, "ColCharNum", c.ColCharNum, 1);
    v.Int(sec, "RowCharNum", c.RowCharNum, 0);
    v.Bool(sec, "Slash", c.Slash, true);
}

template <class S, class V> void VisitPrintWindow(S& p, V& v) {
    const QString sec = QStringLiteral("Print");
    v.Bool(sec, "WindowMax", p.Maximized, true);
    v.Int(sec, "WindowX", p.X, 10);
    v.Int(sec, "WindowY", p.Y, 10);
    v.Int(sec, "WindowW", p.W, 900);
    v.Int(sec, "WindowH", p.H, 700);
}

constexpr THotkeyInfo HotkeyTable[hkCount] = {
    {"Line", "TB_Polyline", "L", "L"},       {"Rect", "TB_Rect", "R", "R"},
    {"Point", "TB_Loetpunkt", "P", "P"},     {"Circle", "TB_Circle", "K", "C"},
    {"Polygon", "TB_Polygon", "O", "O"},     {"Bezier", "TB_Bezier", "U", "U"},
    {"Freihand", "TB_Freihand", "H", "H"},   {"Special", "TB_Spezialform", "S", "S"},
    {"Dimension", "TB_Bemassung", "B", "D"}, {"Text", "TB_Text", "T", "T"},
    {"Bitmap", "TB_PixelBitmap", "F", "F"},  {"TextRect", "TB_TextRect", "E", "E"},
    {"Zoom", "TB_Zoom", "Z", "Z"},           {"Measure", "TB_Messen", "M", "M"},
    {"Contact", "TB_Kontakt", "-", "-"},
};

const QString MruSection = QStringLiteral("MRU");

} // namespace

const char* TextPresetSection(TTextPresetKind kind) {
    static const char* const names[tpCount] = {"Text-Default", "TextRect-Default",
                                               "TextKontakt-Default", "TextWert-Default",
                                               "TextBez-Default"};
    return names[kind];
}

int TextPresetDefaultHeight(TTextPresetKind kind) {
    static const int heights[tpCount] = {40, 40, 18, 24, 24};
    return heights[kind];
}

double InterfaceScale(const TScalingSettings& s, double screenPPI) {
    if (s.UserScalingAuto || s.UserScalingPPI < 96 || !(screenPPI > 0)) return 1.0;
    // A hand-edited value cannot make the interface unusable.
    return std::clamp(s.UserScalingPPI / screenPPI, 0.5, 4.0);
}

const THotkeyInfo& HotkeyInfo(THotkeyTool tool) {
    return HotkeyTable[tool];
}

QString DefaultHotkey(THotkeyTool tool, int language) {
    return QString::fromLatin1(language == 0 ? HotkeyTable[tool].German : HotkeyTable[tool].Other);
}

QString ShortenRecentFile(const QString& fileName) {
    constexpr int maxLength = 30;
    if (fileName.size() <= maxLength) return fileName;
    const QString ellipsis = QStringLiteral("...");
    const int slash = int(fileName.lastIndexOf(u'/'));
    const QString name = slash >= 0 ? fileName.mid(slash) : fileName; // "/name"
    if (name.size() + ellipsis.size() >= maxLength)
        return ellipsis + fileName.right(maxLength - ellipsis.size());
    // Keep as much of the start as fits before ".../name".
    const int head = maxLength - int(ellipsis.size()) - int(name.size());
    return fileName.left(head) + ellipsis + name;
}

TAppSettings::TAppSettings() {
    for (int i = 0; i < hkCount; ++i)
        Hotkeys[i] = DefaultHotkey(THotkeyTool(i), 0);
}

TAppSettings& Settings() {
    static TAppSettings settings;
    return settings;
}

TSettingsTargets RunningSettings(TDocumentSettings& document) {
    return {Settings(),      document,      g_RenderSettings, g_BitmapSettings, g_PolyLineStyle,
            g_FreehandStyle, g_BezierStyle, g_ShapeStyle,     g_JunctionStyle, g_TextSettings,
            g_DimensionStyle};
}

void ResetSettings(const TSettingsTargets& t) {
    t.App = TAppSettings();
    t.Document = TDocumentSettings();
    t.Renderer = TRenderSettings();
    t.Bitmap = TBitmapSettings();
    t.Junction = TJunctionStyle();
    t.PolyLine = TLineStyle();
    t.Freehand = TLineStyle();
    t.Bezier = TLineStyle();
    t.Shape = TShapeStyle();
    t.Texts = TTextSettings();
    t.Dimension = TDimensionStyle();
}

void ReadRecentFiles(const TMemIniFile& ini, QStringList& list) {
    for (int i = MaxRecentFiles - 1; i >= 0; --i) {
        const QString key = MruSection + QString::number(i);
        if (!ini.ValueExists(MruSection, key)) continue;
        const QString file = ini.ReadString(MruSection, key, QString());
        if (file.isEmpty()) continue;
        list.removeAll(file);
        list.prepend(file);
    }
    while (list.size() > MaxRecentFiles)
        list.removeLast();
}

void ReadWindowPlacement(const TMemIniFile& ini, TWindowPlacement& w) {
    TReader r{ini};
    VisitWindowPlacement(w, r);
}

void ReadSettings(const TMemIniFile& ini, const TSettingsTargets& t, const TSettingsContext& ctx) {
    TAppSettings& s = t.App;
    TReader r{ini};
    VisitGeneralHead(s, ctx.DataFolder, r);
    // A timer interval of zero or less would fire without pause.
    if (s.Autosave.IntervalMs <= 0) s.Autosave.IntervalMs = TAutosaveSettings::DefaultIntervalMs;

    // Each working folder starts as its preset; only an empty preset lets the remembered one in.
    auto remembered = [&](const QString& key, const QString& preset, const QString& def) {
        return preset.isEmpty() ? ini.ReadString(General, key, def) : preset;
    };
    TWorkingFolders& f = s.Folders;
    TDocumentSettings& d = t.Document;
    d.DocumentFolder = remembered(QStringLiteral("KAV_Verz"), f.KavPreset, QString());
    if (d.DocumentFolder.isEmpty()) {
        d.DocumentFolder = ctx.DocumentsFolder;
        const QString own = ctx.DocumentsFolder + QStringLiteral("Kavro80");
        if (QFileInfo(own).isDir()) d.DocumentFolder = own + u'/';
    }
    f.Export = remembered(QStringLiteral("Export_Verz"), f.ExportPreset, ctx.DocumentsFolder);
    d.FormSheetFolder =
        remembered(QStringLiteral("Formblatt_Verz"), f.FormblattPreset, ctx.DocumentsFolder);
    f.Bitmap = ini.ReadString(General, QStringLiteral("Bitmap_Verz"), ctx.DocumentsFolder);
    d.TemplateFolder = ini.ReadString(General, QStringLiteral("Vorlagen_Verz"),
                                      ctx.DataFolder + QStringLiteral("Templates/"));

    VisitGeneralTail(t, r);
    // The viewer keeps its own placement (read at the deferred start-up).
    TWindowPlacement placement;
    VisitWindowPlacement(placement, r);
    if (!ctx.Viewer) s.Window = placement;

    d.RecentFiles.clear();
    if (!ctx.Viewer) ReadRecentFiles(ini, d.RecentFiles);

    VisitSheetDefaults(d, r);
    VisitHotkeys(s.Hotkeys, ctx.Language, r);
    VisitLinePreset(t.PolyLine, QStringLiteral("LD_"), r);
    VisitLinePreset(t.Freehand, QStringLiteral("FREI_LD_"), r);
    VisitLinePreset(t.Bezier, QStringLiteral("BEZ_LD_"), r);
    VisitShapePreset(t.Shape, r);
    VisitJunctionPreset(t.Junction, r);
    for (int k = 0; k < tpCount; ++k) {
        TTextStyle& preset = TextPreset(t.Texts, TTextPresetKind(k));
        VisitTextPreset(preset, TTextPresetKind(k), r);
        // Texts know alignments 0 to 2 only; a text needs a font name.
        if (preset.Ausrichtung < 0 || preset.Ausrichtung > 2) preset.Ausrichtung = 0;
        if (preset.Name.trimmed().isEmpty()) preset.Name = QStringLiteral("Arial");
    }
    VisitDimensionPreset(t.Dimension, r);

    VisitLibrary(s.Library, ctx.DataFolder, r);
    s.Library.BiboSpalten = std::clamp(s.Library.BiboSpalten, 1, 10);
}

void ReadDeferredSettings(const TMemIniFile& ini, TAppSettings& s, bool viewer) {
    TReader r{ini};
    if (!viewer) {
        VisitPanels(s.Panels, r);
        for (TPanelSettings::Panel* p :
             {&s.Panels.Eigenschaften, &s.Panels.Suchen, &s.Panels.Pages})
            p->Width = std::clamp(p->Width, TPanelSettings::MinWidth, TPanelSettings::MaxWidth);
    }

    const QString collapsed = QStringLiteral("Prop-Panel-Collapsed");
    s.PropPanelCollapsed.clear();
    for (const QString& key : ini.ReadSection(collapsed))
        s.PropPanelCollapsed.emplace_back(key, ini.ReadBool(collapsed, key, false));

    VisitSearch(s.Search, r);

    const QString unicode = QStringLiteral("LastUsedUniCode");
    s.LastUsedUniCode.clear();
    for (int i = 1; i <= 20; ++i) {
        const int code = ini.ReadInteger(unicode, QString::number(i), 0);
        if (code == 0) break;
        s.LastUsedUniCode.append(code);
    }

    const QString slist = QStringLiteral("SList");
    s.SList.clear();
    for (const QString& key : ini.ReadSection(slist))
        s.SList.emplace_back(key, ini.ReadString(slist, key, QString()));

    const QString child = QStringLiteral("ChildList");
    TChildListSettings& c = s.ChildList;
    c = TChildListSettings();
    if (ini.SectionExists(child)) {
        c.Columns.clear();
        for (int i = 0;; ++i) {
            const QString key = QStringLiteral("R") + QString::number(i);
            if (!ini.ValueExists(child, key)) break;
            c.Columns.append(ini.ReadInteger(child, key, 0));
        }
    }
    VisitChildListOptions(c, r);
    s.DeferredSectionsRead = true;
}

bool SettingsWritable(const TTextSettings& texts) {
    for (int k = 0; k < tpCount; ++k)
        if (TextPreset(texts, TTextPresetKind(k)).Height < 1) return false;
    return true;
}

bool WriteRecentFiles(TMemIniFile& ini, const QStringList& list) {
    ini.EraseSection(MruSection);
    const QStringList& items = list;
    for (int i = 0; i < items.size(); ++i)
        if (!ini.WriteString(MruSection, MruSection + QString::number(i), items[i])) return false;
    return true;
}

bool WriteWindowPlacement(TMemIniFile& ini, const TWindowPlacement& w) {
    TWriter wr{ini};
    VisitWindowPlacement(w, wr);
    return wr.Ok;
}

bool WriteSettings(TMemIniFile& ini, const TSettingsTargets& t) {
    const TAppSettings& s = t.App;
    if (!SettingsWritable(t.Texts)) return true;
    // The data folder only supplies defaults, which the writer never uses.
    const QString noFolder;
    TWriter w{ini};

    // "General"
    VisitGeneralHead(s, noFolder, w);
    const TWorkingFolders& f = s.Folders;
    const TDocumentSettings& d = t.Document;
    w.Str(General, "KAV_Verz", d.DocumentFolder, {});
    w.Str(General, "Export_Verz", f.Export, {});
    w.Str(General, "Formblatt_Verz", d.FormSheetFolder, {});
    w.Str(General, "Bitmap_Verz", f.Bitmap, {});
    w.Str(General, "Vorlagen_Verz", d.TemplateFolder, {});
    VisitGeneralTail(t, w);
    VisitWindowPlacement(s.Window, w);
    if (!w.Ok) return false;

    if (s.PrintWindow.WindowExists) VisitPrintWindow(s.PrintWindow.Placement, w);
    if (!w.Ok || !WriteRecentFiles(ini, d.RecentFiles)) return false;

    ini.EraseSection(QStringLiteral("BIBO"));
    VisitLibrary(s.Library, noFolder, w);

    for (int k = 0; k < tpCount; ++k)
        VisitTextPreset(TextPreset(t.Texts, TTextPresetKind(k)), TTextPresetKind(k), w);
    VisitLinePreset(t.PolyLine, QStringLiteral("LD_"), w);
    VisitLinePreset(t.Freehand, QStringLiteral("FREI_LD_"), w);
    VisitLinePreset(t.Bezier, QStringLiteral("BEZ_LD_"), w);
    VisitShapePreset(t.Shape, w);
    VisitJunctionPreset(t.Junction, w);
    VisitDimensionPreset(t.Dimension, w);
    VisitSheetDefaults(d, w);
    if (!w.Ok) return false;

    // Sections read at the deferred start-up keep their stored values when it never ran.
    if (s.DeferredSectionsRead) {
        const QString slist = QStringLiteral("SList");
        for (const auto& [key, value] : s.SList)
            w.Str(slist, key, value, {});

        const QString unicode = QStringLiteral("LastUsedUniCode");
        ini.EraseSection(unicode);
        for (int i = 0; i < s.LastUsedUniCode.size() && i < 20; ++i)
            w.Int(unicode, QString::number(i + 1), s.LastUsedUniCode[i], 0);

        VisitPanels(s.Panels, w);
        const QString collapsed = QStringLiteral("Prop-Panel-Collapsed");
        for (const auto& [key, value] : s.PropPanelCollapsed)
            w.Bool(collapsed, key, value, false);
        VisitSearch(s.Search, w);
    }
    VisitHotkeys(s.Hotkeys, 0, w);
    if (!w.Ok) return false;

    if (s.DeferredSectionsRead) {
        const QString child = QStringLiteral("ChildList");
        ini.EraseSection(child);
        for (int i = 0; i < s.ChildList.Columns.size(); ++i)
            w.Int(child, QStringLiteral("R") + QString::number(i), s.ChildList.Columns[i], 0);
        VisitChildListOptions(s.ChildList, w);
    }
    return w.Ok;
}

bool WriteViewerSettings(TMemIniFile& ini, const QStringList& recentFiles,
                         const TWindowPlacement& window) {
    return WriteRecentFiles(ini, recentFiles) && WriteWindowPlacement(ini, window);
}
