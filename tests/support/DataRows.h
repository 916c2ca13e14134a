// SPDX-License-Identifier: GPL-3.0-or-later
// Tables of cases in tests/data: one row a line, fields separated by tabs,
// "#" lines and blank lines left out. In a field \xNN, \s (a blank), \n, \r,
// \0 and \\ stand for those bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/TestFiles.h"

namespace vantor::test {

inline std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
    } else if (text[++i] == 'x') {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)), i += 2;
    } else {
      const auto at = std::string_view("snr0").find(text[i]);
      out += at == std::string_view::npos ? text[i] : std::string_view(" \n\r\0", 4)[at];
    }
  }
  return out;
}

// The rows of tests/data/`name`, each with its line as written last.
inline std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  const std::string rows = ReadAll(std::string(VANTOR_TEST_DATA_DIR) + "/" + name);
  if (rows.empty()) ADD_FAILURE() << "no rows in tests/data/" << name;
  std::vector<std::vector<std::string>> out;
  for (std::size_t start = 0, end; start < rows.size(); start = end + 1) {
    end = std::min(rows.find('\n', start), rows.size());
    const std::string_view line(rows.data() + start, end - start);
    if (line.empty() || line[0] == '#') continue;
    auto& fields = out.emplace_back();
    for (std::size_t from = 0, tab; from <= line.size(); from = tab + 1) {
      tab = std::min(line.find('\t', from), line.size());
      fields.push_back(Unescape(line.substr(from, tab - from)));
    }
    fields.emplace_back(line);
  }
  return out;
}

}  // namespace vantor::test
