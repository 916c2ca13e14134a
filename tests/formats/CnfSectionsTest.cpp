// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser files read through their section table: our generated analyser
// file, made one byte longer than the template, and every way such a file
// fails. Real files are compared with xyconv in tests/cli/CnfXyconvTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "bench/SourceFiles.h"
#include "bench/SpectrumGenerator.h"
#include "formats/Cnf.h"

namespace vantor {
namespace {

const SpectrumRecord kGenerated = bench::GenerateSpectrum(7, 4096);

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(bytes[at + b]);
  return v;
}

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int b = 0; b < size; ++b) bytes[at + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
}

// Where the table's first entry (parameters) and fourth (data) point.
std::size_t Parameters(const std::string& b) {
  return U32At(b, 112 + 10);
}
std::size_t Data(const std::string& b) {
  return U32At(b, 112 + 3 * 48 + 10);
}

TEST(CnfSections, GeneratedFileOneByteLonger_GivesItsRecordUnshifted) {
  const SpectrumRecord& g = kGenerated;
  SpectrumRecord r;
  ASSERT_TRUE(CnfRecord(bench::CnfFileBytes(g) + '\0', r));
  ASSERT_EQ(r.Data.DataNumber, 4096);
  EXPECT_TRUE(std::equal(g.Data.Count.begin(), g.Data.Count.begin() + 4096, r.Data.Count.begin()));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(r.Head.Measure.EGC[i], g.Head.Measure.EGC[i], 1e-8) << i;
  EXPECT_NEAR(r.Head.Measure.LiveTime, g.Head.Measure.LiveTime, 1e-7);
  EXPECT_EQ(View(r.Head.Common.SampleTitle).substr(0, 21), std::string_view("MgSiO3 run 7, 15 GPa\0", 21));
  EXPECT_EQ(View(r.Head.Common.SampleID).substr(0, 10), std::string_view("EDX-00007\0", 10));
  EXPECT_EQ(View(r.Head.Common.MeasDate), View(g.Head.Common.MeasDate));
  EXPECT_EQ(View(r.Head.Common.MeasTime), View(g.Head.Common.MeasTime));
}

// The calibration's unit: keV as stored, MeV and eV scaled, any other unit
// or none gives no calibration; times exactly as stored.
TEST(CnfSections, CalibrationUnit_ScalesOrRemovesTheCalibration_TimesExact) {
  SpectrumRecord g = kGenerated;
  g.Head.Measure.RealTime = 60, g.Head.Measure.LiveTime = 53.17;
  const std::string bytes = bench::CnfFileBytes(g) + '\0';
  const std::size_t unit = bytes.find("keV");
  ASSERT_NE(unit, std::string::npos);
  for (const auto& [text, scale] :
       {std::pair{"keV ", 1.0}, {"MeV\0", 1000.0}, {"eV  ", 0.001}, {"s   ", 0.0}, {"    ", 0.0}, {"meV ", 0.0}}) {
    std::string file = bytes;
    file.replace(unit, 4, text, 4);
    SpectrumRecord r;
    ASSERT_TRUE(CnfRecord(file, r)) << text;
    for (int i = 0; i < 2; ++i) EXPECT_NEAR(r.Head.Measure.EGC[i], g.Head.Measure.EGC[i] * scale, 1e-6 * scale) << text;
    EXPECT_EQ(r.Head.Measure.RealTime, 60.0);
    EXPECT_EQ(r.Head.Measure.LiveTime, 53.17);
  }
}

// Start dates from their tick count (100 ns since 1858-11-17, worked out
// with Python's datetime): leap day, century, the epoch's first second, the
// last second of year 9999; none from the next second on, none for 0.
TEST(CnfSections, StartTicks_GiveDateAndTime_NoneBeyond9999) {
  const struct {
    std::uint64_t ticks;
    const char *date, *time;
  } rows[] = {{44585424010000000, "20000229", "120001"},
              {13028256000000000, "19000301", "000000"},
              {10000000, "18581117", "000001"},
              {2569090175990000000, "99991231", "235959"},
              {2569090176000000000, "", ""},
              {~0ull, "", ""},
              {0, "", ""}};
  const std::string bytes = bench::CnfFileBytes(kGenerated) + '\0';
  const std::size_t start = Parameters(bytes) + 49 + (U32At(bytes, Parameters(bytes) + 36) & 0xFFFF);
  for (const auto& row : rows) {
    std::string file = bytes;
    for (int b = 0; b < 8; ++b) file[start + b] = static_cast<char>(row.ticks >> (8 * b));
    SpectrumRecord r;
    ASSERT_TRUE(CnfRecord(file, r));
    const auto text = [](std::string_view field) { return field.substr(0, field.find('\0')); };
    EXPECT_EQ(text(View(r.Head.Common.MeasDate)), row.date) << row.ticks;
    EXPECT_EQ(text(View(r.Head.Common.MeasTime)), row.time) << row.ticks;
  }
}

struct Damage {
  const char* name;
  std::function<void(std::string&)> apply;
  const char* why;
};

class CnfSectionFailure : public ::testing::TestWithParam<Damage> {};

TEST_P(CnfSectionFailure, FileErrorWithItsReason) {
  std::string bytes = bench::CnfFileBytes(kGenerated) + '\0';
  GetParam().apply(bytes);
  SpectrumRecord r;
  const ReadResult result = CnfRecord(bytes, r);
  EXPECT_EQ(result.status, ReadStatus::FileError);
  EXPECT_NE(result.why.find(GetParam().why), std::string::npos) << result.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CnfSectionFailure,
    ::testing::Values(
        Damage{"NoTable", [](std::string& b) { std::fill_n(b.begin() + 112, 4 * 48, '\0'); }, "section table"},
        // An empty entry ends the table: the data section's entry after it is not read.
        Damage{"EmptyEntryFirst", [](std::string& b) { std::fill_n(b.begin() + 112 + 48, 48, '\0'); }, "section table"},
        Damage{"Over8192Channels", [](std::string& b) { Put(b, Parameters(b) + 186, 33, 2); }, "8448 channels"},
        Damage{"CountsCut", [](std::string& b) { b.resize(41983); }, "counts end at byte 41984"},
        Damage{"CountOver32Bits", [](std::string& b) { Put(b, Data(b) + 912, 1u << 31, 4); }, "channel 100 is"},
        Damage{"TimesPastTheEnd", [](std::string& b) { Put(b, Parameters(b) + 36, 0xFFFF, 2); }, "times"},
        Damage{"ParametersCut",
               [](std::string& b) {
                 Put(b, 112 + 10, static_cast<std::uint32_t>(b.size()), 4);
                 b += std::string("\0\x20", 2);
               },
               "cut short"},
        // Cut inside what the table names: said to be cut, not taken for another layout.
        Damage{"CutBeforeItsSections", [](std::string& b) { b.resize(3000); }, "the file is cut"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantor
