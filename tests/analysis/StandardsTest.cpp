// SPDX-License-Identifier: GPL-3.0-or-later
// Reflection lists of the standards at their ambient cells against the
// published lists (tests/data/standard-reflections.tsv), and the absences
// their space groups impose.
#include <gtest/gtest.h>

#include <map>

#include "analysis/Standards.h"
#include "support/DataRows.h"

namespace vantor {
namespace {

int SummedMultiplicity(const std::string& parts) {
  int sum = 0;
  for (std::size_t from = 0; from <= parts.size();) {
    const std::size_t plus = std::min(parts.find('+', from), parts.size());
    sum += std::stoi(parts.substr(from, plus - from));
    from = plus + 1;
  }
  return sum;
}

TEST(Reflections, AmbientListsMatchThePublishedOnes) {
  std::map<std::string, std::vector<std::vector<std::string>>> expected;
  for (auto& row : test::DataRows("standard-reflections.tsv")) expected[row[0]].push_back(row);
  ASSERT_EQ(expected.size(), Standards().size());
  for (const Standard& standard : Standards()) {
    const std::vector<Reflection> lines = Reflections(standard, standard.ambient);
    const auto& rows = expected[std::string(standard.name)];
    ASSERT_EQ(lines.size(), rows.size()) << standard.name;
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_GE(lines[i - 1].dA, lines[i].dA);
    for (const auto& row : rows) {
      const auto line = std::find_if(lines.begin(), lines.end(), [&](const Reflection& r) { return r.hkl == row[1]; });
      ASSERT_NE(line, lines.end()) << row.back();
      EXPECT_NEAR(line->dA, std::stod(row[2]), 0.5e-4 + 1e-6) << row.back();
      EXPECT_EQ(line->multiplicity, SummedMultiplicity(row[3])) << row.back();
      EXPECT_EQ(line->weak, row[4] == "w") << row.back();
    }
  }
}

TEST(Reflections, NamedAbsencesAreAbsent) {
  const struct {
    std::string_view standard;
    std::vector<std::array<int, 3>> absent;
  } rows[] = {
      {"si", {{2, 0, 0}, {2, 2, 2}, {4, 2, 0}, {6, 0, 0}, {4, 4, 2}}},
      {"al2o3",
       {{0, 0, 3}, {1, 0, 1}, {0, 1, 5}, {0, 2, 1}, {1, 0, 7}, {2, 0, 5}, {0, 0, 9}, {0, 2, 7}, {0, 3, 3}, {3, 0, 3}}}};
  for (const auto& row : rows) {
    const Standard& standard = *FindStandard(row.standard);
    for (const Reflection& line : Reflections(standard, standard.ambient, 0.5))
      for (const auto& hkl : row.absent)
        EXPECT_FALSE(line.h == hkl[0] && line.k == hkl[1] && line.l == hkl[2]) << row.standard << " " << line.hkl;
  }
}

TEST(Standards, NamesAndUnusableLimits) {
  EXPECT_EQ(FindStandard("LaB6"), FindStandard("lab6"));
  EXPECT_EQ(FindStandard("Au")->pressureStandard, "Au");
  EXPECT_EQ(FindStandard("diamond"), nullptr);
  EXPECT_EQ(StandardNames().size(), 8u);
  EXPECT_TRUE(Reflections(*FindStandard("au"), CubicCell(4.08), 0).empty());
  EXPECT_TRUE(Reflections(*FindStandard("au"), CubicCell(4.08), 0.001).empty());
}

}  // namespace
}  // namespace vantor
