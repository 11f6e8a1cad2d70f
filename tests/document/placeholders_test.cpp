#include "document/document.h"
#include "document/fileformat.h"
#include "document/placeholders.h"
#include "elements/Gruppe.h"
#include "elements/MyD2D.h"
#include "elements/TextRect.h"
#include "elements/text.h"
#include "platform/prompt.h"
#include "platform/stream.h"
#include "testtypes.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// A document of n sheets named "S1" .. "Sn" with nothing on them; sheet `current` is shown.
std::unique_ptr<TDocument> document(int sheets, int current = 0) {
    auto doc = std::make_unique<TDocument>();
    for (int i = 0; i < sheets; ++i)
        doc->CreateSheet(false).SheetName = QStringLiteral("S%1").arg(i + 1);
    doc->ShowSheet(current);
    return doc;
}

TText& addText(TEditor& sheet, const QString& source) {
    auto t = std::make_unique<TText>();
    TText& ref = *t;
    sheet.Elements.push_back(std::move(t));
    ref.SetSourceText(source);
    return ref;
}

QString shown(TText& t) {
    t.RefreshShownText();
    return t.ShownText;
}

// Components of the tests (code 7) with real texts in their bodies.
TElementPtr componentsOnly(quint8 code) {
    return code == etBauteil ? std::make_unique<TTestComponent>() : nullptr;
}

TTestComponent& addComponent(TEditor& sheet, qint32 id, qint32 parent = 0) {
    auto c = std::make_unique<TTestComponent>();
    c->ComponentId = id;
    c->ParentId = parent;
    TTestComponent& ref = *c;
    sheet.Elements.push_back(std::move(c));
    return ref;
}

TText& addBodyText(TTestComponent& c, const QString& source, bool designator) {
    auto t = std::make_unique<TText>();
    t->IsDesignator = designator;
    TText& ref = *t;
    c.Body.push_back(std::move(t));
    ref.SetSourceText(source);
    return ref;
}
} // namespace

TEST(Placeholders, PageNumbersCountsAndNames) {
    auto doc = document(5, 1);
    TText& t = addText(doc->Sheet(1), QStringLiteral("Blatt <PAGENO> von <PAGECOUNT>"));
    EXPECT_EQ(t.ShownText, QStringLiteral("Blatt 2 von 5"));
    TText& lower = addText(doc->Sheet(1), QStringLiteral("Blatt <pageno> von <PageCount>"));
    EXPECT_EQ(lower.ShownText, QStringLiteral("Blatt 2 von 5"));
    struct Case {
        int sheet;
        const char* source;
        const char* expected;
    } cases[] = {
        {0, "<PREVIOUS_PAGENO>", "0"},
        {4, "<NEXT_PAGENO>", "6"},
        {2, "<PAGENAME>/<PAGENO>", "S3/3"},
        {3, "<previous_pageno>-<next_pageno>", "3-5"},
        {0, "no brackets PAGENO", "no brackets PAGENO"},
        {0, "<UNKNOWN> <PAGENO", "<UNKNOWN> <PAGENO"},
        {0, "<VERSION>", "Kavro 8.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        TText& x = addText(doc->Sheet(c.sheet), QString::fromUtf8(c.source));
        EXPECT_EQ(shown(x), QString::fromUtf8(c.expected));
    }
    // A text outside every sheet keeps what needs its sheet, but gets the document's values.
    TText loose;
    loose.SetSourceText(QStringLiteral("<PAGENO> of <PAGECOUNT>"));
    EXPECT_EQ(loose.ShownText, QStringLiteral("<PAGENO> of 5"));

    // Moving the sheet renumbers it at the next draw.
    doc->MoveSheet(1, 4);
    QImage img(50, 50, QImage::Format_RGB32);
    QPainter p(&img);
    TDrawContext dc(p, TView{}, true);
    t.Draw(dc);
    EXPECT_EQ(t.ShownText, QStringLiteral("Blatt 5 von 5"));
}

TEST(Placeholders, FileDataDatesAndUserVariables) {
    QTemporaryDir dir;
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    auto doc = document(2);
    TText& file = addText(doc->Sheet(0), QStringLiteral("<FILENAME>|<FILEPATH>|<FILEDATE>"));
    EXPECT_EQ(file.ShownText, QStringLiteral("<FILENAME>|<FILEPATH>|<FILEDATE>"))
        << "an untitled document leaves the file placeholders";
    const QString name = dir.filePath(QStringLiteral("Plan.kav8"));
    ASSERT_TRUE(SaveDocumentFile(*doc, name, FileKind::Document));
    doc->FileName = name;
    const QFileInfo info(name);
    const QLocale locale = QLocale::system();
    EXPECT_EQ(shown(file), QStringLiteral("Plan.kav8|") + info.absolutePath() +
                               QStringLiteral("/|") +
                               locale.toString(info.lastModified().date(), QLocale::ShortFormat));
    TText& now = addText(doc->Sheet(0), QStringLiteral("<date>"));
    EXPECT_EQ(now.ShownText, locale.toString(QDate::currentDate(), QLocale::ShortFormat));

    // A user variable comes before the page placeholders, so its name wins; names ignore case.
    doc->UserVariables = {{QStringLiteral("PAGENO"), QStringLiteral("X")},
                          {QStringLiteral("Projekt"), QStringLiteral("Anlage 7")},
                          {QString(), QStringLiteral("never")}};
    TText& v = addText(doc->Sheet(1), QStringLiteral("<PAGENO>: <projekt> <>"));
    EXPECT_EQ(v.ShownText, QStringLiteral("X: Anlage 7 <>"));
}

TEST(Placeholders, DesignatorPrefixAppliesToComponentsWithoutParent) {
    auto doc = document(3, 0);
    doc->ComponentPageNumbers = true;
    doc->PageNumberPrefix = QStringLiteral("-");
    TTestComponent& parent = addComponent(doc->Sheet(2), 11);
    TText& r1 = addBodyText(parent, QStringLiteral("R1"), true);
    TText& value = addBodyText(parent, QStringLiteral("4k7"), false);
    TTestComponent& child = addComponent(doc->Sheet(2), 12, 11);
    TText& k1 = addBodyText(child, QStringLiteral("K1"), true);
    TText& plain = addText(doc->Sheet(2), QStringLiteral("R9"));
    plain.IsDesignator = true; // a designator outside any component gets no prefix
    RefreshPageDependentLabels(*doc, false);
    EXPECT_EQ(r1.ShownText, QStringLiteral("-3R1"));
    EXPECT_EQ(value.ShownText, QStringLiteral("4k7"));
    EXPECT_EQ(k1.ShownText, QStringLiteral("K1"))
        << "a child component's designator shows no prefix";
    EXPECT_EQ(shown(plain), QStringLiteral("R9"));
    doc->ComponentPageNumbers = false;
    EXPECT_EQ(shown(r1), QStringLiteral("R1"));

    // The location knows the component around a text, at any depth.
    const TTextLocation at = LocateElement(*doc, &r1);
    EXPECT_EQ(at.SheetIndex, 2);
    EXPECT_EQ(at.Component(), &parent);
}

TEST(Placeholders, LinkPlaceholdersNameTargetAndFirstLinkingText) {
    auto doc = document(4);
    TText& target = addText(doc->Sheet(1), QStringLiteral("Motor"));
    target.SetLinkTargetReleased(true);
    TText& from = addText(doc->Sheet(3), QString());
    from.SetLinkTarget(target.Id);
    TText& second = addText(doc->Sheet(2), QString());
    from.SetSourceText(QStringLiteral("<LINK_TEXT>"));
    EXPECT_EQ(from.ShownText, QStringLiteral("Motor"));
    second.SetLinkTarget(target.Id); // a link made later is seen at once
    from.SetSourceText(QStringLiteral("-> <LINK_PAGENO> <LINK_PAGENAME> <link_text>"));
    EXPECT_EQ(from.ShownText, QStringLiteral("-> 2 S2 Motor"));
    target.SetSourceText(QStringLiteral("Motor <LINKFROM_PAGENO>/<LINKFROM_TEXT>"));
    EXPECT_EQ(target.ShownText, QStringLiteral("Motor 3/"))
        << "the first linking text in document order is the one on sheet 3";

    // Without a released target, or without a linking text, the placeholders stay.
    target.SetLinkTargetReleased(false);
    EXPECT_EQ(shown(from), QStringLiteral("-> <LINK_PAGENO> <LINK_PAGENAME> <link_text>"));
    TText& lonely = addText(doc->Sheet(0), QStringLiteral("<LINKFROM_TEXT>"));
    EXPECT_EQ(lonely.ShownText, QStringLiteral("<LINKFROM_TEXT>"));
}

TEST(Placeholders, SkippedOnTheComponentEditorSheetAndTheLibraryPage) {
    auto doc = document(2, 1);
    TText& t = addText(doc->Sheet(1), QStringLiteral("<PAGENO>"));
    EXPECT_EQ(t.ShownText, QStringLiteral("2"));
    doc->Sheet(1).ComponentEditorSheet = true;
    EXPECT_EQ(shown(t), QStringLiteral("<PAGENO>"));
    t.IsDesignator = true;
    EXPECT_EQ(shown(t), QStringLiteral("2")) << "designators are expanded there";
    doc->Sheet(1).ComponentEditorSheet = false;

    TEditor library;
    auto libText = std::make_unique<TText>();
    TText& lib = *libText;
    library.Elements.push_back(std::move(libText));
    SetPlaceholderLibraryPage(&library);
    lib.SetSourceText(QStringLiteral("<VERSION>"));
    EXPECT_EQ(lib.ShownText, QStringLiteral("<VERSION>"));
    SetPlaceholderLibraryPage(nullptr);
    EXPECT_EQ(shown(lib), QStringLiteral("Kavro 8.0"));
}

TEST(Placeholders, TextBoxLinesAndNestedTextsFindTheirSheet) {
    TScopedElementFactoryHook hook(componentsOnly);
    auto doc = document(3);
    auto box = std::make_unique<TTextRect>();
    TTextRect& b = *box;
    b.Lines = {QStringLiteral("Seite <PAGENO>"), QStringLiteral("<PAGENAME>")};
    b.SetRect({0, 0, 1000, 300});
    doc->Sheet(2).Elements.push_back(std::move(box));
    b.LayoutLines();
    ASSERT_EQ(b.LineTexts.size(), 2u);
    EXPECT_EQ(b.LineTexts[0]->ShownText, QStringLiteral("Seite 3"));
    EXPECT_EQ(b.LineTexts[1]->ShownText, QStringLiteral("S3"));
    EXPECT_TRUE(b.LinePlaceholdersPresent());

    TTestComponent& c = addComponent(doc->Sheet(1), 5);
    TText& nested = addBodyText(c, QStringLiteral("<PAGENO>"), false);
    EXPECT_EQ(nested.ShownText, QStringLiteral("2"));

    // After the user variables change, boxes with placeholders are laid out again.
    b.Lines = {QStringLiteral("<Kunde>")};
    doc->UserVariables = {{QStringLiteral("Kunde"), QStringLiteral("ACME")}};
    RefreshPageDependentLabels(*doc, false, true);
    ASSERT_EQ(b.LineTexts.size(), 1u);
    EXPECT_EQ(b.LineTexts[0]->ShownText, QStringLiteral("ACME"));
    b.Lines = {QStringLiteral("<Kunde> <PAGENO>")};
    b.LayoutLines();

    // A document round trip keeps texts and boxes byte for byte; fonts are stored by name.
    addText(doc->Sheet(0), QStringLiteral("Blatt <PAGENO> von <PAGECOUNT>")).Font.Name =
        QStringLiteral("Liberation Serif");
    QByteArray first;
    {
        TStreamWriter w(&first);
        ASSERT_TRUE(WriteDocumentData(w, *doc, FileKind::Document));
    }
    EXPECT_TRUE(first.contains(QByteArray("Liberation Serif")));
    TDocument back;
    TScriptedPrompt prompts;
    TScopedPrompts scope(prompts);
    const TLoadReport report = ReadDocumentData(back, first, FileKind::Document);
    ASSERT_EQ(report.Outcome, TLoadOutcome::Ok) << report.Reason.toStdString();
    QByteArray second;
    {
        TStreamWriter w(&second);
        ASSERT_TRUE(WriteDocumentData(w, back, FileKind::Document));
    }
    EXPECT_EQ(second, first);
    const auto* loadedBox = dynamic_cast<const TTextRect*>(back.Sheet(2).Elements[0].get());
    ASSERT_TRUE(loadedBox);
    ASSERT_EQ(loadedBox->LineTexts.size(), 1u);
    EXPECT_EQ(loadedBox->LineTexts[0]->ShownText, QStringLiteral("ACME 3"))
        << "box lines are expanded once the sheets are read";
    const auto* loaded = dynamic_cast<const TText*>(back.Sheet(0).Elements[0].get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->ShownText, QStringLiteral("Blatt 1 von 3"));
    EXPECT_EQ(loaded->Font.Name, QStringLiteral("Liberation Serif"));
}

// Expanding every text of a document asks the locator once; it is built again only after
// elements were created or destroyed, and elements moved between lists are found again.
TEST(Placeholders, LocatorIsBuiltOncePerChangeOfTheDocument) {
    auto doc = document(20);
    std::vector<TText*> texts;
    for (int s = 0; s < 20; ++s)
        for (int i = 0; i < 50; ++i)
            texts.push_back(&addText(doc->Sheet(s), QStringLiteral("<PAGENO>")));
    for (TText* t : texts)
        t->ShownText.clear();
    const int before = PlaceholderLocatorBuilds();
    for (TText* t : texts)
        t->RefreshShownText();
    EXPECT_LE(PlaceholderLocatorBuilds() - before, 1);
    EXPECT_EQ(texts[0]->ShownText, QStringLiteral("1"));
    EXPECT_EQ(texts.back()->ShownText, QStringLiteral("20"));
    const int built = PlaceholderLocatorBuilds();
    for (TText* t : texts)
        t->RefreshShownText();
    EXPECT_EQ(PlaceholderLocatorBuilds(), built) << "nothing changed, nothing rebuilt";

    // An element moved to another sheet, without being created anew, is found there.
    TElementPtr moved = std::move(doc->Sheet(0).Elements[0]);
    doc->Sheet(0).Elements.erase(doc->Sheet(0).Elements.begin());
    TText* t = static_cast<TText*>(moved.get());
    doc->Sheet(7).Elements.push_back(std::move(moved));
    EXPECT_EQ(shown(*t), QStringLiteral("8"));
    // A freed text's address may come back for a new text elsewhere: the locator notices.
    doc->Sheet(7).Elements.pop_back();
    TText& fresh = addText(doc->Sheet(12), QStringLiteral("<PAGENO>"));
    EXPECT_EQ(fresh.ShownText, QStringLiteral("13"));
    // A text that is in no sheet is not searched for again and again.
    TText loose;
    const int b2 = PlaceholderLocatorBuilds();
    for (int i = 0; i < 100; ++i)
        loose.SetSourceText(QStringLiteral("<PAGENO> %1").arg(i));
    EXPECT_LE(PlaceholderLocatorBuilds() - b2, 1);
}

// Texts that come into groups and components already on a sheet, move between them or leave
// them are found where a walk of the sheets finds them; after such a change a pass over every
// text builds the locator at most once, and without one never.
TEST(Placeholders, LocatorFollowsNestedListsAsAWalkWould) {
    auto doc = document(4);
    auto outer = std::make_unique<TGruppe>();
    TGruppe& group = *outer;
    TGruppe& inner = static_cast<TGruppe&>(group.Add(std::make_unique<TGruppe>()));
    doc->Sheet(1).Elements.push_back(std::move(outer));
    TTestComponent& component = addComponent(doc->Sheet(2), 1);
    std::vector<TText*> texts;
    for (int s = 0; s < 4; ++s)
        for (int i = 0; i < 25; ++i)
            texts.push_back(&addText(doc->Sheet(s), QStringLiteral("<PAGENO>")));
    for (TText* t : texts)
        shown(*t);

    // Created inside the inner group (through the group) and inside the component's body (put
    // into the list directly, as a reader does).
    TText& a = static_cast<TText&>(inner.Add(std::make_unique<TText>()));
    a.SetSourceText(QStringLiteral("<PAGENO>"));
    EXPECT_EQ(a.ShownText, QStringLiteral("2"));
    component.Body.push_back(std::make_unique<TText>());
    TText& b = static_cast<TText&>(*component.Body.back());
    b.SetSourceText(QStringLiteral("<PAGENO> <PAGENAME>"));
    EXPECT_EQ(b.ShownText, QStringLiteral("3 S3"));

    // Moved between nested lists and from the top level inwards, nothing created or freed.
    component.Body.push_back(std::move(inner.Children.front()));
    inner.Children.erase(inner.Children.begin());
    EXPECT_EQ(shown(a), QStringLiteral("3"));
    TText* top = texts.front();
    inner.Children.push_back(std::move(doc->Sheet(0).Elements.front()));
    doc->Sheet(0).Elements.erase(doc->Sheet(0).Elements.begin());
    EXPECT_EQ(shown(*top), QStringLiteral("2"));

    // A text outside every sheet stays as typed until a group on a sheet takes it.
    auto looseOwned = std::make_unique<TText>();
    TText& loose = *looseOwned;
    loose.SetSourceText(QStringLiteral("<PAGENO>"));
    EXPECT_EQ(loose.ShownText, QStringLiteral("<PAGENO>"));
    inner.Add(std::move(looseOwned));
    EXPECT_EQ(shown(loose), QStringLiteral("2"));
    // Taken out again (and kept): it is in no sheet any more.
    TElementPtr kept = std::move(inner.Children.back());
    inner.Children.pop_back();
    loose.SetSourceText(QStringLiteral("<PAGENO>!"));
    EXPECT_EQ(loose.ShownText, QStringLiteral("<PAGENO>!"));

    // The cost: one build at most after a change, none without.
    texts.erase(texts.begin());
    texts.insert(texts.end(), {top, &a, &b});
    TText& c = static_cast<TText&>(group.Add(std::make_unique<TText>()));
    c.SetSourceText(QStringLiteral("<PAGENO>"));
    const int before = PlaceholderLocatorBuilds();
    for (TText* t : texts)
        shown(*t);
    EXPECT_LE(PlaceholderLocatorBuilds() - before, 1);
    const int after = PlaceholderLocatorBuilds();
    for (int pass = 0; pass < 3; ++pass)
        for (TText* t : texts)
            shown(*t);
    EXPECT_EQ(PlaceholderLocatorBuilds(), after);
    EXPECT_EQ(c.ShownText, QStringLiteral("2"));
    EXPECT_EQ(texts[24]->ShownText, QStringLiteral("2")) << "the first text of sheet 2";
}

TEST(Placeholders, ChildLettersAndContactNumbers) {
    struct Letters {
        int index;
        const char* child;
    } cases[] = {
        {-1, ""},   {0, "a"},   {1, "b"},   {25, "z"},   {26, "Aa"},
        {27, "Ab"}, {52, "Ba"}, {53, "Bb"}, {701, "Zz"}, {702, ""},
    };
    for (const Letters& c : cases)
        EXPECT_EQ(ChildLetters(c.index), QLatin1String(c.child)) << c.index;
    EXPECT_EQ(ParentContactNumbers(QStringLiteral("<PARENT_CONTACT_2>, <parent_contact_13> "
                                                  "<PARENT_CONTACT_x> <PARENT_CONTACT_>")),
              (std::vector<int>{2, 13}));
}

// The component step plugs in after the page step and before the links.
TEST(Placeholders, ComponentStepPlugsIn) {
    static const TDocument* seenDoc = nullptr;
    static int seenSheet = -1;
    SetComponentPlaceholders(
        [](QString& text, const TText&, const TDocument& doc, const TTextLocation& where) {
            seenDoc = &doc;
            seenSheet = where.SheetIndex;
            ReplacePlaceholder(text, QStringLiteral("<BEZ>"), QStringLiteral("K7"));
        });
    auto doc = document(2);
    TText& t = addText(doc->Sheet(1), QStringLiteral("<bez> on <PAGENO>"));
    EXPECT_EQ(t.ShownText, QStringLiteral("K7 on 2"));
    EXPECT_EQ(seenDoc, doc.get());
    EXPECT_EQ(seenSheet, 1);
    SetComponentPlaceholders(nullptr);
    EXPECT_EQ(shown(t), QStringLiteral("<bez> on 2"));
}
