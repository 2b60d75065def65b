// Replays the importer's fuzz corpus and a few dozen inputs made from it
// through the whole import: nothing may crash, hang or trip a sanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "import_target.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpus() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(fs::path(MORVELSTRAND_SOURCE_DIR) / "fuzz" / "corpus" / "import"))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  std::vector<std::string> out;
  for (const auto& f : files) out.push_back(mvtest::readFile(f));
  return out;
}

// Edits that matter to a package: the table and field separators, quotes,
// line breaks, offsets and dates at their limits, cut and doubled pieces.
std::string mutate(const std::string& seed, std::mt19937& rng) {
  static const std::vector<std::string> kPieces = {",",
                                                   "\x01",
                                                   "\"",
                                                   "\n",
                                                   "\r\n",
                                                   "Z",
                                                   "+14:00",
                                                   "-12:00",
                                                   "+99:99",
                                                   "9999-12-31T23:59:59",
                                                   "0000-01-01T00:00:00",
                                                   "2021-03-28T01:00:00Z",
                                                   "-1",
                                                   "1e308",
                                                   "NaN",
                                                   "{",
                                                   "]",
                                                   "..",
                                                   "media",
                                                   "event",
                                                   "animal",
                                                   "|"};
  std::string s = seed;
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < edits; ++k) {
    const std::size_t pos = s.empty() ? 0 : 1 + rng() % s.size();
    switch (rng() % 5) {
      case 0:
        s.insert(std::min(pos, s.size()), kPieces[rng() % kPieces.size()]);
        break;
      case 1:
        s.erase(std::min(pos, s.size()), rng() % 30);
        break;
      case 2:
        if (pos < s.size()) s[pos] = static_cast<char>(rng() % 256);
        break;
      case 3:
        s.insert(std::min(pos, s.size()), s.substr(std::min(pos, s.size()), rng() % 300));
        break;
      default:
        s.resize(std::min(pos, s.size()));
        break;
    }
  }
  return s;
}

}  // namespace

TEST(ImportFuzzReplay, CorpusAndMutations) {
  const auto seeds = corpus();
  ASSERT_FALSE(seeds.empty());
  for (const auto& s : seeds) mvfuzz::camtrapPackage(s);
  std::mt19937 rng(20261210u);
  for (int k = 0; k < 40; ++k) mvfuzz::camtrapPackage(mutate(seeds[rng() % seeds.size()], rng));
  for (const std::string& s : {std::string(), std::string("\x01\x01\x01\x01"), std::string(20000, '\x01'),
                               std::string("\x02,\n,\n\x01,\x01,")})
    mvfuzz::camtrapPackage(s);
}
