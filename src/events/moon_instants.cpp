// Instants of full and new moon for the years the built-in calendar does not
// cover: the mean phase with its periodic corrections (Jean Meeus,
// Astronomical Algorithms, 2nd ed., chapter 49), in dynamical time, turned
// into universal time with the Espenak-Meeus polynomials for Delta T.
// Everything here is double precision.
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "events/events.hpp"

namespace mv {

namespace {

double sinDeg(double degrees) {
  // Reduced first so that large lunation numbers keep their precision.
  return std::sin(std::fmod(degrees, 360.0) * std::numbers::pi / 180.0);
}

// Proleptic Gregorian calendar date (and the fraction of its day) of a
// Julian day number.
CalendarDate gregorianDate(double julianDay, double* dayFraction = nullptr) {
  const double shifted = julianDay + 0.5;
  const double z = std::floor(shifted);
  if (dayFraction != nullptr) *dayFraction = shifted - z;
  const double alpha = std::floor((z - 1867216.25) / 36524.25);
  const double a = z + 1.0 + alpha - std::floor(alpha / 4.0);
  const double b = a + 1524.0;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const double e = std::floor((b - d) / 30.6001);
  CalendarDate date;
  date.day = static_cast<int>(b - d - std::floor(30.6001 * e));
  date.month = static_cast<int>(e < 14.0 ? e - 1.0 : e - 13.0);
  date.year = static_cast<int>(date.month > 2 ? c - 4716.0 : c - 4715.0);
  return date;
}

// Terms of the periodic correction: coefficient, power of E, and the
// multiples of M, M', F and Omega in the argument.
struct PhaseTerm {
  double coefficient;
  int powerOfE;
  int m, mPrime, f, omega;
};

constexpr std::array<PhaseTerm, 25> kNewMoonTerms = {{
    {-0.40720, 0, 0, 1, 0, 0}, {0.17241, 1, 1, 0, 0, 0},   {0.01608, 0, 0, 2, 0, 0},    {0.01039, 0, 0, 0, 2, 0},
    {0.00739, 1, -1, 1, 0, 0}, {-0.00514, 1, 1, 1, 0, 0},  {0.00208, 2, 2, 0, 0, 0},    {-0.00111, 0, 0, 1, -2, 0},
    {-0.00057, 0, 0, 1, 2, 0}, {0.00056, 1, 1, 2, 0, 0},   {-0.00042, 0, 0, 3, 0, 0},   {0.00042, 1, 1, 0, 2, 0},
    {0.00038, 1, 1, 0, -2, 0}, {-0.00024, 1, -1, 2, 0, 0}, {-0.00017, 0, 0, 0, 0, 1},   {-0.00007, 0, 2, 1, 0, 0},
    {0.00004, 0, 0, 2, -2, 0}, {0.00004, 0, 3, 0, 0, 0},   {0.00003, 0, 1, 1, -2, 0},   {0.00003, 0, 0, 2, 2, 0},
    {-0.00003, 0, 1, 1, 2, 0}, {0.00003, 0, -1, 1, 2, 0},  {-0.00002, 0, -1, 1, -2, 0}, {-0.00002, 0, 1, 3, 0, 0},
    {0.00002, 0, 0, 4, 0, 0},
}};

constexpr std::array<PhaseTerm, 25> kFullMoonTerms = {{
    {-0.40614, 0, 0, 1, 0, 0}, {0.17302, 1, 1, 0, 0, 0},   {0.01614, 0, 0, 2, 0, 0},    {0.01043, 0, 0, 0, 2, 0},
    {0.00734, 1, -1, 1, 0, 0}, {-0.00515, 1, 1, 1, 0, 0},  {0.00209, 2, 2, 0, 0, 0},    {-0.00111, 0, 0, 1, -2, 0},
    {-0.00057, 0, 0, 1, 2, 0}, {0.00056, 1, 1, 2, 0, 0},   {-0.00042, 0, 0, 3, 0, 0},   {0.00042, 1, 1, 0, 2, 0},
    {0.00038, 1, 1, 0, -2, 0}, {-0.00024, 1, -1, 2, 0, 0}, {-0.00017, 0, 0, 0, 0, 1},   {-0.00007, 0, 2, 1, 0, 0},
    {0.00004, 0, 0, 2, -2, 0}, {0.00004, 0, 3, 0, 0, 0},   {0.00003, 0, 1, 1, -2, 0},   {0.00003, 0, 0, 2, 2, 0},
    {-0.00003, 0, 1, 1, 2, 0}, {0.00003, 0, -1, 1, 2, 0},  {-0.00002, 0, -1, 1, -2, 0}, {-0.00002, 0, 1, 3, 0, 0},
    {0.00002, 0, 0, 4, 0, 0},
}};

// The 14 additional corrections (planetary arguments A1..A14): constant and
// rate per lunation of the argument, and the coefficient. A1 has a T^2 term
// of its own.
struct PlanetaryTerm {
  double constant;
  double perLunation;
  double coefficient;
};

constexpr std::array<PlanetaryTerm, 14> kPlanetaryTerms = {{
    {299.77, 0.107408, 0.000325},
    {251.88, 0.016321, 0.000165},
    {251.83, 26.651886, 0.000164},
    {349.42, 36.412478, 0.000126},
    {84.66, 18.206239, 0.000110},
    {141.74, 53.303771, 0.000062},
    {207.14, 2.453732, 0.000060},
    {154.84, 7.306860, 0.000056},
    {34.52, 27.261239, 0.000047},
    {207.19, 0.121824, 0.000042},
    {291.34, 1.844379, 0.000040},
    {161.72, 24.198154, 0.000037},
    {239.56, 25.513099, 0.000035},
    {331.55, 3.592518, 0.000023},
}};

// Julian ephemeris day (dynamical time) of the phase with lunation number k:
// k whole for a new moon, k + 0.5 for a full moon.
double phaseJDE(double k, MoonPhase phase) {
  const double T = k / 1236.85;
  const double T2 = T * T;
  const double T3 = T2 * T;
  const double T4 = T3 * T;
  double jde = 2451550.09766 + 29.530588861 * k + 0.00015437 * T2 - 0.000000150 * T3 + 0.00000000073 * T4;

  const double E = 1.0 - 0.002516 * T - 0.0000074 * T2;
  const double M = 2.5534 + 29.10535670 * k - 0.0000014 * T2 - 0.00000011 * T3;
  const double Mp = 201.5643 + 385.81693528 * k + 0.0107582 * T2 + 0.00001238 * T3 - 0.000000058 * T4;
  const double F = 160.7108 + 390.67050284 * k - 0.0016118 * T2 - 0.00000227 * T3 + 0.000000011 * T4;
  const double Omega = 124.7746 - 1.56375588 * k + 0.0020672 * T2 + 0.00000215 * T3;

  const auto& terms = phase == MoonPhase::Full ? kFullMoonTerms : kNewMoonTerms;
  for (const PhaseTerm& t : terms) {
    const double factor = t.powerOfE == 0 ? 1.0 : t.powerOfE == 1 ? E : E * E;
    jde += t.coefficient * factor * sinDeg(t.m * M + t.mPrime * Mp + t.f * F + t.omega * Omega);
  }
  for (std::size_t i = 0; i < kPlanetaryTerms.size(); ++i) {
    const PlanetaryTerm& t = kPlanetaryTerms[i];
    double argument = t.constant + t.perLunation * k;
    if (i == 0) argument -= 0.009173 * T2;
    jde += t.coefficient * sinDeg(argument);
  }
  return jde;
}

}  // namespace

namespace {

// c[0] + c[1] x + c[2] x^2 + ..., by Horner's rule.
double polynomial(double x, std::initializer_list<double> c) {
  double sum = 0.0;
  for (auto it = c.end(); it != c.begin();) sum = sum * x + *--it;
  return sum;
}

}  // namespace

double deltaT(double y) {
  // One polynomial per range of years, each range including its first year.
  if (y < -500.0) return polynomial((y - 1820.0) / 100.0, {-20.0, 0.0, 32.0});
  if (y < 500.0)
    return polynomial(y / 100.0, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192, 0.0090316521});
  if (y < 1600.0)
    return polynomial((y - 1000.0) / 100.0,
                      {1574.2, -556.01, 71.23472, 0.319781, -0.8503463, -0.005050998, 0.0083572073});
  if (y < 1700.0) return polynomial(y - 1600.0, {120.0, -0.9808, -0.01532, 1.0 / 7129.0});
  if (y < 1800.0) return polynomial(y - 1700.0, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0});
  if (y < 1860.0)
    return polynomial(
        y - 1800.0, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272, -0.0000001699, 0.000000000875});
  if (y < 1900.0) return polynomial(y - 1860.0, {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174.0});
  if (y < 1920.0) return polynomial(y - 1900.0, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
  if (y < 1941.0) return polynomial(y - 1920.0, {21.20, 0.84493, -0.076100, 0.0020936});
  if (y < 1961.0) return polynomial(y - 1950.0, {29.07, 0.407, -1.0 / 233.0, 1.0 / 2547.0});
  if (y < 1986.0) return polynomial(y - 1975.0, {45.45, 1.067, -1.0 / 260.0, -1.0 / 718.0});
  if (y < 2005.0) return polynomial(y - 2000.0, {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
  if (y < 2050.0) return polynomial(y - 2000.0, {62.92, 0.32217, 0.005589});
  const double u = (y - 1820.0) / 100.0;
  if (y < 2150.0) return -20.0 + 32.0 * u * u - 0.5628 * (2150.0 - y);
  return -20.0 + 32.0 * u * u;
}

double moonPhaseInstant(int lunation, MoonPhase phase) {
  const double k = static_cast<double>(lunation) + (phase == MoonPhase::Full ? 0.5 : 0.0);
  const double jde = phaseJDE(k, phase);
  // Delta T for the middle of the phase's month.
  const CalendarDate date = gregorianDate(jde);
  const double y = static_cast<double>(date.year) + (static_cast<double>(date.month) - 0.5) / 12.0;
  return jde - deltaT(y) / 86400.0;
}

CalendarDate utcDate(double julianDay) { return gregorianDate(julianDay); }

std::vector<ComputedMoon> computedMoonPhases(int year) {
  // Lunation 0 is the new moon of 6 January 2000; a year holds about 12.37.
  // The margin of a few lunations either side covers the drift of the mean
  // rate and of Delta T over the centuries; only the phases whose UTC date
  // lies in the year are kept.
  const double perYear = 12.3685;
  const int first = static_cast<int>(std::floor((year - 2000) * perYear)) - 4;
  const int last = static_cast<int>(std::floor((year + 1 - 2000) * perYear)) + 4;
  std::vector<ComputedMoon> phases;
  for (int k = first; k <= last; ++k)
    for (MoonPhase phase : {MoonPhase::New, MoonPhase::Full}) {
      const double instant = moonPhaseInstant(k, phase);
      const CalendarDate date = utcDate(instant);
      if (date.year == year) phases.push_back({phase, instant, date});
    }
  return phases;
}

}  // namespace mv
