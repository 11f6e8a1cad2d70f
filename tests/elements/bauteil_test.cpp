#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/MyD2D.h"
#include "elements/Polyline.h"
#include "elements/SVG_Export.h"
#include "elements/bauteil.h"
#include "elements/elementdump.h"
#include "elements/lpunkt.h"
#include "elements/text.h"
#include "platform/cp1252.h"
#include "shape_test_util.h"

#include <QImage>
#include <QJsonArray>
#include <QPainter>

namespace {
std::unique_ptr<TPolyLine> Line(std::initializer_list<TRPoint> pts) {
    auto p = std::make_unique<TPolyLine>();
    p->ResetStyle();
    p->Points = pts;
    return p;
}

std::unique_ptr<TKontakt> Contact(const QString& text, const QString& name) {
    auto k = std::make_unique<TKontakt>();
    k->SetSourceText(text);
    k->ContactName = name;
    return k;
}

// A resistor-like symbol: a box of lines from (0, 0) to (100, 40) with labels above it.
std::unique_ptr<TBauteil> Resistor(const QString& designator = QStringLiteral("R1"),
                                   const QString& value = QStringLiteral("4k7")) {
    auto c = std::make_unique<TBauteil>();
    c->Body->Add(Line({{0, 20}, {20, 20}, {20, 0}, {80, 0}, {80, 40}, {20, 40}, {20, 20}}));
    c->Body->Add(Line({{80, 20}, {100, 20}}));
    c->DesignatorLabel->SetSourceText(designator);
    c->DesignatorLabel->PlaceAt({20, -60});
    c->ValueLabel->SetSourceText(value);
    c->ValueLabel->PlaceAt({20, 50});
    return c;
}

void CountedShort(TStreamWriter& w, const QString& s) {
    const QByteArray b = s.toLatin1();
    w.WriteI32(qint32(b.size()));
    w.WriteU8(quint8(b.size()));
    w.WriteBytes(b);
}

// A text record as versions 62 to 79 stored it.
void OldText(TStreamWriter& w, int version, const QString& text, bool designator) {
    WriteShapeHeader(w);
    for (TRPoint p : {TRPoint{0, 0}, TRPoint{40, 0}, TRPoint{40, 24}, TRPoint{0, 24}})
        WritePoint(w, p.X, p.Y);
    CountedShort(w, text);
    CountedShort(w, QStringLiteral("Arial"));
    w.WriteU8(0);
    w.WriteI32(0);
    w.WriteI32(24);
    if (version >= 70)
        w.WriteI32(0);
    else
        w.WriteU8(0);
    w.WriteBool(false);  // released link target
    CountedShort(w, {}); // link target by text
    if (version >= 70) CountedShort(w, {});
    if (designator) CountedShort(w, text);
}

// A component record as versions 62 to 79 stored it.
QByteArray OldComponent(int version, qint32 id, qint32 parent) {
    return Bytes([&](TStreamWriter& w) {
        w.WriteI32(0); // body: one line
        w.WriteU8(etPolyLine);
        WriteShapeHeader(w);
        w.WriteI32(1);
        WritePoint(w, 0, 0);
        WritePoint(w, 30, 0);
        w.WriteI32(255);
        w.WriteBool(false);
        if (version >= 60) {
            w.WriteU8(0);
            w.WriteU8(0);
            w.WriteI32(2);
        }
        OldText(w, version, QStringLiteral("K1"), true);
        OldText(w, version, QStringLiteral("24V"), false);
        w.WriteBool(false);
        w.WriteBool(true);
        w.WriteBool(true);
        w.WriteBool(true);
        CountedShort(w, QStringLiteral("Relais"));
        CountedShort(w, QStringLiteral("K"));
        w.WriteI32(1);
        w.WriteF32(2.5f);
        w.WriteF32(-1);
        w.WriteI32(10);
        w.WriteBool(true);
        CountedShort(w, QStringLiteral("Finder 40.52"));
        if (version >= 70) {
            w.WriteBool(true);
            w.WriteI32(id);
            w.WriteI32(parent);
        }
    });
}

qint32 At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

int Inked(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (At(img, x, y) != clWhite) ++n;
    return n;
}

QImage Render(TElement& e, int w = 200, int h = 200, TRPoint shift = {50, 100}) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    TView view;
    view.OffsetX = shift.X;
    view.OffsetY = shift.Y;
    TDrawContext dc(p, view, true);
    e.Draw(dc);
    p.end();
    return img;
}
} // namespace

TEST(Bauteil, NewComponentHasEmptyPartsAndAnIdentity) {
    TBauteil c;
    EXPECT_EQ(c.Body->ChildCount(), 0);
    EXPECT_TRUE(c.DesignatorLabel->IsDesignator);
    EXPECT_TRUE(c.ValueLabel->IsValue);
    EXPECT_TRUE(c.DesignatorLabel->SourceText.isEmpty());
    EXPECT_TRUE(c.ValueLabel->SourceText.isEmpty());
    EXPECT_EQ(c.EditGrid, 10);
    EXPECT_EQ(c.DesignatorNumber, 0);
    EXPECT_TRUE(c.ValueVisible && c.DesignatorVisible && c.InPartsList);
    EXPECT_FALSE(c.AutoNum || c.AskOnInsert || c.FixedSymbol || c.IsParent);
    EXPECT_EQ(c.ParentId, 0);
    EXPECT_EQ(c.Parent, nullptr);
    EXPECT_GE(c.ComponentId, 1);
    EXPECT_LE(c.ComponentId, 0x7FFFFFF7);
    EXPECT_TRUE(c.BodyIsEmpty());
    for (int i = 0; i < 2000; ++i)
        ASSERT_GE(DrawComponentId(), 1) << "0 would read as no parent";
}

TEST(Bauteil, AutomaticNumberingWritesTheDesignator) {
    auto c = Resistor(QStringLiteral("old"));
    c->AutoNum = true;
    c->Designator = QStringLiteral("R");
    c->SetDesignatorNumber(12);
    EXPECT_EQ(c->DesignatorLabel->SourceText, QStringLiteral("R12"));
    EXPECT_EQ(c->ShownDesignator(), QStringLiteral("R12"));
    const TRPoint c0 = c->DesignatorLabel->Corners[0];
    c->SetDesignatorNumber(7);
    EXPECT_EQ(c->ShownDesignator(), QStringLiteral("R7"));
    EXPECT_EQ(c->DesignatorLabel->Corners[0], c0) << "left-aligned labels keep their place";
    c->AutoNum = false;
    c->SetDesignatorNumber(8);
    EXPECT_EQ(c->ShownDesignator(), QStringLiteral("R7")) << "without AutoNum the label stays";
    EXPECT_EQ(c->DesignatorNumber, 8);
}

TEST(Bauteil, HiddenDesignatorIsNeitherDrawnNorHitButStored) {
    auto c = Resistor(QStringLiteral("R99"));
    const TView view;
    const TRRect label = c->DesignatorLabel->GetBounds();
    const QPoint inLabel(int((label.Left + label.Right) / 2), int((label.Top + label.Bottom) / 2));
    ASSERT_TRUE(c->HitPoint(view, inLabel));
    const QRect area(int(label.Left) + 50, int(label.Top) + 100, int(label.Width()),
                     int(label.Height()));
    EXPECT_GT(Inked(Render(*c), area), 0);
    const TRRect before = c->GetBounds();

    c->DesignatorVisible = false;
    EXPECT_FALSE(c->HitPoint(view, inLabel));
    EXPECT_FALSE(c->HitRect(view, view.HitRectOf(label), false));
    EXPECT_EQ(Inked(Render(*c), area), 0);
    EXPECT_GT(c->GetBounds().Top, before.Top) << "bounds leave the hidden label out";
    std::unique_ptr<TBauteil> back = LoadRecord<TBauteil>(SaveRecord(*c));
    EXPECT_EQ(back->DesignatorLabel->SourceText, QStringLiteral("R99"));
    EXPECT_FALSE(back->DesignatorVisible);
}

TEST(Bauteil, RecordRoundTripsWithEveryField) {
    auto c = Resistor();
    c->AutoNum = true;
    c->Designator = QStringLiteral("R");
    c->SetDesignatorNumber(5);
    c->AskOnInsert = true;
    c->ValueVisible = false;
    c->LibraryCaption = QStringLiteral("Widerstand ½ W");
    c->ExtraText = {QStringLiteral("a"), QStringLiteral("b"), QString(), QStringLiteral("d")};
    c->AnchorOffset = {2.5f, -3};
    c->EditGrid = 25;
    c->InPartsList = false;
    c->FixedSymbol = true;
    c->IsParent = true;
    c->ComponentId = 4711;
    c->ParentId = 42;
    c->Body->Add(Contact(QStringLiteral("Motor"), QStringLiteral("13")));
    const QByteArray saved = SaveRecord(*c);
    std::unique_ptr<TBauteil> back = LoadRecord<TBauteil>(saved);
    EXPECT_EQ(SaveRecord(*back).toHex(), saved.toHex());
    EXPECT_EQ(back->ShownDesignator(), QStringLiteral("R5"));
    EXPECT_EQ(back->LibraryCaption, c->LibraryCaption);
    EXPECT_EQ(back->ExtraText, c->ExtraText);
    EXPECT_EQ(back->AnchorOffset, (TRPoint{2.5f, -3}));
    EXPECT_EQ(back->ComponentId, 4711);
    EXPECT_EQ(back->ParentId, 42);
    EXPECT_TRUE(back->FixedSymbol && back->IsParent && back->AskOnInsert);
    EXPECT_FALSE(back->ValueVisible || back->InPartsList);
    ASSERT_EQ(back->Contacts().size(), 1u);
    EXPECT_EQ(back->Contacts()[0]->ContactName, QStringLiteral("13"));
    // The record ends with the identities and the fixed-symbol flag.
    EXPECT_EQ(saved.right(10).toHex(), QByteArray("01"
                                                  "67120000"
                                                  "2a000000"
                                                  "01"));

    // The component takes the designator label's layer.
    c->DesignatorLabel->SetFormLayer(true);
    EXPECT_TRUE(LoadRecord<TBauteil>(SaveRecord(*c))->FormLayer);
    EXPECT_TRUE(LoadRecord<TBauteil>(SaveRecord(*c))->Body->Child(0).FormLayer);
}

TEST(Bauteil, OlderRecordsReadByTheirRules) {
    struct Case {
        const char* name;
        int version;
        bool freshId;
    } cases[] = {
        {"65: no identities stored", 65, true},
        {"79: identities and one extra text", 79, false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TBauteil> a =
            LoadRecord<TBauteil>(OldComponent(c.version, 123, 77), c.version);
        std::unique_ptr<TBauteil> b =
            LoadRecord<TBauteil>(OldComponent(c.version, 123, 77), c.version);
        EXPECT_EQ(a->ShownDesignator(), QStringLiteral("K1")) << c.name;
        EXPECT_EQ(a->ShownValue(), QStringLiteral("24V")) << c.name;
        EXPECT_EQ(a->Designator, QStringLiteral("K")) << c.name;
        EXPECT_EQ(a->LibraryCaption, QStringLiteral("Relais")) << c.name;
        EXPECT_EQ(a->ExtraText[0], QStringLiteral("Finder 40.52")) << c.name;
        EXPECT_TRUE(a->ExtraText[1].isEmpty() && a->ExtraText[2].isEmpty() &&
                    a->ExtraText[3].isEmpty())
            << c.name;
        EXPECT_FALSE(a->FixedSymbol) << c.name;
        EXPECT_EQ(a->AnchorOffset, (TRPoint{2.5f, -1})) << c.name;
        if (c.freshId) {
            EXPECT_GE(a->ComponentId, 1) << c.name;
            EXPECT_NE(a->ComponentId, b->ComponentId) << c.name << ": drawn at random";
            EXPECT_EQ(a->ParentId, 0) << c.name;
            EXPECT_FALSE(a->IsParent) << c.name;
        } else {
            EXPECT_EQ(a->ComponentId, 123) << c.name;
            EXPECT_EQ(a->ParentId, 77) << c.name;
            EXPECT_TRUE(a->IsParent) << c.name;
        }
    }
    // A stored identity of 0 would make its children parentless: it is renewed.
    QByteArray zero = OldComponent(79, 0, 0);
    EXPECT_GE(LoadRecord<TBauteil>(zero, 79)->ComponentId, 1);
}

TEST(Bauteil, OldAnchorsAreMeasuredFromTheBodysTopLeft) {
    // Body reference points (10, 20) and (5, 30): the body's reference point stays (10, 20),
    // its top-left-most point is (5, 20). A version 59 record with an anchor of (3.4, 7.6):
    const QByteArray v59 = Bytes([&](TStreamWriter& w) {
        w.WriteI32(1);
        for (TRPoint a : {TRPoint{10, 20}, TRPoint{5, 30}}) {
            w.WriteU8(etPolyLine);
            WriteShapeHeader(w);
            w.WriteI32(1);
            WritePoint(w, a.X, a.Y);
            WritePoint(w, 40, a.Y);
            w.WriteI32(255); // version 50 .. 59: the two-colour fields, no line ends
            w.WriteBool(false);
        }
        for (int i = 0; i < 2; ++i) { // texts before version 60
            WriteShapeHeader(w);
            w.WriteF32(0);
            w.WriteF32(0);
            CountedShort(w, QStringLiteral("X"));
            w.WriteI32(0);
            w.WriteU8(5);
            w.WriteRaw("Arial", 5);
            w.WriteZeros(15);
            w.WriteU8(0);
            w.WriteI32(0);
            w.WriteI32(24);
            w.WriteU8(0);
        }
        for (int i = 0; i < 4; ++i)
            w.WriteBool(true);
        CountedShort(w, {});
        CountedShort(w, {});
        w.WriteI32(0);
        w.WriteF32(3.4f);
        w.WriteF32(7.6f);
        w.WriteI32(10);
        w.WriteBool(true);
        CountedShort(w, {});
    });
    std::unique_ptr<TBauteil> back = LoadRecord<TBauteil>(v59, 59);
    EXPECT_EQ(back->GetRefPoint(), (TRPoint{10, 20}));
    EXPECT_EQ(back->AnchorOffset, (TRPoint{-2, 8})) << "(3, 8) less (10 - 5, 20 - 20)";
}

TEST(Bauteil, SnapsToLineEndsUnlessTheSymbolIsFixed) {
    struct Case {
        const char* name;
        bool fixed;
        TRPoint probe;
        bool snaps;
        TRPoint expected;
    } cases[] = {
        {"a line end", false, {101, 21}, true, {100, 20}},
        {"a middle vertex is no connection", false, {79, 1}, false, {79, 1}},
        {"fixed symbol: middle vertices too", true, {79, 1}, true, {80, 0}},
    };
    const TView view;
    for (const Case& c : cases) {
        auto r = Resistor();
        r->FixedSymbol = c.fixed;
        TRPoint p = c.probe;
        EXPECT_EQ(r->SnapToPoint(view, p), c.snaps) << c.name;
        EXPECT_EQ(p, c.expected) << c.name;
        EXPECT_FALSE(g_ElementSwitches.SnapEndPointsOnly) << c.name << ": switch restored";
    }
}

TEST(Bauteil, ParentLinksStayValidWhicheverSideGoesFirst) {
    auto coil = Resistor(QStringLiteral("K1"));
    coil->IsParent = true;
    auto contact = Resistor(QStringLiteral("K1.1"));
    auto nested = std::make_unique<TGruppe>();
    nested->Add(Contact(QStringLiteral("Motor"), QStringLiteral("13")));
    TKontakt* k = static_cast<TKontakt*>(&nested->Child(0));
    contact->Body->Add(std::move(nested));

    contact->SetParent(coil.get());
    EXPECT_EQ(contact->Parent, coil.get());
    EXPECT_EQ(contact->ParentId, coil->ComponentId);
    EXPECT_EQ(k->ParentComponent(), coil.get()) << "contacts in nested groups know the parent";
    ASSERT_EQ(coil->Children.size(), 1u);
    EXPECT_EQ(coil->ChildIndex(contact.get()), 0);
    contact->SetParent(coil.get());
    EXPECT_EQ(coil->Children.size(), 1u) << "no second entry";

    const qint32 id = coil->ComponentId;
    coil.reset();
    EXPECT_EQ(contact->Parent, nullptr);
    EXPECT_EQ(k->ParentComponent(), nullptr);
    EXPECT_EQ(contact->ParentId, id) << "the stored identity stays for a later re-link";

    auto coil2 = Resistor(QStringLiteral("K2"));
    auto second = Resistor(QStringLiteral("K2.1"));
    coil2->AddChild(*second);
    EXPECT_EQ(second->Parent, coil2.get()) << "a child is always linked both ways";
    second.reset();
    EXPECT_TRUE(coil2->Children.empty());
    // Moving a child to another parent leaves the first parent's list.
    auto a = Resistor(), b = Resistor(), child = Resistor();
    child->SetParent(a.get());
    child->SetParent(b.get());
    EXPECT_TRUE(a->Children.empty());
    EXPECT_EQ(b->Children.size(), 1u);
    child->SetParent(nullptr);
    EXPECT_EQ(child->ParentId, 0);
    EXPECT_TRUE(b->Children.empty());
    child->SetParent(child.get());
    EXPECT_EQ(child->Parent, nullptr) << "no component is its own parent";

    // A contact taken out of the body before the parent goes does not point at it afterwards.
    auto relay = Resistor(QStringLiteral("K3"));
    auto holder = Resistor(QStringLiteral("K3.1"));
    holder->Body->Add(Contact(QStringLiteral("x"), QStringLiteral("11")));
    holder->SetParent(relay.get());
    TElementPtr loose = std::move(holder->Body->Children.back());
    holder->Body->Children.pop_back();
    auto* looseContact = static_cast<TKontakt*>(loose.get());
    EXPECT_EQ(looseContact->ParentComponent(), relay.get());
    relay.reset();
    EXPECT_EQ(looseContact->ParentComponent(), nullptr);
}

TEST(Bauteil, OperationsReachBodyAndLabels) {
    auto c = Resistor();
    const TRPoint d0 = c->DesignatorLabel->Corners[0];
    c->MoveBy({10, 5});
    EXPECT_EQ(static_cast<TPolyLine&>(c->Body->Child(0)).Points[0], (TRPoint{10, 25}));
    EXPECT_EQ(c->DesignatorLabel->Corners[0], (TRPoint{d0.X + 10, d0.Y + 5}));
    EXPECT_EQ(c->GetRefPoint(), (TRPoint{10, 25})) << "the body's reference point";
    c->SetColor(0x0000FF);
    EXPECT_EQ(static_cast<TPolyLine&>(c->Body->Child(1)).LineColor, 0x0000FF);
    EXPECT_EQ(c->ValueLabel->Font.Color, 0x0000FF);
    c->SetSelected(true);
    c->SetFormLayer(true);
    EXPECT_TRUE(c->Body->Child(0).Selected && c->DesignatorLabel->Selected &&
                c->ValueLabel->Selected);
    EXPECT_TRUE(c->Body->FormLayer && c->ValueLabel->FormLayer && c->FormLayer);
    std::vector<TElement*> parts;
    c->AppendChildren(parts);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], c->Body.get());
    EXPECT_EQ(parts[1], c->DesignatorLabel.get());

    // Bounds: an empty body gives way to the labels; empty labels count for nothing.
    TBauteil empty;
    empty.DesignatorLabel->SetSourceText(QStringLiteral("X1"));
    empty.DesignatorLabel->PlaceAt({500, 500});
    EXPECT_EQ(empty.GetBounds(), empty.DesignatorLabel->GetBounds());

    // SVG: body first, then the visible labels.
    TSVG all, noValue;
    c->WriteSvg(all);
    c->ValueVisible = false;
    c->WriteSvg(noValue);
    EXPECT_GT(all.SvgLines.size(), noValue.SvgLines.size());
    EXPECT_TRUE(all.SvgLines.first().startsWith(QStringLiteral("<polyline")));
}

TEST(Bauteil, GridCrossShowsWhileNodesAreEdited) {
    struct Case {
        const char* name;
        bool nodeEditing, fixed, inGroup;
        bool cross;
    } cases[] = {
        {"node editing", true, false, false, true},
        {"not editing nodes", false, false, false, false},
        {"fixed symbol", true, true, false, false},
        {"inside a group", true, false, true, false},
    };
    for (const Case& c : cases) {
        auto r = Resistor();
        r->AnchorOffset = {-40, -40}; // the cross sits away from the symbol
        r->FixedSymbol = c.fixed;
        g_ElementSwitches.NodeEditing = c.nodeEditing;
        g_ElementSwitches.DrawingInsideGroup = c.inGroup;
        const QImage img = Render(*r);
        g_ElementSwitches.NodeEditing = false;
        g_ElementSwitches.DrawingInsideGroup = false;
        // Grid anchor (0, 20) + (-40, -40) = (-40, -20): pixel (10, 80).
        EXPECT_EQ(Inked(img, QRect(4, 74, 13, 13)) > 0, c.cross) << c.name;
    }
}

TEST(Bauteil, DumpShowsBodyLabelsAndLinks) {
    auto coil = Resistor(QStringLiteral("K1"));
    auto child = Resistor(QStringLiteral("K1.1"));
    child->SetParent(coil.get());
    const QJsonObject dump = DumpElement(*child);
    EXPECT_FALSE(dump.contains("LineColor")) << "a component has no header";
    EXPECT_EQ(dump.value("Body").toObject().value("Children").toArray().size(), 2);
    EXPECT_EQ(dump.value("DesignatorLabel").toObject().value("SourceText").toString(),
              QStringLiteral("K1.1"));
    EXPECT_EQ(dump.value("ParentId").toInt(), coil->ComponentId);
    EXPECT_EQ(dump.value("LinkedParent").toInt(), coil->ComponentId);
    EXPECT_EQ(DumpElement(*coil).value("LinkedChildren").toArray().at(0).toInt(),
              child->ComponentId);
}

TEST(Kontakt, SavedWhileNamesShowStoresTheContactText) {
    auto k = Contact(QStringLiteral("Motor"), QStringLiteral("13"));
    EXPECT_EQ(k->Font.Height, 18);
    k->ShowNames = true;
    Render(*k);
    EXPECT_EQ(k->SourceText, QStringLiteral("13")) << "the name is shown";
    EXPECT_EQ(k->CurrentContactText(), QStringLiteral("Motor"));
    const QByteArray saved = SaveRecord(*k);
    EXPECT_EQ(k->SourceText, QStringLiteral("13")) << "and stays shown after saving";
    std::unique_ptr<TKontakt> back = LoadRecord<TKontakt>(saved);
    EXPECT_EQ(back->SourceText, QStringLiteral("Motor"));
    EXPECT_EQ(back->ContactText, QStringLiteral("Motor"));
    EXPECT_EQ(back->ContactName, QStringLiteral("13"));
    EXPECT_FALSE(back->ShowNames);
    k->ShowNames = false;
    Render(*k);
    EXPECT_EQ(k->SourceText, QStringLiteral("Motor")) << "names off: the text again";
    EXPECT_EQ(SaveRecord(*k).toHex(), saved.toHex());

    // Old records store the name as a counted short string.
    auto old = Bytes([](TStreamWriter& w) {
        OldText(w, 75, QStringLiteral("Licht"), false);
        CountedShort(w, QStringLiteral("21"));
    });
    std::unique_ptr<TKontakt> k75 = LoadRecord<TKontakt>(old, 75);
    EXPECT_EQ(k75->ContactName, QStringLiteral("21"));
    EXPECT_EQ(k75->ContactText, QStringLiteral("Licht"));
}

TEST(Kontakt, FoundDepthFirstThroughGroupsOnly) {
    TElementList list;
    list.push_back(Contact(QStringLiteral("a"), QStringLiteral("1")));
    auto g = std::make_unique<TGruppe>();
    g->Add(Contact(QStringLiteral("b"), QStringLiteral("2")));
    auto inner = std::make_unique<TGruppe>();
    inner->Add(Contact(QStringLiteral("c"), QStringLiteral("3")));
    g->Add(std::move(inner));
    list.push_back(std::move(g));
    auto comp = Resistor();
    comp->Body->Add(Contact(QStringLiteral("in a component"), QStringLiteral("9")));
    list.push_back(std::move(comp));
    list.push_back(Contact(QStringLiteral("d"), QStringLiteral("4")));
    QStringList found;
    for (TKontakt* k : FindContacts(list))
        found << k->SourceText;
    EXPECT_EQ(found, (QStringList{"a", "b", "c", "d"}));
}
