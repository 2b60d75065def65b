// Replays the checked-in fuzz corpus and a few thousand generated inputs
// through every reader: nothing may crash, hang or trip a sanitizer.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fuzz_targets.hpp"
#include "support/test_support.hpp"

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(MORVELSTRAND_SOURCE_DIR) / "fuzz" / "corpus";

std::vector<std::string> corpus(const std::string& target) {
  std::vector<std::string> out;
  const fs::path dir = kCorpus / target;
  if (!fs::is_directory(dir)) return out;
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const auto& f : files) out.push_back(mvtest::readFile(f));
  return out;
}

// Random edits of a seed: flipped and inserted bytes, cut or doubled pieces,
// changed line ends, very long lines, digits turned into large numbers.
std::string mutate(const std::string& seed, std::mt19937& rng) {
  std::string s = seed;
  std::uniform_int_distribution<int> op(0, 9);
  const int edits = 1 + static_cast<int>(rng() % 6);
  for (int k = 0; k < edits; ++k) {
    const std::size_t pos = s.empty() ? 0 : rng() % (s.size() + 1);
    switch (op(rng)) {
      case 0:
        if (!s.empty() && pos < s.size()) s[pos] = static_cast<char>(rng() % 256);
        break;
      case 1:
        s.insert(pos, 1, static_cast<char>(rng() % 256));
        break;
      case 2:
        s.erase(pos, rng() % 40);
        break;
      case 3:
        s.insert(pos, s.substr(pos, rng() % 200));
        break;
      case 4:
        for (char& c : s)
          if (c == '\n') c = '\r';
        break;
      case 5:
        s.insert(pos, std::string(rng() % 5000, static_cast<char>('A' + rng() % 26)));
        break;
      case 6:
        s.insert(pos, "999999999");
        break;
      case 7:
        s.insert(pos, "-1");
        break;
      case 8:
        s.resize(pos);
        break;
      default:
        s.insert(pos, "\r\n");
        break;
    }
  }
  return s;
}

void replay(const std::string& target, const std::function<void(std::string_view)>& fn, int generated) {
  const auto seeds = corpus(target);
  for (const auto& s : seeds) fn(s);
  std::mt19937 rng(20261208u);
  for (int k = 0; k < generated; ++k) {
    const std::string seed = seeds.empty() ? std::string() : seeds[rng() % seeds.size()];
    fn(mutate(seed, rng));
  }
  // Pure noise and edge shapes.
  std::string noise;
  for (int k = 0; k < 4096; ++k) noise.push_back(static_cast<char>(rng() % 256));
  for (const std::string& s :
       {std::string(), noise, std::string(100000, 'x'), std::string("\r\r\r\n\n"), std::string("\xff\xfe\x00\x01", 4)})
    fn(s);
}

}  // namespace

TEST(FuzzReplay, LayoutReader) { replay("layout", mvfuzz::layoutReader, 2000); }
TEST(FuzzReplay, InputFile) { replay("input", mvfuzz::inputFile, 600); }
TEST(FuzzReplay, GroupMap) { replay("groupmap", mvfuzz::groupMap, 600); }
TEST(FuzzReplay, AllPictures) { replay("pictures", mvfuzz::allPictures, 600); }
TEST(FuzzReplay, WholeRun) { replay("run", mvfuzz::wholeRun, 600); }
TEST(FuzzReplay, TablesAndPage) { replay("tables", mvfuzz::tablesAndPage, 50); }
