#pragma once

// Placeholder expansion: the shown text of every text element derived from its typed text, with
// placeholders in angle brackets ("<PAGENO>", "<DATE>", user variables, ...) replaced by their
// current values. Every text asks for it through the element hook (SetPlaceholderExpander), which
// the document layer installs when the first document is created.
//
// A text is found in its document through a locator that names every element of the document by
// address and is rebuilt only after elements were created or destroyed, so expanding every text
// of a sheet costs one walk of the document, not one per text.

#include <QString>
#include <vector>

class TDocument;
class TEditor;
class TElement;
class TText;

// Where an element sits in a document.
struct TTextLocation {
    const TEditor* Sheet = nullptr;
    int SheetIndex = -1; // -1: in no sheet of the document
    // Enclosing elements, outermost first (groups, components; the text box of a box line last).
    std::vector<const TElement*> Owners;
    bool Found() const { return SheetIndex >= 0; }
    // The nearest enclosing component, or none.
    const TElement* Component() const;
};

// Documents enter themselves when created and leave when destroyed. The expansion serves the
// document that holds the text; a text in none of them gets the document-wide values of the
// latest document.
void RegisterPlaceholderDocument(TDocument* doc);
void UnregisterPlaceholderDocument(TDocument* doc);
TDocument* PlaceholderDocument();

// The library page shown in the library panel: its texts are not expanded.
void SetPlaceholderLibraryPage(const TEditor* page);

// The location of an element in a document (found through the locator).
TTextLocation LocateElement(const TDocument& doc, const TElement* e);
// The document (of the registered ones) whose sheets hold the element, or none.
TDocument* DocumentOf(const TElement* e);
// Forgets what the locator knows about a document (it rebuilds on the next question).
void InvalidatePlaceholderLocator(const TDocument& doc);
// How often the locator of any document was rebuilt (for tests and benchmarks).
int PlaceholderLocatorBuilds();

// The link partners of a text: the released link target with the identity the text links to,
// and the first text (in document order) that links to the text's identity. None when absent.
const TText* LinkTargetOf(const TDocument& doc, const TText& t);
const TText* FirstLinkFrom(const TDocument& doc, const TText& t);

// Step 7 of the expansion, the component placeholders ("<BEZ>", "<WERT>", "<Z1>", "<COLNUM>",
// "<PARENT_...>", "<CHILD...>"), is supplied by the component types; without it those
// placeholders stay as typed.
using TComponentPlaceholders = void (*)(QString& text, const TText& t, const TDocument& doc,
                                        const TTextLocation& where);
void SetComponentPlaceholders(TComponentPlaceholders step);
// Whether the designator label t of the component in `where` has no parent component (so the
// sheet-number prefix applies). The component types may supply it; without it a component with
// a stored parent identity of 0 or less has no parent.
using TComponentHasNoParent = bool (*)(const TText& t, const TTextLocation& where);
void SetComponentHasNoParent(TComponentHasNoParent rule);

// The whole expansion of a source text for a text element of a document.
QString ExpandTextPlaceholders(const TDocument& doc, const TText& t, const QString& source);

// Replaces every occurrence of a placeholder, ignoring case.
void ReplacePlaceholder(QString& text, const QString& placeholder, const QString& value);

// Letters of a zero-based child index: "a".."z" below 26, then an upper-case letter for
// (k div 26) - 1 and a lower-case one for k mod 26 ("Aa" for 26, "Ba" for 52). Empty for a
// negative index and beyond "Zz" (701).
QString ChildLetters(int index);
// The number n of every "<PARENT_CONTACT_n>" in a text, in order; invalid forms are skipped.
std::vector<int> ParentContactNumbers(const QString& text);

// Re-expands the page-dependent labels (called after sheets were added, deleted, moved, sorted
// or copied, and after the user variables or the page-number options changed): the designator
// and value labels of every component; with allTexts every text of the document; after a change
// of the user variables the text boxes whose lines hold placeholders are laid out again; when a
// sheet name refers to a user variable the host refreshes the tab captions.
void RefreshPageDependentLabels(TDocument& doc, bool allTexts, bool variablesChanged = false);

// Expands the lines of every text box again (after a file was read: box lines are laid out
// while the sheets are still incomplete).
void RefreshTextBoxes(TDocument& doc);

// Every text of the document (nested ones included, box lines not), in document order.
std::vector<TText*> DocumentTexts(const TDocument& doc);
