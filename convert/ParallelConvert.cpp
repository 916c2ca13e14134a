// SPDX-License-Identifier: GPL-3.0-or-later
// The batch: one file after another, or several side by side with their
// prompt traffic replayed in file order.
#include "convert/ParallelConvert.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "convert/FileConvert.h"
#include "convert/OutputClaims.h"

namespace vantor {
namespace {

// What a file said to the user, kept until its turn comes.
struct PromptEvent {
  enum class Kind : unsigned char { Message, FileMessage, Note, Question } kind;
  std::string path, text, reason;
};

// One file's share of the prompt. Live, it passes everything straight on;
// otherwise it keeps what the file says and answers questions with the
// batch's fixed answer. Either way it counts the overwrites declined, which
// tell a skipped file from a failed one.
class FilePrompt final : public UserPrompt {
 public:
  FilePrompt(UserPrompt* live, bool answer, std::vector<PromptEvent>& kept)
      : live_(live), answer_(answer), kept_(kept) {}

  int declined = 0;

  void Message(std::string_view text) override {
    if (live_ != nullptr) return live_->Message(text);
    kept_.push_back({PromptEvent::Kind::Message, {}, std::string(text), {}});
  }
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override {
    if (live_ != nullptr) return live_->FileMessage(path, text, reason);
    kept_.push_back({PromptEvent::Kind::FileMessage, std::string(path), std::string(text), std::string(reason)});
  }
  void Note(std::string_view text) override {
    if (live_ != nullptr) return live_->Note(text);
    kept_.push_back({PromptEvent::Kind::Note, {}, std::string(text), {}});
  }
  bool AskYesNo(std::string_view text) override {
    bool yes = answer_;
    if (live_ != nullptr) {
      yes = live_->AskYesNo(text);
    } else {
      kept_.push_back({PromptEvent::Kind::Question, {}, std::string(text), {}});
    }
    if (!yes) ++declined;
    return yes;
  }
  // Asked once per run, before any file, never by a file's conversion.
  bool AskTwoLines(std::string_view a, std::string_view b) override {
    return live_ != nullptr ? live_->AskTwoLines(a, b) : answer_;
  }
  std::optional<CsvParameters> AskCsvParameters() override {
    return live_ != nullptr ? live_->AskCsvParameters() : std::nullopt;
  }
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view name) override {
    return live_ != nullptr ? live_->AskSaveName(folder, name) : std::nullopt;
  }
  void ShowStatus(std::string_view text) override {
    if (live_ != nullptr) live_->ShowStatus(text);
  }

 private:
  UserPrompt* live_;
  bool answer_;
  std::vector<PromptEvent>& kept_;
};

// The prompt sees a replayed question as it would have seen it live; its
// answer was given already (the batch's fixed one).
void Replay(const std::vector<PromptEvent>& events, UserPrompt& prompt) {
  for (const PromptEvent& e : events) {
    switch (e.kind) {
      case PromptEvent::Kind::Message:
        prompt.Message(e.text);
        break;
      case PromptEvent::Kind::FileMessage:
        prompt.FileMessage(e.path, e.text, e.reason);
        break;
      case PromptEvent::Kind::Note:
        prompt.Note(e.text);
        break;
      case PromptEvent::Kind::Question:
        prompt.AskYesNo(e.text);
        break;
    }
  }
}

struct FileOutcome {
  RunResult tally;  // this file alone
  int declined = 0;
  std::vector<PromptEvent> events;
};

FileOutcome ConvertThrough(UserPrompt* live, bool answer, const SourceFile& file, const OutputChoice& outputs,
                           const ConvertContext& run) {
  FileOutcome outcome;
  FilePrompt prompt(live, answer, outcome.events);
  ConvertContext context(prompt, run);
  ConvertToOutputs(file, outputs, context, outcome.tally);
  outcome.declined = prompt.declined;
  return outcome;
}

int Wanted(const OutputChoice& outputs) {
  return static_cast<int>(std::count(outputs.begin(), outputs.end(), true));
}

// A file the batch refuses: it fails with the reason, none of its outputs
// asked for is written.
FileOutcome RefusedOutcome(const SourceFile& file, const OutputChoice& outputs, std::string why) {
  FileOutcome outcome;
  outcome.tally.requested = Wanted(outputs);
  outcome.events.push_back({PromptEvent::Kind::FileMessage, file.path, std::move(why), {}});
  return outcome;
}

void Tally(const FileOutcome& file, RunResult& total) {
  const RunResult& t = file.tally;
  total.requested += t.requested;
  total.written += t.written;
  ++total.files;
  if (t.written == t.requested) {
    ++total.converted;
  } else if (file.declined > 0 && t.written + file.declined == t.requested) {
    ++total.skipped;
  } else {
    ++total.failed;
  }
}

// Whether every component of a path is a name: none empty, "." or ".."
// (a leading "/" aside). Such a path is normal as it stands; the general
// normalisation costs microseconds a path, and every file's keys are made
// under the batch's lock.
bool OnlyNames(std::string_view path) {
  std::size_t start = path.starts_with('/') ? 1 : 0;
  for (;;) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == path.size()) return true;
    start = end + 1;
  }
}

// `path` made absolute from `folder` (a normal absolute path, or empty to
// leave it relative), normalised and case-folded.
std::string FoldedAbsolute(const std::string& path, const std::string& folder) {
  std::string key = path.starts_with('/') || folder.empty() ? path : folder + '/' + path;
  if (!OnlyNames(key)) key = std::filesystem::path(key).lexically_normal().string();
  // Folded for the disks that ignore case: a.xbm and a.XBM write the same
  // outputs there.
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

std::string WorkingFolder() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();  // empty if it is gone: paths stay relative
}

class VectorFeed final : public FileFeed {
 public:
  explicit VectorFeed(const std::vector<SourceFile>& files) : files_(files) {}
  std::size_t Count() const override { return files_.size(); }
  bool AnyCsv() const override {
    return std::any_of(files_.begin(), files_.end(), IsAnalyserExport);
  }
  std::optional<SourceFile> Next() override {
    if (next_ == files_.size()) return std::nullopt;
    return files_[next_++];
  }
  void Rewind() override { next_ = 0; }

 private:
  const std::vector<SourceFile>& files_;
  std::size_t next_ = 0;
};

// One file after another, "n/count" after each; false when the user
// stopped the run between files.
bool InTurn(FileFeed& files, const OutputChoice& outputs, ConvertContext& context, OutputClaims& claims,
            RunResult& result) {
  const int count = static_cast<int>(files.Count());
  for (std::size_t index = 0; const auto file = files.Next(); ++index) {
    if (result.files > 0 && StopBetweenFiles(context.prompt)) return false;
    if (auto refused = claims.Refusal(index)) {
      const FileOutcome outcome = RefusedOutcome(*file, outputs, std::move(*refused));
      Replay(outcome.events, context.prompt);
      Tally(outcome, result);
    } else {
      ConvertOneFile(*file, outputs, context, result);
    }
    context.prompt.ShowStatus(ProgressText(result.files, count));
  }
  return true;
}

// Every file's paths before any file is converted; false, with the reason
// said, when the check could not be made (the run then writes nothing).
bool CheckClaims(FileFeed& files, const OutputChoice& outputs, const ConvertContext& context,
                 OutputClaims& claims) {
  std::string why;
  bool checked = true;
  for (std::size_t index = 0; checked; ++index) {
    const auto file = files.Next();
    if (!file) break;
    checked = claims.Add(index, *file, outputs, context.outputFolder, &why);
  }
  files.Rewind();
  if (checked && claims.Finish(&why)) return true;
  context.prompt.Message("Convert Error (" + why + ")");
  return false;
}

// Several files at once: the calling thread and jobs - 1 more take files
// in list order from the feed, at most a window of files ahead of the one
// reported last. Whoever finishes the next file to report reports it and
// every finished one after it, one thread at a time, so outcomes reach the
// prompt in list order without a thread that only waits to report. Only
// the files in the window are ever held, however long the list.
class SideBySide {
 public:
  SideBySide(FileFeed& files, const OutputChoice& outputs, const ConvertContext& run, OutputClaims& claims,
             bool answer, unsigned jobs, UserPrompt& prompt, RunResult& total)
      : files_(files),
        claims_(claims),
        count_(static_cast<int>(files.Count())),
        outputs_(outputs),
        run_(run),
        answer_(answer),
        prompt_(prompt),
        total_(total),
        slots_(4 * std::size_t{jobs}),
        workingFolder_(WorkingFolder()),
        jobs_(jobs) {}

  void Run() {
    std::vector<std::jthread> helpers;
    try {
      for (unsigned j = 1; j < jobs_; ++j) helpers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // Fewer threads than asked for still finish the batch.
    }
    Work();
  }  // the helpers are joined here, every file reported

 private:
  void Work() {
    while (auto taken = Take()) {
      const std::size_t index = taken->index;
      FileOutcome outcome = taken->refusal ? RefusedOutcome(taken->file, outputs_, std::move(*taken->refusal))
                                           : ConvertThrough(nullptr, answer_, taken->file, outputs_, run_);
      {
        std::lock_guard lock(mutex_);
        std::erase_if(busy_, [&](const auto& b) { return b.first == index; });
        slots_[index % slots_.size()] = std::move(outcome);
      }
      changed_.notify_all();  // its paths are free
      ReportInOrder();
    }
  }

  // Reports the finished files next in list order, unless another thread
  // is doing so: that one finds this file too, since it stops only on
  // seeing, under the same lock, that the next file is not finished.
  void ReportInOrder() {
    std::unique_lock lock(mutex_);
    if (reporting_) return;
    reporting_ = true;
    for (;;) {
      auto& slot = slots_[reported_ % slots_.size()];
      if (!slot) break;
      const FileOutcome outcome = std::move(*slot);
      slot.reset();
      ++reported_;
      lock.unlock();
      changed_.notify_all();  // the window moved on
      Replay(outcome.events, prompt_);
      Tally(outcome, total_);
      prompt_.ShowStatus(ProgressText(total_.files, count_));
      lock.lock();
    }
    reporting_ = false;
  }

  struct Taken {
    std::size_t index;
    SourceFile file;
    std::optional<std::string> refusal;  // why it must not be converted
  };

  // The next file in list order and its index, once it is inside the
  // window and meets no file being converted; no value when every file is
  // taken.
  std::optional<Taken> Take() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (ended_) return std::nullopt;
      if (next_ < reported_ + slots_.size()) {
        if (!pending_) {
          pending_ = files_.Next();
          if (!pending_) {
            ended_ = true;
            lock.unlock();
            changed_.notify_all();
            return std::nullopt;
          }
          pendingKeys_ = PathKeys(*pending_, outputs_, run_.outputFolder, workingFolder_);
        }
        if (!MeetsBusy(pendingKeys_)) break;
      }
      changed_.wait(lock);
    }
    busy_.emplace_back(next_, std::move(pendingKeys_));
    Taken taken{next_, std::move(*pending_), claims_.Refusal(next_)};
    ++next_;
    pending_.reset();
    return taken;
  }

  bool MeetsBusy(const std::vector<std::string>& keys) const {
    return std::any_of(busy_.begin(), busy_.end(), [&](const auto& b) {
      return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) {
        return std::find(b.second.begin(), b.second.end(), k) != b.second.end();
      });
    });
  }

  FileFeed& files_;        // read under the mutex
  OutputClaims& claims_;  // likewise
  const int count_;
  const OutputChoice& outputs_;
  const ConvertContext& run_;
  const bool answer_;
  UserPrompt& prompt_;  // used by the reporting thread only
  RunResult& total_;    // likewise
  std::mutex mutex_;
  std::condition_variable changed_;                // the window moved on, or a file's paths are free
  std::vector<std::optional<FileOutcome>> slots_;  // outcomes waiting for their turn, by index % size
  std::vector<std::pair<std::size_t, std::vector<std::string>>> busy_;  // files being converted, their keys
  std::optional<SourceFile> pending_;  // the next file, waiting for the window or a busy path
  std::vector<std::string> pendingKeys_;
  const std::string workingFolder_;  // relative paths start here for the whole batch
  std::size_t next_ = 0;             // files taken
  std::size_t reported_ = 0;         // files reported
  bool ended_ = false;               // the feed has no more files
  bool reporting_ = false;           // a thread is reporting
  const unsigned jobs_;
};

unsigned JobsFor(unsigned asked, std::size_t files) {
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  const unsigned jobs = asked == 0 ? cores : asked;
  return static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(files, 1)));
}

}  // namespace

std::vector<std::string> PathKeys(const SourceFile& file, const OutputChoice& outputs, const std::string& outputFolder,
                                  const std::string& workingFolder) {
  std::vector<std::string> keys{FoldedAbsolute(file.path, workingFolder)};
  for (const auto& output : OutputFormats())
    if (outputs[static_cast<int>(output.kind)])
      keys.push_back(FoldedAbsolute(OutputPath(file.path, output.kind, outputFolder), workingFolder));
  return keys;
}

void ConvertOneFile(const SourceFile& file, const OutputChoice& outputs, ConvertContext& context, RunResult& total) {
  Tally(ConvertThrough(&context.prompt, false, file, outputs, context), total);
}

bool ConvertInTurn(const std::vector<SourceFile>& files, const OutputChoice& outputs, ConvertContext& context,
                   RunResult& result) {
  VectorFeed feed(files);
  OutputClaims claims;
  return CheckClaims(feed, outputs, context, claims) && InTurn(feed, outputs, context, claims, result);
}

RunResult ConvertBatch(const std::vector<SourceFile>& files, const OutputChoice& outputs, ConvertContext& context,
                       const BatchOptions& options) {
  VectorFeed feed(files);
  return ConvertBatch(feed, outputs, context, options);
}

RunResult ConvertBatch(FileFeed& files, const OutputChoice& outputs, ConvertContext& context,
                       const BatchOptions& options) {
  RunResult result;
  UserPrompt& prompt = context.prompt;
  prompt.SetBusy(true);
  if (files.AnyCsv()) {
    const auto entered = prompt.AskCsvParameters();
    if (!entered) {
      prompt.SetBusy(false);
      return result;
    }
    context.settings.csv = *entered;
  }
  OutputClaims claims;
  if (!CheckClaims(files, outputs, context, claims)) {
    prompt.SetBusy(false);
    return result;
  }
  const unsigned jobs = JobsFor(options.jobs, files.Count());
  if (jobs > 1) {
    SideBySide(files, outputs, context, claims, options.replaceAnswer, jobs, prompt, result).Run();
  } else {
    if (!InTurn(files, outputs, context, claims, result)) {
      prompt.SetBusy(false);
      return result;
    }
  }
  prompt.SetBusy(false);
  prompt.ShowStatus("Finished");
  prompt.Message("Convert Finished");
  result.completed = true;
  return result;
}

std::string SummaryText(const RunResult& r) {
  return std::to_string(r.files) + (r.files == 1 ? " file: " : " files: ") + std::to_string(r.converted) +
         " converted, " + std::to_string(r.failed) + " failed, " + std::to_string(r.skipped) + " skipped";
}

}  // namespace vantor
