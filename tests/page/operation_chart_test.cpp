// The camera operation chart of a location with very many operating
// periods: periods close together are drawn as one bar, so the page stays
// small; a location with few periods keeps a bar for each.
#include <string>

#include "community/community_study.hpp"
#include "page/page.hpp"

namespace {

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// One group of two locations in 2010-2012: Busy with `busy` one-day
// periods, two days apart (then from the start again), Quiet with three.
mvtest::CommunityStudy study(int busy) {
  mvtest::CommunityStudy c({"G01"}, {"Sp01"}, 2010, 2012);
  c.st.NLOCATIONS = 2;
  c.st.MAXPERIODS = busy;
  c.st.sizeLocationTables();
  c.st.sizeGroupTables();
  c.st.sizeGroupTrapDays();
  c.st.GROUPNAME(1) = mv::makeName("G01");
  c.st.LOCATIONNAME(1) = mv::makeName("Busy");
  c.st.LOCATIONNAME(2) = mv::makeName("Quiet");
  c.st.GROUPSIZE(1) = 2;
  c.st.GROUPLOCATIONS(1, 1) = 1;
  c.st.GROUPLOCATIONS(1, 2) = 2;
  c.st.GROUPTRAPDAYS(1, 2010, 1) = 10;
  c.st.FIRSTDAY = 1;
  c.st.LASTDAY = 1096;
  const auto period = [&](int loc, int p, int day) {
    for (mv::PeriodTable* t : {&c.st.PERIODSTART, &c.st.PERIODSTOP}) {
      (*t)(loc, p, mv::kYear) = 2010;
      (*t)(loc, p, mv::kMonth) = 1;
      (*t)(loc, p, mv::kDay) = day;
      (*t)(loc, p, mv::kDayNumber) = day;
    }
  };
  c.st.NPERIODS(1) = busy;
  for (int p = 1; p <= busy; ++p) period(1, p, 1 + (2 * p) % 1000);
  c.st.NPERIODS(2) = 3;
  for (int p = 1; p <= 3; ++p) period(2, p, 300 * p);
  return c;
}

}  // namespace

TEST(OperationChart, ManyPeriodsAreMergedIntoFewBars) {
  const mvtest::CommunityStudy few = study(100);
  const std::string small = mv::htmlPage(few.st, few.st, few.st, few.st);
  EXPECT_EQ(count(small, "<title>Busy: "), 100u);
  EXPECT_EQ(count(small, "<title>Quiet: "), 3u);
  EXPECT_EQ(count(small, "drawn as one bar"), 0u);

  const mvtest::CommunityStudy many = study(100000);
  const std::string html = mv::htmlPage(many.st, many.st, many.st, many.st);
  // A gap of at least 10 days (1096 / 100) between bars: the periods every
  // second day up to day 999 make one bar.
  EXPECT_EQ(count(html, "<title>Busy: "), 1u);
  EXPECT_NE(html.find("<title>Busy: 100000 periods, 2010-01-01 to "), std::string::npos);
  EXPECT_EQ(count(html, "<title>Quiet: "), 3u);
  EXPECT_NE(html.find("A location with more than 100 operating periods has those that overlap or lie close together "
                      "drawn as one bar."),
            std::string::npos);
  EXPECT_LT(html.size(), small.size() + 1000);
}
