// The stored fields of each element type under their design names, for `kavro-cli dump`.
#include "elements/Kreis.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/polygon.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonArray point(TRPoint p) { return QJsonArray{double(p.X), double(p.Y)}; }

template <typename List> QJsonArray points(const List& list) {
    QJsonArray a;
    for (const TRPoint& p : list) a.append(point(p));
    return a;
}

void twoColor(QJsonObject& o, const TElement& e) {
    o.insert(QStringLiteral("TwoColor"), e.TwoColor);
    o.insert(QStringLiteral("LineColor2"), e.LineColor2);
}

void stripes(QJsonObject& o, const TElement& e) {
    o.insert(QStringLiteral("InnerStripe"), e.InnerStripe);
    o.insert(QStringLiteral("CrossStripes"), e.CrossStripes);
    o.insert(QStringLiteral("InnerStripeColor"), e.InnerStripeColor);
    o.insert(QStringLiteral("CrossStripeColor"), e.CrossStripeColor);
}

void shapeFields(QJsonObject& o, const TElement& e) {
    twoColor(o, e);
    o.insert(QStringLiteral("ShapePenStyle"), e.ShapePenStyle);
}

void hatch(QJsonObject& o, const TElement& e) {
    o.insert(QStringLiteral("HatchWidth"), e.HatchWidth);
    o.insert(QStringLiteral("HatchDistance"), e.HatchDistance);
}

} // namespace

bool TLineBase::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Points"), points(Points));
    twoColor(o, *this);
    o.insert(QStringLiteral("StartEnd"), StartEnd);
    o.insert(QStringLiteral("FinishEnd"), FinishEnd);
    o.insert(QStringLiteral("EndSize"), EndSize);
    stripes(o, *this);
    return true;
}

bool TKreis::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Outline"), points(Outline));
    o.insert(QStringLiteral("Center"), point(Center));
    o.insert(QStringLiteral("StartAngle"), double(StartAngle));
    o.insert(QStringLiteral("StopAngle"), double(StopAngle));
    shapeFields(o, *this);
    o.insert(QStringLiteral("ArcStyle"), ArcStyle);
    stripes(o, *this);
    hatch(o, *this);
    return true;
}

bool TRechteck::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Corners"), points(Corners));
    o.insert(QStringLiteral("RoundGrip"), point(RoundGrip));
    shapeFields(o, *this);
    o.insert(QStringLiteral("CornerStyle"), CornerStyle);
    stripes(o, *this);
    hatch(o, *this);
    return true;
}

bool TPolygon::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Points"), points(Points));
    shapeFields(o, *this);
    stripes(o, *this);
    hatch(o, *this);
    return true;
}
