// The six writers: whole files against golden files in tests/data, single
// lines at their edges (cuts, rounding, signs, non-finite values, GSA
// counts, NPD modes), line counts and widths over channel counts and rough
// random records, Shift_JIS at every cut, and each writer's route through
// the save helper (whose failures are tested once, in tests/base).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

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
using Strings = std::vector<std::string>;

std::string Bytes(Body body, const SpectrumRecord& r) {
  std::string out;
  body(out, r.Data, r.Head);
  return out;
}

void XbmBody(std::string& out, const SpecData& data, const Header& header) { out = RecordFileBytes(data, header); }

Body BodyOf(OutputKind kind) {
  constexpr Body bodies[] = {WriteRptBody, WriteTxtBody, WriteCsvBody, WriteNpdBody, WriteGsaBody, XbmBody};
  return bodies[static_cast<int>(kind)];
}

// ---- whole files

TEST(Writers, SampleRecord_MatchesGoldenFiles) {
  for (const auto& output : OutputFormats()) {
    const std::string golden = std::string(VANTOR_TEST_DATA_DIR) + "/sample" + std::string(output.suffix);
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_TRUE(Bytes(BodyOf(output.kind), SampleRecord()) == ReadAll(golden)) << "differs from " << golden;
  }
}

// ---- single lines

template <std::size_t N>
void SetBytes(Text<N>& field, const std::string& bytes) {
  field.fill('\0');
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

const std::string kPair = "\x82\xA0";  // one double-byte character

// Records changed at the edges of what each writer does.
using Change = void (*)(SpectrumRecord&);
void CutTexts(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleID, std::string(19, 'A') + kPair + "tail");
  SetBytes(r.Head.Common.SampleTitle, "AB" + std::string(2, '\0') + "CD" + kPair);
  SetBytes(r.Head.Common.Comment, std::string(49, 'c') + kPair + "xyz");
}
void NoDate(SpectrumRecord& r) { AssignText(r.Head.Common.MeasDate, ""); }
void HalfWays(SpectrumRecord& r) {
  auto& m = r.Head.Measure;
  m.PressLoad = -0.0004, m.Temperature = 0.25, m.LiveTime = 123456.75, m.PressX = -0.0004, m.TwoTheta = -0.0;
  m.EGC[0] = -1e15, m.EGC[2] = -1.5e-7, m.RingCurrent = 123456789012345678.0;
}
void CsvHalfWays(SpectrumRecord& r) { HalfWays(r), r.Head.Measure.LiveTime = 2.675, r.Head.Measure.Temperature = 1234.5678; }
void Wide(SpectrumRecord& r) { r.Head.Measure.TwoTheta = 1e20; }
void NonFinite(SpectrumRecord& r) {
  r.Head.Measure.RingCurrent = std::nan(""), r.Head.Measure.PressX = -HUGE_VAL, r.Head.Measure.EGC[1] = HUGE_VAL;
}
void GsaHeader(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleTitle, std::string(19, 'T') + kPair);
  AssignText(r.Head.Common.MeasTime, "9 0507");
  r.Head.Measure.TwoTheta = 12.34567;
}
void WordHour(SpectrumRecord& r) { AssignText(r.Head.Common.MeasTime, "ab0507"); }
template <std::int32_t First, std::int32_t Second>
void TwoCounts(SpectrumRecord& r) { r.Data.DataNumber = 2, r.Data.Count[0] = First, r.Data.Count[1] = Second; }
template <int N>
void Channels(SpectrumRecord& r) { r.Data.DataNumber = N; }
void NpdTexts(SpectrumRecord& r) {
  SetBytes(r.Head.Common.SampleTitle, "  a, b,c"), AssignText(r.Head.Common.MeasTime, " 90507");
  r.Head.Measure.Temperature = -273.15;
}
void Unset(SpectrumRecord& r) { r = SpectrumRecord{}; }

struct LineRow {
  Body body;
  Change change;
  std::size_t line;
  std::string expected;  // ending in "...": the line starts with the rest
};

class WriterLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(WriterLine, IsWrittenAsExpected) {
  SpectrumRecord r = SampleRecord();
  GetParam().change(r);
  const auto lines = SplitCrLf(Bytes(GetParam().body, r));
  ASSERT_GT(lines.size(), GetParam().line);
  std::string expected = GetParam().expected, line = lines[GetParam().line];
  if (expected.ends_with("...")) expected.resize(expected.size() - 3), line.resize(std::min(line.size(), expected.size()));
  EXPECT_EQ(line, expected);
}

const std::string kZeros8 = "       0       0       0       0       0       0       0       0";

INSTANTIATE_TEST_SUITE_P(
    Rows, WriterLine,
    ::testing::Values(
        LineRow{WriteRptBody, CutTexts, 3, std::string(19, 'A') + " AB  CD" + kPair + Blanks(32) + "07/07/23 14:25:30   "},
        LineRow{WriteRptBody, NoDate, 3, "ID-7" + Blanks(16) + "MgO test" + Blanks(32) + " 14:25:30   "},
        LineRow{WriteRptBody, HalfWays, 4, "-0.000,0.3" + Blanks(20) + "23456.8"},
        LineRow{WriteRptBody, Wide, 5, "100000000000000000000.00000,100000000000000000000.00000,1.500,-2."},
        LineRow{WriteTxtBody, CutTexts, 2, "SampleTitle   = AB  CD" + kPair + Blanks(56)},
        LineRow{WriteTxtBody, CutTexts, 8, "Comment1      = " + std::string(49, 'c') + " "},
        LineRow{WriteTxtBody, CutTexts, 9, "Comment2      =  xyz" + Blanks(46)},
        LineRow{WriteTxtBody, NonFinite, 4, "Ring Current  = NaN"},
        LineRow{WriteTxtBody, NonFinite, 36, "Press X       = -Inf"},
        LineRow{WriteTxtBody, NonFinite, 63, "   1     Inf      0"},  // aligned like a number
        LineRow{WriteCsvBody, CsvHalfWays, 0, "Press X,-0.000, "},
        LineRow{WriteCsvBody, CsvHalfWays, 5, "Temperature,1234.568, "},
        LineRow{WriteCsvBody, CsvHalfWays, 6, "Live Time,2.68, "},  // 2.675 to 15 digits, not in binary
        LineRow{WriteCsvBody, CsvHalfWays, 7, "EGC(0),-1000000000000000.000000, "},
        LineRow{WriteCsvBody, CsvHalfWays, 9, "2\x83\xC6,0.00000, "},
        LineRow{WriteGsaBody, GsaHeader, 0, " File: " + std::string(19, 'T') + " Date: 2007-07-23 09:05:07" + Blanks(13) + "2theta = 12.345"},
        LineRow{WriteGsaBody, WordHour, 0, " File: MgO test" + Blanks(12) + "Date: 2007-07-23 ab:05:07..."},
        LineRow{WriteGsaBody, TwoCounts<15, 9'999'999>, 2, "      15 9999999" + kZeros8},
        LineRow{WriteGsaBody, TwoCounts<15, 10'000'000>, 2, "       1 1000000" + kZeros8},  // all divided by ten
        LineRow{WriteGsaBody, TwoCounts<-19, 99'999'999>, 2, "      -1 9999999" + kZeros8},
        LineRow{WriteGsaBody, TwoCounts<-10'000'000, 5>, 2, "10000000       5" + kZeros8},  // "-" cut off
        LineRow{WriteGsaBody, TwoCounts<INT32_MAX, INT32_MIN>, 2, "1474836414748364" + kZeros8},
        LineRow{WriteGsaBody, Channels<-15>, 1, "BANK 1 -15   -1  EDS ..."},
        LineRow{WriteNpdBody, NpdTexts, 1, "Sample name,a, b,c"},
        LineRow{WriteNpdBody, NpdTexts, 4, "Time,2007-07-23 09:05:07"},
        LineRow{WriteNpdBody, HalfWays, 8, "EGC2,-1.50000E-007"},
        LineRow{WriteNpdBody, CsvHalfWays, 10, "Live time(sec),2.68"},
        LineRow{WriteNpdBody, NpdTexts, 13, "Temperature(K),0.00"},
        LineRow{WriteNpdBody, HalfWays, 15, "Ring status,current(mA)=123456789012346000.00"},
        LineRow{WriteNpdBody, Unset, 4, "Time,    -  -     :  :  "},
        LineRow{WriteNpdBody, Unset, 22, "Comment," + Blanks(100)},
        LineRow{WriteNpdBody, Channels<-3>, 27, "Data length, -3"}));

TEST(NpdMode, MeasureTypeChoosesWordAndCountingTime) {
  const std::tuple<std::int16_t, const char*, const char*> rows[] = {
      {0, "Real", "310.500"}, {1, "Live", "300.000"},     {2, "Real", "310.500"}, {3, "Live", "300.000"},
      {4, "Separate", "310.500"}, {5, "Real", "310.500"}, {-1, "Real", "310.500"}};
  for (const auto& [type, word, seconds] : rows) {
    SpectrumRecord r = SampleRecord();
    r.Head.Measure.MeasureType = type;
    const auto lines = SplitCrLf(Bytes(WriteNpdBody, r));
    EXPECT_EQ(lines.at(5), std::string("Measurement mode,") + word) << type;
    EXPECT_EQ(lines.at(28), std::string("Counting sec, ") + seconds) << type;
  }
}

// ---- shapes

std::size_t CeilDiv(int n, int d) { return n <= 0 ? 0 : static_cast<std::size_t>((n + d - 1) / d); }

// Line counts of every text output, the report's eight counts and the GSA's
// ten to a line, every GSA line 80 wide.
void ExpectShapes(const SpectrumRecord& r, bool countsFit = true) {
  const int n = std::max<int>(0, r.Data.DataNumber);
  const auto rpt = SplitCrLf(Bytes(WriteRptBody, r));
  ASSERT_EQ(rpt.size(), 1 + std::max<std::size_t>(1, CeilDiv(n, 8)) + 6);
  for (std::size_t i = 1; countsFit && i + 7 < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 7u * 8) << "report line " << i;
  for (std::size_t i = rpt.size() - 4; i < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 65u);
  EXPECT_EQ(SplitCrLf(Bytes(WriteTxtBody, r)).size(), 65u + n);
  EXPECT_EQ(SplitCrLf(Bytes(WriteCsvBody, r)).size(), 14u + n);
  EXPECT_EQ(SplitCrLf(Bytes(WriteNpdBody, r)).size(), 29u + n);
  const auto gsa = SplitCrLf(Bytes(WriteGsaBody, r));
  ASSERT_EQ(gsa.size(), 2 + CeilDiv(n, 10));
  for (const auto& line : gsa) EXPECT_EQ(line.size(), 80u);
}

TEST(Writers, ChannelCountsAtLineEdges_KeepTheirShape) {
  for (const int n : {0, 1, 9, 10, 2048, 8192}) {
    SCOPED_TRACE(n);
    ExpectShapes(bench::GenerateSpectrum(static_cast<std::uint32_t>(n + 1), n));
  }
}

// Generated spectra roughened: huge and negative counts, header numbers of
// any size and sign (now and then not finite), texts of zero bytes, commas
// and Shift_JIS lead bytes.
TEST(Writers, RoughRandomRecords_KeepTheirShape) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    SpectrumRecord r = bench::GenerateSpectrum(seed, static_cast<int>(random() % (kMaxChannels + 1)));
    for (int i = 0; i < r.Data.DataNumber; ++i)
      if (random() % 50 == 0) r.Data.Count[i] = static_cast<std::int32_t>(random());
    auto& m = r.Head.Measure;
    for (double* v : {&m.PressLoad, &m.Temperature, &m.LiveTime, &m.RealTime, &m.TwoTheta, &m.PressX, &m.Power}) {
      const int kind = static_cast<int>(random() % 40);
      *v = kind == 0 ? std::nan("") : kind == 1 ? -HUGE_VAL : std::ldexp(static_cast<double>(random()) - 2e9, kind);
    }
    const char bytes[] = {'\0', ' ', 'A', ',', '\x82', '\xA0', '\x83', '\xE0', '\x40', '\xFC'};
    for (auto* field : {&r.Head.Common.SampleTitle, &r.Head.Common.SampleID})
      for (auto& c : *field) c = bytes[random() % sizeof bytes];
    for (auto& c : r.Head.Common.MeasTime) c = bytes[random() % sizeof bytes];
    ExpectShapes(r, false);
  }
}

// A field of valid Shift_JIS: あ from offset k on, a blank where the last
// one would not fit. Every width a text output cuts a field to splits a
// double-byte character for one of the k.
template <std::size_t N>
void FillShifted(Text<N>& field, std::size_t k) {
  for (std::size_t i = 0; i < N; ++i)
    field[i] = i < k ? 'x' : (i - k) % 2 == 1 ? '\xA0' : (i + 1 < N ? '\x82' : ' ');
}

TEST(Writers, ShiftJisAtEveryCutPosition_StaysValid) {
  for (std::size_t k = 0; k < 64; ++k) {
    SpectrumRecord r = SampleRecord();
    auto& c = r.Head.Common;
    FillShifted(c.SampleTitle, k), FillShifted(c.SampleID, k), FillShifted(c.Comment, k);
    FillShifted(c.Operator, k % 30);
    for (const Body body : {WriteRptBody, WriteTxtBody, WriteCsvBody, WriteNpdBody, WriteGsaBody}) {
      const std::string text = Bytes(body, r);
      for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == 0x82) {
          ASSERT_EQ(text.at(++i), '\xA0') << "shift " << k;
        } else if (b == 0xA0) {
          ADD_FAILURE() << "lone trail byte, shift " << k << " at " << i;
        }
      }
    }
  }
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
    EXPECT_TRUE(ReadAll(path) == Bytes(BodyOf(output.kind), r));
    EXPECT_FALSE(output.write(path, r.Data, r.Head, context));  // the fake user answers No
    const bool named = output.kind == OutputKind::Gsa || output.kind == OutputKind::Npd;
    EXPECT_EQ(prompt.questions.at(0), "File already exist. Replace?(" +
                                          (named ? std::string(output.name == "gsa" ? "GSA" : "NPD") : path) + ")");
    r.Data.DataNumber = kMaxChannels + 1;  // the record writer writes the 8192 it holds
    EXPECT_EQ(output.write(dir / "many", r.Data, r.Head, context), output.kind == OutputKind::Xbm);
    EXPECT_EQ(prompt.messages, output.kind == OutputKind::Xbm ? Strings{} : Strings{"Open Error"});
  }
}

}  // namespace
}  // namespace vantor::test
