// AllPictures.txt in chunks of whole lines, each checked as one piece: a
// regular file read part by part, each part at its place in the file by the
// thread that checks it; anything else (a pipe) from start to end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/picture_checker.hpp"
#include "io/sinks.hpp"
#include "model/study.hpp"

namespace mv {

// A regular AllPictures.txt read part by part, each part by the thread
// that checks it: its size and the bytes before its first line (a UTF-8
// byte-order mark).
struct FilePlaces {
  const FileLines* file = nullptr;
  std::uint64_t size = 0;
  std::uint64_t skip = 0;
};

// One chunk of AllPictures.txt (whole lines) and what checking it gave.
struct PictureChunk : CheckedLines {
  ByteBlock text;
  // The chunk's lines: all of `text`, or, for a chunk read at its place,
  // the part of it that holds them.
  std::string_view body;
  // Read at its place: the lines that start within [from, to) of the file.
  const FilePlaces* places = nullptr;
  std::uint64_t from = 0;
  std::uint64_t to = 0;
  bool readFailed = false;
};

// Reads the lines of AllPictures.txt that start within [from, to) into
// `block` and points `lines` at them; false on a read error, or when the
// file is shorter than it was. The first line starts after the bytes to
// skip, every other one after a line ending (LF, CR LF, CR CR LF, or a lone
// CR), so neighbouring ranges share no line and miss none, whatever their
// size. The range's last line is read to at most kMaxLineBytes past `to`:
// one that goes on further is cut there, longer than any line may be.
bool readLinesAtPlace(const FilePlaces& places, std::uint64_t from, std::uint64_t to, ByteBlock& block,
                      std::string_view& lines);

// The chunks of one file, in file order.
class PictureChunks {
 public:
  // `file` is open; `inOrder` reads it from start to end even when it is a
  // regular file.
  PictureChunks(FileLines& file, bool inOrder, std::size_t chunkBytes);

  // Makes `c` the next chunk: its lines read here, or its place set for
  // ChunkWorker to read them. False at the end of the file.
  bool next(PictureChunk& c);

 private:
  FileLines& file_;
  std::size_t chunkBytes_;
  bool atPlaces_ = false;
  FilePlaces places_;
  std::uint64_t nextPlace_ = 0;
};

// Reads a chunk at its place in the file, when it is read there, and checks
// its lines; one per thread, for the look-ups keep the last name they found.
class ChunkWorker {
 public:
  explicit ChunkWorker(const StudyInput& st) : checker_(st) {}
  void operator()(PictureChunk& c) {
    if (c.places != nullptr && !readLinesAtPlace(*c.places, c.from, c.to, c.text, c.body)) {
      c.readFailed = true;
      return;
    }
    checker_.check(c.body, c);
  }

 private:
  PictureChecker checker_;
};

}  // namespace mv
