#include "tables/activity_tables.hpp"

#include <charconv>
#include <cmath>
#include <optional>

namespace mv {

namespace {

// The shortest decimal form that reads back as the same 8-byte real; a
// value that is not finite is written as missing.
void real(CsvWriter& w, double v) {
  if (!std::isfinite(v)) {
    w.empty();
    return;
  }
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
  w.field(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void real(CsvWriter& w, const std::optional<double>& v) {
  if (v)
    real(w, *v);
  else
    w.empty();
}

std::string_view nameOf(const std::vector<std::string>& species, int s) {
  return s >= 1 && static_cast<std::size_t>(s) < species.size() ? species[static_cast<std::size_t>(s)]
                                                                : std::string_view();
}

}  // namespace

void writeActivityDensityRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species) {
  for (const SpeciesActivity& s : a.species)
    for (std::size_t i = 0; i < s.density.size(); ++i) {
      w.text(nameOf(species, s.species));
      real(w, 24.0 * static_cast<double>(i) / kDensityPoints);
      real(w, s.density[i]);
      w.endRow();
    }
}

void writeActivityLevelRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species) {
  for (const SpeciesActivity& s : a.species) {
    w.text(nameOf(species, s.species)).integer(s.events);
    real(w, s.bandwidth);
    real(w, s.levelBandwidth);
    real(w, s.maxDensity);
    real(w, s.level);
    if (s.level && a.bootstrap > 0)
      w.integer(s.replicates);
    else
      w.empty();
    real(w, s.se);
    real(w, s.low);
    real(w, s.high);
    w.text(s.note).endRow();
  }
}

void writeOverlapRows(CsvWriter& w, const ActivityAnalysis& a, const std::vector<std::string>& species) {
  for (const PairOverlap& p : a.pairs) {
    w.text(nameOf(species, p.a)).text(nameOf(species, p.b)).integer(p.nA).integer(p.nB);
    real(w, p.bwA);
    real(w, p.bwB);
    real(w, p.estimates.dhat1);
    real(w, p.estimates.dhat4);
    real(w, p.estimates.dhat5);
    w.text(estimatorName(p.estimator));
    real(w, p.estimate);
    const BootInterval& b = p.interval;
    if (a.bootstrap > 0) {
      w.integer(b.replicates);
      real(w, b.replicates > 0 ? std::optional<double>(b.mean) : std::nullopt);
      real(w, b.replicates > 1 ? std::optional<double>(b.sd) : std::nullopt);
    } else {
      w.empty().empty().empty();
    }
    real(w, b.basic0Low);
    real(w, b.basic0High);
    real(w, b.norm0Low);
    real(w, b.norm0High);
    real(w, b.percLow);
    real(w, b.percHigh);
    w.text(p.note).endRow();
  }
}

}  // namespace mv
