// The operator's console: progress lines and messages out, answers in.
#pragma once

#include <istream>
#include <ostream>

#include "layout/layout.hpp"
#include "layout/sinks.hpp"

namespace mv {

class Console {
 public:
  Console(std::ostream& out, std::istream& in) : sink_(out), writer_(sink_), lines_(in), reader_(lines_) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Writer& out() { return writer_; }
  FreeReader& reader() { return reader_; }
  // A console read with no values: waits for Enter. End of input counts as
  // Enter, so a closed console never hangs the program.
  void waitForEnter() { reader_.skipLine(); }

 private:
  StreamSink sink_;
  Writer writer_;
  StreamLines lines_;
  FreeReader reader_;
};

// Thrown by a routine that ends the run early, after it has written its
// message (and waited for Enter where the dialogue says so).
struct RunEnded {
  int status = 1;
};

}  // namespace mv
