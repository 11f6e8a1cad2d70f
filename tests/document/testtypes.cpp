#include "testtypes.h"

#include "elements/elementlist.h"
#include "platform/stream.h"

#include <QJsonObject>
#include <algorithm>

void TTestShape::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    s.WriteI32(Value);
    s.WriteI32(qint32(Payload.size()));
    s.WriteBytes(Payload);
}

void TTestShape::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    Value = s.ReadI32();
    const qint32 n = s.ReadI32();
    s.CheckCount(n, 1, "payload");
    Payload = s.ReadBytes(n);
}

bool TTestShape::DumpTypeFields(QJsonObject& out) const {
    out.insert(QStringLiteral("Value"), Value);
    out.insert(QStringLiteral("Payload"), QString::fromLatin1(Payload.toHex()));
    return true;
}

TTestComponent::TTestComponent() : TTestShape(etBauteil) {}

void TTestComponent::SaveToStream(TStreamWriter& s) const {
    s.WriteI32(ComponentId);
    s.WriteI32(ParentId);
    WriteElementList(s, Body);
}

void TTestComponent::LoadFromStream(TStreamReader& s) {
    ComponentId = s.ReadI32();
    ParentId = s.ReadI32();
    ReadElementList(s, Body);
}

void TTestComponent::AppendChildren(std::vector<TElement*>& out) {
    for (const auto& e : Body) out.push_back(e.get());
}

void TTestComponent::LinkParent(TComponentLinks& parent) {
    Parent = &parent;
    ParentId = parent.GetComponentId();
}

void TTestComponent::AddChild(TComponentLinks& child) {
    if (std::find(Children.begin(), Children.end(), &child) == Children.end())
        Children.push_back(&child);
}

TTestText::TTestText() : TTestShape(etText) {}

void TTestText::SaveToStream(TStreamWriter& s) const {
    SaveHeader(s);
    s.WriteString(Text);
    s.WriteRaw(Id.data(), 16);
    s.WriteRaw(LinkTarget.data(), 16);
}

void TTestText::LoadFromStream(TStreamReader& s) {
    LoadHeader(s);
    Text = s.ReadString();
    s.ReadRaw(Id.data(), 16);
    s.ReadRaw(LinkTarget.data(), 16);
    if (FileVersion < 80) LegacyTarget = s.ReadString();
}

TElementPtr TestElementFactory(quint8 code) {
    switch (code) {
    case kTestShapeCode: return std::make_unique<TTestShape>();
    case etBauteil: return std::make_unique<TTestComponent>();
    case etText: return std::make_unique<TTestText>();
    default: return nullptr;
    }
}

TTextId TestId(quint8 seed) {
    TTextId id{};
    id.fill(seed);
    return id;
}
