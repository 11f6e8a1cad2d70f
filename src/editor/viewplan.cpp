#include "editor/viewplan.h"

#include "editor/viewsettings.h"
#include "platform/messages.h"

#include <algorithm>
#include <cmath>

TSheetViewSettings g_SheetViewSettings;
TMagnetLineSwitches g_MagnetLineSwitches;

const int kGridMenuTags[9] = {1, 2, 5, 10, 20, 25, 50, 100, 0};

namespace {
QString withSeparator(QString text) {
    const QChar sep = LocalDecimalSeparator();
    if (sep != QLatin1Char('.')) text.replace(QLatin1Char('.'), sep);
    return text;
}

// Fixed notation without a minus sign on a value that shows as zero.
QString fixed(double v, int decimals) {
    if (!std::isfinite(v)) return QStringLiteral("0");
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;
    return withSeparator(QString::number(v, 'f', decimals));
}
} // namespace

int ReadoutDecimals(double scale) {
    if (!std::isfinite(scale)) return 0;
    const double n = std::fabs(std::nearbyint(scale * 1000));
    if (n >= 100000) return 0;
    int digits = 1;
    for (double t = 10; t <= n; t *= 10)
        ++digits;
    return 5 - digits;
}

QString FormatReadout(double worldValue, double scale) {
    return fixed(worldValue * scale / 10, ReadoutDecimals(scale));
}

QString FormatTrimmed(double value, int decimals) {
    QString text = fixed(value, std::max(0, decimals));
    const QChar sep = LocalDecimalSeparator();
    if (text.contains(sep)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(sep)) text.chop(1);
    }
    return text;
}

QString UnitText(int unitDivisor) {
    switch (unitDivisor) {
    case 10:
        return QStringLiteral("cm");
    case 1000:
        return QStringLiteral("m");
    case 1000000:
        return QStringLiteral("km");
    default:
        return QStringLiteral("mm");
    }
}

QString ZoomLabelText(double zoom) {
    return GetMessage(5205) + QStringLiteral("  ") + fixed(zoom * kShownZoomFactor, 2);
}

QString GridLengthText(int pitch, double scale, int unitDivisor) {
    return FormatTrimmed(pitch / 10.0 * scale, 2) + QLatin1Char(' ') + UnitText(unitDivisor);
}

QString GridLabelText(int pitch, double scale, int unitDivisor) {
    return GetMessage(5206) + QLatin1Char(' ') + GridLengthText(pitch, scale, unitDivisor);
}

// ---------------------------------------------------------------------------------------------
// Ruler

namespace {
constexpr double kRulerSteps[] = {1,    2,     10,    20,     100,    200,     1000,
                                  2000, 10000, 20000, 100000, 200000, 1000000, 2000000};

int roundInt(double v) {
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(std::nearbyint(v), -2e9, 2e9));
}
} // namespace

TRulerPlan BuildRulerPlan(const TRulerInput& in) {
    TRulerPlan plan;
    // A scale that is no positive number would divide by zero; such a sheet reads 1:1.
    const double scale = std::isfinite(in.Scale) && in.Scale > 0 ? in.Scale : 1.0;
    const double zoom = in.Zoom;
    if (!std::isfinite(zoom) || zoom <= 0 || in.Length <= 0) return plan;
    const double perMm = zoom / scale * 10; // pixels per drawing millimetre
    const double s = std::nearbyint(12 / perMm);
    double p = kRulerSteps[std::size(kRulerSteps) - 1];
    for (double step : kRulerSteps)
        if (step >= s) {
            p = step;
            break;
        }
    const double e = std::nearbyint(p * perMm);
    const int f = (p == 1 && scale < 1 && e > 80) ? 10 : 1;
    plan.Step = p;
    plan.StepPixels = roundInt(e);
    plan.Divisor = f;
    // Ticks closer than a pixel cannot be drawn.
    if (!(e / f >= 1)) return plan;

    const double origin = std::isfinite(in.Origin) ? in.Origin : 0;
    const double a = std::nearbyint(in.Scroll / (zoom * 10) - origin / 10 - 0.49);
    const double b = a + std::nearbyint(in.Length / (zoom * 10) + 0.49);
    const double lo = std::nearbyint(a * scale * f), hi = std::nearbyint(b * scale * f);
    const double first = std::ceil(lo / p) * p;
    if (!std::isfinite(first) || !std::isfinite(hi)) return plan;

    const double spacing = e / f; // pixels between two ticks as drawn
    const double L = f == 10 ? in.LabelWidthTenths : in.LabelWidth;
    const int decimals = ReadoutDecimals(scale);
    auto pixelOf = [&](double q) {
        return roundInt((q / scale / f + origin / 10) * zoom * 10) - in.Scroll;
    };
    auto multiple = [](double q, double m) { return std::fmod(std::fabs(q), m) == 0; };
    const bool minors = f * 100 < e;
    int count = 0;
    for (double q = first; q <= hi && count < kMaxRulerTicks; q += p, ++count) {
        if (minors) {
            // The minor ticks after the tick before this one, so the left edge gets them too.
            for (int k = 1; k <= 9; ++k) {
                const int x = pixelOf(q - p + k * p / 10);
                if (x > 4 && x < in.Length) plan.MinorTicks.push_back(x);
            }
        }
        const int x = pixelOf(q);
        if (x <= 4) continue;
        TRulerTick tick;
        tick.Pixel = x;
        tick.Labelled = L < spacing || (multiple(q, 5 * p) && L < 5 * spacing) ||
                        (multiple(q, 10 * p) && L < 10 * spacing);
        if (tick.Labelled) tick.Label = FormatTrimmed(std::fabs(q / f), decimals);
        plan.Ticks.push_back(tick);
    }
    if (minors)
        for (int k = 1; k <= 9; ++k) {
            const int x = pixelOf(first + (count - 1) * p + k * p / 10);
            if (x > 4 && x < in.Length) plan.MinorTicks.push_back(x);
        }
    return plan;
}

// ---------------------------------------------------------------------------------------------
// Grid

double GridOffset(double origin, int grid) {
    if (grid <= 0 || !std::isfinite(origin)) return 0;
    return origin - std::trunc(origin / grid) * grid;
}

namespace {
void gridAxis(std::vector<TGridLine>& out, double zoom, int g, double offset, int scroll,
              int visibleFrom, int visibleTo, int canvas, int major) {
    const int pitch = roundInt(zoom * g);
    const int from = std::max(0, scroll + visibleFrom - pitch);
    const int to = std::min(canvas, scroll + visibleTo + pitch);
    if (to < from) return;
    const double i0 = std::ceil((from / zoom - offset) / g);
    const double i1 = std::floor((to / zoom - offset) / g);
    if (!std::isfinite(i0) || !std::isfinite(i1)) return;
    for (double i = i0; i <= i1; ++i) {
        const int canvasPx = roundInt((offset + i * g) * zoom);
        if (canvasPx < 0 || canvasPx > canvas) continue;
        TGridLine line;
        line.Pixel = canvasPx - scroll;
        line.Index = int(i);
        line.Major = major > 0 && int(std::fmod(std::fabs(i), major)) == 0;
        out.push_back(line);
    }
}
} // namespace

TGridPlan BuildGridPlan(const TGridInput& in) {
    TGridPlan plan;
    if (in.Kontrast <= 0 || in.GridSize <= 0 || !std::isfinite(in.Zoom) || in.Zoom <= 0)
        return plan;
    plan.Pitch = roundInt(in.Zoom * in.GridSize);
    if (plan.Pitch < 8) return plan;
    plan.Draw = true;
    switch (in.Markierung) {
    case 1:
        plan.Major = 4;
        break;
    case 2:
        plan.Major = 5;
        break;
    case 3:
        plan.Major = 10;
        break;
    default:
        plan.Major = 0;
        break;
    }
    plan.MajorArm = std::max(2, plan.Pitch / 8);
    plan.MinorArm = plan.Pitch / 48;
    const QRect& v = in.Visible;
    gridAxis(plan.Xs, in.Zoom, in.GridSize, GridOffset(in.Origin.X, in.GridSize), in.Scroll.x(),
             v.left(), v.left() + v.width(), in.Canvas.width(), plan.Major);
    gridAxis(plan.Ys, in.Zoom, in.GridSize, GridOffset(in.Origin.Y, in.GridSize), in.Scroll.y(),
             v.top(), v.top() + v.height(), in.Canvas.height(), plan.Major);
    return plan;
}
