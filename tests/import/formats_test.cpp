// Imports of a Wildlife Insights export (tests/import/data/asturias-wi) and
// of camtrapR tables (tests/import/data/camtrapr), both hand-made: the files
// written, the summary, the individuals per location and species against
// the source rows, a run of Morvelstrand on the study, and the inputs that
// must fail.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "driver/driver.hpp"
#include "import/command_line.hpp"
#include "import/day_dates.hpp"
#include "import/errors.hpp"
#include "import_support.hpp"

namespace fs = std::filesystem;
using importtest::dataDir;
using importtest::runImport;
using importtest::summaryLines;
using Lines = std::vector<std::string>;

namespace {

// Individuals per "location|species" in AllPictures.txt, names without
// their padding.
std::map<std::string, int> individualsOf(const fs::path& study) {
  std::map<std::string, int> sums;
  const auto unpad = [](std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  for (const std::string& line : mvtest::readLines(study / "AllPictures.txt"))
    sums[unpad(line.substr(0, 25)) + "|" + unpad(line.substr(26, 25))] += std::stoi(line.substr(line.size() - 2));
  return sums;
}

// Morvelstrand on the study with an independence period of 30 minutes.
void runMorvelstrand(const fs::path& study) {
  std::istringstream in;
  std::ostringstream out;
  mv::RunOptions options;
  options.period = 30;
  const int status = mv::run(study, in, out, options);
  if (!importtest::readersAreLive()) GTEST_SKIP() << "input readers not implemented yet";
  EXPECT_EQ(status, 0) << out.str();
  EXPECT_TRUE(fs::exists(study / "OutputGroups.txt"));
  EXPECT_FALSE(fs::exists(study / "Reject.txt"));
}

// A copy of a test export in which one file is replaced.
fs::path copyWith(const mvtest::TempDir& dir, const std::string& data, const std::string& file,
                  const std::string& text) {
  const fs::path copy = dir / "source";
  fs::create_directories(copy);
  fs::copy(dataDir(data), copy, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  if (!file.empty()) mvtest::writeFile(copy / file, text);
  return copy;
}

constexpr const char* kImagesHeader =
    "project_id,deployment_id,image_id,is_blank,class,order,family,genus,species,common_name,timestamp,"
    "number_of_objects\n";

}  // namespace

// asturias-wi: four deployments, two of them at one placename (with an
// accent and slashes), one without a placename; a blank, a human, a vehicle
// and an unknown row; a family and a genus without species; an image after
// its deployment's last day; an unknown deployment; a count of 120.
TEST(ImportWildlifeInsights, WritesTheStudyAndSkipsByKind) {
  mvtest::TempDir dir;
  const fs::path src = dataDir("asturias-wi");
  const auto r = runImport({src.string(), (dir / "study").string(), "--default-elevation", "350"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // Río Trubia: the mean of its deployments' positions, one period each;
  // the dates from start_date and end_date.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "study" / "Input.txt"), (Lines{
      "Asturias valley cameras 2024",
      "3",
      "R\xC3\xADo Trubia 04/04/2024    256653 4798513   350",
      "2",
      "2024 4 4 2024 5 10",
      "2024 6 1 2024 6 30",
      "Collado                   258363 4800664   350",
      "1",
      "2024 4 5 2024 5 20",
      "dep-4                     257512 4799583   350",
      "1",
      "2024 4 10 2024 5 1",
      "6",
      "Vulpes vulpes",
      "Meles meles",
      "Capreolus capreolus",
      "Hystricidae",
      "Sus scrofa",
      "Martes",
  }));
  // The badger at 23:10 on the deployment's last day is in; times as the
  // camera wrote them; the empty number_of_objects is 1.
  EXPECT_EQ(mvtest::readLines(dir / "study" / "AllPictures.txt"), (Lines{
      "Collado                   Capreolus capreolus       2024  4 20  6 30  0  3",
      "Collado                   Hystricidae               2024  4 21  1  0  0  1",
      "Collado                   Martes                    2024  5  2  3 30  0  1",
      "R\xC3\xADo Trubia 04/04/2024    Vulpes vulpes             2024  4  9 12 15 36  1",
      "R\xC3\xADo Trubia 04/04/2024    Vulpes vulpes             2024  4  9 12 15 40  1",
      "R\xC3\xADo Trubia 04/04/2024    Meles meles               2024  5 10 23 10  0  2",
      "R\xC3\xADo Trubia 04/04/2024    Meles meles               2024  6 15  2  0  0  1",
      "dep-4                     Vulpes vulpes             2024  4 12 21  0  0  1",
      "dep-4                     Sus scrofa                2024  4 30 22  0  0 99",
  }));
  EXPECT_EQ(summaryLines(r.out), (Lines{
      "Wildlife Insights export " + src.string(),
      "  Title                 Asturias valley cameras 2024",
      "  Clock                 each camera's own, as written (the export gives no UTC offset)",
      "  Locations             3 (from 4 deployments, one operating period each)",
      "  Groups                3 (each location its own group)",
      "  Species               6",
      "  Pictures              9 (one per image and taxon)",
      "  Skipped observations  6",
      "    blank                                       1",
      "    human                                       1",
      "    vehicle                                     1",
      "    unidentified                                1",
      "    timestamp outside its deployment            1",
      "    deployment_id not in deployments.csv        1",
      "  Not a species         2 observations of 2 taxa (Hystricidae, Martes); --species-only leaves them out",
      "  Counts above 99       1 picture written with 99 individuals",
      "  UTM zone              30N (EPSG:32630), the zone of the locations' centroid 43.31003, -5.99003",
      "Note: 1 deployment has no placename; each such deployment is a location named after its deployment_id",
      "Wrote Input.txt, GroupMap.txt and AllPictures.txt in " + (dir / "study").string(),
  }));
  // clang-format on
}

TEST(ImportWildlifeInsights, IndividualsPerLocationAndSpeciesAreThoseOfTheSourceRows) {
  mvtest::TempDir dir;
  const auto r = runImport({dataDir("asturias-wi").string(), dir.path().string()});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // number_of_objects of the animal rows of images.csv, summed by hand:
  // i13 is after dep-4's end, i14's deployment is unknown, i12's 120 is
  // written as 99.
  const std::string river = "R\xC3\xADo Trubia 04/04/2024";
  EXPECT_EQ(individualsOf(dir.path()), (std::map<std::string, int>{
                                           {river + "|Vulpes vulpes", 2},       // i01, i02
                                           {river + "|Meles meles", 3},         // i05, i06 (dep-2)
                                           {"Collado|Capreolus capreolus", 3},  // i07
                                           {"Collado|Hystricidae", 1},          // i08
                                           {"Collado|Martes", 1},               // i15
                                           {"dep-4|Vulpes vulpes", 1},          // i11, empty count
                                           {"dep-4|Sus scrofa", 99},            // i12
                                       }));
}

TEST(ImportWildlifeInsights, ThenMorvelstrandRuns) {
  mvtest::TempDir dir;
  const auto r = runImport({dataDir("asturias-wi").string(), dir.path().string(), "--group-by", "subproject_name",
                            "--default-elevation", "350"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "GroupMap.txt"), (Lines{
      "R\xC3\xADo Trubia 04/04/2024    North",
      "Collado                   South",
      "dep-4                     South",
  }));
  // clang-format on
  const Lines s = summaryLines(r.out);
  EXPECT_NE(std::find(s.begin(), s.end(), "  Groups                2 (by subproject_name of deployments.csv)"), s.end())
      << r.out;
  runMorvelstrand(dir.path());
}

TEST(ImportWildlifeInsights, CommonNamesAndSpeciesOnly) {
  mvtest::TempDir dir;
  const auto r =
      runImport({dataDir("asturias-wi").string(), dir.path().string(), "--names", "common", "--species-only"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  const Lines input = mvtest::readLines(dir / "Input.txt");
  ASSERT_EQ(input.size(), 17u);
  EXPECT_EQ(Lines(input.begin() + 12, input.end()),
            (Lines{"4", "Red Fox", "Eurasian Badger", "Western Roe Deer", "Wild Boar"}));
  const Lines s = summaryLines(r.out);
  EXPECT_NE(std::find(s.begin(), s.end(), "    taxon not a species (--species-only)        2"), s.end()) << r.out;

  // Without a common_name column the scientific names still do; common
  // names cannot.
  const fs::path src = copyWith(dir, "asturias-wi", "images.csv",
                                "deployment_id,genus,species,timestamp\ndep-1,Vulpes,vulpes,2024-04-09 12:15:36\n");
  const auto scientific = runImport({src.string(), (dir / "scientific").string()});
  EXPECT_EQ(scientific.status, importtest::successStatus()) << scientific.err;
  EXPECT_EQ(mvtest::readLines(dir / "scientific" / "AllPictures.txt"),
            (Lines{"R\xC3\xADo Trubia 04/04/2024    Vulpes vulpes             2024  4  9 12 15 36  1"}));
  const auto common = runImport({src.string(), (dir / "common").string(), "--names", "common"});
  EXPECT_EQ(common.status, 1);
  EXPECT_EQ(common.err, "morvelstrand-import: images.csv has no column common_name\n");
}

TEST(ImportWildlifeInsights, AMangledDateIsAnErrorNamingFileAndLine) {
  mvtest::TempDir dir;
  fs::path src = copyWith(dir, "asturias-wi", "images.csv",
                          std::string(kImagesHeader) +
                              "p,dep-1,i1,0,Mammalia,Carnivora,Canidae,Vulpes,vulpes,Red Fox,2024-04-09 12:15:36,1\n"
                              "p,dep-1,i2,0,Mammalia,Carnivora,Canidae,Vulpes,vulpes,Red Fox,5/5/19 17:21,1\n");
  auto r = runImport({src.string(), (dir / "study").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "morvelstrand-import: images.csv line 3: timestamp \"5/5/19 17:21\" is not a date and time in the form "
            "2024-04-09 12:15:36 (year-month-day hour:minute:second, as Wildlife Insights exports it); a copy saved "
            "by a spreadsheet rewrites it, so import the original export\n");
  EXPECT_FALSE(fs::exists(dir / "study"));

  src = copyWith(dir, "asturias-wi", "deployments.csv",
                 "deployment_id,placename,latitude,longitude,start_date,end_date\n"
                 "dep-1,A,43.3,-6,4/4/2024,2024-05-10\n");
  r = runImport({src.string(), (dir / "study").string()});
  EXPECT_EQ(r.err,
            "morvelstrand-import: deployments.csv line 2: start_date \"4/4/2024\" is not a date in the form "
            "2019-04-17 or 2019-04-17 00:00:00 (year-month-day)\n");
  src = copyWith(dir, "asturias-wi", "deployments.csv", "deployment_id,placename,start_date\n");
  r = runImport({src.string(), (dir / "study").string()});
  EXPECT_EQ(r.err, "morvelstrand-import: deployments.csv has no column end_date\n");
  EXPECT_FALSE(fs::exists(dir / "study"));
}

// A row with neither genus nor a higher taxon, nor a common name to go by,
// names nothing; a species column that already holds the binomial is not
// doubled; an empty timestamp and a wrong count are skipped.
TEST(ImportWildlifeInsights, RowsThatNameNoTaxonOrHaveNoTime) {
  mvtest::TempDir dir;
  const fs::path src =
      copyWith(dir, "asturias-wi", "images.csv",
               std::string(kImagesHeader) + "p,dep-1,i1,,,,,,,Red Fox,2024-04-09 12:15:36,1\n" +
                   "p,dep-1,i2,0,Mammalia,Carnivora,Canidae,Vulpes,Vulpes vulpes,Red Fox,2024-04-09 13:00:00,1\n" +
                   "p,dep-1,i3,0,Mammalia,Carnivora,Canidae,Vulpes,vulpes,Red Fox,,1\n" +
                   "p,dep-1,i4,0,Mammalia,Carnivora,Canidae,Vulpes,vulpes,Red Fox,2024-04-09 14:00:00,two\n");
  const auto r = runImport({src.string(), (dir / "study").string()});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  EXPECT_EQ(mvtest::readLines(dir / "study" / "AllPictures.txt"),
            (Lines{"R\xC3\xADo Trubia 04/04/2024    Vulpes vulpes             2024  4  9 13  0  0  1"}));
  const Lines s = summaryLines(r.out);
  for (const char* line :
       {"    unidentified                                1", "    no timestamp                                1",
        "    invalid number_of_objects                   1"})
    EXPECT_NE(std::find(s.begin(), s.end(), line), s.end()) << line << "\n" << r.out;
}

// camtrapr: StationA with two cameras (two rows) and a problem of three
// days, StationB set up on an ISO date with two problems, StationC without;
// records on a problem day (one on its first day), after retrieval, without
// species and at an unknown station.
TEST(ImportCamtrapR, WritesTheStudyWithProblemDaysTakenOut) {
  mvtest::TempDir dir;
  const fs::path d = dataDir("camtrapr");
  const auto r = runImport({"--records", (d / "records.csv").string(), "--stations", (d / "stations.csv").string(),
                            (dir / "study").string(), "--utm-zone", "32N", "--count-column", "Individuals",
                            "--group-by", "Session", "--title", "Valley stations"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // The period stops the day before a problem and restarts the day after;
  // StationA's UTM position is the mean of its two cameras'.
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "study" / "Input.txt"), (Lines{
      "Valley stations",
      "3",
      "StationA                  522005 4762005     0",
      "3",
      "2019 4 2 2019 4 9",
      "2019 4 13 2019 4 30",
      "2019 5 1 2019 5 31",
      "StationB                  523500 4763200     0",
      "3",
      "2019 4 3 2019 4 19",
      "2019 4 21 2019 4 24",
      "2019 4 27 2019 4 28",
      "StationC                  521000 4761000     0",
      "1",
      "2019 4 5 2019 4 25",
      "3",
      "PBE",
      "VTA",
      "MMA",
  }));
  EXPECT_EQ(mvtest::readLines(dir / "study" / "GroupMap.txt"), (Lines{
      "StationA                  Upper",
      "StationB                  Lower",
      "StationC                  Lower",
  }));
  EXPECT_EQ(mvtest::readLines(dir / "study" / "AllPictures.txt"), (Lines{
      "StationC                  PBE                       2019  4 25 19 45 10  1",
      "StationB                  VTA                       2019  4 21  8  0  0  3",
      "StationC                  MMA                       2019  4  6 12  0  0  2",
      "StationA                  PBE                       2019  4  5 21  0  0  1",
      "StationA                  PBE                       2019  5 15 22  0  0  1",
      "StationA                  VTA                       2019  4 13  0 10  0  2",
  }));
  EXPECT_EQ(summaryLines(r.out), (Lines{
      "camtrapR tables " + (d / "records.csv").string() + " and " + (d / "stations.csv").string(),
      "  Title                 Valley stations",
      "  Clock                 each camera's own, as written (the tables give no UTC offset)",
      "  Locations             3 (from 4 rows of the station table; 7 operating periods, 3 problem periods taken out)",
      "  Groups                2 (by Session of the station table)",
      "  Species               3",
      "  Pictures              6 (one per record)",
      "  Skipped observations  5",
      "    record on a problem day of its station      2",
      "    record without Species                      1",
      "    record outside its station's dates          1",
      "    Station not in the station table            1",
      "  UTM zone              32N (EPSG:32632), as stated by --utm-zone; positions taken as written",
      "Elevations: no location has one (elevation 0, which Morvelstrand reads as \"no position\")",
      "  Empty in the report: GROUP UTM AND ELEVATION AVERAGES, DISTANCE BETWEEN GROUPS, AREA OF EACH GROUP, SPECIES "
      "BY GROUP WITH UTM AND ELEVATION, the groups sorted by elevation; on the page: the map of group positions",
      "  To fill them: --elevation FILE (a CSV with locationID or locationName and elevation in metres), or "
      "--default-elevation METRES",
      "Wrote Input.txt, GroupMap.txt and AllPictures.txt in " + (dir / "study").string(),
  }));
  // clang-format on
}

TEST(ImportCamtrapR, IndividualsPerLocationAndSpeciesAreThoseOfTheSourceRows) {
  mvtest::TempDir dir;
  const fs::path d = dataDir("camtrapr");
  const std::vector<std::string> tables{"--records", (d / "records.csv").string(), "--stations",
                                        (d / "stations.csv").string()};
  std::vector<std::string> args = tables;
  args.insert(args.end(), {(dir / "counted").string(), "--count-column", "Individuals"});
  auto r = runImport(args);
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // Individuals of the records, summed by hand: 2 (A, 10 April, a problem
  // day), 5 (B, 20 April, first day of a problem), 7 (no species), 8 (B,
  // after retrieval) and 10 (StationD) are out.
  EXPECT_EQ(individualsOf(dir / "counted"), (std::map<std::string, int>{
                                                {"StationA|PBE", 2},  // 1, 4 (second camera)
                                                {"StationA|VTA", 2},  // 3
                                                {"StationB|VTA", 3},  // 6
                                                {"StationC|MMA", 2},  // 9
                                                {"StationC|PBE", 1},  // 11, on the retrieval day, count NA
                                            }));
  // Without --count-column each record is one individual.
  args = tables;
  args.push_back((dir / "records").string());
  r = runImport(args);
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  EXPECT_EQ(
      individualsOf(dir / "records"),
      (std::map<std::string, int>{
          {"StationA|PBE", 2}, {"StationA|VTA", 1}, {"StationB|VTA", 1}, {"StationC|MMA", 1}, {"StationC|PBE", 1}}));
  const Lines s = summaryLines(r.out);
  EXPECT_NE(std::find(s.begin(), s.end(),
                      "  UTM zone              not stated (--utm-zone states it); positions taken as written"),
            s.end())
      << r.out;
  runMorvelstrand(dir / "records");
}

TEST(ImportCamtrapR, LatitudeLongitudeConvertedAndDateForms) {
  mvtest::TempDir dir;
  // Month first, as a spreadsheet in the United States writes it, one date
  // without leading zeros and one in ISO form.
  mvtest::writeFile(dir / "stations.csv",
                    "Station,lat,long,Setup_date,Retrieval_date\n"
                    "North,50.8,4.2,03/01/2021,4/30/2021\n"
                    "South,50.79,4.21,2021-03-02,04/30/2021\n");
  mvtest::writeFile(dir / "records.csv",
                    "Station,Species,DateTimeOriginal\n"
                    "North,Vulpes vulpes,2021-03-05 22:10:05\n"
                    "South,Meles meles,2021-04-30 23:59:59\n");
  const auto r = runImport({"--records", (dir / "records.csv").string(), "--stations", (dir / "stations.csv").string(),
                            (dir / "study").string(), "--date-format", "mm/dd/yyyy", "--title", "Lowland"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // Converted to zone 31N, the zone of the centroid (values from the
  // Krueger series on WGS84, computed apart from the program).
  // clang-format off
  EXPECT_EQ(mvtest::readLines(dir / "study" / "Input.txt"), (Lines{
      "Lowland",
      "2",
      "North                     584564 5628271     0",
      "1",
      "2021 3 1 2021 4 30",
      "South                     585287 5627170     0",
      "1",
      "2021 3 2 2021 4 30",
      "2",
      "Vulpes vulpes",
      "Meles meles",
  }));
  // clang-format on
}

TEST(ImportCamtrapR, BadTablesFailNamingFileAndLine) {
  mvtest::TempDir dir;
  const auto attempt = [&](const std::string& stations, const std::string& records,
                           std::vector<std::string> extra = {}) {
    mvtest::writeFile(dir / "stations.csv", stations);
    mvtest::writeFile(dir / "records.csv", records);
    std::vector<std::string> args{"--records", (dir / "records.csv").string(), "--stations",
                                  (dir / "stations.csv").string(), (dir / "study").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = runImport(args);
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(fs::exists(dir / "study"));
    return r.err;
  };
  const std::string records = "Station,Species,DateTimeOriginal\nA,PBE,2019-04-05 21:00:00\n";
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,02/04/2019,2019/04/30\n", records),
            "morvelstrand-import: stations.csv line 2: Retrieval_date \"2019/04/30\" is not a date in the form "
            "dd/mm/yyyy (or yyyy-mm-dd); --date-format gives the form of the station table's dates\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,02/04/19,30/04/2019\n", records),
            "morvelstrand-import: stations.csv line 2: Setup_date \"02/04/19\" is not a date in the form "
            "dd/mm/yyyy (or yyyy-mm-dd); --date-format gives the form of the station table's dates\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,02/04/2019,30/04/2019\n",
                    "Station,Species,DateTimeOriginal\nA,PBE,05/04/2019 21:00\n"),
            "morvelstrand-import: records.csv line 2: DateTimeOriginal \"05/04/2019 21:00\" is not a date and time "
            "in the form 2009-04-21 00:40:00 (year-month-day hour:minute:second)\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date,Problem1_from\nA,02/04/2019,30/04/2019,\n", records),
            "morvelstrand-import: stations.csv has a column Problem1_from but no Problem1_to\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date,Problem1_from,Problem1_to\n"
                    "A,02/04/2019,30/04/2019,10/04/2019,\n",
                    records),
            "morvelstrand-import: stations.csv line 2: station A has Problem1_from but no Problem1_to\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date,Problem1_from,Problem1_to\n"
                    "A,02/04/2019,30/04/2019,25/04/2019,02/05/2019\n",
                    records),
            "morvelstrand-import: stations.csv line 2: station A: the problem from Problem1_from to Problem1_to lies "
            "outside its Setup_date and Retrieval_date\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date,Problem1_from,Problem1_to\n"
                    "A,02/04/2019,30/04/2019,02/04/2019,30/04/2019\n",
                    records),
            "morvelstrand-import: stations.csv line 2: station A has no working day left once its problem days are "
            "taken out\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,30/04/2019,02/04/2019\n", records),
            "morvelstrand-import: stations.csv line 2: station A is retrieved before it is set up\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,02/04/2019,30/04/2019\n", records, {"--utm-zone", "33S"}),
            "morvelstrand-import: --utm-zone states the zone of UTM columns, and stations.csv has none (utm_x and "
            "utm_y, x and y, or easting and northing)\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date\nA,02/04/2019,30/04/2019\n", records, {"--count-column", "n"}),
            "morvelstrand-import: records.csv has no column n\n");
  EXPECT_EQ(attempt("Station,Setup_date,Retrieval_date,Session\nA,02/04/2019,30/04/2019,\n", records,
                    {"--group-by", "Session"}),
            "morvelstrand-import: location \"A\" has no Session in the station table (use --group-by location, or "
            "another column)\n");
}

TEST(ImportSources, KindsByTheirFilesAndOptionsThatDoNotFit) {
  mvtest::TempDir dir;
  fs::create_directories(dir / "empty");
  auto r = runImport({(dir / "empty").string(), (dir / "study").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvelstrand-import: " + (dir / "empty").string() +
                       " holds neither datapackage.json (a Camtrap DP package) nor images.csv and deployments.csv (a "
                       "Wildlife Insights export); for camtrapR tables give --records FILE --stations FILE, or name "
                       "the kind with --from\n");
  // --from reads the folder as the kind it names.
  r = runImport({dataDir("asturias-wi").string(), (dir / "study").string(), "--from", "camtrap-dp"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.err.rfind("morvelstrand-import: cannot open " + (dataDir("asturias-wi") / "datapackage.json").string(), 0), 0u)
      << r.err;
  r = runImport({dataDir("forest").string(), (dir / "study").string(), "--names", "common"});
  EXPECT_EQ(r.err,
            "morvelstrand-import: --names common takes the species of a Wildlife Insights export by common_name; "
            "this is a Camtrap DP package\n");
  r = runImport({dataDir("asturias-wi").string(), (dir / "study").string(), "--utm-zone", "30N"});
  EXPECT_EQ(r.err, "morvelstrand-import: --utm-zone is for camtrapR tables (--records FILE --stations FILE); " +
                       dataDir("asturias-wi").string() + " is a Wildlife Insights export\n");
  EXPECT_FALSE(fs::exists(dir / "study"));

  const auto usage = [](std::vector<std::string> args) {
    const auto u = runImport(args);
    EXPECT_EQ(u.status, 2);
    return u.err.substr(0, u.err.find('\n'));
  };
  EXPECT_EQ(usage({"--records", "r.csv", "study"}),
            "morvelstrand-import: camtrapR tables need both --records FILE and --stations FILE");
  EXPECT_EQ(usage({"--records", "r.csv", "--stations", "s.csv", "pkg", "study"}),
            "morvelstrand-import: with --records and --stations give only STUDY_DIR, not \"pkg\" as well");
  EXPECT_EQ(usage({"pkg", "study", "--from", "agouti"}),
            "morvelstrand-import: option --from needs camtrap-dp, wildlife-insights or camtrapr, not \"agouti\"");
  EXPECT_EQ(usage({"pkg", "study", "--names", "latin"}),
            "morvelstrand-import: option --names needs scientific or common, not \"latin\"");
  EXPECT_EQ(usage({"--records", "r", "--stations", "s", "study", "--utm-zone", "32U"}),
            "morvelstrand-import: option --utm-zone needs a zone from 1 to 60 and N or S (such as 32N), not \"32U\"");
  EXPECT_EQ(usage({"--records", "r", "--stations", "s", "study", "--date-format", "dd/mm/yy"}),
            "morvelstrand-import: option --date-format: \"dd/mm/yy\" is not a date form such as dd/mm/yyyy, "
            "mm/dd/yyyy, %d.%m.%Y or dmy (four-digit years)");
}

TEST(ImportDateForms, FormsIsoAndImpossibleDays) {
  using mv::camtrap::DateForm;
  using mv::camtrap::DateTime;
  const auto day = [](int y, int m, int d) {
    DateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    return t;
  };
  const DateForm dmy("dd/mm/yyyy");
  EXPECT_EQ(dmy.parse("02/04/2019"), day(2019, 4, 2));
  EXPECT_EQ(dmy.parse(" 2/4/2019 "), day(2019, 4, 2));
  EXPECT_EQ(dmy.parse("02/04/2019 12:30:00"), day(2019, 4, 2));  // a time after it is not read
  EXPECT_EQ(dmy.parse("2019-04-02"), day(2019, 4, 2));           // ISO, whatever the form
  EXPECT_EQ(dmy.parse("29/02/2020"), day(2020, 2, 29));
  for (const char* wrong : {"29/02/2019", "31/04/2019", "02/04/19", "02-04-2019", "2019-4-2", "02/04/2019x",
                            "02/04/2019 25:00", "", "002/04/2019"})
    EXPECT_FALSE(dmy.parse(wrong)) << wrong;
  EXPECT_EQ(DateForm("%m.%d.%Y").parse("4.2.2019"), day(2019, 4, 2));
  EXPECT_EQ(DateForm("ymd").parse("2019/04/02"), day(2019, 4, 2));
  EXPECT_EQ(DateForm("dmy").parse("02-04-2019"), day(2019, 4, 2));
  EXPECT_EQ(DateForm("dmy").parse("02 04 2019"), day(2019, 4, 2));
  for (const char* wrong : {"dd/mm", "dd/dd/yyyy", "d/m/yyyy", "dd/mm/yy", "%d/%m/%y", "dmyy", "dd//mm/yyyy", "xx"})
    EXPECT_THROW(DateForm{wrong}, mv::camtrap::ImportError) << wrong;
  EXPECT_EQ(mv::camtrap::parseIsoDay("2024-04-17 00:00:00"), day(2024, 4, 17));
  EXPECT_FALSE(mv::camtrap::parseIsoDay("2024-02-30"));
  EXPECT_EQ(mv::camtrap::dayAfter(day(2020, 2, 28)), day(2020, 2, 29));
  EXPECT_EQ(mv::camtrap::dayBefore(day(2021, 1, 1)), day(2020, 12, 31));
}

TEST(ImportSources, CommandLineOfTheOtherKinds) {
  namespace mc = mv::camtrap;
  const mc::CommandLine c =
      mc::parseCommandLine({"--stations", "s.csv", "study", "--records=r.csv", "--utm-zone", "33s", "--date-format",
                            "%d.%m.%Y", "--count-column", "n", "--group-by", "Session"});
  ASSERT_EQ(c.action, mc::CommandLine::Action::Import) << c.error;
  EXPECT_EQ(c.options.from, mc::SourceKind::CamtrapR);
  EXPECT_EQ(c.options.records, fs::path("r.csv"));
  EXPECT_EQ(c.options.stations, fs::path("s.csv"));
  EXPECT_EQ(c.options.studyDir, fs::path("study"));
  EXPECT_EQ(c.options.packageDir, fs::path());
  ASSERT_TRUE(c.options.utmZone);
  EXPECT_EQ(c.options.utmZone->label(), "33S");
  EXPECT_EQ(c.options.dateFormat, "%d.%m.%Y");
  EXPECT_EQ(c.options.countColumn, "n");
  EXPECT_EQ(c.options.groupBy, "Session");
  const mc::CommandLine w = mc::parseCommandLine({"export", "study", "--from", "wildlife-insights", "--names=common"});
  ASSERT_EQ(w.action, mc::CommandLine::Action::Import) << w.error;
  EXPECT_EQ(w.options.from, mc::SourceKind::WildlifeInsights);
  EXPECT_TRUE(w.options.commonNames);
  EXPECT_EQ(w.options.dateFormat, "dd/mm/yyyy");
  const std::string help = mc::usageText();
  for (const char* option : {"--from KIND", "--names scientific|common", "--records FILE", "--stations FILE",
                             "--utm-zone ZONE", "--date-format FORM", "--count-column NAME"})
    EXPECT_NE(help.find("\n  " + std::string(option) + " "), std::string::npos) << option;
}
