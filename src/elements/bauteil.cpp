#include "elements/bauteil.h"

#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/MyD2D.h"
#include "elements/elementdump.h"
#include "elements/text.h"
#include "elements/textsettings.h"
#include "platform/stream.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>
#include <algorithm>
#include <unordered_set>

namespace {
std::unique_ptr<TText> NewLabel(const TTextStyle& style, bool designator) {
    auto t = std::make_unique<TText>();
    t->IsDesignator = designator;
    t->IsValue = !designator;
    t->ApplyTextStyle(style);
    t->SourceText.clear();
    t->ShownText.clear();
    t->Measure();
    t->PlaceAt({0, 0});
    return t;
}

// Scoped switch: the parts of a component draw as parts of a group.
struct TInsideGroup {
    bool was = g_ElementSwitches.DrawingInsideGroup;
    TInsideGroup() { g_ElementSwitches.DrawingInsideGroup = true; }
    ~TInsideGroup() { g_ElementSwitches.DrawingInsideGroup = was; }
};

void CollectContacts(const TElementList& list, std::vector<TKontakt*>& out) {
    for (const TElementPtr& e : list) {
        if (e->TypeCode == etKontakt)
            out.push_back(static_cast<TKontakt*>(e.get()));
        else if (e->TypeCode == etGruppe)
            CollectContacts(static_cast<const TGruppe&>(*e).Children, out);
    }
}
std::unordered_set<const TBauteil*>& LiveComponents() {
    static std::unordered_set<const TBauteil*> live;
    return live;
}
} // namespace

bool IsLiveComponent(const TBauteil* c) {
    return c && LiveComponents().count(c) > 0;
}

std::vector<TKontakt*> FindContacts(const TElementList& list) {
    std::vector<TKontakt*> out;
    CollectContacts(list, out);
    return out;
}

TBauteil::TBauteil()
    : TElement(etBauteil), Body(std::make_unique<TGruppe>()),
      DesignatorLabel(NewLabel(g_TextSettings.TextBez, true)),
      ValueLabel(NewLabel(g_TextSettings.TextWert, false)), ComponentId(DrawComponentId()) {
    LiveComponents().insert(this);
    SetDesignatorNumber(0);
}

TBauteil::~TBauteil() {
    LiveComponents().erase(this);
    detachParent();
    for (TBauteil* child : Children) {
        child->Parent = nullptr;
        child->setContactParents(nullptr);
    }
    Children.clear();
}

template <class F> void TBauteil::forParts(F f) const {
    f(static_cast<TElement&>(*Body));
    f(static_cast<TElement&>(*DesignatorLabel));
    f(static_cast<TElement&>(*ValueLabel));
}

// ------------------------------------------------------------------------- numbering, parents

void TBauteil::SetDesignatorNumber(qint32 n) {
    DesignatorNumber = n;
    if (AutoNum) {
        TText& label = *DesignatorLabel;
        label.SetTextAndFormat(Designator + QString::number(n), label.Font, label.Alignment,
                               label.Font.Height);
    }
    if (IsParent)
        for (TBauteil* child : Children)
            child->RefreshLabels();
}

void TBauteil::setContactParents(TBauteil* parent) {
    for (TKontakt* k : FindContacts(Body->Children))
        k->m_parent = parent;
}

void TBauteil::detachParent() {
    if (!Parent) return;
    auto& siblings = Parent->Children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    Parent = nullptr;
    setContactParents(nullptr);
}

void TBauteil::SetParent(TBauteil* parent) {
    if (parent == this) return;
    if (Parent != parent) {
        detachParent();
        Parent = parent;
        if (parent && parent->ChildIndex(this) < 0) parent->Children.push_back(this);
    }
    ParentId = parent ? parent->ComponentId : 0;
    setContactParents(parent);
}

int TBauteil::ChildIndex(const TBauteil* child) const {
    const auto it = std::find(Children.begin(), Children.end(), child);
    return it == Children.end() ? -1 : int(it - Children.begin());
}

QString TBauteil::ShownDesignator() const {
    return DesignatorLabel->ShownText;
}
QString TBauteil::ShownValue() const {
    return ValueLabel->ShownText;
}

std::vector<TKontakt*> TBauteil::Contacts() const {
    return FindContacts(Body->Children);
}

void TBauteil::RefreshLabels() {
    DesignatorLabel->RefreshShownText();
    ValueLabel->RefreshShownText();
}

void TBauteil::LinkParent(TComponentLinks& parent) {
    if (auto* p = dynamic_cast<TBauteil*>(&parent)) SetParent(p);
}

void TBauteil::AddChild(TComponentLinks& child) {
    // A child is always linked both ways, so that freeing either side leaves nothing dangling.
    auto* c = dynamic_cast<TBauteil*>(&child);
    if (c && c != this && c->Parent != this) c->SetParent(this);
}

bool TBauteil::BodyIsEmpty() const {
    return Body->Children.empty();
}

// ---------------------------------------------------------------------------------- operations

void TBauteil::Done() {
    detachParent();
    for (TBauteil* child : Children) {
        child->Parent = nullptr;
        child->setContactParents(nullptr);
    }
    Children.clear();
    Body->Done();
    DesignatorLabel->Done();
    ValueLabel->Done();
}

bool TBauteil::HitPoint(const TView& view, QPoint screen) const {
    return Body->HitPoint(view, screen) ||
           (DesignatorVisible && DesignatorLabel->HitPoint(view, screen)) ||
           (ValueVisible && ValueLabel->HitPoint(view, screen));
}

bool TBauteil::HitRect(const TView& view, const TIRect& rect, bool enclose) const {
    return Body->HitRect(view, rect, enclose) ||
           (DesignatorVisible && DesignatorLabel->HitRect(view, rect, enclose)) ||
           (ValueVisible && ValueLabel->HitRect(view, rect, enclose));
}

void TBauteil::Draw(TDrawContext& dc) {
    if (!Visible) return;
    const bool inGroup = g_ElementSwitches.DrawingInsideGroup;
    Body->Draw(dc);
    bool changed = false;
    {
        TInsideGroup scope;
        for (auto [label, visible] : {std::pair{DesignatorLabel.get(), DesignatorVisible},
                                      std::pair{ValueLabel.get(), ValueVisible}}) {
            if (!visible) continue;
            const QString before = label->ShownText;
            label->Draw(dc);
            changed |= label->ShownText != before;
        }
    }
    if (changed && IsParent)
        for (TBauteil* child : Children)
            child->RefreshLabels();
    if (g_ElementSwitches.NodeEditing && !inGroup && !FixedSymbol) {
        // The grid cross: where the component snaps to the grid.
        const TRPoint a = GetGridAnchor();
        const QPointF c = dc.Map({a.X + AnchorOffset.X, a.Y + AnchorOffset.Y});
        const double h = std::clamp(6.0 * dc.View.ZoomX, 3.0, 30.0);
        QPainter& p = dc.Painter;
        const QPen old = p.pen();
        p.setPen(QPen(ToQColor(clMarker), dc.AntiAliased ? 1.5 : 2));
        p.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
        p.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
        p.setPen(old);
    }
}

TRRect TBauteil::GetBounds() const {
    bool have = !Body->Children.empty();
    TRRect r = Body->GetBounds();
    for (auto [label, visible] : {std::pair{DesignatorLabel.get(), DesignatorVisible},
                                  std::pair{ValueLabel.get(), ValueVisible}}) {
        if (!visible || label->ShownText.isEmpty()) continue;
        r = have ? UnionRect(r, label->GetBounds()) : label->GetBounds();
        have = true;
    }
    return r;
}

void TBauteil::MoveBy(TRPoint v) {
    forParts([&](TElement& e) { e.MoveBy(v); });
}
void TBauteil::ScaleAt(TRPoint c, double fx, double fy) {
    forParts([&](TElement& e) { e.ScaleAt(c, fx, fy); });
}
void TBauteil::ShearAt(TRPoint c, double sx, double sy) {
    forParts([&](TElement& e) { e.ShearAt(c, sx, sy); });
}
void TBauteil::RotateAt(TRPoint c, double radians) {
    forParts([&](TElement& e) { e.RotateAt(c, radians); });
}
void TBauteil::MirrorX(TRPoint axis) {
    forParts([&](TElement& e) { e.MirrorX(axis); });
}
void TBauteil::MirrorY(TRPoint axis) {
    forParts([&](TElement& e) { e.MirrorY(axis); });
}

void TBauteil::SetSelected(bool on) {
    Selected = on;
    forParts([&](TElement& e) { e.SetSelected(on); });
}
void TBauteil::SetVisible(bool on) {
    Visible = on;
    forParts([&](TElement& e) { e.SetVisible(on); });
}
void TBauteil::SetFormLayer(bool on) {
    FormLayer = on;
    forParts([&](TElement& e) { e.SetFormLayer(on); });
}
void TBauteil::SetColor(qint32 color) {
    forParts([&](TElement& e) { e.SetColor(color); });
}

TRPoint TBauteil::GetRefPoint() const {
    return Body->GetRefPoint();
}

bool TBauteil::SnapToPoint(const TView& view, TRPoint& p) const {
    bool snapped;
    {
        const bool was = g_ElementSwitches.SnapEndPointsOnly;
        if (!FixedSymbol) g_ElementSwitches.SnapEndPointsOnly = true;
        snapped = Body->SnapToPoint(view, p);
        g_ElementSwitches.SnapEndPointsOnly = was;
    }
    if (!snapped && DesignatorVisible) snapped = DesignatorLabel->SnapToPoint(view, p);
    if (!snapped && ValueVisible) snapped = ValueLabel->SnapToPoint(view, p);
    return snapped;
}

void TBauteil::AddSnapPoints(std::vector<TRPoint*>& points) {
    Body->AddSnapPoints(points);
}

void TBauteil::WriteSvg(TSVG& svg) const {
    Body->WriteSvg(svg);
    if (DesignatorVisible) DesignatorLabel->WriteSvg(svg);
    if (ValueVisible) ValueLabel->WriteSvg(svg);
}

void TBauteil::AppendChildren(std::vector<TElement*>& out) {
    out.push_back(Body.get());
    out.push_back(DesignatorLabel.get());
    out.push_back(ValueLabel.get());
}

const TElement* TBauteil::ChildAt(size_t index) const {
    switch (index) {
    case 0:
        return Body.get();
    case 1:
        return DesignatorLabel.get();
    case 2:
        return ValueLabel.get();
    default:
        return nullptr;
    }
}

// ------------------------------------------------------------------------------------- records

void TBauteil::SaveToStream(TStreamWriter& s) const {
    Body->SaveToStream(s);
    DesignatorLabel->SaveToStream(s);
    ValueLabel->SaveToStream(s);
    s.WriteBool(AutoNum);
    s.WriteBool(AskOnInsert);
    s.WriteBool(ValueVisible);
    s.WriteBool(DesignatorVisible);
    s.WriteString(LibraryCaption);
    s.WriteString(Designator);
    s.WriteI32(DesignatorNumber);
    s.WriteF32(AnchorOffset.X);
    s.WriteF32(AnchorOffset.Y);
    s.WriteI32(EditGrid);
    s.WriteBool(InPartsList);
    for (const QString& t : ExtraText)
        s.WriteString(t);
    s.WriteBool(IsParent);
    s.WriteI32(ComponentId);
    s.WriteI32(ParentId);
    s.WriteBool(FixedSymbol);
}

void TBauteil::LoadFromStream(TStreamReader& s) {
    const int v = FileVersion;
    detachParent();
    Body->LoadFromStream(s);
    DesignatorLabel->LoadFromStream(s);
    ValueLabel->LoadFromStream(s);
    AutoNum = s.ReadBool();
    AskOnInsert = s.ReadBool();
    ValueVisible = s.ReadBool();
    DesignatorVisible = s.ReadBool();
    auto text = [&]() { return v >= 80 ? s.ReadString() : ReadCountedShortString(s); };
    LibraryCaption = text();
    Designator = text();
    DesignatorNumber = s.ReadI32();
    AnchorOffset.X = s.ReadF32();
    AnchorOffset.Y = s.ReadF32();
    EditGrid = s.ReadI32();
    InPartsList = s.ReadBool();
    ExtraText = {};
    if (v >= 80) {
        for (QString& t : ExtraText)
            t = s.ReadString();
    } else if (v >= 50) {
        ExtraText[0] = ReadCountedShortString(s);
    }
    if (v < 60) {
        // Old anchors were whole units measured from the body's top-left-most point.
        AnchorOffset = {float(RoundHalfEven(AnchorOffset.X)), float(RoundHalfEven(AnchorOffset.Y))};
        const TRPoint ref = GetRefPoint();
        TRPoint topLeft = ref;
        for (const TElementPtr& e : Body->Children) {
            if (e->TypeCode == etKontakt) continue;
            const TRPoint p = e->GetRefPoint();
            topLeft = {std::min(topLeft.X, p.X), std::min(topLeft.Y, p.Y)};
        }
        AnchorOffset.X -= float(RoundHalfEven(double(ref.X) - topLeft.X));
        AnchorOffset.Y -= float(RoundHalfEven(double(ref.Y) - topLeft.Y));
    }
    // Files before identities get random ones.
    ComponentId = DrawComponentId();
    IsParent = false;
    ParentId = 0;
    if (v >= 70) {
        IsParent = s.ReadBool();
        ComponentId = s.ReadI32();
        ParentId = s.ReadI32();
        // 0 names no component (children store it for "no parent"), so it is no identity.
        if (ComponentId <= 0) ComponentId = DrawComponentId();
    }
    FixedSymbol = v >= 80 ? s.ReadBool() : false;
    SetDesignatorNumber(DesignatorNumber);
    SetFormLayer(DesignatorLabel->FormLayer);
}

bool TBauteil::DumpTypeFields(QJsonObject& o) const {
    o.insert(QStringLiteral("Body"), DumpElement(*Body));
    o.insert(QStringLiteral("DesignatorLabel"), DumpElement(*DesignatorLabel));
    o.insert(QStringLiteral("ValueLabel"), DumpElement(*ValueLabel));
    o.insert(QStringLiteral("AutoNum"), AutoNum);
    o.insert(QStringLiteral("AskOnInsert"), AskOnInsert);
    o.insert(QStringLiteral("ValueVisible"), ValueVisible);
    o.insert(QStringLiteral("DesignatorVisible"), DesignatorVisible);
    o.insert(QStringLiteral("LibraryCaption"), LibraryCaption);
    o.insert(QStringLiteral("Designator"), Designator);
    o.insert(QStringLiteral("DesignatorNumber"), DesignatorNumber);
    o.insert(QStringLiteral("AnchorOffset"), DumpPoint(AnchorOffset));
    o.insert(QStringLiteral("EditGrid"), EditGrid);
    o.insert(QStringLiteral("InPartsList"), InPartsList);
    QJsonArray extra;
    for (const QString& t : ExtraText)
        extra.append(t);
    o.insert(QStringLiteral("ExtraText"), extra);
    o.insert(QStringLiteral("IsParent"), IsParent);
    o.insert(QStringLiteral("ComponentId"), ComponentId);
    o.insert(QStringLiteral("ParentId"), ParentId);
    o.insert(QStringLiteral("FixedSymbol"), FixedSymbol);
    // The run-time links the loader made.
    o.insert(QStringLiteral("LinkedParent"),
             Parent ? QJsonValue(Parent->ComponentId) : QJsonValue());
    QJsonArray children;
    for (const TBauteil* c : Children)
        children.append(c->ComponentId);
    o.insert(QStringLiteral("LinkedChildren"), children);
    return true;
}
