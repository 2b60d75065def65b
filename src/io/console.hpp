// The operator's console: progress lines and messages out, answers in.
#pragma once

#include <istream>
#include <ostream>

#include "layout/layout.hpp"
#include "io/sinks.hpp"

namespace mv {

// How a run talks to its operator. The defaults are the interactive
// dialogue: every line on one stream, and the waits for Enter.
struct ConsoleMode {
  // No progress lines; messages (errors, warnings) go to the error stream.
  bool quiet = false;
  // The "Hit enter" waits return at once.
  bool noWait = false;
};

class Console {
 public:
  Console(std::ostream& out, std::istream& in) : Console(out, in, out, ConsoleMode{}) {}
  Console(std::ostream& out, std::istream& in, std::ostream& err, ConsoleMode mode)
      : progressSink_(out),
        messageSink_(mode.quiet ? err : out),
        progress_(mode.quiet ? static_cast<LineSink&>(nullSink_) : progressSink_),
        message_(messageSink_),
        lines_(in),
        reader_(lines_),
        noWait_(mode.noWait) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Progress lines and the dialogue.
  Writer& out() { return progress_; }
  // Messages the operator must see even in a quiet run: errors and warnings.
  // In the interactive dialogue they share the progress stream, in order.
  Writer& error() { return message_; }
  FreeReader& reader() { return reader_; }
  // A console read with no values: waits for Enter. End of input counts as
  // Enter, so a closed console never hangs the program.
  void waitForEnter() {
    if (!noWait_) reader_.skipLine();
  }

 private:
  class NullSink final : public LineSink {
   public:
    void line(std::string_view) override {}
  };
  NullSink nullSink_;
  StreamSink progressSink_;
  StreamSink messageSink_;
  Writer progress_;
  Writer message_;
  StreamLines lines_;
  FreeReader reader_;
  bool noWait_;
};

// Thrown by a routine that ends the run early, after it has written its
// message (and waited for Enter where the dialogue says so).
struct RunEnded {
  int status = 1;
};

}  // namespace mv
