#include "import/study_files.hpp"

#include <system_error>

#include "import/errors.hpp"
#include "layout/layout.hpp"
#include "layout/sinks.hpp"

namespace mv::camtrap {

namespace {

// Passes lines on without their trailing blanks: a name fills its 25
// columns only where a field follows it.
class TrimmedLines final : public LineSink {
 public:
  explicit TrimmedLines(FileSink& file) : file_(&file) {}
  void line(std::string_view text) override {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    file_->line(text);
  }

 private:
  FileSink* file_;
};

class StudyFile {
 public:
  explicit StudyFile(const std::filesystem::path& path) : path_(path) {
    if (!file_.open(path)) throw ImportError("cannot write " + path.string() + ": " + file_.errorText());
  }
  Writer& writer() { return writer_; }
  // Lines whose numbers are read free-form (counts and periods).
  void plain(const std::string& text) { file_.line(text); }
  void close() {
    if (!file_.close()) throw ImportError("cannot write " + path_.string() + ": " + file_.errorText());
  }

 private:
  std::filesystem::path path_;
  FileSink file_;
  TrimmedLines trimmed_{file_};
  Writer writer_{trimmed_};
};

std::string periodLine(const Period& p) {
  return std::to_string(p.start.year) + " " + std::to_string(p.start.month) + " " + std::to_string(p.start.day) +
         " " + std::to_string(p.stop.year) + " " + std::to_string(p.stop.month) + " " + std::to_string(p.stop.day);
}

void writeInput(const StudyData& study, const std::filesystem::path& path) {
  StudyFile f(path);
  f.plain(study.title);
  f.plain(std::to_string(study.locations.size()));
  for (const Location& loc : study.locations) {
    f.writer().write("(a25,1x,i6,1x,i7,1x,i5)", loc.name, loc.east, loc.north, loc.elevation);
    f.plain(std::to_string(loc.periods.size()));
    for (const Period& p : loc.periods) f.plain(periodLine(p));
  }
  f.plain(std::to_string(study.species.size()));
  for (const Species& s : study.species) f.writer().write("(a25)", s.name);
  f.close();
}

void writeGroupMap(const StudyData& study, const std::filesystem::path& path) {
  StudyFile f(path);
  for (const Location& loc : study.locations) f.writer().write("(a25,1x,a25)", loc.name, loc.group);
  f.close();
}

void writePictures(const StudyData& study, const std::filesystem::path& path) {
  StudyFile f(path);
  for (const Picture& p : study.pictures) {
    const DateTime& t = p.time;
    f.writer().write("(2(a25,1x),i4,6(1x,i2))", study.locations[static_cast<std::size_t>(p.location)].name,
                     study.species[static_cast<std::size_t>(p.species)].name, t.year, t.month, t.day, t.hour,
                     t.minute, t.second, p.individuals);
  }
  f.close();
}

}  // namespace

const std::vector<std::string>& studyFileNames() {
  static const std::vector<std::string> names{"Input.txt", "GroupMap.txt", "AllPictures.txt"};
  return names;
}

std::vector<std::string> existingStudyFiles(const std::filesystem::path& dir) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const std::string& name : studyFileNames())
    if (std::filesystem::exists(dir / name, ec)) found.push_back(name);
  return found;
}

void writeStudy(const StudyData& study, const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw ImportError("cannot create the folder " + dir.string() + ": " + ec.message());
  writeInput(study, dir / "Input.txt");
  writeGroupMap(study, dir / "GroupMap.txt");
  writePictures(study, dir / "AllPictures.txt");
}

}  // namespace mv::camtrap
