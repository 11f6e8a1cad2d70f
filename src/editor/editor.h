#pragma once

#include "elements/element.h"

#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

// Print settings of a sheet as the container stores them (36 bytes); the print preview owns
// their meaning.
struct TPrintLayout {
    qint32 Orientation = 0; // 0 automatic, 1 portrait, 2 landscape
    float OffsetX = 0;
    float OffsetY = 0;
    qint32 ScalePercent = 100;
    quint8 UseScale = 0; // 1: ScalePercent applies, 0: 100 percent
    quint8 Padding[3] = {0, 0, 0};
    qint32 PagesAcross = 1; // banner printing, 1 to 6
    qint32 PagesDown = 1;
    qint32 Overlap = 0;   // mm, 0 to 20
    qint32 ClipFlags = 0; // bit 0 left, 1 top, 2 right, 3 bottom
};

// The sheet's zone division used for cross references (32 bytes stored).
struct TZoneGrid {
    float Width = 2800; // world units
    float Height = 1900;
    float OffsetX = 100;
    float OffsetY = 100;
    qint32 Columns = 10; // 1 to 50
    qint32 Rows = 8;     // 1 to 50
    qint32 FirstColumn = 1;
    qint32 FirstRow = 1;
};

// The sheet's undo history as the document sees it. The undo and redo steps themselves come
// with the editing commands; a sheet starts with a history that records nothing.
class TUndoHistory {
public:
    virtual ~TUndoHistory();
    virtual bool HasSteps() const { return false; }
    // Discards the undo and redo steps.
    virtual void Clear() {}
    // Takes a snapshot of the sheet before a change.
    virtual void Record(const class TEditor& sheet) {}
};

// Zoom limits of every zoom command; stored zooms are kept inside them too.
constexpr float kMinZoom = 0.05f;
constexpr float kMaxZoom = 30.0f;

// One sheet of a document: its stored fields and its element list. The interactive sheet view
// (zoom, scrolling, tools, selection, events) builds on this class; nothing here needs a widget.
class TEditor {
public:
    TEditor();
    ~TEditor();
    TEditor(const TEditor&) = delete;
    TEditor& operator=(const TEditor&) = delete;

    // Stored sheet fields.
    QString SheetName;
    QString SheetDescription; // multi-line, shown as the tab's hint
    bool ReserveSheet = false;
    qint32 SheetWidth = 297; // mm
    qint32 SheetHeight = 210;
    qint32 GridSize = 10; // world units
    float Zoom = 0.2f;    // pixels per world unit
    QPoint ScrollPosition;  // pixels, remembered while the sheet is not shown
    TRPoint Origin;         // user zero point, world units
    double Scale = 1.0;     // drawing scale 1:Scale
    qint32 UnitDivisor = 1; // 1 mm, 10 cm, 1000 m, 1000000 km
    TPrintLayout PrintLayout;
    TZoneGrid ZoneGrid;
    bool ZoneGridVisible = false;
    std::vector<float> MagnetLinesH; // y positions
    std::vector<float> MagnetLinesV; // x positions
    TElementList Elements;           // drawing order; FormLayer elements form the form sheet

    // While set, only form-sheet elements are shown and edited.
    bool FormSheetEditing = false;
    // The temporary sheet of the component editor.
    bool ComponentEditorSheet = false;

    // Stores the zoom, kept within the zoom limits; a value that is no number becomes the zoom
    // of a new sheet.
    void SetZoom(float zoom);

    // Form-sheet layer.
    bool HasFormSheet() const;
    // Moves the form-sheet elements, in their order, into one block at the start of the list.
    void GatherFormLayer();
    void SetFormSheetEditing(bool on);
    // Removes and frees the form-sheet elements.
    void DeleteFormSheetElements();

    // Undo history.
    bool HasUndoSteps() const { return m_undo->HasSteps(); }
    void ClearUndo() { m_undo->Clear(); }
    void RecordUndo() { m_undo->Record(*this); }
    TUndoHistory& UndoHistory() { return *m_undo; }
    void SetUndoHistory(std::unique_ptr<TUndoHistory> history);

private:
    std::unique_ptr<TUndoHistory> m_undo;
};
