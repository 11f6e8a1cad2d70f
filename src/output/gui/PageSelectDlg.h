#pragma once

#include <QDialog>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

// The sheet selection dialog: a multi-select list of sheet names in which reserved sheets,
// shown as "- - - -", can never be chosen.
class TPageSelectDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPageSelectDlg(QWidget* parent = nullptr);

    static const QString ReservedMarker; // "- - - -"

    // Fills the list and preselects lines (indices into `lines`).
    void SetLines(const QStringList& lines, const std::vector<int>& preselected);
    // The selected lines, in list order.
    std::vector<int> SelectedLines() const;
    void Translate();

    QLabel* Label1;
    QListWidget* LB_Seiten;
    QPushButton* B_Alle;
    QPushButton* B_Keine;
    QPushButton* B_OK;
    QPushButton* B_Cancel;
    QLabel* StatusBar1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Deselects the markers and updates the status line.
    void Tidy();
};
