#include "elements/Bezier.h"
#include "elements/Polyline.h"

// Every element type that exists is created here from its stored code.
TElementPtr ElementFactory(quint8 code) {
    switch (code & 127) {
    case etLinie:
        return std::make_unique<TLinie>();
    case etPolyLine:
        return std::make_unique<TPolyLine>();
    case etBezier:
        return std::make_unique<TBezier>();
    default:
        return nullptr;
    }
}
