// A small kit for inline SVG plots: linear and band scales, "nice" axis
// ticks, number and text formatting, colour palettes, and a builder that
// appends SVG elements to a string. Plot coordinates are in pixels with y
// growing downwards, as in SVG.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mv::svg {

// The width of every figure of the page, in pixels.
inline constexpr double kFigureWidth = 900.0;

// Maps the data interval [d0, d1] linearly onto the pixel interval [r0, r1]
// (r1 may be below r0, as for a y axis). A zero-width domain maps every
// value to the middle of the range.
struct LinearScale {
  double d0 = 0.0;
  double d1 = 1.0;
  double r0 = 0.0;
  double r1 = 1.0;
  double operator()(double v) const;
};

// Evenly spaced tick values covering [lo, hi] with a step of 1, 2 or 5 times
// a power of ten, chosen so that there are at most `maxTicks` ticks (taken
// as at least 3: an interval around 0 needs that many). The first tick is at
// or below lo and the last at or above hi, so the ticks also give a "nice"
// domain. A single value (lo == hi) gets an interval above it.
std::vector<double> niceTicks(double lo, double hi, int maxTicks);

// The step between the ticks niceTicks would give.
double niceStep(double lo, double hi, int maxTicks);

// `count` equal bands over the pixel interval [r0, r1], each band leaving
// `padding` (0..1, a share of the band) empty, half on each side.
struct BandScale {
  int count = 1;
  double r0 = 0.0;
  double r1 = 1.0;
  double padding = 0.0;
  double step() const;
  // Start of band i (0-based), after its half of the padding.
  double start(int i) const;
  double width() const;
  double centre(int i) const { return start(i) + width() / 2.0; }
};

// A number as short text: at most `decimals` decimals, trailing zeros and a
// trailing point dropped, "-0" written as "0".
std::string number(double v, int decimals = 2);

// Text made safe for XML/HTML content and attribute values.
std::string escape(std::string_view text);

// Decimals enough to tell ticks apart: none for steps of 1 or more, one for
// 0.1 to 1, and so on.
int decimalsFor(const std::vector<double>& ticks);

// The viridis colour map (colour-blind safe, dark blue at 0 to yellow at 1)
// at t in 0..1, as "#rrggbb".
std::string viridis(double t);

// Colours of the Okabe-Ito palette (colour-blind safe) for categories;
// wraps after eight.
const char* categoryColour(int i);

// Appends SVG elements to a string. One builder makes one <svg> element;
// finish() closes it. No xmlns attribute: inline SVG in HTML needs none.
class Builder {
 public:
  // `label` becomes the aria-label of the figure.
  Builder(double width, double height, std::string_view label);

  void rect(double x, double y, double w, double h, std::string_view fill, std::string_view title = {});
  void line(double x1, double y1, double x2, double y2, std::string_view stroke, double width = 1.0,
            std::string_view dash = {});
  // Text anchored at (x, y); `anchor` is start, middle or end; `rotate` in
  // degrees around the anchor point; `cls` an optional CSS class.
  void text(double x, double y, std::string_view content, std::string_view anchor = "start", double size = 11.0,
            double rotate = 0.0, std::string_view cls = {});
  void circle(double cx, double cy, double r, std::string_view fill, std::string_view title = {});
  // A polyline through the points (not closed).
  void polyline(const std::vector<std::pair<double, double>>& points, std::string_view stroke, double width = 1.5);
  // A closed polygon.
  void polygon(const std::vector<std::pair<double, double>>& points, std::string_view fill, std::string_view stroke,
               double opacity, std::string_view title = {});
  // Raw markup (already escaped), e.g. a group opening.
  void raw(std::string_view markup) { out_ += markup; }

  // A horizontal axis at pixel row y: ticks with labels and a title below.
  // Labels have `decimals` decimals, or decimalsFor(ticks) when negative.
  void axisBottom(const LinearScale& x, const std::vector<double>& ticks, double y, std::string_view title,
                  int decimals = -1);
  // A vertical axis at pixel column x: ticks with labels, light grid lines
  // across to gridTo (no grid when gridTo == x), and a rotated title.
  void axisLeft(const LinearScale& y, const std::vector<double>& ticks, double x, double gridTo, std::string_view title,
                int decimals = -1);
  // The hours of a day along pixel row `bottom` from `left` to `right`
  // (x maps hour 0 to 24 onto them): the line, then a tick and a label every
  // six hours.
  void hourAxis(const LinearScale& x, double left, double right, double bottom);
  // A horizontal colour bar for values lo..hi of the viridis map.
  void viridisLegend(double x, double y, double width, double lo, double hi, std::string_view title, int decimals = -1);

  std::string finish();

 private:
  std::string out_;
};

}  // namespace mv::svg
