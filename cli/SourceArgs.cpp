// SPDX-License-Identifier: GPL-3.0-or-later
// The files a command works on: arguments, folders and --files-from.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "base/FolderFiles.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "formats/FormatTable.h"

namespace vantor::cli {
namespace {

bool AddFolder(const std::string& folder, const std::string& from, std::vector<std::string>& files,
               std::string& error) {
  const std::string patterns = SourcePatterns(from);
  if (patterns.empty()) {
    error = from.empty() ? "'" + folder + "' is a folder: say which files with --from (" + SourceNames() + ")"
                         : "unknown source kind '" + from + "' (" + SourceNames() + ")";
    return false;
  }
  std::string why;
  const auto names = FolderFiles(folder, patterns, &why);
  if (!why.empty()) {
    error = "cannot list '" + folder + "': " + why;
    return false;
  }
  for (const auto& name : names) files.push_back(JoinPath(folder, name));
  return true;
}

}  // namespace

bool CollectArguments(const std::vector<std::string>& args, const std::string& from, std::vector<std::string>& files,
                      std::string& error) {
  for (const auto& arg : args) {
    std::error_code ec;
    if (!std::filesystem::is_directory(arg, ec)) {
      files.push_back(arg);
    } else if (!AddFolder(arg, from, files, error)) {
      return false;
    }
  }
  return true;
}

bool ForEachListed(const std::string& filesFrom, const std::function<void(std::string&)>& take, std::string& error) {
  const auto read = [&](std::istream& in) {
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();  // a list written on Windows
      if (!line.empty()) take(line);
    }
    return !in.bad();
  };
  bool done = false;
  if (filesFrom == "-") {
    done = read(std::cin);
  } else if (std::ifstream list(filesFrom); list) {
    done = read(list);
  }
  if (!done) error = "cannot read the list '" + filesFrom + "'";
  return done;
}

std::optional<std::vector<std::string>> CollectFiles(const std::vector<std::string>& args, const std::string& filesFrom,
                                                     const std::string& from, std::string& error) {
  std::vector<std::string> files;
  if (!CollectArguments(args, from, files, error)) return std::nullopt;
  if (!filesFrom.empty() && !ForEachListed(
                                filesFrom, [&](std::string& line) { files.push_back(std::move(line)); }, error))
    return std::nullopt;
  if (files.empty()) {
    error = "no files to work on";
    return std::nullopt;
  }
  return files;
}

}  // namespace vantor::cli
