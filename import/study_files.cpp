#include "import/study_files.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "import/errors.hpp"
#include "layout/layout.hpp"
#include "io/sinks.hpp"

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
  return std::to_string(p.start.year) + " " + std::to_string(p.start.month) + " " + std::to_string(p.start.day) + " " +
         std::to_string(p.stop.year) + " " + std::to_string(p.stop.month) + " " + std::to_string(p.stop.day);
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
                     study.species[static_cast<std::size_t>(p.species)].name, t.year, t.month, t.day, t.hour, t.minute,
                     t.second, p.individuals);
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

const std::vector<std::string>& runOutputNames() {
  static const std::vector<std::string> names{"OutputGroups.txt", "Reject.txt"};
  return names;
}

namespace {

// A new folder beside the study folder, removed unless it was renamed into
// place.
class NewFolder {
 public:
  explicit NewFolder(const std::filesystem::path& beside) {
    // Appended piece by piece: GCC 12 at -O3 takes `"." + std::string` (an
    // insert at the front of the right operand) for an overlapping copy and
    // warns (-Wrestrict) where nothing overlaps.
    std::string name = ".";
    name += beside.filename().string();
    name += ".import-XXXXXX";
    std::string pattern = (beside.parent_path() / name).string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw ImportError("cannot create a folder beside " + beside.string() + ": " + std::strerror(errno));
    path_ = pattern;
    // mkdtemp makes the folder private; the study folder gets the usual
    // permissions of a new folder.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(path_.c_str(), static_cast<mode_t>(0777 & ~mask));
  }
  ~NewFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  NewFolder(const NewFolder&) = delete;
  NewFolder& operator=(const NewFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  void release() { path_.clear(); }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::vector<std::string> writeStudy(const StudyData& study, const std::filesystem::path& dir, bool replacing) {
  std::filesystem::path target = dir.lexically_normal();
  if (target.filename().empty()) target = target.parent_path();
  if (target.parent_path().empty()) target = std::filesystem::path(".") / target;
  std::error_code ec;
  std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) throw ImportError("cannot create the folder " + target.parent_path().string() + ": " + ec.message());

  // The files are written in full beside the study folder first: a full
  // disk or a failed write leaves the folder as it was.
  NewFolder fresh(target);
  writeInput(study, fresh.path() / "Input.txt");
  writeGroupMap(study, fresh.path() / "GroupMap.txt");
  writePictures(study, fresh.path() / "AllPictures.txt");

  const auto moveFailed = [&](const std::filesystem::path& to) {
    return ImportError("cannot move the new files to " + to.string() + ": " + std::strerror(errno));
  };
  if (!std::filesystem::exists(std::filesystem::symlink_status(target, ec))) {
    if (::rename(fresh.path().c_str(), target.c_str()) != 0) throw moveFailed(target);
    fresh.release();
    return {};
  }
  // An existing folder keeps its other files; each study file is replaced
  // in one step (a link of that name included, never written through).
  for (const std::string& name : studyFileNames())
    if (::rename((fresh.path() / name).c_str(), (target / name).c_str()) != 0) throw moveFailed(target / name);
  std::vector<std::string> removed;
  if (replacing) {
    // The report and rejects of a run on the replaced study would no longer
    // match its files.
    for (const std::string& name : runOutputNames()) {
      if (!std::filesystem::exists(std::filesystem::symlink_status(target / name, ec))) continue;
      if (!std::filesystem::remove(target / name, ec))
        throw ImportError("cannot remove " + (target / name).string() + " of the earlier run: " + ec.message());
      removed.push_back(name);
    }
  }
  return removed;
}

}  // namespace mv::camtrap
