#pragma once

// "Erweiterte Texteingabe": a one-line text field with insertion aids for the fixed
// placeholders, the document's user variables, the text constants and special characters. A
// chosen entry replaces the field's selection at the cursor; the system clipboard is not touched.

#include <QDialog>
#include <functional>

class QLineEdit;
class TDocument;
class QMenu;
class QPushButton;

class TTextEingabeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TTextEingabeDlg(QWidget* parent = nullptr);

    QLineEdit* E_Text;
    QPushButton* B_FesteVariable;
    QPushButton* B_AnwenderVariable;
    QPushButton* B_AnwenderVariablenDefinieren;
    QPushButton* B_Textkonstante;
    QPushButton* B_TextkonstantenDefinieren;
    QPushButton* B_Sonderzeichen;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;
    // The menus, rebuilt each time they open.
    QMenu* Popup_FesteVariablen;
    QMenu* Popup_AnwenderVariablen;
    QMenu* Popup_Textkonstanten;

    void SetText(const QString& text);
    QString Text() const;

    // The document's side: the user-variable names (without brackets), and the user-variable
    // dialog (true after OK). Without them no user variables are offered.
    std::function<QStringList()> UserVariableNames;
    std::function<bool(QWidget* parent)> DefineUserVariables;
    // The character picker; empty for Cancel. Without it a code point can be typed in.
    std::function<QString(QWidget* parent)> ChooseSpecialCharacter;

    // Offers the document's user variables and defines them with the user-variable dialog.
    void UseDocument(TDocument& doc);

    // The fixed placeholders in their groups; designator and value entries in the interface
    // language.
    static QList<QStringList> FixedVariableGroups();

    // Inserts at the cursor, replacing the selection.
    void InsertText(const QString& text);
    void UpdateTexts();

Q_SIGNALS:
    // Context help was asked for; the main window shows it.
    void HelpRequested();

public Q_SLOTS:
    void FesteVariableClick();
    void AnwenderVariableClick();
    void AnwenderVariablenDefinierenClick();
    void TextkonstanteClick();
    void TextkonstantenDefinierenClick();
    void SonderzeichenClick();

protected:
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void fillMenu(QMenu* menu, const QList<QStringList>& groups);
    void showMenu(QMenu* menu, QPushButton* under);
};
