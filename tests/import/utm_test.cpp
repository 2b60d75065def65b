#include <gtest/gtest.h>

#include <cmath>

#include "import/utm.hpp"

namespace mc = mv::camtrap;

TEST(Utm, ZoneOfAPoint) {
  EXPECT_EQ(mc::zoneOf({50.8, 4.2}).label(), "31N");
  EXPECT_EQ(mc::zoneOf({50.8, 4.2}).epsg(), 32631);
  EXPECT_EQ(mc::zoneOf({-25.12, 24.06}).label(), "35S");
  EXPECT_EQ(mc::zoneOf({-25.12, 24.06}).epsg(), 32735);
  EXPECT_EQ(mc::zoneOf({-25.12, 23.99}).label(), "34S");
  EXPECT_EQ(mc::zoneOf({0.0, -180.0}).zone, 1);
  EXPECT_EQ(mc::zoneOf({0.0, 180.0}).zone, 1);  // 180 east is 180 west
  EXPECT_EQ(mc::zoneOf({0.0, 179.9}).zone, 60);
  EXPECT_FALSE(mc::zoneOf({0.0, 3.0}).south);
  // Southwest Norway and Svalbard.
  EXPECT_EQ(mc::zoneOf({60.0, 5.0}).zone, 32);
  EXPECT_EQ(mc::zoneOf({55.0, 5.0}).zone, 31);
  EXPECT_EQ(mc::zoneOf({78.0, 8.0}).zone, 31);
  EXPECT_EQ(mc::zoneOf({78.0, 15.0}).zone, 33);
  EXPECT_EQ(mc::zoneOf({78.0, 25.0}).zone, 35);
  EXPECT_EQ(mc::zoneOf({78.0, 40.0}).zone, 37);
}

TEST(Utm, CentroidAveragesLongitudesAcross180) {
  const mc::LatLon c = mc::centroidOf({{10.0, 179.0}, {20.0, -179.0}});
  EXPECT_DOUBLE_EQ(c.lat, 15.0);
  EXPECT_NEAR(std::fabs(c.lon), 180.0, 1e-9);
  const mc::LatLon d = mc::centroidOf({{-25.10, 23.90}, {-25.06, 24.07}, {-25.20, 24.20}});
  EXPECT_NEAR(d.lat, -25.12, 1e-12);
  EXPECT_NEAR(d.lon, 24.0566667, 1e-6);
}

// Values checked against an independent evaluation of the Krueger series for
// the transverse Mercator projection on WGS84.
TEST(Utm, ProjectsWithPROJ) {
  const mc::UtmProjector north(mc::UtmZone{31, false});
  auto [x, y] = north.forward({0.0, 3.0});
  EXPECT_NEAR(x, 500000.0, 1e-6);
  EXPECT_NEAR(y, 0.0, 1e-6);
  std::tie(x, y) = north.forward({50.81, 4.21});
  EXPECT_NEAR(x, 585250.2400, 1e-3);
  EXPECT_NEAR(y, 5629394.2502, 1e-3);
  // South of the equator the false northing is 10,000,000 m; a point of
  // zone 34 is measured in zone 35 all the same.
  const mc::UtmProjector south(mc::UtmZone{35, true});
  std::tie(x, y) = south.forward({-25.10, 23.90});
  EXPECT_NEAR(x, 187335.2396, 1e-3);
  EXPECT_NEAR(y, 7220388.9331, 1e-3);
  std::tie(x, y) = south.forward({-25.20, 24.20});
  EXPECT_NEAR(x, 217839.8174, 1e-3);
  EXPECT_NEAR(y, 7209969.1543, 1e-3);
}
