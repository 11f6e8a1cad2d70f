#include "editor/gui/Ruler.h"

#include "editor/editor.h"
#include "platform/messages.h"

#include <QMouseEvent>
#include <QPainter>

TRuler::TRuler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    setObjectName(orientation == Qt::Horizontal ? QStringLiteral("PB_Horz")
                                                : QStringLiteral("PB_Vert"));
    if (orientation == Qt::Horizontal)
        setFixedHeight(kThickness);
    else
        setFixedWidth(kThickness);
    QFont f = font();
    f.setPixelSize(10);
    setFont(f);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TRuler::sizeHint() const {
    return m_orientation == Qt::Horizontal ? QSize(200, kThickness) : QSize(kThickness, 200);
}

void TRuler::SetSheet(const TEditor* sheet) {
    m_sheet = sheet;
    m_marker = -1;
    update();
}

void TRuler::SetMarker(int pixel) {
    if (pixel == m_marker) return;
    m_marker = pixel;
    update();
}

TRulerInput TRuler::Input() const {
    TRulerInput in;
    if (!m_sheet) return in;
    const bool h = m_orientation == Qt::Horizontal;
    in.Zoom = m_sheet->Zoom;
    in.Scale = m_sheet->Scale;
    in.Origin = h ? m_sheet->Origin.X : m_sheet->Origin.Y;
    in.Scroll = h ? m_sheet->Scroll().x() : m_sheet->Scroll().y();
    in.Length = h ? width() : height();
    const QFontMetrics fm(font());
    const int blanks = 2 * fm.horizontalAdvance(QLatin1Char(' '));
    in.LabelWidth = fm.horizontalAdvance(QStringLiteral("1200")) + blanks;
    in.LabelWidthTenths =
        fm.horizontalAdvance(QStringLiteral("9999") + LocalDecimalSeparator() + QLatin1Char('9')) +
        blanks;
    return in;
}

TRulerPlan TRuler::Plan() const {
    return BuildRulerPlan(Input());
}

void TRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    const bool h = m_orientation == Qt::Horizontal;
    const int thick = kThickness;
    // Draw as if horizontal: x along the ruler, y from the far edge (0) to the sheet (thick).
    if (!h) {
        // x' = y, y' = x: the sheet side is the right edge, like the bottom of the other ruler.
        p.setTransform(QTransform(0, 1, 1, 0, 0, 0));
    }
    const int length = h ? width() : height();
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(0, thick - 1, length, thick - 1);
    if (!m_sheet) return;

    const TRulerPlan plan = Plan();
    for (int x : plan.MinorTicks)
        p.drawLine(x, thick - 3, x, thick - 1);
    const QFontMetrics fm(font());
    const QString unit = QLatin1Char(' ') + UnitText(m_sheet->UnitDivisor) + QLatin1Char(' ');
    const int uw = fm.horizontalAdvance(unit);
    for (const TRulerTick& t : plan.Ticks) {
        p.drawLine(t.Pixel, t.Labelled ? 9 : thick - 6, t.Pixel, thick - 1);
        if (!t.Labelled) continue;
        const int w = fm.horizontalAdvance(t.Label);
        const int left = t.Pixel - w / 2;
        // Labels keep clear of the start and of the unit at the end.
        if (left <= 0 || left + w > length - uw) continue;
        if (h) {
            p.drawText(left, fm.ascent(), t.Label);
        } else {
            // The vertical ruler writes its labels turned by 90 degrees, reading upwards.
            p.save();
            p.setTransform(QTransform());
            p.translate(fm.ascent(), t.Pixel + w / 2);
            p.rotate(-90);
            p.drawText(0, 0, t.Label);
            p.restore();
        }
    }
    // The sheet's unit, flush with the end.
    p.save();
    p.setTransform(QTransform());
    if (h) {
        p.fillRect(QRect(width() - uw, 0, uw, thick - 1), palette().button());
        p.drawText(width() - uw, fm.ascent(), unit);
    } else {
        p.fillRect(QRect(0, height() - uw, thick - 1, uw), palette().button());
        p.translate(fm.ascent(), height());
        p.rotate(-90);
        p.drawText(0, 0, unit);
    }
    p.restore();
    // The pointer marker across the ruler, blue.
    if (m_marker > 0) {
        p.setPen(QPen(QColor(0, 0, 255), 0));
        p.drawLine(m_marker, 2, m_marker, thick - 4);
    }
}

void TRuler::mousePressEvent(QMouseEvent* event) {
    Q_EMIT Pressed(event->globalPosition().toPoint(), event->button());
}
