#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "io/sinks.hpp"
#include "support/test_support.hpp"

using Lines = std::vector<std::string>;

namespace {

Lines readAll(const std::filesystem::path& path, std::size_t maxLine = mv::kMaxLineBytes) {
  mv::FileLines file;
  EXPECT_TRUE(file.open(path));
  file.setMaxLine(maxLine);
  Lines out;
  std::string_view line;
  while (file.nextView(line)) out.emplace_back(line);
  EXPECT_FALSE(file.readError());
  return out;
}

constexpr std::size_t kBlock = 1u << 20;  // the reader's block size

}  // namespace

TEST(FileLines, EveryLineEnding) {
  mvtest::TempDir dir;
  mvtest::writeFile(dir / "lf.txt", "one\ntwo\n\nfour\n");
  EXPECT_EQ(readAll(dir / "lf.txt"), (Lines{"one", "two", "", "four"}));
  mvtest::writeFile(dir / "crlf.txt", "one\r\ntwo\r\n\r\nfour\r\n");
  EXPECT_EQ(readAll(dir / "crlf.txt"), (Lines{"one", "two", "", "four"}));
  // A lone CR ends a line too; LF CR is two line ends.
  mvtest::writeFile(dir / "cr.txt", "one\rtwo\r\rfour\n\rsix");
  EXPECT_EQ(readAll(dir / "cr.txt"), (Lines{"one", "two", "", "four", "", "six"}));
  mvtest::writeFile(dir / "last.txt", "one\r\nlast without end");
  EXPECT_EQ(readAll(dir / "last.txt"), (Lines{"one", "last without end"}));
  mvtest::writeFile(dir / "empty.txt", "");
  EXPECT_EQ(readAll(dir / "empty.txt"), Lines{});
}

TEST(FileLines, LineEndsAcrossBlocks) {
  mvtest::TempDir dir;
  // Lines longer than a block, with the bound on a line's length raised.
  const auto readAll = [](const std::filesystem::path& path) { return ::readAll(path, 4 * kBlock); };
  // CR as the last byte of the first block, its LF first in the next.
  const std::string first(kBlock - 1, 'a');
  mvtest::writeFile(dir / "split.txt", first + "\r\nnext\r\n");
  EXPECT_EQ(readAll(dir / "split.txt"), (Lines{first, "next"}));
  // A lone CR as the last byte of a block, then a line.
  mvtest::writeFile(dir / "lone.txt", first + "\rnext");
  EXPECT_EQ(readAll(dir / "lone.txt"), (Lines{first, "next"}));
  // A line longer than a block, between short ones.
  const std::string longLine(kBlock + kBlock / 2, 'x');
  mvtest::writeFile(dir / "long.txt", "a\n" + longLine + "\r\nb\n");
  EXPECT_EQ(readAll(dir / "long.txt"), (Lines{"a", longLine, "b"}));
}

TEST(FileLines, ManyShortLinesWithLoneCarriageReturns) {
  mvtest::TempDir dir;
  std::string text;
  Lines expected;
  for (int k = 0; k < 300000; ++k) {
    expected.push_back(std::to_string(k));
    text += expected.back() + "\r";
  }
  mvtest::writeFile(dir / "cr.txt", text);
  EXPECT_EQ(readAll(dir / "cr.txt"), expected);
}

// Console answers: any line end, a line longer than any line may be cut to
// the limit with the rest read past, and the prompt flushed before the wait.
TEST(StreamLines, AnswersOfAnyLengthInBoundedMemory) {
  struct CountingBuffer : std::stringbuf {
    int syncs = 0;
    int sync() override {
      ++syncs;
      return 0;
    }
  };
  CountingBuffer promptBuffer;
  std::ostream prompt(&promptBuffer);
  std::istringstream in("60\r\n" + std::string(200000, '7') + "\r\n30\r\r\nlast");
  in.tie(&prompt);
  mv::StreamLines lines(in);
  prompt << "PERIOD? ";
  EXPECT_EQ(lines.next(), std::optional<std::string>("60"));
  EXPECT_GT(promptBuffer.syncs, 0);
  EXPECT_EQ(lines.next(), std::optional<std::string>(std::string(mv::kMaxLineBytes, '7')));
  EXPECT_EQ(lines.next(), std::optional<std::string>("30"));
  EXPECT_EQ(lines.next(), std::optional<std::string>("last"));
  EXPECT_EQ(lines.next(), std::nullopt);
  EXPECT_EQ(lines.next(), std::nullopt);
}
