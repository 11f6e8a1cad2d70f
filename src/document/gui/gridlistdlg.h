#pragma once

// The small list editors of texts: a grid of editable rows with "Neue Zeile", "Zeile löschen",
// OK, "Abbrechen" and a note. The text-constant and user-variable dialogs build on it.

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

class TGridListDlg : public QDialog {
    Q_OBJECT
public:
    // Message IDs of the caption, the two row buttons, the cancel button and the note; header
    // messages for the columns (none: no header row).
    struct Texts {
        int Caption, NewRow, DeleteRow, Cancel, Note;
        QList<int> Headers;
    };
    TGridListDlg(int columns, const Texts& texts, QWidget* parent = nullptr);

    QTableWidget* SG1;
    QPushButton* B_NeueZeile;
    QPushButton* B_ZeileLoeschen;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;
    QLabel* L_Hinweis;

    // Rows as lists of cell texts.
    QList<QStringList> Rows() const;
    void SetRows(const QList<QStringList>& rows);

    // The captions from the message table in the current language.
    void UpdateTexts();

protected:
    // Called before the dialog closes with OK; false keeps it open.
    virtual bool CanClose() { return true; }
    // Called when OK closes the dialog.
    virtual void Confirmed() {}
    void changeEvent(QEvent* e) override;
    void done(int result) override;

protected Q_SLOTS:
    void NeueZeileClick();
    void ZeileLoeschenClick();

private:
    Texts m_texts;
};
