#include <string>
#include <vector>

#include "effort/expect_lines.hpp"
#include "report/pair_table.hpp"
#include "support/study_builder.hpp"
#include "support/test_support.hpp"

namespace {

// Groups G01, G02, ... .
mv::Study named(int groups) { return mvtest::makeStudy(mvtest::numbered("G", groups), {}); }

}  // namespace

// Layouts of eight fields for blocks of up to ten columns: the ninth and
// tenth names and values go on continuation lines starting in column 1.
TEST(PairTable, NarrowLayoutsContinueOnASecondLine) {
  const mv::Study st = named(10);
  mv::Table<float, 2> cells;
  cells.resize({mv::Range{1, 10}, mv::Range{1, 10}}, 0.0f);
  for (int i = 1; i <= 10; ++i)
    for (int j = i + 1; j <= 10; ++j) cells(i, j) = static_cast<float>(j);
  mvtest::Capture report;
  mv::printPairTable(st, cells, "(5x,a9,14x,8(a10,1x))", "(a25,1x,8(3x,f7.3,1x))", report.writer);
  // clang-format off
  mvtest::expectLines(
      report.lines(),
      {
          "     Locations              G02        G03        G04        G05        G06        G07        G08        G09       ",
          "G10       ",
          "G01                            2.000      3.000      4.000      5.000      6.000      7.000      8.000      9.000",
          "    10.000",
          "G02                            0.000      3.000      4.000      5.000      6.000      7.000      8.000      9.000",
          "    10.000",
          "G03                            0.000      0.000      4.000      5.000      6.000      7.000      8.000      9.000",
          "    10.000",
          "G04                            0.000      0.000      0.000      5.000      6.000      7.000      8.000      9.000",
          "    10.000",
          "G05                            0.000      0.000      0.000      0.000      6.000      7.000      8.000      9.000",
          "    10.000",
          "G06                            0.000      0.000      0.000      0.000      0.000      7.000      8.000      9.000",
          "    10.000",
          "G07                            0.000      0.000      0.000      0.000      0.000      0.000      8.000      9.000",
          "    10.000",
          "G08                            0.000      0.000      0.000      0.000      0.000      0.000      0.000      9.000",
          "    10.000",
          "G09                            0.000      0.000      0.000      0.000      0.000      0.000      0.000      0.000",
          "    10.000",
          "",
      });
  // clang-format on
}

TEST(PairTable, FewerThanTwoGroupsWriteNothing) {
  for (int groups : {0, 1}) {
    const mv::Study st = named(groups);
    mv::Table<float, 2> cells;
    cells.resize({mv::Range{1, groups}, mv::Range{1, groups}}, 0.0f);
    mvtest::Capture report;
    mv::printPairTable(st, cells, "(6x,a9,13x,10(a10,1x))", "(a25,1x,10(3x,f7.3,1x))", report.writer);
    EXPECT_TRUE(report.lines().empty()) << groups;
  }
}

TEST(PairTable, TwentyOneGroupsGiveThreeBlocks) {
  // Row bands 1-10 and 11-20, column bands 2-11 and 12-21; the third band
  // of each is empty and writes nothing.
  const mv::Study st = named(21);
  mv::Table<float, 2> cells;
  cells.resize({mv::Range{1, 21}, mv::Range{1, 21}}, 0.0f);
  mvtest::Capture report;
  mv::printPairTable(st, cells, "(6x,a9,13x,10(a10,1x))", "(a25,1x,10(3x,f7.3,1x))", report.writer);
  std::vector<std::string> headers;
  for (const std::string& line : report.lines())
    if (line.rfind("      Locations", 0) == 0)
      headers.push_back(line.substr(28, 3) + ".." + line.substr(line.size() - 10, 3));
  EXPECT_EQ(headers, (std::vector<std::string>{"G02..G11", "G12..G21", "G12..G21"}));
  // 3 headers, 10 + 10 + 10 rows, 3 empty lines.
  EXPECT_EQ(report.lines().size(), 36u);
}
