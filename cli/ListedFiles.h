// SPDX-License-Identifier: GPL-3.0-or-later
// The files of `convert` as the batch takes them: arguments and folders as
// names (a folder's files must be sorted first), the lines of --files-from
// read again as the batch needs them, so that the list of a beamline day
// costs no memory.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "convert/ParallelConvert.h"

namespace vantor::cli {

class ListedFiles final : public FileFeed {
 public:
  // Reads the list through once, counting its files and checking that each
  // has a source kind (`from`, else its extension), into a copy that the
  // batch then reads: standard input can be read only once, and a list
  // changed meanwhile must not change the run. Null, and the reason in
  // `error`, when a list or folder cannot be read, a kind is unknown, or
  // there is no file.
  static std::unique_ptr<ListedFiles> Open(const std::vector<std::string>& args, const std::string& filesFrom,
                                           const std::string& from, std::string& error);

  std::size_t Count() const override { return count_; }
  bool AnyCsv() const override { return anyCsv_; }
  bool AnyOther() const { return anyOther_; }
  std::optional<SourceFile> Next() override;
  void Rewind() override;

 private:
  bool Check(const std::string& path, std::string& error);

  std::string from_;
  std::vector<std::string> named_;  // arguments and folders' files
  std::size_t nextNamed_ = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> list_{nullptr, std::fclose};  // the list's copy
  std::size_t count_ = 0;
  std::size_t given_ = 0;
  bool anyCsv_ = false;
  bool anyOther_ = false;
};

}  // namespace vantor::cli
