#pragma once

// "Anwender-Variablen": edits the user variables of a document in a grid of names and texts.
// Duplicate names (ignoring case) are reported whenever the selected cell changes and keep the
// dialog from closing with OK.

#include "document/gui/gridlistdlg.h"
#include "document/uservars.h"

class TDocument;

class TAnwenderVariablenDlg : public TGridListDlg {
    Q_OBJECT
public:
    explicit TAnwenderVariablenDlg(TDocument& doc, QWidget* parent = nullptr);

    // As on opening: the document's variables sorted by name, empty names dropped, and a copy
    // kept for Cancel.
    void Prepare();
    // Prepare, then the modal dialog; true after OK.
    bool Run();
    // The rows of the grid with their names trimmed; rows without a name are left out.
    TUserVariables Variables() const;
    // Trims the names in the grid and reports every pair of rows with the same name; false when
    // there was one.
    bool CheckNames();

Q_SIGNALS:
    // OK changed the document's variables and its texts were expanded anew.
    void VariablesChanged();

protected:
    bool CanClose() override;
    void Confirmed() override;
    void done(int result) override;

private:
    TDocument& m_doc;
    TUserVariables m_copy;
    bool m_checking = false;
};

// Sorts variables by name without regard to case, in the user's locale.
void SortUserVariables(TUserVariables& list);
