// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli as a user runs it from a shell, case by case from
// tests/data/cli-cases.txt (its head says how a case is written). Every case
// runs in a fresh folder holding copies of the samples.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "support/DataRows.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Files(const fs::path& root) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(root)) names.insert(fs::relative(e.path(), root).string());
  return names;
}

struct Case {
  int line = 0;
  std::string setup, command, err;  // err: all of standard error, when `exact`
  bool exact = false;
  int exitCode = 0;
  std::vector<std::string> errHas, outHas;
  std::set<std::string> made;
  std::vector<std::pair<std::string, std::string>> same;  // files with equal bytes
};

void RunCase(const Case& c) {
  SCOPED_TRACE("cli-cases.txt:" + std::to_string(c.line) + ": " + c.command);
  test::TempDir dir;
  fs::copy(VANTOR_SAMPLES_DIR, dir.path());
  const std::string path = "PATH=" + test::ShellQuote(fs::path(VANTOR_CLI_PATH).parent_path().string()) + ":$PATH; ";
  const std::string cd = path + "cd " + test::ShellQuote(dir.path().string()) + " && ";
  ASSERT_EQ(std::system((cd + "{ " + c.setup + " true; } >/dev/null 2>&1").c_str()), 0);
  const std::set<std::string> before = Files(dir.path());
  test::TempDir capture;
  const std::string command = cd + "{ " + c.command + "; } </dev/null >" + test::ShellQuote(capture / "out") + " 2>" +
                              test::ShellQuote(capture / "err");
  const int status = std::system(command.c_str());
  const std::string out = test::ReadAll(capture / "out"), err = test::ReadAll(capture / "err");
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.exitCode) << err;
  if (c.exact) {
    EXPECT_EQ(err, c.err);
  }
  for (const auto& text : c.errHas) EXPECT_NE(err.find(text), std::string::npos) << text << " in:\n" << err;
  for (const auto& text : c.outHas) EXPECT_NE(out.find(text), std::string::npos) << text << " in:\n" << out;
  if (c.outHas.empty()) {
    EXPECT_EQ(out, "");
  }
  std::set<std::string> made;
  for (const auto& name : Files(dir.path()))
    if (!before.contains(name)) made.insert(name);
  EXPECT_EQ(made, c.made);
  const auto where = [&](const std::string& name) {
    return name.starts_with("data/") ? VANTOR_TEST_DATA_DIR + name.substr(4) : dir / name;
  };
  for (const auto& [a, b] : c.same) EXPECT_TRUE(test::ReadAll(where(a)) == test::ReadAll(where(b))) << a << " | " << b;
}

std::vector<Case> Cases() {
  std::istringstream text(test::ReadAll(VANTOR_TEST_DATA_DIR "/cli-cases.txt"));
  std::vector<Case> cases;
  Case c;
  int number = 0;
  for (std::string line; std::getline(text, line);) {
    ++number;
    if (line.empty()) {  // a blank line ends a case
      if (c.line > 0) cases.push_back(c);
      c = {};
      continue;
    }
    if (line[0] == '#') continue;
    if (c.line == 0) c.line = number;
    const std::string rest = line.size() > 2 ? line.substr(2) : "";
    const auto bar = rest.find(" | ");
    const char kind = line[0];
    if (kind == '%') c.setup += rest + ";";
    if (kind == '$') c.command = rest;
    if (kind == '=') c.exitCode = std::stoi(rest);
    if (kind == '!') c.err += rest + "\n", c.exact = true;
    if (kind == '~') c.errHas.push_back(test::Unescape(rest));
    if (kind == '>') c.outHas.push_back(test::Unescape(rest));
    if (kind == '+') c.made.insert(rest);
    if (kind == '&') c.same.emplace_back(rest.substr(0, bar), rest.substr(bar + 3));
    if (std::string_view("%$=!~>+&").find(kind) == std::string_view::npos) ADD_FAILURE() << number << ": " << line;
  }
  if (c.line > 0) cases.push_back(c);
  return cases;
}

TEST(CliCases, EachCaseExitsSaysAndWritesWhatItShould) {
  const std::vector<Case> cases = Cases();
  EXPECT_GT(cases.size(), 20u);
  for (const Case& c : cases) {
#ifndef VANTOR_WITH_PLOT
    if (c.command.find("vantor-cli plot") != std::string::npos) continue;
#endif
    RunCase(c);
  }
}

}  // namespace
}  // namespace vantor
