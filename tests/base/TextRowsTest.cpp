// SPDX-License-Identifier: GPL-3.0-or-later
// Masks, number and path texts, dates, SplitNumbers, the number test,
// wildcards, fitting and code page 932, row by row from tests/data/text-rows.tsv.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "base/Cp932.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
    } else if (text[++i] == 'x') {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)), i += 2;
    } else {
      out += text[i] == 's' ? ' ' : text[i] == '0' ? '\0' : text[i];
    }
  }
  return out;
}

using Args = std::vector<std::string>;
double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

const std::map<std::string, std::function<std::string(const Args&)>> kFunctions = {
    {"mask", [](const Args& a) { return FormatMask(Number(a[0]), a[1]); }},
    {"aligned", [](const Args& a) { return FormatAligned(Number(a[0]), a[1]); }},
    {"plain", [](const Args& a) { return FormatPlain(Number(a[0])); }},
    {"two-digit", [](const Args& a) { return FormatTwoDigitText(a[0]); }},
    {"split-path",
     [](const Args& a) {
       const PathParts p = SplitPath(a[0]);
       return p.drive + "|" + p.directory + "|" + p.name + "|" + p.extension;
     }},
    {"join-path", [](const Args& a) { return JoinPath(a[0], a[1]); }},
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
    {"wildcard", [](const Args& a) { return std::string(MatchesWildcard(a[0], a[1]) ? "1" : "0"); }},
    {"left-fit", [](const Args& a) { return LeftFit(a[0], std::stoul(a[1])); }},
    {"right-fit", [](const Args& a) { return RightFit(a[0], std::stoul(a[1])); }},
    {"field-text", [](const Args& a) { return FieldText(a[0]); }},
    {"cp932", [](const Args& a) { return Cp932ToUtf8(a[0]); }},
    {"display-text",
     [](const Args& a) {
       Text<8> field{};
       AssignText(field, a[0]);
       return DisplayText(field);
     }},
};

TEST(TextRows, EveryRowGivesItsResult) {
  const std::string rows = test::ReadAll(std::string(VANTOR_TEST_DATA_DIR) + "/text-rows.tsv");
  int checked = 0;
  for (std::size_t start = 0, end; start < rows.size(); start = end + 1) {
    end = std::min(rows.find('\n', start), rows.size());
    const std::string_view line(rows.data() + start, end - start);
    if (line.empty() || line[0] == '#') continue;
    Args fields;
    for (std::size_t from = 0, tab; from <= line.size(); from = tab + 1) {
      tab = std::min(line.find('\t', from), line.size());
      fields.push_back(Unescape(line.substr(from, tab - from)));
    }
    const std::string expected = fields.back();
    const std::string function = fields.front();
    ASSERT_TRUE(kFunctions.contains(function)) << line;
    EXPECT_EQ(kFunctions.at(function)(Args(fields.begin() + 1, fields.end() - 1)), expected) << line;
    ++checked;
  }
  EXPECT_GT(checked, 90);
}

}  // namespace
}  // namespace vantor
