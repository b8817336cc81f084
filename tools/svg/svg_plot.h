// Plot frames for the SVG pictures: a rectangle of the page that shows a range of x and y,
// with ticks at round values, grid lines, tick labels and axis titles.
//
// Offers: PlotFrame, plotX, plotY, niceTicks, tickDecimals, AxisTitles, drawAxes, drawOutline,
// drawVerticalTitle, svgPoints.
#pragma once

#include "tools/svg/svg_writer.h"

#include <string>
#include <vector>

struct PlotFrame {
    double left, top, width, height; // on the page, px
    double x0, x1;                   // x shown from the left edge to the right edge
    double y0, y1;                   // y shown from the bottom edge to the top edge
};

double plotX(const PlotFrame& f, double x);
double plotY(const PlotFrame& f, double y);

// Round values (1, 2 or 5 times a power of ten apart) within [lo, hi], at most about maxCount.
std::vector<double> niceTicks(double lo, double hi, int maxCount);
// Decimals that tell apart ticks `step` apart.
int tickDecimals(double step);

struct AxisTitles {
    std::string x;       // under the frame; empty for none
    std::string y;       // along the left edge, turned
    bool xLabels = true; // tick labels under the frame
};

// Frame, grid lines and ticks of both axes, their labels and titles.
void drawAxes(Svg& svg, const PlotFrame& f, const AxisTitles& titles, int maxTicksX = 10,
              int maxTicksY = 6);

// The thin dark outline of a frame, map or colour bar.
void drawOutline(Svg& svg, double left, double top, double width, double height);

// A 12-pixel label centred on (x, y) and turned to read upwards, for a vertical axis.
void drawVerticalTitle(Svg& svg, double x, double y, const std::string& title);

// "x,y x,y ..." of the page points of (xs[i], ys[i]), for a polyline.
std::string svgPoints(const PlotFrame& f, const std::vector<double>& xs,
                      const std::vector<double>& ys);
