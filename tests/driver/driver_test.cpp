#include <sstream>

#include "driver/driver.hpp"
#include "support/test_support.hpp"

TEST(Driver, BannerAndGreetingComeFirst) {
  mvtest::TempDir dir;
  std::istringstream in("60\n\n");
  std::ostringstream out;
  mv::run(dir.path(), in, out);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("Program Morvelstrand, Version 6.0, October 24, 2017\r\n\r\n"
                       " BEGIN GROUP CAMERA TRAP DATA ANALYSIS\r\n",
                       0),
            0u)
      << text;
}
