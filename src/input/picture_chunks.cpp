// The chunk reader of AllPictures.txt.
#include "input/picture_chunks.hpp"

#include <algorithm>
#include <cstring>
#include <optional>

namespace mv {

// Reads the lines of AllPictures.txt that start within [from, to) into
// `block` and points `lines` at them; false on a read error, or when the
// file is shorter than it was. The first line starts after the bytes to
// skip, every other one after a line ending (LF, CR LF, CR CR LF, or a lone
// CR), so neighbouring ranges share no line and miss none, whatever their
// size. The range's last line is read to at most kMaxLineBytes past `to`:
// one that goes on further is cut there, longer than any line may be.
bool readLinesAtPlace(const FilePlaces& places, std::uint64_t from, std::uint64_t to, ByteBlock& block,
                      std::string_view& lines) {
  // Bytes read past `to` at first, where the range's last line usually ends.
  constexpr std::uint64_t kLookAhead = 4096;
  const std::uint64_t size = places.size;
  lines = {};
  // The byte before the range is read too: whether a line starts right at
  // `from` depends on it.
  const std::uint64_t first = from > 0 ? from - 1 : 0;
  std::uint64_t have = 0;  // bytes of the file from `first` on in the block
  bool ok = true;
  const auto readTo = [&](std::uint64_t want) {
    want = std::min(want, size - first);
    if (want <= have) return;
    block.setSize(static_cast<std::size_t>(have));  // kept if the block grows
    block.reserve(static_cast<std::size_t>(want));
    const long long got = places.file->readAt(first + have, block.data() + have, static_cast<std::size_t>(want - have));
    if (got != static_cast<long long>(want - have)) {
      ok = false;
      return;
    }
    have = want;
    block.setSize(static_cast<std::size_t>(have));
  };
  // Where the line after the first line ending at or after `at` starts,
  // when a line ending starts before `limit`.
  const auto lineAfter = [&](std::uint64_t at, std::uint64_t limit) -> std::optional<std::uint64_t> {
    std::uint64_t scan = at;
    while (ok) {
      const char* base = block.data();
      const std::uint64_t stop = std::min(have, limit - first);
      const char* hit = scan - first < stop ? findLineEnd(base + (scan - first), base + stop) : nullptr;
      if (hit != nullptr) {
        const std::uint64_t p = static_cast<std::uint64_t>(hit - base);
        // A CR: an LF, or a CR and an LF, right after it belong to the same
        // line ending; the bytes after it are read when they are not here.
        const std::uint64_t need = std::min<std::uint64_t>(p + 3, size - first);
        if (*hit == '\r' && have < need && !(p + 1 < have && base[p + 1] != '\r')) {
          scan = first + p;
          readTo(need);
          continue;
        }
        return first + p + lineEndLength(hit, base + have);
      }
      if (first + stop >= limit || first + have >= size) return std::nullopt;
      scan = first + have;
      readTo(have + std::max(have, kLookAhead));
    }
    return std::nullopt;
  };
  readTo(to - first + kLookAhead);
  std::uint64_t begin = places.skip;
  if (from <= places.skip) {
    if (places.skip >= to) return ok;  // the range lies within the skipped bytes
  } else {
    const std::optional<std::uint64_t> start = lineAfter(from - 1, to - 1);
    if (!start || *start >= to) return ok;  // no line starts in the range
    begin = *start;
  }
  const std::uint64_t reach = std::min<std::uint64_t>(size, to + kMaxLineBytes);
  const std::uint64_t end = to >= size ? size : lineAfter(to - 1, reach).value_or(reach);
  if (!ok) return false;
  lines = std::string_view(block.data() + (begin - first), static_cast<std::size_t>(end - begin));
  return true;
}

PictureChunks::PictureChunks(FileLines& file, bool inOrder, std::size_t chunkBytes)
    : file_(file), chunkBytes_(chunkBytes) {
  const std::optional<std::uint64_t> regularSize = inOrder ? std::nullopt : file.regularSize();
  if (!regularSize) return;
  atPlaces_ = true;
  places_.file = &file;
  places_.size = *regularSize;
  char start[3];
  if (places_.size >= 3 && file.readAt(0, start, 3) == 3 && std::memcmp(start, "\xEF\xBB\xBF", 3) == 0)
    places_.skip = 3;
}

bool PictureChunks::next(PictureChunk& c) {
  if (atPlaces_) {
    if (nextPlace_ >= places_.size) return false;
    c.places = &places_;
    c.from = nextPlace_;
    c.to = places_.size - nextPlace_ > chunkBytes_ ? nextPlace_ + chunkBytes_ : places_.size;
    nextPlace_ = c.to;
  } else {
    if (!file_.nextLines(c.text, chunkBytes_)) return false;
    c.body = std::string_view(c.text.data(), c.text.size());
  }
  c.readFailed = false;
  return true;
}

}  // namespace mv
