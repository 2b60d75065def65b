#include "import/reader_check.hpp"

#include <stdlib.h>

#include <algorithm>
#include <exception>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "import/study_files.hpp"
#include "input/input.hpp"
#include "io/console.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"

namespace mv::camtrap {

namespace {

// A folder of its own under the system's temporary folder, removed at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvelstrand-import-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void readBack(StudyInput& st, PictureTallies& tallies, const std::filesystem::path& dir, Console& console) {
  st = readStudy(dir, console);
  READALLPICTURES(st, tallies, dir, console);
}

// The readers' message: the last console line before the one that asks
// for Enter, without its leading blank.
std::string consoleMessage(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    line.erase(0, first);
    line.erase(line.find_last_not_of(' ') + 1);
    if (line.rfind("Hit enter to TERMINATE", 0) == 0) break;
    lines.push_back(line);
  }
  return lines.empty() ? std::string() : lines.back();
}

}  // namespace

ReaderCheck checkWithReaders(const std::filesystem::path& studyDir) {
  ReaderCheck check;
  std::ostringstream out;
  // The readers only ask the console to wait for Enter when a file is
  // missing; an empty input answers at once.
  std::istringstream in;
  try {
    ScratchDir scratch;
    for (const std::string& name : studyFileNames()) std::filesystem::copy_file(studyDir / name, scratch.path() / name);
    StudyInput st;
    PictureTallies tallies;
    {
      Console console(out, in);
      readBack(st, tallies, scratch.path(), console);
    }
    check.ran = true;
    check.NLOCATIONS = st.NLOCATIONS;
    check.NSPECIES = st.NSPECIES;
    check.MAXPERIODS = st.MAXPERIODS;
    check.NMAPLINES = st.NMAPLINES;
    check.NGROUPS = st.NGROUPS;
    check.FIRSTYEAR = st.FIRSTYEAR;
    check.LASTYEAR = st.LASTYEAR;
    check.NPROCESSED = tallies.NPROCESSED;
    check.NUSED = tallies.NUSED;
    check.NREJECTED = tallies.NREJECTED;
    FileLines reject;
    if (reject.open(scratch.path() / "Reject.txt")) {
      std::string_view line;
      while (check.rejectLines.size() < 20 && reject.nextView(line)) check.rejectLines.emplace_back(line);
    }
  } catch (const RunEnded& ended) {
    // The readers' own message says what they could not read.
    check.failure = "the readers ended the run early (status " + std::to_string(ended.status) + ")";
    const std::string message = consoleMessage(out.str());
    if (!message.empty()) check.failure += ": " + message;
  } catch (const std::exception& e) {
    check.failure = e.what();
  }
  check.console = out.str();
  return check;
}

std::vector<std::string> disagreements(const ReaderCheck& check, const StudyData& study) {
  std::vector<std::string> out;
  if (!check.ran) {
    out.push_back(check.failure);
    return out;
  }
  const auto expect = [&](const char* what, int found, std::size_t written) {
    if (found != static_cast<int>(written))
      out.push_back(std::string(what) + " is " + std::to_string(found) + ", expected " + std::to_string(written));
  };
  expect("NLOCATIONS", check.NLOCATIONS, study.locations.size());
  expect("NSPECIES", check.NSPECIES, study.species.size());
  expect("NMAPLINES", check.NMAPLINES, study.locations.size());
  expect("NGROUPS", check.NGROUPS, study.groups.size());
  expect("NPROCESSED", check.NPROCESSED, study.pictures.size());
  expect("NUSED", check.NUSED, study.pictures.size());
  expect("NREJECTED", check.NREJECTED, 0);
  int first = 3000, last = 1000;
  for (const Location& loc : study.locations)
    for (const Period& p : loc.periods) {
      first = std::min(first, p.start.year);
      last = std::max(last, p.stop.year);
    }
  if (check.FIRSTYEAR != first || check.LASTYEAR != last)
    out.push_back("the study years are " + std::to_string(check.FIRSTYEAR) + "-" + std::to_string(check.LASTYEAR) +
                  ", expected " + std::to_string(first) + "-" + std::to_string(last));
  return out;
}

}  // namespace mv::camtrap
