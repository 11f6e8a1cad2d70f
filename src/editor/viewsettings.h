#pragma once

// The zoom factor shown to the user is Zoom times this (Zoom 0.3 shows as 1.0).
constexpr double kShownZoomFactor = 3.33;

// Global view settings of every sheet (section "General"). Start-up fills them from the settings
// and the options dialog changes them; painting and snapping read them.
struct TSheetViewSettings {
    int Kontrast = 2;        // grid: 0 invisible, 1 light, 2 medium, 3 strong
    int Markierung = 2;      // major grid mark: 0 off, 1 every 4th, 2 every 5th, 3 every 10th
    bool Punktraster = true; // dot grid, else line grid
    bool GridOverBK = true;  // grid above the form-sheet layer
    bool RasterFang = true;  // snap to grid
    bool BKWhite = false;    // pure white sheet background
};
extern TSheetViewSettings g_SheetViewSettings;

// The two global magnet-line switches (not stored; both off at start).
struct TMagnetLineSwitches {
    bool Hidden = false;
    bool Fixed = false;
};
extern TMagnetLineSwitches g_MagnetLineSwitches;
