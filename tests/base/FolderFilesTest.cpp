// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings as the window's file list and the command line share them
// (their order: natural-sort rows in tests/data/text-rows.tsv).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/FolderFiles.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

TEST(FolderFiles, MatchingRegularFilesOnly_HiddenLeftOut) {
  test::TempDir dir;
  for (const char* name : {"run10.xbm", "run9.XBM", ".run1.xbm", "run.txt"}) test::WriteAll(dir / name, "x");
  std::filesystem::create_directory(dir / "sub.xbm");
  std::filesystem::create_symlink(dir / "run10.xbm", dir / "link.xbm");
  std::filesystem::create_symlink(dir / "gone", dir / "broken.xbm");
  EXPECT_EQ(FolderFiles(dir.path().string(), "*.xbm"), (std::vector<std::string>{"link.xbm", "run9.XBM", "run10.xbm"}));

  std::string why;
  EXPECT_TRUE(FolderFiles(dir / "absent", "*", &why).empty());
  EXPECT_FALSE(why.empty());
}

}  // namespace
}  // namespace vantor
