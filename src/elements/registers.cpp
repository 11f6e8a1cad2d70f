#include "elements/registers.h"

#include <QHash>
#include <QMultiHash>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>

bool IsNullTextId(const TTextId& id) {
    return std::all_of(id.begin(), id.end(), [](quint8 b) { return b == 0; });
}

namespace {
QRandomGenerator& identityGenerator() {
    static QRandomGenerator g(QRandomGenerator::system()->generate());
    return g;
}
} // namespace

void SeedIdentities(quint32 seed) { identityGenerator().seed(seed); }

quint32 IdentityRandom(quint32 bound) { return identityGenerator().bounded(bound); }

TTextId NewTextId() {
    TTextId id;
    for (quint8& b : id) b = static_cast<quint8>(IdentityRandom(256));
    id[7] = quint8((id[7] & 0x0F) | 0x40); // version 4 (high byte of the third field)
    id[8] = quint8((id[8] & 0x3F) | 0x80); // RFC 4122 variant
    return id;
}

TComponentLinks* AsComponent(TElement* e) {
    return e && e->TypeCode == etBauteil ? dynamic_cast<TComponentLinks*>(e) : nullptr;
}

TTextLinks* AsText(TElement* e) { return e ? dynamic_cast<TTextLinks*>(e) : nullptr; }

std::vector<TElement*>& ComponentRegister() {
    static std::vector<TElement*> r;
    return r;
}

std::vector<TElement*>& LoadedTextRegister() {
    static std::vector<TElement*> r;
    return r;
}

void UnregisterLoadedElements(TElement* root) {
    auto& components = ComponentRegister();
    auto& texts = LoadedTextRegister();
    if (components.empty() && texts.empty()) return;
    QSet<TElement*> doomed;
    std::vector<TElement*> scratch;
    auto collect = [&](TElement* e) { doomed.insert(e); };
    registers_detail::walk(root, collect, scratch);
    auto gone = [&](TElement* e) { return doomed.contains(e); };
    components.erase(std::remove_if(components.begin(), components.end(), gone), components.end());
    texts.erase(std::remove_if(texts.begin(), texts.end(), gone), texts.end());
}

qint32 DrawComponentId() {
    // From 1: children store 0 as their ParentId for "no parent".
    return static_cast<qint32>(1 + IdentityRandom(0x7FFFFFF7u));
}

namespace {
qint32 drawUnusedId(const QHash<qint32, int>& used) {
    for (;;) {
        const qint32 id = DrawComponentId();
        if (id > 0 && !used.contains(id)) return id;
    }
}
} // namespace

void RelinkComponents(const std::vector<TElementList*>& scope, bool libraryLoad) {
    std::vector<TComponentLinks*> registered;
    for (TElement* e : ComponentRegister())
        if (TComponentLinks* c = AsComponent(e)) registered.push_back(c);
    ComponentRegister().clear();
    if (registered.empty()) return;

    std::vector<TComponentLinks*> all;
    ForEachElementDeep(scope, [&](TElement* e) {
        if (TComponentLinks* c = AsComponent(e)) all.push_back(c);
    });
    const QSet<TComponentLinks*> inScope(all.begin(), all.end());
    QHash<qint32, int> idCount;
    for (TComponentLinks* c : all) ++idCount[c->GetComponentId()];

    // An identity another component already has is renewed; the register's children follow.
    for (TComponentLinks* c : registered) {
        const qint32 id = c->GetComponentId();
        const int others = idCount.value(id) - (inScope.contains(c) ? 1 : 0);
        if (others <= 0) continue;
        const qint32 fresh = drawUnusedId(idCount);
        if (inScope.contains(c)) --idCount[id];
        ++idCount[fresh];
        c->SetComponentId(fresh);
        for (TComponentLinks* r : registered)
            if (r->GetParentId() == id) r->SetParentId(fresh);
    }

    if (!libraryLoad)
        for (TComponentLinks* c : registered) c->RefreshLabels();

    QHash<qint32, TComponentLinks*> byId;
    QMultiHash<qint32, TComponentLinks*> childrenOf;
    auto index = [&](TComponentLinks* c) {
        if (!byId.contains(c->GetComponentId())) byId.insert(c->GetComponentId(), c);
        if (c->GetParentId() > 0) childrenOf.insert(c->GetParentId(), c);
    };
    for (TComponentLinks* c : all) index(c);
    for (TComponentLinks* c : registered)
        if (!inScope.contains(c)) index(c);

    for (TComponentLinks* c : registered) {
        if (c->GetParentId() <= 0) continue;
        TComponentLinks* parent = byId.value(c->GetParentId());
        if (!parent || parent == c) continue;
        c->LinkParent(*parent);
        parent->AddChild(*c);
    }
    // Children already in the document that name a registered component as their parent.
    for (TComponentLinks* p : registered) {
        if (p->GetComponentId() <= 0) continue;
        const auto children = childrenOf.values(p->GetComponentId());
        // values() lists the most recently inserted first; document order is the reverse.
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            if (*it == p) continue;
            (*it)->LinkParent(*p);
            p->AddChild(**it);
        }
    }

    if (!libraryLoad)
        for (TComponentLinks* c : registered) c->RefreshLabels();
}

void ConvertLegacyTextLinks(const std::vector<TElementList*>& scope) {
    std::vector<TTextLinks*> texts;
    ForEachElementDeep(scope, [&](TElement* e) {
        if (TTextLinks* t = AsText(e)) texts.push_back(t);
    });
    // The first two texts of each text: a text never links to itself.
    QHash<QString, std::pair<TTextLinks*, TTextLinks*>> firstByText;
    for (TTextLinks* t : texts) {
        auto& slot = firstByText[t->LinkMatchText()];
        if (!slot.first)
            slot.first = t;
        else if (!slot.second)
            slot.second = t;
    }
    for (TTextLinks* t : texts) {
        const QString wanted = t->LegacyLinkText();
        if (wanted.isEmpty()) continue;
        const auto it = firstByText.constFind(wanted);
        if (it != firstByText.constEnd()) {
            TTextLinks* target = it->first != t ? it->first : it->second;
            if (target) {
                t->SetLinkTarget(target->GetTextId());
                t->RefreshLink();
            }
        }
        t->ClearLegacyLinkText();
    }
}

namespace {
QByteArray idKey(const TTextId& id) {
    return QByteArray(reinterpret_cast<const char*>(id.data()), qsizetype(id.size()));
}
} // namespace

void RenewDuplicateTextIds(const std::vector<TElementList*>& scope) {
    std::vector<TTextLinks*> copied;
    for (TElement* e : LoadedTextRegister())
        if (TTextLinks* t = AsText(e)) copied.push_back(t);
    LoadedTextRegister().clear();
    if (copied.empty()) return;
    const QSet<TTextLinks*> isCopied(copied.begin(), copied.end());
    QSet<QByteArray> usedElsewhere;
    ForEachElementDeep(scope, [&](TElement* e) {
        TTextLinks* t = AsText(e);
        if (t && !isCopied.contains(t)) usedElsewhere.insert(idKey(t->GetTextId()));
    });
    QHash<QByteArray, TTextId> renewed;
    for (TTextLinks* t : copied) {
        const TTextId old = t->GetTextId();
        if (IsNullTextId(old) || !usedElsewhere.contains(idKey(old))) continue;
        TTextId fresh;
        do fresh = NewTextId();
        while (usedElsewhere.contains(idKey(fresh)));
        usedElsewhere.insert(idKey(fresh));
        renewed.insert(idKey(old), fresh);
        t->SetTextId(fresh);
    }
    if (renewed.isEmpty()) return;
    for (TTextLinks* t : copied) {
        const auto it = renewed.constFind(idKey(t->GetLinkTarget()));
        if (it != renewed.constEnd()) {
            t->SetLinkTarget(*it);
            t->RefreshLink();
        }
    }
}
