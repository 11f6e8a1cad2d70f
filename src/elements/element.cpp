#include "elements/element.h"

#include "platform/stream.h"

#include <QPainterPath>
#include <cmath>

TElementSwitches g_ElementSwitches;
int FileVersion = kCurrentFileVersion;

quint64 g_ElementLifeStamp = 0;
int g_ElementLifeStampPaused = 0;

TElement::TElement(quint8 typeCode) : TypeCode(typeCode) {
    if (!g_ElementLifeStampPaused) ++g_ElementLifeStamp;
}

TElement::~TElement() {
    if (!g_ElementLifeStampPaused) ++g_ElementLifeStamp;
}

void TElement::AddOutline(const TView&, QPainterPath&) const {}

TIRect TElement::GetScreenRect(const TView& view) const {
    return view.RepaintRect(GetBounds()).Inflated(2);
}

TIRect TElement::GetGripScreenRect(const TView& view) const { return GetScreenRect(view); }

void TElement::SetColor(qint32 color) {
    if (LineColor != clWhite) LineColor = color;
    if (FillColor != clWhite) FillColor = color;
}

void TElement::SaveToStream(TStreamWriter& s) const { SaveHeader(s); }

void TElement::SaveHeader(TStreamWriter& s, quint8 penStyle) const {
    s.WriteBool(NoLine);
    s.WriteBool(NoFill);
    s.WriteI32(LineWidth);
    s.WriteI32(LineColor);
    s.WriteU8(penStyle);
    s.WriteRaw(Reserved1, 3);
    s.WriteI32(FillColor);
    s.WriteU8(FillStyle);
    s.WriteRaw(Reserved2, 3);
    s.WriteBool(FormLayer);
}

void TElement::LoadHeader(TStreamReader& s) {
    NoLine = s.ReadBool();
    NoFill = s.ReadBool();
    LineWidth = s.ReadI32();
    LineColor = s.ReadI32();
    PenStyle = s.ReadU8();
    s.ReadRaw(Reserved1, 3);
    FillColor = s.ReadI32();
    FillStyle = s.ReadU8();
    s.ReadRaw(Reserved2, 3);
    if (LineColor < 0) LineColor = 0;
    if (FillColor < 0) FillColor = 0;
    SetFormLayer(s.ReadBool());
    // A closed shape with neither outline nor fill would be invisible.
    if ((TypeCode == etKreis || TypeCode == etRechteck || TypeCode == etPolygon) && NoLine && NoFill) {
        NoLine = false;
        LineWidth = 0;
        LineColor = 0;
        PenStyle = 0;
    }
}
