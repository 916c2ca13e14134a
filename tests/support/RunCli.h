// SPDX-License-Identifier: GPL-3.0-or-later
// Runs vantor-cli as a user would from a shell and captures what it says.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TestFiles.h"

namespace vantor::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// `arguments` is pasted into the shell command line as it is; quote paths
// with ShellQuote. Standard input is empty, as in a batch job, unless
// `input` names a file; `before` runs in the same shell first (limits).
inline CliRun RunCli(const std::string& arguments, const std::string& input = "/dev/null",
                     const std::string& before = "") {
  TempDir capture;
  const std::string out = capture / "out", err = capture / "err";
  const std::string command = before + ShellQuote(VANTOR_CLI_PATH) + " " + arguments + " <" + ShellQuote(input) +
                              " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int status = std::system(command.c_str());
  CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  return run;
}

}  // namespace vantor::test
