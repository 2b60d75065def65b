#include <ctime>

#include "report/report.hpp"

namespace mv {

LocalDate today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void OPENOUTFILE(const Study& st, const std::filesystem::path& folder, FileSink& file, Console& console,
                 const LocalDate& date) {
  console.out().free("OPEN OUTPUT FILE");
  const auto path = folder / "OutputGroups.txt";
  if (!file.open(path)) {
    console.out().free("Cannot create OutputGroups.txt: " + file.errorText());
    throw RunEnded{1};
  }
  Writer report(file);
  writeReportHeader(st, report, date);
}

void writeReportHeader(const Study&, Writer&, const LocalDate&) {}

void WRITEGROUPASSIGNMENT(const Study&, Writer&) {}

}  // namespace mv
