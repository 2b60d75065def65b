#include "import/names.hpp"

#include "import/errors.hpp"
#include "model/study.hpp"

namespace mv::camtrap {

std::string cleanText(std::string_view text) {
  std::string out;
  bool gap = false;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F) {
      gap = true;
      continue;
    }
    if (gap && !out.empty()) out.push_back(' ');
    gap = false;
    out.push_back(ch);
  }
  return out;
}

std::string cutText(std::string_view text, std::size_t width) {
  if (text.size() <= width) return std::string(text);
  std::size_t end = width;
  // Step back over continuation bytes (10xxxxxx) to the start of a character.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

std::string fixedName(std::string_view cleanName) {
  std::string name = cutText(cleanName, kNameLength);
  name.resize(kNameLength, ' ');
  return name;
}

std::string DistinctNames::add(const std::string& name) {
  std::string fixed = fixedName(name);
  const auto [it, added] = byFixed_.emplace(fixed, name);
  if (added && name.size() > kNameLength) cut_.push_back(name);
  if (!added && it->second != name) {
    std::string shown = fixed;
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    throw ImportError(kind_ + " \"" + it->second + "\" and \"" + name + "\" are both \"" + shown +
                      "\" when cut to 25 characters; rename one of them in the package");
  }
  return fixed;
}

}  // namespace mv::camtrap
