// SPDX-License-Identifier: GPL-3.0-or-later
// The six writers: whole files for a sample record and for records at each
// writer's edges (cuts, rounding, signs, non-finite values, GSA counts)
// against golden files in tests/data; line counts and widths over channel
// counts; each writer's route through the save helper (whose failures are
// tested in tests/base). Shift_JIS cuts are the text tests' (tests/base) and
// the golden files' (cut-texts, gsa-header).
#include <gtest/gtest.h>

#include <cmath>

#include "base/FileAccess.h"
#include "bench/SpectrumGenerator.h"
#include "formats/Csv.h"
#include "formats/FormatTable.h"
#include "formats/Gsa.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"
#include "tests/formats/WriterRecords.h"

namespace vantor::test {
namespace {

using Body = void (*)(std::string&, const SpecData&, const Header&);

void XbmBody(std::string& out, const SpecData& data, const Header& header) {
  out = RecordFileBytes(data, header);
}

std::string Bytes(OutputKind kind, const SpectrumRecord& r) {
  constexpr Body bodies[] = {WriteRptBody, WriteTxtBody, WriteCsvBody, WriteNpdBody, WriteGsaBody, XbmBody};
  std::string out;
  bodies[static_cast<int>(kind)](out, r.Data, r.Head);
  return out;
}

// ---- whole files

template <std::size_t N>
void SetBytes(Text<N>& field, const std::string& bytes) {
  field.fill('\0');
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

const std::string kPair = "\x82\xA0";  // one double-byte character

using Change = void (*)(SpectrumRecord&);
void CutTexts(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleID, std::string(19, 'A') + kPair + "tail");
  SetBytes(r.Head.Common.SampleTitle, "AB" + std::string(2, '\0') + "CD" + kPair);
  SetBytes(r.Head.Common.Comment, std::string(49, 'c') + kPair + "xyz");
}
void HalfWays(SpectrumRecord& r) {  // values that round to zero, half-way and beyond 15 digits
  auto& m = r.Head.Measure;
  m.PressLoad = -0.0004, m.Temperature = 0.25, m.LiveTime = 123456.75, m.PressX = -0.0004, m.TwoTheta = -0.0;
  m.EGC[0] = -1e15, m.EGC[2] = -1.5e-7, m.RingCurrent = 123456789012345678.0;
}
void CsvHalfWays(SpectrumRecord& r) {
  HalfWays(r), r.Head.Measure.LiveTime = 2.675, r.Head.Measure.Temperature = 1234.5678;
}
void NonFinite(SpectrumRecord& r) {
  r.Head.Measure.RingCurrent = std::nan(""), r.Head.Measure.PressX = -HUGE_VAL, r.Head.Measure.EGC[1] = HUGE_VAL;
}
void GsaHeader(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleTitle, std::string(19, 'T') + kPair);
  AssignText(r.Head.Common.MeasTime, "9 0507");
  r.Head.Measure.TwoTheta = 12.34567;
}
void NpdTexts(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleTitle, "  a, b,c"), AssignText(r.Head.Common.MeasTime, " 90507");
  r.Head.Measure.Temperature = -273.15;
}
template <std::int32_t First, std::int32_t Second>
void TwoCounts(SpectrumRecord& r) {
  r.Data.DataNumber = 2, r.Data.Count[0] = First, r.Data.Count[1] = Second;
}

TEST(Writers, SampleAndEdgeRecords_MatchGoldenFiles) {
  const std::tuple<const char*, Change, const char*> records[] = {
      {"sample", [](SpectrumRecord&) {}, "RPT TXT CSV NPD GSA .XBM"},
      {"cut-texts", CutTexts, "RPT TXT"},
      {"no-date", [](SpectrumRecord& r) { AssignText(r.Head.Common.MeasDate, ""); }, "RPT"},
      {"half-ways", HalfWays, "RPT NPD"},
      {"csv-half-ways", CsvHalfWays, "CSV NPD"},
      {"wide", [](SpectrumRecord& r) { r.Head.Measure.TwoTheta = 1e20; }, "RPT"},
      {"non-finite", NonFinite, "TXT"},
      {"gsa-header", GsaHeader, "GSA"},
      {"word-hour", [](SpectrumRecord& r) { AssignText(r.Head.Common.MeasTime, "ab0507"); }, "GSA"},
      {"below-ten-million", TwoCounts<15, 9'999'999>, "GSA"},
      {"at-ten-million", TwoCounts<15, 10'000'000>, "GSA"},  // hundredths
      {"truncated-toward-zero", TwoCounts<-19, 99'999'999>, "GSA"},
      {"negatives-scale-too", TwoCounts<-10'000'000, 5>, "GSA"},
      {"extremes", TwoCounts<INT32_MAX, INT32_MIN>, "GSA"},
      {"negative-channels", [](SpectrumRecord& r) { r.Data.DataNumber = -15; }, "GSA NPD"},
      {"npd-texts", NpdTexts, "NPD"},
      {"unset", [](SpectrumRecord& r) { r = SpectrumRecord{}; }, "NPD"}};
  for (const auto& [name, change, suffixes] : records) {
    SpectrumRecord r = SampleRecord();
    change(r);
    for (const auto& output : OutputFormats()) {
      if (std::string_view(suffixes).find(output.suffix.substr(1)) == std::string_view::npos) continue;
      const std::string golden = std::string(VANTOR_TEST_DATA_DIR) + "/" + name + std::string(output.suffix);
      EXPECT_TRUE(Bytes(output.kind, r) == ReadAll(golden)) << "differs from " << golden;
    }
  }
}

TEST(Writers, NpdMeasureTypeChoosesWordAndCountingTime) {
  const std::tuple<std::int16_t, const char*, const char*> rows[] = {
      {0, "Real", "310.500"},     {1, "Live", "300.000"}, {2, "Real", "310.500"}, {3, "Live", "300.000"},
      {4, "Separate", "310.500"}, {5, "Real", "310.500"}, {-1, "Real", "310.500"}};
  for (const auto& [type, word, seconds] : rows) {
    SpectrumRecord r = SampleRecord();
    r.Head.Measure.MeasureType = type;
    const auto lines = SplitCrLf(Bytes(OutputKind::Npd, r));
    EXPECT_EQ(lines.at(5) + "|" + lines.at(28), "Measurement mode," + std::string(word) + "|Counting sec, " + seconds);
  }
}

// ---- shapes

std::size_t CeilDiv(int n, int d) {
  return n <= 0 ? 0 : static_cast<std::size_t>((n + d - 1) / d);
}

// Line counts of every text output, the report's eight counts a line and
// the GSA's ten, every GSA line 80 wide.
void ExpectShapes(const SpectrumRecord& r) {
  const int n = std::max<int>(0, r.Data.DataNumber);
  const auto rpt = SplitCrLf(Bytes(OutputKind::Rpt, r)), gsa = SplitCrLf(Bytes(OutputKind::Gsa, r));
  ASSERT_EQ(rpt.size(), 1 + std::max<std::size_t>(1, CeilDiv(n, 8)) + 6);
  for (std::size_t i = 1; i + 7 < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 7u * 8) << "report line " << i;
  for (std::size_t i = rpt.size() - 4; i < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 65u);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Txt, r)).size(), 65u + n);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Csv, r)).size(), 14u + n);
  EXPECT_EQ(SplitCrLf(Bytes(OutputKind::Npd, r)).size(), 29u + n);
  ASSERT_EQ(gsa.size(), 2 + CeilDiv(n, 10));
  for (const auto& line : gsa) EXPECT_EQ(line.size(), 80u);
}

// Channel counts at the line edges, up to the most a record holds.
TEST(Writers, EdgeChannelCounts_KeepTheirShape) {
  for (const int n : {0, 1, 9, 10, 2048, 8192}) ExpectShapes(bench::GenerateSpectrum(n + 1, n));
  SpectrumRecord negative = SampleRecord();
  negative.Data.DataNumber = -3;
  ExpectShapes(negative);
}

// ---- each writer's route through the save helper

TEST(Writers, EachSavesItsBody_AsksBeforeReplacing_RefusesTooManyChannels) {
  for (const auto& output : OutputFormats()) {
    SCOPED_TRACE(output.name);
    TempDir dir;
    FakePrompt prompt;
    ConvertContext context(prompt);
    SpectrumRecord r = SampleRecord();
    const std::string path = dir / "out";
    ASSERT_TRUE(output.write(path, r.Data, r.Head, context));
    EXPECT_TRUE(ReadAll(path) == Bytes(output.kind, r));
    EXPECT_FALSE(output.write(path, r.Data, r.Head, context));  // the fake user answers No
    const bool named = output.kind == OutputKind::Gsa || output.kind == OutputKind::Npd;
    EXPECT_EQ(prompt.questions.at(0), ReplaceQuestion(named ? output.suffix.substr(1) : path));
    r.Data.DataNumber = kMaxChannels + 1;  // the record writer writes the 8192 it holds
    EXPECT_EQ(output.write(dir / "many", r.Data, r.Head, context), output.kind == OutputKind::Xbm);
    EXPECT_EQ(prompt.messages, std::vector<std::string>(output.kind == OutputKind::Xbm ? 0 : 1, "Open Error"));
  }
}

}  // namespace
}  // namespace vantor::test
