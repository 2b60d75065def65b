// Writes a valid, large study folder for benchmarks: Input.txt, GroupMap.txt
// and AllPictures.txt, deterministic from a seed.
//
//   morvelstrand-make-study DIR [--pictures N] [--groups G] [--species S]
//                               [--years Y] [--locations-per-group L] [--seed K]
//
// Each location operates for the whole study in one period per year. Pictures
// come location by location in time order, in bursts of 1 to 6 pictures a few
// minutes apart (one animal in front of the camera), with about 1 line in 200
// carrying a fault that the validation rejects.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
  std::filesystem::path dir;
  long pictures = 1000000;
  int groups = 60;
  int species = 80;
  int years = 5;
  int perGroup = 3;
  unsigned seed = 1;
};

[[noreturn]] void usage(const char* why) {
  std::fprintf(stderr,
               "morvelstrand-make-study: %s\n"
               "usage: morvelstrand-make-study DIR [--pictures N] [--groups G] [--species S] [--years Y]\n"
               "                               [--locations-per-group L] [--seed K]\n",
               why);
  std::exit(2);
}

long number(const char* text, long lo, long hi) {
  long v = 0;
  const char* end = text + std::char_traits<char>::length(text);
  auto [p, ec] = std::from_chars(text, end, v);
  if (ec != std::errc() || p != end || v < lo || v > hi) usage("bad number");
  return v;
}

Options parse(int argc, char** argv) {
  Options o;
  bool haveDir = false;
  for (int k = 1; k < argc; ++k) {
    std::string_view a = argv[k];
    auto value = [&](long lo, long hi) {
      if (k + 1 >= argc) usage("missing value");
      return number(argv[++k], lo, hi);
    };
    if (a == "--pictures")
      o.pictures = value(0, 1000000000L);
    else if (a == "--groups")
      o.groups = static_cast<int>(value(1, 999));
    else if (a == "--species")
      o.species = static_cast<int>(value(1, 999));
    else if (a == "--years")
      o.years = static_cast<int>(value(1, 18));
    else if (a == "--locations-per-group")
      o.perGroup = static_cast<int>(value(1, 50));
    else if (a == "--seed")
      o.seed = static_cast<unsigned>(value(0, 4000000000L));
    else if (!a.empty() && a[0] == '-')
      usage("unknown option");
    else if (!haveDir) {
      o.dir = a;
      haveDir = true;
    } else
      usage("too many arguments");
  }
  if (!haveDir) usage("no folder given");
  return o;
}

std::string pad(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

FILE* create(const std::filesystem::path& p) {
  FILE* f = std::fopen(p.c_str(), "wb");
  if (f == nullptr) {
    std::perror(p.c_str());
    std::exit(1);
  }
  static std::vector<char> buffers[3];
  static int next = 0;
  buffers[next].resize(1 << 20);
  std::setvbuf(f, buffers[next].data(), _IOFBF, buffers[next].size());
  next = (next + 1) % 3;
  return f;
}

const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  std::filesystem::create_directories(o.dir);
  std::mt19937_64 rng(o.seed);
  const int firstYear = 2012;
  const int nloc = o.groups * o.perGroup;

  auto locName = [&](int g, int l) {
    char b[32];
    std::snprintf(b, sizeof b, "Cam %03d-%02d", g, l);
    return pad(b, 25);
  };
  auto groupName = [&](int g) {
    char b[32];
    std::snprintf(b, sizeof b, "Site %03d", g);
    return std::string(b);
  };
  auto speciesName = [&](int s) {
    char b[32];
    std::snprintf(b, sizeof b, "Species %03d", s);
    return pad(b, 25);
  };

  FILE* in = create(o.dir / "Input.txt");
  std::fprintf(in, "Generated study: %ld pictures, %d groups, %d species, %d years, seed %u\r\n", o.pictures, o.groups,
               o.species, o.years, o.seed);
  std::fprintf(in, "%d\r\n", nloc);
  std::uniform_int_distribution<int> east(400000, 600000), north(3900000, 4100000), elev(100, 3000);
  for (int g = 1; g <= o.groups; ++g) {
    const int e0 = east(rng), n0 = north(rng), z0 = elev(rng);
    for (int l = 1; l <= o.perGroup; ++l) {
      std::fprintf(in, "%s %6d %7d %5d\r\n", locName(g, l).c_str(), e0 + 300 * l, n0 + 170 * (l % 3), z0 + 10 * l);
      std::fprintf(in, "%d\r\n", o.years);
      for (int y = 0; y < o.years; ++y)
        std::fprintf(in, "%d 1 %d %d 12 31\r\n", firstYear + y, 1 + (g + l) % 20, firstYear + y);
    }
  }
  std::fprintf(in, "%d\r\n", o.species);
  for (int s = 1; s <= o.species; ++s) std::fprintf(in, "%s\r\n", speciesName(s).c_str());
  std::fclose(in);

  FILE* map = create(o.dir / "GroupMap.txt");
  for (int g = 1; g <= o.groups; ++g)
    for (int l = 1; l <= o.perGroup; ++l) std::fprintf(map, "%s %s\r\n", locName(g, l).c_str(), groupName(g).c_str());
  std::fclose(map);

  // Species abundance follows a steep curve: a few common species, many rare.
  std::vector<double> weight(static_cast<std::size_t>(o.species));
  for (int s = 0; s < o.species; ++s) weight[static_cast<std::size_t>(s)] = 1.0 / (1.0 + s * 0.35);
  std::discrete_distribution<int> pickSpecies(weight.begin(), weight.end());
  std::uniform_int_distribution<int> burstLen(1, 6), gap(0, 4), people(1, 3), fault(0, 199), faultKind(0, 6);
  std::uniform_int_distribution<int> hourDist(0, 23);

  FILE* pics = create(o.dir / "AllPictures.txt");
  const long perLocation = nloc > 0 ? o.pictures / nloc : 0;
  long written = 0;
  const long studyMinutes = static_cast<long>(o.years) * 365L * 1440L;
  for (int g = 1; g <= o.groups; ++g)
    for (int l = 1; l <= o.perGroup; ++l) {
      const std::string loc = locName(g, l);
      long quota = perLocation + ((g - 1) * o.perGroup + l <= o.pictures % nloc ? 1 : 0);
      // Mean spacing between bursts keeps every location's pictures inside the study.
      const long meanStep = std::max(1L, studyMinutes / std::max(1L, quota / 3 + 1));
      std::uniform_int_distribution<long> step(1, 2 * meanStep);
      long minute = step(rng) % meanStep;
      while (quota > 0) {
        minute += step(rng);
        if (minute >= studyMinutes) minute = step(rng) % meanStep;
        const int sp = pickSpecies(rng) + 1;
        int n = std::min<long>(burstLen(rng), quota);
        long m = minute;
        const int ind = people(rng);
        for (int k = 0; k < n; ++k, --quota) {
          m += gap(rng);
          long day = m / 1440;
          int year = firstYear + static_cast<int>(day / 365);
          int doy = static_cast<int>(day % 365);
          int month = 0;
          while (doy >= kMonthDays[month]) doy -= kMonthDays[month++];
          int hour = static_cast<int>((m / 60) % 24);
          if (k == 0 && n == 1) hour = hourDist(rng);
          int minuteOfHour = static_cast<int>(m % 60);
          std::string sname = speciesName(sp);
          std::string lname = loc;
          int mon = month + 1, dd = doy + 1, hh = hour, mm = minuteOfHour, cnt = ind;
          if (fault(rng) == 0) {
            switch (faultKind(rng)) {
              case 0:
                sname = pad("Unknown animal", 25);
                break;
              case 1:
                lname = pad("Stolen camera", 25);
                break;
              case 2:
                year = firstYear - 1;
                break;
              case 3:
                mon = 13;
                break;
              case 4:
                dd = 0;
                break;
              case 5:
                hh = 24;
                break;
              default:
                cnt = -1;
                break;
            }
          }
          std::fprintf(pics, "%s %s %4d %2d %2d %2d %2d %2d %2d\r\n", lname.c_str(), sname.c_str(), year, mon, dd, hh,
                       mm, k % 60, cnt);
          ++written;
        }
      }
    }
  std::fclose(pics);
  std::printf("%s: %d locations in %d groups, %d species, %d years, %ld picture lines\n", o.dir.c_str(), nloc, o.groups,
              o.species, o.years, written);
  return 0;
}
