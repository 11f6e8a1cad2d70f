#pragma once

#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class TEditor;
class TRuler;
class TSheetView;

// The sheet area of the main window: the form-sheet bar above, the rulers with the origin
// button in their corner, and the scroll box showing the current sheet.
class TSheetArea : public QWidget {
    Q_OBJECT
public:
    explicit TSheetArea(QWidget* parent = nullptr);

    // Shows a sheet in the scroll box and the rulers.
    void SetSheet(TEditor* sheet);
    TEditor* Sheet() const { return m_sheet; }
    // Repaints the rulers of the directions given.
    void RepaintRulers(bool horizontal, bool vertical);
    // Moves the pointer markers of both rulers (client pixels of the scroll box).
    void SetRulerMarkers(QPoint client);
    // The banner shown while the form-sheet layer is edited.
    void ShowFormSheetBar(bool on);
    // Sets the texts from the message table.
    void Translate();

    QWidget* Panel_Formblatt;
    QLabel* L_Formblatt;
    QPushButton* B_FormblattBeenden;
    QToolButton* SB_Nullpunkt;
    TRuler* PB_Horz;
    TRuler* PB_Vert;
    TSheetView* ScrollBox_Editor;
    QMenu* Popup_KoordinatenUrsprung;

Q_SIGNALS:
    // "Beenden" on the form-sheet bar.
    void FormSheetBarClosed();
    // The origin changed through the menu or a drag.
    void OriginChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OriginCornerChosen(int tag);
    void BlinkFormSheetBar();

    TEditor* m_sheet = nullptr;
    QTimer* m_blink;
    bool m_blinkOn = false;
    bool m_pressOnOrigin = false;
    bool m_originDragging = false;
    QPoint m_pressAt;
};
