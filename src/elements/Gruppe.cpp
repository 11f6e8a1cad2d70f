#include "elements/Gruppe.h"

#include "elements/elementdump.h"
#include "elements/elementlist.h"

#include <QJsonArray>
#include <algorithm>
#include <unordered_set>

TGruppe::TGruppe() : TElement(etGruppe) {}

TGruppe::~TGruppe() = default;

TElement& TGruppe::Add(TElementPtr child) {
    child->SetFormLayer(FormLayer);
    Children.push_back(std::move(child));
    NoteElementAdopted();
    return *Children.back();
}

TElementList TGruppe::TakeChildren() {
    if (!Children.empty()) m_emptyRef = GetRefPoint();
    TElementList out = std::move(Children);
    Children.clear();
    return out;
}

void TGruppe::Done() {
    for (TElementPtr& e : Children)
        e->Done();
    Children.clear();
}

bool TGruppe::HitPoint(const TView& view, QPoint screen) const {
    return std::any_of(Children.begin(), Children.end(),
                       [&](const TElementPtr& e) { return e->HitPoint(view, screen); });
}

bool TGruppe::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    if (Children.empty()) return false;
    auto hit = [&](const TElementPtr& e) { return e->HitRect(view, rect, enclose); };
    return enclose ? std::all_of(Children.begin(), Children.end(), hit)
                   : std::any_of(Children.begin(), Children.end(), hit);
}

void TGruppe::Draw(TDrawContext& dc) {
    if (!Visible) return;
    const bool was = g_ElementSwitches.DrawingInsideGroup;
    g_ElementSwitches.DrawingInsideGroup = true;
    struct Restore {
        bool was;
        ~Restore() { g_ElementSwitches.DrawingInsideGroup = was; }
    } restore{was};
    for (TElementPtr& e : Children)
        e->Draw(dc);
}

TRRect TGruppe::GetBounds() const {
    if (Children.empty()) return {m_emptyRef.X, m_emptyRef.Y, m_emptyRef.X, m_emptyRef.Y};
    TRRect r = Children.front()->GetBounds();
    for (size_t i = 1; i < Children.size(); ++i)
        r = UnionRect(r, Children[i]->GetBounds());
    return r;
}

TIRect TGruppe::GetScreenRect(const TView& view) const {
    if (Children.empty()) return TElement::GetScreenRect(view);
    TIRect r = Children.front()->GetScreenRect(view);
    for (size_t i = 1; i < Children.size(); ++i) {
        const TIRect c = Children[i]->GetScreenRect(view);
        r = {std::min(r.Left, c.Left), std::min(r.Top, c.Top), std::max(r.Right, c.Right),
             std::max(r.Bottom, c.Bottom)};
    }
    return r;
}

void TGruppe::MoveBy(TRPoint v) {
    MovePoint(m_emptyRef, v);
    forEach([&](TElement& e) { e.MoveBy(v); });
}
void TGruppe::ScaleAt(TRPoint c, double fx, double fy) {
    ScalePoint(m_emptyRef, c, fx, fy);
    forEach([&](TElement& e) { e.ScaleAt(c, fx, fy); });
}
void TGruppe::ShearAt(TRPoint c, double sx, double sy) {
    ShearPoint(m_emptyRef, c, sx, sy);
    forEach([&](TElement& e) { e.ShearAt(c, sx, sy); });
}
void TGruppe::RotateAt(TRPoint c, double radians) {
    RotatePoint(m_emptyRef, c, radians);
    forEach([&](TElement& e) { e.RotateAt(c, radians); });
}
void TGruppe::MirrorX(TRPoint axis) {
    MirrorPointX(m_emptyRef, axis);
    forEach([&](TElement& e) { e.MirrorX(axis); });
}
void TGruppe::MirrorY(TRPoint axis) {
    MirrorPointY(m_emptyRef, axis);
    forEach([&](TElement& e) { e.MirrorY(axis); });
}

void TGruppe::SetSelected(bool on) {
    Selected = on;
    forEach([&](TElement& e) { e.SetSelected(on); });
}
void TGruppe::SetVisible(bool on) {
    Visible = on;
    forEach([&](TElement& e) { e.SetVisible(on); });
}
void TGruppe::SetFormLayer(bool on) {
    FormLayer = on;
    forEach([&](TElement& e) { e.SetFormLayer(on); });
}
void TGruppe::SetColor(qint32 color) {
    forEach([&](TElement& e) { e.SetColor(color); });
}

TRPoint TGruppe::GetRefPoint() const {
    const TElement* best = nullptr;
    TRPoint ref;
    double bx = 0, by = 0;
    for (const TElementPtr& e : Children) {
        if (e->TypeCode == etKontakt) continue;
        const TRPoint p = e->GetRefPoint();
        const double x = RoundHalfEven(p.X), y = RoundHalfEven(p.Y);
        if (!best || (x <= bx && y < by)) {
            best = e.get();
            ref = p;
            bx = x;
            by = y;
        }
    }
    if (best) return ref;
    // Only contacts (or nothing): the first child still says where the group is.
    return Children.empty() ? m_emptyRef : Children.front()->GetRefPoint();
}

bool TGruppe::SnapToPoint(const TView& view, TRPoint& p) const {
    double best = 1e9;
    bool snapped = false;
    TRPoint result = p;
    for (const TElementPtr& e : Children) {
        TRPoint q = p;
        if (!e->SnapToPoint(view, q)) continue;
        const double d = Distance(p, q);
        if (d < best) {
            best = d;
            result = q;
            snapped = true;
        }
    }
    if (snapped) p = result;
    return snapped;
}

void TGruppe::AddSnapPoints(std::vector<TRPoint*>& points) {
    forEach([&](TElement& e) { e.AddSnapPoints(points); });
}

void TGruppe::WriteSvg(TSVG& svg) const {
    for (const TElementPtr& e : Children)
        e->WriteSvg(svg);
}

void TGruppe::SaveToStream(TStreamWriter& s) const {
    WriteElementList(s, Children);
}

void TGruppe::LoadFromStream(TStreamReader& s) {
    Children.clear();
    ReadElementList(s, Children);
    // Each child read passes its layer to the group, so the last child's layer becomes the
    // group's, and so every child's.
    if (!Children.empty()) SetFormLayer(Children.back()->FormLayer);
}

void TGruppe::AppendChildren(std::vector<TElement*>& out) {
    for (TElementPtr& e : Children)
        out.push_back(e.get());
}

const TElement* TGruppe::ChildAt(size_t index) const {
    return index < Children.size() ? Children[index].get() : nullptr;
}

bool TGruppe::DumpTypeFields(QJsonObject& out) const {
    QJsonArray children;
    for (const TElementPtr& e : Children)
        children.append(DumpElement(*e));
    out.insert(QStringLiteral("Children"), children);
    return true;
}

TGruppe* GroupElements(TElementList& list, const std::vector<const TElement*>& selected,
                       bool formLayer) {
    const std::unordered_set<const TElement*> chosen(selected.begin(), selected.end());
    auto group = std::make_unique<TGruppe>();
    group->SetFormLayer(formLayer);
    size_t at = 0;
    for (size_t i = 0; i < list.size();) {
        TElement* e = list[i].get();
        const bool take = !e->IsLabel && chosen.count(e);
        if (!take) {
            ++i;
            continue;
        }
        group->Children.push_back(std::move(list[i]));
        list.erase(list.begin() + std::ptrdiff_t(i));
        at = i; // where the last taken element stood, counted in the shortened list
    }
    if (group->Children.empty()) return nullptr;
    TGruppe* g = group.get();
    list.insert(list.begin() + std::ptrdiff_t(at), std::move(group));
    return g;
}
