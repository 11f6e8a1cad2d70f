#include "elements/Bemassung.h"
#include "elements/Bezier.h"
#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/Kreis.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/Rechteck.h"
#include "elements/bauteil.h"
#include "elements/TextRect.h"
#include "elements/factory_hook.h"
#include "elements/lpunkt.h"
#include "elements/polygon.h"

namespace {
TElementFactoryHook g_hook = nullptr;
}

TElementFactoryHook SetElementFactoryHook(TElementFactoryHook hook) {
    TElementFactoryHook previous = g_hook;
    g_hook = hook;
    return previous;
}

// Every element type that exists is created here from its stored code.
TElementPtr ElementFactory(quint8 code) {
    if (g_hook)
        if (TElementPtr e = g_hook(code & 127)) return e;
    switch (code & 127) {
    case etLinie:
        return std::make_unique<TLinie>();
    case etKreis:
        return std::make_unique<TKreis>();
    case etRechteck:
        return std::make_unique<TRechteck>();
    case etText:
        return std::make_unique<TText>();
    case etPolyLine:
        return std::make_unique<TPolyLine>();
    case etPolygon:
        return std::make_unique<TPolygon>();
    case etGruppe:
        return std::make_unique<TGruppe>();
    case etBauteil:
        return std::make_unique<TBauteil>();
    case etLoetpunkt:
        return std::make_unique<TLoetpunkt>();
    case etPixelBitmap:
        return std::make_unique<TPixelBitmap>();
    case etTextRect:
        return std::make_unique<TTextRect>();
    case etKontakt:
        return std::make_unique<TKontakt>();
    case etBezier:
        return std::make_unique<TBezier>();
    case etBemassung:
        return std::make_unique<TBemassung>();
    default:
        return nullptr;
    }
}

const char* ElementClassName(quint8 code) {
    switch (code & 127) {
    case etLinie: return "TLinie";
    case etKreis: return "TKreis";
    case etRechteck: return "TRechteck";
    case etText: return "TText";
    case etPolyLine: return "TPolyLine";
    case etPolygon: return "TPolygon";
    case etGruppe: return "TGruppe";
    case etBauteil: return "TBauteil";
    case etLoetpunkt: return "TLoetpunkt";
    case etPixelBitmap: return "TPixelBitmap";
    case etTextRect: return "TTextRect";
    case etKontakt: return "TKontakt";
    case etBezier: return "TBezier";
    case etBemassung: return "TBemassung";
    default: return "";
    }
}
