// What a package may be: Camtrap DP 0.1.x beside 1.x, elevations in the
// deployments, plain deploymentGroups values, titles, and the tables, rows
// and folders that must be refused with a clear message.
#include <gtest/gtest.h>

#include "import_support.hpp"

namespace fs = std::filesystem;
using importtest::runImport;
using Lines = std::vector<std::string>;

namespace {

bool hasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The summary without its first line (which names the package and its
// version) and without the line that names the study folder.
Lines summaryBody(const std::string& out) {
  Lines lines;
  std::size_t p = out.find('\n');
  while (p != std::string::npos && p + 1 < out.size()) {
    const std::size_t q = out.find('\n', p + 1);
    const std::string l = out.substr(p + 1, q - p - 1);
    if (l.rfind("Check with", 0) == 0) break;
    if (l.rfind("Wrote ", 0) != 0) lines.push_back(l);
    p = q;
  }
  return lines;
}

// The name and elevation (columns 42-46) of a location line of Input.txt.
std::string elevationOf(const std::string& line) {
  if (line.size() < 46) return "short line: " + line;
  std::string name = line.substr(0, 25);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::string elevation = line.substr(41, 5);
  elevation.erase(0, elevation.find_first_not_of(' '));
  return name + " " + elevation;
}

class ImportPackage : public ::testing::Test {
 protected:
  importtest::SmallPackage pkg;
  mvtest::TempDir dir;
  fs::path package() const { return dir / "pkg"; }
  fs::path study() const { return dir / "study"; }
  importtest::Run run(std::vector<std::string> extra = {}, const fs::path& into = {}) {
    importtest::writePackage(package(), pkg);
    std::vector<std::string> args{package().string(), (into.empty() ? study() : into).string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return runImport(args);
  }
  void expectFailure(const std::string& message, std::vector<std::string> extra = {}) {
    fs::remove_all(study());
    const auto r = run(extra);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morvelstrand-import: " + message + "\n");
    EXPECT_FALSE(fs::exists(study() / "Input.txt"));
  }
};

}  // namespace

// A 0.1.6 package and the same data written as Camtrap DP 1.0: start and end
// become deploymentStart and deploymentEnd, session and array become
// deploymentGroups tags, a sequence becomes an event, an observation without
// mediaID an event-based one at its timestamp.
TEST_F(ImportPackage, Version016GivesTheSameStudyAsItsRewriteIn10) {
  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/0.1.6/camtrap-dp-profile.json";
  pkg.descriptorExtra = "\"project\": {\"title\": \"Ridge and creek\"},";
  pkg.deployments =
      "deploymentID,locationID,locationName,longitude,latitude,start,end,session,array,tags\n"
      "d1,L1,North ridge,4.35,50.85,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,spring,North,a|b\n"
      "d2,L2,South creek,4.36,50.80,2021-03-02T08:00:00+01:00,2021-04-02T08:00:00+02:00,spring,South,\n";
  pkg.media =
      "mediaID,deploymentID,sequenceID,captureMethod,timestamp,filePath,fileMediatype\n"
      "m1,d1,s1,motion detection,2021-03-05T22:10:05+01:00,m1.jpg,image/jpeg\n"
      "m2,d1,s1,motion detection,2021-03-05T22:10:07+01:00,m2.jpg,image/jpeg\n"
      "m3,d2,s2,motion detection,2021-03-10T03:00:00+01:00,m3.jpg,image/jpeg\n";
  pkg.observations =
      "observationID,deploymentID,sequenceID,mediaID,timestamp,observationType,cameraSetup,scientificName,count\n"
      "o1,d1,s1,m1,2021-03-05T22:10:05+01:00,animal,false,Vulpes vulpes,1\n"
      "o2,d1,s1,,2021-03-05T22:10:05+01:00,animal,false,Vulpes vulpes,2\n"
      "o3,d2,s2,,2021-03-10T03:00:00+01:00,animal,false,Meles meles,3\n"
      "o4,d2,s3,,2021-03-12T04:00:00+01:00,blank,false,,\n"
      "o5,d1,s4,m9,2021-03-13T04:00:00+01:00,animal,false,Meles meles,1\n";
  const auto old = run({"--group-by", "array"}, dir / "old");
  ASSERT_EQ(old.status, importtest::successStatus()) << old.err;
  EXPECT_EQ(old.out.rfind("Camtrap DP 0.1.6 package ", 0), 0u) << old.out;

  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/1.0/camtrap-dp-profile.json";
  pkg.deployments =
      "deploymentID,locationID,locationName,latitude,longitude,deploymentStart,deploymentEnd,deploymentGroups,"
      "deploymentTags\n"
      "d1,L1,North ridge,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,session:spring | "
      "array:North,a|b\n"
      "d2,L2,South creek,50.80,4.36,2021-03-02T08:00:00+01:00,2021-04-02T08:00:00+02:00,session:spring | "
      "array:South,\n";
  pkg.media =
      "mediaID,deploymentID,captureMethod,timestamp,filePath,filePublic,fileMediatype\n"
      "m1,d1,activityDetection,2021-03-05T22:10:05+01:00,m1.jpg,true,image/jpeg\n"
      "m2,d1,activityDetection,2021-03-05T22:10:07+01:00,m2.jpg,true,image/jpeg\n"
      "m3,d2,activityDetection,2021-03-10T03:00:00+01:00,m3.jpg,true,image/jpeg\n";
  pkg.observations =
      "observationID,deploymentID,mediaID,eventID,eventStart,eventEnd,observationLevel,observationType,"
      "scientificName,count\n"
      "o1,d1,m1,s1,2021-03-05T22:10:05+01:00,2021-03-05T22:10:05+01:00,media,animal,Vulpes vulpes,1\n"
      "o2,d1,,s1,2021-03-05T22:10:05+01:00,2021-03-05T22:10:07+01:00,event,animal,Vulpes vulpes,2\n"
      "o3,d2,,s2,2021-03-10T03:00:00+01:00,2021-03-10T03:00:00+01:00,event,animal,Meles meles,3\n"
      "o4,d2,,s3,2021-03-12T04:00:00+01:00,2021-03-12T04:00:00+01:00,event,blank,,\n"
      "o5,d1,m9,s4,2021-03-13T04:00:00+01:00,2021-03-13T04:00:00+01:00,media,animal,Meles meles,1\n";
  const auto rewritten = run({"--group-by", "array"}, dir / "new");
  ASSERT_EQ(rewritten.status, importtest::successStatus()) << rewritten.err;

  for (const char* file : {"Input.txt", "GroupMap.txt", "AllPictures.txt"})
    EXPECT_EQ(mvtest::readFile(dir / "old" / file), mvtest::readFile(dir / "new" / file)) << file;
  EXPECT_EQ(summaryBody(old.out), summaryBody(rewritten.out));
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "old" / "AllPictures.txt"), (Lines{
      "North ridge               Vulpes vulpes             2021  3  5 22 10  5  1",
      "South creek               Meles meles               2021  3 10  3  0  0  3",
  }));
  EXPECT_EQ(mvtest::readLines(dir / "old" / "GroupMap.txt"), (Lines{
      "North ridge               North",
      "South creek               South",
  }));
  // clang-format on
  EXPECT_EQ(mvtest::readLines(dir / "old" / "Input.txt").at(0), "Ridge and creek");
  EXPECT_TRUE(hasLine(old.out, "    event has media-based observations          1")) << old.out;
  EXPECT_TRUE(hasLine(old.out, "    mediaID not in media.csv                    1")) << old.out;
}

TEST_F(ImportPackage, VersionsThatAreNotRead) {
  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/0.2/camtrap-dp-profile.json";
  expectFailure("the package follows Camtrap DP 0.2; only versions 0.1.x and 1.x are read");
  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/2.0/camtrap-dp-profile.json";
  expectFailure("the package follows Camtrap DP 2.0; only versions 0.1.x and 1.x are read");
  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/0.1.6/camtrap-dp-profile.json";
  expectFailure("deployments.csv has no column start");
}

TEST_F(ImportPackage, ElevationsFromTheDeploymentsTable) {
  pkg.deployments =
      "deploymentID,locationName,latitude,longitude,deploymentStart,deploymentEnd,elevation\n"
      "d1,Hill,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,120.4\n"
      "d2,Hill,50.85,4.35,2021-04-01T08:00:00+02:00,2021-05-01T08:00:00+02:00,121.6\n"
      "d3,Vale,50.80,4.30,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  const auto r = run();
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  const Lines input = mvtest::readLines(study() / "Input.txt");
  // Hill: the mean of 120.4 and 121.6; Vale has none.
  EXPECT_EQ(elevationOf(input.at(2)), "Hill 121");
  EXPECT_EQ(elevationOf(input.at(6)), "Vale 0");
  EXPECT_TRUE(hasLine(r.out,
                      "Elevations: 1 of 2 locations have none (elevation 0, which Morvelstrand reads as \"no "
                      "position\")"))
      << r.out;
  EXPECT_TRUE(hasLine(r.out,
                      "  Without them in the report: GROUP UTM AND ELEVATION AVERAGES, DISTANCE BETWEEN GROUPS, "
                      "AREA OF EACH GROUP, SPECIES BY GROUP WITH UTM AND ELEVATION, the groups sorted by "
                      "elevation; on the page: the map of group positions"))
      << r.out;
  EXPECT_TRUE(hasLine(r.out,
                      "  To fill them: an elevation (or altitude) column in deployments.csv, --elevation FILE (a "
                      "CSV with locationID or locationName and elevation in metres), or --default-elevation "
                      "METRES"))
      << r.out;

  // An altitude column serves too; the file and the default fill the rest,
  // and the file wins over the column.
  pkg.deployments = pkg.deployments.replace(pkg.deployments.find("elevation"), 9, "altitude");
  mvtest::writeFile(dir / "elev.csv", "locationName,elevation\nHill,300\n");
  const auto f = run({"--force", "--elevation", (dir / "elev.csv").string(), "--default-elevation", "80"});
  ASSERT_EQ(f.status, importtest::successStatus()) << f.err;
  EXPECT_EQ(elevationOf(mvtest::readLines(study() / "Input.txt").at(2)), "Hill 300");
  EXPECT_EQ(elevationOf(mvtest::readLines(study() / "Input.txt").at(6)), "Vale 80");
  EXPECT_EQ(f.out.find("Elevations:"), std::string::npos) << f.out;
  run({"--force", "--default-elevation", "80"});
  EXPECT_EQ(elevationOf(mvtest::readLines(study() / "Input.txt").at(2)), "Hill 121");

  // When no location has one, the block says the sections are empty.
  pkg = {};
  pkg.deployments += "d1,L1,,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  const auto none = run({"--force"});
  EXPECT_TRUE(
      hasLine(none.out, "Elevations: no location has one (elevation 0, which Morvelstrand reads as \"no position\")"))
      << none.out;
  EXPECT_TRUE(hasLine(none.out,
                      "  Empty in the report: GROUP UTM AND ELEVATION AVERAGES, DISTANCE BETWEEN GROUPS, AREA OF "
                      "EACH GROUP, SPECIES BY GROUP WITH UTM AND ELEVATION, the groups sorted by elevation; on the "
                      "page: the map of group positions"))
      << none.out;

  pkg.deployments =
      "deploymentID,locationName,latitude,longitude,deploymentStart,deploymentEnd,elevation\n"
      "d1,Hill,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,high\n";
  expectFailure("deployments.csv row 2: elevation \"high\" is not a number");
  pkg.deployments =
      "deploymentID,locationName,latitude,longitude,deploymentStart,deploymentEnd,elevation\n"
      "d1,Hill,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,123456\n";
  expectFailure("location \"Hill\": elevation 123456 in deployments.csv does not fit the five columns of Input.txt");
}

TEST_F(ImportPackage, GroupsByTheWholeDeploymentGroupsValue) {
  pkg.deployments += "d1,L1,,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,Group 1\n";
  pkg.deployments += "d2,L2,,50.85,4.36,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,Group  2\n";
  pkg.deployments += "d3,L3,,50.85,4.37,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,Group 1\n";
  const auto r = run({"--group-by", "groups"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "GroupMap.txt"), (Lines{
      "L1                        Group 1",
      "L2                        Group 2",
      "L3                        Group 1",
  }));
  // clang-format on
  EXPECT_TRUE(hasLine(r.out, "  Groups                2 (by the whole value of deploymentGroups)")) << r.out;
  pkg.deployments += "d4,L4,,50.85,4.38,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  expectFailure("location \"L4\" has no deploymentGroups value in its deployments (use --group-by location)",
                {"--group-by", "groups", "--force"});
}

TEST_F(ImportPackage, TitleFromThePackageThenItsProjectThenTheFolder) {
  pkg.deployments += "d1,L1,,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  const auto titleOf = [&](const std::string& extra, std::vector<std::string> args = {}) {
    pkg.descriptorExtra = extra;
    args.push_back("--force");
    const auto r = run(args);
    EXPECT_EQ(r.status, importtest::successStatus()) << r.err;
    return mvtest::readLines(study() / "Input.txt").at(0);
  };
  EXPECT_EQ(titleOf("\"title\": \"Package title\", \"project\": {\"title\": \"Project title\"},"), "Package title");
  EXPECT_EQ(titleOf("\"title\": \" \", \"project\": {\"title\": \"Project title\"},"), "Project title");
  EXPECT_EQ(titleOf("\"title\": \"Package title\",", {"--title", "Mine"}), "Mine");
  // Neither: the package's name ("small"), else the folder's.
  EXPECT_EQ(titleOf(""), "small");
  pkg.name = "";
  EXPECT_EQ(titleOf(""), "pkg");
}

// Refusals, each naming the table, the row or the folder at fault.
TEST_F(ImportPackage, TablesRowsAndFoldersThatAreRefused) {
  pkg.deployments += "d1,L1,,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  pkg.media += "m1,d1,2021-03-02T10:00:00+01:00\nm2,d1,2021-03-02T10:00:05+01:00\nm1,d1,2021-03-03T10:00:00+01:00\n";
  expectFailure("media.csv row 4: mediaID m1 appears twice");

  pkg.media = "mediaID,deploymentID,timestamp\n";
  pkg.observations += "o1,d1,,e1,2021-03-02T10:00:00+01:00,event,animal,Vulpes vulpes,1\n";
  pkg.observations += "o2,d1,,e2,2021-03-02T10:00:00+01:00,event,animal,Vulpes vulpes,1,extra\n";
  expectFailure("observations.csv row 3 has 10 fields, more than the 9 of its header");

  pkg = {};
  pkg.deployments += "d1,L1,,50.85,4.35,2021-03-01T08:00:00+01:00,2021-04-01T08:00:00+02:00,\n";
  importtest::writePackage(package(), pkg);
  fs::remove(package() / "media.csv");
  fs::create_directories(package() / "media.csv");
  auto r = runImport({package().string(), study().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvelstrand-import: " + (package() / "media.csv").string() + " is a folder, not a CSV file\n");
  fs::remove(package() / "media.csv");

  // STUDY_DIR names a file: refused before the package is read, and the
  // file is left as it was.
  importtest::writePackage(package(), pkg);
  mvtest::writeFile(dir / "a-file", "mine\n");
  for (const std::vector<std::string>& extra : {std::vector<std::string>{}, std::vector<std::string>{"--force"}}) {
    std::vector<std::string> args{(dir / "nothing").string(), (dir / "a-file").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    r = runImport(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morvelstrand-import: " + (dir / "a-file").string() +
                         " is a file, not a folder: STUDY_DIR is the folder the study is written to\n");
    EXPECT_EQ(mvtest::readFile(dir / "a-file"), "mine\n");
  }
}
