// Shapes of the five text outputs: line counts and widths for channel counts
// at the block edges, and CR LF, widths and values over many random records
// with huge, negative and non-finite numbers, zero bytes and Shift_JIS texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "bench/SpectrumGenerator.h"
#include "formats/Npd.h"
#include "tests/formats/WriterRecords.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

namespace vantor::test {
namespace {

using Body = void (*)(std::string&, const SpecData&, const Header&);

std::vector<std::string> LinesOf(Body body, const SpectrumRecord& r) {
  std::string out;
  body(out, r.Data, r.Head);
  return SplitCrLf(out);
}

std::size_t CeilDiv(int n, int d) {
  return n <= 0 ? 0 : static_cast<std::size_t>((n + d - 1) / d);
}

// ---- channel counts at the edges of the 8- and 10-value lines ----

class ChannelCount : public ::testing::TestWithParam<int> {
 protected:
  SpectrumRecord record = bench::GenerateSpectrum(static_cast<std::uint32_t>(GetParam() + 1), GetParam());
  int n = GetParam();
};

TEST_P(ChannelCount, Report_CountsEightToALine) {
  const auto lines = LinesOf(WriteRptBody, record);
  ASSERT_EQ(lines.size(), 1 + std::max<std::size_t>(1, CeilDiv(n, 8)) + 6);
  const std::string number = std::to_string(n);
  EXPECT_EQ(lines[0], Blanks(5 - number.size()) + number);
  for (std::size_t i = 1; i + 6 < lines.size(); ++i) {
    const bool last = i + 7 == lines.size();
    const std::size_t counts = n == 0 ? 0 : (last && n % 8 != 0 ? n % 8 : 8);
    EXPECT_EQ(lines[i].size(), 7 * counts) << "line " << i;
  }
  const std::size_t tail = lines.size() - 6;
  EXPECT_EQ(lines[tail].size(), 80u);
  EXPECT_EQ(lines[tail + 1].size(), 37u);
  for (std::size_t i = tail + 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 65u);
}

TEST_P(ChannelCount, Text_OneFixedLinePerChannel) {
  const auto lines = LinesOf(WriteTxtBody, record);
  ASSERT_EQ(lines.size(), 65u + n);
  EXPECT_EQ(lines[61], "DataNumber         =" + std::to_string(n));
  for (int i = 0; i < n; ++i) {
    const std::string& line = lines[63 + i];
    ASSERT_EQ(line.size(), 22u) << "channel " << i + 1;
    EXPECT_EQ(std::atoi(line.substr(0, 4).c_str()), i + 1);
    EXPECT_EQ(line[7 + 4], '.');  // the energy's point in column 8 of its field
    EXPECT_EQ(std::atoi(line.substr(15).c_str()), record.Data.Count[i]);
  }
  EXPECT_EQ(lines[lines.size() - 2], "SpecData_End:");
  EXPECT_EQ(lines.back(), "");
}

TEST_P(ChannelCount, Csv_HeaderThenOneLinePerChannel) {
  const auto lines = LinesOf(WriteCsvBody, record);
  ASSERT_EQ(lines.size(), 14u + n);
  EXPECT_EQ(lines[12], std::to_string(n) + ", , ");
  for (int i = 0; i < n; ++i) {
    const std::string& line = lines[14 + i];
    EXPECT_EQ(line.substr(0, line.find(',')), std::to_string(i + 1));
    EXPECT_EQ(line.substr(line.rfind(',') + 1), std::to_string(record.Data.Count[i]));
  }
}

TEST_P(ChannelCount, Gsa_TenToALineAllEightyWide) {
  const auto lines = LinesOf(WriteGsaBody, record);
  ASSERT_EQ(lines.size(), 2 + CeilDiv(n, 10));
  for (const auto& line : lines) EXPECT_EQ(line.size(), 80u);
  const std::string count = std::to_string(n);
  const std::string records = std::to_string(CeilDiv(n, 10));
  EXPECT_EQ(lines[1].substr(0, 21),
            "BANK 1 " + count + Blanks(6 - count.size()) + records + Blanks(4 - records.size()) + "EDS ");
  if (n % 10 != 0) {
    std::string fill;
    for (int i = n % 10; i < 10; ++i) fill += "       0";
    EXPECT_EQ(lines.back().substr(80 - fill.size()), fill);
  }
}

TEST_P(ChannelCount, Npd_HeaderThenOneLinePerChannel) {
  const auto lines = LinesOf(WriteNpdBody, record);
  ASSERT_EQ(lines.size(), 29u + n);
  EXPECT_EQ(lines[27], "Data length, " + std::to_string(n));
  for (int i = 0; i < n; ++i) {
    const std::string& line = lines[29 + i];
    const auto first = line.find(',');
    const auto second = line.rfind(',');
    ASSERT_NE(first, second);
    EXPECT_EQ(line.substr(0, first), std::to_string(i + 1));
    EXPECT_EQ(line.substr(second + 1), std::to_string(record.Data.Count[i]));
    const double energy = EnergyOfChannel(i + 1, record.Head.Measure.EGC);
    EXPECT_NEAR(std::strtod(line.c_str() + first + 1, nullptr), energy, 0.00005 + 1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(Edges, ChannelCount, ::testing::Values(0, 1, 9, 10, 2040, 2048, 8192));

// ---- random records ----

// A generated spectrum roughened: some counts huge or negative, header
// numbers of any size and sign (now and then not finite), texts with zero
// bytes, Shift_JIS pairs and lead bytes cut off at field edges.
SpectrumRecord RoughRecord(std::uint32_t seed) {
  std::mt19937 random(seed);
  const int n = std::uniform_int_distribution<int>(0, kMaxChannels)(random);
  SpectrumRecord r = bench::GenerateSpectrum(seed, n);
  std::uniform_int_distribution<std::int32_t> anyCount(INT32_MIN, INT32_MAX);
  for (int i = 0; i < n; ++i)
    if (random() % 50 == 0) r.Data.Count[i] = anyCount(random);
  auto anyNumber = [&random]() {
    const int kind = static_cast<int>(random() % 40);
    if (kind == 0) return std::nan("");
    if (kind == 1) return -HUGE_VAL;
    const double mantissa = std::uniform_real_distribution<double>(-10, 10)(random);
    return mantissa * std::pow(10.0, std::uniform_int_distribution<int>(-12, 20)(random));
  };
  auto& m = r.Head.Measure;
  for (double* v : {&m.PressLoad, &m.Temperature, &m.LiveTime, &m.RealTime, &m.TwoTheta, &m.PressX, &m.RingCurrent,
                    &m.Volt, &m.Power, &m.DeadTime, &m.Resistance, &m.RamStroke})
    *v = anyNumber();
  m.MeasureType = static_cast<std::int16_t>(random() % 7) - 1;
  const char bytes[] = {'\0', ' ', 'A', '9', ',', '\x82', '\xA0', '\x83', '\xC6', '\xE0', '\x40', '\xFC'};
  auto scramble = [&](auto& field) {
    for (auto& c : field) c = bytes[random() % sizeof bytes];
  };
  scramble(r.Head.Common.SampleTitle);
  scramble(r.Head.Common.SampleID);
  scramble(r.Head.Common.Comment);
  scramble(r.Head.Common.Operator);
  if (random() % 2) scramble(r.Head.Common.MeasTime);
  if (random() % 4 == 0) scramble(r.Head.Common.MeasDate);
  return r;
}

TEST(RandomRecords, EveryWriter_EndsEveryLineWithCrLfAndKeepsItsShape) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const SpectrumRecord r = RoughRecord(seed);
    const int n = r.Data.DataNumber;

    const auto rpt = LinesOf(WriteRptBody, r);
    ASSERT_EQ(rpt.size(), 1 + std::max<std::size_t>(1, CeilDiv(n, 8)) + 6);
    const std::size_t tail = rpt.size() - 6;
    EXPECT_TRUE(rpt[tail].size() == 80 || rpt[tail].size() == 72);
    EXPECT_EQ(rpt[tail + 1].size(), 37u);
    for (std::size_t i = tail + 2; i < rpt.size(); ++i) EXPECT_EQ(rpt[i].size(), 65u);

    const auto txt = LinesOf(WriteTxtBody, r);
    ASSERT_EQ(txt.size(), 65u + n);
    EXPECT_EQ(txt[2].size(), 16u + 64);  // the title written whole
    EXPECT_EQ(txt[8].size(), 16u + 50);
    EXPECT_EQ(txt[9].size(), 16u + 50);

    EXPECT_EQ(LinesOf(WriteCsvBody, r).size(), 14u + n);

    const auto gsa = LinesOf(WriteGsaBody, r);
    ASSERT_EQ(gsa.size(), 2 + CeilDiv(n, 10));
    for (const auto& line : gsa) EXPECT_EQ(line.size(), 80u);

    const auto npd = LinesOf(WriteNpdBody, r);
    ASSERT_EQ(npd.size(), 29u + n);
    EXPECT_EQ(npd[22].size(), 8u + 100);  // the comment written whole
  }
}

}  // namespace
}  // namespace vantor::test
