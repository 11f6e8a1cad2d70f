#pragma once

#include "elements/element.h"

#include <QString>
#include <array>
#include <vector>

// What loading needs of a component (TBauteil implements it): its identity, its parent's
// identity and the run-time links between them.
class TComponentLinks {
public:
    virtual qint32 GetComponentId() const = 0;
    virtual void SetComponentId(qint32 id) = 0;
    virtual qint32 GetParentId() const = 0;
    // Changes the stored parent identity only (renumbering while loading).
    virtual void SetParentId(qint32 id) = 0;
    // Links the component to its parent (the component's SetParent).
    virtual void LinkParent(TComponentLinks& parent) = 0;
    // Enters a child into the child list unless it is there already.
    virtual void AddChild(TComponentLinks& child) = 0;
    virtual void RefreshLabels() = 0;
    // True when the body group holds no element; such components are dropped while loading.
    virtual bool BodyIsEmpty() const = 0;

protected:
    ~TComponentLinks() = default;
};

// The 16 stored bytes of a text identity; all zero means none.
using TTextId = std::array<quint8, 16>;
bool IsNullTextId(const TTextId& id);
// A new random (version 4) GUID in the stored layout.
TTextId NewTextId();

// Text GUIDs, component identifiers and picture identifiers all come from one generator, seeded
// from the system at start; a fixed seed makes generated documents reproducible.
void SeedIdentities(quint32 seed);
quint32 IdentityRandom(quint32 bound);

// What loading and copying need of a text element (TText implements it).
class TTextLinks {
public:
    virtual TTextId GetTextId() const = 0;
    virtual void SetTextId(const TTextId& id) = 0;
    virtual TTextId GetLinkTarget() const = 0;
    virtual void SetLinkTarget(const TTextId& id) = 0;
    // Link target given by the target's text, as files before version 80 store it.
    virtual QString LegacyLinkText() const = 0;
    virtual void ClearLegacyLinkText() = 0;
    // The text a legacy link target text is compared with.
    virtual QString LinkMatchText() const = 0;
    // Rebuilds what depends on the link state (tag frame, layout).
    virtual void RefreshLink() = 0;

protected:
    ~TTextLinks() = default;
};

// The interfaces of an element, or none when its type does not carry them.
TComponentLinks* AsComponent(TElement* e);
TTextLinks* AsText(TElement* e);

// Components read during the current load, in reading order. Empty outside a load: the loader
// empties it after re-linking and when the load fails.
std::vector<TElement*>& ComponentRegister();
// Top-level texts (type 3) of the sheets read by the current load; sheet copies and pastes renew
// their identities from it.
std::vector<TElement*>& LoadedTextRegister();
// Forgets register entries that point into elements about to be freed.
void UnregisterLoadedElements(TElement* root);

// Every element of the lists and everything nested in them, depth first in stored order.
template <typename F> void ForEachElementDeep(const std::vector<TElementList*>& lists, F&& f);

// A random component identity in 1 .. 0x7FFFFFF7 (0 is the ParentId of "no parent").
qint32 DrawComponentId();

// Re-links the components of the register against every component of the scope (the document's
// sheets, or the library page): identities already taken elsewhere are renewed, with the
// register's children following; then parents and children are linked. Labels are refreshed
// around the linking unless it is a library load. Empties the register.
void RelinkComponents(const std::vector<TElementList*>& scope, bool libraryLoad);

// Files before version 80 name a text's link target by the target's text: each such text links
// to the first other text of the scope with that text; the legacy text is cleared either way.
void ConvertLegacyTextLinks(const std::vector<TElementList*>& scope);

// After a sheet copy: each registered text whose identity is used by a text outside the register
// gets a new one, and links among the registered texts follow the new identities.
void RenewDuplicateTextIds(const std::vector<TElementList*>& scope);

// ---------------------------------------------------------------------------------------------

namespace registers_detail {
template <typename F> void walk(TElement* e, F& f, std::vector<TElement*>& scratch) {
    f(e);
    const size_t start = scratch.size();
    e->AppendChildren(scratch);
    const size_t end = scratch.size();
    for (size_t i = start; i < end; ++i) walk(scratch[i], f, scratch);
    scratch.resize(start);
}
} // namespace registers_detail

template <typename F> void ForEachElementDeep(const std::vector<TElementList*>& lists, F&& f) {
    std::vector<TElement*> scratch;
    for (TElementList* list : lists)
        for (const auto& e : *list) registers_detail::walk(e.get(), f, scratch);
}
