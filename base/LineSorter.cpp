// SPDX-License-Identifier: GPL-3.0-or-later
// Sorted runs in temporary files, merged on reading.
#include "base/LineSorter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantor {

// One sorted run on disk and the line of it that is next in order.
struct LineSorter::Run {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, std::fclose};
  std::optional<std::string> head;

  // False on a read error; at the end `head` is empty.
  bool Advance() {
    head.reset();
    std::string line;
    for (int c; (c = std::getc(file.get())) != EOF;) {
      if (c == '\n') {
        head = std::move(line);
        return true;
      }
      line += static_cast<char>(c);
    }
    return std::ferror(file.get()) == 0;
  }
};

LineSorter::LineSorter(std::size_t memoryBytes) : budget_(memoryBytes) {}
LineSorter::~LineSorter() = default;

namespace {

std::string SystemReason() {
  return errno != 0 ? std::strerror(errno) : "temporary file failed";
}

}  // namespace

bool LineSorter::Spill(std::string* why) {
  std::sort(lines_.begin(), lines_.end());
  auto run = std::make_unique<Run>();
  run->file.reset(std::tmpfile());
  bool written = run->file != nullptr;
  for (std::size_t i = 0; written && i < lines_.size(); ++i)
    written = std::fwrite(lines_[i].data(), 1, lines_[i].size(), run->file.get()) == lines_[i].size() &&
              std::fputc('\n', run->file.get()) != EOF;
  written = written && std::fflush(run->file.get()) == 0;
  if (!written) {
    if (why != nullptr) *why = "cannot keep sorted lines: " + SystemReason();
    failed_ = true;
    return false;
  }
  std::rewind(run->file.get());
  runs_.push_back(std::move(run));
  lines_.clear();
  held_ = 0;
  return true;
}

bool LineSorter::Add(std::string line, std::string* why) {
  held_ += line.size() + sizeof(std::string);
  lines_.push_back(std::move(line));
  return held_ < budget_ || Spill(why);
}

bool LineSorter::Finish(std::string* why) {
  if (runs_.empty()) {
    std::sort(lines_.begin(), lines_.end());  // all of it in memory
    return !failed_;
  }
  if (!lines_.empty() && !Spill(why)) return false;
  for (auto& run : runs_)
    if (!run->Advance()) {
      if (why != nullptr) *why = "cannot read sorted lines back: " + SystemReason();
      failed_ = true;
      return false;
    }
  return true;
}

std::optional<std::string> LineSorter::Next() {
  if (failed_) return std::nullopt;
  if (runs_.empty()) {
    if (nextHeld_ == lines_.size()) return std::nullopt;
    return std::move(lines_[nextHeld_++]);
  }
  // The least head of the runs: few runs, so a scan serves as well as a heap.
  Run* least = nullptr;
  for (auto& run : runs_)
    if (run->head && (least == nullptr || *run->head < *least->head)) least = run.get();
  if (least == nullptr) return std::nullopt;
  std::string line = std::move(*least->head);
  if (!least->Advance()) failed_ = true;
  return line;
}

}  // namespace vantor
