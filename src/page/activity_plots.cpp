#include "page/activity_plots.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "model/utf8_text.hpp"
#include "page/svg.hpp"

namespace mv {

namespace {

using svg::Builder;
using svg::LinearScale;

std::string speciesName(const StudyInput& st, int s) { return utf8Field(st.SPECIESNAME(s)); }

// "Δ = 0.52 (0.41-0.63)": the estimate and its basic0 interval, when there is one.
std::string estimateText(const PairOverlap& p) {
  std::string t = "\u0394 = " + svg::number(p.estimate, 2);
  if (p.interval.basic0Low && p.interval.basic0High)
    t += " (" + svg::number(*p.interval.basic0Low, 2) + "\u2013" + svg::number(*p.interval.basic0High, 2) + ")";
  return t;
}

}  // namespace

std::string overlapFigure(const StudyInput& st, const ActivityAnalysis* activity, double width) {
  std::string html = "<figure class=\"plot\" data-plot=\"overlap\">\n<h2>Activity overlap</h2>\n";
  html +=
      "<p class=\"note\">Kernel densities of the independent events' start times (times of day on the study's "
      "clock) of the most recorded pairs of species; the shaded area lies under both curves. \u0394 is the "
      "coefficient of overlap (Dhat4 when both species have more than 75 events, else Dhat1) with its 95 % "
      "smoothed-bootstrap interval (basic0). All pairs are in overlap.csv of the tables.</p>\n";

  std::vector<const PairOverlap*> shown;
  if (activity != nullptr)
    for (const PairOverlap& p : activity->pairs) shown.push_back(&p);
  std::stable_sort(shown.begin(), shown.end(),
                   [](const PairOverlap* a, const PairOverlap* b) { return a->nA + a->nB > b->nA + b->nB; });
  if (shown.size() > static_cast<std::size_t>(kOverlapPanels)) shown.resize(kOverlapPanels);
  if (shown.empty()) {
    Builder b(width, 40, "Activity overlap");
    b.text(10, 24,
           activity == nullptr ? "No activity analysis."
                               : "No two species with at least 10 independent events at different times.",
           "start", 12, 0, "axis");
    html += b.finish();
    html += "</figure>\n";
    return html;
  }

  constexpr int kColumns = 2;
  constexpr double kPanelH = 190.0;
  const double panelW = (width - 10) / kColumns;
  const auto rows = static_cast<double>((shown.size() + kColumns - 1) / kColumns);
  Builder b(width, 22 + kPanelH * rows + 6, "Activity overlap of the most recorded pairs of species");
  b.line(10, 10, 28, 10, svg::categoryColour(0), 2.0);
  b.text(32, 14, "first species", "start", 11, 0, "axis");
  b.line(130, 10, 148, 10, svg::categoryColour(1), 2.0);
  b.text(152, 14, "second species (density per hour of day, 0-24 h)", "start", 11, 0, "axis");

  for (std::size_t i = 0; i < shown.size(); ++i) {
    const PairOverlap& p = *shown[i];
    const std::vector<double>& fa = activity->species[static_cast<std::size_t>(p.a) - 1].density;
    const std::vector<double>& fb = activity->species[static_cast<std::size_t>(p.b) - 1].density;
    const double ox = 5 + panelW * static_cast<double>(i % kColumns);
    const double oy = 22 + kPanelH * static_cast<double>(i / kColumns);
    const double left = ox + 40, right = ox + panelW - 10, top = oy + 22, bottom = oy + kPanelH - 24;
    b.text(ox + 4, oy + 13, speciesName(st, p.a) + " & " + speciesName(st, p.b) + ": " + estimateText(p), "start", 11,
           0, "head");
    if (fa.empty() || fb.empty()) continue;
    double max = 0.0;
    for (double v : fa) max = std::max(max, v);
    for (double v : fb) max = std::max(max, v);
    const std::vector<double> yt = svg::niceTicks(0, max, 4);
    const LinearScale y{yt.front(), yt.back(), bottom, top};
    const LinearScale x{0, 24, left, right};
    b.axisLeft(y, yt, left, right, "");
    b.hourAxis(x, left, right, bottom);
    const std::size_t n = std::min(fa.size(), fb.size());
    const auto at = [&](std::size_t k) { return 24.0 * static_cast<double>(k) / static_cast<double>(n); };
    std::vector<std::pair<double, double>> under{{x(0), y(0)}}, lineA, lineB;
    for (std::size_t k = 0; k <= n; ++k) {
      const double va = fa[k % n], vb = fb[k % n];
      under.emplace_back(x(at(k)), y(std::min(va, vb)));
      lineA.emplace_back(x(at(k)), y(va));
      lineB.emplace_back(x(at(k)), y(vb));
    }
    under.emplace_back(x(24), y(0));
    b.polygon(under, "#999999", "none", 0.45, "overlap " + estimateText(p));
    b.polyline(lineA, svg::categoryColour(0), 1.8);
    b.polyline(lineB, svg::categoryColour(1), 1.8);
  }
  html += b.finish();
  html += "</figure>\n";
  return html;
}

}  // namespace mv
