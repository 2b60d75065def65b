// Estimates beside the counts, with groups as the sites or sampling units:
// single-season occupancy and the Royle-Nichols abundance-induced occupancy
// model fitted by exact maximum likelihood, a relative abundance index per
// 100 camera trap days with two intervals, and species richness estimators.
// Every routine takes plain tables and returns plain results; nothing here
// reads or writes a file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mv {

// One site of a detection history: occasions with camera trap days and
// occasions among them with a detection. The likelihoods of both occupancy
// models depend on a site only through these two numbers.
struct SiteHistory {
  int surveyed = 0;
  int detected = 0;
};

// A real with an optional value: empty where the number does not exist
// (no standard error on a boundary, no interval without a standard error).
using Estimate = std::optional<double>;

// Why a fit is not an ordinary interior estimate. The first four leave no
// estimate at all (the likelihood has no interior maximum to report).
enum class FitFlag {
  kNone,
  kNoDetection,  // never detected: nothing to estimate
  kOneSite,      // one site with camera trap days: occupancy not identifiable
  kOneOccasion,  // no site surveyed twice: occupancy and detection not separable
  kAllDetected,  // detected in every surveyed occasion of every site
  kBoundary,     // the maximum lies on the edge of the parameter space
  kSingular,     // the Hessian at the maximum is singular: no standard errors
};

// Short code of a flag for tables ("" for kNone).
const char* flagCode(FitFlag flag);

// A parameter on its natural scale with its standard error and 95% Wald
// interval made on the logit (probabilities) or log (rates) scale.
struct Parameter {
  Estimate value, se, lcl, ucl;
};

struct OccupancyFit {
  int sites = 0;      // sites with at least one surveyed occasion
  int occasions = 0;  // surveyed occasions of all sites
  int sitesDetected = 0;
  int detections = 0;  // occasions with a detection
  double naive = 0.0;  // sitesDetected / sites (0 without sites)
  Parameter psi, p;
  Estimate logLik, aic;
  FitFlag flag = FitFlag::kNone;
  std::string reason;  // empty for kNone
};

struct RoyleNicholsFit {
  Parameter lambda, r;
  Estimate psi;  // implied occupancy 1 - exp(-lambda)
  Estimate logLik, aic;
  FitFlag flag = FitFlag::kNone;
  std::string reason;
};

// Upper bound of the abundance sum of the Royle-Nichols likelihood.
constexpr int kRoyleNicholsK = 25;

// psi = P(site occupied), p = P(detection in an occasion | occupied).
OccupancyFit fitOccupancy(std::span<const SiteHistory> sites);
// Abundance N ~ Poisson(lambda) per site, each animal detected with r in an
// occasion, so p = 1 - (1 - r)^N; the sum over N runs to `k`.
RoyleNicholsFit fitRoyleNichols(std::span<const SiteHistory> sites, int k = kRoyleNicholsK);

// Log-likelihoods at given parameters, for tests and for comparing fits.
double occupancyLogLik(std::span<const SiteHistory> sites, double psi, double p);
double royleNicholsLogLik(std::span<const SiteHistory> sites, double lambda, double r, int k = kRoyleNicholsK);

// Independent events per 100 camera trap days over all groups, with the
// ratio-estimator interval over groups (groups as sampling units; normal,
// truncated at 0) and the exact Poisson interval of the total count.
struct AbundanceIndex {
  long long events = 0;
  long long trapDays = 0;
  int groups = 0;  // groups with camera trap days
  Estimate rai;
  Estimate ratioSe, ratioLcl, ratioUcl;
  Estimate poissonLcl, poissonUcl;
  std::string reason;  // why a value is empty
};

// events[g] and trapDays[g] of the same groups; groups without trap days are
// not sampling units and are left out.
AbundanceIndex abundanceIndex(std::span<const long long> events, std::span<const long long> trapDays);

// Richness of the study: incidence estimators with the groups as sampling
// units (a species counts in a group where it had an event), abundance
// estimators from the species' event totals.
struct Richness {
  int groups = 0;
  int observed = 0;
  Estimate chao2, chao2Se;
  Estimate jack1, jack1Se;
  Estimate jack2;
  Estimate bootstrap, bootstrapSe;
  Estimate chao1, chao1Se;
  Estimate ace, aceSe;
  std::string aceReason;
};

// eventsBySpecies[s][g]: events of species s in group g; every row as long
// as the number of groups.
Richness richness(const std::vector<std::vector<long long>>& eventsBySpecies);

// Quantile of the chi-square distribution with `df` degrees of freedom (the
// normal quantile is the circular statistics' normalQuantile).
double chiSquareQuantile(double probability, double df);

// Everything estimated for one study.
struct SpeciesEstimates {
  OccupancyFit occupancy;
  RoyleNicholsFit royleNichols;
  AbundanceIndex index;
};

struct StudyEstimates {
  std::vector<SpeciesEstimates> species;  // by species number from 0
  Richness richness;
};

// history[s][g] and events[s][g] by species and group, trapDays[g] by group.
StudyEstimates estimateStudy(const std::vector<std::vector<SiteHistory>>& history,
                             const std::vector<std::vector<long long>>& events, std::span<const long long> trapDays);

}  // namespace mv
