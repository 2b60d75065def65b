// WGS84 latitude/longitude to UTM with PROJ, in one zone for the whole study.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct pj_ctx;
struct PJconsts;

namespace mv::camtrap {

struct UtmZone {
  int zone = 31;
  bool south = false;
  // EPSG code of "WGS 84 / UTM zone ..": 326zz north, 327zz south.
  int epsg() const { return (south ? 32700 : 32600) + zone; }
  std::string label() const { return std::to_string(zone) + (south ? "S" : "N"); }
};

struct LatLon {
  double lat = 0.0;
  double lon = 0.0;
};

// The zone of a point, with the usual exceptions of southwest Norway (32V)
// and Svalbard (31X, 33X, 35X, 37X); south of the equator the zone's grid
// uses the false northing of 10,000,000 m.
UtmZone zoneOf(const LatLon& point);

// The centroid of points: mean latitude, and the direction of the mean of
// the longitudes as unit vectors, so points on both sides of 180 degrees
// average to a longitude near 180 rather than near 0.
LatLon centroidOf(const std::vector<LatLon>& points);

// A transformation from WGS84 to one UTM zone.
class UtmProjector {
 public:
  // Throws ImportError when PROJ cannot build the transformation.
  explicit UtmProjector(const UtmZone& zone);
  ~UtmProjector();
  UtmProjector(const UtmProjector&) = delete;
  UtmProjector& operator=(const UtmProjector&) = delete;

  // Easting and northing in metres; throws ImportError when PROJ fails.
  std::pair<double, double> forward(const LatLon& point) const;

 private:
  pj_ctx* ctx_ = nullptr;
  PJconsts* pj_ = nullptr;
};

}  // namespace mv::camtrap
