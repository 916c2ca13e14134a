// The analyser file reader on the beamline's template: layouts, number
// texts, the channel shift, short files.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/Cnf.h"
#include "support/Parsed.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::TempDir;

struct CnfTexts {
  std::string title = "Fe3O4 15GPa";
  std::string identifier = "EDX-00042";
  std::string conditions = "15.5 300";
  std::string angle = "5.0012";
  std::string calibration = "0.26673 0.042192";
};

void Put(std::string& bytes, std::size_t offset, std::string_view text) {
  std::memcpy(bytes.data() + offset, text.data(), text.size());
}

// A file of `size` bytes with the given layout byte; counts 10, 20, 30, ...
// in file channels 0, 1, 2, ... (channel 4095 only when the file holds it).
std::string CnfBytes(unsigned char layout, std::size_t size, const CnfTexts& t = {}) {
  const std::size_t base = layout == 0xB6 ? 4608 : 0;
  std::string bytes(size, '\0');
  bytes[11] = static_cast<char>(layout);
  Put(bytes, base + 16944, t.title);
  Put(bytes, base + 17008, t.identifier);
  Put(bytes, base + 17622, t.conditions);
  Put(bytes, base + 17774, t.angle);
  Put(bytes, base + 17966, t.calibration);
  for (std::size_t k = 0; k < 4096 && base + 25604 + 4 * k + 4 <= size; ++k) {
    const std::uint32_t v = static_cast<std::uint32_t>(10 * (k + 1));
    for (int b = 0; b < 4; ++b) bytes[base + 25604 + 4 * k + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
  }
  return bytes;
}

// --- Layouts and the beamline's file sizes

struct LayoutCase {
  unsigned char layout;
  std::size_t size;
};

class CnfLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CnfLayout, ReadsEveryFieldFromAFreshRecord) {
  TempDir dir;
  const std::string path = dir / "run.cnf";
  test::WriteAll(path, CnfBytes(GetParam().layout, GetParam().size));
  SpectrumRecord r;
  r.Head.Measure.PressX = 7;  // from an earlier file: must not survive
  r.Head.Common.SourceFormat = 1;
  r.Data.Count[4096] = 99;
  ASSERT_TRUE(ReadCnfFile(path, r));

  EXPECT_EQ(r.Data.DataNumber, 4096);
  EXPECT_EQ(r.Data.Count[0], 10);
  EXPECT_EQ(r.Data.Count[1], 10);
  EXPECT_EQ(r.Data.Count[2], 20);
  EXPECT_EQ(r.Data.Count[3], 30);
  EXPECT_EQ(r.Data.Count[4095], 40950);  // file channel 4094
  EXPECT_EQ(r.Data.Count[4096], 0);
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  EXPECT_EQ(View(c.SampleTitle), std::string("Fe3O4 15GPa") + std::string(53, '\0'));
  EXPECT_EQ(View(c.SampleID), std::string("EDX-00042") + std::string(7, '\0') + std::string(48, ' '));
  EXPECT_EQ(View(c.Operator), std::string(30, ' '));
  EXPECT_EQ(View(c.MeasDate), std::string(8, '\0'));
  EXPECT_EQ(c.SourceFormat, 0);
  EXPECT_EQ(m.PressX, 0);
  EXPECT_DOUBLE_EQ(m.EGC[0], 0.26673);
  EXPECT_DOUBLE_EQ(m.EGC[1], 0.042192);
  EXPECT_EQ(m.EGC[2], 0);
  EXPECT_DOUBLE_EQ(m.Pressure, 15.5);
  EXPECT_DOUBLE_EQ(m.Temperature, 300);
  EXPECT_DOUBLE_EQ(m.TwoTheta, 5.0012);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, CnfLayout, ::testing::Values(LayoutCase{0xA4, 41984}, LayoutCase{0xB6, 46592}));

// --- The three number texts

struct TextCase {
  const char* name;
  CnfTexts texts;
  std::array<double, 2> egc;
  double pressure, temperature, twoTheta;
};

class CnfNumberText : public ::testing::TestWithParam<TextCase> {};

TEST_P(CnfNumberText, GivesItsNumbers) {
  const auto r = test::Parsed(CnfRecord, CnfBytes(0xA4, 41984, GetParam().texts));
  ASSERT_TRUE(r);
  const auto& m = r->Head.Measure;
  EXPECT_DOUBLE_EQ(m.EGC[0], GetParam().egc[0]);
  EXPECT_DOUBLE_EQ(m.EGC[1], GetParam().egc[1]);
  EXPECT_DOUBLE_EQ(m.Pressure, GetParam().pressure);
  EXPECT_DOUBLE_EQ(m.Temperature, GetParam().temperature);
  EXPECT_DOUBLE_EQ(m.TwoTheta, GetParam().twoTheta);
}

CnfTexts With(std::string conditions, std::string angle, std::string calibration) {
  CnfTexts t;
  t.conditions = std::move(conditions);
  t.angle = std::move(angle);
  t.calibration = std::move(calibration);
  return t;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CnfNumberText,
    ::testing::Values(
        TextCase{"OneCalibrationNumber", With("15 300", "5", "0.26673"), {0.26673, 0}, 15, 300, 5},
        TextCase{"OnePressureNumber", With("15", "5", "0.1 0.04"), {0.1, 0.04}, 15, 0, 5},
        TextCase{"CommaSeparated", With("15,300", "5 6", "0.26673, 0.042192"), {0.26673, 0.042192}, 15, 300, 5},
        // The analyser pads with zero bytes; a blank-padded text would read the same.
        TextCase{"ZeroPaddedUpToTheField", With("25.0 300", "4.5", "1 2"), {1, 2}, 25, 300, 4.5},
        TextCase{"NotNumbers", With("high hot", "x", "a b"), {0, 0}, 0, 0, 0},
        TextCase{"MoreFieldsThanEleven",
                 With("1 2 3 4 5 6 7 8 9 0 1 2 ", "7", "0.5 0.25 1 2 3 4 5 6 7 8 9 10 11 12 13 14"),
                 {0.5, 0.25},
                 1,
                 2,
                 7},
        TextCase{"LeadingBlankGivesEmptyFirstField", With(" 15 300", " 5", " 0.3 0.04"), {0, 0.3}, 0, 15, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Failures

TEST(CnfReader, FileOneByteShortOfChannel4094_FileErrorAndRecordUntouched) {
  for (const auto& [layout, size] : {std::pair<unsigned char, std::size_t>{0xA4, 41983}, {0xB6, 46591}}) {
    TempDir dir;
    const std::string path = dir / "short.cnf";
    test::WriteAll(path, CnfBytes(layout, size));
    SpectrumRecord r;
    r.Data.DataNumber = 5;
    r.Head.Measure.TwoTheta = 3;
    EXPECT_EQ(ReadCnfFile(path, r).status, ReadStatus::FileError);
    EXPECT_EQ(r.Data.DataNumber, 5);
    EXPECT_EQ(r.Head.Measure.TwoTheta, 3);
  }
}

TEST(CnfReader, MissingFileOrFolder_FineNotFound) {
  TempDir dir;
  for (const std::string& path : {dir / "absent.cnf", dir.path().string()}) {
    SpectrumRecord r;
    EXPECT_EQ(ReadCnfFile(path, r).status, ReadStatus::NotFound);
  }
}

TEST(CnfReader, EveryTruncatedPrefix_FailsCleanly) {
  for (const unsigned char layout : {0xA4, 0xB6}) {
    const std::string full = CnfBytes(layout, layout == 0xB6 ? 46592 : 41984);
    for (std::size_t n = 0; n < full.size(); ++n) {
      ASSERT_FALSE(test::Parsed(CnfRecord, std::string_view(full).substr(0, n))) << n;
    }
  }
}

}  // namespace
}  // namespace vantor
