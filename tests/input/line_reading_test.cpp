// How the input files are cut into lines: the line endings taken as one
// (LF, CR LF, CR CR LF, a lone CR) and the bound on a line's length, in
// every reader: line by line (Input.txt, GroupMap.txt), in runs of whole
// lines (a pipe) and in parts read at their places by several threads.
#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "input/input.hpp"
#include "input_test_support.hpp"
#include "io/sinks.hpp"

using inputtest::ConsoleRun;
using inputtest::endStatus;
using inputtest::pad;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> allLines(mv::FileLines& file) {
  std::vector<std::string> lines;
  std::string_view line;
  while (file.nextView(line)) lines.emplace_back(line);
  return lines;
}

// A study of one location, Ridge A (group North), working through 2020,
// and one species.
void writeStudy(const fs::path& dir, const std::string& end = "\r\n") {
  mvtest::writeFile(dir / "Input.txt", "Small study" + end + "1" + end + pad("Ridge A") + " 512300 5121400  1240" +
                                           end + "1" + end + "2020 1 1 2020 12 31" + end + "1" + end + "Lynx" + end);
  mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North" + end);
}

std::string picture(int day, int individuals = 1) {
  const std::string d = std::to_string(day);
  // clang-format off
  return pad("Ridge A") + " " + pad(day % 5 == 0 ? "Wolf" : "Lynx") + " 2020  6 " + (day < 10 ? " " : "") + d +
         " 12 30  0  " + std::to_string(individuals);
  // clang-format on
}

std::string pictures(int count, const std::string& end) {
  std::string text;
  for (int k = 0; k < count; ++k) text += picture(1 + k % 28, 1 + k % 9) + end;
  return text;
}

struct Outcome {
  int status = -1;
  std::vector<std::string> console;
  std::string reject;
  std::string list;
  long processed = 0;
  bool rejectLeft = false;
  bool listLeft = false;
};

// The study read with `text` as AllPictures.txt, the pictures in parts of
// `chunk` bytes on `threads` threads, or from start to end.
Outcome readStudy(const std::string& text, int threads, std::size_t chunk, bool inOrder) {
  mvtest::TempDir dir;
  writeStudy(dir.path());
  mvtest::writeFile(dir / "AllPictures.txt", text);
  ConsoleRun run;
  Outcome r;
  mv::Study st;
  r.status = endStatus([&] {
    static_cast<mv::StudyInput&>(st) = mv::readStudy(dir.path(), run.console);
    mv::PictureReading how;
    how.threads = threads;
    how.chunkBytes = chunk;
    how.readInOrder = inOrder;
    mv::READALLPICTURES(st, st, dir.path(), run.console, how);
  });
  r.console = run.lines();
  r.processed = st.NPROCESSED;
  r.rejectLeft = fs::exists(dir / "Reject.txt");
  r.listLeft = fs::exists(dir / "FinalPicsList.txt");
  if (r.rejectLeft) r.reject = mvtest::readFile(dir / "Reject.txt");
  if (r.listLeft) r.list = mvtest::readFile(dir / "FinalPicsList.txt");
  return r;
}

struct Mode {
  int threads;
  std::size_t chunk;
  bool inOrder;
};
const Mode kModes[] = {{1, 0, true},  {2, 700, true},   {1, 700, false},   {2, 1, false},
                       {2, 3, false}, {2, 4096, false}, {2, 100000, false}};

std::string modeName(const Mode& m) {
  return std::to_string(m.threads) + " threads, " + std::to_string(m.chunk) + " bytes" +
         (m.inOrder ? ", in order" : "");
}

}  // namespace

TEST(LineEnds, CrCrLfEndsOneLine) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "f.txt", "a\r\r\nb\r\nc\rd\n\r\r\ne\r\r\r\nf\r\r");
  mv::FileLines file;
  ASSERT_TRUE(file.open(dir / "f.txt"));
  // CR CR CR LF is a lone CR and a CR CR LF; a CR CR at the end two lone CRs.
  EXPECT_EQ(allLines(file), (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "f", ""}));
  EXPECT_FALSE(file.lineTooLong());
}

TEST(LineEnds, CrCrLfAcrossTheReadBlocks) {
  // Lines of 9 bytes ending in CR CR LF, shifted so that each of the three
  // bytes of a line ending is in turn the last byte of a block read.
  const std::string line = "abcdef\r\r\n";
  for (int shift = 1; shift <= 9; ++shift) {
    SCOPED_TRACE(shift);
    mvtest::TempDir dir;
    const int count = (1 << 20) / 9 + 3;
    std::string text = std::string(static_cast<std::size_t>(shift - 1), 'x') + "\n";
    for (int k = 0; k < count; ++k) text += line;
    mvtest::writeFile(dir / "f.txt", text);
    mv::FileLines file;
    ASSERT_TRUE(file.open(dir / "f.txt"));
    const std::vector<std::string> lines = allLines(file);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
    for (std::size_t k = 1; k < lines.size(); ++k) ASSERT_EQ(lines[k], "abcdef") << k;
  }
}

TEST(LineEnds, CrCrLfInEveryReaderOfTheStudy) {
  // The same study with LF and with CR CR LF line ends: the same files and
  // console, whichever way the pictures are read.
  const Outcome lf = readStudy(pictures(300, "\n"), 1, 0, true);
  ASSERT_EQ(lf.status, -1);
  EXPECT_EQ(lf.processed, 300);
  for (const Mode& m : kModes) {
    SCOPED_TRACE(modeName(m));
    const Outcome crcrlf = readStudy(pictures(300, "\r\r\n"), m.threads, m.chunk, m.inOrder);
    EXPECT_EQ(crcrlf.status, -1);
    EXPECT_EQ(crcrlf.console, lf.console);
    EXPECT_EQ(crcrlf.reject, lf.reject);
    EXPECT_EQ(crcrlf.list, lf.list);
  }
  // Input.txt and GroupMap.txt too.
  mvtest::TempDir dir;
  writeStudy(dir.path(), "\r\r\n");
  ConsoleRun run;
  mv::StudyInput st;
  EXPECT_EQ(endStatus([&] { st = mv::readStudy(dir.path(), run.console); }), -1);
  EXPECT_EQ(st.NMAPLINES, 1);
  EXPECT_EQ(st.NSPECIES, 1);
  EXPECT_EQ(st.SPECIESNAME(1), pad("Lynx"));
  EXPECT_EQ(st.PERIODSTOP(1, 1, mv::kDay), 31);
}

TEST(LineBounds, FileLinesStopsAtALineLongerThanTheBound) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "f.txt", "short\r\n" + std::string(16, 'x') + "\r\n" + std::string(17, 'y') + "\nmore\n");
  mv::FileLines file;
  ASSERT_TRUE(file.open(dir / "f.txt"));
  file.setMaxLine(16);
  EXPECT_EQ(allLines(file), (std::vector<std::string>{"short", std::string(16, 'x')}));
  EXPECT_TRUE(file.lineTooLong());
  EXPECT_EQ(file.lineNumber(), 3);
  std::string_view line;
  EXPECT_FALSE(file.nextView(line));  // nothing more is read
  // The same line without a line ending, at the end of the file.
  mvtest::writeFile(dir / "g.txt", "short\n" + std::string(17, 'y'));
  ASSERT_TRUE(file.open(dir / "g.txt"));
  file.setMaxLine(16);
  EXPECT_EQ(allLines(file), std::vector<std::string>{"short"});
  EXPECT_TRUE(file.lineTooLong());
  EXPECT_EQ(mv::kMaxLineBytes, 65536u);
}

TEST(LineBounds, InputTxtAndGroupMapLineTooLong) {
  const std::string longLine(70000, 'a');
  {
    mvtest::TempDir dir;
    writeStudy(dir.path());
    mvtest::writeFile(dir / "Input.txt", "Small study\n1\n" + longLine);
    ConsoleRun run("\n");
    EXPECT_EQ(endStatus([&] { mv::readStudy(dir.path(), run.console); }), 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{" Input.txt line 3: longer than 65536 bytes",
                                                     " Hit enter to TERMINATE WITH ERROR"}));
  }
  {
    mvtest::TempDir dir;
    writeStudy(dir.path());
    mvtest::writeFile(dir / "GroupMap.txt", pad("Ridge A") + " North\r\n" + longLine + "\r\n");
    ConsoleRun run("\n");
    EXPECT_EQ(endStatus([&] { mv::readStudy(dir.path(), run.console); }), 1);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{" READ INPUT.TXT", " CALCULATE BEGIN & END YEARS",
                                                     " GroupMap.txt line 2: longer than 65536 bytes",
                                                     " Hit enter to TERMINATE WITH ERROR"}));
  }
}

TEST(LineBounds, PictureLineTooLongInEveryReader) {
  // Line 3 is too long: with a line ending after it and more lines, or
  // running to the end of the file. The run ends naming it, and leaves
  // neither Reject.txt nor the picture list.
  const std::string head = picture(1) + "\r\n" + picture(5) + "\n";
  const std::string longLine(100000, '7');
  for (const std::string& text :
       {head + longLine + "\r\n" + pictures(50, "\n"), head + longLine, head + std::string(65537, ' ') + "\n"}) {
    for (const Mode& m : kModes) {
      SCOPED_TRACE(modeName(m) + ", " + std::to_string(text.size()) + " bytes");
      const Outcome r = readStudy(text, m.threads, m.chunk, m.inOrder);
      EXPECT_EQ(r.status, 1);
      ASSERT_GE(r.console.size(), 2u);
      EXPECT_EQ(r.console[r.console.size() - 2], " AllPictures.txt line 3: longer than 65536 bytes");
      EXPECT_EQ(r.console.back(), " Hit enter to TERMINATE WITH ERROR");
      EXPECT_FALSE(r.rejectLeft);
      EXPECT_FALSE(r.listLeft);
    }
  }
  // A line of exactly the bound is read (and rejected as unreadable).
  const Outcome r = readStudy(head + std::string(65536, '7') + "\n", 2, 4096, false);
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.processed, 3);
}

TEST(LineBounds, PictureLineTooLongThroughAPipe) {
  // A pipe is read from start to end: the reading stops within the long
  // line (8 MiB here, the rest of which is never read) and ends the run.
  mvtest::TempDir dir;
  writeStudy(dir.path());
  ASSERT_EQ(::mkfifo((dir / "AllPictures.txt").c_str(), 0600), 0);
  const std::string text = picture(1) + "\n" + std::string(8u << 20, 'z') + "\n" + picture(2) + "\n";
  // The writer meets a closed pipe when the reader stops: no signal then.
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  std::thread writer([&] { std::ofstream(dir / "AllPictures.txt", std::ios::binary) << text; });
  ConsoleRun run("\n");
  mv::Study st;
  const int status = endStatus([&] {
    static_cast<mv::StudyInput&>(st) = mv::readStudy(dir.path(), run.console);
    mv::PictureReading how;
    how.threads = 2;
    mv::READALLPICTURES(st, st, dir.path(), run.console, how);
  });
  writer.join();
  std::signal(SIGPIPE, previous);
  EXPECT_EQ(status, 1);
  const std::vector<std::string> lines = run.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], " AllPictures.txt line 2: longer than 65536 bytes");
  EXPECT_FALSE(fs::exists(dir / "FinalPicsList.txt"));
}
