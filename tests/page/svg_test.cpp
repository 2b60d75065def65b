// The plot helpers: scales, axis ticks, number and text formatting, colours.
#include <gtest/gtest.h>

#include <vector>

#include "model/labels.hpp"
#include "page/svg.hpp"

using namespace mv::svg;

TEST(Scale, LinearMapsTheDomainOntoTheRangeEitherWay) {
  const LinearScale x{0.0, 10.0, 100.0, 300.0};
  EXPECT_DOUBLE_EQ(x(0.0), 100.0);
  EXPECT_DOUBLE_EQ(x(2.5), 150.0);
  EXPECT_DOUBLE_EQ(x(10.0), 300.0);
  // A y axis runs upwards: the range is reversed.
  const LinearScale y{0.0, 4.0, 200.0, 0.0};
  EXPECT_DOUBLE_EQ(y(1.0), 150.0);
  // One value only: the middle, never a division by zero.
  EXPECT_DOUBLE_EQ((LinearScale{5.0, 5.0, 0.0, 50.0})(5.0), 25.0);
}

TEST(Scale, BandsShareTheRangeWithTheirPadding) {
  const BandScale b{4, 0.0, 200.0, 0.2};
  EXPECT_DOUBLE_EQ(b.step(), 50.0);
  EXPECT_DOUBLE_EQ(b.width(), 40.0);
  EXPECT_DOUBLE_EQ(b.start(0), 5.0);
  EXPECT_DOUBLE_EQ(b.start(3), 155.0);
  EXPECT_DOUBLE_EQ(b.centre(1), 75.0);
}

TEST(Ticks, NiceStepsCoverTheDomain) {
  EXPECT_EQ(niceTicks(0, 97, 6), (std::vector<double>{0, 20, 40, 60, 80, 100}));
  EXPECT_EQ(niceTicks(0, 100, 11), (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(niceTicks(3, 7, 3), (std::vector<double>{0, 5, 10}));
  // Decimal steps come out as the decimals, without rounding leftovers.
  const std::vector<double> t = niceTicks(0.12, 0.97, 10);
  ASSERT_EQ(t.size(), 10u);
  EXPECT_EQ(t[2], 0.3);
  EXPECT_EQ(number(t[2]), "0.3");
  // Never more ticks than asked for, always at least two.
  for (int most : {3, 5, 8}) {
    const std::vector<double> u = niceTicks(-13.0, 4711.0, most);
    EXPECT_LE(static_cast<int>(u.size()), most);
    EXPECT_GE(u.size(), 2u);
    EXPECT_LE(u.front(), -13.0);
    EXPECT_GE(u.back(), 4711.0);
  }
  // A single value still gets an axis.
  EXPECT_EQ(niceTicks(0, 0, 5), (std::vector<double>{0, 0.5, 1}));
  EXPECT_EQ(niceTicks(5012.3, 5012.3, 3), (std::vector<double>{5000, 5500, 6000}));
  EXPECT_EQ(decimalsFor({0, 0.25, 0.5}), 2);
  EXPECT_EQ(decimalsFor({0, 0.5, 1}), 1);
  EXPECT_EQ(decimalsFor({0, 20, 40}), 0);
}

TEST(Text, NumbersAreShortAndNamesSafe) {
  EXPECT_EQ(number(2.5), "2.5");
  EXPECT_EQ(number(3.0), "3");
  EXPECT_EQ(number(1.005, 1), "1");
  EXPECT_EQ(number(-0.001), "0");
  EXPECT_EQ(number(1234567.0), "1234567");
  EXPECT_EQ(escape("Tom & <Jerry> \"x\" 'y'"), "Tom &amp; &lt;Jerry&gt; &quot;x&quot; &#39;y&#39;");
  EXPECT_EQ(mv::trimmedName("Ocelot                   "), "Ocelot");
}

TEST(Colour, ViridisRunsFromDarkBlueToYellow) {
  EXPECT_EQ(viridis(0.0), "#440154");
  EXPECT_EQ(viridis(1.0), "#fde725");
  EXPECT_EQ(viridis(0.5), "#26828e");
  EXPECT_EQ(viridis(-1.0), "#440154");
  EXPECT_EQ(viridis(7.0), "#fde725");
}
