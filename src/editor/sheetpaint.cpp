// Painting a sheet: background, form-sheet layer and grid, ordinary elements, magnet lines and
// the zone grid, each element only where it meets the clip rectangle; and the overlay drawn on
// the kept background.
#include "editor/editor.h"
#include "editor/viewplan.h"
#include "elements/MyD2D.h"

#include <QColor>
#include <QLine>
#include <QPainter>
#include <cmath>
#include <vector>

namespace {
QColor rgb(int r, int g, int b) {
    return QColor(r, g, b);
}
} // namespace

QColor TEditor::BackgroundColor() const {
    if (ComponentEditorSheet) return rgb(0xE3, 0xED, 0xFC);
    if (FormSheetEditing)
        return g_RenderSettings.UseD2D ? rgb(0xE4, 0xE4, 0xE4) : rgb(0xFF, 0xEE, 0xEE);
    if (g_SheetViewSettings.BKWhite) return rgb(0xFF, 0xFF, 0xFF);
    return rgb(0xFF, 0xFF, 0xFA);
}

namespace {

void paintGrid(QPainter& p, const TGridPlan& plan, const QRect& area, bool dots, int kontrast,
               bool d2d, bool componentEditor) {
    if (!plan.Draw) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (dots) {
        static const QColor colours[] = {rgb(0xC0, 0xC0, 0xC0), rgb(0x80, 0x80, 0x80),
                                         rgb(0, 0, 0)};
        p.setPen(QPen(colours[std::clamp(kontrast, 1, 3) - 1], 0));
        std::vector<QLine> lines;
        std::vector<QPoint> points;
        for (const TGridLine& y : plan.Ys)
            for (const TGridLine& x : plan.Xs) {
                const bool major = plan.Major > 0 && x.Major && y.Major;
                const int arm = major ? plan.MajorArm : plan.MinorArm;
                if (arm == 0) {
                    points.emplace_back(x.Pixel, y.Pixel);
                } else {
                    lines.emplace_back(x.Pixel - arm, y.Pixel, x.Pixel + arm, y.Pixel);
                    lines.emplace_back(x.Pixel, y.Pixel - arm, x.Pixel, y.Pixel + arm);
                }
            }
        if (!lines.empty()) p.drawLines(lines.data(), int(lines.size()));
        if (!points.empty()) p.drawPoints(points.data(), int(points.size()));
    } else {
        const int k = std::clamp(kontrast, 1, 3) - 1;
        QColor minor, major;
        if (d2d) {
            static const QColor mi[] = {rgb(0xEA, 0xEA, 0xEA), rgb(0xCC, 0xCC, 0xCC),
                                        rgb(0xA4, 0xA4, 0xA4)};
            static const QColor ma[] = {rgb(0xCC, 0xCC, 0xCC), rgb(0x8C, 0x8C, 0x8C),
                                        rgb(0x0A, 0x0A, 0x0A)};
            minor = mi[k];
            major = ma[k];
            if (componentEditor && k == 0) {
                minor = rgb(0xD6, 0xD6, 0xD6);
                major = rgb(0xB4, 0xB4, 0xB4);
            }
        } else {
            static const QColor one[] = {rgb(0xE6, 0xE6, 0xE6), rgb(0xC0, 0xC0, 0xC0),
                                         rgb(0x40, 0x40, 0x40)};
            minor = major = one[k];
            if (componentEditor && k == 0) minor = major = rgb(0xD2, 0xD2, 0xD2);
        }
        std::vector<QLine> minorLines, majorLines;
        for (const TGridLine& x : plan.Xs) {
            auto& list = x.Major ? majorLines : minorLines;
            list.emplace_back(x.Pixel, area.top(), x.Pixel, area.bottom());
            if (x.Major && !d2d)
                list.emplace_back(x.Pixel + 1, area.top(), x.Pixel + 1, area.bottom());
        }
        for (const TGridLine& y : plan.Ys) {
            auto& list = y.Major ? majorLines : minorLines;
            list.emplace_back(area.left(), y.Pixel, area.right(), y.Pixel);
            if (y.Major && !d2d)
                list.emplace_back(area.left(), y.Pixel + 1, area.right(), y.Pixel + 1);
        }
        p.setPen(QPen(minor, 0));
        if (!minorLines.empty()) p.drawLines(minorLines.data(), int(minorLines.size()));
        p.setPen(QPen(major, 0));
        if (!majorLines.empty()) p.drawLines(majorLines.data(), int(majorLines.size()));
    }
    p.restore();
}

} // namespace

void TEditor::Paint(QPainter& painter, const QRect& clip) const {
    const QRect canvas = CanvasClientRect();
    const QRect area = clip.intersected(canvas);
    if (area.isEmpty()) return;
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, BackgroundColor());

    const TView view = View();
    TDrawContext dc = TDrawContext::FromSettings(painter, view);
    dc.ClipRect = QRectF(area);
    const bool d2d = g_RenderSettings.UseD2D;
    const size_t count = Elements.size() - (ElementUnderConstruction && !Elements.empty() ? 1 : 0);

    auto layer = [&](bool formLayer) {
        for (size_t i = 0; i < count; ++i) {
            TElement& e = *Elements[i];
            if (e.FormLayer != formLayer) continue;
            try {
                if (!dc.NeedsDrawing(e.GetScreenRect(view))) continue;
                e.Draw(dc);
            } catch (const RangeError&) {
                // An element too far out for pixels at this zoom is not drawn.
            }
        }
    };
    auto grid = [&] {
        const TSheetViewSettings& s = g_SheetViewSettings;
        if (s.Kontrast <= 0) return;
        TGridInput in;
        in.Zoom = Zoom;
        in.GridSize = GridSize;
        in.Origin = Origin;
        in.Scroll = m_scroll;
        in.Visible = area;
        in.Canvas = canvas.size();
        in.Kontrast = s.Kontrast;
        in.Markierung = s.Markierung;
        paintGrid(painter, BuildGridPlan(in), area, s.Punktraster, s.Kontrast, d2d,
                  ComponentEditorSheet);
    };

    if (d2d && !g_SheetViewSettings.GridOverBK) {
        grid();
        layer(true);
    } else {
        layer(true);
        grid();
    }
    if (!FormSheetEditing) layer(false);

    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!g_MagnetLineSwitches.Hidden) {
        const QColor colour = g_MagnetLineSwitches.Fixed ? rgb(0x80, 0x80, 0x80) : rgb(0, 0, 255);
        // The dashes are counted from the canvas corner and drawn as segments of their own, so
        // a strip repainted alone matches the picture around it.
        constexpr int kDash = 4, kPeriod = 6;
        auto aligned = [](int from, int canvasStart) {
            return canvasStart + (from - canvasStart) / kPeriod * kPeriod;
        };
        const int top = aligned(area.top(), canvas.top());
        const int left = aligned(area.left(), canvas.left());
        std::vector<QLine> solid, dashes;
        for (float x : MagnetLinesV) {
            const int px = int(std::nearbyint(double(x) * Zoom)) - m_scroll.x();
            if (px < area.left() || px > area.right()) continue;
            solid.emplace_back(px, area.top(), px, area.bottom());
            for (int y = top; y <= area.bottom(); y += kPeriod)
                dashes.emplace_back(px, y, px, y + kDash - 1);
        }
        for (float y : MagnetLinesH) {
            const int py = int(std::nearbyint(double(y) * Zoom)) - m_scroll.y();
            if (py < area.top() || py > area.bottom()) continue;
            solid.emplace_back(area.left(), py, area.right(), py);
            for (int x = left; x <= area.right(); x += kPeriod)
                dashes.emplace_back(x, py, x + kDash - 1, py);
        }
        if (d2d && !solid.empty()) {
            painter.setPen(QPen(Qt::white, 0));
            painter.drawLines(solid.data(), int(solid.size()));
        }
        if (!dashes.empty()) {
            painter.setPen(QPen(colour, 0));
            painter.drawLines(dashes.data(), int(dashes.size()));
        }
    }

    if (ZoneGridVisible) {
        painter.setPen(QPen(rgb(0, 0xFF, 0xFF), 0));
        const TZoneGrid& z = ZoneGrid;
        const double bottom = std::min(double(z.OffsetY) + z.Height, SheetHeight * 10.0);
        const double right = std::min(double(z.OffsetX) + z.Width, SheetWidth * 10.0);
        auto px = [&](double world, int scroll) { return std::nearbyint(world * Zoom) - scroll; };
        const double top = px(z.OffsetY, m_scroll.y()), left = px(z.OffsetX, m_scroll.x());
        const double b = px(bottom, m_scroll.y()), r = px(right, m_scroll.x());
        for (double x : z.ColumnLines()) {
            const double sx = px(x, m_scroll.x());
            if (sx >= area.left() - 1 && sx <= area.right() + 1)
                painter.drawLine(QLineF(sx, top, sx, b));
        }
        for (double y : z.RowLines()) {
            const double sy = px(y, m_scroll.y());
            if (sy >= area.top() - 1 && sy <= area.bottom() + 1)
                painter.drawLine(QLineF(left, sy, r, sy));
        }
    }
    painter.restore();
}

void TEditor::PaintOverlay(QPainter& painter) const {
    if (!m_crosshair) return;
    const QRect client(QPoint(0, 0), m_client);
    const double x = double(m_crosshair->X) * Zoom - m_scroll.x();
    const double y = double(m_crosshair->Y) * Zoom - m_scroll.y();
    painter.save();
    if (g_RenderSettings.UseD2D) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        const double cx = x + 0.5, cy = y + 0.5;
        painter.setPen(QPen(BackgroundColor(), 1.35));
        painter.drawLine(QLineF(cx, client.top(), cx, client.bottom() + 1));
        painter.drawLine(QLineF(client.left(), cy, client.right() + 1, cy));
        painter.setPen(QPen(QColor(0, 0, 255), 1.1));
        painter.drawLine(QLineF(cx, client.top(), cx, client.bottom() + 1));
        painter.drawLine(QLineF(client.left(), cy, client.right() + 1, cy));
        // Faint diagonals through the point, to the edges of the view.
        const double d = std::max(client.width(), client.height());
        painter.setPen(QPen(QColor(0, 0, 255, 90), 0.1));
        painter.drawLine(QLineF(cx - d, cy - d, cx + d, cy + d));
        painter.drawLine(QLineF(cx - d, cy + d, cx + d, cy - d));
    } else {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(QColor(0, 0, 255), 0));
        const int ix = int(std::nearbyint(x)), iy = int(std::nearbyint(y));
        painter.drawLine(ix, client.top(), ix, client.bottom());
        painter.drawLine(client.left(), iy, client.right(), iy);
    }
    painter.restore();
}
