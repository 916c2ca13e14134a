// SPDX-License-Identifier: GPL-3.0-or-later
// The files of one folder as the window's file list shows them: regular
// files (symbolic links to them too), hidden ones left out, matched by a
// wildcard pattern, in natural order. The window and the command line both
// list folders here, so a folder means the same files in both.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Names in natural order: runs of ASCII digits compare as numbers (run2
// before run10), ASCII letters without regard to case; names equal in those
// terms keep a fixed order by their bytes.
bool NaturalLess(std::string_view a, std::string_view b);

// Whether the name matches one of the ";"-separated wildcard patterns
// ("*.med;*.xrf;*.mca"), letters in any case.
bool MatchesPatterns(std::string_view name, std::string_view patterns);

// The names (not paths) of the folder's files that match `pattern`
// ("*.xbm", or several separated by ";"), naturally sorted. Empty when the folder
// cannot be read; then the reason is in *why when given.
std::vector<std::string> FolderFiles(const std::string& folder, std::string_view pattern, std::string* why = nullptr);

}  // namespace vantor
