// SPDX-License-Identifier: GPL-3.0-or-later
// The files of `convert`, the list read as the batch goes.
#include "cli/ListedFiles.h"

#include <cerrno>
#include <cstring>

#include "cli/Commands.h"
#include "cli/ConvertOptions.h"

namespace vantor::cli {

bool ListedFiles::Check(const std::string& path, std::string& error) {
  const auto file = SourceOf(path, from_, error);
  if (!file) return false;
  (IsAnalyserExport(*file) ? anyCsv_ : anyOther_) = true;
  ++count_;
  return true;
}

std::unique_ptr<ListedFiles> ListedFiles::Open(const std::vector<std::string>& args, const std::string& filesFrom,
                                               const std::string& from, std::string& error) {
  auto files = std::make_unique<ListedFiles>();
  files->from_ = from;
  if (!CollectArguments(args, from, files->named_, error)) return nullptr;
  for (const std::string& path : files->named_)
    if (!files->Check(path, error)) return nullptr;
  if (!filesFrom.empty()) {
    files->list_.reset(std::tmpfile());
    if (!files->list_) {
      error = "cannot keep a copy of the list: " + std::string(std::strerror(errno));
      return nullptr;
    }
    bool checked = true;
    const bool read = ForEachListed(
        filesFrom,
        [&](std::string& line) {
          checked = checked && files->Check(line, error);
          line += '\n';
          std::fwrite(line.data(), 1, line.size(), files->list_.get());
        },
        error);
    if (!read || !checked) return nullptr;
    if (std::fflush(files->list_.get()) != 0 || std::ferror(files->list_.get()) != 0) {
      error = "cannot keep a copy of the list: " + std::string(std::strerror(errno));
      return nullptr;
    }
    std::rewind(files->list_.get());
  }
  if (files->count_ == 0) {
    error = "no files to work on";
    return nullptr;
  }
  return files;
}

std::optional<SourceFile> ListedFiles::Next() {
  if (given_ == count_) return std::nullopt;
  std::string path;
  if (nextNamed_ < named_.size()) {
    path = named_[nextNamed_++];
  } else {
    for (int c; (c = std::getc(list_.get())) != EOF && c != '\n';) path += static_cast<char>(c);
  }
  ++given_;
  return SourceFile{std::move(path), from_};
}

void ListedFiles::Rewind() {
  nextNamed_ = 0;
  given_ = 0;
  if (list_) std::rewind(list_.get());
}

}  // namespace vantor::cli
