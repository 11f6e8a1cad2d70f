#pragma once

// The component placeholders of the expansion ("<BEZ>", "<WERT>", "<Z1>", "<COLNUM>",
// "<PARENT_...>", "<CHILD...>"): what a text shows of the component it belongs to.

#include <QString>

class TDocument;
class TText;
struct TTextLocation;

// Replaces the component placeholders of a text that lies in a component's body (at any depth)
// or is one of its labels; placeholders whose value is unknown stay as typed.
void ExpandComponentPlaceholders(QString& text, const TText& t, const TDocument& doc,
                                 const TTextLocation& where);

// Puts the step above into the placeholder expansion (the document layer does this once).
void InstallComponentPlaceholders();
