// The area spanned by the camera positions of each group.
#include <cmath>
#include <utility>
#include <vector>

#include "effort/area_ring.hpp"
#include "effort/effort.hpp"
#include "report/section.hpp"

namespace mv {

namespace {

constexpr float kDegreesPerRadian = 57.295826f;
constexpr int kMaxPasses = 100;

}  // namespace

float triangleArea(const RingPosition& p1, const RingPosition& p2, const RingPosition& p3) {
  auto side = [](const RingPosition& u, const RingPosition& v) {
    const float dy = (v.y - u.y) * 0.001f;
    const float dx = (v.x - u.x) * 0.001f;
    return std::sqrt(dy * dy + dx * dx);
  };
  const float a = side(p1, p2);
  const float b = side(p2, p3);
  const float c = side(p3, p1);
  const float s = (a + b + c) * 0.5f;
  return std::sqrt((s - c) * (s - b) * (s - a) * s);
}

bool insideChord(const RingPosition& A, const RingPosition& M, const RingPosition& C) {
  // The line from the centre through M meets the chord A-C at (X, Y); M lies
  // outside the chord when it is farther from the centre than that point
  // (d1 < d2).
  //
  // The test is plain IEEE 4-byte arithmetic on the formulas as they stand,
  // infinities and not-a-number included, and M counts as inside exactly
  // when d1 >= d2 holds as an IEEE comparison:
  //  - a chord parallel to the line through M (s == t) divides a nonzero
  //    number by zero: X is infinite, so is d1, and M is inside;
  //  - a vertical chord (C.x == A.x) or M straight north or south of the
  //    centre (M.x == 0) gives an infinite slope, and the formulas then meet
  //    0 * inf or inf / inf, which is not a number; so do M at the centre
  //    itself (0 / 0) and a horizontal chord parallel to the line through M
  //    ((X - A.x) * 0 with an infinite X). A comparison involving a value
  //    that is not a number has no defined result (it is false), and then M
  //    is not inside: it stays in the ring.
  const float s = (C.y - A.y) / (C.x - A.x);  // slope of the chord
  const float t = M.y / M.x;                  // slope of the line through M
  const float X = (A.x * s + (M.y - A.y) - M.x * t) / (s - t);
  const float Y = (X - A.x) * s + A.y;
  const float d1 = std::sqrt(Y * Y + X * X);
  const float d2 = std::sqrt(M.y * M.y + M.x * M.x);
  return d1 >= d2;
}

OuterRing outerRing(std::vector<RingPosition> p) {
  const int n = static_cast<int>(p.size());
  if (n == 0) return {};

  // Centre on the mean position.
  float sumX = 0.0f;
  float sumY = 0.0f;
  for (const RingPosition& q : p) {
    sumX += q.x;
    sumY += q.y;
  }
  const float cx = sumX / static_cast<float>(n);
  const float cy = sumY / static_cast<float>(n);
  for (RingPosition& q : p) {
    q.x -= cx;
    q.y -= cy;
  }

  // Distance and angle from the centre; the arc sine gives 0..90 degrees,
  // turned into 0 up to (not including) 360 by the quadrant. The centre
  // itself keeps angle 0.
  for (RingPosition& q : p) {
    q.a = 0.0f;
    q.r = std::sqrt(q.y * q.y + q.x * q.x);
    if (q.r != 0.0f) {
      q.a = std::asin(std::fabs(q.y) / q.r) * kDegreesPerRadian;
      if (q.x < 0.0f && q.y > 0.0f)
        q.a = 180.0f - q.a;
      else if (q.x < 0.0f && q.y < 0.0f)
        q.a = q.a + 180.0f;
      else if (q.x > 0.0f && q.y < 0.0f)
        q.a = 360.0f - q.a;
      else if (q.x < 0.0f && q.y == 0.0f)
        q.a = 180.0f;
      else if (q.x == 0.0f && q.y < 0.0f)
        q.a = 270.0f;
    }
  }

  // Ascending angle by the plain exchange procedure (it alone decides the
  // order of equal angles).
  for (int i = 0; i < n - 1; ++i)
    for (int j = i + 1; j < n; ++j)
      if (p[j].a < p[i].a) std::swap(p[i], p[j]);

  // The ring starts and ends at the farthest position (the first of equal
  // distances in angle order) and runs around the centre by increasing angle.
  int m = 0;
  for (int i = 1; i < n; ++i)
    if (p[i].r > p[m].r) m = i;
  OuterRing result;
  result.centreX = cx;
  result.centreY = cy;
  std::vector<RingPosition>& ring = result.rows;
  ring.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = m; i < n; ++i) ring.push_back(p[i]);
  for (int i = 0; i < m; ++i) ring.push_back(p[i]);
  ring.push_back(p[m]);

  // Remove the positions that lie inside the ring, pass by pass: each
  // middle row of three consecutive rows is tested against the chord of its
  // neighbours; a removed row is followed by a test of the new triple at the
  // same place. The ends of the ring, the farthest position, are never the
  // middle of a triple. Stop after a pass that removed nothing.
  for (int pass = 1; pass <= kMaxPasses; ++pass) {
    result.passes = pass;
    const std::size_t before = ring.size();
    std::size_t i = 0;
    while (i + 2 < ring.size()) {
      if (insideChord(ring[i], ring[i + 1], ring[i + 2]))
        ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      else
        ++i;
    }
    if (ring.size() == before) break;
  }

  return result;
}

float ringArea(const OuterRing& result) {
  // Shoelace formula over the ring (its last row repeats the first).
  const std::vector<RingPosition>& ring = result.rows;
  float sum = 0.0f;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) sum = (ring[i].x * ring[i + 1].y + sum) - ring[i].y * ring[i + 1].x;
  return sum * 0.5f * 0.000001f;
}

std::vector<GroupArea> groupAreas(const StudyInput& st) {
  std::vector<GroupArea> areas(static_cast<std::size_t>(st.NGROUPS) + 1);
  std::vector<RingPosition> positions;
  for (int g = 1; g <= st.NGROUPS; ++g) {
    // A location is usable when both of its coordinates are given (nonzero).
    positions.clear();
    for (int k = 1; k <= st.GROUPSIZE(g); ++k) {
      const int loc = st.GROUPLOCATIONS(g, k);
      if (st.LOCATIONUTM(loc, 1) != 0 && st.LOCATIONUTM(loc, 2) != 0) {
        RingPosition q;
        q.x = static_cast<float>(st.LOCATIONUTM(loc, 1));
        q.y = static_cast<float>(st.LOCATIONUTM(loc, 2));
        q.number = static_cast<int>(positions.size()) + 1;
        positions.push_back(q);
      }
    }
    GroupArea& a = areas[static_cast<std::size_t>(g)];
    a.positions = static_cast<int>(positions.size());
    if (positions.size() < 3) continue;
    a.spanned = true;
    if (positions.size() == 3) {
      a.km2 = triangleArea(positions[0], positions[1], positions[2]);
      for (const RingPosition& q : positions) a.outline.emplace_back(q.x, q.y);
      a.outline.emplace_back(positions[0].x, positions[0].y);
    } else {
      const OuterRing ring = outerRing(positions);
      a.km2 = ringArea(ring);
      for (const RingPosition& q : ring.rows) a.outline.emplace_back(q.x + ring.centreX, q.y + ring.centreY);
    }
    a.mi2 = a.km2 * 0.38610214f;
    a.positive = a.km2 > 0.0f;
  }
  return areas;
}

void AREAOFEACHGROUP(const StudyInput& st, Writer& report, Writer& console) {
  sectionTitle(report, console, "AREA OF EACH GROUP");
  report.write("(35x,a4)", "Area");
  report.write("(a5,25x,a15)", "Group", "km^2    miles^2");

  float totalKm = 0.0f;
  float totalMi = 0.0f;
  const std::vector<GroupArea> areas = groupAreas(st);
  for (int g = 1; g <= st.NGROUPS; ++g) {
    const GroupArea& a = areas[static_cast<std::size_t>(g)];
    // Fewer than three positions span no area: no line at all.
    if (!a.spanned) continue;
    // Zero, negative, or not a number (three positions on one line): dashes,
    // and nothing added to the totals.
    if (a.positive) {
      report.write("(a25,2x,2(f7.2,4x))", st.GROUPNAME(g), a.km2, a.mi2);
      totalKm += a.km2;
      totalMi += a.mi2;
    } else {
      report.write("(a25,2x,a18)", st.GROUPNAME(g), "-------    -------");
    }
  }
  report.write("(a10,17x,2(f7.2,4x))", "Total area", totalKm, totalMi);
  report.blank();
}

}  // namespace mv
