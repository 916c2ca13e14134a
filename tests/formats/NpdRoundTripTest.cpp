// A record written by our NPD writer and read back by the NPD reader: what
// the profile file carries comes back rounded to the writer's masks, the
// rest comes back reset.
#include <gtest/gtest.h>

#include "formats/Npd.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::TempDir;

// Every field set to something other than its reset value.
SpectrumRecord FullRecord(std::int16_t measureType, int n) {
  SpectrumRecord r;
  auto& c = r.Head.Common;
  auto& m = r.Head.Measure;
  c.DataType = 3;
  AssignText(c.SampleTitle, "  Fe3O4, run 7  ");
  AssignText(c.SampleID, "EDX-00042");
  AssignText(c.MeasDate, "20070723");
  AssignText(c.MeasTime, "092530");
  AssignText(c.Spare1, "spare1");
  AssignText(c.Operator, " beamline");
  AssignText(c.Comment, "hot run, second heating");
  c.SourceFormat = 1;
  c.Spare2.fill('s');
  for (auto& t : c.SpareText) AssignText(t, "slot");
  m.MeasureType = measureType;
  m.PrsRTime = 300, m.PrsLTime = 290, m.ROIStart = 10, m.ROIEnd = 20, m.ROISigma = 1.5;
  m.EGC = {0.2667312, 0.04219249, -1.5e-7};
  m.TwoTheta = 5.00123;
  m.Volt = 3.204, m.RingCurrent = 99.456, m.Pressure = 15, m.Temperature = 25.123;
  m.MiriVolt = 1.254, m.RateMeter = 1523.4, m.GainConv = 2, m.RealTime = 300.004, m.LiveTime = 270.456;
  m.Spare3 = 1, m.PressX = 1.5004, m.PressY = -2.0006, m.PressZ = 0.25, m.PressTZ = 90.0004;
  m.HGonioX = 1, m.HGonioY = 2, m.HGonioZ = 3, m.Spare4 = 4, m.VGonioX = 5, m.VGonioY = 6, m.VGonioZ = 7;
  m.VAngle = 8, m.PressLoad = 150.126, m.RamStroke = 12.344, m.Power = 132.804, m.Resistance = 0.0774;
  m.RingCurrent2 = 42, m.DeadTime = 9.8347812;
  m.InSlitV = 0.0504, m.InSlitH = 0.2, m.InSlitX = 1, m.InSlitZ = 2, m.InSlitTY = 3;
  m.ReSlitV = 0.06, m.ReSlitH = 0.21, m.ReSlitX = 1, m.ReSlitZ = 2, m.ReSlitTY = 3;
  m.CollimatorSize = 0.1, m.Current2 = 41.504;
  m.Spare5.fill('5');
  m.Spare6.fill('6');
  r.Data.DataNumber = static_cast<std::int16_t>(n);
  for (int i = 0; i < kMaxChannels; ++i) r.Data.Count[i] = 1000 + 7 * i;
  return r;
}

SpectrumRecord WriteAndRead(const SpectrumRecord& written) {
  TempDir dir;
  const std::string path = dir / "round.NPD";
  FakePrompt prompt;
  ConvertContext context(prompt);
  EXPECT_TRUE(WriteNpdFile(path, written.Data, written.Head, context));
  SpectrumRecord read;
  read.Head.Measure.VAngle = 99;  // must be reset by the reader
  EXPECT_TRUE(ReadNpdFile(path, read));
  EXPECT_TRUE(prompt.messages.empty());
  return read;
}

TEST(NpdRoundTrip, CarriedFieldsComeBackRoundedToTheWritersMasks) {
  const SpectrumRecord r = WriteAndRead(FullRecord(3, 300));
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  // Text fields: stripped of blanks, then padded again.
  EXPECT_EQ(View(c.SampleTitle), "Fe3O4, run 7" + std::string(52, ' '));
  EXPECT_EQ(View(c.Operator), "beamline" + std::string(22, ' '));
  EXPECT_EQ(View(c.SampleID), "EDX-00042" + std::string(55, ' '));
  EXPECT_EQ(View(c.Comment), "hot run, second heating" + std::string(77, ' '));
  EXPECT_EQ(View(c.MeasDate), "20070723");
  EXPECT_EQ(View(c.MeasTime), "092530");
  // Numbers: EGC to six significant digits, 2theta to four decimals, times
  // and most conditions to two, the dead time to five, positions to three.
  EXPECT_EQ(m.EGC, (std::array<double, 3>{0.266731, 0.0421925, -1.5e-7}));
  EXPECT_EQ(m.TwoTheta, 5.0012);
  EXPECT_EQ(m.LiveTime, 270.46);  // from its own line, not the counting time
  EXPECT_EQ(m.RealTime, 300);
  EXPECT_EQ(m.DeadTime, 9.83478);
  EXPECT_NEAR(m.Temperature, 25.12, 1e-9);
  EXPECT_EQ(m.PressLoad, 150.13);
  EXPECT_EQ(m.RingCurrent, 99.46);
  EXPECT_EQ(m.RingCurrent2, m.RingCurrent);
  EXPECT_EQ(m.MiriVolt, 1.25);
  EXPECT_EQ(m.RateMeter, 1523.4);
  EXPECT_EQ((std::array{m.PressX, m.PressY, m.PressZ, m.PressTZ}), (std::array{1.5, -2.001, 0.25, 90.0}));
  EXPECT_EQ((std::array{m.InSlitV, m.InSlitH, m.ReSlitV, m.ReSlitH}), (std::array{0.05, 0.2, 0.06, 0.21}));
  EXPECT_EQ(m.CollimatorSize, 0.1);
  EXPECT_EQ((std::array{m.Volt, m.Current2, m.Power, m.Resistance}), (std::array{3.2, 41.5, 132.8, 0.077}));
  EXPECT_EQ(m.RamStroke, 12.34);
  // Counts: the N written, zeros beyond.
  EXPECT_EQ(r.Data.DataNumber, 300);
  EXPECT_EQ(r.Data.Count[0], 1000);
  EXPECT_EQ(r.Data.Count[299], 1000 + 7 * 299);
  EXPECT_EQ(r.Data.Count[300], 0);
}

TEST(NpdRoundTrip, FieldsTheFileDoesNotCarryComeBackReset) {
  const SpectrumRecord r = WriteAndRead(FullRecord(4, 1));
  SpectrumRecord reset;
  auto& expected = reset.Head;
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  EXPECT_EQ(c.SourceFormat, 4);
  EXPECT_EQ(c.DataType, 0);
  EXPECT_EQ(c.Spare1, expected.Common.Spare1);
  EXPECT_EQ(c.Spare2, expected.Common.Spare2);
  EXPECT_EQ(c.SpareText, expected.Common.SpareText);
  for (const double v :
       {m.PrsRTime, m.PrsLTime, m.ROISigma, m.Pressure, m.HGonioX, m.HGonioY, m.HGonioZ, m.Spare4, m.VGonioX, m.VGonioY,
        m.VGonioZ, m.VAngle, m.InSlitX, m.InSlitZ, m.InSlitTY, m.ReSlitX, m.ReSlitZ, m.ReSlitTY})
    EXPECT_EQ(v, 0);
  EXPECT_EQ((std::array{m.ROIStart, m.ROIEnd, m.GainConv, m.Spare3}), (std::array<std::int16_t, 4>{}));
  EXPECT_EQ(m.Spare5, expected.Measure.Spare5);
  EXPECT_EQ(m.Spare6, expected.Measure.Spare6);
}

class NpdRoundTripMode : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(NpdRoundTripMode, MeasureTypeComesBackAsItsWord) {
  EXPECT_EQ(WriteAndRead(FullRecord(static_cast<std::int16_t>(GetParam().first), 2)).Head.Measure.MeasureType,
            GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Codes, NpdRoundTripMode,
                         ::testing::Values(std::pair{0, 2}, std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 1},
                                           std::pair{4, 4}, std::pair{5, 2}, std::pair{-1, 2}));

TEST(NpdRoundTrip, ChannelCountsAtTheEnds) {
  EXPECT_EQ(WriteAndRead(FullRecord(1, 0)).Data.DataNumber, 0);
  const SpectrumRecord full = WriteAndRead(FullRecord(1, kMaxChannels));
  EXPECT_EQ(full.Data.DataNumber, kMaxChannels);
  EXPECT_EQ(full.Data.Count[kMaxChannels - 1], 1000 + 7 * (kMaxChannels - 1));
}

}  // namespace
}  // namespace vantor
