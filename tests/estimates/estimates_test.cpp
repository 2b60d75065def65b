// Occupancy, Royle-Nichols, abundance index and richness on a hand-made
// tables folder (tests/estimates/tiny: 5 groups, 4 weekly occasions, 6
// species) against exact fits and the reference packages' numbers, the
// flagged cases, and a long simulated history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "circular/numerics.hpp"
#include "estimates/estimates.hpp"
#include "support/random.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kTiny = fs::path(MORVELSTRAND_SOURCE_DIR) / "tests" / "estimates" / "tiny";

// The fields of a CSV line (quotes removed; no field here holds a comma).
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ',')
      out.emplace_back();
    else if (c != '"' && c != '\r')
      out.back().push_back(c);
  }
  return out;
}

// Rows as name -> value maps.
std::vector<std::map<std::string, std::string>> readCsv(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = fields(line);
  std::vector<std::map<std::string, std::string>> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> f = fields(line);
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < header.size() && i < f.size(); ++i) row[header[i]] = f[i];
    rows.push_back(row);
  }
  return rows;
}

const std::vector<std::string> kSpecies = {"Alpha", "Beta", "Delta", "Epsilon", "Gamma", "Zeta"};
const std::vector<std::string> kGroups = {"A", "B", "C", "D", "E"};

std::size_t indexOf(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  ADD_FAILURE() << "unknown name " << name;
  return 0;
}

struct Tiny {
  std::vector<std::vector<mv::SiteHistory>> history;  // [species][group]
  std::vector<std::vector<long long>> events;         // [species][group]
  std::vector<long long> trapDays;
};

Tiny readTiny() {
  Tiny t;
  t.history.assign(kSpecies.size(), std::vector<mv::SiteHistory>(kGroups.size()));
  t.events.assign(kSpecies.size(), std::vector<long long>(kGroups.size(), 0));
  for (const auto& row : readCsv(kTiny / "detection_history.csv")) {
    if (row.at("detected").empty()) continue;
    mv::SiteHistory& site = t.history[indexOf(kSpecies, row.at("species"))][indexOf(kGroups, row.at("group"))];
    ++site.surveyed;
    site.detected += std::stoi(row.at("detected"));
  }
  for (const auto& row : readCsv(kTiny / "events.csv"))
    ++t.events[indexOf(kSpecies, row.at("species"))][indexOf(kGroups, row.at("group"))];
  for (const auto& row : readCsv(kTiny / "groups.csv")) t.trapDays.push_back(std::stoll(row.at("trap_days")));
  return t;
}

// expected.csv: (analysis, key, statistic) -> value.
std::map<std::string, double> expectedValues() {
  std::map<std::string, double> out;
  for (const auto& row : readCsv(kTiny / "expected.csv"))
    out[row.at("analysis") + "|" + row.at("key") + "|" + row.at("statistic")] = std::stod(row.at("value"));
  return out;
}

void expectRelative(const mv::Estimate& actual, double expected, double tolerance, const std::string& what) {
  ASSERT_TRUE(actual.has_value()) << what;
  EXPECT_LE(std::abs(*actual - expected), tolerance * std::abs(expected))
      << what << ": " << *actual << " vs " << expected;
}

void expectNear(const mv::Estimate& actual, double expected, double tolerance, const std::string& what) {
  ASSERT_TRUE(actual.has_value()) << what;
  EXPECT_NEAR(*actual, expected, tolerance) << what;
}

TEST(Occupancy, ExactFitsOfTheHandMadeFolder) {
  const Tiny t = readTiny();
  const auto expected = expectedValues();
  for (const std::string name : {"Alpha", "Beta"}) {
    const auto& sites = t.history[indexOf(kSpecies, name)];
    const mv::OccupancyFit fit = mv::fitOccupancy(sites);
    const std::string key = "occupancy|" + name + "|";
    EXPECT_EQ(fit.flag, mv::FitFlag::kNone) << name << " " << fit.reason;
    expectRelative(fit.psi.value, expected.at(key + "psi"), 1e-6, name + " psi");
    expectRelative(fit.psi.se, expected.at(key + "psi_se"), 1e-6, name + " psi_se");
    expectRelative(fit.psi.lcl, expected.at(key + "psi_lcl"), 1e-6, name + " psi_lcl");
    expectRelative(fit.psi.ucl, expected.at(key + "psi_ucl"), 1e-6, name + " psi_ucl");
    expectRelative(fit.p.value, expected.at(key + "p"), 1e-6, name + " p");
    expectRelative(fit.p.se, expected.at(key + "p_se"), 1e-6, name + " p_se");
    expectRelative(fit.p.lcl, expected.at(key + "p_lcl"), 1e-6, name + " p_lcl");
    expectRelative(fit.p.ucl, expected.at(key + "p_ucl"), 1e-6, name + " p_ucl");
    expectRelative(fit.logLik, -expected.at(key + "nll"), 1e-9, name + " logLik");
    expectRelative(fit.aic, 2.0 * expected.at(key + "nll") + 4.0, 1e-9, name + " AIC");

    const mv::RoyleNicholsFit rn = mv::fitRoyleNichols(sites);
    EXPECT_EQ(rn.flag, mv::FitFlag::kNone) << name << " " << rn.reason;
    expectRelative(rn.lambda.value, expected.at(key + "rn_lambda"), 1e-6, name + " lambda");
    expectRelative(rn.lambda.se, expected.at(key + "rn_lambda_se"), 1e-6, name + " lambda_se");
    expectRelative(rn.r.value, expected.at(key + "rn_r"), 1e-6, name + " r");
    expectRelative(rn.logLik, -expected.at(key + "rn_nll"), 1e-9, name + " RN logLik");
    expectRelative(rn.psi, 1.0 - std::exp(-expected.at(key + "rn_lambda")), 1e-6, name + " implied psi");
  }
}

TEST(Occupancy, AgreesWithTheReferencePackageWhereItReachesTheMaximum) {
  const Tiny t = readTiny();
  for (const auto& row : readCsv(kTiny / "r_occupancy.csv")) {
    const std::string name = row.at("species");
    const auto& sites = t.history[indexOf(kSpecies, name)];
    const mv::OccupancyFit fit = mv::fitOccupancy(sites);
    const mv::RoyleNicholsFit rn = mv::fitRoyleNichols(sites);
    EXPECT_EQ(fit.sites, std::stoi(row.at("sites"))) << name;
    EXPECT_EQ(fit.occasions, std::stoi(row.at("occasions_surveyed"))) << name;
    EXPECT_EQ(fit.sitesDetected, std::stoi(row.at("sites_detected"))) << name;
    EXPECT_EQ(fit.detections, std::stoi(row.at("detections"))) << name;
    EXPECT_NEAR(fit.naive, std::stod(row.at("naive_occupancy")), 1e-12) << name;
    // Never a lower likelihood than the reference's fits, where it has one.
    if (fit.logLik) {
      EXPECT_GE(*fit.logLik, -std::stod(row.at("nll")) - 1e-12) << name;
      if (!row.at("mle_nll").empty()) {
        EXPECT_GE(*fit.logLik, -std::stod(row.at("mle_nll")) - 1e-12) << name;
      }
    }
    if (rn.logLik) {
      EXPECT_GE(*rn.logLik, -std::stod(row.at("rn_nll")) - 1e-12) << name;
    }
    if (fit.flag != mv::FitFlag::kNone) continue;
    // Interior maxima: within 1e-3 of the reference's exact refit and of its
    // Royle-Nichols fit.
    for (const auto& [actual, column] : {std::pair{fit.psi.value, "mle_psi"},
                                         {fit.psi.se, "mle_psi_se"},
                                         {fit.psi.lcl, "mle_psi_lcl"},
                                         {fit.psi.ucl, "mle_psi_ucl"},
                                         {fit.p.value, "mle_p"},
                                         {fit.p.se, "mle_p_se"},
                                         {fit.p.lcl, "mle_p_lcl"},
                                         {fit.p.ucl, "mle_p_ucl"},
                                         {rn.lambda.value, "rn_lambda"},
                                         {rn.lambda.se, "rn_lambda_se"},
                                         {rn.lambda.lcl, "rn_lambda_lcl"},
                                         {rn.lambda.ucl, "rn_lambda_ucl"},
                                         {rn.r.value, "rn_r"},
                                         {rn.r.se, "rn_r_se"},
                                         {rn.r.lcl, "rn_r_lcl"},
                                         {rn.r.ucl, "rn_r_ucl"},
                                         {rn.psi, "rn_psi"}})
      expectRelative(actual, std::stod(row.at(column)), 1e-3, name + " " + column);
  }
}

TEST(Occupancy, FlagsWhatIsNotAnEstimate) {
  const Tiny t = readTiny();
  // Never detected, and detected in every occasion: no numbers at all.
  for (const auto& [name, flag] :
       {std::pair{"Epsilon", mv::FitFlag::kNoDetection}, std::pair{"Gamma", mv::FitFlag::kAllDetected}}) {
    const auto& sites = t.history[indexOf(kSpecies, name)];
    const mv::OccupancyFit fit = mv::fitOccupancy(sites);
    EXPECT_EQ(fit.flag, flag) << name;
    EXPECT_FALSE(fit.reason.empty());
    EXPECT_FALSE(fit.psi.value || fit.p.value || fit.psi.se || fit.logLik) << name;
    const mv::RoyleNicholsFit rn = mv::fitRoyleNichols(sites);
    EXPECT_EQ(rn.flag, flag) << name;
    EXPECT_FALSE(rn.lambda.value || rn.r.value || rn.psi) << name;
  }
  // One detection (Delta) and two (Zeta): the likelihood is highest with
  // every site occupied; psi = 1 is flagged, has no standard error, and p is
  // the detections over all surveyed occasions.
  for (const auto& [name, detections] : {std::pair{std::string("Delta"), 1}, std::pair{std::string("Zeta"), 2}}) {
    const auto& sites = t.history[indexOf(kSpecies, name)];
    const mv::OccupancyFit fit = mv::fitOccupancy(sites);
    EXPECT_EQ(fit.flag, mv::FitFlag::kBoundary) << name;
    EXPECT_EQ(fit.psi.value, 1.0) << name;
    EXPECT_FALSE(fit.psi.se) << name;
    expectRelative(fit.p.value, detections / 18.0, 1e-12, name + " p");
    expectRelative(fit.p.se, std::sqrt(detections / 18.0 * (1.0 - detections / 18.0) / 18.0), 1e-9, name + " p se");
    // No psi below 1 does better.
    for (double psi : {0.9, 0.99, 0.999, 0.9999})
      for (double p : {0.03, 0.05, 0.06, 0.08, 0.11, 0.13})
        EXPECT_LT(mv::occupancyLogLik(sites, psi, p), *fit.logLik) << name << " " << psi << " " << p;
  }
  // One site, and no site surveyed twice.
  const std::vector<mv::SiteHistory> oneSite = {{4, 2}};
  EXPECT_EQ(mv::fitOccupancy(oneSite).flag, mv::FitFlag::kOneSite);
  EXPECT_EQ(mv::fitRoyleNichols(oneSite).flag, mv::FitFlag::kOneSite);
  const std::vector<mv::SiteHistory> oneOccasion = {{1, 1}, {1, 0}, {1, 1}, {1, 0}, {0, 0}};
  const mv::OccupancyFit once = mv::fitOccupancy(oneOccasion);
  EXPECT_EQ(once.flag, mv::FitFlag::kOneOccasion);
  EXPECT_FALSE(once.psi.value);
  EXPECT_EQ(once.sites, 4);
  // Sites without any surveyed occasion count nowhere.
  const std::vector<mv::SiteHistory> none = {{0, 0}, {0, 0}};
  EXPECT_EQ(mv::fitOccupancy(none).flag, mv::FitFlag::kNoDetection);
  EXPECT_EQ(mv::fitOccupancy(none).sites, 0);
  // Every site detected, not every occasion: psi at 1, p binomial.
  const std::vector<mv::SiteHistory> everywhere = {{4, 1}, {4, 2}, {3, 1}};
  const mv::OccupancyFit all = mv::fitOccupancy(everywhere);
  EXPECT_EQ(all.flag, mv::FitFlag::kBoundary);
  EXPECT_EQ(all.psi.value, 1.0);
  expectRelative(all.p.value, 4.0 / 11.0, 1e-12, "p of sites all detected");
  // Detected sites seen in every occasion, others never: p at 1, psi naive.
  const std::vector<mv::SiteHistory> always = {{4, 4}, {3, 3}, {4, 0}, {4, 0}};
  const mv::OccupancyFit edge = mv::fitOccupancy(always);
  EXPECT_EQ(edge.flag, mv::FitFlag::kBoundary);
  EXPECT_EQ(edge.p.value, 1.0);
  expectRelative(edge.psi.value, 0.5, 1e-12, "psi with p at 1");
  EXPECT_FALSE(edge.psi.se);
}

TEST(Occupancy, RecoversASimulatedLongHistory) {
  // 60 sites x 260 weekly occasions, some weeks without effort; a start at
  // psi = p = 0.5 runs to psi = 1 on such histories. Several seeds, each
  // estimate inside its interval around the true value.
  for (const auto& [psi, p, seed] :
       {std::tuple{0.55, 0.011, 1ull}, std::tuple{0.8, 0.004, 2ull}, std::tuple{0.35, 0.02, 3ull}}) {
    mvtest::Random random{seed};
    std::vector<mv::SiteHistory> sites(60);
    for (mv::SiteHistory& site : sites) {
      const bool occupied = random.next() < psi;
      for (int j = 0; j < 260; ++j) {
        if (random.next() < 0.15) continue;  // a week without camera trap days
        ++site.surveyed;
        if (occupied && random.next() < p) ++site.detected;
      }
    }
    const mv::OccupancyFit fit = mv::fitOccupancy(sites);
    ASSERT_EQ(fit.flag, mv::FitFlag::kNone) << fit.reason;
    EXPECT_LT(*fit.psi.lcl, psi);
    EXPECT_GT(*fit.psi.ucl, psi);
    EXPECT_LT(*fit.p.lcl, p);
    EXPECT_GT(*fit.p.ucl, p);
    EXPECT_LT(*fit.psi.value, 0.999);
    // The maximum: every nearby point is lower.
    for (double dx : {-1e-4, 1e-4})
      EXPECT_LT(mv::occupancyLogLik(sites, *fit.psi.value + dx, *fit.p.value), *fit.logLik);
    EXPECT_LT(mv::occupancyLogLik(sites, 0.99999, *fit.p.value), *fit.logLik);
    const mv::RoyleNicholsFit rn = mv::fitRoyleNichols(sites);
    EXPECT_EQ(rn.flag, mv::FitFlag::kNone) << rn.reason;
    for (double f : {0.999, 1.001}) {
      EXPECT_LT(mv::royleNicholsLogLik(sites, *rn.lambda.value * f, *rn.r.value), *rn.logLik);
      EXPECT_LT(mv::royleNicholsLogLik(sites, *rn.lambda.value, *rn.r.value * f), *rn.logLik);
    }
  }
}

TEST(AbundanceIndex, MatchesTheReferenceValues) {
  const Tiny t = readTiny();
  for (const auto& row : readCsv(kTiny / "r_rai.csv")) {
    const std::string name = row.at("species");
    const mv::AbundanceIndex a = mv::abundanceIndex(t.events[indexOf(kSpecies, name)], t.trapDays);
    EXPECT_EQ(a.events, std::stoll(row.at("events"))) << name;
    EXPECT_EQ(a.trapDays, std::stoll(row.at("trap_days"))) << name;
    EXPECT_EQ(a.groups, std::stoi(row.at("groups"))) << name;
    for (const auto& [actual, column] : {std::pair{a.rai, "rai"},
                                         {a.poissonLcl, "pois_lcl"},
                                         {a.poissonUcl, "pois_ucl"},
                                         {a.ratioSe, "ratio_se"},
                                         {a.ratioLcl, "ratio_lcl"},
                                         {a.ratioUcl, "ratio_ucl"}})
      expectNear(actual, std::stod(row.at(column)), 1e-9, name + " " + column);
  }
  // One group: no ratio interval, the Poisson one stays.
  const std::vector<long long> events = {3, 5}, days = {0, 50};
  const mv::AbundanceIndex one = mv::abundanceIndex(events, days);
  EXPECT_EQ(one.events, 5);
  expectNear(one.rai, 10.0, 1e-12, "one group");
  EXPECT_FALSE(one.ratioSe);
  EXPECT_TRUE(one.poissonUcl);
  EXPECT_FALSE(one.reason.empty());
  // No trap days at all: nothing.
  const std::vector<long long> zero = {0, 0};
  const mv::AbundanceIndex nothing = mv::abundanceIndex(zero, zero);
  EXPECT_FALSE(nothing.rai || nothing.poissonUcl);
}

TEST(Richness, MatchesTheReferenceValues) {
  const Tiny t = readTiny();
  const mv::Richness r = mv::richness(t.events);
  std::map<std::string, double> ref;
  for (const auto& row : readCsv(kTiny / "r_richness.csv"))
    if (row.at("source").rfind("vegan", 0) == 0) ref[row.at("statistic")] = std::stod(row.at("value"));
  EXPECT_EQ(r.observed, 5);
  EXPECT_EQ(r.groups, 5);
  expectNear(r.chao2, ref.at("chao"), 1e-9, "chao2");
  expectNear(r.chao2Se, ref.at("chao.se"), 1e-9, "chao2 se");
  expectNear(r.jack1, ref.at("jack1"), 1e-9, "jack1");
  expectNear(r.jack1Se, ref.at("jack1.se"), 1e-9, "jack1 se");
  expectNear(r.jack2, ref.at("jack2"), 1e-9, "jack2");
  expectNear(r.chao1, ref.at("S.chao1"), 1e-9, "chao1");
  expectNear(r.chao1Se, ref.at("se.chao1"), 1e-9, "chao1 se");
  expectNear(r.ace, ref.at("S.ACE"), 1e-9, "ACE");
  expectNear(r.bootstrap, ref.at("boot"), 1e-9, "bootstrap");
  expectNear(r.bootstrapSe, ref.at("boot.se"), 1e-9, "bootstrap se");
  // ACE's delta-method SE: here the coefficient of variation is cut at 0, the
  // gradient in (f1, f2) is (5/2, 1/2) and the variance
  // (25/4 + 1/4) * 5/6 - 2 * 5/4 / 6 = 5.
  expectNear(r.aceSe, std::sqrt(5.0), 1e-12, "ACE se");
}

// The ACE estimate as a function of the rare frequency counts, written out
// apart from the library's routine, to check its gradient numerically.
double aceOf(const std::vector<double>& f, double abundant) {
  double sr = 0.0, n = 0.0, t = 0.0;
  for (std::size_t i = 1; i < f.size(); ++i) {
    sr += f[i];
    n += static_cast<double>(i) * f[i];
    t += static_cast<double>(i * (i - 1)) * f[i];
  }
  const double c = 1.0 - f[1] / n;
  return abundant + sr / c + f[1] * std::max(sr * t / (c * n * (n - 1.0)) - 1.0, 0.0) / c;
}

TEST(Richness, AceStandardErrorIsTheDeltaMethodOne) {
  // Frequency counts f1..f10 = 3 2 1 0 2 0 0 1 0 0 and two abundant species,
  // as event totals; the coefficient of variation is above 0.
  std::vector<std::vector<long long>> events;
  const std::vector<double> f = {0, 3, 2, 1, 0, 2, 0, 0, 1, 0, 0};
  for (std::size_t i = 1; i < f.size(); ++i)
    for (int k = 0; k < static_cast<int>(f[i]); ++k) events.push_back({static_cast<long long>(i)});
  events.push_back({40});
  events.push_back({12});
  const mv::Richness r = mv::richness(events);
  const double estimate = aceOf(f, 2.0);
  expectNear(r.ace, estimate, 1e-12, "ACE");
  double variance = 0.0;
  std::vector<double> gradient(f.size(), 0.0);
  for (std::size_t i = 1; i < f.size(); ++i) {
    std::vector<double> up = f, down = f;
    up[i] += 1e-5;
    down[i] -= 1e-5;
    gradient[i] = (aceOf(up, 2.0) - aceOf(down, 2.0)) / 2e-5;
  }
  for (std::size_t i = 1; i < f.size(); ++i)
    for (std::size_t j = 1; j < f.size(); ++j)
      variance += gradient[i] * gradient[j] * (i == j ? f[i] * (1.0 - f[i] / estimate) : -f[i] * f[j] / estimate);
  expectNear(r.aceSe, std::sqrt(variance), 1e-6, "ACE se");
}

TEST(Richness, BootstrapAgreesWithItsDefinitionOverManyGroups) {
  // 130 groups (three words of group bits): species k is in every group g
  // with (g * (k + 3)) % 7 < k % 5 + 1, one species in a single group.
  const int n = 130;
  std::vector<std::vector<long long>> events;
  for (int k = 0; k < 12; ++k) {
    std::vector<long long> row(n, 0);
    for (int g = 0; g < n; ++g) row[static_cast<std::size_t>(g)] = (g * (k + 3)) % 7 < k % 5 + 1 ? 1 : 0;
    events.push_back(row);
  }
  events.push_back(std::vector<long long>(n, 0));
  events.back()[129] = 3;
  const mv::Richness r = mv::richness(events);
  double missedSum = 0.0, variance = 0.0;
  std::vector<double> missed;
  for (const auto& row : events) {
    double q = 0.0;
    for (long long e : row) q += e > 0 ? 1.0 : 0.0;
    missed.push_back(std::pow(1.0 - q / n, n));
    missedSum += missed.back();
    variance += missed.back() * (1.0 - missed.back());
  }
  for (std::size_t i = 0; i < events.size(); ++i)
    for (std::size_t j = i + 1; j < events.size(); ++j) {
      double neither = 0.0;
      for (int g = 0; g < n; ++g)
        neither += events[i][static_cast<std::size_t>(g)] == 0 && events[j][static_cast<std::size_t>(g)] == 0;
      variance += 2.0 * (std::pow(neither / n, n) - missed[i] * missed[j]);
    }
  expectNear(r.bootstrap, 13.0 + missedSum, 1e-12, "bootstrap");
  expectNear(r.bootstrapSe, std::sqrt(variance), 1e-12, "bootstrap se");
  // One group: every species is in every resample.
  const mv::Richness one = mv::richness({{3}, {1}, {0}});
  expectNear(one.bootstrap, 2.0, 0.0, "one group");
  expectNear(one.bootstrapSe, 0.0, 0.0, "one group se");
}

TEST(Richness, EdgeCases) {
  // One group: every estimator is the observed number.
  const mv::Richness one = mv::richness({{3}, {1}, {0}});
  EXPECT_EQ(one.observed, 2);
  expectNear(one.chao2, 2.0, 0.0, "chao2");
  expectNear(one.jack1, 2.0, 0.0, "jack1");
  expectNear(one.jack2, 2.0, 0.0, "jack2");
  // No species in two groups: the bias-corrected Chao2.
  const mv::Richness noDoubles = mv::richness({{1, 0, 0}, {0, 2, 0}, {0, 0, 5}, {4, 4, 4}});
  expectNear(noDoubles.chao2, 4.0 + 2.0 / 3.0 * 3.0, 1e-12, "chao2 without doubles");
  // No singleton group: second-order jackknife below the observed.
  const mv::Richness noSingles = mv::richness({{1, 1, 0}, {0, 1, 1}, {2, 0, 1}});
  expectNear(noSingles.jack2, 3.0 - 3.0 / 6.0, 1e-12, "jack2");
  expectNear(noSingles.jack1Se, 0.0, 0.0, "jack1 se");
  // Every rare species a singleton: ACE undefined, with the reason.
  const mv::Richness singles = mv::richness({{1, 0}, {0, 1}, {20, 30}});
  EXPECT_FALSE(singles.ace);
  EXPECT_FALSE(singles.aceReason.empty());
  // Nothing seen.
  const mv::Richness empty = mv::richness({{0, 0}});
  EXPECT_EQ(empty.observed, 0);
}

TEST(Quantiles, AgreeWithTheTabulatedValues) {
  EXPECT_NEAR(mv::normalQuantile(0.975), 1.959963984540054, 1e-15);
  EXPECT_NEAR(mv::chiSquareQuantile(0.025, 24.0) / 2.0, 6.2005751087222158, 1e-12);
}

}  // namespace
