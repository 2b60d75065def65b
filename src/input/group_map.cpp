// GroupMap.txt: which location belongs to which group, and the sorted list
// of groups with their locations.
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "input/input.hpp"
#include "input/input_warnings.hpp"
#include "io/sinks.hpp"

namespace mv {

void GETNUMBEROFLOCATIONS(StudyInput& st, const std::filesystem::path& folder, Console& console) {
  const std::filesystem::path file = folder / "GroupMap.txt";
  st.NMAPLINES = 0;
  FileLines lines;
  if (!openInputFile(lines, file, console)) {
    // A missing map is created empty: the study then has no groups and every
    // picture is later rejected for its site. A dangling link of that name
    // is replaced, not followed.
    FileSink empty;
    if (empty.openReplacing(file)) empty.commit();
    return;
  }
  // Every line is an entry, empty lines included.
  std::string_view text;
  while (lines.nextView(text))
    if (++st.NMAPLINES > kMaxMapLines) {
      console.error().free("GroupMap.txt line " + std::to_string(st.NMAPLINES) + ": more than " +
                           std::to_string(kMaxMapLines) + " lines");
      console.out().free("Hit enter to TERMINATE WITH ERROR");
      console.waitForEnter();
      throw RunEnded{1};
    }
  if (lines.lineTooLong()) {
    console.error().free("GroupMap.txt line " + std::to_string(lines.lineNumber()) + ": longer than " +
                         std::to_string(lines.maxLine()) + " bytes");
    console.out().free("Hit enter to TERMINATE WITH ERROR");
    console.waitForEnter();
    throw RunEnded{1};
  }
}

void READGROUPMAP(StudyInput& st, const std::filesystem::path& folder, Console& console) {
  static const Layout& mapLayout = Layout::of("(a25,1x,a25)");
  FileLines lines;
  if (lines.open(folder / "GroupMap.txt")) {
    std::string_view text;
    ShiftWarnings shifted("GroupMap.txt", console);
    for (int i = 1; i <= st.NMAPLINES && lines.nextView(text); ++i) {
      shifted.check(text, i, kMapLineFields);
      const auto f = readFixed(mapLayout, text);
      st.MAPLOCATION(i) = fitString(f[0].text, 25, kNameLength);
      st.MAPGROUP(i) = fitString(f[1].text, 25, kNameLength);
    }
    lines.close();
    shifted.finish();
  }

  // Each location takes the group of the first map entry that names it.
  std::unordered_map<std::string_view, int> firstEntry;
  firstEntry.reserve(static_cast<std::size_t>(st.NMAPLINES));
  for (int i = 1; i <= st.NMAPLINES; ++i) firstEntry.emplace(st.MAPLOCATION(i), i);
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    const auto found = firstEntry.find(st.LOCATIONNAME(l));
    if (found != firstEntry.end()) st.LOCATIONGROUP(l) = st.MAPGROUP(found->second);
  }

  std::unordered_set<std::string_view> groups;
  for (int i = 1; i <= st.NMAPLINES; ++i) groups.insert(st.MAPGROUP(i));
  st.NGROUPS = static_cast<int>(groups.size());

  Writer& con = console.out();
  con.write("(i3,a32)", st.NMAPLINES, " locations found in GroupMap.txt");
  con.write("(i3,a29)", st.NGROUPS, " groups found in GroupMap.txt");
}

void CREATESHORTGROUPLIST(StudyInput& st) {
  // The distinct group names in map order.
  std::vector<std::string_view> names;
  std::unordered_set<std::string_view> seen;
  for (int i = 1; i <= st.NMAPLINES; ++i)
    if (seen.insert(st.MAPGROUP(i)).second) names.push_back(st.MAPGROUP(i));
  st.NGROUPS = static_cast<int>(names.size());

  // Ascending by character code. The names are distinct, so the exchange
  // procedure and any other correct sort give this same order.
  std::sort(names.begin(), names.end());
  for (int g = 1; g <= st.NGROUPS; ++g) st.GROUPNAME(g) = Name(names[static_cast<std::size_t>(g - 1)]);

  // Each group's locations in location order.
  std::unordered_map<std::string_view, int> groupNumber;
  groupNumber.reserve(names.size());
  for (int g = 1; g <= st.NGROUPS; ++g) {
    groupNumber.emplace(st.GROUPNAME(g), g);
    st.GROUPSIZE(g) = 0;
  }
  for (int l = 1; l <= st.NLOCATIONS; ++l) {
    const auto found = groupNumber.find(st.LOCATIONGROUP(l));
    if (found == groupNumber.end()) continue;
    const int g = found->second;
    st.GROUPLOCATIONS(g, ++st.GROUPSIZE(g)) = l;
  }
}

}  // namespace mv
