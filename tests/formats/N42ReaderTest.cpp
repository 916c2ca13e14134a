// SPDX-License-Identifier: GPL-3.0-or-later
// The N42 reader: both schemas from small documents (compression,
// calibrations, undeclared prefixes, times), the texts' pieces, every
// failure with its line, the real files.
#include <gtest/gtest.h>

#include "formats/N42.h"
#include "formats/N42Values.h"
#include "support/DataRows.h"
#include "support/RealSpectra.h"

namespace vantor {
namespace {

// Two small documents in tests/data: n42-2006.n42 (two spectra, a calibration
// around both, counted zeros) and n42-2011.n42 (a referenced calibration with
// deviation pairs, an undeclared prefix, a title code page 932 cannot hold).
std::string Fixture(const char* name) {
  return test::ReadAll(std::string(VANTOR_TEST_DATA_DIR) + "/" + name);
}

std::vector<SourceSpectrum> Read(std::string_view bytes, ReadResult* result = nullptr) {
  std::vector<SourceSpectrum> spectra;
  const ReadResult r = N42Spectra(bytes, spectra);
  if (result != nullptr) *result = r;
  return spectra;
}

std::string ExtraValue(const SourceSpectrum& s, std::string_view name) {
  for (const auto& e : s.extra)
    if (e.name == name) return e.value;
  return "(none)";
}

std::vector<std::int32_t> Counts(const SourceSpectrum& s) {
  return {s.record.Data.Count.begin(), s.record.Data.Count.begin() + s.record.Data.DataNumber};
}

TEST(N42Reader, Schema2006_SpectraInOrder_CountedZeros_Units) {
  const auto s = Read(Fixture("n42-2006.n42"));
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(Counts(s[0]), (std::vector<std::int32_t>{5, 0, 0, 0, 7, 0}));
  EXPECT_EQ(Counts(s[1]), (std::vector<std::int32_t>{1, 2, 3}));
  const auto& m = s[0].record.Head.Measure;
  EXPECT_EQ((std::array{m.RealTime, m.LiveTime}), (std::array{62.5, 60.0}));
  // first channel 0: channel 4 (from 1) at 1 + 2 * 3 + 0.001 * 9 keV; the FWHM calibration passed over
  EXPECT_NEAR(EnergyOfChannel(4, m.EGC), 7.009, 1e-12);
  EXPECT_EQ(std::string(View(s[0].record.Head.Common.MeasDate)) + std::string(View(s[0].record.Head.Common.MeasTime)),
            "20160204202833");
  EXPECT_EQ(ExtraValue(s[0], "time zone") + "," + ExtraValue(s[0], "detector") + "," + ExtraValue(s[1], "detector"),
            "UTC,A1,A2");
  EXPECT_EQ(s[1].record.Head.Measure.EGC, s[0].record.Head.Measure.EGC);  // the calibration around both
}

// 2006 calibrations: units other than keV converted, unknown units and
// other models no calibration (with a note).
TEST(N42Reader, Calibration2006_UnitsAndModels) {
  // {units, model, energy of channel 2 (from 1) of "1 2" in keV, notes}
  const std::tuple<const char*, const char*, double, std::size_t> rows[] = {{"", "Polynomial", 3, 0},
                                                                            {"eV", "", 0.003, 0},
                                                                            {"MeV", "", 3000, 0},
                                                                            {"furlongs", "", 0, 1},
                                                                            {"keV", "Lines", 0, 1}};
  for (const auto& [units, model, second, notes] : rows) {
    const auto s = Read(std::string("<N42InstrumentData><Spectrum><Calibration EnergyUnits='") + units +
                        "'><Equation Model='" + model + "'><Coefficients>1 2</Coefficients></Equation></Calibration>" +
                        "<ChannelData>5 6</ChannelData></Spectrum></N42InstrumentData>");
    ASSERT_EQ(s.size(), 1u) << units;
    EXPECT_NEAR(EnergyOfChannel(2, s[0].record.Head.Measure.EGC), second, 1e-12) << units << model;
    EXPECT_EQ(s[0].notes.size(), notes) << units << model;
  }
}

// Around a spectrum: the dose rate in either schema's form, and
// calibrations that cannot be held, each with a note saying why (the
// spectrum then has no calibration).
TEST(N42Reader, DoseRates_CalibrationsNotHeldSayWhy) {
  // {elements before the spectrum, its attributes, the dose rate, the note}
  const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
      {"<DoseRate><DoseRateValue>0.12</DoseRateValue></DoseRate>", "", "0.12 \u00B5Sv/h", ""},
      {"<DoseRate Units='mrem/h'>3</DoseRate>", "", "3 mrem/h", ""},
      {"<DoseRate>3</DoseRate>", "", "3", ""},
      {"<EnergyCalibration id='e'><EnergyBoundaryValues>0 1 2</EnergyBoundaryValues></EnergyCalibration>",
       " energyCalibrationReference='e'", "(none)", "energy calibration by channel edges is not read: no calibration"},
      {"", " energyCalibrationReference='e'", "(none)", "energy calibration \"e\" is not in the file: no calibration"},
      {"<Calibration><Equation><Coefficients>1 2 3 4</Coefficients></Equation></Calibration>", "", "(none)",
       "energy calibration with terms beyond the quadratic: no calibration"}};
  for (const auto& [before, attributes, dose, note] : rows) {
    const auto s = Read(std::string("<RadInstrumentData><RadMeasurement>") + before + "<Spectrum" + attributes +
                        "><ChannelData>5 6</ChannelData></Spectrum></RadMeasurement></RadInstrumentData>");
    ASSERT_EQ(s.size(), 1u) << before;
    EXPECT_EQ(ExtraValue(s[0], "dose rate"), dose) << before;
    EXPECT_EQ(s[0].notes, *note ? std::vector<std::string>{note} : std::vector<std::string>{}) << before;
    EXPECT_EQ(s[0].record.Head.Measure.EGC, (std::array<double, 3>{})) << before;
  }
}

TEST(N42Reader, Schema2011_ReferencedCalibration_UndeclaredPrefix_Title) {
  const auto s = Read(Fixture("n42-2011.n42"));
  ASSERT_EQ(s.size(), 1u);  // GrossCounts is no spectrum
  EXPECT_EQ(Counts(s[0]), (std::vector<std::int32_t>{0, 0, 4}));
  const auto& r = s[0].record;
  EXPECT_EQ((std::array{EnergyOfChannel(1, r.Head.Measure.EGC), EnergyOfChannel(3, r.Head.Measure.EGC)}),
            (std::array{-0.5, 5.5}));
  EXPECT_EQ((std::array{r.Head.Measure.RealTime, r.Head.Measure.LiveTime, r.Head.Measure.DeadTime}),
            (std::array{10.0, 8.0, 20.0}));
  EXPECT_EQ(View(r.Head.Common.SampleTitle).substr(0, 12), "Ba133 ?t?   ");
  EXPECT_EQ(View(r.Head.Common.Comment).substr(0, 9), "shielded ");
  EXPECT_EQ(s[0].notes, std::vector<std::string>{"title: characters code page 932 cannot hold were written as \"?\""});
  EXPECT_EQ(ExtraValue(s[0], "deviation pairs") + "," + ExtraValue(s[0], "detector kind") + "," +
                ExtraValue(s[0], "time zone"),
            "2 pairs in the file, not applied,HPGe,(none)");
}

TEST(N42Reader, TextPieces) {
  const std::pair<const char*, double> durations[] = {
      {" P1DT1H1M1.5S\n", 90061.5}, {"12.5", 12.5}, {"P1Y", -1}, {"-PT1S", -1}, {"PT1.5", -1}};
  for (const auto& [text, seconds] : durations) EXPECT_EQ(n42::DurationSeconds(text).value_or(-1), seconds) << text;
  const std::pair<const char*, const char*> starts[] = {{"2016-02-04T20:28:33.999Z", "20160204 202833 UTC"},
                                                        {"2013-12-26T21:15:00+09:00", "20131226 211500 +09:00"},
                                                        {"2010-04-17T11:43:59.159", "20100417 114359 "},
                                                        {"2013-13-26T21:15:00Z", "none"}};
  for (const auto& [text, want] : starts) {
    const auto t = n42::ParseStartTime(text);
    EXPECT_EQ(t ? t->date + " " + t->time + " " + t->zone : "none", want) << text;
  }
  // 1 + 2 k + 3 k^2 from k = 0 is 2 - 4 x + 3 x^2 from x = 1; a cubic term cannot be held
  EXPECT_EQ(n42::ChannelOneCoefficients({1, 2, 3, 0}), (std::array<double, 3>{2, -4, 3}));
  EXPECT_FALSE(n42::ChannelOneCoefficients({1, 2, 3, 1e-9}));
}

// Rows of tests/data/n42-broken.tsv inside a spectrum, then whole documents.
TEST(N42Reader, BrokenFiles_FileErrorsWithLines) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& row : test::DataRows("n42-broken.tsv"))
    rows.emplace_back("<RadInstrumentData>\n<Spectrum>\n" + row[0] + "\n</Spectrum>\n</RadInstrumentData>", row[1]);
  std::string many;
  for (int i = 0; i <= 2048; ++i) many += "<Spectrum><ChannelData>1</ChannelData></Spectrum>";
  rows.insert(rows.end(), {{Fixture("n42-2011.n42").substr(0, 300), "not well-formed XML"},
                           {"<Other><Spectrum><ChannelData>1</ChannelData></Spectrum></Other>", "line 1: the root"},
                           {"<RadInstrumentData>" + many + "</RadInstrumentData>", "2049 spectra; at most 2048"}});
  for (const auto& [bytes, why] : rows) {
    ReadResult r;
    const auto s = Read(bytes, &r);
    if (why.empty()) {
      EXPECT_TRUE(r && s.size() == 1 && s[0].record.Data.DataNumber == 8192) << r.why;
    } else {
      EXPECT_TRUE(s.empty() && r.status == ReadStatus::FileError && r.why.find(why) != std::string::npos) << r.why;
    }
  }
}

TEST(N42Reader, RealFiles) {
  using Facts = test::SpectrumFacts;
  const struct {
    const char* file;
    std::size_t spectra;
    std::vector<Facts> first;  // empty: the file is refused
  } rows[] = {
      {"Q8910_Helicopter.N42",
       81,
       {{1024, 9828, 172, 22, 1.8081, 3070.19, 0.999718, 0.999998, "20160204", "202833"},
        {1024, 9851, 187, 25, 1.8081, 3070.19, 0.999634, 0.999997, "20160204", "202834"},
        {1024, 10137, 184, 21, 1.8081, 3070.19, 0.999651, 0.999997, "20160204", "202835"}}},
      {"trinitite_sample_b.n42",
       1,
       {{8192, 7783306, 130014, 1808, -0.0186415, 2997.42, 15569.4, 15882, "20110313", "191436"}}},
      {"Ba133_Unshielded.n42", 1, {{1024, 835193, 45896, 11, -0.21, 3042.81, 1800, 1802.09, "20131226", "211500"}}},
      {"Mn56_DetX_Shielded.n42", 0, {}},
      {"ba133_source_640s_20100317.n42", 0, {}}};
  for (const auto& row : rows) {
    const std::string path = test::RealFolder("n42") + "/" + row.file, bytes = test::ReadAll(path);
    if (bytes.empty()) {
      GTEST_SKIP() << "no " << path;
    }
    ReadResult r;
    const auto s = Read(bytes, &r);
    ASSERT_EQ(s.size(), row.spectra) << path << ": " << r.why;
    for (std::size_t i = 0; i < row.first.size(); ++i) test::ExpectFacts(s[i], row.first[i], path);
    if (row.spectra == 0) {
      EXPECT_NE(r.why.find("16384 channels; at most 8192 can be read"), std::string::npos) << r.why;
    }
    EXPECT_TRUE(Read(bytes.substr(0, bytes.size() / 2)).empty()) << path;
  }
  for (const auto& [folder, head] : test::DetectorFileHeads()) EXPECT_EQ(LooksLikeN42(head), folder == "n42") << folder;
}

}  // namespace
}  // namespace vantor
