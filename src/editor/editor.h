#pragma once

#include "editor/viewsettings.h"
#include "elements/element.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QColor;
class QPainter;

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

    // Zone numbers of a position (the "<COLNUM>" and "<ROWNUM>" values): floor((v - offset) /
    // zone size) + first. A grid without size or count is one zone, so nothing divides by zero;
    // std::nullopt for a position that is no number.
    std::optional<int> ColumnNumber(double x) const;
    std::optional<int> RowNumber(double y) const;
    // Letter forms ("<COLCHAR>", "<ROWCHAR>"): one more when the first number is 0; empty left
    // of or above the grid.
    QString ColumnLetters(double x) const;
    QString RowLetters(double y) const;
    // Bijective base 26 with up to three letters: 1 "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA";
    // empty below 1 and above "ZZZ" (18278).
    static QString Letters(int n);
    // Positions of the grid lines, first to last edge (world units); at most kMaxZoneLines + 1.
    std::vector<double> ColumnLines() const;
    std::vector<double> RowLines() const;
    static constexpr int kMaxZoneLines = 1000;
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

// What OnStatus hands to the host. A text reading kStatusUnchanged leaves its label alone.
inline const QString kStatusUnchanged = QStringLiteral("nc");
struct TStatusTexts {
    QString X, Y, DX, DY;
    QPoint Position{-100, -100}; // snapped pointer in client pixels; <= 0: no ruler marker
    float Zoom = 0.2f;
};

// Meaning a modifier key has in the current drag, shown in the key-hint panel: 0 none, else the
// hint of the tools (CTRL 1 "Rasterfang aus", ALT 1 "Anschlussfang aus", ...).
struct TKeyHints {
    int Ctrl = 0, Shift = 0, Alt = 0;
    friend bool operator==(const TKeyHints&, const TKeyHints&) = default;
};

// The widget that shows a sheet. The sheet keeps the view's numbers and tells the widget when
// they changed; the widget owns the pixels.
class TSheetViewPort {
public:
    virtual ~TSheetViewPort();
    // The canvas size or the scroll position changed: scroll bars follow, the view repaints
    // (reusing what it can of the kept background).
    virtual void CanvasChanged() = 0;
    // Elements changed inside a client rectangle (empty: everywhere): render them again.
    virtual void Invalidate(const QRect& client) = 0;
    // Only the overlay (crosshair, drag outlines) changed: the kept background is reused.
    virtual void OverlayChanged() = 0;
    // Moves the mouse pointer to a client position.
    virtual void SetPointer(QPoint client) = 0;
};

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
    qint32 GridSize = 10;   // world units
    float Zoom = 0.2f;      // pixels per world unit
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

    // Stores the zoom, kept within the zoom limits (a value that is no number becomes the zoom
    // of a new sheet), sizes the canvas, keeps the scroll position inside it and raises OnStatus
    // with unchanged texts and the new zoom.
    void SetZoom(float zoom);

    // ---- View (widget-free; the sheet widget forwards its events here)

    // Host events; each may be unset.
    std::function<void(TEditor&, bool horizontal, bool vertical)> OnScrolled;
    std::function<void(TEditor&, const TStatusTexts&)> OnStatus;
    std::function<void(TEditor&, const TKeyHints&)> OnKeyHints;

    // The widget showing the sheet, while it is shown (not owned).
    void SetViewPort(TSheetViewPort* port) { m_port = port; }
    TSheetViewPort* ViewPort() const { return m_port; }
    // The visible client area, and the one the widget has with its scroll bars hidden.
    void SetClientSize(QSize client, QSize full);
    QSize ClientSize() const { return m_client; }
    // Canvas size: the sheet at the current zoom, in pixels.
    QSize CanvasSize() const;
    // Live scroll position (ScrollPosition keeps it while the sheet is not shown).
    QPoint Scroll() const { return m_scroll; }
    QPoint MaxScroll() const;
    // Scrolls, kept within the canvas; raises OnScrolled for the directions that moved.
    void ScrollTo(QPoint position);

    // Transforms. Canvas pixels count from the sheet corner; client pixels from the top-left
    // of the visible area (canvas = client + scroll).
    TRPoint ClientToWorld(QPointF canvas) const;
    QPoint WorldToClient(TRPoint p) const; // canvas pixel of a world point
    TRPoint ClientPointToWorld(QPointF client) const;
    QPoint WorldToClientPoint(TRPoint p) const;
    // The transform elements draw with: zoom on both axes, offset minus the scroll position.
    TView View() const;
    // Canvas rectangle in client pixels.
    QRect CanvasClientRect() const;

    void ZoomAt(TRPoint p, bool movePointer, float zoom);
    void ZoomToRect(const TRRect& r);
    // F5 "Zoom Blatt".
    void ZoomSheet();
    // F6 "Zoom Elemente"; false (and nothing happens) on an empty sheet.
    bool ZoomElements();
    void CenterOn(TRPoint p);
    // Plus and minus keys with the pointer at a client position; false when refused.
    bool ZoomInAtPointer(QPoint client);
    bool ZoomOutAtPointer(QPoint client);
    // Mouse wheel over the view at a client position; false when it did nothing.
    bool Wheel(QPoint client, bool forward);
    // Scrolls by 16 pixels towards an edge the canvas point is within 10 pixels of; true when
    // it scrolled (that mouse move then changes nothing else).
    bool AutoScroll(QPoint canvas);

    // Grid.
    TRPoint SnapToGrid(TRPoint p, bool force = false) const;
    TRPoint SnapDelta(TRPoint v) const;
    void SetGrid(int pitch);
    // Origin corners of the origin menu: 1 top left, 2 bottom left, 3 top right, 4 bottom right.
    void SetOriginCorner(int tag);
    // Dragging the origin from the rulers' corner; client positions of the pointer.
    void BeginOriginDrag();
    void MoveOriginDrag(QPoint client);
    void EndOriginDrag();
    bool OriginDragging() const { return m_originDrag; }

    // Pointer input of the sheet (client positions). Modifier keys are those of the event.
    void SetKeyState(Qt::KeyboardModifiers keys) { m_keys = keys; }
    Qt::KeyboardModifiers KeyState() const { return m_keys; }
    void MouseDown(QPoint client, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers keys);
    void MouseMove(QPoint client, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void MouseUp(QPoint client, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers keys);
    // The pointer left the sheet: the overlay goes.
    void MouseLeave();
    bool MouseButtonHeld() const { return m_buttons != Qt::NoButton; }
    // Texts of the read-out for the pointer at a client position (X and Y).
    TStatusTexts StatusAt(QPoint client) const;

    // The tool's tag (0 the selection tool); the drawing tools come with their own code.
    int Mode = 0;
    // An element is being drawn: the last element of the list belongs to the tool.
    bool ElementUnderConstruction = false;

    // Painting: renders the sheet into the client rectangle `clip` (client pixels) of a painter
    // whose origin is the client area's top-left.
    void Paint(QPainter& painter, const QRect& clip) const;
    // The overlay drawn on the kept background: the crosshair.
    void PaintOverlay(QPainter& painter) const;
    std::optional<TRPoint> Crosshair() const { return m_crosshair; }
    void SetCrosshair(std::optional<TRPoint> p);
    // Sheet background colour for the current state and renderer.
    QColor BackgroundColor() const;
    // A zoom is being applied; the view does not paint meanwhile.
    bool Zooming() const { return m_zooming; }
    // The elements changed: the view renders a client rectangle again (empty: everything), or
    // the screen rectangle of a world rectangle (inflated by 2 pixels).
    void Invalidate(const QRect& client = QRect());
    void InvalidateWorld(const TRRect& r);

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
    void RaiseStatus(const TStatusTexts& t);
    void RaiseScrolled(bool h, bool v);

    std::unique_ptr<TUndoHistory> m_undo;
    TSheetViewPort* m_port = nullptr;
    QSize m_client{0, 0};
    QSize m_full{0, 0};
    QPoint m_scroll{0, 0};
    bool m_zooming = false;
    bool m_originDrag = false;
    Qt::KeyboardModifiers m_keys = Qt::NoModifier;
    Qt::MouseButtons m_buttons = Qt::NoButton;
    std::optional<TRPoint> m_crosshair;
};
