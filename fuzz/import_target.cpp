#include "import_target.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "import/command_line.hpp"

namespace fs = std::filesystem;

namespace mvfuzz {

namespace {

const char* const kDescriptor =
    "{\"name\": \"fuzz\", \"title\": \"Fuzz package\","
    " \"profile\": \"https://raw.githubusercontent.com/tdwg/camtrap-dp/1.0/camtrap-dp-profile.json\","
    " \"resources\": [{\"name\": \"deployments\", \"path\": \"deployments.csv\"},"
    " {\"name\": \"media\", \"path\": \"media.csv\"},"
    " {\"name\": \"observations\", \"path\": \"observations.csv\"}]}";

void put(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void camtrapPackage(std::string_view data) {
  static const fs::path dir = [] {
    fs::path p = fs::temp_directory_path() / ("morvelstrand-import-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());

  unsigned choice = 0;
  if (!data.empty()) {
    choice = static_cast<unsigned char>(data.front());
    data.remove_prefix(1);
  }
  std::vector<std::string_view> pieces;
  while (pieces.size() < 3) {
    const std::size_t cut = data.find('\x01');
    pieces.push_back(data.substr(0, cut));
    data = cut == std::string_view::npos ? std::string_view() : data.substr(cut + 1);
  }
  const fs::path pkg = dir / "pkg";
  fs::create_directories(pkg);
  put(pkg / "deployments.csv", pieces[0]);
  put(pkg / "media.csv", pieces[1]);
  put(pkg / "observations.csv", pieces[2]);
  put(pkg / "datapackage.json", data.empty() ? std::string_view(kDescriptor) : data);

  std::vector<std::string> args{pkg.string(), (dir / "study").string()};
  switch (choice % 5) {
    case 1:
      args.insert(args.end(), {"--time-zone", "Europe/Brussels"});
      break;
    case 2:
      args.insert(args.end(), {"--utc-offset", "-05:30", "--group-by", "groups"});
      break;
    case 3:
      args.insert(args.end(), {"--time-zone", "UTC", "--group-by", "area", "--species-only"});
      break;
    case 4:
      args.insert(args.end(), {"--default-elevation", "120", "--title", "T"});
      break;
    default:
      break;
  }
  std::ostringstream out, err;
  mv::camtrap::runImporter(args, out, err);
}

}  // namespace mvfuzz
