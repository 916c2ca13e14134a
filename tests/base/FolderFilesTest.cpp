// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings as the window's file list and the command line share them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/FolderFiles.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

TEST(NaturalLess, NumbersByValue_LettersWithoutCase_AFixedOrderForTies) {
  std::vector<std::string> names = {"run10.xbm",
                                    "b.xbm",
                                    "run2.xbm",
                                    "run002.xbm",
                                    "A.xbm",
                                    "run2.XBM",
                                    "run",
                                    "run99999999999999999999.xbm",
                                    "run100000000000000000000.xbm"};
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NaturalLess(a, b); });
  EXPECT_EQ(names, (std::vector<std::string>{"A.xbm", "b.xbm", "run", "run002.xbm", "run2.XBM", "run2.xbm", "run10.xbm",
                                             "run99999999999999999999.xbm", "run100000000000000000000.xbm"}));
}

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
