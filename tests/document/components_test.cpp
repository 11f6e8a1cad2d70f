#include "document/document.h"
#include "document/fileformat.h"
#include "document/placeholders.h"
#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/PixelBitmap.h"
#include "elements/Polyline.h"
#include "elements/bauteil.h"
#include "elements/text.h"
#include "platform/prompt.h"
#include "platform/stream.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<TDocument> Document(int sheets) {
    auto doc = std::make_unique<TDocument>();
    for (int i = 0; i < sheets; ++i)
        doc->CreateSheet(false).SheetName = QStringLiteral("S%1").arg(i + 1);
    doc->ShowSheet(0);
    return doc;
}

// A component with a one-line body at x .. x + 100 and its two labels.
TBauteil& AddComponent(TEditor& sheet, const QString& designator, const QString& value,
                       float x = 0) {
    auto c = std::make_unique<TBauteil>();
    auto line = std::make_unique<TPolyLine>();
    line->Points = {{x, 0}, {x + 100, 0}};
    c->Body->Add(std::move(line));
    c->DesignatorLabel->SetSourceText(designator);
    c->ValueLabel->SetSourceText(value);
    TBauteil& ref = *c;
    sheet.Elements.push_back(std::move(c));
    return ref;
}

TText& AddBodyText(TBauteil& c, const QString& source) {
    auto t = std::make_unique<TText>();
    TText& ref = *t;
    c.Body->Add(std::move(t));
    ref.SetSourceText(source);
    return ref;
}

TKontakt& AddContact(TBauteil& c, const QString& text, const QString& name) {
    auto k = std::make_unique<TKontakt>();
    TKontakt& ref = *k;
    c.Body->Add(std::move(k));
    ref.SetSourceText(text);
    ref.ContactName = name;
    return ref;
}

QByteArray Written(const TDocument& doc) {
    QByteArray out;
    TStreamWriter w(&out);
    EXPECT_TRUE(WriteDocumentData(w, doc, FileKind::Document));
    return out;
}

QString Shown(TText& t) {
    t.RefreshShownText();
    return t.ShownText;
}

std::vector<TBauteil*> ComponentsOf(const TEditor& sheet) {
    std::vector<TBauteil*> out;
    for (const TElementPtr& e : sheet.Elements)
        if (e->TypeCode == etBauteil) out.push_back(static_cast<TBauteil*>(e.get()));
    return out;
}

class Components : public ::testing::Test {
protected:
    TScriptedPrompt prompts;
    TScopedPrompts scope{prompts};
};
} // namespace

TEST_F(Components, ChildrenAreLinkedToTheirParentWhenADocumentIsRead) {
    auto doc = Document(2);
    TBauteil& coil = AddComponent(doc->Sheet(0), QStringLiteral("K1"), QStringLiteral("24V"));
    coil.IsParent = true;
    coil.ComponentId = 100;
    TBauteil& first = AddComponent(doc->Sheet(1), QStringLiteral("K1.1"), {});
    AddContact(first, QStringLiteral("Motor"), QStringLiteral("13"));
    first.ParentId = 100;
    AddComponent(doc->Sheet(1), QStringLiteral("R1"), QStringLiteral("1k"));
    // The third child sits inside a group: the group's reader registers it too.
    auto group = std::make_unique<TGruppe>();
    auto inGroup = std::make_unique<TBauteil>();
    inGroup->ParentId = 100;
    inGroup->DesignatorLabel->SetSourceText(QStringLiteral("K1.3"));
    auto stroke = std::make_unique<TPolyLine>();
    stroke->Points = {{0, 50}, {10, 50}};
    inGroup->Body->Add(std::move(stroke));
    group->Add(std::move(inGroup));
    doc->Sheet(1).Elements.push_back(std::move(group));
    TBauteil& second = AddComponent(doc->Sheet(1), QStringLiteral("K1.2"), {});
    second.ParentId = 100;

    TDocument back;
    ASSERT_EQ(ReadDocumentData(back, Written(*doc), FileKind::Document).Outcome, TLoadOutcome::Ok);
    ASSERT_EQ(back.SheetCount(), 2);
    TBauteil* p = ComponentsOf(back.Sheet(0)).at(0);
    const std::vector<TBauteil*> on2 = ComponentsOf(back.Sheet(1));
    ASSERT_EQ(on2.size(), 3u);
    auto* grouped =
        static_cast<TBauteil*>(&static_cast<TGruppe&>(*back.Sheet(1).Elements[2]).Child(0));
    EXPECT_EQ(p->ComponentId, 100);
    EXPECT_EQ(on2[0]->Parent, p);
    EXPECT_EQ(on2[1]->Parent, nullptr);
    EXPECT_EQ(on2[2]->Parent, p);
    EXPECT_EQ(grouped->Parent, p);
    ASSERT_EQ(p->Children.size(), 3u);
    EXPECT_EQ(p->Children[0], on2[0]) << "children in document order";
    EXPECT_EQ(p->Children[1], grouped);
    EXPECT_EQ(p->Children[2], on2[2]);
    EXPECT_EQ(on2[0]->Contacts().at(0)->ParentComponent(), p);
    EXPECT_TRUE(ComponentRegister().empty());
    EXPECT_EQ(Written(back), Written(*doc)) << "reading and writing again changes nothing";
}

TEST_F(Components, ASecondCopyOfASheetGetsIdentitiesOfItsOwn) {
    QTemporaryDir dir;
    auto doc = Document(1);
    TBauteil& coil = AddComponent(doc->Sheet(0), QStringLiteral("K1"), {});
    coil.ComponentId = 500;
    coil.IsParent = true;
    TBauteil& contact = AddComponent(doc->Sheet(0), QStringLiteral("K1.1"), {}, 200);
    contact.SetParent(&coil);
    const QString file = dir.filePath(QStringLiteral("relay.blt"));
    ASSERT_TRUE(SaveDocumentFile(*doc, file, FileKind::SheetFile));

    TDocument target;
    target.CreateSheet(false);
    ASSERT_TRUE(LoadDocumentFile(target, file, FileKind::SheetFile));
    ASSERT_TRUE(LoadDocumentFile(target, file, FileKind::SheetFile));
    ASSERT_EQ(target.SheetCount(), 3);
    const std::vector<TBauteil*> a = ComponentsOf(target.Sheet(1));
    const std::vector<TBauteil*> b = ComponentsOf(target.Sheet(2));
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(a[0]->ComponentId, 500) << "the first copy keeps its identity";
    EXPECT_NE(b[0]->ComponentId, 500) << "the second gets a new one";
    EXPECT_GE(b[0]->ComponentId, 1);
    EXPECT_EQ(b[1]->ParentId, b[0]->ComponentId) << "its child follows";
    EXPECT_EQ(a[1]->Parent, a[0]);
    EXPECT_EQ(b[1]->Parent, b[0]);
    EXPECT_EQ(a[0]->Children, std::vector<TBauteil*>{a[1]});
    EXPECT_EQ(b[0]->Children, std::vector<TBauteil*>{b[1]});
}

TEST_F(Components, ComponentPlaceholders) {
    auto doc = Document(5);
    TEditor& s2 = doc->Sheet(1);
    TBauteil& coil = AddComponent(doc->Sheet(0), QStringLiteral("K1"), QStringLiteral("24V"));
    coil.IsParent = true;
    coil.ExtraText = {QStringLiteral("Finder"), {}, {}, QStringLiteral("Lager 4")};
    AddContact(coil, QStringLiteral("A1-A2"), QStringLiteral("A1"));
    AddContact(coil, QStringLiteral("11-14"), QStringLiteral("11"));
    TBauteil& child = AddComponent(s2, QStringLiteral("K1.1"), QStringLiteral("<PARENT_VALUE>"));
    child.ExtraText[1] = QStringLiteral("zwei");
    child.SetParent(&coil);
    TBauteil& lone = AddComponent(s2, QStringLiteral("R1"), QStringLiteral("4k7"), 400);
    TText& outside = [&]() -> TText& {
        auto t = std::make_unique<TText>();
        TText& ref = *t;
        s2.Elements.push_back(std::move(t));
        return ref;
    }();

    struct Case {
        const char* name;
        TBauteil* component; // none: a text outside every component
        const char* source;
        const char* expected;
    } cases[] = {
        {"own designator and value", &lone, "<BEZ> = <WERT>", "R1 = 4k7"},
        {"the other spellings", &lone, "<id>|<value>|<valeur>", "R1|4k7|4k7"},
        {"extra texts", &child, "<Z1>/<Z2>/<Z4>", "/zwei/"},
        {"parent designator, value and extra texts", &child,
         "<PARENT_ID> <PARENT_VALUE> <PARENT_Z1> <PARENT_Z4>", "K1 24V Finder Lager 4"},
        {"parent sheet", &child, "<PARENT_PAGENO>", "1"},
        {"parent contacts", &child, "<PARENT_CONTACT_2>, <PARENT_CONTACT_1>", "11-14, A1-A2"},
        {"contact numbers outside the list stay", &child, "<PARENT_CONTACT_3> <PARENT_CONTACT_0>",
         "<PARENT_CONTACT_3> <PARENT_CONTACT_0>"},
        {"position among the parent's children", &child, "<CHILDNO><CHILDCHAR>", "1a"},
        {"without a parent the parent placeholders stay", &lone, "<PARENT_ID> <CHILDNO>",
         "<PARENT_ID> <CHILDNO>"},
        {"children's sheets", &coil, "<CHILD_PAGENO>", "2"},
        {"no children: empty", &lone, "[<CHILD_PAGENO>]", "[]"},
        {"outside a component nothing is replaced", nullptr, "<BEZ> <Z1>", "<BEZ> <Z1>"},
    };
    for (const Case& c : cases) {
        TText& t = c.component ? AddBodyText(*c.component, QString::fromUtf8(c.source)) : outside;
        t.SetSourceText(QString::fromUtf8(c.source));
        EXPECT_EQ(Shown(t), QString::fromUtf8(c.expected)) << c.name;
    }
    // A label showing its parent's value.
    EXPECT_EQ(Shown(*child.ValueLabel), QStringLiteral("24V"));
}

TEST_F(Components, ZoneGridPositions) {
    auto doc = Document(1);
    TEditor& sheet = doc->Sheet(0);
    struct Case {
        const char* name;
        float x, y; // the body's centre
        int firstColumn, firstRow, columns;
        const char* expected;
    } cases[] = {
        {"centred at x 450: column 2, B", 450, 300, 1, 1, 10, "2 B 1 A"},
        {"counted from 0: column 1 still reads B", 450, 300, 0, 1, 10, "1 B 1 A"},
        {"left of the grid: numbers outside it", 50, 300, 1, 1, 10, "0 <COLCHAR> 1 A"},
        {"left of a grid counted from 5: no letter", 50, 300, 5, 1, 10, "4 <COLCHAR> 1 A"},
        {"right of the grid: not clamped", 3000, 300, 1, 1, 10, "11 K 1 A"},
        {"rows counted from 0, columns from 1", 450, 700, 1, 0, 10, "2 B 2 C"},
        {"a grid without columns is one zone", 2000, 300, 1, 1, 0, "1 A 1 A"},
        {"last three-letter column", 150, 300, 18278, 1, 10, "18278 ZZZ 1 A"},
        {"beyond ZZZ: no letter", 150, 300, 18279, 1, 10, "18279 <COLCHAR> 1 A"},
        {"numbers below 1: no letter", 150, 300, -3, 1, 10, "-3 <COLCHAR> 1 A"},
    };
    for (const Case& c : cases) {
        sheet.ZoneGrid = TZoneGrid(); // origin (100, 100), 2800 x 1900, 8 rows
        sheet.ZoneGrid.FirstColumn = c.firstColumn;
        sheet.ZoneGrid.FirstRow = c.firstRow;
        sheet.ZoneGrid.Columns = c.columns;
        TBauteil& comp = AddComponent(sheet, QStringLiteral("X"), {}, c.x - 50);
        comp.Body->MoveBy({0, c.y});
        // A label: a text in the body would move the body's centre.
        TText& t = *comp.ValueLabel;
        t.SetSourceText(QStringLiteral("<COLNUM> <COLCHAR> <ROWNUM> <ROWCHAR>"));
        EXPECT_EQ(Shown(t), QString::fromUtf8(c.expected)) << c.name;
    }
}

TEST_F(Components, ChildLettersAndChildSheets) {
    auto doc = Document(5);
    TBauteil& coil = AddComponent(doc->Sheet(0), QStringLiteral("K1"), {});
    coil.IsParent = true;
    std::vector<TBauteil*> children;
    for (int i = 0; i < 27; ++i) {
        TBauteil& c = AddComponent(doc->Sheet(0), QStringLiteral("K1.%1").arg(i + 1), {});
        c.SetParent(&coil);
        children.push_back(&c);
    }
    TText& letter = AddBodyText(*children[26], QStringLiteral("<CHILDNO>:<CHILDCHAR>"));
    EXPECT_EQ(Shown(letter), QStringLiteral("27:Aa"));

    auto doc2 = Document(5);
    TBauteil& p = AddComponent(doc2->Sheet(0), QStringLiteral("K2"), {});
    for (int sheet : {4, 1, 4}) {
        TBauteil& c = AddComponent(doc2->Sheet(sheet), QStringLiteral("K2.x"), {});
        c.SetParent(&p);
    }
    TText& pages = AddBodyText(p, QStringLiteral("<CHILD_PAGENO>"));
    EXPECT_EQ(Shown(pages), QStringLiteral("2, 5"));
}

TEST_F(Components, ParentLabelChangesReachTheChildren) {
    auto doc = Document(1);
    TBauteil& coil = AddComponent(doc->Sheet(0), QStringLiteral("K"), {});
    coil.IsParent = true;
    coil.AutoNum = true;
    coil.Designator = QStringLiteral("K");
    TBauteil& child = AddComponent(doc->Sheet(0), QStringLiteral("<PARENT_ID>.1"), {});
    child.SetParent(&coil);
    coil.SetDesignatorNumber(3);
    EXPECT_EQ(child.ShownDesignator(), QStringLiteral("K3.1"));
    coil.SetDesignatorNumber(4);
    EXPECT_EQ(child.ShownDesignator(), QStringLiteral("K4.1"));
}

TEST_F(Components, ABrokenPictureMakesTheDocumentDamaged) {
    auto doc = Document(1);
    QImage image(8, 8, QImage::Format_RGB888);
    image.fill(Qt::blue);
    auto pic = std::make_unique<TPixelBitmap>();
    ASSERT_TRUE(pic->SetImage(image));
    const QByteArray bmp = pic->StoredBmp();
    doc->Sheet(0).Elements.push_back(std::move(pic));
    const QByteArray good = Written(*doc);
    // The picture's zlib stream sits behind its corners; spoil a byte inside it.
    const QByteArray stream = CompressBitmapData(bmp, true);
    const qsizetype at = good.indexOf(stream);
    ASSERT_GT(at, 0);
    struct Case {
        const char* name;
        qsizetype offset;
        char flip; // the bits changed
    } cases[] = {
        {"zlib header", at, 0x11},
        {"deflate data", at + stream.size() / 2, char(0xFF)},
        {"adler checksum", at + stream.size() - 1, 0x5A},
    };
    for (const Case& c : cases) {
        QByteArray bad = good;
        bad[c.offset] = char(bad[c.offset] ^ c.flip);
        TDocument back;
        const TLoadReport r = ReadDocumentData(back, bad, FileKind::Document);
        EXPECT_EQ(r.Outcome, TLoadOutcome::Damaged) << c.name;
    }
    TDocument back;
    EXPECT_EQ(ReadDocumentData(back, good, FileKind::Document).Outcome, TLoadOutcome::Ok);
}
