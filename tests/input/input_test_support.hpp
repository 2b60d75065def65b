// Helpers for the input-file tests: a console on strings, and the exit
// status of a routine that may end the run.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "input/input.hpp"
#include "support/test_support.hpp"

namespace inputtest {

// A console whose answers come from a string and whose lines are kept.
struct ConsoleRun {
  explicit ConsoleRun(const std::string& answers = "") : in(answers) {}
  std::istringstream in;
  std::ostringstream out;
  mv::Console console{out, in};

  // Console lines, split at CR LF (every console line ends with CR LF).
  std::vector<std::string> lines() const {
    const std::string text = out.str();
    std::vector<std::string> result;
    std::size_t p = 0;
    while (p < text.size()) {
      const std::size_t q = text.find("\r\n", p);
      if (q == std::string::npos) {
        result.push_back(text.substr(p) + "<no CR LF>");
        break;
      }
      result.push_back(text.substr(p, q - p));
      p = q + 2;
    }
    return result;
  }
  // What the operator typed that was not read yet.
  std::string unread() {
    std::string rest;
    std::string line;
    while (std::getline(in, line)) rest += line + "\n";
    return rest;
  }
};

// The status of the RunEnded that `f` threw, or -1 when it returned.
template <class F>
int endStatus(F&& f) {
  try {
    f();
  } catch (const mv::RunEnded& ended) {
    return ended.status;
  }
  return -1;
}

// A name blank-padded to 25 characters.
inline std::string pad(std::string_view text, std::size_t length = 25) { return mv::padded(text, length); }

// A counter line of the picture reading: " " + text + " " + the count
// right-justified in 12 columns.
inline std::string counterLine(const std::string& text, int n) {
  const std::string digits = std::to_string(n);
  // clang-format off
  return " " + text + " " + std::string(12 - digits.size(), ' ') + digits;
  // clang-format on
}

}  // namespace inputtest
