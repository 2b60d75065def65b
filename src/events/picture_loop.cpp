#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "events/events.hpp"
#include "model/labels.hpp"
#include "io/sinks.hpp"

namespace mv {

void FIRSTLAST(Table<int, 4>& FIRSTLASTPIC, int g, int s, int Y, int M, int D, int H, int N, int d, int m) {
  // Strict comparisons: among pictures of one minute the one read first stays
  // first and also stays last.
  const int values[7] = {Y, M, D, H, N, d, m};
  if (m < FIRSTLASTPIC(g, s, 7, 1))
    for (int f = 1; f <= 7; ++f) FIRSTLASTPIC(g, s, f, 1) = values[f - 1];
  if (m > FIRSTLASTPIC(g, s, 7, 2))
    for (int f = 1; f <= 7; ++f) FIRSTLASTPIC(g, s, f, 2) = values[f - 1];
}

void UPDATEACTIVITY(int s, const MoonWindows& moon, int H, int M, int d, Table<int, 3>& ACTMONTHHOUR,
                    Table<int, 3>& ACTSEASONHOUR, Table<int, 3>& ACTMOONHOUR) {
  ACTMONTHHOUR(s, M, H) += 1;
  ACTSEASONHOUR(s, seasonOf(M), H) += 1;
  // At most one phase per picture, the full moon first.
  const int phase = moon.phase(d);
  if (phase != 0) ACTMOONHOUR(s, phase, H) += 1;
}

PictureLoop::PictureLoop(const StudyInput& st, PictureTallies& tallies, EventObserver* events)
    : st_(st), tallies_(tallies), moon_(tallies.MOONDAYS), events_(events) {}

void PictureLoop::openEvent(const ListedPicture& p) {
  // The event before ends where this one starts; its individuals are still
  // those of the loop state.
  if (event_.pictures > 0) {
    event_.individuals = eventIndividuals_;
    events_->eventClosed(event_);
  }
  event_.start = p;
  event_.pictures = 1;
}

void PictureLoop::finish() {
  if (events_ == nullptr || event_.pictures == 0) return;
  event_.individuals = eventIndividuals_;
  events_->eventClosed(event_);
  event_.pictures = 0;
}

void PictureLoop::add(const ListedPicture& p) {
  const StudyInput& st = st_;
  PictureTallies& tallies = tallies_;
  const int g = p.group;
  const int s = p.species;
  const int h = p.hourNumber;
  const int m = p.minuteNumber;
  const int n = p.individuals;
  // The cells of the four kinds, and of the first and last minute, from
  // one look-up each.
  int* const cell = &tallies.PICCOUNT(g, s, p.year, p.month, kAllPictures);
  const std::ptrdiff_t kindStride = tallies.PICCOUNT.stride(4);
  const auto count = [&](PicKind kind) -> int& { return cell[(kind - kAllPictures) * kindStride]; };
  const int* const firstMinute = &tallies.FIRSTLASTPIC(g, s, 7, 1);
  const int lastMinute = firstMinute[tallies.FIRSTLASTPIC.stride(3)];

  count(kAllPictures) += 1;
  tallies.SPECIESFIRSTDAY(s) = std::min(tallies.SPECIESFIRSTDAY(s), p.dayNumber - st.FIRSTDAY + 1);
  if (m < *firstMinute || m > lastMinute)
    FIRSTLAST(tallies.FIRSTLASTPIC, g, s, p.year, p.month, p.day, p.hour, p.minute, p.dayNumber, m);

  if (g != previousGroup_ || s != previousSpecies_) {
    // A new run of lines of one group and species: a new activity picture
    // and a new event.
    if (events_ != nullptr) openEvent(p);
    count(kActivityPictures) += 1;
    count(kIndependentPictures) += 1;
    count(kIndividuals) += n;
    UPDATEACTIVITY(s, moon_, p.hour, p.month, p.dayNumber, tallies.ACTMONTHHOUR, tallies.ACTSEASONHOUR,
                   tallies.ACTMOONHOUR);
    eventIndividuals_ = n;
    previousGroup_ = g;
    previousSpecies_ = s;
    eventMinute_ = m;
    previousHour_ = h;
    return;
  }

  // The same run: one activity picture per later clock hour.
  if (h > previousHour_) {
    count(kActivityPictures) += 1;
    UPDATEACTIVITY(s, moon_, p.hour, p.month, p.dayNumber, tallies.ACTMONTHHOUR, tallies.ACTSEASONHOUR,
                   tallies.ACTMOONHOUR);
    previousHour_ = h;
  }
  if (m < eventMinute_ + tallies.PERIOD) {
    // The same event: it counts its largest number of individuals, and its
    // minute moves only when that number rises.
    if (events_ != nullptr) ++event_.pictures;
    if (n > eventIndividuals_) {
      count(kIndividuals) += n - eventIndividuals_;
      eventIndividuals_ = n;
      eventMinute_ = m;
    }
  } else {
    // PERIOD or more minutes after the event minute: a new independent event.
    if (events_ != nullptr) openEvent(p);
    count(kIndependentPictures) += 1;
    count(kIndividuals) += n;
    eventIndividuals_ = n;
    eventMinute_ = m;
  }
}

void PictureLoop::add(std::span<const ListedPicture> pictures) {
  // The count cells of a picture a few lines on are asked for ahead: they
  // lie all over PICCOUNT, and waiting for each in turn is most of the loop.
  constexpr std::size_t kAhead = 8;
  const std::size_t n = pictures.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (k + kAhead < n) {
      const ListedPicture& q = pictures[k + kAhead];
      const int* const cell = &tallies_.PICCOUNT(q.group, q.species, q.year, q.month, kAllPictures);
      const std::ptrdiff_t kindStride = tallies_.PICCOUNT.stride(4);
      for (int kind = 0; kind < 4; ++kind) __builtin_prefetch(cell + kind * kindStride, 1);
      __builtin_prefetch(&tallies_.FIRSTLASTPIC(q.group, q.species, 7, 1), 0);
    }
    add(pictures[k]);
  }
}

namespace {

// Whether every index the line uses lies within the tables.
bool fitsTables(const StudyInput& st, const ListedPicture& p) {
  return p.group >= 1 && p.group <= st.NGROUPS && p.species >= 1 && p.species <= st.NSPECIES &&
         p.year >= st.FIRSTYEAR && p.year <= st.LASTYEAR && p.month >= 1 && p.month <= 12 && p.hour >= 0 &&
         p.hour <= 23;
}

}  // namespace

void READPICTURELIST(const StudyInput& st, PictureTallies& tallies, const std::filesystem::path& folder,
                     EventObserver* events) {
  FileLines file;
  // The list was written by this run a moment ago. If it cannot be read back,
  // every tally would stay 0 and the report would describe a study without
  // pictures, so the run ends here instead.
  if (!file.open(folder / "FinalPicsList.txt"))
    throw std::runtime_error("Cannot read FinalPicsList.txt: " + std::string(std::strerror(errno)));
  PictureLoop loop(st, tallies, events);
  ListedPicture p;
  std::string_view line;
  while (file.nextView(line)) {
    // The list is written earlier in the same run, so every line fits its
    // layout; a line that does not (a damaged file) is passed over rather
    // than counted into a cell that does not exist.
    if (!parseListedPicture(line, p) || !fitsTables(st, p)) continue;
    loop.add(p);
  }
  loop.finish();
  const bool readFailed = file.readError();
  file.close();
  if (readFailed) throw std::runtime_error("Error reading FinalPicsList.txt");
}

}  // namespace mv
