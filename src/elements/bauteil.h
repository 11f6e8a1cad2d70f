#pragma once

// Components: a library symbol (a body group) with its designator and value labels, the data of
// numbering and parts lists, and the identities that tie a child component (a relay contact) to
// its parent (the coil).

#include "elements/element.h"
#include "elements/registers.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

class TGruppe;
class TKontakt;
class TText;

class TBauteil : public TElement, public TComponentLinks {
public:
    // An empty body, two empty labels (designator and value presets), a fresh identity.
    TBauteil();
    // Leaves its parent's child list and lets its children go (they keep their ParentId).
    ~TBauteil() override;

    qint32 DesignatorNumber = 0; // appended to Designator with AutoNum; -1 while unnumbered
    TBauteil* Parent = nullptr;  // run time only
    // Owned parts; never null.
    std::unique_ptr<TGruppe> Body;
    std::unique_ptr<TText> DesignatorLabel; // IsDesignator
    std::unique_ptr<TText> ValueLabel;      // IsValue
    bool AutoNum = false;
    bool AskOnInsert = false;
    bool ValueVisible = true;
    bool DesignatorVisible = true;
    QString LibraryCaption;
    QString Designator; // with AutoNum the prefix (R) to which the number is appended
    std::array<QString, 4> ExtraText;
    TRPoint AnchorOffset; // added to the grid anchor when the component is aligned
    qint32 EditGrid = 10;
    bool InPartsList = true;
    bool LibraryPlacing = false; // handled by the library view; not stored
    bool FixedSymbol = false;
    bool IsParent = false;
    std::vector<TBauteil*> Children; // run time only, in the order they were linked
    qint32 ComponentId = 0;          // 1 .. 0x7FFFFFF7
    qint32 ParentId = 0;             // ComponentId of the parent; 0 without parent

    // Stores n; with AutoNum the designator label shows Designator followed by n, laid out in the
    // label's font, alignment and height. A parent refreshes its children's labels.
    void SetDesignatorNumber(qint32 n);
    // Links to a parent (none: no parent): the component, its contacts (nested in groups too)
    // and the parent's child list follow; ParentId becomes the parent's ComponentId (0 for none).
    void SetParent(TBauteil* parent);
    // The shown designator and value (placeholders expanded).
    QString ShownDesignator() const;
    QString ShownValue() const;
    // Every contact of the body, nested groups included, depth first.
    std::vector<TKontakt*> Contacts() const;
    // The child's position in Children (0-based), -1 when it is none of them.
    int ChildIndex(const TBauteil* child) const;
    // Both labels laid out again (placeholders of parents and pages).
    void RefreshLabels() override;

    // TComponentLinks.
    qint32 GetComponentId() const override { return ComponentId; }
    void SetComponentId(qint32 id) override { ComponentId = id; }
    qint32 GetParentId() const override { return ParentId; }
    void SetParentId(qint32 id) override { ParentId = id; }
    void LinkParent(TComponentLinks& parent) override;
    void AddChild(TComponentLinks& child) override;
    bool BodyIsEmpty() const override;

    void Done() override;
    bool HitPoint(const TView& view, QPoint screen) const override;
    void Draw(TDrawContext& dc) override;
    void MoveBy(TRPoint v) override;
    TRRect GetBounds() const override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    // No common header: body, both labels, then the component's own fields.
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    void SetSelected(bool on) override;
    void SetVisible(bool on) override;
    TRPoint GetRefPoint() const override;
    void SetFormLayer(bool on) override;
    void SetColor(qint32 color) override;
    // Unless FixedSymbol, only the ends of the body's lines: body, then the visible labels.
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    // Body, then the visible designator and value labels.
    void WriteSvg(TSVG& svg) const override;
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

    void AppendChildren(std::vector<TElement*>& out) override;
    const TElement* ChildAt(size_t index) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    // Forgets the parent link at run time; the stored ParentId stays.
    void detachParent();
    void setContactParents(TBauteil* parent);
    template <class F> void forParts(F f) const;
};

// True while a component exists at that address (run-time references check it).
bool IsLiveComponent(const TBauteil* c);

// Every contact of a list and of the groups nested in it, depth first in list order.
std::vector<TKontakt*> FindContacts(const TElementList& list);
