// SPDX-License-Identifier: GPL-3.0-or-later
// The six writers: whole files for a sample record and for records at each
// writer's edges (cuts, rounding, signs, non-finite values, GSA counts; rows
// of tests/data/writer-records.tsv) against golden files in tests/data; line
// counts and widths over channel counts; each writer's route through the
// save helper (whose failures are tested in tests/base). Shift_JIS cuts are
// the text tests' (tests/base) and the golden files' (cut-texts, gsa-header).
#include <gtest/gtest.h>

#include <cstdio>

#include "base/RecordFields.h"
#include "bench/SpectrumGenerator.h"
#include "formats/Csv.h"
#include "formats/FormatTable.h"
#include "formats/Gsa.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"
#include "support/DataRows.h"
#include "support/TestFiles.h"
#include "tests/formats/WriterRecords.h"

namespace vantor::test {
namespace {

using Body = void (*)(std::string&, const SpecData&, const Header&);

std::string Bytes(OutputKind kind, const SpectrumRecord& r) {
  if (kind == OutputKind::Xbm) return RecordFileBytes(r.Data, r.Head);
  constexpr Body bodies[] = {WriteRptBody, WriteTxtBody, WriteCsvBody, WriteNpdBody, WriteGsaBody};
  std::string out;
  bodies[static_cast<int>(kind)](out, r.Data, r.Head);
  return out;
}

// Sets one field of a row of tests/data/writer-records.tsv.
void Set(SpectrumRecord& r, const std::string& name, const std::string& value) {
  if (name == "Unset") r = SpectrumRecord{};
  if (name == "Channels") r.Data.DataNumber = static_cast<std::int16_t>(std::stoi(value));
  if (name == "Counts") std::sscanf(value.c_str(), "%d,%d", &r.Data.Count[0], &r.Data.Count[1]);
  ForEachHeaderField(r.Head, [&](std::string_view field, auto& v) {
    using T = std::decay_t<decltype(v)>;
    if (field != name) return;
    if constexpr (std::is_arithmetic_v<T>) {
      v = static_cast<T>(std::strtod(value.c_str(), nullptr));
    } else if constexpr (std::is_same_v<T, std::array<double, 3>>) {
      std::sscanf(value.c_str(), "%lf,%lf,%lf", &v[0], &v[1], &v[2]);
    } else {
      v.fill('\0');
      std::copy_n(value.begin(), std::min(value.size(), v.size()), v.begin());
    }
  });
}

TEST(Writers, SampleAndEdgeRecords_MatchGoldenFiles) {
  for (const auto& row : DataRows("writer-records.tsv")) {  // name, outputs, changes..., the line
    SpectrumRecord r = SampleRecord();
    for (std::size_t i = 2; i + 1 < row.size(); ++i)
      Set(r, row[i].substr(0, row[i].find('=')), row[i].substr(row[i].find('=') + 1));
    for (const auto& output : OutputFormats()) {
      if (row[1].find(output.suffix.substr(1)) == std::string::npos) continue;
      const std::string golden = std::string(VANTOR_TEST_DATA_DIR) + "/" + row[0] + std::string(output.suffix);
      EXPECT_TRUE(Bytes(output.kind, r) == ReadAll(golden)) << "differs from " << golden;
    }
  }
}

// Line counts of every text output, the report's eight counts a line and
// the GSA's ten, every GSA line 80 wide.
void ExpectShapes(const SpectrumRecord& r) {
  const int n = std::max<int>(0, r.Data.DataNumber);
  const auto rpt = SplitCrLf(Bytes(OutputKind::Rpt, r)), gsa = SplitCrLf(Bytes(OutputKind::Gsa, r));
  ASSERT_EQ(rpt.size(), 1 + std::max(1, (n + 7) / 8) + 6u);
  for (std::size_t i = 1; i + 7 < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 7u * 8) << "report line " << i;
  for (std::size_t i = rpt.size() - 4; i < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 65u);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Txt, r)).size(), 65u + n);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Csv, r)).size(), 14u + n);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Npd, r)).size(), 29u + n);
  ASSERT_EQ(gsa.size(), 2 + (n + 9) / 10u);
  for (const auto& line : gsa) EXPECT_EQ(line.size(), 80u);
}

// Channel counts at the line edges, up to the most a record holds.
TEST(Writers, EdgeChannelCounts_KeepTheirShape) {
  for (const int n : {0, 1, 9, 10, 2048, 8192}) ExpectShapes(bench::GenerateSpectrum(n + 1, n));
  SpectrumRecord negative = SampleRecord();
  negative.Data.DataNumber = -3;
  ExpectShapes(negative);
}

// Each row of the table encodes its own body; more channels than a record
// holds is a failure, but for the record file, which writes the 8192 it has.
TEST(Writers, EachEncodesItsBody_RefusesTooManyChannels) {
  for (const auto& output : OutputFormats()) {
    SCOPED_TRACE(output.name);
    SpectrumRecord r = SampleRecord();
    const Encoded encoded = output.encode(r);
    EXPECT_TRUE(encoded.failure.empty() && encoded.bytes == Bytes(output.kind, r));
    r.Data.DataNumber = kMaxChannels + 1;
    EXPECT_EQ(output.encode(r).failure.empty(), output.kind == OutputKind::Xbm);
  }
}

}  // namespace
}  // namespace vantor::test
