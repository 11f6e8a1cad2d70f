#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

class TMemIniFile;
struct TBitmapSettings;
struct TDimensionStyle;
struct TDocumentSettings;
struct TJunctionStyle;
struct TLineStyle;
struct TRenderSettings;
struct TShapeStyle;
struct TTextSettings;

// The program's settings as plain values. The settings object (one TMemIniFile per file) is read
// into these structs at start-up and written back from them at shutdown; everything in between
// reads and changes the structs only. Each struct belongs to the feature named in its comment;
// where that feature's own struct exists the group moves there and only the reading and writing
// stay here.

// The five text presets (sections "Text-Default" ... "TextBez-Default") live in TTextSettings.
enum TTextPresetKind { tpText, tpTextRect, tpKontakt, tpWert, tpBez, tpCount };
const char* TextPresetSection(TTextPresetKind kind);
int TextPresetDefaultHeight(TTextPresetKind kind);


// Global view settings of the sheet view.
struct TViewSettings {
    int Kontrast = 2;   // 0 invisible .. 3 strong
    int Markierung = 2; // 0 off, 1 every 4th, 2 every 5th, 3 every 10th step
    bool Punktraster = true;
    bool GridOverBK = true;
    bool BKWhite = false;
};

// Drawing-tool, snapping and editing switches.
struct TToolSettings {
    bool CircleZentriert = true;
    bool RectZentriert = false;
    int DrehWinkelFang = 150; // tenths of a degree
    bool RasterFang = true;
    bool Gummiband = false;
    bool AnschlussFang = true;
    bool WinkelFang = true;
    bool AlteDialoge = false;
    bool MoveBezWertmitALT = false;
    bool ShowParentChild = false;
};

struct TAutosaveSettings {
    static constexpr int DefaultIntervalMs = 300000;
    int IntervalMs = DefaultIntervalMs; // "AutospeichernMin" holds milliseconds despite its name
    bool Enabled = false;
};

struct TScalingSettings {
    bool UserScalingAuto = true;
    int UserScalingPPI = 96;
    bool BitmapScaling = true;
};
// The factor fonts (and, with BitmapScaling, tool images) are scaled by on top of the screen's
// own scaling: the chosen pixels per inch against the screen's. Automatic scaling, or a value
// below 96, follows the screen (1).
double InterfaceScale(const TScalingSettings& s, double screenPPI);

struct TWindowPlacement {
    int X = 10;
    int Y = 10;
    int W = 600;
    int H = 400;
    bool Maximized = true;
};

// The working folders without the document's own (drawings, form sheets and templates live in
// TDocumentSettings). Each path ends with "/" (or is empty).
struct TWorkingFolders {
    // Presets: a non-empty preset is the working folder at every start.
    QString KavPreset;
    QString ExportPreset;
    QString FormblattPreset;
    // The folders in use; the dialogs store the folder last used here.
    QString Export;
    QString Bitmap;
    QString BiboBackup;
};

// The recent-files list holds at most this many entries, most recent first.
constexpr int MaxRecentFiles = 8;
// The menu text of an entry: at most 30 characters, keeping the end of the path.
QString ShortenRecentFile(const QString& fileName);

// Tool hotkeys, stored as the captions of the tool buttons.
enum THotkeyTool {
    hkLine,
    hkRect,
    hkPoint,
    hkCircle,
    hkPolygon,
    hkBezier,
    hkFreihand,
    hkSpecial,
    hkDimension,
    hkText,
    hkBitmap,
    hkTextRect,
    hkZoom,
    hkMeasure,
    hkContact,
    hkCount
};
struct THotkeyInfo {
    const char* Key;    // key in section "Hotkeys"
    const char* Button; // objectName of the tool button
    const char* German;
    const char* Other; // English and French interface
};
const THotkeyInfo& HotkeyInfo(THotkeyTool tool);
// The default of a tool's hotkey for an interface language (0 German, 1 English, 2 French).
QString DefaultHotkey(THotkeyTool tool, int language);
using THotkeys = std::array<QString, hkCount>;

// Library root and browser (section "BIBO").
struct TLibrarySettings {
    QString BiboDir;
    QString AktLibFile; // the current library page
    int BiboW = 190;
    int BiboSpalten = 2; // 1..10
    bool BiboText = false;
};

// Find panel (section "Search").
struct TSearchSettings {
    int PageIndex = 1;
    bool CaseSensitive = false;
    bool Variable = true;
    bool AllPages = true;
    bool ComplistOnly = false;
};

// The three side panels (section "Panels").
struct TPanelSettings {
    struct Panel {
        int Width;
        bool Visible;
        bool FreeDlgVisible = false;
        int X = 10;
        int Y = 10;
        int W = 360;
        int H = 600;
    };
    static constexpr int MinWidth = 20;
    static constexpr int MaxWidth = 800;
    Panel Eigenschaften{330, true};
    Panel Suchen{230, false};
    Panel Pages{160, false};
};

// Contact mirror dialog (section "ChildList").
struct TChildListSettings {
    QList<int> Columns{2, 3, 7, 8}; // Contacts, Value, Sheet.Column, full reference
    QString FontName = QStringLiteral("ARIAL");
    int FontSize = 18; // tenths of a mm
    bool Frame = true;
    bool Shadow = false;
    bool Lines = true;
    bool Alternate = true;
    int ColCharNum = 1;
    int RowCharNum = 0;
    bool Slash = true;
};

// Placement of the print preview window (section "Print").
struct TPrintWindowSettings {
    TWindowPlacement Placement{10, 10, 900, 700, true};
    // Set once the preview window exists; only then is the section written.
    bool WindowExists = false;
};

using TKeyValues = std::vector<std::pair<QString, QString>>;

struct TAppSettings {
    TViewSettings View;
    TToolSettings Tools;
    TAutosaveSettings Autosave;
    TScalingSettings Scaling;
    TWindowPlacement Window;
    TWorkingFolders Folders;
    THotkeys Hotkeys;
    TLibrarySettings Library;
    TPrintWindowSettings PrintWindow;
    // Read at the deferred start-up.
    TPanelSettings Panels;
    std::vector<std::pair<QString, bool>> PropPanelCollapsed; // category panel name, collapsed
    TSearchSettings Search;
    QList<int> LastUsedUniCode; // character codes, most recent first, at most 20
    TKeyValues SList;           // parts-list window; kept as stored
    TChildListSettings ChildList;
    // Whether the deferred sections above were read; a shutdown before that leaves them alone.
    bool DeferredSectionsRead = false;

    TAppSettings();
};

// The settings of the running program that have no owner struct of their own.
TAppSettings& Settings();

// Where the reader puts the settings and the writer takes them from: the settings above and the
// structs of the features that own keys.
struct TSettingsTargets {
    TAppSettings& App;
    // "Blatt-Default", "Dateiinfo", "DateiBackup", "KAV_Verz", "Formblatt_Verz",
    // "Vorlagen_Verz" and [MRU].
    TDocumentSettings& Document;
    TRenderSettings& Renderer; // "UseD2D", "GDIPoints", "TextAntiAliasing"
    TBitmapSettings& Bitmap;   // "BMPZLib"
    TLineStyle& PolyLine;      // "Default", "LD_"
    TLineStyle& Freehand;      // "Default", "FREI_LD_"
    TLineStyle& Bezier;        // "Default", "BEZ_LD_"
    TShapeStyle& Shape;        // "Default", "FD_"
    TJunctionStyle& Junction;  // "Default", "LP_"
    TTextSettings& Texts;      // "TexteDrehen", "TexteSpiegeln", the five text presets
    TDimensionStyle& Dimension; // "Bemassung"; its initial values are the built-in preset
};
// The structs of the running program, with the settings of its document.
TSettingsTargets RunningSettings(TDocumentSettings& document);
// Resets every target to its factory values.
void ResetSettings(const TSettingsTargets& t);

// What the reader needs to know about the machine.
struct TSettingsContext {
    QString DataFolder;      // ends with "/"
    QString DocumentsFolder; // ends with "/"
    int Language = 0;        // 0 German, 1 English, 2 French
    bool Viewer = false;
};

// The settings reader of the immediate start-up: every key of "General", "MRU", "Blatt-Default",
// "Hotkeys", "Default", the text presets, "Bemassung" and "BIBO", in the stored order. The
// viewer takes its recent files and window placement from its own file instead.
void ReadSettings(const TMemIniFile& ini, const TSettingsTargets& t, const TSettingsContext& ctx);
// The sections read at the deferred start-up: "Panels" (editor only), "Prop-Panel-Collapsed",
// "Search", "LastUsedUniCode", "SList" and "ChildList".
void ReadDeferredSettings(const TMemIniFile& ini, TAppSettings& s, bool viewer);
// Recent files of section "MRU": keys "MRU7" down to "MRU0", each added to the front.
void ReadRecentFiles(const TMemIniFile& ini, QStringList& list);
void ReadWindowPlacement(const TMemIniFile& ini, TWindowPlacement& w);

// True when every text preset has a height of at least 1; otherwise the settings were never
// really read and must not overwrite the file.
bool SettingsWritable(const TTextSettings& texts);

// The settings writer of the editor. Writes nothing unless SettingsWritable(); stops at the first
// key the object refuses and returns false then (the keys not yet written keep their values).
bool WriteSettings(TMemIniFile& ini, const TSettingsTargets& t);
// What the viewer writes into its own file: "MRU" (erased first) and the window placement.
bool WriteViewerSettings(TMemIniFile& ini, const QStringList& recentFiles,
                         const TWindowPlacement& window);
bool WriteRecentFiles(TMemIniFile& ini, const QStringList& list);
bool WriteWindowPlacement(TMemIniFile& ini, const TWindowPlacement& w);
