// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli watch --to KINDS [--from KIND] [--out-dir DIR] [--new-only] [--pressure NAME[:SCALE]
//   [--table OUT.csv]] [...] FOLDER
// Converts every source of the kind that is complete in FOLDER, in the order
// they arrive, until SIGINT or SIGTERM; then the summary.
#include <signal.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "base/FileVersions.h"
#include "base/FolderFiles.h"
#include "base/FolderWatch.h"
#include "base/PathIdentity.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConvertOptions.h"
#include "cli/PressureOutput.h"
#include "convert/FileConvert.h"
#include "convert/OutputClaims.h"

namespace vantor::cli {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
  stopRequested = 1;
}

struct WatchOptions : ConvertOptions {
  bool newOnly = false;
  std::string folder;
  std::string pressure;  // NAME[:SCALE]: each converted file's pressure too
  std::string table;
};

std::string Normal(const std::string& path) {
  std::error_code ec;
  return std::filesystem::absolute(path, ec).lexically_normal().string();
}

enum class State { Converted, Failed, Skipped };

class Watcher {
 public:
  Watcher(const WatchOptions& o, std::string kind, const OutputChoice& outputs, ConsolePrompt& prompt,
          ConvertContext& context, std::optional<PressureWatch> pressure)
      : o_(o),
        kind_(std::move(kind)),
        outputs_(outputs),
        prompt_(prompt),
        context_(context),
        pressure_(std::move(pressure)) {
    if (!o.table.empty()) outputsOf_.insert(Normal(o.table));  // never a source, whatever its name
  }

  // The outputs of every file listed at the start, before any is offered:
  // an earlier run's e1.CSV beside e1.csv is e1.csv's output, whichever of
  // the two the listing gives first.
  void Expect(const std::vector<std::string>& names) {
    for (const auto& name : names) AddOutputs(JoinPath(o_.folder, name));
  }

  // A source once per version; never an output of a source seen (an _.XBM
  // output matches *.xbm), which would convert outputs of outputs.
  void Offer(const std::string& name) {
    const std::string path = JoinPath(o_.folder, name);
    if (outputsOf_.contains(Normal(path)) || !versions_.Take(path) || skipOnly_) return;
    AddOutputs(path);
    if (const auto refused = Refusal(path)) {
      prompt_.FileMessage(path, *refused, "");
      last_[name] = State::Failed;
      return;
    }
    RunResult file;
    ConvertOneFile({path, kind_}, outputs_, context_, file);
    const State state = file.converted == 1 ? State::Converted : file.skipped == 1 ? State::Skipped : State::Failed;
    last_[name] = state;
    if (!prompt_.quiet() && state == State::Converted) prompt_.Line(path + ": converted");
    if (pressure_ && state == State::Converted) pressure_->Take(path, kind_);
  }
  // Files there at the start are known but not converted (--new-only).
  void Know(const std::string& name) {
    skipOnly_ = true;
    Offer(name);
    skipOnly_ = false;
  }

  // Every file once, by what became of it last: a source converted, then
  // written again and skipped, counts as skipped.
  RunResult Total() const {
    RunResult total;
    for (const auto& [name, state] : last_) {
      ++total.files;
      ++(state == State::Converted ? total.converted : state == State::Skipped ? total.skipped : total.failed);
    }
    return total;
  }

 private:
  // Why the source must not be converted: an output that would replace
  // it (a disk that ignores case), or that an earlier source writes (a.xbm
  // and a.XBM both give a.TXT); none when it may, its outputs then claimed.
  std::optional<std::string> Refusal(const std::string& path) {
    const std::string self = identity_.PlaceKey(path);
    std::vector<std::string> keys;
    for (const auto& [format, out] : ClaimedOutputs({path, kind_}, outputs_, context_.outputFolder)) {
      std::string key = identity_.PlaceKey(out);
      if (key == self) return ReplacesSourceText(format->name);
      if (const auto claimed = claims_.find(key); claimed != claims_.end() && claimed->second != path)
        return AlsoOutputText(out, claimed->second);
      keys.push_back(std::move(key));
    }
    for (auto& key : keys) claims_.emplace(std::move(key), path);
    return std::nullopt;
  }

  void AddOutputs(const std::string& path) {
    const std::string self = Normal(path);
    for (const auto& output : OutputFormats())
      if (outputs_[static_cast<int>(output.kind)])
        if (std::string out = Normal(OutputPath(path, output.kind, context_.outputFolder)); out != self)
          outputsOf_.insert(std::move(out));
  }

  const WatchOptions& o_;
  std::string kind_;
  const OutputChoice& outputs_;
  ConsolePrompt& prompt_;
  ConvertContext& context_;
  FileVersions versions_;
  std::map<std::string, State> last_;
  std::set<std::string> outputsOf_;  // every output of every source seen
  PathIdentity identity_;
  std::map<std::string, std::string> claims_;  // the place of an output written, its source
  bool skipOnly_ = false;
  std::optional<PressureWatch> pressure_;
};

int RunWatchCommand(const WatchOptions& o) {
  std::string error;
  const std::string kind = o.from.empty() ? "xbm" : o.from;
  const std::string patterns = SourcePatterns(kind);
  if (patterns.empty()) return UsageError("unknown source kind '" + kind + "' (" + SourceNames() + ")");
  // The watch starts before the folder is listed, so that no file can
  // arrive unseen in between.
  FolderWatch watch(o.folder, patterns, std::getenv("VANTOR_WATCH_POLL") != nullptr);
  if (!watch.ok()) return UsageError("'" + o.folder + "' is not a folder");

  ConsolePrompt prompt(o.force, o.quiet);
  ConvertContext context(prompt);
  OutputChoice outputs{};
  const bool csv = IsAnalyserExport({"", kind});
  if (const int status = PrepareRun(o, csv, !csv, prompt, context, outputs); status >= 0) return status;
  if (csv) context.settings.csv = *prompt.csvParameters;
  std::optional<PressureWatch> pressure;
  if (!o.pressure.empty()) {
    const StandardChoice choice = ChooseStandard(o.pressure);
    if (!choice.ok()) return UsageError(choice.error);
    PressureRequest request;
    request.standard = choice.standard, request.scale = choice.scale;
    pressure.emplace(request, o.table, context.settings);
  }

  struct sigaction stop {};
  stop.sa_handler = RequestStop;  // no SA_RESTART: the wait ends at once
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);

  Watcher watcher(o, kind, outputs, prompt, context, std::move(pressure));
  const auto present = FolderFiles(o.folder, patterns);
  watcher.Expect(present);
  for (const auto& name : present) {
    if (stopRequested) break;
    if (o.newOnly) {
      watcher.Know(name);
    } else {
      watcher.Offer(name);
    }
  }
  while (!stopRequested)
    for (const auto& name : watch.Wait(std::chrono::milliseconds(500))) {
      if (stopRequested) break;
      watcher.Offer(name);
    }
  const RunResult total = watcher.Total();
  prompt.Line(Summary(total, o));
  return total.converted == total.files ? kExitOk : kExitFailed;
}

}  // namespace

Command AddWatchCommand(CLI::App& app) {
  auto options = std::make_shared<WatchOptions>();
  CLI::App* cmd = app.add_subcommand("watch", "Convert each new source in a folder as soon as it is complete");
  AddConvertOptions(*cmd, *options);
  cmd->add_option("--from", options->from, "Source kind to watch for: xbm (default), cnf, csv, npd");
  cmd->add_flag("--new-only", options->newOnly, "Leave the files already in the folder alone");
  auto* pressure = cmd->add_option("--pressure", options->pressure, "Also give each file's pressure: NAME[:SCALE]");
  cmd->add_option("--table", options->table, "With --pressure: keep a CSV table of the pressures")->needs(pressure);
  cmd->add_option("FOLDER", options->folder, "The folder the sources arrive in")->required();
  return [options] { return RunWatchCommand(*options); };
}

}  // namespace vantor::cli
