#include "document/placeholders.h"

#include "document/componentplaceholders.h"
#include "document/document.h"
#include "elements/TextRect.h"
#include "elements/registers.h"
#include "elements/text.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QTime>
#include <cmath>

namespace {
const QString kVersionText = QStringLiteral("Kavro 8.0");

// What the locator keeps of one element: its sheet, the enclosing elements and the path of
// positions that leads to it (its slot in the sheet's list, then in each owner's children).
struct Entry {
    const TEditor* Sheet = nullptr;
    int SheetIndex = -1;
    std::vector<const TElement*> Owners;
    std::vector<size_t> Path; // one more than Owners
};

QByteArray guidKey(const TGuid& g) {
    return QByteArray(reinterpret_cast<const char*>(g.data()), int(g.size()));
}

// Names every element of a list of sheets by address, with the chain of elements around it, and
// answers as a walk of the sheets would:
// - A known element is confirmed by its path: each step is one look at a slot (ChildAt), so an
//   element moved elsewhere, or an address reused by an element elsewhere, is noticed.
// - An unknown element is absent while no element was created or destroyed since the last full
//   build (g_ElementLifeStamp) and the top-level lists kept their lengths. Elements appended to
//   a sheet are walked without a full build, so texts placed one by one cost their own subtree
//   each; anything else that may have brought the element in (an element created inside a group
//   or component already on a sheet) builds anew, once, and the next questions are answered
//   from the new build.
// So a pass over every text costs one walk of the document after a change and a hash lookup and
// a path check per text otherwise.
class TLocator {
public:
    bool Find(const std::vector<const TEditor*>& sheets, const TElement* e, Entry& out) {
        if (!m_built || sheets != m_sheets) build(sheets);
        auto it = m_where.constFind(e);
        if (it != m_where.constEnd()) {
            if (!valid(sheets, *it, e)) {
                build(sheets);
                it = m_where.constFind(e);
            }
        } else if (mayHaveArrived(sheets)) {
            if (takeAppended(sheets)) it = m_where.constFind(e);
            if (it == m_where.constEnd() && m_stamp != g_ElementLifeStamp) {
                build(sheets);
                it = m_where.constFind(e);
            }
        }
        if (it == m_where.constEnd()) return false;
        out = *it;
        return true;
    }
    // Brings the link maps up to date (they are kept only by full builds).
    void Refresh(const std::vector<const TEditor*>& sheets) {
        if (!m_built || m_full != m_buildCount || m_stamp != g_ElementLifeStamp ||
            m_linkStamp != g_TextLinkStamp || countsChanged(sheets))
            build(sheets);
    }
    const TText* Target(const TGuid& id) const { return m_targets.value(guidKey(id)); }
    const TText* FirstFrom(const TGuid& id) const { return m_linkFrom.value(guidKey(id)); }
    void Invalidate() { m_built = false; }
    static int Builds;

private:
    static bool valid(const std::vector<const TEditor*>& sheets, const Entry& en,
                      const TElement* e) {
        if (en.SheetIndex < 0 || en.SheetIndex >= int(sheets.size()) ||
            sheets[size_t(en.SheetIndex)] != en.Sheet)
            return false;
        const TElement* top = en.Owners.empty() ? e : en.Owners.front();
        const TElementList& list = en.Sheet->Elements;
        if (en.Path.front() >= list.size() || list[en.Path.front()].get() != top) return false;
        for (size_t j = 1; j < en.Path.size(); ++j) {
            const TElement* child = j < en.Owners.size() ? en.Owners[j] : e;
            if (en.Owners[j - 1]->ChildAt(en.Path[j]) != child) return false;
        }
        return true;
    }

    // Elements are added or removed only by creating or freeing them, so between full builds
    // the sheet list and the list lengths tell the link maps whether anything moved in or out.
    bool countsChanged(const std::vector<const TEditor*>& sheets) const {
        if (sheets != m_sheets) return true;
        for (size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i]->Elements.size() != m_tops[i].size()) return true;
        return false;
    }

    // Whether an element unknown to the locator may have entered the sheets since.
    bool mayHaveArrived(const std::vector<const TEditor*>& sheets) const {
        return m_stamp != g_ElementLifeStamp || countsChanged(sheets);
    }

    // Walks what was appended to the top-level lists; a list that changed otherwise builds
    // anew. True when something was taken in.
    bool takeAppended(const std::vector<const TEditor*>& sheets) {
        bool changed = false;
        std::vector<const TElement*> owners;
        std::vector<size_t> path;
        std::vector<TElement*> scratch;
        for (size_t i = 0; i < sheets.size(); ++i) {
            const TElementList& list = sheets[i]->Elements;
            std::vector<const TElement*>& known = m_tops[i];
            const size_t n = known.size();
            if (list.size() == n) continue;
            if (list.size() < n || (n > 0 && list[n - 1].get() != known[n - 1])) {
                build(sheets);
                return true;
            }
            for (size_t k = n; k < list.size(); ++k) {
                TElement* top = list[k].get();
                known.push_back(top);
                path.assign(1, k);
                walk(top, sheets[i], int(i), owners, path, scratch, false);
                changed = true;
            }
        }
        if (changed) ++m_buildCount; // the link maps no longer cover everything
        return changed;
    }

    void build(const std::vector<const TEditor*>& sheets) {
        ++Builds;
        m_where.clear();
        m_targets.clear();
        m_linkFrom.clear();
        m_sheets = sheets;
        m_tops.assign(sheets.size(), {});
        std::vector<const TElement*> owners;
        std::vector<size_t> path;
        std::vector<TElement*> scratch;
        for (size_t i = 0; i < sheets.size(); ++i) {
            const TEditor* sheet = sheets[i];
            m_tops[i].reserve(sheet->Elements.size());
            for (size_t k = 0; k < sheet->Elements.size(); ++k) {
                TElement* top = sheet->Elements[k].get();
                m_tops[i].push_back(top);
                path.assign(1, k);
                walk(top, sheet, int(i), owners, path, scratch, true);
            }
        }
        m_stamp = g_ElementLifeStamp;
        m_linkStamp = g_TextLinkStamp;
        m_full = ++m_buildCount;
        m_built = true;
    }

    void walk(TElement* e, const TEditor* sheet, int sheetIndex,
              std::vector<const TElement*>& owners, std::vector<size_t>& path,
              std::vector<TElement*>& scratch, bool links) {
        m_where.insert(e, Entry{sheet, sheetIndex, owners, path});
        if (const auto* t = links ? dynamic_cast<const TText*>(e) : nullptr) {
            if (t->IsLinkTarget() && !IsNullGuid(t->Id)) {
                const QByteArray k = guidKey(t->Id);
                if (!m_targets.contains(k)) m_targets.insert(k, t);
            }
            if (t->IsLinkText()) {
                const QByteArray k = guidKey(t->LinkTarget);
                if (!m_linkFrom.contains(k)) m_linkFrom.insert(k, t);
            }
        }
        const size_t start = scratch.size();
        e->AppendChildren(scratch);
        const size_t end = scratch.size();
        if (start == end) return;
        owners.push_back(e);
        for (size_t i = start; i < end; ++i) {
            path.push_back(i - start);
            walk(scratch[i], sheet, sheetIndex, owners, path, scratch, links);
            path.pop_back();
        }
        owners.pop_back();
        scratch.resize(start);
    }

    bool m_built = false;
    quint64 m_stamp = 0;
    quint64 m_linkStamp = 0;
    quint64 m_buildCount = 0; // counts full builds and appends
    quint64 m_full = 0;       // m_buildCount after the last full build
    QHash<const TElement*, Entry> m_where;
    QHash<QByteArray, const TText*> m_targets;
    QHash<QByteArray, const TText*> m_linkFrom;
    std::vector<const TEditor*> m_sheets;
    std::vector<std::vector<const TElement*>> m_tops;
};
int TLocator::Builds = 0;

struct Registered {
    TDocument* Doc;
    TLocator Locator;
};

struct State {
    std::vector<std::unique_ptr<Registered>> docs;
    const TEditor* libraryPage = nullptr;
    TLocator libraryLocator;
    TComponentPlaceholders componentStep = nullptr;
    TComponentHasNoParent noParent = nullptr;
};
State& state() {
    static State s;
    return s;
}

std::vector<const TEditor*> sheetsOf(const TDocument& doc) {
    std::vector<const TEditor*> s;
    s.reserve(size_t(doc.SheetCount()));
    for (int i = 0; i < doc.SheetCount(); ++i)
        s.push_back(&doc.Sheet(i));
    return s;
}

TLocator* locatorOf(const TDocument& doc) {
    for (auto& r : state().docs)
        if (r->Doc == &doc) return &r->Locator;
    return nullptr;
}

// The location of an element; a box line is found through its box.
bool locate(const TDocument& doc, const TElement* e, TTextLocation& out) {
    out = TTextLocation();
    // While a file is read its lists are incomplete; the refresh after reading expands again.
    if (g_ElementSwitches.LoadingMark || !e) return false;
    const TElement* box = nullptr;
    if (const auto* t = dynamic_cast<const TText*>(e); t && t->IsBoxLine && t->OwnerBox) {
        box = t->OwnerBox;
        e = box;
    }
    TLocator* loc = locatorOf(doc);
    TLocator fallback; // a document that never registered is asked without a cache
    Entry en;
    if (!(loc ? loc : &fallback)->Find(sheetsOf(doc), e, en)) return false;
    out.Sheet = en.Sheet;
    out.SheetIndex = en.SheetIndex;
    out.Owners = std::move(en.Owners);
    if (box) out.Owners.push_back(box);
    return true;
}

bool inLibraryPage(const TText& t) {
    State& s = state();
    if (!s.libraryPage || g_ElementSwitches.LoadingMark) return false;
    const TElement* e = t.IsBoxLine && t.OwnerBox ? t.OwnerBox : &t;
    Entry en;
    return s.libraryLocator.Find({s.libraryPage}, e, en);
}

bool defaultNoParent(const TText&, const TTextLocation& where) {
    const TElement* c = where.Component();
    TComponentLinks* links = AsComponent(const_cast<TElement*>(c));
    return !links || links->GetParentId() <= 0;
}

QString expander(const TText& t, const QString& source) {
    // Most texts hold no placeholder: they are done before any document is asked.
    const bool hasBoth = source.contains(QLatin1Char('<')) && source.contains(QLatin1Char('>'));
    if (!hasBoth && !t.IsDesignator) return source;
    TDocument* doc = DocumentOf(&t);
    if (!doc) doc = PlaceholderDocument();
    return doc ? ExpandTextPlaceholders(*doc, t, source) : source;
}

bool containsAny(const QString& s, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (s.contains(QLatin1String(n), Qt::CaseInsensitive)) return true;
    return false;
}
} // namespace

const TElement* TTextLocation::Component() const {
    for (auto it = Owners.rbegin(); it != Owners.rend(); ++it)
        if ((*it)->TypeCode == etBauteil) return *it;
    return nullptr;
}

void RegisterPlaceholderDocument(TDocument* doc) {
    if (!doc) return;
    auto r = std::make_unique<Registered>();
    r->Doc = doc;
    state().docs.push_back(std::move(r));
    SetPlaceholderExpander(expander);
    // The component types' step, unless a step of someone else's is in place.
    if (!state().componentStep) InstallComponentPlaceholders();
}

void UnregisterPlaceholderDocument(TDocument* doc) {
    auto& docs = state().docs;
    docs.erase(
        std::remove_if(docs.begin(), docs.end(), [doc](const auto& r) { return r->Doc == doc; }),
        docs.end());
}

TDocument* PlaceholderDocument() {
    const auto& docs = state().docs;
    return docs.empty() ? nullptr : docs.back()->Doc;
}

void SetPlaceholderLibraryPage(const TEditor* page) {
    state().libraryPage = page;
    state().libraryLocator.Invalidate();
}

TTextLocation LocateElement(const TDocument& doc, const TElement* e) {
    TTextLocation loc;
    locate(doc, e, loc);
    return loc;
}

TDocument* DocumentOf(const TElement* e) {
    const auto& docs = state().docs;
    for (auto it = docs.rbegin(); it != docs.rend(); ++it) {
        TTextLocation loc;
        if (locate(*(*it)->Doc, e, loc)) return (*it)->Doc;
    }
    return nullptr;
}

void InvalidatePlaceholderLocator(const TDocument& doc) {
    if (TLocator* l = locatorOf(doc)) l->Invalidate();
}

int PlaceholderLocatorBuilds() {
    return TLocator::Builds;
}

const TText* LinkTargetOf(const TDocument& doc, const TText& t) {
    if (!t.IsLinkText()) return nullptr;
    TLocator* l = locatorOf(doc);
    if (!l) return nullptr;
    l->Refresh(sheetsOf(doc));
    return l->Target(t.LinkTarget);
}

const TText* FirstLinkFrom(const TDocument& doc, const TText& t) {
    if (IsNullGuid(t.Id)) return nullptr;
    TLocator* l = locatorOf(doc);
    if (!l) return nullptr;
    l->Refresh(sheetsOf(doc));
    return l->FirstFrom(t.Id);
}

void SetComponentPlaceholders(TComponentPlaceholders step) {
    state().componentStep = step;
}
void SetComponentHasNoParent(TComponentHasNoParent rule) {
    state().noParent = rule;
}

void ReplacePlaceholder(QString& text, const QString& placeholder, const QString& value) {
    text.replace(placeholder, value, Qt::CaseInsensitive);
}

QString ExpandTextPlaceholders(const TDocument& doc, const TText& t, const QString& source) {
    const bool hasBoth = source.contains(QLatin1Char('<')) && source.contains(QLatin1Char('>'));
    const bool designator = t.IsDesignator;
    if (!hasBoth && !(doc.ComponentPageNumbers && designator)) return source;
    if (inLibraryPage(t)) return source;
    const TEditor* current = doc.CurrentSheet();
    if (current && current->ComponentEditorSheet && !designator) return source;

    QString s = source;
    const QLocale locale = QLocale::system();
    if (hasBoth) {
        // 1, 2: time, date and version.
        if (s.contains(QLatin1String("<TIME>"), Qt::CaseInsensitive))
            ReplacePlaceholder(s, QStringLiteral("<TIME>"),
                               locale.toString(QTime::currentTime(), QLocale::LongFormat));
        if (s.contains(QLatin1String("<DATE>"), Qt::CaseInsensitive))
            ReplacePlaceholder(s, QStringLiteral("<DATE>"),
                               locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        ReplacePlaceholder(s, QStringLiteral("<VERSION>"), kVersionText);
        // 3: the document file, when it exists on the disk.
        if (!doc.FileName.isEmpty() &&
            containsAny(s, {"<FILENAME>", "<FILEPATH>", "<FILEDATE>", "<FILETIME>"})) {
            const QFileInfo file(doc.FileName);
            if (file.exists()) {
                const QDateTime modified = file.lastModified();
                ReplacePlaceholder(s, QStringLiteral("<FILENAME>"), file.fileName());
                ReplacePlaceholder(s, QStringLiteral("<FILEPATH>"),
                                   file.absolutePath() + QLatin1Char('/'));
                ReplacePlaceholder(s, QStringLiteral("<FILEDATE>"),
                                   locale.toString(modified.date(), QLocale::ShortFormat));
                ReplacePlaceholder(s, QStringLiteral("<FILETIME>"),
                                   locale.toString(modified.time(), QLocale::LongFormat));
            }
        }
        // 4, 5: user variables before the page count, so a variable of that name wins.
        s = ReplaceUserVariables(s, doc.UserVariables);
        ReplacePlaceholder(s, QStringLiteral("<PAGECOUNT>"), QString::number(doc.SheetCount()));
    }

    // 6: the sheet of the text, and the sheet-number prefix of designators.
    TTextLocation where;
    bool located = false;
    auto whereIs = [&]() -> const TTextLocation& {
        if (!located) {
            locate(doc, &t, where);
            located = true;
        }
        return where;
    };
    const bool pageNames =
        containsAny(s, {"<PAGENO>", "<PAGENAME>", "<NEXT_PAGENO>", "<PREVIOUS_PAGENO>"});
    bool prefix = false;
    if (doc.ComponentPageNumbers && designator && whereIs().Component()) {
        const TComponentHasNoParent rule = state().noParent ? state().noParent : defaultNoParent;
        prefix = rule(t, whereIs());
    }
    if ((pageNames || prefix) && whereIs().Found()) {
        const int i = where.SheetIndex;
        ReplacePlaceholder(s, QStringLiteral("<PAGENO>"), QString::number(i + 1));
        ReplacePlaceholder(s, QStringLiteral("<NEXT_PAGENO>"), QString::number(i + 2));
        ReplacePlaceholder(s, QStringLiteral("<PREVIOUS_PAGENO>"), QString::number(i));
        ReplacePlaceholder(s, QStringLiteral("<PAGENAME>"), where.Sheet->SheetName);
        if (prefix) s = doc.PageNumberPrefix + QString::number(i + 1) + s;
    }

    // 7: component placeholders, supplied by the component types.
    if (state().componentStep && s.contains(QLatin1Char('<')) && s.contains(QLatin1Char('>')))
        state().componentStep(s, t, doc, whereIs());

    // 8: links.
    if (s.contains(QLatin1String("<LINK"), Qt::CaseInsensitive)) {
        auto partner = [&](const TText* other, const char* name, const char* number,
                           const char* text) {
            if (!other) return;
            const TTextLocation at = LocateElement(doc, other);
            if (at.Found()) {
                ReplacePlaceholder(s, QLatin1String(name), at.Sheet->SheetName);
                ReplacePlaceholder(s, QLatin1String(number), QString::number(at.SheetIndex + 1));
            }
            ReplacePlaceholder(s, QLatin1String(text), other->ShownText);
        };
        partner(LinkTargetOf(doc, t), "<LINK_PAGENAME>", "<LINK_PAGENO>", "<LINK_TEXT>");
        partner(FirstLinkFrom(doc, t), "<LINKFROM_PAGENAME>", "<LINKFROM_PAGENO>",
                "<LINKFROM_TEXT>");
    }
    return s;
}

// ------------------------------------------------------------------------------- letter rules

QString ChildLetters(int k) {
    if (k < 0 || k >= 26 * 27) return {};
    if (k < 26) return QString(QChar(char16_t(u'a' + k)));
    return QString(QChar(char16_t(u'A' + k / 26 - 1))) + QChar(char16_t(u'a' + k % 26));
}

std::vector<int> ParentContactNumbers(const QString& text) {
    std::vector<int> out;
    const QString head = QStringLiteral("<PARENT_CONTACT_");
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(head, from, Qt::CaseInsensitive);
        if (at < 0) break;
        const qsizetype start = at + head.size();
        const qsizetype close = text.indexOf(QLatin1Char('>'), start);
        from = start;
        if (close < 0) break;
        bool ok = false;
        const QStringView digits = QStringView(text).mid(start, close - start);
        const int n = digits.toInt(&ok);
        bool allDigits = !digits.isEmpty();
        for (QChar c : digits)
            allDigits = allDigits && c.isDigit() && c.unicode() < 128;
        if (ok && allDigits) out.push_back(n);
    }
    return out;
}

// -------------------------------------------------------------------------------------- refresh

std::vector<TText*> DocumentTexts(const TDocument& doc) {
    std::vector<TText*> out;
    ForEachElementDeep(doc.ElementLists(), [&](TElement* e) {
        if (auto* t = dynamic_cast<TText*>(e)) out.push_back(t);
    });
    return out;
}

void RefreshPageDependentLabels(TDocument& doc, bool allTexts, bool variablesChanged) {
    ForEachElementDeep(doc.ElementLists(), [&](TElement* e) {
        if (auto* t = dynamic_cast<TText*>(e)) {
            if (allTexts || t->IsComponentLabel()) t->RefreshShownText();
        } else if (auto* box = dynamic_cast<TTextRect*>(e)) {
            if (variablesChanged && box->LinePlaceholdersPresent())
                box->LayoutLines();
            else if (allTexts)
                box->RefreshShownTexts();
        }
    });
    bool captions = false;
    for (int i = 0; i < doc.SheetCount() && !captions; ++i) {
        const QString& name = doc.Sheet(i).SheetName;
        captions = name.contains(QLatin1Char('<')) && name.contains(QLatin1Char('>'));
    }
    if (captions && doc.Host) doc.Host->SheetsChanged();
}

void RefreshTextBoxes(TDocument& doc) {
    ForEachElementDeep(doc.ElementLists(), [](TElement* e) {
        if (auto* box = dynamic_cast<TTextRect*>(e)) box->RefreshShownTexts();
    });
}
