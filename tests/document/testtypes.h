#pragma once

// Element types of the tests' own, put in front of the factory while a test runs: a plain shape
// under the unassigned code 13, a component under code 7 and a text under code 3. Their records
// are simple but are read through the same list rules as the real types.

#include "elements/element.h"
#include "elements/factory_hook.h"
#include "elements/registers.h"

#include <QByteArray>
#include <QString>

constexpr quint8 kTestShapeCode = 13;

class TTestShape : public TElement {
public:
    explicit TTestShape(quint8 code = kTestShapeCode) : TElement(code) {}
    qint32 Value = 0;
    QByteArray Payload;

    bool HitPoint(const TView&, QPoint) const override { return false; }
    void Draw(TDrawContext&) override {}
    void MoveBy(TRPoint) override {}
    TRRect GetBounds() const override { return {}; }
    void ScaleAt(TRPoint, double, double) override {}
    void ShearAt(TRPoint, double, double) override {}
    void RotateAt(TRPoint, double) override {}
    void MirrorX(TRPoint) override {}
    void MirrorY(TRPoint) override {}
    TRPoint GetRefPoint() const override { return {}; }
    bool HitRect(const TView&, const TIRect&, bool) const override { return false; }
    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    bool DumpTypeFields(QJsonObject& out) const override;
};

// Record: ComponentId, ParentId, then the body as an element list.
class TTestComponent : public TTestShape, public TComponentLinks {
public:
    TTestComponent();
    qint32 ComponentId = 0;
    qint32 ParentId = 0;
    TComponentLinks* Parent = nullptr;
    std::vector<TComponentLinks*> Children;
    TElementList Body;
    int LabelRefreshes = 0;

    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    bool DumpTypeFields(QJsonObject&) const override { return false; }
    void AppendChildren(std::vector<TElement*>& out) override;
    const TElement* ChildAt(size_t index) const override {
        return index < Body.size() ? Body[index].get() : nullptr;
    }

    qint32 GetComponentId() const override { return ComponentId; }
    void SetComponentId(qint32 id) override { ComponentId = id; }
    qint32 GetParentId() const override { return ParentId; }
    void SetParentId(qint32 id) override { ParentId = id; }
    void LinkParent(TComponentLinks& parent) override;
    void AddChild(TComponentLinks& child) override;
    void RefreshLabels() override { ++LabelRefreshes; }
    bool BodyIsEmpty() const override { return Body.empty(); }
};

// Record: header, text, identity, link target; before version 80 also the target's text.
class TTestText : public TTestShape, public TTextLinks {
public:
    TTestText();
    QString Text;
    TTextId Id{};
    TTextId LinkTarget{};
    QString LegacyTarget;
    int LinkRefreshes = 0;

    void SaveToStream(TStreamWriter& s) const override;
    void LoadFromStream(TStreamReader& s) override;
    bool DumpTypeFields(QJsonObject&) const override { return false; }

    TTextId GetTextId() const override { return Id; }
    void SetTextId(const TTextId& id) override { Id = id; }
    TTextId GetLinkTarget() const override { return LinkTarget; }
    void SetLinkTarget(const TTextId& id) override { LinkTarget = id; }
    QString LegacyLinkText() const override { return LegacyTarget; }
    void ClearLegacyLinkText() override { LegacyTarget.clear(); }
    QString LinkMatchText() const override { return Text; }
    void RefreshLink() override { ++LinkRefreshes; }
};

TElementPtr TestElementFactory(quint8 code);

// Installs the test types for the lifetime of the object.
class TTestTypes : public TScopedElementFactoryHook {
public:
    TTestTypes() : TScopedElementFactoryHook(TestElementFactory) {}
};

TTextId TestId(quint8 seed);
