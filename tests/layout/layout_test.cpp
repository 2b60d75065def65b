#include <cmath>
#include <limits>

#include "layout/layout.hpp"
#include "support/test_support.hpp"

using mvtest::freeLines;
using mvtest::lines;
using Lines = std::vector<std::string>;

namespace {

std::string name25(const std::string& s) { return mv::padded(s, 25); }

std::vector<std::string> names(int n) {
  std::vector<std::string> v;
  for (int k = 1; k <= n; ++k) v.push_back(name25("Name" + std::to_string(k)));
  return v;
}

Lines renderNames(std::string_view layout, const std::vector<std::string>& ns, std::vector<mv::Value> head = {}) {
  std::vector<mv::Value> values = head;
  for (const auto& n : ns) values.emplace_back(n);
  mvtest::Capture c;
  c.writer.writeValues(layout, values);
  return c.lines();
}

std::string fixed(double v, int w, int d) {
  std::string s;
  mv::appendFixed(s, v, w, d);
  return s;
}

}  // namespace

TEST(LayoutFields, CharacterFieldsCutOrRightJustify) {
  EXPECT_EQ(lines("(a4)", "Deer mouse"), Lines{"Deer"});
  EXPECT_EQ(lines("(a6)", "Fox"), Lines{"   Fox"});
  EXPECT_EQ(lines("(a25)", name25("Ridge A")), Lines{name25("Ridge A")});
}

TEST(LayoutFields, IntegerFieldsAndAsterisks) {
  EXPECT_EQ(lines("(i5)", 42), Lines{"   42"});
  EXPECT_EQ(lines("(i5)", -42), Lines{"  -42"});
  EXPECT_EQ(lines("(i3)", 0), Lines{"  0"});
  EXPECT_EQ(lines("(i3)", 1000), Lines{"***"});
  EXPECT_EQ(lines("(i3)", -100), Lines{"***"});
  EXPECT_EQ(lines("(i3)", -99), Lines{"-99"});
  EXPECT_EQ(lines("(i12)", std::numeric_limits<std::int32_t>::min()), Lines{" -2147483648"});
}

TEST(LayoutFields, LabelFromInteger) {
  const mv::Value v4[] = {mv::Value(2015)};
  EXPECT_EQ(mv::renderToString(mv::Layout::of("(i4)"), v4, 4), "2015");
  const mv::Value v5[] = {mv::Value(20150)};
  EXPECT_EQ(mv::renderToString(mv::Layout::of("(i4)"), v5, 4), "****");
  const mv::Value v2[] = {mv::Value(7)};
  EXPECT_EQ(mv::renderToString(mv::Layout::of("(i2)"), v2, 4), " 7  ");
}

TEST(LayoutFields, FixedPointRoundsThroughSixteenDigits) {
  EXPECT_EQ(lines("(a11,3x,f6.2)", "Pi", 3.14159f), Lines{"         Pi     3.14"});
  EXPECT_EQ(lines("(a11,3x,f6.2)", "Half", 0.5f), Lines{"       Half     0.50"});
  EXPECT_EQ(lines("(a11,3x,f6.2)", "Big", 1000.0f), Lines{"        Big   ******"});
  EXPECT_EQ(fixed(0.125, 5, 2), " 0.13");
  EXPECT_EQ(fixed(2.675, 5, 2), " 2.68");                        // 2.67499999999999982236431605997495353221893310546875
  EXPECT_EQ(fixed(static_cast<double>(2.675f), 5, 2), " 2.67");  // 2.6749999523162841796875
  EXPECT_EQ(fixed(0.0, 7, 3), "  0.000");
  EXPECT_EQ(fixed(9.9996, 6, 3), "10.000");
  EXPECT_EQ(fixed(99.9996, 6, 3), "******");
  EXPECT_EQ(fixed(-1.5, 6, 2), " -1.50");
  EXPECT_EQ(fixed(0.004, 6, 2), "  0.00");
  EXPECT_EQ(fixed(0.005, 6, 2), "  0.01");
  EXPECT_EQ(fixed(123456.0, 9, 1), " 123456.0");
  EXPECT_EQ(fixed(1e30, 9, 3), "*********");
  EXPECT_EQ(fixed(1.0 / 3.0, 8, 4), "  0.3333");
}

TEST(LayoutFields, LeadingZeroDroppedOnlyWhenExactlyOneShort) {
  EXPECT_EQ(fixed(0.5, 4, 2), "0.50");
  EXPECT_EQ(fixed(0.5, 3, 2), ".50");
  EXPECT_EQ(fixed(0.5, 2, 2), "**");
  EXPECT_EQ(fixed(-0.5, 4, 2), "-.50");
  EXPECT_EQ(fixed(-0.5, 5, 2), "-0.50");
  EXPECT_EQ(fixed(-0.5, 3, 2), "***");
}

TEST(LayoutFields, NegativeZeroHasNoSign) {
  EXPECT_EQ(fixed(-0.001, 6, 2), "  0.00");
  EXPECT_EQ(fixed(-0.0, 6, 2), "  0.00");
  EXPECT_EQ(fixed(-0.004, 4, 2), "0.00");
}

TEST(LayoutFields, NotANumber) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(lines("(f7.3)", nan), Lines{"    NaN"});
  EXPECT_EQ(lines("(f3.1)", nan), Lines{"NaN"});
  EXPECT_EQ(lines("(f2.0)", nan), Lines{"**"});
  EXPECT_EQ(fixed(std::numeric_limits<double>::infinity(), 9, 2), " Infinity");
}

TEST(LayoutLines, SpacesAtLineEndAddNothing) {
  EXPECT_EQ(lines("(i2,5x)", 7), Lines{" 7"});
  EXPECT_EQ(lines("(i2,5x,i2)", 7, 8), Lines{" 7      8"});
}

TEST(LayoutLines, NameListStopsAfterSlash) {
  EXPECT_EQ(renderNames("(50(2x,5(a25,1x)/))", names(5)),
            // clang-format off
            (Lines{"  " + name25("Name1") + " " + name25("Name2") + " " + name25("Name3") + " " +
                       name25("Name4") + " " + name25("Name5"),
                   ""}));
  // clang-format on
  EXPECT_EQ(renderNames("(50(2x,5(a25,1x)/))", names(7)),
            // clang-format off
            (Lines{"  " + name25("Name1") + " " + name25("Name2") + " " + name25("Name3") + " " +
                       name25("Name4") + " " + name25("Name5"),
                   "  " + name25("Name6") + " " + name25("Name7")}));
  // clang-format on
  EXPECT_EQ(renderNames("(50(2x,5(a25,1x)/))", {}), Lines{""});
}

TEST(LayoutLines, ReversionToLastTopLevelGroup) {
  const auto ns = names(20);
  const auto out = renderNames("(i5,4x,i4,6x,15(a25,1x))", ns, {mv::Value(12), mv::Value(2010)});
  ASSERT_EQ(out.size(), 2u);
  std::string first = "   12    2010      ";
  for (int k = 0; k < 15; ++k) first += ns[static_cast<std::size_t>(k)] + (k < 14 ? " " : "");
  EXPECT_EQ(out[0], first);
  std::string second;
  for (int k = 15; k < 20; ++k) second += ns[static_cast<std::size_t>(k)] + (k < 19 ? " " : "");
  EXPECT_EQ(out[1], second);
}

TEST(LayoutLines, PairsContinueOnSecondLine) {
  const std::string n = name25("Bobcat");
  EXPECT_EQ(lines("(a25,1x,3(a1,i6))", n, "(", 1, "(", 2, "(", 3), Lines{n + " (     1(     2(     3"});
  EXPECT_EQ(lines("(a25,1x,3(a1,i6))", n, "(", 1, "(", 2, "(", 3, "+", 4),
            (Lines{n + " (     1(     2(     3", "+     4"}));
}

TEST(LayoutLines, SlashesAndEmptyLayouts) {
  EXPECT_EQ(lines("(/)"), (Lines{"", ""}));
  EXPECT_EQ(lines("(a3)", "abc"), Lines{"abc"});
  EXPECT_EQ(lines("(a3,/,a3)", "abc", "def"), (Lines{"abc", "def"}));
  EXPECT_EQ(lines("(a3//a3)", "abc", "def"), (Lines{"abc", "", "def"}));
  EXPECT_EQ(lines("(/a3)", "abc"), (Lines{"", "abc"}));
}

TEST(LayoutLines, LayoutWithoutGroupRevertsToFirstItem) {
  EXPECT_EQ(lines("(i3,i3)", 1, 2, 3, 4, 5), (Lines{"  1  2", "  3  4", "  5"}));
}

TEST(LayoutLines, NestedGroups) {
  EXPECT_EQ(lines("(a25,2x,2(i4,2(1x,i2),2x),3x,i5)", name25("North"), 2010, 3, 15, 2012, 6, 20, 902),
            Lines{name25("North") + "  2010  3 15  2012  6 20       902"});
}

TEST(LayoutLines, MalformedLayoutFailsAtParse) {
  EXPECT_THROW(mv::Layout("(a5"), std::logic_error);
  EXPECT_THROW(mv::Layout("(q5)"), std::logic_error);
  EXPECT_THROW(mv::Layout("(5i3)"), std::logic_error);
  EXPECT_THROW(mvtest::runtimeLines("(i3)", "text"), std::logic_error);
  // Values left over and a last group without data items: refused, not an endless run of lines.
  EXPECT_THROW(mvtest::runtimeLines("(0(a25,1x),i5,6(11x))", 1, 2), std::logic_error);
  EXPECT_THROW(mv::Layout("(551(251(225(/))/))"), std::logic_error);      // tens of millions of lines
  EXPECT_THROW(mv::Layout("(125(24(91257(0(/)))/))"), std::logic_error);  // hundreds of millions of empty repeats
  EXPECT_NO_THROW(mv::Layout("(50(2x,5(a25,1x)/))"));
  EXPECT_THROW(mv::Layout(std::string(100000, '(') + "i3" + std::string(100000, ')')), std::logic_error);
}

TEST(FreeForm, TextIntegerText) {
  EXPECT_EQ(freeLines("PERIOD = ", 60, " minutes"), Lines{" PERIOD =            60  minutes"});
  EXPECT_EQ(freeLines(), Lines{""});
  EXPECT_EQ(freeLines("READ INPUT.TXT"), Lines{" READ INPUT.TXT"});
  EXPECT_EQ(freeLines("ab", "cd"), Lines{" abcd"});
}

TEST(FreeForm, Reals) {
  EXPECT_EQ(mv::freeReal4(0.5f), "  0.5000000    ");
  EXPECT_EQ(mv::freeReal4(0.0f), "  0.0000000    ");
  EXPECT_EQ(mv::freeReal4(12.25f), "   12.25000    ");
  EXPECT_EQ(mv::freeReal4(1234567.0f), "   1234567.    ");
  EXPECT_EQ(mv::freeReal4(0.0125f), "  0.1250000E-01");
  EXPECT_EQ(mv::freeReal4(-2.5f), "  -2.500000    ");
  EXPECT_EQ(mv::freeReal8(0.5), "  0.5000000000000000     ");
  EXPECT_EQ(freeLines("Elasped time ", 1.5f), Lines{" Elasped time     1.500000    "});
}

TEST(FreeForm, LongLinesBreakBeforeColumn80) {
  const auto out = freeLines(1, 2, 3, 4, 5, 6, 7);
  // Six integers of 12 columns with separators fill 78 columns; the seventh would reach 80.
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].size(), 79u);  // the separating blank still fitted
  EXPECT_EQ(out[1], "            7");
}

TEST(Reading, FixedColumns) {
  const auto& layout = mv::Layout::of("(2(a25,1x),i4,6(1x,i2))");
  // clang-format off
  const std::string line = name25("Ridge A") + " " + name25("Bobcat") + " 2010 03 15 13 05 00  2";
  // clang-format on
  const auto f = mv::readFixed(layout, line);
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ(f[0].text, name25("Ridge A"));
  EXPECT_EQ(f[1].text, name25("Bobcat"));
  EXPECT_EQ(f[2].value, 2010);
  EXPECT_EQ(f[3].value, 3);
  EXPECT_EQ(f[8].value, 2);
  const auto shortLine = mv::readFixed(layout, "Creek");
  EXPECT_EQ(mv::fitString(shortLine[0].text, 25, 25), name25("Creek"));
  EXPECT_EQ(shortLine[2].value, 0);
  EXPECT_TRUE(shortLine[2].ok);
  const auto bad = mv::readFixed(mv::Layout::of("(i4)"), "2x10");
  EXPECT_FALSE(bad[0].ok);
}

TEST(Reading, StringTargets) {
  EXPECT_EQ(mv::fitString("abcdef", 6, 4), "cdef");
  EXPECT_EQ(mv::fitString("ab", 2, 4), "ab  ");
  std::int32_t v = 0;
  EXPECT_TRUE(mv::parseIntField(" -1 2", v));
  EXPECT_EQ(v, -12);
  EXPECT_FALSE(mv::parseIntField("1-2", v));
  EXPECT_FALSE(mv::parseIntField("99999999999", v));
  EXPECT_TRUE(mv::parseIntField("   ", v));
  EXPECT_EQ(v, 0);
}

namespace {
class Lines_ : public mv::LineSource {
 public:
  explicit Lines_(std::vector<std::string> l) : l_(std::move(l)) {}
  std::optional<std::string> next() override {
    if (k_ >= l_.size()) return std::nullopt;
    ++line_;
    return l_[k_++];
  }

 private:
  std::vector<std::string> l_;
  std::size_t k_ = 0;
};
}  // namespace

TEST(Reading, FreeFormIntegers) {
  Lines_ src({"2010 3, 15", "2012,6 ,20 extra", "7", "", "x"});
  mv::FreeReader r(src);
  std::vector<std::int32_t> v;
  ASSERT_EQ(r.readInts(3, v), mv::FreeReader::Status::Ok);
  EXPECT_EQ(v, (std::vector<std::int32_t>{2010, 3, 15}));
  ASSERT_EQ(r.readInts(3, v), mv::FreeReader::Status::Ok);
  EXPECT_EQ(v, (std::vector<std::int32_t>{2012, 6, 20}));
  ASSERT_EQ(r.readInts(1, v), mv::FreeReader::Status::Ok);
  EXPECT_EQ(v.front(), 7);
  EXPECT_EQ(r.readInts(1, v), mv::FreeReader::Status::Bad);  // empty line, then "x"
  EXPECT_EQ(r.badToken(), "x");
  EXPECT_EQ(r.readInts(1, v), mv::FreeReader::Status::End);
}
