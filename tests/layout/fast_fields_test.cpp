// The hand-tuned field readers and writers give what the general ones give.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "layout/layout.hpp"
#include "support/test_support.hpp"

namespace {

struct Read {
  bool ok;
  std::int32_t value;
  bool operator==(const Read&) const = default;
};

Read general(std::string_view line, std::size_t from, std::size_t width) {
  std::int32_t v = -77;
  const bool ok = mv::parseIntField(from < line.size() ? line.substr(from, width) : std::string_view(), v);
  return {ok, ok ? v : 0};
}

Read quick(std::string_view line, std::size_t from, std::size_t width) {
  std::int32_t v = -77;
  const bool ok = mv::parseIntColumns(line, from, width, v);
  return {ok, ok ? v : 0};
}

}  // namespace

TEST(FastFields, ColumnsReadAsTheGeneralReader) {
  const std::vector<std::string> fields = {"  7", "007", "   ", "-12", " -1", "+ 5", "1 2", "12 ",
                                           "-  ", "1a",  "x  ", "  -", "999", "9-9", "--1", " +0"};
  for (const std::string& f : fields) {
    const std::string line = "ab" + f + "cd";
    EXPECT_EQ(quick(line, 2, 3), general(line, 2, 3)) << '"' << f << '"';
  }
  // Cut at the end of the line, or wholly beyond it.
  EXPECT_EQ(quick("ab12", 2, 3), (Read{true, 12}));
  EXPECT_EQ(quick("ab1", 2, 3), (Read{true, 1}));
  EXPECT_EQ(quick("ab", 2, 3), (Read{true, 0}));
  EXPECT_EQ(quick("", 7, 2), (Read{true, 0}));
  EXPECT_EQ(quick("ab-", 2, 3), (Read{false, 0}));
  // Nine digits on the spot, ten through the general reader.
  EXPECT_EQ(quick("999999999", 0, 9), (Read{true, 999999999}));
  EXPECT_EQ(quick("2147483647", 0, 10), (Read{true, 2147483647}));
  EXPECT_EQ(quick("2147483648", 0, 10), (Read{false, 0}));
}

TEST(FastFields, IntegersIntoFixedColumns) {
  auto put = [](std::int32_t v, int w) {
    std::string s(static_cast<std::size_t>(w), ' ');
    mv::putInt(s.data(), v, w);
    return s;
  };
  EXPECT_EQ(put(7, 3), "  7");
  EXPECT_EQ(put(0, 1), "0");
  EXPECT_EQ(put(-42, 3), "-42");
  EXPECT_EQ(put(-42, 2), "**");
  EXPECT_EQ(put(1000, 3), "***");
  EXPECT_EQ(put(9999999, 7), "9999999");
  EXPECT_EQ(put(-2147483647 - 1, 11), "-2147483648");
  EXPECT_EQ(put(2147483647, 12), "  2147483647");
  std::string s = "x";
  mv::appendInt(s, 1234, 6);
  EXPECT_EQ(s, "x  1234");
  // Every width against the plain digits, around each power of ten.
  for (std::int64_t ten = 1; ten <= 1000000000; ten *= 10)
    for (const std::int64_t base : {ten - 1, ten, ten + 1}) {
      for (const std::int64_t v : {base, -base}) {
        const std::string digits = std::to_string(v);
        for (int w = 1; w <= 12; ++w) {
          const std::string expected = digits.size() > static_cast<std::size_t>(w)
                                           ? std::string(static_cast<std::size_t>(w), '*')
                                           : std::string(static_cast<std::size_t>(w) - digits.size(), ' ') + digits;
          ASSERT_EQ(put(static_cast<std::int32_t>(v), w), expected) << v << " i" << w;
        }
      }
    }
}

namespace {

// The f field written the plain way: printf's 16 significant digits, cut
// after the wanted decimal, rounded up on a first cut digit of 5 or more.
std::string plainFixed(double value, int width, int decimals) {
  char sci[40];
  std::snprintf(sci, sizeof sci, "%.15e", std::fabs(value));
  std::string mant = std::string(1, sci[0]) + std::string(sci + 2, 15);
  const int exponent = std::atoi(sci + 18);
  const long kept = mant[0] == '0' ? 0 : exponent + 1 + decimals;
  std::string digits;
  for (long k = 0; k < kept; ++k) digits.push_back(k < 16 ? mant[static_cast<std::size_t>(k)] : '0');
  bool up = (kept >= 0 && kept < 16) ? mant[static_cast<std::size_t>(kept)] >= '5' : false;
  for (long k = kept - 1; up && k >= 0; --k) {
    if (digits[static_cast<std::size_t>(k)] == '9') {
      digits[static_cast<std::size_t>(k)] = '0';
    } else {
      ++digits[static_cast<std::size_t>(k)];
      up = false;
    }
  }
  if (up) digits.insert(digits.begin(), '1');
  const auto d = static_cast<std::size_t>(decimals);
  if (digits.size() < d) digits.insert(0, d - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - d);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  const std::string frac = digits.substr(digits.size() - d);
  const bool zero = whole.empty() && frac.find_first_not_of('0') == std::string::npos;
  // Appended piece by piece: GCC 12 at -O3 takes `"-" + std::string` for an
  // overlapping copy and warns (-Wrestrict).
  std::string text = std::signbit(value) && !zero ? "-" : "";
  text += whole.empty() ? "0" : whole;
  text += '.';
  text += frac;
  const auto w = static_cast<std::size_t>(width);
  if (whole.empty() && text.size() == w + 1) text.erase(text.size() - d - 2, 1);
  if (text.size() > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + text;
}

}  // namespace

TEST(FastFields, FixedPointAsThePlainConversion) {
  std::uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return state >> 11;
  };
  const double tricky[] = {0.5,
                           2.5,
                           0.05,
                           0.005,
                           99.995,
                           9.5,
                           0.95,
                           1e-7,
                           9.99999e-8,
                           1e22,
                           0.125,
                           0.375,
                           0.0,
                           -0.0,
                           1234567890123456.5,
                           4503599627370495.5,
                           9.9999999999999995,
                           0.9999999999999999};
  for (const double v : tricky)
    for (int d = 0; d <= 8; ++d)
      for (const int w : {2, 4, 8, 12, 30}) {
        std::string s;
        mv::appendFixed(s, v, w, d);
        ASSERT_EQ(s, plainFixed(v, w, d)) << v << " f" << w << "." << d;
        s.clear();
        mv::appendFixed(s, -v, w, d);
        ASSERT_EQ(s, plainFixed(-v, w, d)) << -v << " f" << w << "." << d;
      }
  for (int k = 0; k < 200000; ++k) {
    const std::uint64_t r = next();
    // Reals of every size, 4-byte reals and numbers with a 5 just past the
    // shown decimals.
    double v = static_cast<double>(r % 100000000) * std::pow(10.0, static_cast<int>(r >> 40) % 24 - 12);
    if (k % 3 == 1) v = static_cast<double>(static_cast<float>(v));
    if (k % 3 == 2) v = (static_cast<double>(r % 1000000) + 0.5) / std::pow(10.0, static_cast<int>(r >> 36) % 6);
    if ((r >> 50) & 1) v = -v;
    const int w = 4 + static_cast<int>((r >> 20) % 12);
    const int d = static_cast<int>((r >> 30) % static_cast<std::uint64_t>(w));
    std::string s;
    mv::appendFixed(s, v, w, d);
    ASSERT_EQ(s, plainFixed(v, w, d)) << v << " f" << w << "." << d;
  }
}
