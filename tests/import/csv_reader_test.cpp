#include <gtest/gtest.h>

#include "import/csv_reader.hpp"
#include "import/errors.hpp"
#include "support/test_support.hpp"

namespace mc = mv::camtrap;
using Records = std::vector<std::vector<std::string>>;

namespace {

Records readAll(const std::filesystem::path& path, mc::CsvDialect dialect = {}) {
  Records out;
  mc::readCsv(path, dialect, [&](const std::vector<std::string>& f, long record) {
    EXPECT_EQ(record, static_cast<long>(out.size()) + 1);
    out.push_back(f);
  });
  return out;
}

}  // namespace

TEST(CsvReader, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "t.csv",
                    "a,b,c\r\n"
                    "\"Beek, upper\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
                    "plain,,\"\"\r\n");
  const Records r = readAll(dir / "t.csv");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1], (std::vector<std::string>{"Beek, upper", "say \"hi\"", "two\r\nlines"}));
  EXPECT_EQ(r[2], (std::vector<std::string>{"plain", "", ""}));
}

TEST(CsvReader, LineFeedsByteOrderMarkBlanksAndEmptyLines) {
  mvtest::TempDir dir;
  // A byte-order mark, LF line ends, an empty line, no line end at the end;
  // blanks around an unquoted field belong to it.
  mvtest::writeFile(dir / "t.csv", "\xEF\xBB\xBFid,name\n1, Vulpes vulpes \n\n2,Meles meles");
  const Records r = readAll(dir / "t.csv");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0][0], "id");
  EXPECT_EQ(r[1], (std::vector<std::string>{"1", " Vulpes vulpes "}));
  EXPECT_EQ(r[2], (std::vector<std::string>{"2", "Meles meles"}));
}

TEST(CsvReader, DelimiterOfTheDialect) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "t.csv", "a;b\n\"x;y\";z,w\n");
  const Records r = readAll(dir / "t.csv", mc::CsvDialect{';', '"'});
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1], (std::vector<std::string>{"x;y", "z,w"}));
}

TEST(CsvReader, MalformedFilesFailWithTheirName) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "open.csv", "a,b\n1,\"never closed\n");
  mvtest::writeFile(dir / "stray.csv", "a,b\n1,2\n3,x\"y\n");
  try {
    readAll(dir / "open.csv");
    FAIL() << "an unclosed quote must fail";
  } catch (const mc::ImportError& e) {
    EXPECT_NE(std::string(e.what()).find("open.csv: not valid CSV at its end"), std::string::npos) << e.what();
  }
  try {
    readAll(dir / "stray.csv");
    FAIL() << "a quote inside an unquoted field must fail";
  } catch (const mc::ImportError& e) {
    EXPECT_NE(std::string(e.what()).find("stray.csv: not valid CSV near line 3"), std::string::npos) << e.what();
  }
  EXPECT_THROW(readAll(dir / "missing.csv"), mc::ImportError);
}

TEST(CsvReader, TablesInPartsSkipARepeatedHeader) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "p1.csv", "id,name\n1,a\n");
  mvtest::writeFile(dir / "p2.csv", "id,name\n2,b\n");
  mvtest::writeFile(dir / "p3.csv", "3,c\n");
  std::vector<std::string> seen;
  const mc::Columns cols =
      mc::readTable({dir / "p1.csv", dir / "p2.csv", dir / "p3.csv"}, {}, "things.csv", nullptr,
                    [&](const mc::Columns& c, const std::vector<std::string>& f, long record) {
                      seen.push_back(std::string(mc::fieldAt(f, c.find("name"))) + std::to_string(record));
                    });
  EXPECT_EQ(seen, (std::vector<std::string>{"a2", "b4", "c5"}));
  EXPECT_EQ(cols.find("id"), 0);
  EXPECT_EQ(cols.find("nothing"), -1);
  EXPECT_EQ(mc::fieldAt({"x"}, 3), "");
  try {
    cols.require("count");
    FAIL();
  } catch (const mc::ImportError& e) {
    EXPECT_STREQ(e.what(), "things.csv has no column count");
  }
}

TEST(CsvReader, LineEndsQuotesAndBlockBoundaries) {
  mvtest::TempDir dir;
  // CR alone, CR LF and CR CR LF end a record; a line of one delimiter is a
  // record of two empty fields.
  mvtest::writeFile(dir / "ends.csv", "a,b\r1,2\r\n3,4\r\r\n,\n");
  EXPECT_EQ(readAll(dir / "ends.csv"), (Records{{"a", "b"}, {"1", "2"}, {"3", "4"}, {"", ""}}));
  // A quoted field longer than the reader's block, with a doubled quote
  // where one block ends and the next begins.
  std::string big(65533, 'x');
  big[65532] = '"';  // at byte 65535, the last of the first block
  mvtest::writeFile(dir / "big.csv", "a\n\"" + big + "\"" + std::string(70000, 'y') + "\"\n");
  const Records r = readAll(dir / "big.csv");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1][0], std::string(65532, 'x') + "\"" + std::string(70000, 'y'));
  // Text after a closing quote breaks the rules, on the line where it stands.
  mvtest::writeFile(dir / "after.csv", "a,b\n\"x\ny\"z,1\n");
  try {
    readAll(dir / "after.csv");
    FAIL() << "text after a closing quote must fail";
  } catch (const mc::ImportError& e) {
    EXPECT_NE(std::string(e.what()).find("after.csv: not valid CSV near line 3"), std::string::npos) << e.what();
  }
}
