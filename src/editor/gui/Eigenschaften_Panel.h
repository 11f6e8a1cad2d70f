#pragma once

#include "document/sheetproperties.h"

#include <QDialog>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

// A spin edit that takes any number while it is typed and clamps it into its range when it is
// left (an empty field counts as 0), instead of refusing the keystroke that overshoots.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    QString Number(const QString& text) const; // the text without prefix and suffix
};

// A collapsible category of the properties panel: a caption bar that opens and closes it, and
// the category's controls below.
class TCategoryPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCategoryPanel(const char* name, QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const;
    void SetCollapsed(bool collapsed);
    bool Collapsed() const;
    QWidget* Content() const { return m_content; }
    QToolButton* Header() const { return m_header; }

private:
    QToolButton* m_header;
    QWidget* m_content;
};

// What the panel edits; each category is visible for the states that fit it.
struct TPanelState {
    bool NothingEdited = true;    // no element is edited: the sheet's own properties show
    bool ComponentEditor = false; // the current sheet is the component editor's
    bool HasSheet = false;
};

// The properties panel. With nothing selected it shows and edits the current sheet's own
// properties ("Blatt", "Maßstab", "Formblatt"); every change is handed to the host at once
// through SheetPropertiesChanged with all the sheet's values, the edited one replaced.
class TEigenschaftenPanel : public QWidget {
    Q_OBJECT
public:
    explicit TEigenschaftenPanel(QWidget* parent = nullptr);

    // Fills the sheet categories from a sheet's values. Controls whose value is the same keep
    // their state (a field being typed in keeps its caret).
    void ShowSheet(const TSheetProperties& values, bool componentEditor);
    // No sheet: the sheet categories are hidden.
    void ShowNothing();
    const TSheetProperties& SheetValues() const { return m_sheet; }
    const TPanelState& State() const { return m_state; }
    // Sets the texts from the message table.
    void Translate();
    // The height the visible categories need.
    int ContentHeight() const;

    QScrollArea* PG_Eigenschaften;
    TCategoryPanel* CP_Blatt;
    TCategoryPanel* CP_Massstab;
    TCategoryPanel* CP_Formblatt;

    QComboBox* CB_BlattFormat;
    QRadioButton* RB_BlattQuer;
    QRadioButton* RB_BlattHoch;
    TSpinEdit* SE_BlattWidth;
    TSpinEdit* SE_BlattHeight;
    QLineEdit* E_BlattName;
    QPlainTextEdit* Memo_Blatt;
    QCheckBox* CB_Reserveblatt;

    QLineEdit* E_Massstab;
    QComboBox* CB_Massstab;
    QPushButton* B_MassstabReset;

    TSpinEdit* SE_Formblatt_Width;
    TSpinEdit* SE_Formblatt_Height;
    TSpinEdit* SE_Formblatt_XOffset;
    TSpinEdit* SE_Formblatt_YOffset;
    TSpinEdit* SE_Formblatt_XAnz;
    TSpinEdit* SE_Formblatt_YAnz;
    TSpinEdit* SE_Formblatt_XStart;
    TSpinEdit* SE_Formblatt_YStart;
    QCheckBox* CB_Formblatt_Show;
    QPushButton* B_Formblatt_Create;
    QPushButton* B_Formblatt_Auto;

Q_SIGNALS:
    void SheetPropertiesChanged(const TSheetProperties& values);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TCategory {
        TCategoryPanel* Panel;
        std::function<bool(const TPanelState&)> VisibleWhen;
    };
    void BuildSheetCategory();
    void BuildScaleCategory();
    void BuildFormSheetCategory();
    void AddCategory(TCategoryPanel* panel, std::function<bool(const TPanelState&)> visibleWhen);
    void UpdateCategories();
    void Fill();
    void FillScale();
    void Changed();
    void FormatChosen(int index);
    void OrientationChosen(bool portrait);
    void ScaleEntered();
    void UnitChosen(int index);
    void AutoZoneGrid();

    std::vector<TCategory> m_categories;
    std::vector<std::pair<QLabel*, int>> m_labels; // captions and their messages
    QVBoxLayout* m_group = nullptr;
    TSheetProperties m_sheet;
    TPanelState m_state;
    bool m_filling = false;
};

// The free window of the properties panel; the docked frame takes the panel back when it closes.
class TEigenschaftenFenster : public QWidget {
    Q_OBJECT
public:
    explicit TEigenschaftenFenster(QWidget* parent = nullptr);
    void TakePanel(TEigenschaftenPanel* panel);
    void Translate();

Q_SIGNALS:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The properties panel in a dialog of its own (setting "AlteDialoge"): at the lower right of the
// screen's work area, as high as the visible categories; ESC closes it.
class TEigenschaftenDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEigenschaftenDlg(QWidget* parent = nullptr);

    void TakePanel(TEigenschaftenPanel* panel);
    // Size and place for the panel's visible categories.
    void Place();
    void Translate();

private:
    TEigenschaftenPanel* m_panel = nullptr;
};
