#include "page/estimates_page.hpp"

#include <algorithm>
#include <cmath>

#include "model/utf8_text.hpp"

namespace mv {

namespace {

using svg::Builder;
using svg::escape;
using svg::LinearScale;
using svg::number;

std::string interval(const Estimate& lo, const Estimate& hi, int decimals) {
  if (!lo || !hi) return "no interval";
  return "95% interval " + number(*lo, decimals) + " to " + number(*hi, decimals);
}

}  // namespace

void occupancyEstimateMark(Builder& b, const LinearScale& x, double y, double h, double textAt,
                           std::string_view species, const OccupancyFit& fit) {
  const double mid = y + h / 2.0;
  if (!fit.psi.value) {
    b.text(textAt, mid + 3.5, "flagged: " + fit.reason, "start", 9, 0, "axis");
    return;
  }
  const std::string title = std::string(species) + ": occupancy " + number(*fit.psi.value, 3) + ", " +
                            interval(fit.psi.lcl, fit.psi.ucl, 3) +
                            (fit.flag == FitFlag::kNone ? std::string() : " (flagged: " + fit.reason + ")");
  if (fit.psi.lcl && fit.psi.ucl) {
    b.line(x(*fit.psi.lcl), mid, x(*fit.psi.ucl), mid, "#222", 1.5);
    b.line(x(*fit.psi.lcl), mid - 3, x(*fit.psi.lcl), mid + 3, "#222", 1.5);
    b.line(x(*fit.psi.ucl), mid - 3, x(*fit.psi.ucl), mid + 3, "#222", 1.5);
  }
  b.circle(x(*fit.psi.value), mid, 3.5, fit.flag == FitFlag::kNone ? "#222" : "#d55e00", title);
  if (fit.flag != FitFlag::kNone)
    b.text(std::max(textAt, x(*fit.psi.value) + 6), mid + 3.5, "flagged", "start", 9, 0, "axis");
}

std::string abundanceIndexFigure(const StudyInput& st, const std::vector<int>& shown, const StudyEstimates* estimates) {
  std::string html = "<figure class=\"plot\" data-plot=\"abundance-index\">\n<h2>Relative abundance index</h2>\n";
  html +=
      "<p class=\"note\">Independent events per 100 camera trap days over all groups. Thick line: 95% interval of "
      "the ratio estimator with groups as sampling units (Fewster et al. 2009); thin line: exact Poisson interval "
      "of the event count.</p>\n";
  const std::string label = "Relative abundance index per species with intervals";
  if (!estimates || shown.empty()) {
    Builder b(svg::kFigureWidth, 40, label);
    b.text(10, 24, estimates ? "No species." : "The estimates are made with the tables (--tables).", "start", 12, 0,
           "axis");
    return html + b.finish() + "</figure>\n";
  }
  std::vector<int> order = shown;
  const auto rai = [&](int s) {
    const AbundanceIndex& a = estimates->species[static_cast<std::size_t>(s - 1)].index;
    return a.rai ? *a.rai : 0.0;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rai(a) > rai(b); });
  double top = 0.0;
  for (int s : order) {
    const AbundanceIndex& a = estimates->species[static_cast<std::size_t>(s - 1)].index;
    for (const Estimate& v : {a.rai, a.ratioUcl, a.poissonUcl})
      if (v) top = std::max(top, *v);
  }
  const double left = 190.0, head = 8.0, rowH = 16.0;
  const double plotH = rowH * static_cast<double>(order.size());
  Builder b(svg::kFigureWidth, head + plotH + 46, label);
  const std::vector<double> xt = svg::niceTicks(0, top > 0.0 ? top : 1.0, 8);
  const LinearScale x{xt.front(), xt.back(), left, svg::kFigureWidth - 60};
  for (double t : xt) b.line(x(t), head, x(t), head + plotH, "#e4e4e4");
  b.axisBottom(x, xt, head + plotH, "Events per 100 camera trap days");
  for (std::size_t r = 0; r < order.size(); ++r) {
    const int s = order[r];
    const AbundanceIndex& a = estimates->species[static_cast<std::size_t>(s - 1)].index;
    const std::string nameText = utf8Field(st.SPECIESNAME(s));
    const double y = head + rowH * static_cast<double>(r) + rowH / 2.0;
    b.text(left - 6, y + 3.5, nameText, "end", 10);
    if (!a.rai) {
      b.text(left + 4, y + 3.5, a.reason, "start", 9, 0, "axis");
      continue;
    }
    if (a.poissonLcl && a.poissonUcl) b.line(x(*a.poissonLcl), y + 4, x(*a.poissonUcl), y + 4, "#999", 1);
    if (a.ratioLcl && a.ratioUcl) b.line(x(*a.ratioLcl), y, x(*a.ratioUcl), y, svg::categoryColour(1), 3);
    b.circle(x(*a.rai), y, 3.5, "#222",
             nameText + ": " + number(*a.rai, 2) + " (" + std::to_string(a.events) + " events); ratio " +
                 interval(a.ratioLcl, a.ratioUcl, 2) + "; Poisson " + interval(a.poissonLcl, a.poissonUcl, 2));
    b.text(x(top > 0.0 ? xt.back() : 1.0) + 4, y + 3.5, number(*a.rai, 2), "start", 9.5, 0, "axis");
  }
  return html + b.finish() + "</figure>\n";
}

std::string richnessPanel(const Richness& r) {
  std::string html = "<table class=\"summary richness\">\n<tr><th>Richness (" + std::to_string(r.groups) +
                     " groups as sampling units)</th><td></td></tr>\n";
  const auto row = [&](std::string_view name, const Estimate& value, const Estimate& se) {
    html += "<tr><th>";
    html += escape(name);
    html += "</th><td>";
    html += value ? number(*value, 2) : std::string("none");
    if (se) html += " (SE " + number(*se, 2) + ")";
    html += "</td></tr>\n";
  };
  row("Observed", static_cast<double>(r.observed), std::nullopt);
  row("Chao2 (incidence)", r.chao2, r.chao2Se);
  row("Jackknife 1", r.jack1, r.jack1Se);
  row("Jackknife 2", r.jack2, std::nullopt);
  row("Bootstrap", r.bootstrap, r.bootstrapSe);
  row("Chao1 (events)", r.chao1, r.chao1Se);
  row("ACE (events)", r.ace, r.aceSe);
  html += "</table>\n";
  return html;
}

}  // namespace mv
