#pragma once

#include "elements/geometry.h"

#include <QtGlobal>
#include <memory>
#include <vector>

class QJsonObject;
class QPainterPath;
class TDrawContext;
class TStreamReader;
class TStreamWriter;
class TSVG;

// Stored type codes; the factory dispatches on the low 7 bits.
enum TElementType : quint8 {
    etLinie = 0,
    etKreis = 1,
    etRechteck = 2,
    etText = 3,
    etPolyLine = 4,
    etPolygon = 5,
    etGruppe = 6,
    etBauteil = 7,
    etLoetpunkt = 8,
    etPixelBitmap = 9,
    etTextRect = 10,
    etKontakt = 11,
    etBezier = 12,
    etBemassung = 14,
};

// Colours are 0x00BBGGRR in signed 32-bit fields.
constexpr qint32 clBlack = 0x000000;
constexpr qint32 clWhite = 0xFFFFFF;
constexpr qint32 clRed = 0x0000FF;

// The common base of every element: the stored header and the thirty operations, in the order
// the rest of the program knows them. Lists own their elements through std::unique_ptr; the
// destructor releases everything the element owns.
class TElement {
public:
    explicit TElement(quint8 typeCode);
    virtual ~TElement();
    TElement(const TElement&) = delete;
    TElement& operator=(const TElement&) = delete;

    // Header, in declaration order.
    bool NoLine = false;
    bool NoFill = true;
    qint32 LineWidth = 2; // 1/10 mm; 0 is the thinnest line
    qint32 LineColor = clBlack;
    quint8 PenStyle = 0; // dash style 0..7; junction dots keep their diameter here while stored
    quint8 Reserved1[3] = {0, 0, 0};
    qint32 FillColor = clWhite;
    quint8 FillStyle = 0; // 0 solid, 2..7 hatches; 1 is never set
    quint8 Reserved2[3] = {0, 0, 0};
    const quint8 TypeCode;
    bool IsLabel = false;
    bool Marked = false;   // scratch mark of parts-list and numbering passes; not stored
    bool Selected = false; // not stored
    bool Visible = true;   // not stored
    bool FormLayer = false;
    bool TwoColor = false;
    qint32 LineColor2 = clRed;
    qint32 ShapePenStyle = 0;
    bool InnerStripe = false;
    bool CrossStripes = false;
    qint32 InnerStripeColor = 0;
    qint32 CrossStripeColor = 0;
    qint32 HatchWidth = 0;
    qint32 HatchDistance = 0;

    // 0
    virtual void Done() {}
    // 1
    virtual bool HitPoint(const TView& view, QPoint screen) const = 0;
    // 2: draws nothing while Visible is false
    virtual void Draw(TDrawContext& dc) = 0;
    // 3: outline path in device coordinates of the view's pixel mode
    virtual void AddOutline(const TView& view, QPainterPath& path) const;
    // 4
    virtual void MoveBy(TRPoint v) = 0;
    // 5: normalised, widened by half the line width and by line ends
    virtual TRRect GetBounds() const = 0;
    // 6
    virtual TIRect GetGripScreenRect(const TView& view) const;
    // 7: GetBounds on the screen, floored/ceiled, inflated by 2 pixels
    virtual TIRect GetScreenRect(const TView& view) const;
    // 8: the editor moves a grip by writing through the pointer
    virtual void AddGrips(std::vector<TRPoint*>& grips) {}
    // 9
    virtual void ScaleAt(TRPoint c, double fx, double fy) = 0;
    // 10
    virtual void ShearAt(TRPoint c, double sx, double sy) = 0;
    // 11: recompute derived values after grips were moved
    virtual void GripsChanged() {}
    // 12: positive angles turn clockwise on the screen
    virtual void RotateAt(TRPoint c, double radians) = 0;
    // 13
    virtual void MirrorX(TRPoint axis) = 0;
    // 14
    virtual void MirrorY(TRPoint axis) = 0;
    // 15: writes the record, common header first
    virtual void SaveToStream(TStreamWriter& s) const;
    // 16
    virtual void LoadFromStream(TStreamReader& s) = 0;
    // 17
    virtual void SetSelected(bool on) { Selected = on; }
    // 18
    virtual void SetVisible(bool on) { Visible = on; }
    // 19
    virtual TRPoint GetRefPoint() const = 0;
    // 20
    virtual TRPoint GetGridAnchor() const { return GetRefPoint(); }
    // 21
    virtual void SetFormLayer(bool on) { FormLayer = on; }
    // 22: outline and fill take the colour unless they are exactly white
    virtual void SetColor(qint32 color);
    // 23: copy the drawing tool's current style
    virtual void ApplyCurrentStyle() {}
    // 24: restore the factory style
    virtual void ResetStyle() {}
    // 25: moves the point onto a nearby characteristic point
    virtual bool SnapToPoint(const TView& view, TRPoint& p) const { return false; }
    // 26
    virtual void AddSnapPoints(std::vector<TRPoint*>& points) {}
    // 27: index of the segment under the point, -1 for none
    virtual int SegmentAt(const TView& view, QPoint screen) const { return -1; }
    // 28
    virtual void WriteSvg(TSVG& svg) const {}
    // 29: with enclose the element must lie wholly inside, else touching suffices
    virtual bool HitRect(const TView& view, const TIRect& rect, bool enclose) const = 0;

    // Beyond the thirty operations:
    // The elements this one owns (group children, component body and labels) in stored order,
    // so walks over a whole document (re-linking, search, placeholders) reach nested elements.
    virtual void AppendChildren(std::vector<TElement*>& out) {}
    // The child at a position of that order, or none past the last: lets a cache of where an
    // element sits check each step of its path in constant time.
    virtual const TElement* ChildAt(size_t index) const { return nullptr; }
    // Writes the stored fields after the common header under their design names for
    // `kavro-cli dump`; false when the type has none of its own to show (the dump then shows
    // the record bytes).
    virtual bool DumpTypeFields(QJsonObject& out) const { return false; }

protected:
    // The 23-byte stored header every record except the group record starts with.
    void SaveHeader(TStreamWriter& s) const { SaveHeader(s, PenStyle); }
    // The same with another byte in the PenStyle slot (junction dots store their diameter there).
    void SaveHeader(TStreamWriter& s, quint8 penStyle) const;
    void LoadHeader(TStreamReader& s);
};

using TElementPtr = std::unique_ptr<TElement>;
using TElementList = std::vector<TElementPtr>;

// Creates the empty element of a stored type code (low 7 bits); none for 13 and 15..127.
TElementPtr ElementFactory(quint8 code);
// Class name of a type code ("TPolyLine"); empty for codes without a type.
const char* ElementClassName(quint8 code);

// Process-wide switches, set and reset around single calls.
struct TElementSwitches {
    bool DrawingInsideGroup = false; // a group is drawing its children
    bool SnapEndPointsOnly = false;  // a component is being snapped: lines offer their ends only
    bool SuspendElementSnap = false; // the editor suspends snapping to elements
    bool DragTextsOnly = false;
    bool NodeEditing = false;
    bool LoadingMark = false;
};
extern TElementSwitches g_ElementSwitches;

// Counts every creation and destruction of an element, and every adoption of an existing element
// into a group (TGruppe::Add), so caches that name elements by address (the placeholder locator)
// know when an address may have been reused or an element may have entered a nested list. Text
// boxes pause it while they rebuild their own line texts, which no such cache names.
extern quint64 g_ElementLifeStamp;
extern int g_ElementLifeStampPaused;
// Code that moves an existing element into a nested list by other means says so.
inline void NoteElementAdopted() {
    if (!g_ElementLifeStampPaused) ++g_ElementLifeStamp;
}
class TElementLifeStampPause {
public:
    TElementLifeStampPause() { ++g_ElementLifeStampPaused; }
    ~TElementLifeStampPause() { --g_ElementLifeStampPaused; }
    TElementLifeStampPause(const TElementLifeStampPause&) = delete;
    TElementLifeStampPause& operator=(const TElementLifeStampPause&) = delete;
};

// Version of the file or stream being read; 80 otherwise.
extern int FileVersion;
constexpr int kCurrentFileVersion = 80;

// Sets FileVersion for the lifetime of the object and restores it afterwards.
class TFileVersionScope {
public:
    explicit TFileVersionScope(int version) : m_saved(FileVersion) { FileVersion = version; }
    ~TFileVersionScope() { FileVersion = m_saved; }
    TFileVersionScope(const TFileVersionScope&) = delete;
    TFileVersionScope& operator=(const TFileVersionScope&) = delete;

private:
    int m_saved;
};
