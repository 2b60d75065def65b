#include "import_support.hpp"

#include <sstream>

#include "import/command_line.hpp"
#include "input/input.hpp"
#include "io/console.hpp"
#include "model/study.hpp"

namespace importtest {

std::filesystem::path dataDir(const std::string& package) {
  return std::filesystem::path(MORVELSTRAND_SOURCE_DIR) / "tests" / "import" / "data" / package;
}

Run runImport(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Run r;
  r.status = mv::camtrap::runImporter(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

void writePackage(const std::filesystem::path& dir, const SmallPackage& p) {
  std::filesystem::create_directories(dir);
  const std::string name = p.name.empty() ? std::string() : "\"name\": \"" + p.name + "\", ";
  mvtest::writeFile(dir / "datapackage.json", "{" + name + p.descriptorExtra + "\"profile\": \"" + p.profile +
                                                  "\", \"resources\": ["
                                                  "{\"name\": \"deployments\", \"path\": \"deployments.csv\"},"
                                                  "{\"name\": \"media\", \"path\": \"media.csv\"},"
                                                  "{\"name\": \"observations\", \"path\": \"observations.csv\"}]}");
  mvtest::writeFile(dir / "deployments.csv", p.deployments);
  mvtest::writeFile(dir / "media.csv", p.media);
  mvtest::writeFile(dir / "observations.csv", p.observations);
}

bool readersAreLive() {
  static const bool live = [] {
    const std::filesystem::path example = std::filesystem::path(MORVELSTRAND_SOURCE_DIR) / "examples" / "study";
    std::ostringstream out;
    std::istringstream in;
    mv::Console console(out, in);
    mv::Study st;
    try {
      mv::READINPUTPARAMETERS(st, example, console);
    } catch (...) {
      return false;
    }
    return st.NLOCATIONS > 0;
  }();
  return live;
}

int successStatus() { return readersAreLive() ? 0 : 1; }

std::vector<std::string> summaryLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  std::string l;
  while (std::getline(in, l) && l.rfind("Check with", 0) != 0) lines.push_back(l);
  return lines;
}

}  // namespace importtest
