#include "page/svg.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace mv::svg {

double LinearScale::operator()(double v) const {
  if (d1 == d0) return (r0 + r1) / 2.0;
  return r0 + (v - d0) / (d1 - d0) * (r1 - r0);
}

double niceStep(double lo, double hi, int maxTicks) {
  maxTicks = std::max(maxTicks, 3);
  if (hi < lo) std::swap(lo, hi);
  if (!(hi > lo)) hi = lo + std::max(std::fabs(lo) * 0.1, 1.0);
  // The smallest step 1, 2 or 5 x 10^k that needs at most maxTicks ticks.
  const double rough = (hi - lo) / static_cast<double>(maxTicks - 1);
  double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (int k = 0; k < 4; ++k, power *= 10.0)
    for (double m : {1.0, 2.0, 5.0}) {
      step = m * power;
      const double first = std::floor(lo / step + 1e-9) * step;
      const double last = std::ceil(hi / step - 1e-9) * step;
      if (std::lround((last - first) / step) + 1 <= maxTicks) return step;
    }
  return step;
}

std::vector<double> niceTicks(double lo, double hi, int maxTicks) {
  if (hi < lo) std::swap(lo, hi);
  if (!(hi > lo)) hi = lo + std::max(std::fabs(lo) * 0.1, 1.0);
  const double step = niceStep(lo, hi, maxTicks);
  const double first = std::floor(lo / step + 1e-9) * step;
  const double last = std::ceil(hi / step - 1e-9) * step;
  std::vector<double> ticks;
  const long n = std::lround((last - first) / step);
  for (long k = 0; k <= n; ++k) {
    double v = first + static_cast<double>(k) * step;
    // Rounding leftovers such as 0.30000000000000004 are cut: a step below 1
    // divides 1 a whole number of times, and dividing by that number rounds
    // to the nearest double of the decimal value.
    if (step < 1.0) {
      const double perUnit = std::round(1.0 / step);
      v = std::round(v * perUnit) / perUnit;
    } else {
      v = std::round(v / step) * step;
    }
    if (v == 0.0) v = 0.0;  // no negative zero
    ticks.push_back(v);
  }
  return ticks;
}

double BandScale::step() const { return count > 0 ? (r1 - r0) / static_cast<double>(count) : 0.0; }
double BandScale::start(int i) const { return r0 + step() * (static_cast<double>(i) + padding / 2.0); }
double BandScale::width() const { return step() * (1.0 - padding); }

std::string number(double v, int decimals) {
  if (!std::isfinite(v)) return "0";
  std::array<char, 64> buf{};
  auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  std::string s(buf.data(), end);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

int decimalsFor(const std::vector<double>& ticks) {
  if (ticks.size() < 2) return 0;
  const double step = std::fabs(ticks[1] - ticks[0]);
  if (!(step > 0.0)) return 0;
  int decimals = 0;
  for (double scaled = step; decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled; scaled *= 10.0)
    ++decimals;
  return decimals;
}

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string viridis(double t) {
  // The map sampled at nine evenly spaced points, interpolated linearly.
  static constexpr std::array<std::array<int, 3>, 9> kStops = {{{68, 1, 84},
                                                                {72, 40, 120},
                                                                {62, 73, 137},
                                                                {49, 104, 142},
                                                                {38, 130, 142},
                                                                {31, 158, 137},
                                                                {53, 183, 121},
                                                                {110, 206, 88},
                                                                {253, 231, 37}}};
  if (!(t > 0.0)) t = 0.0;
  if (t > 1.0) t = 1.0;
  const double pos = t * 8.0;
  const int i = std::min(7, static_cast<int>(pos));
  const double f = pos - static_cast<double>(i);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "#";
  for (int c = 0; c < 3; ++c) {
    const double v = kStops[i][c] + (kStops[i + 1][c] - kStops[i][c]) * f;
    const int b = std::clamp(static_cast<int>(std::lround(v)), 0, 255);
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

const char* categoryColour(int i) {
  static constexpr const char* kColours[] = {"#0072b2", "#e69f00", "#009e73", "#d55e00",
                                             "#cc79a7", "#56b4e9", "#f0e442", "#000000"};
  return kColours[((i % 8) + 8) % 8];
}

namespace {

void attr(std::string& out, std::string_view name, double v) {
  out += ' ';
  out += name;
  out += "=\"";
  out += number(v, 1);
  out += '"';
}

void attr(std::string& out, std::string_view name, std::string_view v) {
  out += ' ';
  out += name;
  out += "=\"";
  out += v;
  out += '"';
}

// Closes an element, with a hover title when one is given.
void close(std::string& out, std::string_view element, std::string_view title) {
  if (title.empty()) {
    out += "/>";
    return;
  }
  out += "><title>";
  out += escape(title);
  out += "</title></";
  out += element;
  out += '>';
}

void points(std::string& out, const std::vector<std::pair<double, double>>& pts) {
  out += " points=\"";
  bool first = true;
  for (const auto& [x, y] : pts) {
    if (!first) out += ' ';
    first = false;
    out += number(x, 1);
    out += ',';
    out += number(y, 1);
  }
  out += '"';
}

}  // namespace

Builder::Builder(double width, double height, std::string_view label) {
  out_ += "<svg";
  attr(out_, "width", width);
  attr(out_, "height", height);
  out_ += " viewBox=\"0 0 " + number(width, 1) + ' ' + number(height, 1) + '"';
  out_ += " font-size=\"11\" role=\"img\"";
  attr(out_, "aria-label", escape(label));
  out_ += ">\n";
}

void Builder::rect(double x, double y, double w, double h, std::string_view fill, std::string_view title) {
  out_ += "<rect";
  attr(out_, "x", x);
  attr(out_, "y", y);
  attr(out_, "width", std::max(w, 0.0));
  attr(out_, "height", std::max(h, 0.0));
  attr(out_, "fill", fill);
  close(out_, "rect", title);
  out_ += '\n';
}

void Builder::line(double x1, double y1, double x2, double y2, std::string_view stroke, double width,
                   std::string_view dash) {
  out_ += "<line";
  attr(out_, "x1", x1);
  attr(out_, "y1", y1);
  attr(out_, "x2", x2);
  attr(out_, "y2", y2);
  attr(out_, "stroke", stroke);
  if (width != 1.0) attr(out_, "stroke-width", width);
  if (!dash.empty()) attr(out_, "stroke-dasharray", dash);
  out_ += "/>\n";
}

void Builder::text(double x, double y, std::string_view content, std::string_view anchor, double size, double rotate,
                   std::string_view cls) {
  out_ += "<text";
  attr(out_, "x", x);
  attr(out_, "y", y);
  if (anchor != "start") attr(out_, "text-anchor", anchor);
  if (size != 11.0) attr(out_, "font-size", size);
  if (rotate != 0.0)
    attr(out_, "transform", "rotate(" + number(rotate, 1) + ' ' + number(x, 1) + ' ' + number(y, 1) + ')');
  if (!cls.empty()) attr(out_, "class", cls);
  out_ += '>';
  out_ += escape(content);
  out_ += "</text>\n";
}

void Builder::circle(double cx, double cy, double r, std::string_view fill, std::string_view title) {
  out_ += "<circle";
  attr(out_, "cx", cx);
  attr(out_, "cy", cy);
  attr(out_, "r", r);
  attr(out_, "fill", fill);
  close(out_, "circle", title);
  out_ += '\n';
}

void Builder::polyline(const std::vector<std::pair<double, double>>& pts, std::string_view stroke, double width) {
  out_ += "<polyline";
  points(out_, pts);
  out_ += " fill=\"none\"";
  attr(out_, "stroke", stroke);
  attr(out_, "stroke-width", width);
  out_ += "/>\n";
}

void Builder::polygon(const std::vector<std::pair<double, double>>& pts, std::string_view fill, std::string_view stroke,
                      double opacity, std::string_view title) {
  out_ += "<polygon";
  points(out_, pts);
  attr(out_, "fill", fill);
  attr(out_, "fill-opacity", opacity);
  attr(out_, "stroke", stroke);
  close(out_, "polygon", title);
  out_ += '\n';
}

void Builder::axisBottom(const LinearScale& x, const std::vector<double>& ticks, double y, std::string_view title,
                         int decimals) {
  if (decimals < 0) decimals = decimalsFor(ticks);
  line(std::min(x.r0, x.r1), y, std::max(x.r0, x.r1), y, "#333");
  for (double t : ticks) {
    const double px = x(t);
    line(px, y, px, y + 4, "#333");
    text(px, y + 15, number(t, decimals), "middle", 10);
  }
  if (!title.empty()) text((x.r0 + x.r1) / 2.0, y + 31, title, "middle", 11, 0, "axis");
}

void Builder::hourAxis(const LinearScale& x, double left, double right, double bottom) {
  line(left, bottom, right, bottom, "#333");
  for (int h = 0; h <= 24; h += 6) {
    line(x(h), bottom, x(h), bottom + 3, "#333");
    text(x(h), bottom + 13, std::to_string(h), "middle", 9);
  }
}

void Builder::axisLeft(const LinearScale& y, const std::vector<double>& ticks, double x, double gridTo,
                       std::string_view title, int decimals) {
  if (decimals < 0) decimals = decimalsFor(ticks);
  line(x, std::min(y.r0, y.r1), x, std::max(y.r0, y.r1), "#333");
  for (double t : ticks) {
    const double py = y(t);
    if (gridTo != x) line(x, py, gridTo, py, "#e4e4e4");
    line(x - 4, py, x, py, "#333");
    text(x - 6, py + 3.5, number(t, decimals), "end", 10);
  }
  if (!title.empty()) {
    const double cy = (y.r0 + y.r1) / 2.0;
    text(x - 38, cy, title, "middle", 11, -90, "axis");
  }
}

void Builder::viridisLegend(double x, double y, double width, double lo, double hi, std::string_view title,
                            int decimals) {
  constexpr int kSteps = 32;
  const double w = width / kSteps;
  for (int k = 0; k < kSteps; ++k) rect(x + w * k, y, w + 0.5, 10, viridis((k + 0.5) / kSteps));
  const LinearScale scale{lo, hi, x, x + width};
  std::vector<double> ticks = niceTicks(lo, hi, 5);
  if (decimals < 0) decimals = decimalsFor(ticks);
  std::erase_if(ticks, [&](double t) { return t < lo - 1e-9 || t > hi + 1e-9; });
  for (double t : ticks) {
    line(scale(t), y + 10, scale(t), y + 14, "#333");
    text(scale(t), y + 24, number(t, decimals), "middle", 10);
  }
  text(x + width + 8, y + 9, title, "start", 10);
}

std::string Builder::finish() {
  out_ += "</svg>\n";
  return std::move(out_);
}

}  // namespace mv::svg
