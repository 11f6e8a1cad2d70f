#pragma once

#include <QDialog>
#include <vector>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The insert dialog of "Neues Blatt...", "Blatt kopieren..." and "Blatt la&den...": where the
// sheet goes, and for copies how many.
class TBlattEinfuegenDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBlattEinfuegenDlg(QWidget* parent = nullptr);

    // Sets the dialog up for a document of `sheetCount` sheets whose current sheet has the
    // index `current`; with `copy` the count group is shown and the title is "Blatt kopieren".
    void Prepare(int sheetCount, int current, bool copy);
    // The chosen position: 0 first, the sheet count after the last, n - 1 before sheet n, n
    // after sheet n.
    int Position() const;
    int Count() const;
    void Translate();

    QGroupBox* GB_Position;
    QRadioButton* RB_ErstesBlatt;
    QRadioButton* RB_LetztesBlatt;
    QRadioButton* RB_Vor;
    QRadioButton* RB_Nach;
    QLabel* L_Blatt;
    QSpinBox* SE_Blatt;
    QGroupBox* GB_Anzahl;
    QSpinBox* SE_Anzahl;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;

private:
    void UpdateEnabled();
    int m_sheetCount = 1;
    bool m_copy = false;
};

// The sort dialog: the sheet captions in a multi-select list; dragging moves every selected
// entry by the same number of places.
class TBlattSortierenDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBlattSortierenDlg(QWidget* parent = nullptr);

    void SetCaptions(const QStringList& captions, int current);
    // order[i]: the present index of the sheet that goes to index i.
    std::vector<int> Order() const { return m_order; }
    // Moves the selected entries by `delta` places, stopping at either end; false when nothing
    // moved.
    bool MoveSelection(int delta);
    void Translate();

    QLabel* L_Hinweis;
    QListWidget* LB_Blaetter;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill(const std::vector<bool>& selected);
    QStringList m_captions;
    std::vector<int> m_order;
    int m_dragRow = -1;
};
