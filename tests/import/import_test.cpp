// Imports of the hand-written packages under tests/import/data, compared
// line by line with the files Morvelstrand reads. Every expected UTM value
// was computed independently (Krueger series on WGS84) and every date and
// time converted by hand from the package's timestamps.
#include <gtest/gtest.h>

#include "import_support.hpp"

namespace fs = std::filesystem;
using importtest::dataDir;
using importtest::runImport;
using importtest::summaryLines;
using Lines = std::vector<std::string>;

// forest: four deployments at three locations ("Beek, upper" twice; loc-b
// known only by its locationID; a name longer than 25 characters), media and
// event observations, quoted fields with commas, doubled quotes and line
// breaks, observations.csv with CR LF.
TEST(ImportForest, WritesTheThreeFilesExactly) {
  mvtest::TempDir dir;
  const fs::path pkg = dataDir("forest");
  const auto r = runImport({pkg.string(), (dir / "study").string(), "--elevation", (pkg / "elevations.csv").string(),
                            "--default-elevation", "30"});
  ASSERT_TRUE(fs::exists(dir / "study" / "AllPictures.txt")) << r.err;
  // Beek, upper: the mean of its two deployments' positions. Its first
  // deployment ends at 00:30 +02:00 on 16 April, which is 23:30 on 15 April
  // on the camera's clock (+01:00, the offset of its start). Heide plot
  // starts at 00:30 +01:00 on 1 March: its local date, not the UTC date.
  // Elevations 35.4 and 41.6 from the file are rounded; Heide plot is not
  // in the file and takes the default 30.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "study" / "Input.txt"), (Lines{
      "Forest edge camera traps",
      "3",
      "Beek, upper               584578 5628282    35",
      "2",
      "2021 3 1 2021 4 15",
      "2021 5 1 2021 6 30",
      "loc-b                     585250 5629394    42",
      "1",
      "2021 3 2 2021 6 1",
      "Heide plot with a very lo 583877 5627147    30",
      "1",
      "2021 3 1 2022 1 10",
      "4",
      "Vulpes vulpes",
      "Meles meles",
      "Capreolus capreolus",
      "Sus scrofa",
  }));
  EXPECT_EQ(mvtest::readLines(dir / "study" / "GroupMap.txt"), (Lines{
      "Beek, upper               Beek, upper",
      "loc-b                     loc-b",
      "Heide plot with a very lo Heide plot with a very lo",
  }));
  // clang-format on
  // Sorted by group, species (in order of first appearance) and time. The
  // badger of m3 (21:10 UTC) shows 22:10 on the camera's clock; o19 is an
  // event at 23:30 UTC, 00:30 the next day on the clock; o8's count of 120
  // is written as 99; o2 has no count and shows 1; the event o4 is left
  // out because media-based observations describe its event e1.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "study" / "AllPictures.txt"), (Lines{
      "Beek, upper               Vulpes vulpes             2021  3  5 22 10  5  1",
      "Beek, upper               Vulpes vulpes             2021  3  5 22 10  7  1",
      "Beek, upper               Meles meles               2021  3  5 22 10  0  2",
      "Beek, upper               Meles meles               2021  3 11  0 30  0  1",
      "Beek, upper               Capreolus capreolus       2021  5 20 23 59 59  1",
      "Beek, upper               Sus scrofa                2021  5 10  3  0  0 99",
      "Heide plot with a very lo Vulpes vulpes             2021  3  1  0 45  0  1",
      "loc-b                     Vulpes vulpes             2021  4  1 23 30  0  1",
      "loc-b                     Capreolus capreolus       2021  4  2  5  0  0  3",
  }));
  // clang-format on
  // Every line ends with CR LF, the last one included.
  const std::string raw = mvtest::readFile(dir / "study" / "GroupMap.txt");
  EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");

  // clang-format off
  EXPECT_EQ(summaryLines(r.out), (Lines{
      "Camtrap DP 1.0 package " + pkg.string(),
      "  Title                 Forest edge camera traps",
      "  Clock                 each deployment's own (the UTC offset written in its deploymentStart)",
      "  Locations             3 (from 4 deployments, one operating period each)",
      "  Groups                3 (each location its own group)",
      "  Species               4",
      "  Pictures              9 (6 media-based, 3 event-based)",
      "  Skipped observations  10",
      "    observationType blank                       1",
      "    observationType human                       1",
      "    timestamp outside its deployment            1",
      "    invalid timestamp                           1",
      "    deploymentID not in deployments.csv         1",
      "    mediaID not in media.csv                    1",
      "    animal without scientificName               1",
      "    invalid count                               1",
      "    observationType unclassified                1",
      "    event has media-based observations          1",
      "  Names cut to 25       2",
      "    location \"Heide plot with a very long name indeed\" written as \"Heide plot with a very lo\"",
      "    group \"Heide plot with a very long name indeed\" written as \"Heide plot with a very lo\"",
      "  Counts above 99       1 picture written with 99 individuals",
      "  UTM zone              31N (EPSG:32631), the zone of the locations' centroid 50.80003, 4.20007",
      "Warning: 1 deployment has media or observations written with a UTC offset other than the deployment's "
      "(dep1): they are written on the deployment's clock; give --time-zone ZONE or --utc-offset +HH:MM to put "
      "every time on one clock",
      "Note: 1 row of elevations.csv names no location of the package",
      "Note: 1 location is not in elevations.csv and takes the default elevation 30",
      "Wrote Input.txt, GroupMap.txt and AllPictures.txt in " + (dir / "study").string(),
  }));
  // clang-format on
}

TEST(ImportForest, GroupsByADeploymentGroupsKey) {
  mvtest::TempDir dir;
  const auto r = runImport({dataDir("forest").string(), dir.path().string(), "--group-by=area"});
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "GroupMap.txt"), (Lines{
      "Beek, upper               North",
      "loc-b                     South",
      "Heide plot with a very lo South",
  }));
  // clang-format on
  // Group North first, then South; within South the species in order of
  // first appearance, loc-b and Heide plot mixed in time order.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "AllPictures.txt"), (Lines{
      "Beek, upper               Vulpes vulpes             2021  3  5 22 10  5  1",
      "Beek, upper               Vulpes vulpes             2021  3  5 22 10  7  1",
      "Beek, upper               Meles meles               2021  3  5 22 10  0  2",
      "Beek, upper               Meles meles               2021  3 11  0 30  0  1",
      "Beek, upper               Capreolus capreolus       2021  5 20 23 59 59  1",
      "Beek, upper               Sus scrofa                2021  5 10  3  0  0 99",
      "Heide plot with a very lo Vulpes vulpes             2021  3  1  0 45  0  1",
      "loc-b                     Vulpes vulpes             2021  4  1 23 30  0  1",
      "loc-b                     Capreolus capreolus       2021  4  2  5  0  0  3",
  }));
  // clang-format on
  // Without elevations every location has 0, and the summary says what
  // that means.
  const Lines input = mvtest::readLines(dir / "Input.txt");
  ASSERT_GE(input.size(), 3u);
  EXPECT_EQ(input[2], "Beek, upper               584578 5628282     0");
  const Lines s = summaryLines(r.out);
  EXPECT_NE(std::find(s.begin(), s.end(), "  Groups                2 (by area of deploymentGroups)"), s.end());
  EXPECT_NE(std::find(s.begin(), s.end(),
                      "Elevations: no location has one (elevation 0, which Morvelstrand reads as \"no position\")"),
            s.end())
      << r.out;
}

// savanna: southern hemisphere, locations in UTM zones 34 and 35 put into the
// zone of their centroid (35S), event-based observations only (media.csv has
// its header only), observations in two parts with ";" as delimiter, a
// UTF-8 name cut before a two-byte character, a species name cut to 25.
TEST(ImportSavanna, WritesTheThreeFilesExactly) {
  mvtest::TempDir dir;
  const auto r = runImport(
      {dataDir("savanna").string(), dir.path().string(), "--group-by", "block", "--default-elevation", "1100"});
  ASSERT_TRUE(fs::exists(dir / "AllPictures.txt")) << r.err;
  // s1 ends at 23:00 UTC on 20 January: 01:00 on the 21st at +02:00. s2
  // starts at 22:30 UTC, so its clock is UTC: 31 December. s3 stops on the
  // leap day.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "Input.txt"), (Lines{
      "Savanna waterholes",
      "3",
      "Point d'eau pr\xC3\xA8s du mar  187335 7220389  1100",
      "1",
      "2019 12 30 2020 1 21",
      "Koppie                    204395 7225205  1100",
      "1",
      "2019 12 31 2020 2 15",
      "Drift                     217840 7209969  1100",
      "1",
      "2020 1 5 2020 2 29",
      "4",
      "Panthera leo",
      "Loxodonta africana",
      "Syncerus caffer",
      "Tragelaphus strepsiceros",
  }));
  // clang-format on
  // "block: East" of Drift is the same group as "block:East" of Koppie.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "GroupMap.txt"), (Lines{
      "Point d'eau pr\xC3\xA8s du mar  West",
      "Koppie                    East",
      "Drift                     East",
  }));
  // clang-format on
  // a1 at 21:55 UTC is 23:55 at +02:00; a3 at 12:00 +02:00 is 10:00 on
  // Koppie's UTC clock; a2 and a4 have no count; a5's 250 becomes 99; a6
  // lies before Drift's start and is left out.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "AllPictures.txt"), (Lines{
      "Koppie                    Loxodonta africana        2020  1  2 10  0  0 14",
      "Koppie                    Loxodonta africana        2020  1  2 10 30  0  1",
      "Drift                     Syncerus caffer           2020  2 29 11  0  0 99",
      "Koppie                    Tragelaphus strepsiceros  2020  1  3  3  0  0  1",
      "Point d'eau pr\xC3\xA8s du mar  Panthera leo              2019 12 31 23 55  0  2",
      "Point d'eau pr\xC3\xA8s du mar  Panthera leo              2020  1  1  0 30  0  1",
  }));
  EXPECT_EQ(summaryLines(r.out), (Lines{
      "Camtrap DP 1.0.1 package " + dataDir("savanna").string(),
      "  Title                 Savanna waterholes",
      "  Clock                 each deployment's own (the UTC offset written in its deploymentStart)",
      "  Locations             3 (from 3 deployments, one operating period each)",
      "  Groups                2 (by block of deploymentGroups)",
      "  Species               4",
      "  Pictures              6 (0 media-based, 6 event-based)",
      "  Skipped observations  2",
      "    timestamp outside its deployment            1",
      "    observationType blank                       1",
      "  Names cut to 25       2",
      "    location \"Point d'eau pr\xC3\xA8s du mar\xC3\xA9" "cage\" written as \"Point d'eau pr\xC3\xA8s du mar\"",
      "    species \"Tragelaphus strepsiceros subsp. strepsiceros\" written as \"Tragelaphus strepsiceros\"",
      "  Counts above 99       1 picture written with 99 individuals",
      "  UTM zone              35S (EPSG:32735), the zone of the locations' centroid -25.12000, 24.05667",
      "Warning: 2 deployments have media or observations written with a UTC offset other than the deployments' "
      "(s1, s2): they are written on the deployment's clock; give --time-zone ZONE or --utc-offset +HH:MM to put "
      "every time on one clock",
      "Wrote Input.txt, GroupMap.txt and AllPictures.txt in " + dir.path().string(),
  }));
  // clang-format on
}

TEST(ImportSavanna, TitleFromTheCommandLineIsCutTo75) {
  mvtest::TempDir dir;
  const std::string longTitle(80, 'x');
  runImport({dataDir("savanna").string(), dir.path().string(), "--title", "  Dry\nseason " + longTitle});
  const Lines input = mvtest::readLines(dir / "Input.txt");
  ASSERT_FALSE(input.empty());
  EXPECT_EQ(input[0], "Dry season " + std::string(64, 'x'));
}

// Small packages written on the spot for the cases that must fail or warn.
class ImportSmall : public ::testing::Test {
 protected:
  importtest::SmallPackage pkg;
  mvtest::TempDir dir;
  fs::path package() const { return dir / "pkg"; }
  fs::path study() const { return dir / "study"; }
  // Most of these packages are written in UTC, and analysed in UTC.
  std::vector<std::string> clock{"--time-zone", "UTC"};
  importtest::Run run(std::vector<std::string> extra = {}) {
    importtest::writePackage(package(), pkg);
    std::vector<std::string> args{package().string(), study().string()};
    args.insert(args.end(), clock.begin(), clock.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return runImport(args);
  }
  // The run fails with exactly this message and writes nothing.
  void expectFailure(const std::string& message, std::vector<std::string> extra = {}) {
    const auto r = run(extra);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morvelstrand-import: " + message + "\n");
    EXPECT_FALSE(fs::exists(study() / "Input.txt"));
  }
  void addDeployment(const std::string& line) { pkg.deployments += line + "\n"; }
  void addObservation(const std::string& line) { pkg.observations += line + "\n"; }
};

TEST_F(ImportSmall, LocationNamesThatCollideWhenCut) {
  addDeployment("d1,,Camera station north ridge 01,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addDeployment("d2,,Camera station north ridge 02,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  expectFailure(
      "locations \"Camera station north ridge 01\" and \"Camera station north ridge 02\" are both "
      "\"Camera station north ridg\" when cut to 25 characters; rename one of them in the package");
}

TEST_F(ImportSmall, SpeciesNamesThatCollideWhenCut) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addObservation("o1,d1,,e1,2021-01-02T00:00:00Z,event,animal,Tragelaphus strepsiceros strepsiceros,1");
  addObservation("o2,d1,,e2,2021-01-03T00:00:00Z,event,animal,Tragelaphus strepsiceros chora,1");
  expectFailure(
      "species \"Tragelaphus strepsiceros strepsiceros\" and \"Tragelaphus strepsiceros chora\" are "
      "both \"Tragelaphus strepsiceros\" when cut to 25 characters; rename one of them in the package");
}

TEST_F(ImportSmall, GroupNamesThatCollideWhenCut) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,site:Nationaal Park Hoge Kempen east");
  addDeployment("d2,L2,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,site:Nationaal Park Hoge Kempen west");
  expectFailure(
      "groups \"Nationaal Park Hoge Kempen east\" and \"Nationaal Park Hoge Kempen west\" are both "
      "\"Nationaal Park Hoge Kempe\" when cut to 25 characters; rename one of them in the package",
      {"--group-by", "site"});
}

TEST_F(ImportSmall, GroupKeyMissingOrTwoGroupsForOneLocation) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,area:A");
  addDeployment("d2,L2,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,season:2021");
  expectFailure(
      "location \"L2\" has no \"area:value\" in the deploymentGroups of its deployments (use "
      "--group-by location, or another key)",
      {"--group-by", "area"});
  addDeployment("d3,L1,,51,4,2021-03-01T00:00:00Z,2021-04-01T00:00:00Z,area:B");
  expectFailure(
      "location \"L1\" has deployments in two groups of area, \"A\" and \"B\"; a location belongs to "
      "one group",
      {"--group-by", "area"});
}

TEST_F(ImportSmall, PackagesThatCannotBeRead) {
  pkg.profile = "https://raw.githubusercontent.com/tdwg/camtrap-dp/2.0/camtrap-dp-profile.json";
  expectFailure("the package follows Camtrap DP 2.0; only versions 0.1.x and 1.x are read");
  pkg = {};
  pkg.deployments = "deploymentID,locationName,deploymentEnd\n";
  expectFailure("deployments.csv has no column deploymentStart");
  pkg = {};
  addDeployment("d1,L1,,51,4,2021-01-01,2021-02-01T00:00:00Z,");
  expectFailure(
      "deployment d1: deploymentStart \"2021-01-01\" is not a date and time such as "
      "2021-03-04T17:05:09+02:00");
  pkg = {};
  addDeployment("d1,L1,,51,4,2021-02-01T00:00:00Z,2021-01-01T00:00:00Z,");
  expectFailure("deployment d1 ends before it starts");
  pkg = {};
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addDeployment("d1,L2,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  expectFailure("deployments.csv row 3: deploymentID d1 appears twice");
  pkg = {};
  expectFailure("deployments.csv lists no deployment");

  const auto r = runImport({(dir / "nothing").string(), study().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvelstrand-import: cannot open " + (dir / "nothing" / "datapackage.json").string() + " (is " +
                       (dir / "nothing").string() + " a Camtrap DP package?)\n");
}

TEST_F(ImportSmall, ResourcePathsStayInsideThePackage) {
  importtest::writePackage(package(), pkg);
  mvtest::writeFile(package() / "datapackage.json",
                    "{\"resources\": [{\"name\": \"deployments\", \"path\": \"../elsewhere.csv\"}]}");
  auto r = runImport({package().string(), study().string()});
  EXPECT_EQ(r.err,
            "morvelstrand-import: datapackage.json: resource deployments points outside the package "
            "(../elsewhere.csv)\n");
  mvtest::writeFile(package() / "datapackage.json",
                    "{\"resources\": [{\"name\": \"deployments\", \"path\": \"https://example.org/d.csv\"}]}");
  r = runImport({package().string(), study().string()});
  EXPECT_EQ(r.err,
            "morvelstrand-import: datapackage.json: resource deployments is a remote file "
            "(https://example.org/d.csv); download the package first\n");
  mvtest::writeFile(package() / "datapackage.json", "{\"resources\": [");
  r = runImport({package().string(), study().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("morvelstrand-import: " + (package() / "datapackage.json").string() + " is not valid JSON", 0),
            0u)
      << r.err;
}

TEST_F(ImportSmall, ALocationTooFarFromTheStudysZone) {
  // The centroid lies in zone 36; a location at longitude 0 is 33 degrees
  // from that zone's meridian, far outside the columns of Input.txt.
  addDeployment("d1,Far,,0.5,0,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addDeployment("d2,Near,,0.5,60,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  expectFailure(
      "location \"Far\" lies too far from UTM zone 36N (the zone of the study's centre) to fit the "
      "columns of Input.txt");
}

TEST_F(ImportSmall, MissingPositionsLocationsAndElevationConflicts) {
  // No coordinates at all, and a deployment with neither locationName nor
  // locationID, which becomes a location named after itself.
  clock = {};
  addDeployment("d1,L1,,,,2021-01-01T00:00:00+01:00,2021-02-01T00:00:00+01:00,");
  addDeployment("d2,,,north,4,2021-01-01T00:00:00+01:00,2021-02-01T00:00:00+01:00,");
  addObservation("o1,d2,,e1,2021-01-02T10:00:00+01:00,,animal,Vulpes vulpes,0");
  const auto r = run({"--default-elevation", "+12"});
  EXPECT_EQ(r.status, importtest::successStatus()) << r.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "Input.txt"), (Lines{
      "small",
      "2",
      "L1                             0       0    12",
      "1",
      "2021 1 1 2021 2 1",
      "d2                             0       0    12",
      "1",
      "2021 1 1 2021 2 1",
      "1",
      "Vulpes vulpes",
  }));
  // clang-format on
  // A count of 0 is kept: the program accepts 0 individuals.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"), (Lines{
      "d2                        Vulpes vulpes             2021  1  2 10  0  0  0",
  }));
  // clang-format on
  const Lines s = summaryLines(r.out);
  for (const char* note :
       {"Note: 1 deployment has neither locationName nor locationID; each such deployment is a location named "
        "after its deploymentID",
        "Note: 2 deployments have no usable latitude and longitude; a location's position is the mean of those "
        "of its deployments that have one",
        "Note: 2 locations have no coordinates: the UTM position is 0 0 (not given)"})
    EXPECT_NE(std::find(s.begin(), s.end(), note), s.end()) << note << "\n" << r.out;

  mvtest::writeFile(dir / "elev.csv", "locationID,elevation\nL1,100\nL1,101\n");
  const auto c = runImport({package().string(), (dir / "other").string(), "--elevation", (dir / "elev.csv").string()});
  EXPECT_EQ(c.err, "morvelstrand-import: elev.csv gives location \"L1\" two elevations, 100 and 101\n");
  mvtest::writeFile(dir / "elev.csv", "name,elevation\nL1,100\n");
  const auto d = runImport({package().string(), (dir / "other").string(), "--elevation", (dir / "elev.csv").string()});
  EXPECT_EQ(d.err, "morvelstrand-import: elev.csv has neither a locationID nor a locationName column\n");
  mvtest::writeFile(dir / "elev.csv", "locationID,elevation\nL1,high\n");
  const auto e = runImport({package().string(), (dir / "other").string(), "--elevation", (dir / "elev.csv").string()});
  EXPECT_EQ(e.err, "morvelstrand-import: elev.csv row 2: elevation \"high\" is not a number\n");
}

TEST_F(ImportSmall, TaxaThatAreNotSpecies) {
  pkg.observations =
      "observationID,deploymentID,mediaID,eventID,eventStart,observationLevel,observationType,scientificName,"
      "count,taxonRank\n";
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addObservation("o1,d1,,e1,2021-01-02T00:00:00Z,event,animal,Vulpes vulpes,1,");
  addObservation("o2,d1,,e2,2021-01-03T00:00:00Z,event,animal,Aves,1,");             // one word
  addObservation("o3,d1,,e3,2021-01-04T00:00:00Z,event,animal,Martes sp.,1,genus");  // above species
  addObservation("o4,d1,,e4,2021-01-05T00:00:00Z,event,animal,Aves,2,class");
  const auto kept = run();
  EXPECT_EQ(kept.status, importtest::successStatus()) << kept.err;
  const Lines s = summaryLines(kept.out);
  EXPECT_NE(std::find(s.begin(), s.end(),
                      "  Not a species         3 observations of 2 taxa (Aves, Martes sp.); --species-only leaves "
                      "them out"),
            s.end())
      << kept.out;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt").size(), 4u);

  const auto dropped = run({"--species-only", "--force"});
  EXPECT_EQ(dropped.status, importtest::successStatus()) << dropped.err;
  const Lines t = summaryLines(dropped.out);
  EXPECT_NE(std::find(t.begin(), t.end(), "    taxon not a species (--species-only)        3"), t.end()) << dropped.out;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"),
            (Lines{"L1                        Vulpes vulpes             2021  1  2  0  0  0  1"}));
}

TEST_F(ImportSmall, ForceReplacesTheFilesAndRemovesTheOldRunsOutputs) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addObservation("o1,d1,,e1,2021-01-02T10:00:00Z,event,animal,Vulpes vulpes,1");
  fs::create_directories(study());
  for (const char* name : {"Input.txt", "OutputGroups.txt", "Reject.txt", "notes.txt"})
    mvtest::writeFile(study() / name, "old\r\n");
  // A link in place of a study file is replaced, not written through.
  mvtest::writeFile(dir / "elsewhere.txt", "a user's file\n");
  fs::create_symlink(dir / "elsewhere.txt", study() / "GroupMap.txt");
  const auto r = run({"--force"});
  EXPECT_EQ(r.status, importtest::successStatus()) << r.err;
  const Lines s = summaryLines(r.out);
  EXPECT_NE(std::find(s.begin(), s.end(),
                      "Removed OutputGroups.txt, Reject.txt of the earlier run (they belong to the replaced study)"),
            s.end())
      << r.out;
  EXPECT_EQ(mvtest::readLines(study() / "Input.txt").at(0), "small");
  EXPECT_EQ(mvtest::readFile(dir / "elsewhere.txt"), "a user's file\n");
  EXPECT_FALSE(fs::is_symlink(study() / "GroupMap.txt"));
  Lines names;
  for (const auto& e : fs::directory_iterator(study())) names.push_back(e.path().filename().string());
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  // clang-format off
  EXPECT_EQ(names, (Lines{"AllPictures.txt", "GroupMap.txt", "Input.txt", "elsewhere.txt", "notes.txt", "pkg",
                          "study"}));
  // clang-format on
}

TEST_F(ImportSmall, CountsWrittenWithAFractionOfZerosAreWholeNumbers) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addObservation("o1,d1,,e1,2021-01-02T10:00:00Z,event,animal,Vulpes vulpes,1.0");
  addObservation("o2,d1,,e2,2021-01-03T10:00:00Z,event,animal,Vulpes vulpes,2.00");
  addObservation("o3,d1,,e3,2021-01-04T10:00:00Z,event,animal,Vulpes vulpes,1.5");
  const auto r = run();
  EXPECT_EQ(r.status, importtest::successStatus()) << r.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"), (Lines{
      "L1                        Vulpes vulpes             2021  1  2 10  0  0  1",
      "L1                        Vulpes vulpes             2021  1  3 10  0  0  2",
  }));
  // clang-format on
}

TEST_F(ImportSmall, EventBasedObservationsStandInForUnusableMediaOnes) {
  addDeployment("d1,L1,,51,4,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  pkg.media += "m1,d1,2021-01-02T10:00:05Z\n";
  // e1 has a usable media-based observation; the one of e2 names a medium
  // that media.csv does not hold, so e2's event-based one is kept.
  addObservation("o1,d1,m1,e1,,media,animal,Vulpes vulpes,1");
  addObservation("o2,d1,,e1,2021-01-02T10:00:00Z,event,animal,Vulpes vulpes,3");
  addObservation("o3,d1,m9,e2,,media,animal,Meles meles,1");
  addObservation("o4,d1,,e2,2021-01-05T08:00:00Z,event,animal,Meles meles,2");
  const auto r = run();
  EXPECT_EQ(r.status, importtest::successStatus()) << r.err;
  Lines lines = mvtest::readLines(study() / "AllPictures.txt");
  std::sort(lines.begin(), lines.end());
  // clang-format off
  EXPECT_EQ(lines, (Lines{
      "L1                        Meles meles               2021  1  5  8  0  0  2",
      "L1                        Vulpes vulpes             2021  1  2 10  0  5  1",
  }));
  // clang-format on
}

TEST_F(ImportSmall, CamerasOnBothSidesOfTheEquator) {
  // The centre lies south of the equator (zone 36S); northings there count
  // from 10,000,000 m, so a camera north of it needs eight columns.
  addDeployment("d1,North,,0.5,33,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  addDeployment("d2,South,,-1.5,33,2021-01-01T00:00:00Z,2021-02-01T00:00:00Z,");
  const auto r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("morvelstrand-import: location \"North\" lies north of the equator and the study's centre "
                        "south of it: its northing in UTM zone 36S, 100",
                        0),
            0u)
      << r.err;
  EXPECT_NE(r.err.find(" m, does not fit the 7 columns of Input.txt\n"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(study()));
}
