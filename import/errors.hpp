// The one kind of failure of an import: a message for the user, naming the
// file, row or value at fault.
#pragma once

#include <stdexcept>
#include <string>

namespace mv::camtrap {

class ImportError : public std::runtime_error {
 public:
  explicit ImportError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace mv::camtrap
