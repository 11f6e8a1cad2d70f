#include "elements/Bezier.h"
#include "elements/Kreis.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/polygon.h"

// Every element type that exists is created here from its stored code.
TElementPtr ElementFactory(quint8 code) {
    switch (code & 127) {
    case etLinie:
        return std::make_unique<TLinie>();
    case etKreis:
        return std::make_unique<TKreis>();
    case etRechteck:
        return std::make_unique<TRechteck>();
    case etPolyLine:
        return std::make_unique<TPolyLine>();
    case etPolygon:
        return std::make_unique<TPolygon>();
    case etBezier:
        return std::make_unique<TBezier>();
    default:
        return nullptr;
    }
}
