#include <gtest/gtest.h>

#include "import/command_line.hpp"
#include "import_support.hpp"
#include "support/run_program.hpp"

namespace fs = std::filesystem;
namespace mc = mv::camtrap;
using importtest::runImport;

TEST(ImportCommandLine, HelpAndVersion) {
  for (const char* help : {"--help", "-h"}) {
    const auto r = runImport({help});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, mc::usageText());
    EXPECT_EQ(r.err, "");
  }
  const std::string help = mc::usageText();
  EXPECT_EQ(help.rfind("Usage: morvelstrand-import PACKAGE_DIR STUDY_DIR [options]\n", 0), 0u);
  // Every option, the exit statuses and an example.
  for (const char* option :
       {"--group-by location|KEY", "--time-zone ZONE", "--utc-offset +HH:MM", "--elevation FILE",
        "--default-elevation METRES", "--title TEXT", "--species-only", "--force", "-h,--help", "--version"})
    EXPECT_NE(help.find("\n  " + std::string(option) + " "), std::string::npos) << option;
  EXPECT_NE(help.find("Exit status:\n  0  the study folder was written and reads back as written\n"
                      "  1  the import failed (the package, the study folder or the read-back)\n"
                      "  2  wrong command line\n"),
            std::string::npos);
  EXPECT_NE(help.find("Example:\n  morvelstrand-import park-2021 park-study"), std::string::npos);
  // --help wins over whatever else stands on the line.
  EXPECT_EQ(runImport({"a", "--bogus", "--help"}).status, 0);
  EXPECT_EQ(runImport({"a", "b", "--help"}).status, 0);
  const auto v = runImport({"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "morvelstrand-import 1.0.0\n");
}

TEST(ImportCommandLine, UsageErrors) {
  const auto expectUsage = [](std::vector<std::string> args, const std::string& message) {
    const auto r = runImport(args);
    EXPECT_EQ(r.status, 2) << message;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "morvelstrand-import: " + message + "\nTry 'morvelstrand-import --help' for more information.\n");
  };
  expectUsage({}, "PACKAGE_DIR and STUDY_DIR are both needed");
  expectUsage({"pkg"}, "PACKAGE_DIR and STUDY_DIR are both needed");
  expectUsage({"pkg", "study", "third"}, "The following argument was not expected: third");
  expectUsage({"pkg", "study", "--bogus"}, "The following argument was not expected: --bogus");
  expectUsage({"pkg", "study", "--group-by"}, "--group-by: 1 required location|KEY missing");
  expectUsage({"pkg", "study", "--group-by="}, "--group-by: 1 required location|KEY missing");
  expectUsage({"pkg", "study", "--group-by", ""}, "option --group-by needs \"location\" or a deploymentGroups key");
  expectUsage({"pkg", "study", "--elevation", ""}, "option --elevation needs a file name");
  expectUsage({"pkg", "study", "--force=yes"}, "force was given a disallowed flag override");
  expectUsage({"pkg", "study", "--default-elevation", "12.5"},
              "option --default-elevation needs whole metres from -9999 to 99999, not \"12.5\"");
  expectUsage({"pkg", "study", "--default-elevation=100000"},
              "option --default-elevation needs whole metres from -9999 to 99999, not \"100000\"");
}

TEST(ImportCommandLine, OptionsAnywhereAndAfterDoubleDash) {
  const mc::CommandLine c = mc::parseCommandLine({"--title", "T", "pkg", "--elevation=e.csv", "study",
                                                  "--default-elevation", "-5", "--force", "--group-by", "area"});
  ASSERT_EQ(c.action, mc::CommandLine::Action::Import);
  EXPECT_EQ(c.options.packageDir, fs::path("pkg"));
  EXPECT_EQ(c.options.studyDir, fs::path("study"));
  EXPECT_EQ(c.options.title, "T");
  EXPECT_EQ(c.options.elevationFile, fs::path("e.csv"));
  EXPECT_EQ(c.options.defaultElevation, -5);
  EXPECT_TRUE(c.options.force);
  EXPECT_EQ(c.options.groupBy, "area");
  const mc::CommandLine d = mc::parseCommandLine({"--", "--pkg", "-"});
  ASSERT_EQ(d.action, mc::CommandLine::Action::Import);
  EXPECT_EQ(d.options.packageDir, fs::path("--pkg"));
  EXPECT_EQ(d.options.studyDir, fs::path("-"));
  EXPECT_EQ(d.options.groupBy, "location");
  EXPECT_FALSE(d.options.force);
}

TEST(ImportCommandLine, RefusesToOverwriteWithoutForce) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "Input.txt", "mine\r\n");
  mvtest::writeFile(dir / "AllPictures.txt", "");
  const std::string pkg = importtest::dataDir("savanna").string();
  const auto r = runImport({pkg, dir.path().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvelstrand-import: " + dir.path().string() +
                       " already holds Input.txt, AllPictures.txt; use --force to replace them\n");
  EXPECT_EQ(mvtest::readFile(dir / "Input.txt"), "mine\r\n");
  EXPECT_FALSE(fs::exists(dir / "GroupMap.txt"));

  const auto forced = runImport({pkg, dir.path().string(), "--force"});
  EXPECT_EQ(forced.status, importtest::successStatus()) << forced.err;
  EXPECT_EQ(mvtest::readLines(dir / "Input.txt").at(0), "Savanna waterholes");
  EXPECT_TRUE(fs::exists(dir / "GroupMap.txt"));
}

// The executable itself: status and streams as a shell sees them.
TEST(ImportCommandLine, TheExecutable) {
  mvtest::TempDir dir;
  const auto shell = [](const std::string& args) {
    return mvtest::runProgram({.exe = MORVELSTRAND_IMPORT_EXE, .arguments = args, .input = mvtest::Stdin::inherited()});
  };
  // Two quoted paths, one after the other.
  const auto paths = [](const fs::path& a, const fs::path& b) {
    std::string both = mvtest::shellQuoted(a.string());
    both += ' ';
    both += mvtest::shellQuoted(b.string());
    return both;
  };
  const mvtest::Ran version = shell("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "morvelstrand-import 1.0.0\n");
  const mvtest::Ran wrong = shell("--nope");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.err,
            "morvelstrand-import: The following argument was not expected: --nope\nTry 'morvelstrand-import --help' "
            "for more information.\n");
  EXPECT_EQ(shell(paths(dir / "none", dir / "study")).status, 1);
  const mvtest::Ran imported = shell(paths(importtest::dataDir("forest"), dir / "study"));
  EXPECT_EQ(imported.status, importtest::successStatus()) << imported.err;
  EXPECT_TRUE(fs::exists(dir / "study" / "AllPictures.txt"));
}
