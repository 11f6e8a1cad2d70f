#pragma once

#include "editor/editor.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QRegion>

class QTimer;

// The scroll box showing the current sheet (`ScrollBox_Editor`). The sheet is a virtual canvas:
// the widget is only as large as the visible part, the scroll bars span the sheet at its zoom,
// and the sheet model does every computation. The rendered picture of the sheet is kept as the
// background; overlays (crosshair, drag outlines) are drawn on top of it and never re-render the
// elements. A scroll moves the kept picture and renders only the strip that came into view.
class TSheetView : public QAbstractScrollArea, public TSheetViewPort {
    Q_OBJECT
public:
    explicit TSheetView(QWidget* parent = nullptr);
    ~TSheetView() override;

    // Shows a sheet (none for nullptr); the sheet takes the view's size at once.
    void SetSheet(TEditor* sheet);
    TEditor* Sheet() const { return m_sheet; }

    // TSheetViewPort
    void CanvasChanged() override;
    void Invalidate(const QRect& client) override;
    void OverlayChanged() override;
    void SetPointer(QPoint client) override;

    // A drag that started outside the sheet (the origin button) moves over it: global pointer.
    void ExternalDragMove(QPoint global, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void ExternalDragEnd();

    // Mouse pointer in client coordinates.
    QPoint PointerClient() const;
    // How often the elements were rendered: the whole view, or strips of it.
    int FullRenders() const { return m_fullRenders; }
    int PartialRenders() const { return m_partialRenders; }
    // Renders the view now, as the next paint would (tests and benchmarks).
    void RenderNow();

Q_SIGNALS:
    // A key the view does not handle itself (the main window's dispatch may).
    void UnhandledKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SyncScrollBars();
    void UpdateClientSize();
    void RenderBackground();
    void RenderRegion(const QRegion& region);
    void PointerMoved(QPoint client, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys);
    void AutoScrollTick();
    bool ScrollBarWheel(QObject* bar, QWheelEvent* event);

    TEditor* m_sheet = nullptr;
    QPixmap m_background;
    bool m_backgroundValid = false;
    QPoint m_backgroundScroll;
    float m_backgroundZoom = 0;
    QRegion m_dirty;
    bool m_syncing = false;
    int m_wheelRest = 0; // wheel angle not yet used (touchpads send small steps)
    QTimer* m_autoScroll;
    bool m_externalDrag = false;
    QPoint m_lastPointer;
    Qt::MouseButtons m_lastButtons = Qt::NoButton;
    int m_fullRenders = 0;
    int m_partialRenders = 0;
};
