// The study's clock: packages written in UTC, offsets that repair a camera's
// clock, media on another offset than their deployment, and the time zone or
// fixed offset the user chooses. Every expected time was converted by hand
// (Brussels: CET +01:00, CEST +02:00 from 28 March 2021 01:00 UTC).
#include <gtest/gtest.h>

#include "import/clock.hpp"
#include "import/command_line.hpp"
#include "import_support.hpp"

namespace fs = std::filesystem;
namespace mc = mv::camtrap;
using importtest::runImport;
using Lines = std::vector<std::string>;

namespace {

bool hasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class ImportClock : public ::testing::Test {
 protected:
  importtest::SmallPackage pkg;
  mvtest::TempDir dir;
  fs::path package() const { return dir / "pkg"; }
  fs::path study() const { return dir / "study"; }
  importtest::Run run(std::vector<std::string> extra = {}) {
    importtest::writePackage(package(), pkg);
    std::vector<std::string> args{package().string(), study().string(), "--force"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runImport(args);
  }
  // A Brussels camera written in UTC, as Agouti writes, across the change to
  // summer time; it ends at 22:30 UTC, 00:30 the next day in Brussels.
  void utcPackageAcrossDaylightSaving() {
    pkg.deployments += "d1,L1,Ridge,50.85,4.35,2021-03-20T10:00:00Z,2021-04-10T22:30:00Z,\n";
    pkg.media +=
        "m1,d1,2021-03-27T19:08:00Z\n"
        "m2,d1,2021-03-28T00:30:00Z\n"
        "m3,d1,2021-03-28T01:30:00Z\n"
        "m4,d1,2021-03-29T18:08:00+00:00\n";
    for (const char* m : {"m1", "m2", "m3", "m4"})
      pkg.observations += std::string("o") + m + ",d1," + m + ",,,media,animal,Sus scrofa,1\n";
  }
};

}  // namespace

TEST_F(ImportClock, UtcPackageOnItsLocalHoursAcrossDaylightSaving) {
  utcPackageAcrossDaylightSaving();
  const auto r = run({"--time-zone", "Europe/Brussels"});
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"), (Lines{
      "Ridge                     Sus scrofa                2021  3 27 20  8  0  1",
      "Ridge                     Sus scrofa                2021  3 28  1 30  0  1",
      "Ridge                     Sus scrofa                2021  3 28  3 30  0  1",
      "Ridge                     Sus scrofa                2021  3 29 20  8  0  1",
  }));
  // clang-format on
  EXPECT_EQ(mvtest::readLines(study() / "Input.txt").at(4), "2021 3 20 2021 4 11");
  EXPECT_TRUE(hasLine(r.out, "  Clock                 Europe/Brussels (daylight saving applied)")) << r.out;

  // One offset all year: local standard time.
  const auto fixed = run({"--utc-offset", "+01:00"});
  ASSERT_EQ(fixed.status, importtest::successStatus()) << fixed.err;
  // clang-format off
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"), (Lines{
      "Ridge                     Sus scrofa                2021  3 27 20  8  0  1",
      "Ridge                     Sus scrofa                2021  3 28  1 30  0  1",
      "Ridge                     Sus scrofa                2021  3 28  2 30  0  1",
      "Ridge                     Sus scrofa                2021  3 29 19  8  0  1",
  }));
  // clang-format on
  EXPECT_EQ(mvtest::readLines(study() / "Input.txt").at(4), "2021 3 20 2021 4 10");
  EXPECT_TRUE(hasLine(fixed.out, "  Clock                 UTC+01:00 all year")) << fixed.out;

  // UTC on purpose.
  const auto utc = run({"--time-zone", "UTC"});
  ASSERT_EQ(utc.status, importtest::successStatus()) << utc.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt").at(0),
            "Ridge                     Sus scrofa                2021  3 27 19  8  0  1");
}

TEST_F(ImportClock, UtcPackageWithoutAClockStopsAndWritesNothing) {
  utcPackageAcrossDaylightSaving();
  const auto r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "morvelstrand-import: every deployment of the package is written in UTC, so every picture would be "
            "written at its UTC hour, not at the local hour it was taken; give the study's time zone with "
            "--time-zone ZONE (for example --time-zone Europe/Brussels), or --time-zone UTC to analyse in UTC on "
            "purpose\n");
  EXPECT_FALSE(fs::exists(study()));
  // A package with one deployment on a local offset keeps today's rule.
  pkg.deployments += "d2,L2,Vale,50.80,4.30,2021-03-20T10:00:00+01:00,2021-04-10T22:30:00+02:00,\n";
  EXPECT_EQ(run().status, importtest::successStatus());
}

TEST_F(ImportClock, AnOffsetThatRepairsTheCameraClock) {
  // AM and PM swapped: the publisher wrote the camera's times at +14:00, so
  // the instants are right. The badger was there at 19:36 Brussels summer
  // time, 17:36 UTC, written 07:36+14:00 the next day.
  pkg.deployments += "d1,L1,Eifel,50.5,6.0,2021-06-01T12:00:00+14:00,2021-06-20T12:00:00+14:00,\n";
  pkg.media += "m1,d1,2021-06-11T07:36:00+14:00\n";
  pkg.observations += "o1,d1,m1,,,media,animal,Meles meles,1\n";
  const auto converted = run({"--time-zone", "Europe/Brussels"});
  ASSERT_EQ(converted.status, importtest::successStatus()) << converted.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"),
            (Lines{"Eifel                     Meles meles               2021  6 10 19 36  0  1"}));
  EXPECT_EQ(mvtest::readLines(study() / "Input.txt").at(4), "2021 6 1 2021 6 20");
  EXPECT_TRUE(hasLine(converted.out,
                      "Note: 1 deployment is written with a UTC offset more than 3 hours from the solar time of its "
                      "longitude (d1); its times are converted to Europe/Brussels"))
      << converted.out;

  const auto kept = run();
  ASSERT_EQ(kept.status, importtest::successStatus()) << kept.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"),
            (Lines{"Eifel                     Meles meles               2021  6 11  7 36  0  1"}));
  EXPECT_TRUE(hasLine(kept.out,
                      "Warning: 1 deployment is written with a UTC offset more than 3 hours from the solar time of "
                      "its longitude (d1): its times are written on that offset's clock, not the local one; give "
                      "--time-zone ZONE or --utc-offset +HH:MM to convert them"))
      << kept.out;
  EXPECT_TRUE(hasLine(kept.out,
                      "  Clock                 each deployment's own (the UTC offset written in its "
                      "deploymentStart)"))
      << kept.out;
}

TEST_F(ImportClock, MediaOnAnotherOffsetThanTheirDeployment) {
  // A -05:00 deployment whose media are written at -09:00 (and a second
  // one, and a few more, to see the list cut): the night picture at 19:30
  // -09:00 is 04:30 UTC the next day.
  for (const char* d : {"d1", "d2", "d3", "d4"}) {
    pkg.deployments +=
        std::string(d) + ",L" + d + ",," + "40.0,-75.0,2021-07-01T08:00:00-05:00," + "2021-07-20T08:00:00-05:00,\n";
    pkg.media += std::string("m") + d + "," + d + ",2021-07-05T19:30:00-09:00\n";
    pkg.observations += std::string("o") + d + "," + d + ",m" + d + ",,,media,animal,Procyon lotor,1\n";
  }
  const auto kept = run();
  ASSERT_EQ(kept.status, importtest::successStatus()) << kept.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt").at(0),
            "Ld1                       Procyon lotor             2021  7  5 23 30  0  1");
  EXPECT_TRUE(hasLine(kept.out,
                      "Warning: 4 deployments have media or observations written with a UTC offset other than the "
                      "deployments' (d1, d2, d3, ...): they are written on the deployment's clock; give --time-zone "
                      "ZONE or --utc-offset +HH:MM to put every time on one clock"))
      << kept.out;

  // New York keeps summer time: 00:30 -04:00 on 6 July.
  const auto converted = run({"--time-zone", "America/New_York"});
  ASSERT_EQ(converted.status, importtest::successStatus()) << converted.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt").at(0),
            "Ld1                       Procyon lotor             2021  7  6  0 30  0  1");
  EXPECT_TRUE(hasLine(converted.out,
                      "Note: 4 deployments have media or observations written with a UTC offset other than the "
                      "deployments' (d1, d2, d3, ...); they are converted to America/New_York like every other "
                      "time"))
      << converted.out;
  EXPECT_EQ(converted.out.find("Warning:"), std::string::npos) << converted.out;
}

TEST(ImportClockOptions, ZonesAndOffsetsOnTheCommandLine) {
  const auto expectUsage = [](std::vector<std::string> args, const std::string& message) {
    args.insert(args.begin(), {"pkg", "study"});
    const auto r = runImport(args);
    EXPECT_EQ(r.status, 2) << message;
    EXPECT_EQ(r.err, "morvelstrand-import: " + message + "\nTry 'morvelstrand-import --help' for more information.\n");
  };
  expectUsage({"--time-zone", "Europe/Atlantis"},
              "option --time-zone: unknown time zone \"Europe/Atlantis\" (give an IANA name such as "
              "Europe/Amsterdam, or UTC)");
  for (const char* bad : {"+1:00", "01:00", "+14:01", "-12:30", "+02:60", "+0200", ""})
    expectUsage({"--utc-offset", bad},
                "option --utc-offset needs an offset from -12:00 to +14:00 such as +01:00 or -05:30, not \"" +
                    std::string(bad) + "\"");
  expectUsage({"--utc-offset", "+01:00", "--time-zone", "UTC"}, "give --time-zone or --utc-offset, not both");

  const mc::CommandLine c = mc::parseCommandLine({"pkg", "study", "--utc-offset", "-05:30"});
  ASSERT_EQ(c.action, mc::CommandLine::Action::Import);
  EXPECT_EQ(c.options.utcOffsetMinutes, -330);
  EXPECT_FALSE(c.options.timeZone);
  EXPECT_EQ(mc::formatUtcOffset(-330), "-05:30");
  EXPECT_EQ(mc::formatUtcOffset(840), "+14:00");
  EXPECT_EQ(mc::parseUtcOffset("-12:00"), -720);
  EXPECT_EQ(mc::parseUtcOffset("+00:00"), 0);
}

TEST_F(ImportClock, TimesWrittenWithoutOffsetAreTheCamerasLocalTime) {
  // No offset anywhere (against the standard, but some exports do it): the
  // times are the camera's local ones, neither a UTC package nor far from
  // the solar time of longitude 100.
  pkg.deployments += "d1,L1,Ridge,15.0,100.0,2021-03-20T10:00:00,2021-04-10T22:30:00,\n";
  pkg.media += "m1,d1,2021-03-27T19:08:00\n";
  pkg.observations += "o1,d1,m1,,,media,animal,Sus scrofa,1\n";
  const auto r = run();
  ASSERT_EQ(r.status, importtest::successStatus()) << r.err;
  EXPECT_EQ(mvtest::readLines(study() / "AllPictures.txt"),
            (Lines{"Ridge                     Sus scrofa                2021  3 27 19  8  0  1"}));
  EXPECT_EQ(r.out.find("Warning:"), std::string::npos) << r.out;
  EXPECT_TRUE(hasLine(r.out,
                      "  Clock                 each deployment's own (the UTC offset written in its "
                      "deploymentStart)"))
      << r.out;
  EXPECT_TRUE(mc::StudyClock::zone("UTC")->describe() == "UTC (no daylight saving)");
}

// The clock options belong to sources whose timestamps carry an offset.
TEST(ImportClockOptions, RefusedForSourcesWithoutOffsets) {
  mvtest::TempDir dir;
  const auto wi = runImport({importtest::dataDir("asturias-wi").string(), dir.path().string(), "--time-zone", "UTC"});
  EXPECT_EQ(wi.status, 1);
  EXPECT_EQ(wi.err,
            "morvelstrand-import: --time-zone is for Camtrap DP packages, whose timestamps carry their UTC offset; the "
            "times of a Wildlife Insights export are the camera's local time and are written as they are\n");
  const fs::path tables = importtest::dataDir("camtrapr");
  const auto r = runImport({"--records", (tables / "records.csv").string(), "--stations",
                            (tables / "stations.csv").string(), dir.path().string(), "--utc-offset", "+01:00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "morvelstrand-import: --utc-offset is for Camtrap DP packages, whose timestamps carry their UTC offset; "
            "the times of camtrapR tables are the camera's local time and are written as they are\n");
  EXPECT_FALSE(fs::exists(dir / "Input.txt"));
}
