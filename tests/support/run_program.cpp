#include "support/run_program.hpp"

#include <sys/wait.h>

#include <cstdlib>

#include "support/test_support.hpp"

namespace mvtest {

std::string shellQuoted(const std::string& text) {
  // Built by appending: GCC 12 at -O3 takes `"'" + std::string` for an
  // overlapping copy and warns (-Wrestrict).
  std::string q = "'";
  for (const char c : text) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  q += '\'';
  return q;
}

Ran runProgram(const Command& command) {
  const TempDir streams;
  const std::filesystem::path out = command.out.empty() ? streams / "stdout" : command.out;
  const std::filesystem::path err = command.err.empty() ? streams / "stderr" : command.err;
  std::string cmd;
  if (!command.cwd.empty()) {
    cmd += "cd ";
    cmd += shellQuoted(command.cwd.string());
    cmd += " && ";
  }
  if (command.input.kind == Stdin::Kind::piped) {
    writeFile(streams / "stdin", command.input.text);
    cmd += "cat ";
    cmd += shellQuoted((streams / "stdin").string());
    cmd += " | ";
  }
  if (!command.environment.empty()) {
    cmd += command.environment;
    cmd += ' ';
  }
  cmd += shellQuoted(command.exe.string());
  if (!command.arguments.empty()) {
    cmd += ' ';
    cmd += command.arguments;
  }
  switch (command.input.kind) {
    case Stdin::Kind::closed:
      cmd += " <&-";
      break;
    case Stdin::Kind::empty:
      cmd += " < /dev/null";
      break;
    case Stdin::Kind::piped:
    case Stdin::Kind::inherited:
      break;
    case Stdin::Kind::file:
      cmd += " < ";
      cmd += shellQuoted(command.input.file.string());
      break;
  }
  cmd += " > ";
  cmd += shellQuoted(out.string());
  if (err == out) {
    cmd += " 2>&1";
  } else {
    cmd += " 2> ";
    cmd += shellQuoted(err.string());
  }
  const int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readFile(out), err == out ? std::string() : readFile(err)};
}

}  // namespace mvtest
