// The outer ring around a group's camera positions, from which the area of
// a group of four or more positions is taken.
#pragma once

#include <vector>

namespace mv {

// One usable position: east (x) and north (y), centred once the ring is
// built; its distance r from the centre and its angle a in degrees
// counterclockwise from east; and its number in the order the positions
// were taken from the group (1, 2, ...).
struct RingPosition {
  float x = 0.0f;
  float y = 0.0f;
  float r = 0.0f;
  float a = 0.0f;
  int number = 0;
};

struct OuterRing {
  // The ring in order: it starts and ends with the farthest position.
  std::vector<RingPosition> rows;
  // Elimination passes run (the last one removed nothing, unless the limit
  // of passes was reached).
  int passes = 0;
  // The mean position the rows are centred on.
  float centreX = 0.0f;
  float centreY = 0.0f;
};

// True when the middle position M of three consecutive ring positions
// (centred) lies inside the chord A-C and leaves the ring.
bool insideChord(const RingPosition& A, const RingPosition& M, const RingPosition& C);

// Builds the ring from four or more positions.
OuterRing outerRing(std::vector<RingPosition> positions);

// Area of the ring in km^2 (shoelace formula on the centred positions).
float ringArea(const OuterRing& ring);

// Area in km^2 of the triangle of three positions (Heron's formula).
float triangleArea(const RingPosition& p1, const RingPosition& p2, const RingPosition& p3);

}  // namespace mv
