#pragma once

// "Textkonstanten": edits the program's text constants and writes them to "USERTEXT.DAT".

#include "document/gui/gridlistdlg.h"

class TTextKonstantenDlg : public TGridListDlg {
    Q_OBJECT
public:
    explicit TTextKonstantenDlg(QWidget* parent = nullptr);

    // As on opening: the program's constants, sorted, without empty entries.
    void Prepare();
    // Prepare, then the modal dialog; true after OK.
    bool Run();
    // The constants in the grid, sorted, without empty entries.
    QStringList Constants() const;
    // Where OK writes the list; the data folder's "USERTEXT.DAT" unless set.
    QString FileName;

protected:
    void Confirmed() override;
};
