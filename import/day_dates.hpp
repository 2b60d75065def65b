// Dates of the tables that give days only (a deployment's or a station's
// first and last day) and the forms they are written in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/timestamp.hpp"

namespace mv::camtrap {

// "2019-04-17", also followed by a time ("2019-04-17 00:00:00",
// "2019-04-17T10:00"), which is not read; nothing for other text or a day
// that does not exist.
std::optional<DateTime> parseIsoDay(std::string_view text);

// A date form such as "dd/mm/yyyy" (also written "%d/%m/%Y", or as the order
// "dmy" with any one of / - . or a blank between the parts). Days and months
// take one or two digits, years four: two-digit years are never read.
class DateForm {
 public:
  // Throws ImportError naming the option when the form cannot be read.
  explicit DateForm(const std::string& form);
  // A date in this form, or in ISO form (four digits first, then "-"), which
  // no other form can be mistaken for; a time after it is not read.
  std::optional<DateTime> parse(std::string_view text) const;
  const std::string& text() const { return text_; }

 private:
  enum class Part { Day, Month, Year, Separator };
  struct Item {
    Part part;
    char literal = 0;  // of a Separator; 0: any of / - . and a blank
  };
  std::string text_;
  std::vector<Item> items_;
};

// The day before and the day after.
DateTime dayBefore(const DateTime& day);
DateTime dayAfter(const DateTime& day);

}  // namespace mv::camtrap
