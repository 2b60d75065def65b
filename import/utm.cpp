#include "import/utm.hpp"

#include <proj.h>

#include <cmath>
#include <numbers>

#include "import/errors.hpp"

namespace mv::camtrap {

UtmZone zoneOf(const LatLon& p) {
  UtmZone z;
  z.south = p.lat < 0.0;
  double lon = p.lon;
  while (lon < -180.0) lon += 360.0;
  while (lon >= 180.0) lon -= 360.0;
  z.zone = static_cast<int>(std::floor((lon + 180.0) / 6.0)) + 1;
  if (z.zone > 60) z.zone = 60;
  if (z.zone < 1) z.zone = 1;
  if (p.lat >= 56.0 && p.lat < 64.0 && lon >= 3.0 && lon < 12.0) z.zone = 32;
  if (p.lat >= 72.0 && p.lat < 84.0) {
    if (lon >= 0.0 && lon < 9.0)
      z.zone = 31;
    else if (lon >= 9.0 && lon < 21.0)
      z.zone = 33;
    else if (lon >= 21.0 && lon < 33.0)
      z.zone = 35;
    else if (lon >= 33.0 && lon < 42.0)
      z.zone = 37;
  }
  return z;
}

LatLon centroidOf(const std::vector<LatLon>& points) {
  LatLon c;
  if (points.empty()) return c;
  constexpr double rad = std::numbers::pi / 180.0;
  double lat = 0.0, s = 0.0, co = 0.0;
  for (const LatLon& p : points) {
    lat += p.lat;
    s += std::sin(p.lon * rad);
    co += std::cos(p.lon * rad);
  }
  c.lat = lat / static_cast<double>(points.size());
  c.lon = std::atan2(s, co) / rad;
  return c;
}

UtmProjector::UtmProjector(const UtmZone& zone) {
  ctx_ = proj_context_create();
  if (ctx_ == nullptr) throw ImportError("PROJ: cannot create a context");
  proj_log_level(ctx_, PJ_LOG_NONE);
  const std::string target = "EPSG:" + std::to_string(zone.epsg());
  PJ* raw = proj_create_crs_to_crs(ctx_, "EPSG:4326", target.c_str(), nullptr);
  if (raw == nullptr) {
    const char* text = proj_context_errno_string(ctx_, proj_context_errno(ctx_));
    const std::string why = text != nullptr ? text : "unknown reason";
    proj_context_destroy(ctx_);
    throw ImportError("PROJ: no transformation from EPSG:4326 to " + target + " (" + why + ")");
  }
  // Longitude first, latitude second, whatever the axis order of EPSG:4326.
  pj_ = proj_normalize_for_visualization(ctx_, raw);
  proj_destroy(raw);
  if (pj_ == nullptr) {
    proj_context_destroy(ctx_);
    throw ImportError("PROJ: cannot normalise the axis order of the transformation to " + target);
  }
}

UtmProjector::~UtmProjector() {
  proj_destroy(pj_);
  proj_context_destroy(ctx_);
}

std::pair<double, double> UtmProjector::forward(const LatLon& point) const {
  proj_errno_reset(pj_);
  const PJ_COORD out = proj_trans(pj_, PJ_FWD, proj_coord(point.lon, point.lat, 0.0, 0.0));
  if (proj_errno(pj_) != 0 || !std::isfinite(out.xy.x) || !std::isfinite(out.xy.y))
    throw ImportError("PROJ cannot convert latitude " + std::to_string(point.lat) + ", longitude " +
                      std::to_string(point.lon) + " to UTM");
  return {out.xy.x, out.xy.y};
}

}  // namespace mv::camtrap
