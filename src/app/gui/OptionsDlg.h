#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class QTreeWidget;

// The options dialog ("Grundeinstellungen"). It keeps its own controls consistent; the main
// window fills the controls before showing it and takes the values over afterwards.
class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    enum TPage {
        pgGrundeinstellungen,
        pgAnzeige,
        pgVerzeichnisse,
        pgBibliothek,
        pgRaster,
        pgAutospeichern,
        pgNeuesBlatt,
        pgHotkeys,
        pgCount
    };
    // Pixels per inch of the scaling choices after "Automatisch".
    static constexpr int ScalingPPI[] = {96, 120, 144, 168, 192};
    static const QString NoHotkey; // "---"

    explicit TOptionsDlg(QWidget* parent = nullptr);
    ~TOptionsDlg() override;

    // Sets every text from the message table.
    void Translate();
    void ShowPage(int page);
    int CurrentPage() const;

    // What the dialog needs to know about the running program; set before showing.
    QString DataFolder;
    int ScreenPPI = 96;
    bool RunningAntialiased = true;
    bool AntialiasedSupported = true;
    bool CurrentBitmapScaling = true;
    int Language = 0;

    // Page 1: scaling. -1 stands for "Automatisch".
    void SetScaling(bool automatic, int ppi);
    bool ScalingAutomatic() const;
    int ScalingChoicePPI() const; // 0 for "Automatisch"
    // Whether the scaling choice differs from the one the dialog was filled with.
    bool ScalingChanged() const;
    // Page 1: renderer.
    void SetAntialiased(bool on);
    bool Antialiased() const;
    // Page 4: line or dot grid.
    void SetDotGrid(bool dots);
    bool DotGrid() const;
    // Page 6: new-sheet defaults.
    void SetSheetSize(int width, int height);
    int SheetWidth() const;
    int SheetHeight() const;
    bool Landscape() const;
    // The grid button of page 6, in world units; shown in mm.
    void SetGrid(int gridSize);
    int Grid() const { return m_grid; }
    // Page 7: one row per tool: its hint and hotkey (empty for none).
    void SetHotkeys(const QList<QPair<QString, QString>>& rows);
    // The keys of the rows; empty for "---".
    QStringList Hotkeys() const;
    // Gives the selected row a key ("---" or empty for none) unless another row has it.
    bool AssignHotkey(const QString& key);

    // A length in mm with the fewest decimals (at most two) that show it, and " mm"; the German
    // and French interface write a decimal comma.
    static QString FormatMM(double mm, int language);
    // The caption of the grid button for a grid in world units.
    static QString GridCaption(int gridSize, int language) {
        return FormatMM(gridSize / 10.0, language);
    }

    // The menu the grid button opens (the main window's grid menu).
    QMenu* GridMenu = nullptr;

    // Page 0
    QCheckBox* CB_BlattSeitennummer;
    QCheckBox* CB_BauteilSeitennummer;
    QLabel* L_Praefix;
    QLineEdit* E_Praefix;
    QCheckBox* CB_BMPZLib;
    QCheckBox* CB_Dateiinfo;
    QCheckBox* CB_AlteDialoge;
    QCheckBox* CB_MoveBezWertmitALT;
    // Page 1
    QLabel* L_Skalierung;
    QComboBox* CB_Skalierung;
    QCheckBox* CB_BitmapScaling;
    QCheckBox* CB_BKWhite;
    QRadioButton* RB_D2D;
    QRadioButton* RB_GDI;
    QCheckBox* CB_TextAntiAliasing;
    QCheckBox* CB_GDIPoints;
    // Page 2
    QLabel* L_Arbeitsverzeichnisse;
    QLabel* L_KavVerz;
    QLineEdit* E_KavVerz;
    QToolButton* SB_KavVerz;
    QLabel* L_ExportVerz;
    QLineEdit* E_ExportVerz;
    QToolButton* SB_ExportVerz;
    QLabel* L_FormblattVerz;
    QLineEdit* E_FormblattVerz;
    QToolButton* SB_FormblattVerz;
    QLabel* L_VorlagenVerz;
    QLineEdit* E_VorlagenVerz;
    QToolButton* SB_VorlagenVerz;
    QLabel* L_VerzHinweis;
    QPushButton* B_Standardwerte;
    // Page 3
    QLabel* L_BiboDir;
    QLineEdit* E_BiboDir;
    QPushButton* B_BiboAendern;
    QPushButton* B_BiboReset;
    QPushButton* B_BiboExplorer;
    QLabel* L_Bibo1;
    QLabel* L_Bibo2;
    QLabel* L_Bibo3;
    // Page 4
    QLabel* L_Kontrast;
    QComboBox* CB_Kontrast;
    QLabel* L_Markierung;
    QComboBox* CB_Markierung;
    QRadioButton* RB_Linienraster;
    QRadioButton* RB_Punktraster;
    QCheckBox* CB_GridOverBK;
    // Page 5
    QCheckBox* CB_Autospeichern;
    QLabel* L_Intervall;
    QSpinBox* SE_Intervall;
    QLabel* L_AutospeichernHinweis;
    QCheckBox* CB_BackupOnOpen;
    QLabel* L_BackupHinweis;
    // Page 6
    QLabel* L_NeuesBlatt;
    QLabel* L_Breite;
    QSpinBox* SE_Breite;
    QLabel* L_Hoehe;
    QSpinBox* SE_Hoehe;
    QRadioButton* RB_Querformat;
    QRadioButton* RB_Hochformat;
    QComboBox* CB_Format;
    QLabel* L_Raster;
    QPushButton* B_Raster;
    QLabel* L_Formblatt;
    QLineEdit* E_Formblatt;
    QToolButton* SB_Formblatt;
    // Page 7
    QTreeWidget* LV_Hotkeys;
    QPushButton* B_Hotkey;
    QMenu* Popup_Hotkey;
    // Frame
    QTreeWidget* TV_Seiten;
    QStackedWidget* PC_Seiten;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;
    QPushButton* B_Hilfe;

    // The form-sheet folder the file picker of page 6 starts in.
    QString FormSheetFolder;
    QString FormSheetFilter;

Q_SIGNALS:
    // The help topic of the page shown.
    void HelpRequested(int page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    void UpdateEnabled();
    void ScalingChosen(int index);
    void RendererChosen();
    void FormatChosen(int index);
    void OrientationChosen(bool landscape);
    void SizeEdited();
    void HotkeySelectionChanged();
    void FillHotkeyMenu();
    void PickFolder(QLineEdit* edit);
    void SetDefaultFolders();

    int m_grid = 10;
    bool m_updating = false; // set while the dialog itself changes controls
    int m_filledScalingIndex = 0;
    QButtonGroup* m_renderer;
    QButtonGroup* m_orientation;
    QButtonGroup* m_gridType;
};
