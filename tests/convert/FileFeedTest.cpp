// SPDX-License-Identifier: GPL-3.0-or-later
// A batch fed one file at a time holds only its window of files, however
// long the list, and ends cleanly when the list ends before its count.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "convert/ParallelConvert.h"
#include "support/FakePrompt.h"

namespace vantor {
namespace {

// Missing files (each fails at once); notes how far ahead of the files
// reported the batch has taken.
class CountingFeed final : public FileFeed {
 public:
  CountingFeed(std::size_t count, std::size_t given) : count_(count), given_(given) {}
  std::size_t Count() const override { return count_; }
  bool AnyCsv() const override { return false; }
  std::optional<SourceFile> Next() override {
    if (taken_ == given_) return std::nullopt;
    mostAhead = std::max(mostAhead, ++taken_ - reported_);
    return SourceFile{"/nonexistent/run" + std::to_string(taken_) + ".xbm", SourceKind::Xbm};
  }
  void Reported(std::size_t n) { reported_ = n; }
  std::size_t mostAhead = 0;

 private:
  std::size_t count_, given_, taken_ = 0;
  std::atomic<std::size_t> reported_ = 0;
};

struct ReportingPrompt : test::FakePrompt {
  CountingFeed* feed = nullptr;
  void ShowStatus(std::string_view text) override {
    FakePrompt::ShowStatus(text);
    if (feed != nullptr) feed->Reported(statuses.size());
  }
};

TEST(ParallelFeed, HoldsOnlyTheWindow_EndsWhenTheListEndsEarly) {
  for (const auto& [count, given] : {std::pair<std::size_t, std::size_t>{500, 500}, {500, 37}}) {
    ReportingPrompt prompt;
    CountingFeed feed(count, given);
    prompt.feed = &feed;
    ConvertContext context(prompt);
    OutputChoice outputs{};
    outputs[0] = true;
    const RunResult result = ConvertBatch(feed, outputs, context, {2, false});
    EXPECT_EQ(result.files, static_cast<int>(given));
    EXPECT_EQ(result.failed, static_cast<int>(given));
    EXPECT_EQ(prompt.statuses.at(given - 1), std::to_string(given) + "/" + std::to_string(count));
    EXPECT_LE(feed.mostAhead, 4u * 2 + 1);  // the window of 4 per job, and the one being reported
  }
}

}  // namespace
}  // namespace vantor
