// SPDX-License-Identifier: GPL-3.0-or-later
// Masks, number and path texts, dates, SplitNumbers, the number test,
// wildcards, fitting, code page 932 and name order, row by row from
// tests/data/text-rows.tsv.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <functional>
#include <map>

#include "base/Cp932.h"
#include "base/FolderFiles.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "support/DataRows.h"

namespace vantor {
namespace {

using Args = std::vector<std::string>;
double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

const std::map<std::string, std::function<std::string(const Args&)>> kFunctions = {
    {"mask", [](const Args& a) { return FormatMask(Number(a[0]), a[1]); }},
    {"aligned",
     [](const Args& a) {
       std::string out;
       AppendAligned(out, Number(a[0]), NumberMask(a[1]));
       return out;
     }},
    {"plain", [](const Args& a) { return FormatPlain(Number(a[0])); }},
    {"two-digit", [](const Args& a) { return FormatTwoDigitText(a[0]); }},
    {"split-path",
     [](const Args& a) {
       const PathParts p = SplitPath(a[0]);
       return p.drive + "|" + p.directory + "|" + p.name + "|" + p.extension;
     }},
    {"join-path", [](const Args& a) { return JoinPath(a[0], a[1]); }},
    {"column-slice", [](const Args& a) { return ColumnSlice(a[0], std::stoull(a[1]), std::stoull(a[2])); }},
    {"short-date", [](const Args& a) { return FormatShortDate(a[0]); }},
    {"clock", [](const Args& a) { return FormatClock(a[0]); }},
    {"long-date", [](const Args& a) { return FormatLongDate(a[0], '-'); }},
    {"split-numbers",
     [](const Args& a) {
       std::array<double, 11> values;
       const int count = SplitNumbers(a[0], values);
       std::string out = std::to_string(count) + ":";
       for (int i = 0; i < count; ++i) out += (i ? "," : "") + FormatPlain(values[i]);
       return out;
     }},
    {"parse-number",
     [](const Args& a) {
       const auto value = ParseNumber(a[0]);
       return value ? FormatPlain(*value) : "none";
     }},
    {"wildcard",
     [](const Args& a) {
       // Once more in a UTF-8 locale, as the window runs: the same answer.
       const bool here = MatchesWildcard(a[0], a[1]);
       const std::string locale = std::setlocale(LC_ALL, nullptr);
       std::setlocale(LC_ALL, "C.UTF-8");
       const bool utf8 = MatchesWildcard(a[0], a[1]);
       std::setlocale(LC_ALL, locale.c_str());
       return std::string(here != utf8 ? "locale-dependent" : here ? "1" : "0");
     }},
    {"left-fit", [](const Args& a) { return LeftFit(a[0], std::stoul(a[1])); }},
    {"right-fit", [](const Args& a) { return RightFit(a[0], std::stoul(a[1])); }},
    {"blanked-text", [](const Args& a) { return BlankedText(a[0]); }},
    {"cp932", [](const Args& a) { return Cp932ToUtf8(a[0]); }},
    {"to-cp932",
     [](const Args& a) {
       bool replaced = false;
       const std::string bytes = Utf8ToCp932(a[0], &replaced);
       return bytes + (replaced ? "|replaced" : "");
     }},
    {"natural-sort",
     [](const Args& a) {
       Args names{""};
       for (const char c : a[0]) c == ',' ? names.emplace_back() : names.back() += c;
       std::sort(names.begin(), names.end(), [](const auto& x, const auto& y) { return NaturalLess(x, y); });
       std::string out;
       for (const auto& name : names) out += (out.empty() ? "" : ",") + name;
       return out;
     }},
    {"display-text",
     [](const Args& a) {
       Text<8> field{};
       AssignText(field, a[0]);
       return DisplayText(field);
     }},
};

TEST(TextRows, EveryRowGivesItsResult) {
  const auto rows = test::DataRows("text-rows.tsv");
  for (const auto& row : rows) {  // function, arguments, result, the line
    ASSERT_TRUE(kFunctions.contains(row[0])) << row.back();
    EXPECT_EQ(kFunctions.at(row[0])(Args(row.begin() + 1, row.end() - 2)), row[row.size() - 2]) << row.back();
  }
  EXPECT_GT(rows.size(), 90u);
}

}  // namespace
}  // namespace vantor
