#include "page/page.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "abundance/abundance.hpp"
#include "community/community.hpp"
#include "effort/effort.hpp"
#include "input/input.hpp"
#include "io/sinks.hpp"
#include "model/labels.hpp"
#include "model/utf8_text.hpp"
#include "page/activity_plots.hpp"
#include "page/estimates_page.hpp"
#include "page/svg.hpp"
#include "tallies/tallies.hpp"

namespace mv {

namespace {

using svg::Builder;
using svg::escape;
using svg::LinearScale;
using svg::number;

constexpr const char* kEmptyCell = "#f0f0f0";
// A profile of fewer pictures is mostly noise: its line is left out.
constexpr int kFewestForProfile = 10;

// A name as the page shows it: UTF-8, without its padding blanks.
std::string name(const Name& n) { return utf8Field(n); }

// Width in pixels of a text of n characters at a font size (a generous
// average for proportional fonts).
double textWidth(std::size_t n, double size) { return static_cast<double>(n) * size * 0.6; }

// What every plot shares: the species and groups shown, and the record
// counts they were chosen by.
struct PageData {
  const StudyInput& st;
  const PictureTallies& tallies;
  const GroupEffort& effort;
  const GroupPositions& positions;
  PageLimits limits;
  DetectionRates rates;            // all study years
  std::vector<int> records;        // per species: independent pictures
  std::vector<int> shownSpecies;   // most records first
  std::vector<int> hiddenSpecies;  // in species order
  std::vector<int> shownGroups;    // in group order
  std::vector<int> hiddenGroups;
  const StudyEstimates* estimates;  // none when the run made no tables
};

PageData pageData(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                  const GroupPositions& positions, const PageLimits& limits, const StudyEstimates* estimates) {
  PageData d{
      st, tallies, effort, positions, limits, detectionRates(st, tallies, effort, st.FIRSTYEAR, st.LASTYEAR, false),
      {}, {},      {},     {},        {},     estimates};
  d.records.assign(static_cast<std::size_t>(st.NSPECIES) + 1, 0);
  for (int g = 1; g <= st.NGROUPS; ++g)
    for (int s = 1; s <= st.NSPECIES; ++s) d.records[s] += d.rates.rec[g][s];

  std::vector<int> species(static_cast<std::size_t>(st.NSPECIES));
  std::iota(species.begin(), species.end(), 1);
  std::stable_sort(species.begin(), species.end(), [&](int a, int b) { return d.records[a] > d.records[b]; });
  const auto ns = std::min<std::size_t>(species.size(), static_cast<std::size_t>(limits.species));
  d.shownSpecies.assign(species.begin(), species.begin() + static_cast<std::ptrdiff_t>(ns));
  d.hiddenSpecies.assign(species.begin() + static_cast<std::ptrdiff_t>(ns), species.end());
  std::sort(d.hiddenSpecies.begin(), d.hiddenSpecies.end());

  std::vector<int> groups(static_cast<std::size_t>(st.NGROUPS));
  std::iota(groups.begin(), groups.end(), 1);
  std::stable_sort(groups.begin(), groups.end(), [&](int a, int b) { return d.rates.days[a] > d.rates.days[b]; });
  const auto ng = std::min<std::size_t>(groups.size(), static_cast<std::size_t>(limits.groups));
  d.shownGroups.assign(groups.begin(), groups.begin() + static_cast<std::ptrdiff_t>(ng));
  d.hiddenGroups.assign(groups.begin() + static_cast<std::ptrdiff_t>(ng), groups.end());
  std::sort(d.shownGroups.begin(), d.shownGroups.end());
  std::sort(d.hiddenGroups.begin(), d.hiddenGroups.end());
  return d;
}

// ---- page frame ------------------------------------------------------------

constexpr std::string_view kStyle = R"(
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #222; margin: 24px auto;
       max-width: 940px; padding: 0 10px; background: #fff; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 0 0 4px; }
p { margin: 4px 0; font-size: 13px; }
.note { color: #555; font-size: 12px; }
.rest p { font-size: 12px; color: #444; }
table.summary { border-collapse: collapse; font-size: 13px; margin: 8px 0; }
table.summary th { text-align: left; font-weight: normal; color: #555; padding: 2px 16px 2px 0; }
table.summary td { padding: 2px 0; }
figure { margin: 22px 0; break-inside: avoid; page-break-inside: avoid; }
svg { max-width: 100%; height: auto; display: block; font-family: inherit; }
svg text { fill: #222; }
svg text.axis { fill: #444; }
svg text.head { font-weight: bold; }
@media print { body { margin: 0; max-width: none; } figure { margin: 12px 0; } }
)";

void openFigure(std::string& html, std::string_view id, std::string_view title, std::string_view note) {
  html += "<figure class=\"plot\" data-plot=\"";
  html += id;
  html += "\">\n<h2>";
  html += escape(title);
  html += "</h2>\n";
  if (!note.empty()) {
    html += "<p class=\"note\">";
    html += escape(note);
    html += "</p>\n";
  }
}

void closeFigure(std::string& html, std::string svgText) {
  html += svgText;
  html += "</figure>\n";
}

// An empty plot that says why.
std::string noData(std::string_view label, std::string_view why) {
  Builder b(svg::kFigureWidth, 40, label);
  b.text(10, 24, why, "start", 12, 0, "axis");
  return b.finish();
}

std::string monthYear(int year, int month) { return std::string(monthName(month)) + ' ' + std::to_string(year); }

// The start or stop date of an operating period.
std::string periodDate(const PeriodTable& t, int location, int p) {
  return countedIsoDate(t(location, p, kYear), t(location, p, kMonth), t(location, p, kDay));
}

std::string nameList(const StudyInput& st, const std::vector<int>& items, bool species) {
  std::string out;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (k > 0) out += ", ";
    out += name(species ? st.SPECIESNAME(items[k]) : st.GROUPNAME(items[k]));
  }
  return out;
}

void summary(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const PictureTallies& tallies = d.tallies;
  html += "<h1>";
  html += escape(utf8Field(st.TITLE));
  html += "</h1>\n<p class=\"note\">Camera-trap study report</p>\n<table class=\"summary\">\n";
  auto row = [&](std::string_view label, const std::string& value) {
    html += "<tr><th>";
    html += label;
    html += "</th><td>";
    html += escape(value);
    html += "</td></tr>\n";
  };
  row("Years", st.FIRSTYEAR <= st.LASTYEAR
                   ? (st.FIRSTYEAR == st.LASTYEAR ? std::to_string(st.FIRSTYEAR)
                                                  : std::to_string(st.FIRSTYEAR) + " to " + std::to_string(st.LASTYEAR))
                   : "none");
  row("Locations", std::to_string(st.NLOCATIONS));
  row("Groups", std::to_string(st.NGROUPS));
  row("Species", std::to_string(st.NSPECIES));
  row("Pictures used", std::to_string(tallies.NUSED));
  row("Pictures rejected", std::to_string(tallies.NREJECTED));
  row("PERIOD", std::to_string(tallies.PERIOD) +
                    " minutes (pictures of a species at a location within one PERIOD are one record)");
  html += "</table>\n";
  if (!d.hiddenSpecies.empty())
    html += "<p class=\"note\">The plots show the " + std::to_string(d.shownSpecies.size()) +
            " species with the most records of " + std::to_string(st.NSPECIES) +
            "; the others are listed at the end of the page.</p>\n";
  if (!d.hiddenGroups.empty())
    html += "<p class=\"note\">The plots by group show the " + std::to_string(d.shownGroups.size()) +
            " groups with the most camera trap days of " + std::to_string(st.NGROUPS) +
            "; the others are listed at the end of the page.</p>\n";
}

// The species and groups the plots leave out, by name.
void notShown(std::string& html, const PageData& d) {
  if (d.hiddenSpecies.empty() && d.hiddenGroups.empty()) return;
  html += "<section class=\"rest\">\n<h2>Not shown in the plots</h2>\n";
  if (!d.hiddenSpecies.empty()) {
    html += "<p>" + std::to_string(d.hiddenSpecies.size()) + " species: ";
    html += escape(nameList(d.st, d.hiddenSpecies, true));
    html += ".</p>\n";
  }
  if (!d.hiddenGroups.empty()) {
    html += "<p>" + std::to_string(d.hiddenGroups.size()) + " groups: ";
    html += escape(nameList(d.st, d.hiddenGroups, false));
    html += ".</p>\n";
  }
  html += "</section>\n";
}

// ---- camera operation --------------------------------------------------------

// Ticks of a date axis over day numbers lo..hi: month starts, or year starts
// when there would be too many months.
std::vector<std::pair<int, std::string>> dateTicks(const StudyInput& st, int lo, int hi) {
  std::vector<std::pair<int, std::string>> months;
  std::vector<std::pair<int, std::string>> years;
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR + 1; ++y)
    for (int m = 1; m <= 12; ++m) {
      const int day = FINDDAY(st.FIRSTYEAR, y, m, 1);
      if (day < lo || day > hi) continue;
      months.emplace_back(day, monthYear(y, m));
      if (m == 1) years.emplace_back(day, std::to_string(y));
    }
  if (months.size() <= 12) return months;
  if (years.size() <= 12) return years;
  std::vector<std::pair<int, std::string>> every;
  const std::size_t step = (years.size() + 11) / 12;
  for (std::size_t k = 0; k < years.size(); k += step) every.push_back(years[k]);
  return every;
}

void cameraOperation(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  struct Row {
    int group;
    int location;
  };
  std::vector<Row> rows;
  int totalRows = 0;
  for (int g : d.shownGroups)
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) {
      ++totalRows;
      if (static_cast<int>(rows.size()) < d.limits.locations) rows.push_back({g, st.GROUPLOCATIONS(g, k)});
    }
  bool merged = false;
  for (const Row& r : rows) merged = merged || st.NPERIODS(r.location) > d.limits.periodBars;
  std::string note = "Each bar is an operating period of a camera location; hover for its dates.";
  if (totalRows > static_cast<int>(rows.size()))
    note +=
        " Only the first " + std::to_string(rows.size()) + " of " + std::to_string(totalRows) + " locations are shown.";
  if (merged)
    note += " A location with more than " + std::to_string(d.limits.periodBars) +
            " operating periods has those that overlap or lie close together drawn as one bar.";
  openFigure(html, "operation", "Camera operation", note);
  const std::string label = "Camera operation chart";
  if (rows.empty() || st.FIRSTDAY > st.LASTDAY) {
    closeFigure(html, noData(label, "No operating periods."));
    return;
  }

  const double rowH = rows.size() <= 40 ? 14.0 : 9.0;
  const double left = 300.0;
  const double top = 8.0;
  const double plotH = rowH * static_cast<double>(rows.size());
  Builder b(svg::kFigureWidth, top + plotH + 50, label);
  const LinearScale x{static_cast<double>(st.FIRSTDAY), static_cast<double>(st.LASTDAY + 1), left,
                      svg::kFigureWidth - 20};
  const double font = rowH >= 14 ? 10.0 : 7.5;

  int previous = 0;
  int band = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const double y = top + rowH * static_cast<double>(r);
    if (rows[r].group != previous) {
      ++band;
      previous = rows[r].group;
      b.text(4, y + rowH - 2.5, name(st.GROUPNAME(rows[r].group)), "start", font, 0, "head");
    }
    if (band % 2 == 0) b.rect(left, y, svg::kFigureWidth - 20 - left, rowH, "#f4f4f4");
    const int loc = rows[r].location;
    b.text(left - 6, y + rowH - 2.5, name(st.LOCATIONNAME(loc)), "end", font);
    const std::string colour = svg::categoryColour(band % 2 == 0 ? 0 : 4);
    if (st.NPERIODS(loc) <= d.limits.periodBars) {
      for (int p = 1; p <= st.NPERIODS(loc); ++p) {
        const int from = st.PERIODSTART(loc, p, kDayNumber);
        const int to = st.PERIODSTOP(loc, p, kDayNumber);
        b.rect(x(from), y + 1.5, x(to + 1) - x(from), rowH - 3, colour,
               name(st.LOCATIONNAME(loc)) + ": " + periodDate(st.PERIODSTART, loc, p) + " to " +
                   periodDate(st.PERIODSTOP, loc, p) + " (" + std::to_string(to - from + 1) + " days)");
      }
      continue;
    }
    // Too many periods for a bar each: periods that overlap or lie less
    // than a hundredth of the axis apart are drawn as one bar, so a row
    // holds about as many bars as the cap at most.
    std::vector<int> order(static_cast<std::size_t>(st.NPERIODS(loc)));
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k) + 1;
    std::sort(order.begin(), order.end(),
              [&](int a, int c) { return st.PERIODSTART(loc, a, kDayNumber) < st.PERIODSTART(loc, c, kDayNumber); });
    const int gap = std::max(1, (st.LASTDAY + 1 - st.FIRSTDAY) / d.limits.periodBars);
    std::size_t k = 0;
    while (k < order.size()) {
      const int first = order[k];
      int last = first;  // the period that stops latest
      int periods = 0;
      for (; k < order.size(); ++k) {
        const int p = order[k];
        if (periods > 0 && st.PERIODSTART(loc, p, kDayNumber) > st.PERIODSTOP(loc, last, kDayNumber) + gap) break;
        if (periods == 0 || st.PERIODSTOP(loc, p, kDayNumber) > st.PERIODSTOP(loc, last, kDayNumber)) last = p;
        ++periods;
      }
      const int from = st.PERIODSTART(loc, first, kDayNumber);
      const int to = std::max(from, st.PERIODSTOP(loc, last, kDayNumber));
      b.rect(x(from), y + 1.5, x(to + 1) - x(from), rowH - 3, colour,
             name(st.LOCATIONNAME(loc)) + ": " + std::to_string(periods) + (periods == 1 ? " period, " : " periods, ") +
                 periodDate(st.PERIODSTART, loc, first) + " to " + periodDate(st.PERIODSTOP, loc, last));
    }
  }
  const double axisY = top + plotH;
  b.line(left, axisY, svg::kFigureWidth - 20, axisY, "#333");
  for (const auto& [day, text] : dateTicks(st, st.FIRSTDAY, st.LASTDAY + 1)) {
    b.line(x(day), top, x(day), axisY + 4, "#ccc");
    b.text(x(day), axisY + 15, text, "middle", 10);
  }
  b.text((left + svg::kFigureWidth - 20) / 2, axisY + 32, "Date", "middle", 11, 0, "axis");
  closeFigure(html, b.finish());
}

// ---- heat maps -------------------------------------------------------------

std::string cellColour(double v, double max) { return v > 0.0 && max > 0.0 ? svg::viridis(v / max) : kEmptyCell; }

void trapDays(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const GroupEffort& effort = d.effort;
  openFigure(html, "trapdays", "Camera trap days per group and month",
             "Days on which the cameras of each group were operating, every location counted; grey: none.");
  const std::string label = "Heat map of camera trap days per group and month";
  const int years = st.LASTYEAR - st.FIRSTYEAR + 1;
  if (d.shownGroups.empty() || years <= 0) {
    closeFigure(html, noData(label, "No camera trap days."));
    return;
  }
  const int cols = 12 * years;
  const double left = 180.0;
  const double top = 8.0;
  const double rowH = d.shownGroups.size() <= 40 ? 14.0 : 9.0;
  const svg::BandScale cx{cols, left, svg::kFigureWidth - 20, 0.06};
  const double plotH = rowH * static_cast<double>(d.shownGroups.size());
  Builder b(svg::kFigureWidth, top + plotH + 80, label);
  int max = 0;
  for (int g : d.shownGroups)
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) max = std::max(max, effort.GROUPTRAPDAYS(g, y, m));
  const double font = rowH >= 14 ? 10.0 : 7.5;
  for (std::size_t r = 0; r < d.shownGroups.size(); ++r) {
    const int g = d.shownGroups[r];
    const double yy = top + rowH * static_cast<double>(r);
    b.text(left - 6, yy + rowH - 2.5, name(st.GROUPNAME(g)), "end", font);
    for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y)
      for (int m = 1; m <= 12; ++m) {
        const int c = 12 * (y - st.FIRSTYEAR) + m - 1;
        const int v = effort.GROUPTRAPDAYS(g, y, m);
        b.rect(cx.start(c), yy + 0.5, cx.width(), rowH - 1, cellColour(v, max),
               name(st.GROUPNAME(g)) + ", " + monthYear(y, m) + ": " + std::to_string(v) + " trap days");
      }
  }
  const double axisY = top + plotH;
  for (int y = st.FIRSTYEAR; y <= st.LASTYEAR; ++y) {
    const int c = 12 * (y - st.FIRSTYEAR);
    b.line(cx.start(c), axisY, cx.start(c), axisY + 5, "#333");
    if (years <= 2) {
      for (int m = 1; m <= 12; ++m) b.text(cx.centre(c + m - 1), axisY + 14, monthName(m).substr(0, 1), "middle", 9);
      b.text(cx.start(c), axisY + 27, std::to_string(y), "start", 10);
    } else {
      b.text(cx.centre(c + 5), axisY + 15, std::to_string(y), "middle", 10);
    }
  }
  b.viridisLegend(left, axisY + 40, 240, 0, max, "camera trap days per month");
  closeFigure(html, b.finish());
}

void detectionRateMap(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  openFigure(html, "detection", "Detection rate per 100 camera trap days",
             "Records (one per species, location and PERIOD) per 100 camera trap days, all study years; "
             "hover a cell for its value. Grey: no records.");
  const std::string label = "Heat map of detection rates, group by species";
  if (d.shownGroups.empty() || d.shownSpecies.empty()) {
    closeFigure(html, noData(label, "No groups or species."));
    return;
  }
  const auto nc = static_cast<int>(d.shownSpecies.size());
  const double left = 180.0;
  const double top = 150.0;
  const double cell = std::min(18.0, (svg::kFigureWidth - 20 - left) / nc);
  const double rowH = d.shownGroups.size() <= 40 ? 14.0 : 9.0;
  const double plotH = rowH * static_cast<double>(d.shownGroups.size());
  Builder b(svg::kFigureWidth, top + plotH + 50, label);
  double max = 0.0;
  for (int g : d.shownGroups)
    for (int s : d.shownSpecies) max = std::max(max, static_cast<double>(d.rates.speciesRate(g, s)));
  for (int c = 0; c < nc; ++c)
    b.text(left + cell * (c + 0.5) + 3, top - 4, name(st.SPECIESNAME(d.shownSpecies[c])), "start", 9.5, -60);
  const double font = rowH >= 14 ? 10.0 : 7.5;
  for (std::size_t r = 0; r < d.shownGroups.size(); ++r) {
    const int g = d.shownGroups[r];
    const double y = top + rowH * static_cast<double>(r);
    b.text(left - 6, y + rowH - 2.5, name(st.GROUPNAME(g)), "end", font);
    for (int c = 0; c < nc; ++c) {
      const int s = d.shownSpecies[c];
      const double v = static_cast<double>(d.rates.speciesRate(g, s));
      b.rect(left + cell * c + 0.5, y + 0.5, cell - 1, rowH - 1, cellColour(v, max),
             name(st.GROUPNAME(g)) + " \u00d7 " + name(st.SPECIESNAME(s)) + ": " + number(v, 2) +
                 " per 100 trap days (" + std::to_string(d.rates.rec[g][s]) + " records, " +
                 std::to_string(d.rates.days[g]) + " trap days)");
    }
  }
  b.viridisLegend(left, top + plotH + 14, 240, 0, max, "records per 100 camera trap days");
  closeFigure(html, b.finish());
}

// ---- accumulation ------------------------------------------------------------

void accumulation(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const PictureTallies& tallies = d.tallies;
  openFigure(html, "accumulation", "Species accumulation curve",
             "Species photographed so far against the study day (day 1 is the first operating day); "
             "hover a step for the species added.");
  const std::string label = "Species accumulation curve";
  const std::vector<AccumulationDay> curve = accumulationCurve(st, tallies);
  if (curve.empty() || st.FIRSTDAY > st.LASTDAY) {
    closeFigure(html, noData(label, "No species photographed."));
    return;
  }
  const double span = std::max(st.LASTDAY - st.FIRSTDAY + 1, curve.back().day);
  const double left = 70.0;
  const double top = 14.0;
  const double height = 300.0;
  const double bottom = height - 50.0;
  const std::vector<double> xt = svg::niceTicks(0, span, 10);
  const std::vector<double> yt = svg::niceTicks(0, std::max(st.NSPECIES, 1), 8);
  const LinearScale x{xt.front(), xt.back(), left, svg::kFigureWidth - 30};
  const LinearScale y{yt.front(), yt.back(), bottom, top};
  Builder b(svg::kFigureWidth, height, label);
  b.axisLeft(y, yt, left, svg::kFigureWidth - 30, "Species");
  b.axisBottom(x, xt, bottom, "Study day");
  b.line(left, y(st.NSPECIES), svg::kFigureWidth - 30, y(st.NSPECIES), "#999", 1, "4 3");
  b.text(svg::kFigureWidth - 32, y(st.NSPECIES) - 4, std::to_string(st.NSPECIES) + " species listed", "end", 10, 0,
         "axis");
  std::vector<std::pair<double, double>> pts;
  pts.emplace_back(x(0), y(0));
  int previous = 0;
  for (const AccumulationDay& step : curve) {
    pts.emplace_back(x(step.day), y(previous));
    pts.emplace_back(x(step.day), y(step.speciesSoFar));
    previous = step.speciesSoFar;
  }
  pts.emplace_back(x(span), y(previous));
  b.polyline(pts, svg::categoryColour(0), 2);
  for (const AccumulationDay& step : curve) {
    std::string title =
        "Day " + std::to_string(step.day) + ": " + std::to_string(step.speciesSoFar) + " species; new: ";
    for (std::size_t k = 0; k < step.species.size() && k < 10; ++k) {
      if (k > 0) title += ", ";
      title += name(st.SPECIESNAME(step.species[k]));
    }
    if (step.species.size() > 10) title += " and " + std::to_string(step.species.size() - 10) + " more";
    b.circle(x(step.day), y(step.speciesSoFar), 3, svg::categoryColour(0), title);
  }
  closeFigure(html, b.finish() + (d.estimates ? richnessPanel(d.estimates->richness) : std::string()));
}

// ---- activity small multiples ----------------------------------------------------

struct Series {
  std::string label;
  std::array<int, 24> hours{};
  int total() const { return std::accumulate(hours.begin(), hours.end(), 0); }
};

// One panel per shown species, four to a row: bars of pictures per hour for
// a single series, otherwise one line per series of the share (%) of the
// series' pictures in each hour, so that series of different size compare.
// With `curveOf`, a bar panel also shows the species' density curve (per
// hour of day at kDensityPoints times) scaled to the bars' total.
void smallMultiples(std::string& html, const PageData& d, std::string_view id, std::string_view title,
                    std::string_view note, const std::function<std::vector<Series>(int)>& seriesOf,
                    const std::function<std::vector<double>(int)>& curveOf = {}) {
  const StudyInput& st = d.st;
  openFigure(html, id, title, note);
  const std::string label = std::string(title) + ", one panel per species";
  if (d.shownSpecies.empty()) {
    closeFigure(html, noData(label, "No species."));
    return;
  }
  constexpr int kColumns = 4;
  constexpr double kPanelW = (svg::kFigureWidth - 10) / kColumns;
  constexpr double kPanelH = 128.0;
  const double legendH = 22.0;
  const auto n = static_cast<int>(d.shownSpecies.size());
  const int panelRows = (n + kColumns - 1) / kColumns;
  Builder b(svg::kFigureWidth, legendH + kPanelH * panelRows + 6, label);

  const std::vector<Series> first = seriesOf(d.shownSpecies.front());
  const bool bars = first.size() == 1;
  double lx = 10;
  if (bars) {
    b.text(lx, 14, "Bars: " + first.front().label + " per hour of day (0-24 h)", "start", 11, 0, "axis");
    if (curveOf) {
      lx += 330;
      b.line(lx, 10, lx + 18, 10, svg::categoryColour(1), 2.0);
      b.text(lx + 22, 14, "kernel density of the events' start times, scaled to the bars", "start", 11, 0, "axis");
    }
  } else {
    b.text(lx, 14, "Share of each window's pictures per hour of day (0-24 h), %:", "start", 11, 0, "axis");
    lx += 380;
    for (std::size_t k = 0; k < first.size(); ++k) {
      b.line(lx, 10, lx + 18, 10, svg::categoryColour(static_cast<int>(k)), 2.5);
      b.text(lx + 22, 14, first[k].label, "start", 11);
      lx += 30 + textWidth(first[k].label.size(), 11);
    }
  }

  for (int i = 0; i < n; ++i) {
    const int s = d.shownSpecies[static_cast<std::size_t>(i)];
    const double ox = 5 + kPanelW * (i % kColumns);
    const double oy = legendH + kPanelH * (i / kColumns);
    const double left = ox + 34;
    const double right = ox + kPanelW - 8;
    const double top = oy + 20;
    const double bottom = oy + kPanelH - 24;
    const std::vector<Series> series = seriesOf(s);
    int all = 0;
    for (const Series& one : series) all += one.total();
    b.text(ox + 4, oy + 12, name(st.SPECIESNAME(s)) + " (" + std::to_string(all) + ")", "start", 10.5, 0, "head");

    std::vector<double> curve = bars && curveOf ? curveOf(s) : std::vector<double>();
    for (double& v : curve) v *= all;
    double max = curve.empty() ? 0.0 : *std::max_element(curve.begin(), curve.end());
    for (const Series& one : series) {
      const int total = one.total();
      if (!bars && total < kFewestForProfile) continue;
      for (int h = 0; h < 24; ++h) {
        const double v = bars ? one.hours[h] : (total > 0 ? 100.0 * one.hours[h] / total : 0.0);
        max = std::max(max, v);
      }
    }
    const std::vector<double> yt = svg::niceTicks(0, std::max(max, bars ? 1.0 : 5.0), 3);
    const LinearScale y{yt.front(), yt.back(), bottom, top};
    const LinearScale x{0, 24, left, right};
    b.axisLeft(y, yt, left, right, "");
    b.hourAxis(x, left, right, bottom);
    if (all == 0) {
      b.text((left + right) / 2, (top + bottom) / 2, "no pictures", "middle", 10, 0, "axis");
      continue;
    }
    if (bars) {
      const svg::BandScale band{24, left, right, 0.15};
      for (int h = 0; h < 24; ++h) {
        const int v = series.front().hours[h];
        b.rect(band.start(h), y(v), band.width(), bottom - y(v), svg::categoryColour(0),
               std::string(hourLabel(h)) + ":00-" + std::string(hourLabel(h + 1)) + ":00: " + std::to_string(v));
      }
      if (!curve.empty()) {
        std::vector<std::pair<double, double>> pts;
        for (std::size_t i = 0; i <= curve.size(); ++i)
          pts.emplace_back(x(24.0 * static_cast<double>(i) / static_cast<double>(curve.size())),
                           y(curve[i % curve.size()]));
        b.polyline(pts, svg::categoryColour(1), 1.8);
      }
      continue;
    }
    int drawn = 0;
    for (std::size_t k = 0; k < series.size(); ++k) {
      const int total = series[k].total();
      if (total < kFewestForProfile) continue;
      std::vector<std::pair<double, double>> pts;
      for (int h = 0; h < 24; ++h) pts.emplace_back(x(h + 0.5), y(100.0 * series[k].hours[h] / total));
      b.polyline(pts, svg::categoryColour(static_cast<int>(k)), 1.6);
      ++drawn;
    }
    if (drawn == 0) b.text((left + right) / 2, (top + bottom) / 2, "too few pictures", "middle", 10, 0, "axis");
  }
  closeFigure(html, b.finish());
}

std::vector<Series> hourly(const PictureTallies& tallies, int s) {
  Series one{"activity pictures", {}};
  for (int m = 1; m <= 12; ++m)
    for (int h = 0; h < 24; ++h) one.hours[h] += tallies.ACTMONTHHOUR(s, m, h);
  return {one};
}

std::vector<Series> lunar(const PictureTallies& tallies, int s) {
  Series full{"full moon \u00b1 5 days", {}};
  Series fresh{"new moon \u00b1 5 days", {}};
  for (int h = 0; h < 24; ++h) {
    full.hours[h] = tallies.ACTMOONHOUR(s, kFullMoon, h);
    fresh.hours[h] = tallies.ACTMOONHOUR(s, kNewMoon, h);
  }
  return {full, fresh};
}

std::vector<Series> seasonal(const PictureTallies& tallies, int s) {
  std::vector<Series> out;
  for (int k = 1; k <= 4; ++k) {
    Series one{std::string(kSeasonLabels[k - 1]), {}};
    for (int h = 0; h < 24; ++h) one.hours[h] = tallies.ACTSEASONHOUR(s, k, h);
    out.push_back(one);
  }
  return out;
}

// ---- map ---------------------------------------------------------------------

void groupMap(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const GroupPositions& positions = d.positions;
  std::string note =
      "Group positions (the mean of their camera locations), camera locations (small dots) and the area each "
      "group of three or more positioned locations spans.";
  if (!d.hiddenGroups.empty())
    note += " Names only for the " + std::to_string(d.shownGroups.size()) + " groups shown elsewhere.";
  openFigure(html, "map", "Map of groups", note);
  const std::string label = "Map of group positions, easting and northing in km";

  const std::vector<GroupArea> areas = groupAreas(st);
  double minX = 1e300;
  double maxX = -1e300;
  double minY = 1e300;
  double maxY = -1e300;
  auto extend = [&](double e, double n) {
    minX = std::min(minX, e);
    maxX = std::max(maxX, e);
    minY = std::min(minY, n);
    maxY = std::max(maxY, n);
  };
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    if (st.LOCATIONUTM(l, 1) != 0 && st.LOCATIONUTM(l, 2) != 0)
      extend(st.LOCATIONUTM(l, 1) / 1000.0, st.LOCATIONUTM(l, 2) / 1000.0);
  for (int g = 1; g <= st.NGROUPS; ++g)
    if (positions.GROUPUTM(g, 1) != 0 && positions.GROUPUTM(g, 2) != 0)
      extend(positions.GROUPUTM(g, 1) / 1000.0, positions.GROUPUTM(g, 2) / 1000.0);
  if (minX > maxX) {
    closeFigure(html, noData(label, "No positions given."));
    return;
  }

  // Equal scales on both axes: 1 km is as long east as north.
  const double left = 80.0;
  const double top = 12.0;
  const double plotW = svg::kFigureWidth - left - 30;
  const double maxPlotH = 560.0;
  double spanX = std::max(maxX - minX, 0.5);
  double spanY = std::max(maxY - minY, 0.5);
  minX -= spanX * 0.06;
  maxX += spanX * 0.06;
  minY -= spanY * 0.06;
  maxY += spanY * 0.06;
  spanX = maxX - minX;
  spanY = maxY - minY;
  const double pxPerKm = std::min(plotW / spanX, maxPlotH / spanY);
  const double plotH = spanY * pxPerKm;
  const double usedW = spanX * pxPerKm;
  const LinearScale x{minX, maxX, left, left + usedW};
  const LinearScale y{minY, maxY, top + plotH, top};
  Builder b(svg::kFigureWidth, top + plotH + 50, label);
  std::vector<double> xt = svg::niceTicks(minX, maxX, std::max(3, static_cast<int>(usedW / 90)));
  std::vector<double> yt = svg::niceTicks(minY, maxY, std::max(3, static_cast<int>(plotH / 45)));
  std::erase_if(xt, [&](double t) { return t < minX || t > maxX; });
  std::erase_if(yt, [&](double t) { return t < minY || t > maxY; });
  b.rect(left, top, usedW, plotH, "#fafafa");
  for (double t : xt) b.line(x(t), top, x(t), top + plotH, "#e4e4e4");
  b.axisLeft(y, yt, left, left + usedW, "Northing (km)");
  b.axisBottom(x, xt, top + plotH, "Easting (km)");

  for (int g = 1; g <= st.NGROUPS; ++g) {
    const GroupArea& area = areas[static_cast<std::size_t>(g)];
    if (!(area.km2 > 0.0f) || area.outline.empty()) continue;
    std::vector<std::pair<double, double>> pts;
    for (std::size_t k = 0; k + 1 < area.outline.size(); ++k)
      pts.emplace_back(x(static_cast<double>(area.outline[k].first) / 1000.0),
                       y(static_cast<double>(area.outline[k].second) / 1000.0));
    b.polygon(pts, svg::categoryColour(g - 1), svg::categoryColour(g - 1), 0.18,
              name(st.GROUPNAME(g)) + ": " + number(static_cast<double>(area.km2), 2) + " km\u00b2");
  }
  for (int l = 1; l <= st.NLOCATIONS; ++l)
    if (st.LOCATIONUTM(l, 1) != 0 && st.LOCATIONUTM(l, 2) != 0)
      b.circle(x(st.LOCATIONUTM(l, 1) / 1000.0), y(st.LOCATIONUTM(l, 2) / 1000.0), 1.8, "#888");
  std::vector<bool> labelled(static_cast<std::size_t>(st.NGROUPS) + 1, false);
  for (int g : d.shownGroups) labelled[static_cast<std::size_t>(g)] = true;
  for (int g = 1; g <= st.NGROUPS; ++g) {
    if (positions.GROUPUTM(g, 1) == 0 || positions.GROUPUTM(g, 2) == 0) continue;
    const double px = x(positions.GROUPUTM(g, 1) / 1000.0);
    const double py = y(positions.GROUPUTM(g, 2) / 1000.0);
    b.circle(px, py, 4, svg::categoryColour(g - 1),
             name(st.GROUPNAME(g)) + ": " + number(positions.GROUPUTM(g, 1) / 1000.0, 3) + " km E, " +
                 number(positions.GROUPUTM(g, 2) / 1000.0, 3) + " km N, elevation " +
                 std::to_string(positions.GROUPELEV(g)));
    if (labelled[static_cast<std::size_t>(g)]) b.text(px + 6, py - 5, name(st.GROUPNAME(g)), "start", 10);
  }
  closeFigure(html, b.finish());
}

// ---- occupancy and co-occurrence ---------------------------------------------

void occupancy(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const PictureTallies& tallies = d.tallies;
  openFigure(html, "occupancy", "Naive occupancy",
             "Share of the " + std::to_string(st.NGROUPS) + " groups at which each species was photographed." +
                 (d.estimates ? " Dot and line: occupancy estimated with detection below 1 (single-season model, "
                                "groups as sites) and its 95% interval; flagged where it is not an ordinary estimate."
                              : ""));
  const std::string label = "Naive occupancy per species, bars";
  if (d.shownSpecies.empty() || st.NGROUPS == 0) {
    closeFigure(html, noData(label, "No species or groups."));
    return;
  }
  const std::vector<int> occupied = naiveOccupancy(st, tallies);
  std::vector<int> order = d.shownSpecies;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return occupied[a] > occupied[b]; });
  const double left = 190.0;
  const double top = 8.0;
  const double rowH = 16.0;
  const double plotH = rowH * static_cast<double>(order.size());
  Builder b(svg::kFigureWidth, top + plotH + 46, label);
  const std::vector<double> xt = svg::niceTicks(0, 1, 6);
  // Room on the right for the word "flagged" beside a full bar's label.
  const LinearScale x{0, 1, left, svg::kFigureWidth - (d.estimates ? 110 : 60)};
  for (double t : xt) b.line(x(t), top, x(t), top + plotH, "#e4e4e4");
  b.axisBottom(x, xt, top + plotH, "Proportion of groups occupied");
  for (std::size_t r = 0; r < order.size(); ++r) {
    const int s = order[r];
    const double y = top + rowH * static_cast<double>(r);
    const double p = static_cast<double>(occupied[s]) / st.NGROUPS;
    b.text(left - 6, y + rowH - 4, name(st.SPECIESNAME(s)), "end", 10);
    b.rect(
        left, y + 2, x(p) - left, rowH - 4, svg::categoryColour(2),
        name(st.SPECIESNAME(s)) + ": " + std::to_string(occupied[s]) + " of " + std::to_string(st.NGROUPS) + " groups");
    const std::string share = number(p, 3) + " (" + std::to_string(occupied[s]) + ")";
    b.text(x(p) + 4, y + rowH - 4, share, "start", 9.5, 0, "axis");
    if (d.estimates)
      occupancyEstimateMark(b, x, y, rowH, x(p) + 10 + textWidth(share.size(), 9.5), name(st.SPECIESNAME(s)),
                            d.estimates->species[static_cast<std::size_t>(s - 1)].occupancy);
  }
  closeFigure(html, b.finish());
}

void cooccurrenceMatrix(std::string& html, const PageData& d) {
  const StudyInput& st = d.st;
  const PictureTallies& tallies = d.tallies;
  openFigure(html, "cooccurrence", "Species co-occurrence",
             "Number of groups at which both species were photographed (not necessarily at the same time); "
             "the diagonal is each species' own number of groups.");
  const std::string label = "Species co-occurrence matrix";
  if (d.shownSpecies.empty()) {
    closeFigure(html, noData(label, "No species."));
    return;
  }
  const Table<int, 2> together = cooccurrence(st, tallies);
  const auto n = static_cast<int>(d.shownSpecies.size());
  const double left = 190.0;
  const double top = 150.0;
  const double cell = std::min(22.0, std::min((svg::kFigureWidth - 20 - left) / n, 500.0 / n + 2));
  Builder b(svg::kFigureWidth, top + cell * n + 50, label);
  int max = 0;
  for (int a : d.shownSpecies)
    for (int c : d.shownSpecies) max = std::max(max, together(a, c));
  for (int c = 0; c < n; ++c)
    b.text(left + cell * (c + 0.5) + 3, top - 4, name(st.SPECIESNAME(d.shownSpecies[c])), "start", 9.5, -60);
  for (int r = 0; r < n; ++r) {
    const int a = d.shownSpecies[static_cast<std::size_t>(r)];
    const double y = top + cell * r;
    b.text(left - 6, y + cell / 2 + 3.5, name(st.SPECIESNAME(a)), "end", std::min(10.0, cell * 0.75));
    for (int c = 0; c < n; ++c) {
      const int o = d.shownSpecies[static_cast<std::size_t>(c)];
      const int v = together(a, o);
      b.rect(left + cell * c + 0.5, y + 0.5, cell - 1, cell - 1, cellColour(v, max),
             name(st.SPECIESNAME(a)) + " & " + name(st.SPECIESNAME(o)) + ": " + std::to_string(v) + " groups");
      if (cell >= 16)
        b.raw("<text x=\"" + number(left + cell * (c + 0.5), 1) + "\" y=\"" + number(y + cell / 2 + 3.5, 1) +
              "\" text-anchor=\"middle\" font-size=\"9\" style=\"fill:" +
              (v == 0        ? "#999"
               : v * 2 > max ? "#000"
                             : "#fff") +
              "\">" + std::to_string(v) + "</text>\n");
    }
  }
  b.viridisLegend(left, top + cell * n + 14, 240, 0, max, "groups with both species");
  closeFigure(html, b.finish());
}

}  // namespace

std::string htmlPage(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                     const GroupPositions& positions, const PageLimits& limits, const ActivityAnalysis* activity,
                     const StudyEstimates* estimates) {
  const PageData d = pageData(st, tallies, effort, positions, limits, estimates);
  std::string html;
  html.reserve(1 << 20);
  html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  html += escape(utf8Field(st.TITLE));
  html += "</title>\n<style>";
  html += kStyle;
  html += "</style>\n</head>\n<body>\n";
  summary(html, d);
  cameraOperation(html, d);
  trapDays(html, d);
  accumulation(html, d);
  smallMultiples(
      html, d, "activity", "Activity by hour",
      "Activity pictures (the first picture of each visit of a species to a group, and of each later "
      "clock hour of the visit) in each hour of the day, all months. The line is the von Mises kernel "
      "density of the species' independent events' start times, on the study's clock (no line with "
      "fewer than two events at different times).",
      [&](int s) { return hourly(tallies, s); },
      [&](int s) {
        if (activity == nullptr || s < 1 || static_cast<std::size_t>(s) > activity->species.size())
          return std::vector<double>();
        return activity->species[static_cast<std::size_t>(s) - 1].density;
      });
  smallMultiples(html, d, "lunar", "Activity by hour: full and new moon",
                 "Activity pictures within five days of full moon against those within five days of new moon; "
                 "a window with fewer than 10 pictures has no line.",
                 [&](int s) { return lunar(tallies, s); });
  smallMultiples(html, d, "seasonal", "Activity by hour and season",
                 "Activity pictures of each three-month season, all study years together; a season with fewer "
                 "than 10 pictures has no line.",
                 [&](int s) { return seasonal(tallies, s); });
  html += overlapFigure(st, activity, svg::kFigureWidth);
  detectionRateMap(html, d);
  groupMap(html, d);
  occupancy(html, d);
  html += abundanceIndexFigure(st, d.shownSpecies, d.estimates);
  cooccurrenceMatrix(html, d);
  notShown(html, d);
  html += "</body>\n</html>\n";
  return html;
}

bool writeHtmlPage(const StudyInput& st, const PictureTallies& tallies, const GroupEffort& effort,
                   const GroupPositions& positions, const std::filesystem::path& path, std::string& error,
                   const ActivityAnalysis* activity, const StudyEstimates* estimates) {
  const std::string html = htmlPage(st, tallies, effort, positions, {}, activity, estimates);
  FileSink file;
  if (!file.openReplacing(path)) {
    error = file.errorText();
    return false;
  }
  file.append(html);
  if (!file.commit()) {
    error = file.errorText();
    return false;
  }
  return true;
}

}  // namespace mv
