#include "tools/svg/svg_plot.h"

#include <cmath>

double plotX(const PlotFrame& f, double x) {
    return f.left + (x - f.x0) / (f.x1 - f.x0) * f.width;
}

double plotY(const PlotFrame& f, double y) {
    return f.top + (f.y1 - y) / (f.y1 - f.y0) * f.height;
}

namespace {

double tickStep(double lo, double hi, int maxCount) {
    const double raw = (hi - lo) / std::max(1, maxCount);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

} // namespace

std::vector<double> niceTicks(double lo, double hi, int maxCount) {
    std::vector<double> ticks;
    if (!(hi > lo) || !std::isfinite(hi - lo)) return ticks;
    const double step = tickStep(lo, hi, maxCount);
    // Ticks as whole multiples of the step, so that 0.3 is written 0.3 and not 0.30000000000000004.
    for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + 1e-9 * step; k += 1)
        ticks.push_back(k * step);
    return ticks;
}

int tickDecimals(double step) {
    const int d = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return d < 0 ? 0 : d;
}

void drawOutline(Svg& svg, double left, double top, double width, double height) {
    svgElement(svg, "rect",
               {svgAttr("x", left),
                svgAttr("y", top),
                svgAttr("width", width),
                svgAttr("height", height),
                {"fill", "none"},
                {"stroke", "#333"}});
}

void drawVerticalTitle(Svg& svg, double x, double y, const std::string& title) {
    svgText(svg,
            {svgAttr("x", x),
             svgAttr("y", y),
             {"text-anchor", "middle"},
             {"font-size", "12"},
             {"transform", "rotate(-90 " + svgNumber(x, 2) + " " + svgNumber(y, 2) + ")"}},
            title);
}

void drawAxes(Svg& svg, const PlotFrame& f, const AxisTitles& titles, int maxTicksX,
              int maxTicksY) {
    const std::vector<double> xs = niceTicks(f.x0, f.x1, maxTicksX);
    const std::vector<double> ys = niceTicks(f.y0, f.y1, maxTicksY);
    const int dx = xs.size() > 1 ? tickDecimals(xs[1] - xs[0]) : 2;
    const int dy = ys.size() > 1 ? tickDecimals(ys[1] - ys[0]) : 2;
    const double bottom = f.top + f.height, right = f.left + f.width;

    svgOpen(svg, "g", {{"stroke", "#e0e0e0"}, {"stroke-width", "1"}});
    for (double x : xs) {
        const double px = plotX(f, x);
        svgElement(
            svg, "line",
            {svgAttr("x1", px), svgAttr("y1", f.top), svgAttr("x2", px), svgAttr("y2", bottom)});
    }
    for (double y : ys) {
        const double py = plotY(f, y);
        svgElement(
            svg, "line",
            {svgAttr("x1", f.left), svgAttr("y1", py), svgAttr("x2", right), svgAttr("y2", py)});
    }
    svgClose(svg);
    drawOutline(svg, f.left, f.top, f.width, f.height);

    svgOpen(svg, "g", {{"font-size", "11"}, {"fill", "#333"}});
    if (titles.xLabels)
        for (double x : xs)
            svgText(
                svg,
                {svgAttr("x", plotX(f, x)), svgAttr("y", bottom + 14), {"text-anchor", "middle"}},
                svgNumber(x, dx));
    for (double y : ys)
        svgText(svg,
                {svgAttr("x", f.left - 5), svgAttr("y", plotY(f, y) + 4), {"text-anchor", "end"}},
                svgNumber(y, dy));
    if (!titles.x.empty())
        svgText(svg,
                {svgAttr("x", f.left + f.width / 2),
                 svgAttr("y", bottom + 32),
                 {"text-anchor", "middle"},
                 {"font-size", "12"}},
                titles.x);
    if (!titles.y.empty()) {
        drawVerticalTitle(svg, f.left - 48, f.top + f.height / 2, titles.y);
    }
    svgClose(svg);
}

std::string svgPoints(const PlotFrame& f, const std::vector<double>& xs,
                      const std::vector<double>& ys) {
    std::string s;
    for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
        if (i) s += ' ';
        s += svgNumber(plotX(f, xs[i]), 2) + "," + svgNumber(plotY(f, ys[i]), 2);
    }
    return s;
}
