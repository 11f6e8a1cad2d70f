#pragma once

// The field dump of `kavro-cli dump`, here so that containers (groups, components, dimensions)
// dump their owned elements through the same routine.

#include <QJsonObject>
#include <QString>

class TElement;
struct TRPoint;

// JSON of an element: its class, its stored header (for types that have one) and its own fields
// (DumpTypeFields), or its record bytes when the type has no field dump.
QJsonObject DumpElement(const TElement& e);

// Small helpers for the types' field dumps.
QJsonValue DumpPoint(const TRPoint& p);
