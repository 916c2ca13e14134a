// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration file: written and read back to the same values, every
// double to the bit; a broken file refused with what is wrong in it.
#include <gtest/gtest.h>

#include "convert/CalibrationFile.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

CalibrationFile TwoElements() {
  CalibrationFile c;
  c.date = "2024-03-01T09:30:00Z";
  EnergyEntry energy{{0.0318713467181, 0.0648427575637, 1.2718128e-08},
                     {{{1e-4, -2e-7, 1e-10}, {-2e-7, 4e-10, -3e-13}, {1e-10, -3e-13, 2.5e-16}}},
                     "Co-57,Cd-109",
                     {"sources.med"},
                     "2024-03-01T09:00:00Z"};
  c.elements[1] = {energy, AngleEntry{6.498571234567891, 0.000163, "al2o3", {"COSI_021_0001.med"}, c.date, 10}};
  c.elements[3] = {std::nullopt, AngleEntry{6.5044, 0.0003, "al2o3", {"COSI_021_0001.med"}, c.date, {}}};
  return c;
}

TEST(CalibrationFile, WrittenAndReadBackTheSame) {
  test::TempDir dir;
  const CalibrationFile written = TwoElements();
  std::string why;
  ASSERT_TRUE(WriteCalibrationFile(dir / "beam.json", written, why)) << why;
  const CalibrationRead read = ReadCalibrationFile(dir / "beam.json");
  ASSERT_TRUE(read.ok) << read.message;
  EXPECT_EQ(CalibrationText(read.calibration), CalibrationText(written));
  const EnergyEntry& energy = *read.calibration.elements.at(1).energy;
  EXPECT_EQ(energy.egc, written.elements.at(1).energy->egc);
  EXPECT_EQ(energy.covariance, written.elements.at(1).energy->covariance);
  EXPECT_EQ(read.calibration.elements.at(1).twoTheta->twoThetaDeg, 6.498571234567891);
  EXPECT_FALSE(read.calibration.elements.at(3).energy);
  // What the read path and the pressure take from it.
  const CalibrationValues values = ValuesOf(read.calibration, "beam.json");
  EXPECT_EQ(values.elements.at(3).twoTheta, 6.5044);
  EXPECT_FALSE(values.elements.at(3).egc);
  EXPECT_EQ(values.elements.at(3).twoThetaSigma, 0.0003);
  EXPECT_EQ(values.elements.at(1).azimuthDeg, 10);
  EXPECT_FALSE(values.elements.at(3).azimuthDeg);
  EXPECT_EQ(UtcNow().size(), written.date.size());
  // An unwritable place leaves nothing behind and says why.
  EXPECT_FALSE(WriteCalibrationFile(dir / "no/such/folder.json", written, why));
  EXPECT_FALSE(why.empty());
}

TEST(CalibrationFile, BrokenFilesSayWhatIsWrong) {
  const std::string two = R"("two_theta": {"value": 6.5, "sigma": 0.001})";
  const auto file = [](const std::string& elements) {
    return R"({"vantor_calibration": 1, "elements": {)" + elements + "}}";
  };
  const std::pair<std::string, std::string> rows[] = {
      {"{\"vantor_calibration\": 1, ", "not JSON (it breaks off)"},
      {"{\"vantor_calibration\": 1,, }", "not JSON (byte 26)"},
      {R"({"elements": {}})", "not a calibration file"},
      {R"({"vantor_calibration": 1, "elements": 1e999})", "a number beyond the range of doubles"},
      {R"({"vantor_calibration": 2, "elements": {}})", "version 2 is newer than this program reads (1)"},
      {R"({"vantor_calibration": 1})", "elements is missing"},
      {file(""), "elements must hold at least one element"},
      {file(R"("x1": {)" + two + "}"), "elements: \"x1\" is not an element number"},
      {file(R"("1": {})"), "elements.1 holds neither energy nor two_theta"},
      {file(R"("1": {"two_theta": {"value": 0, "sigma": 0.001}})"),
       "elements.1.two_theta.value must lie above 0 and below 180 degrees"},
      {file(R"("1": {"two_theta": {"value": 6.5, "sigma": -1}})"), "elements.1.two_theta.sigma must not be negative"},
      {file(R"("1": {"two_theta": {"value": 6.5, "sigma": 0, "azimuth": "up"}})"),
       "elements.1.two_theta.azimuth must be a number"},
      {file(R"("1": {"two_theta": {"value": "6.5", "sigma": 0}})"), "elements.1.two_theta.value must be a number"},
      {file(R"("1": {"two_theta": {"value": 6.5}})"), "elements.1.two_theta.sigma is missing"},
      {file(R"("1": {"energy": {"egc": [0, 0.06], "egc_cov": []}})"),
       "elements.1.energy.egc must be a list of three numbers"},
      {file(R"("1": {"energy": {"egc": [0, 0.06, 0], "egc_cov": [[1, 2, 0], [0, 1, 0], [0, 0, 1]]}})"),
       "elements.1.energy.egc_cov is not symmetric"},
      {file(R"("1": {"energy": {"egc": [0, 0.06, 0], "egc_cov": [[-1, 0, 0], [0, 1, 0], [0, 0, 1]]}})"),
       "elements.1.energy.egc_cov has a negative variance"},
      {file(R"("1": {"two_theta": {"value": 6.5, "sigma": 0, "standard": 5}})"),
       "elements.1.two_theta.standard must be a text"},
      {file(R"("1": {"energy": {"egc": [0, 0.06, 0], "egc_cov": [[1, 0, 0], [0, 1, 0], [0, 0, 1]], "files": "a"}})"),
       "elements.1.energy.files must be a list of texts"},
      {file(R"("2": {)" + two + R"(}, "02": {)" + two + "}"), "elements.2 is given twice"},
  };
  for (const auto& [text, message] : rows) {
    const CalibrationRead read = ParseCalibration(text);
    EXPECT_FALSE(read.ok) << text;
    EXPECT_EQ(read.message, message) << text;
  }
  test::TempDir dir;
  test::WriteAll(dir / "bad.json", rows[2].first);
  EXPECT_EQ(ReadCalibrationFile(dir / "bad.json").message,
            "broken calibration file " + dir / "bad.json" + ": not a calibration file");
  EXPECT_EQ(ReadCalibrationFile(dir / "none.json").message.rfind("cannot read the calibration file ", 0), 0u);
}

}  // namespace
}  // namespace vantor
