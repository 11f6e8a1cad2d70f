#pragma once

#include <QHash>
#include <QList>
#include <QString>

// A user variable of a document: referenced in texts and sheet names as its name in angle
// brackets. Names are compared without regard to case.
struct TUserVariable {
    QString Name;
    QString Value;
    friend bool operator==(const TUserVariable&, const TUserVariable&) = default;
};
using TUserVariables = QList<TUserVariable>;

// Limits of the stored block; a file beyond them is damaged.
constexpr int kMaxUserVariables = 30000;
constexpr int kMaxUserVariableEntry = 250; // UTF-16 code units of "name|value"

// Index of the variable with that name (ignoring case), -1 for none.
int FindUserVariable(const TUserVariables& list, const QString& name);

// Merges stored entries "name|value" into a list: a new name is appended; a known name with a
// different value is offered to the user as a replacement. Entries without "|" or without a name
// are ignored.
class TUserVariableMerger {
public:
    explicit TUserVariableMerger(TUserVariables& list);
    void Merge(const QString& entry);

private:
    TUserVariables& m_list;
    QHash<QString, int> m_index; // case-folded name -> index
};
inline void MergeUserVariable(TUserVariables& list, const QString& entry) {
    TUserVariableMerger(list).Merge(entry);
}

// Replaces every "<name>" (any case) of every variable with a name by its value, variables taken
// in list order.
QString ReplaceUserVariables(const QString& text, const TUserVariables& list);
