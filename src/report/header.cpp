#include <ctime>
#include <string_view>
#include <vector>

#include "report/report.hpp"
#include "model/labels.hpp"

namespace mv {

LocalDate today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void OPENOUTFILE(const StudyInput& st, const PictureTallies& tallies, const std::filesystem::path& folder,
                 FileSink& file, Console& console, const LocalDate& date) {
  console.out().free("OPEN OUTPUT FILE");
  const auto path = folder / "OutputGroups.txt";
  // The report is written beside its name and renamed into place by the
  // run driver once it is complete.
  if (!file.openReplacing(path)) {
    console.error().free("Cannot create OutputGroups.txt: " + file.errorText());
    throw RunEnded{1};
  }
  Writer report(file);
  writeReportHeader(st, tallies, report, date);
}

namespace {

// Names five to a line, each line opened by two blanks.
constexpr std::string_view kNameList = "(50(2x,5(a25,1x)/))";

}  // namespace

void writeReportHeader(const StudyInput& st, const PictureTallies& tallies, Writer& report, const LocalDate& date) {
  report.write("(a75)", st.TITLE);
  report.write("(a6,i4,1x,a3,1x,i2)", "Date: ", date.year, monthName(date.month), date.day);
  report.blank();

  std::vector<Value> names;
  report.write("(a9,2x,i3)", "LOCATIONS", st.NLOCATIONS);
  for (int l = 1; l <= st.NLOCATIONS; ++l) names.emplace_back(st.LOCATIONNAME(l));
  report.writeValues(kNameList, names);
  report.blank();

  names.clear();
  report.write("(a7,2x,i3)", "SPECIES", st.NSPECIES);
  for (int s = 1; s <= st.NSPECIES; ++s) names.emplace_back(st.SPECIESNAME(s));
  report.writeValues(kNameList, names);
  report.blank();

  report.write("(a20,i7,a7)", "This file contained ", tallies.NPROCESSED, " lines");
  report.write("(a33,i7)", "Number of lines used in analysis ", tallies.NUSED);
  report.write("(a17,i7,a27)", "Reject file has  ", tallies.NREJECTED, " lines not used in analysis");
  report.blank();
}

void WRITEGROUPASSIGNMENT(const StudyInput& st, Writer& report) {
  report.write("(a17)", "GROUP ASSIGNMENTS");
  std::vector<Value> names;
  for (int g = 1; g <= st.NGROUPS; ++g) {
    report.write("(a25)", st.GROUPNAME(g));
    // A group without locations still gets its (empty) list line.
    names.clear();
    for (int i = 1; i <= st.GROUPSIZE(g); ++i) names.emplace_back(st.LOCATIONNAME(st.GROUPLOCATIONS(g, i)));
    report.writeValues(kNameList, names);
  }
  report.blank();
}

}  // namespace mv
