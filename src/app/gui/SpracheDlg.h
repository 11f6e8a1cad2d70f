#pragma once

#include <QDialog>

class QRadioButton;

// The viewer's language choice: German, English or French.
class TSpracheDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSpracheDlg(QWidget* parent = nullptr);

    void SetLanguage(int language);
    int Language() const;

    // Shows the dialog with a language preselected; the confirmed language, or -1 for cancel.
    static int Choose(QWidget* parent, int language);

    QRadioButton* RB_Deutsch;
    QRadioButton* RB_Englisch;
    QRadioButton* RB_Franzoesisch;
};
