// Names for the fixed-column study files: cleaned of line breaks and runs of
// blanks, cut to their field, and checked to stay distinct once cut.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mv::camtrap {

// Blanks, tabs, line breaks and other control characters become one blank
// between words; none stay at either end.
std::string cleanText(std::string_view text);

// The first `width` bytes of a text, shortened so that no UTF-8 character is
// split (the study files count columns in bytes).
std::string cutText(std::string_view text, std::size_t width);

// A cleaned name cut and blank-padded to the 25 columns of the study files.
std::string fixedName(std::string_view cleanName);

// Records names of one kind (locations, groups, species) and fails when two
// different names become the same 25-column name.
class DistinctNames {
 public:
  explicit DistinctNames(std::string kind) : kind_(std::move(kind)) {}
  // The 25-column form of `name`; throws ImportError naming both names when
  // an earlier, different name has the same form.
  std::string add(const std::string& name);
  // The names longer than 25 columns, each once, in order of first use.
  const std::vector<std::string>& cutNames() const { return cut_; }

 private:
  std::string kind_;
  std::map<std::string, std::string> byFixed_;
  std::vector<std::string> cut_;
};

}  // namespace mv::camtrap
