#pragma once

#include "editor/viewplan.h"

#include <QWidget>

class TEditor;

// One of the two rulers (`PB_Horz` above the sheet, `PB_Vert` left of it), 22 pixels thick. It
// draws the tick plan of the shown sheet and the pointer marker.
class TRuler : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 22;

    TRuler(Qt::Orientation orientation, QWidget* parent = nullptr);

    void SetSheet(const TEditor* sheet);
    Qt::Orientation Orientation() const { return m_orientation; }
    // The pointer marker at a pixel along the ruler; nothing is drawn for a position <= 0.
    void SetMarker(int pixel);
    int Marker() const { return m_marker; }
    // The plan of the last paint (tests read the labels from it).
    TRulerPlan Plan() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // A press on the ruler (magnet lines are dragged out of it).
    void Pressed(QPoint global, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TRulerInput Input() const;

    Qt::Orientation m_orientation;
    const TEditor* m_sheet = nullptr;
    int m_marker = -1;
};
