#pragma once

// Groups: an ordered list of owned child elements that acts as one element. Groups are the result
// of the group command, the body of every component and the container of inserted tables.

#include "elements/element.h"

class TGruppe : public TElement {
public:
    TGruppe();
    ~TGruppe() override;

    // The children in drawing order. The group owns them; code that adds or removes children
    // directly keeps the layer rule in mind (the group's FormLayer is the children's).
    TElementList Children;

    int ChildCount() const { return int(Children.size()); }
    TElement& Child(int index) const { return *Children.at(size_t(index)); }
    // Appends a child; it takes the group's layer.
    TElement& Add(TElementPtr child);
    // Hands the children over (ungrouping); the group stays empty where its first child was.
    TElementList TakeChildren();

    // 0: Done and frees every child.
    void Done() override;
    bool HitPoint(const TView& view, QPoint screen) const override;
    // Children draw as parts of a group: without editor markers.
    void Draw(TDrawContext& dc) override;
    void MoveBy(TRPoint v) override;
    // The union of the children's bounds; an empty group is an empty rectangle at its reference
    // point.
    TRRect GetBounds() const override;
    TIRect GetScreenRect(const TView& view) const override;
    void ScaleAt(TRPoint c, double fx, double fy) override;
    void ShearAt(TRPoint c, double sx, double sy) override;
    void RotateAt(TRPoint c, double radians) override;
    void MirrorX(TRPoint axis) override;
    void MirrorY(TRPoint axis) override;
    // No common header: the child list only.
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    void SetSelected(bool on) override;
    void SetVisible(bool on) override;
    // The top-left-most reference point of the children that are no contacts: the first one's,
    // replaced by any later one with a rounded x not greater and a rounded y smaller.
    TRPoint GetRefPoint() const override;
    void SetFormLayer(bool on) override;
    void SetColor(qint32 color) override;
    // Every child is asked; the result nearest to the input wins.
    bool SnapToPoint(const TView& view, TRPoint& p) const override;
    void AddSnapPoints(std::vector<TRPoint*>& points) override;
    void WriteSvg(TSVG& svg) const override;
    // Enclose: every child inside; touch: any child touching.
    bool HitRect(const TView& view, const TIRect& rect, bool enclose) const override;

    void AppendChildren(std::vector<TElement*>& out) override;
    const TElement* ChildAt(size_t index) const override;
    bool DumpTypeFields(QJsonObject& out) const override;

private:
    template <class F> void forEach(F f) {
        for (TElementPtr& e : Children)
            f(*e);
    }
    TRPoint m_emptyRef; // where an empty group is; follows the transforms
};

// The group command: a new group on the given layer takes every selected element that is not a
// component-label stand-in (IsLabel), in list order, and stands in the list where the last of
// them stood. None when nothing was taken.
TGruppe* GroupElements(TElementList& list, const std::vector<const TElement*>& selected,
                       bool formLayer);
