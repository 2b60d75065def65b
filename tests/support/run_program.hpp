// Runs a built program through the shell, as a user would from a terminal.
#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace mvtest {

// What the program reads on its standard input.
struct Stdin {
  enum class Kind { closed, empty, piped, file, inherited };
  Kind kind = Kind::closed;
  std::string text;            // the text sent through a pipe
  std::filesystem::path file;  // the file read

  static Stdin closed() { return {}; }                                                   // `<&-`
  static Stdin empty() { return {Kind::empty, "", {}}; }                                 // `< /dev/null`
  static Stdin piped(std::string t) { return {Kind::piped, std::move(t), {}}; }          // `... |`
  static Stdin from(std::filesystem::path f) { return {Kind::file, "", std::move(f)}; }  // `< file`
  static Stdin inherited() { return {Kind::inherited, "", {}}; }                         // the test's own
};

// One run: the program, where, with what, and where its output goes.
struct Command {
  std::filesystem::path exe{};
  std::filesystem::path cwd{};  // where it runs (empty: here)
  std::string arguments{};      // shell words as typed after the program
  Stdin input = Stdin::closed();
  std::string environment{};  // `NAME=value ...` for the program only
  // Where its standard output and error go; empty: a file of its own,
  // outside `cwd`, read back into Ran. An error path equal to the output
  // path sends both to that one file (`2>&1`).
  std::filesystem::path out{};
  std::filesystem::path err{};
};

// The exit status (-1 when the program did not exit) and what it wrote.
struct Ran {
  int status;
  std::string out;
  std::string err;
};

// Quoted for the shell: 'text', with every ' inside written '\''.
std::string shellQuoted(const std::string& text);

Ran runProgram(const Command& command);

}  // namespace mvtest
