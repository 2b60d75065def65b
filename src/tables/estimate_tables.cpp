#include "tables/estimate_tables.hpp"

#include <charconv>
#include <cmath>

namespace mv {

namespace {

// The shortest decimal form that reads back as the same 8-byte real; empty
// for a missing or non-finite value.
void number(CsvWriter& w, const Estimate& value) {
  if (!value || !std::isfinite(*value)) {
    w.empty();
    return;
  }
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, *value).ptr;
  w.field(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void parameter(CsvWriter& w, const Parameter& p) {
  number(w, p.value);
  number(w, p.se);
  number(w, p.lcl);
  number(w, p.ucl);
}

}  // namespace

void occupancyModelRows(CsvWriter& w, const std::vector<std::string_view>& species, const StudyEstimates& estimates) {
  for (std::size_t s = 0; s < estimates.species.size() && s < species.size(); ++s) {
    const OccupancyFit& o = estimates.species[s].occupancy;
    const RoyleNicholsFit& rn = estimates.species[s].royleNichols;
    w.text(species[s]).integer(o.sites).integer(o.occasions).integer(o.sitesDetected).integer(o.detections);
    number(w, o.sites > 0 ? Estimate(o.naive) : std::nullopt);
    parameter(w, o.psi);
    parameter(w, o.p);
    number(w, o.logLik);
    number(w, o.aic);
    w.text(flagCode(o.flag)).text(o.reason);
    parameter(w, rn.lambda);
    parameter(w, rn.r);
    number(w, rn.psi);
    number(w, rn.logLik);
    number(w, rn.aic);
    w.text(flagCode(rn.flag)).text(rn.reason);
    w.endRow();
  }
}

void abundanceIndexRows(CsvWriter& w, const std::vector<std::string_view>& species, const StudyEstimates& estimates) {
  for (std::size_t s = 0; s < estimates.species.size() && s < species.size(); ++s) {
    const AbundanceIndex& a = estimates.species[s].index;
    w.text(species[s]).integer(a.events).integer(a.trapDays).integer(a.groups);
    number(w, a.rai);
    number(w, a.ratioSe);
    number(w, a.ratioLcl);
    number(w, a.ratioUcl);
    number(w, a.poissonLcl);
    number(w, a.poissonUcl);
    w.text(a.reason).endRow();
  }
}

void richnessRows(CsvWriter& w, const StudyEstimates& estimates) {
  const Richness& r = estimates.richness;
  const auto row = [&](const char* name, const char* data, const Estimate& value, const Estimate& se,
                       std::string_view reason) {
    w.text(name).text(data).integer(r.groups);
    number(w, value);
    number(w, se);
    w.text(reason).endRow();
  };
  const bool none = r.groups == 0;
  const std::string_view noGroups = none ? "no group with camera trap days or events" : "";
  row("observed", "incidence", static_cast<double>(r.observed), std::nullopt, "");
  row("chao2", "incidence", r.chao2, r.chao2Se, noGroups);
  row("jackknife1", "incidence", r.jack1, r.jack1Se, noGroups);
  row("jackknife2", "incidence", r.jack2, std::nullopt, none ? noGroups : "no closed-form standard error");
  row("bootstrap", "incidence", r.bootstrap, r.bootstrapSe, noGroups);
  row("chao1", "events", r.chao1, r.chao1Se, noGroups);
  row("ace", "events", r.ace, r.aceSe, none ? noGroups : std::string_view(r.aceReason));
}

}  // namespace mv
