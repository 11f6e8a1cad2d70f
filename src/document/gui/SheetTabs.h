#pragma once

#include <QWidget>
#include <vector>

class QToolButton;

// The owner-drawn sheet tabs below the sheet (`TabSet`), in sheet order. A click on another tab
// shows its sheet; a tab dragged 20 pixels and dropped on another tab moves its sheet there.
class TSheetTabs : public QWidget {
    Q_OBJECT
public:
    struct TTab {
        QString Text; // the tab text: the caption with two spaces on each side
        bool Reserve = false;
        QString Hint; // the sheet's description
    };
    static constexpr int kDragThreshold = 20;

    explicit TSheetTabs(QWidget* parent = nullptr);

    void SetTabs(std::vector<TTab> tabs, int current);
    int Count() const { return int(m_tabs.size()); }
    int Current() const { return m_current; }
    const TTab& Tab(int index) const { return m_tabs.at(size_t(index)); }
    // Tab rectangle in widget coordinates (scrolled).
    QRect TabRect(int index) const;
    int TabAt(QPoint p) const;
    // Scrolls the strip so the tab is wholly visible.
    void EnsureVisible(int index);
    // Scrolls by a number of tabs (negative: towards the first).
    void ScrollTabs(int tabs);
    bool CanScrollLeft() const { return m_first > 0; }
    bool CanScrollRight() const;
    // While a tab is dragged over another: that tab and the side of the red bar.
    int DropTarget() const { return m_dragging ? m_dropIndex : -1; }
    bool DropOnRight() const { return m_dropRight; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void TabClicked(int index);
    void TabMoved(int from, int to);
    void TabContextMenu(int index, QPoint global);
    void ScrollChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    int TabWidth(int index) const;

    std::vector<TTab> m_tabs;
    int m_current = -1;
    int m_first = 0; // first tab shown
    int m_pressIndex = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropIndex = -1;
    bool m_dropRight = false;
};

// The tab strip `Panel_Tabs`: the new-sheet and go-to buttons, the tabs and their scroll buttons.
class TSheetTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TSheetTabStrip(QWidget* parent = nullptr);

    QToolButton* SB_NeuesBlatt;
    QToolButton* SB_GotoPage;
    TSheetTabs* TabSet;
    QToolButton* SB_TabsLeft;
    QToolButton* SB_TabsRight;

private:
    void UpdateScrollButtons();
};
