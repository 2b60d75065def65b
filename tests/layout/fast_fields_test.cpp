// The hand-tuned field readers and writers give what the general ones give.
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
  const std::vector<std::string> fields = {"  7", "007", "   ", "-12", " -1", "+ 5", "1 2", "12 ", "-  ", "1a",
                                           "x  ", "  -", "999", "9-9", "--1", " +0"};
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
    std::string s(static_cast<std::size_t>(w), '?');
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
}
