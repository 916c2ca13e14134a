// SPDX-License-Identifier: GPL-3.0-or-later
// The list-file run: a list file NAME.xli marks a numbered series of record
// files NAME_????.xbm in its folder. Only its first two items are read; the
// second must hold a number.
#include <algorithm>
#include <filesystem>

#include "convert/ConvertRun.h"
#include "convert/ParallelConvert.h"
#include "base/FileAccess.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

constexpr std::size_t kMaxSeriesFiles = 10001;
constexpr std::size_t kListFileBytesRead = 64 * 1024;

// The first two items of a list file: separated by commas or line ends,
// surrounding blanks dropped, a quoted item may hold commas.
std::vector<std::string> FirstTwoItems(std::string_view text) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (items.size() < 2 && i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::string item;
    if (i < text.size() && text[i] == '"') {
      const auto close = text.find('"', i + 1);
      item = text.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
      i = close == std::string_view::npos ? text.size() : close + 1;
      while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') ++i;
    } else {
      const auto end = std::min(text.find_first_of(",\r\n", i), text.size());
      item = TrimBlanks(text.substr(i, end - i));
      i = end;
    }
    if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (i < text.size()) ++i;  // the delimiter
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> SeriesFiles(const PathParts& list) {
  namespace fs = std::filesystem;
  const std::string folder = list.drive + list.directory;
  const std::string pattern = list.name + "_????.xbm";
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (MatchesWildcard(name, pattern) && it->is_regular_file(ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (names.size() > kMaxSeriesFiles) names.resize(kMaxSeriesFiles);
  for (auto& name : names) name = folder + name;
  return names;
}

}  // namespace

RunResult RunListFile(const std::string& listPath, const OutputChoice& outputs, ConvertContext& context) {
  UserPrompt& prompt = context.prompt;
  const PathParts parts = SplitPath(listPath);
  const auto text = ReadFileBytes(listPath, kListFileBytesRead);
  const auto items = text ? FirstTwoItems(*text) : std::vector<std::string>{};
  if (items.size() < 2 || !ParseNumber(items[1])) {
    prompt.Message("xli File Error");
    return {};
  }
  std::vector<SourceFile> files;
  for (std::string& path : SeriesFiles(parts)) files.push_back({std::move(path), "xbm"});
  if (files.empty()) {
    prompt.Message("No series file found");
    return {};
  }
  RunResult result;
  prompt.SetBusy(true);
  const bool finished = ConvertInTurn(files, outputs, context, result);
  prompt.SetBusy(false);
  if (!finished) return result;
  prompt.ShowStatus("Finished");
  result.completed = true;
  return result;
}

}  // namespace vantor
