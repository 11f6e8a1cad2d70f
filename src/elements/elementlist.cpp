#include "elements/elementlist.h"

#include "elements/Kreis.h"
#include "elements/Polyline.h"
#include "elements/polygon.h"
#include "elements/registers.h"
#include "platform/stream.h"

namespace {
int g_nesting = 0;

class TNestingGuard {
public:
    explicit TNestingGuard(TStreamReader& s) {
        if (++g_nesting > kMaxListNesting) {
            --g_nesting;
            s.Fail(QStringLiteral("element lists nested too deep"));
        }
    }
    ~TNestingGuard() { --g_nesting; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;
};

// Old files hold elements the program no longer keeps: legacy lines become polylines, and shapes
// too degenerate to draw are dropped. Returns the element to keep, or none.
TElementPtr CleanUpLoaded(TElementPtr e) {
    switch (e->TypeCode) {
    case etLinie:
        if (auto* line = dynamic_cast<TLinie*>(e.get())) return ConvertLegacyLine(*line);
        return e;
    case etKreis:
        if (auto* k = dynamic_cast<TKreis*>(e.get()); k && !k->HasOutline()) return nullptr;
        return e;
    case etPolyLine:
        if (auto* p = dynamic_cast<TPolyLine*>(e.get()); p && p->PointCount() < 2) return nullptr;
        return e;
    case etPolygon:
        if (auto* p = dynamic_cast<TPolygon*>(e.get()); p && p->PointCount() < TPolygon::kMinPoints)
            return nullptr;
        return e;
    default:
        return e;
    }
}
} // namespace

void ReadElementList(TStreamReader& s, TElementList& list, bool registerTexts) {
    TNestingGuard guard(s);
    const qint32 countMinusOne = s.ReadI32();
    if (countMinusOne < 0) return;
    const qint64 count = qint64(countMinusOne) + 1;
    // Every element takes at least its type byte and a 4-byte record.
    s.CheckCount(count, 5, "element list");
    // Nested lists each see the whole remainder, so the reservation stays modest.
    list.reserve(list.size() + size_t(qMin<qint64>(count, 1 << 16)));
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = s.Pos();
        const quint8 code = s.ReadU8();
        TElementPtr made = ElementFactory(code);
        if (!made) throw LoadError(QStringLiteral("unknown element type %1").arg(code), at);
        // The element joins the list before it reads itself, so a reader that fails leaves it
        // owned by the list.
        list.push_back(std::move(made));
        TElement* e = list.back().get();
        if (e->TypeCode == etBauteil) ComponentRegister().push_back(e);
        e->LoadFromStream(s);
        TElementPtr kept = CleanUpLoaded(std::move(list.back()));
        if (!kept) {
            list.pop_back();
            continue;
        }
        list.back() = std::move(kept);
        if (registerTexts && list.back()->TypeCode == etText)
            LoadedTextRegister().push_back(list.back().get());
    }
}

void WriteElement(TStreamWriter& s, const TElement& e) {
    s.WriteU8(e.TypeCode);
    e.SaveToStream(s);
}

void WriteElementList(TStreamWriter& s, const TElementList& list,
                      bool (*filter)(const TElement&)) {
    qint64 count = 0;
    if (filter) {
        for (const auto& e : list)
            if (filter(*e)) ++count;
    } else {
        count = qint64(list.size());
    }
    s.WriteI32(static_cast<qint32>(count - 1));
    for (const auto& e : list)
        if (!filter || filter(*e)) WriteElement(s, *e);
}
