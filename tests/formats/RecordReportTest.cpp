// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON of `vantor-cli show` for a known record (tests/data/record-report.json),
// and that what it writes reads back: exact numbers, valid text.
#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "formats/RecordReport.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

TEST(RecordReport, JsonCarriesEveryHeaderFieldUnderItsNameAndTheSummary) {
  auto record = std::make_unique<SpectrumRecord>();
  Header& h = record->Head;
  AssignText(h.Common.SampleTitle, "C:\\run \"7\" \x93\xFA");  // "\" stays a backslash; 0x93FA is a kanji
  AssignText(h.Common.MeasDate, "20060202");
  h.Common.SpareText[0][0] = 'x';
  h.Measure.EGC = {0.25, 0.042, -1e-7};
  h.Measure.TwoTheta = 5.001;
  h.Measure.LiveTime = std::numeric_limits<double>::quiet_NaN();
  h.Measure.RealTime = std::numeric_limits<double>::infinity();
  h.Measure.ROIEnd = -3;
  record->Data.DataNumber = 4;
  record->Data.Count = {3, 9, 9, -1};

  // Every header field under its name, one a line, after the summary.
  EXPECT_EQ(SpectrumJson({"dir/a.xbm", "xbm", *record}), test::ReadAll(VANTOR_TEST_DATA_DIR "/record-report.json"));
  // One of a file's several spectra: its element, and the values the record has no field for.
  const HeaderValue extra[] = {{"Heater", "1.5 V"}, {"Heater", "1.6 V"}};
  const auto json = nlohmann::json::parse(SpectrumJson({"d.med", "med", *record, 3, extra}));
  EXPECT_EQ(json.at("element"), 3);
  EXPECT_EQ(json.at("extra"), nlohmann::json({{"Heater", "1.5 V"}, {"Heater (2)", "1.6 V"}}));
  const std::string text = SpectrumText({"d.med", "med", *record, 3, extra});
  EXPECT_TRUE(text.starts_with("d.med:3 (med)\n") && text.find("  Heater          1.6 V\n") != std::string::npos);
}

TEST(RecordReport, JsonReadsBackToTheSameNumbersAndValidText) {
  auto record = std::make_unique<SpectrumRecord>();
  MeasureCondition& m = record->Head.Measure;
  m.EGC = {0.1 + 0.2, 123456789012345678.0, -1e-300};
  m.TwoTheta = 1.0 / 3.0;
  m.ROIEnd = std::numeric_limits<std::int16_t>::min();
  // Control characters, a stray trail byte, an overlong form, a surrogate, a cut sequence.
  const std::string file = "a\"b\\c\n\t\x01|\x80|\xC0\xAF|\xED\xA0\x80|\xE6\x97";

  const std::string text = SpectrumJson({file, "xbm", *record}, 2);
  ASSERT_TRUE(nlohmann::json::accept(text)) << text;
  const auto json = nlohmann::json::parse(text);
  const auto& header = json.at("header");
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(header.at("EGC").at(i).get<double>(), m.EGC[i]) << i;
  EXPECT_EQ(header.at("TwoTheta").get<double>(), m.TwoTheta);
  EXPECT_TRUE(header.at("ROIEnd").is_number_integer());
  EXPECT_EQ(header.at("ROIEnd").get<std::int64_t>(), m.ROIEnd);
  EXPECT_EQ(json.at("file").get<std::string>().substr(0, 12), "a\"b\\c\n\t\x01|\xEF\xBF\xBD");
  EXPECT_EQ(json.at("file").get<std::string>().find_first_of("\x80\xC0\xED"), std::string::npos);
  // Shifted right as a whole: every line starts with the indent.
  EXPECT_EQ(text.substr(0, 3), "  {");
  EXPECT_EQ(text.substr(text.size() - 4), "\n  }");
  for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
    EXPECT_EQ(text.substr(at + 1, 2), "  ") << at;
}

}  // namespace
}  // namespace vantor
