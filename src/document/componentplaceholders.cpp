#include "document/componentplaceholders.h"

#include "document/document.h"
#include "document/placeholders.h"
#include "elements/Gruppe.h"
#include "elements/Kontakt.h"
#include "elements/bauteil.h"
#include "elements/text.h"

#include <algorithm>
#include <set>

namespace {
bool has(const QString& s, const char* name) {
    return s.contains(QLatin1String(name), Qt::CaseInsensitive);
}

void replace(QString& s, const char* name, const QString& value) {
    ReplacePlaceholder(s, QLatin1String(name), value);
}

void zonePlaceholders(QString& s, const TBauteil& c, const TDocument& doc) {
    if (!has(s, "<COLNUM>") && !has(s, "<ROWNUM>") && !has(s, "<COLCHAR>") && !has(s, "<ROWCHAR>"))
        return;
    const TEditor* sheet = doc.CurrentSheet();
    if (!sheet) return;
    const TZoneGrid& g = sheet->ZoneGrid;
    const TRRect b = c.Body->GetBounds();
    const double cx = (double(b.Left) + b.Right) / 2, cy = (double(b.Top) + b.Bottom) / 2;
    // Without a letter form (left of or above the grid, below "A", beyond "ZZZ") the letter
    // placeholder stays as typed.
    if (const std::optional<int> col = g.ColumnNumber(cx)) {
        replace(s, "<COLNUM>", QString::number(*col));
        const QString letters = g.ColumnLetters(cx);
        if (!letters.isEmpty()) replace(s, "<COLCHAR>", letters);
    }
    if (const std::optional<int> row = g.RowNumber(cy)) {
        replace(s, "<ROWNUM>", QString::number(*row));
        const QString letters = g.RowLetters(cy);
        if (!letters.isEmpty()) replace(s, "<ROWCHAR>", letters);
    }
}

void parentPlaceholders(QString& s, const TBauteil& c, const TDocument& doc) {
    const TBauteil* p = c.Parent;
    if (!p) return;
    if (has(s, "<PARENT_")) {
        replace(s, "<PARENT_ID>", p->ShownDesignator());
        replace(s, "<PARENT_VALUE>", p->ShownValue());
        static const char* const extra[] = {"<PARENT_Z1>", "<PARENT_Z2>", "<PARENT_Z3>",
                                            "<PARENT_Z4>"};
        for (int i = 0; i < 4; ++i)
            replace(s, extra[i], p->ExtraText[size_t(i)]);
        if (has(s, "<PARENT_PAGENO>")) {
            const TTextLocation at = LocateElement(doc, p);
            if (at.Found()) replace(s, "<PARENT_PAGENO>", QString::number(at.SheetIndex + 1));
        }
        if (has(s, "<PARENT_CONTACT_")) {
            const std::vector<TKontakt*> contacts = p->Contacts();
            for (int n : ParentContactNumbers(s))
                if (n >= 1 && n <= int(contacts.size()))
                    replace(s, QStringLiteral("<PARENT_CONTACT_%1>").arg(n).toLatin1().constData(),
                            contacts[size_t(n - 1)]->ShownText);
        }
    }
    const int k = p->ChildIndex(&c);
    if (k >= 0) {
        replace(s, "<CHILDNO>", QString::number(k + 1));
        const QString letters = ChildLetters(k);
        if (!letters.isEmpty()) replace(s, "<CHILDCHAR>", letters);
    }
}

void childPages(QString& s, const TBauteil& c, const TDocument& doc) {
    if (!has(s, "<CHILD_PAGENO>")) return;
    std::set<int> pages;
    for (const TBauteil* child : c.Children) {
        const TTextLocation at = LocateElement(doc, child);
        if (at.Found()) pages.insert(at.SheetIndex + 1);
    }
    QStringList numbers;
    for (int p : pages)
        numbers << QString::number(p);
    replace(s, "<CHILD_PAGENO>", numbers.join(QStringLiteral(", ")));
}
} // namespace

void ExpandComponentPlaceholders(QString& s, const TText& t, const TDocument& doc,
                                 const TTextLocation& where) {
    const TElement* owner = where.Component();
    if (!owner) return;
    const auto& c = static_cast<const TBauteil&>(*owner);
    // Labels show the other label's text as it is: a label naming itself does not recurse.
    replace(s, "<BEZ>", c.ShownDesignator());
    replace(s, "<ID>", c.ShownDesignator());
    replace(s, "<WERT>", c.ShownValue());
    replace(s, "<VALUE>", c.ShownValue());
    replace(s, "<VALEUR>", c.ShownValue());
    static const char* const extra[] = {"<Z1>", "<Z2>", "<Z3>", "<Z4>"};
    for (int i = 0; i < 4; ++i)
        replace(s, extra[i], c.ExtraText[size_t(i)]);
    zonePlaceholders(s, c, doc);
    parentPlaceholders(s, c, doc);
    childPages(s, c, doc);
}

void InstallComponentPlaceholders() {
    SetComponentPlaceholders(ExpandComponentPlaceholders);
}
