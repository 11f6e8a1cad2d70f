#pragma once

#include <QWidget>
#include <vector>

class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

// The sheet list: a two-column grid (number, name) with one row per sheet, an alternative to the
// tabs. Its rows can be dragged to new places; the current row carries a "..." button with the
// panel's menu. The list lives docked in the main window or in its free window.
class TSheetListPanel : public QWidget {
    Q_OBJECT
public:
    struct TRow {
        QString Number;
        QString Name;
        QString Hint; // the sheet's description
    };
    static constexpr int kRowHeight = 24;

    explicit TSheetListPanel(QWidget* parent = nullptr);

    void SetRows(const std::vector<TRow>& rows, int current);
    int CurrentRow() const { return m_current; }
    int RowCount() const;
    void Translate();

    QTableWidget* SG_Pages;
    QToolButton* SB_PagesMenu;
    QPushButton* B_Inhaltsverzeichnis;
    QMenu* Popup_Pages;
    QAction* M_Loeschen;
    QMenu* M_NeuesBlatt;
    QAction* M_NeuHier;
    QAction* M_NeuErstes;
    QAction* M_NeuLetztes;
    QMenu* M_BlattKopieren;
    QAction* M_KopieHier;
    QAction* M_KopieLetztes;
    QAction* M_KopieMehr;
    QAction* M_Eigenschaften;

Q_SIGNALS:
    void RowSelected(int row);
    void RowMoved(int from, int to);
    void DeleteRequested();
    // A new sheet at an insert position (0 first, the row count after the last).
    void NewSheetRequested(int position);
    // One copy of a row's sheet at an insert position.
    void CopyRequested(int source, int position);
    void CopyMoreRequested();
    void PropertiesRequested();
    void TableOfContentsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceMenuButton();

    int m_current = -1;
    int m_pressRow = -1;
    bool m_filling = false;
};

// The free window of the sheet list.
class TPagesPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPagesPanel(QWidget* parent = nullptr);
    // Takes the content in; the docked frame gets it back when the window closes.
    void TakeContent(QWidget* content);

Q_SIGNALS:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};
