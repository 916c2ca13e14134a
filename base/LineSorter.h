// SPDX-License-Identifier: GPL-3.0-or-later
// Sorting lines of text in bounded memory, for checks over a batch whose
// file list is never held whole: lines are kept until they fill the budget,
// then sorted and written to a temporary file; reading merges those runs.
// A batch that fits the budget never touches the disk.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class LineSorter {
 public:
  // `memoryBytes`: about what the held lines may take at once.
  explicit LineSorter(std::size_t memoryBytes = std::size_t{1} << 20);
  ~LineSorter();
  LineSorter(const LineSorter&) = delete;
  LineSorter& operator=(const LineSorter&) = delete;

  // A line without "\n" in it (escape one); false, with the reason, when a
  // run could not be written.
  bool Add(std::string line, std::string* why = nullptr);
  // Ends adding; from now on Next gives the lines in byte order. False,
  // with the reason, when a run could not be written or read back.
  bool Finish(std::string* why = nullptr);
  // The next line in order; none after the last (or after a read failure,
  // which Failed then tells).
  std::optional<std::string> Next();
  bool Failed() const { return failed_; }

 private:
  struct Run;
  bool Spill(std::string* why);

  std::size_t budget_;
  std::size_t held_ = 0;
  std::vector<std::string> lines_;
  std::size_t nextHeld_ = 0;
  std::vector<std::unique_ptr<Run>> runs_;
  bool failed_ = false;
};

}  // namespace vantor
