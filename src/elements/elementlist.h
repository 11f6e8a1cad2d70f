#pragma once

#include "elements/element.h"

class TStreamReader;
class TStreamWriter;

// Element lists are stored as an int32 count minus one (-1 for none), then per element its type
// byte and its record. Sheets, groups and components read and write their lists through these.

// Reads a list and appends it to `list`, applying the clean-up of old files to each element
// read. Components are entered into the component register; with registerTexts (the sheet's own
// list) texts of type 3 are entered into the loaded-text register. Throws LoadError on an unknown
// type code, on any error of an element's reader, and when lists nest too deep.
void ReadElementList(TStreamReader& s, TElementList& list, bool registerTexts = false);

// Writes the list; with a filter only the elements it accepts (counted as written).
void WriteElementList(TStreamWriter& s, const TElementList& list,
                      bool (*filter)(const TElement&) = nullptr);
// One list entry: the type byte and the record.
void WriteElement(TStreamWriter& s, const TElement& e);

// Deepest nesting of lists (groups in groups, component bodies) a reader accepts.
constexpr int kMaxListNesting = 200;
