// The HTML page: one plot per figure whatever the study, nothing fetched,
// caps on many species and groups; and --html on the command line.
#include <filesystem>
#include <string>

#include "community/community_study.hpp"
#include "page/page.hpp"
#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

void expectWholePage(const std::string& html) {
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(count(html, "<svg "), static_cast<std::size_t>(mv::kPagePlots));
  EXPECT_EQ(count(html, "data-plot=\""), static_cast<std::size_t>(mv::kPagePlots));
  EXPECT_EQ(count(html, "</svg>"), static_cast<std::size_t>(mv::kPagePlots));
  EXPECT_EQ(html.find("http"), std::string::npos);
  EXPECT_NE(html.find("</html>"), std::string::npos);
}

}  // namespace

TEST(Page, EmptyStudyStillHasEveryPlot) {
  mvtest::CommunityStudy empty({}, {});
  expectWholePage(mv::htmlPage(empty.st, empty.st, empty.st, empty.st));
}

TEST(Page, ManySpeciesAndGroupsAreCappedAndNamed) {
  mvtest::CommunityStudy c(mvtest::numbered("G", 5), mvtest::numbered("Sp", 6));
  c.st.sizeGroupTrapDays();
  c.st.TITLE = mv::makeName("Valley <north> & ridge");
  for (int s = 1; s <= 6; ++s) c.pics(3, s, s);  // Sp06 has the most records
  for (int g = 1; g <= 5; ++g) c.st.GROUPTRAPDAYS(g, 2010, 1) = 10 * g;
  const std::string html = mv::htmlPage(c.st, c.st, c.st, c.st, mv::PageLimits{4, 3, 10});
  expectWholePage(html);
  EXPECT_NE(html.find("<h1>Valley &lt;north&gt; &amp; ridge</h1>"), std::string::npos);
  EXPECT_NE(html.find("The plots show the 4 species with the most records of 6; the others are listed at the end"),
            std::string::npos);
  EXPECT_NE(html.find("<p>2 species: Sp01, Sp02.</p>\n<p>2 groups: G01, G02.</p>"), std::string::npos);
  // Hover values of the heat maps.
  EXPECT_NE(html.find("<title>G03 \u00d7 Sp06: 20 per 100 trap days (6 records, 30 trap days)</title>"),
            std::string::npos);
  EXPECT_EQ(html.find("G01 \u00d7"), std::string::npos);
}

TEST(Page, HtmlOptionWritesThePageOrEndsTheRun) {
  mvtest::TempDir dir;
  const fs::path example = fs::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";
  for (const char* name : {"Input.txt", "GroupMap.txt", "AllPictures.txt"}) fs::copy_file(example / name, dir / name);
  auto run = [&](const std::string& page) {
    return mvtest::runProgram({.exe = MORVELSTRAND_EXE,
                               .cwd = dir.path(),
                               .arguments = "--period 60 --quiet --html " + mvtest::shellQuoted(page) + " ."});
  };
  // A page that could not be written is refused before the run.
  const mvtest::Ran refused = run("out/page.html");
  ASSERT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "morvelstrand: --html: folder does not exist: " + (dir.path() / "out").string() +
                             " (see morvelstrand --help)\n");
  EXPECT_FALSE(fs::exists(dir / "OutputGroups.txt"));

  const mvtest::Ran written = run("page.html");
  ASSERT_EQ(written.status, 0) << written.err;
  expectWholePage(mvtest::readFile(dir / "page.html"));
  for (const auto& e : fs::directory_iterator(dir.path()))
    EXPECT_NE(e.path().filename().string().front(), '.') << e.path();  // no temporary file left
}
