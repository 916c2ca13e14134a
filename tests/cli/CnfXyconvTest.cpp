// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser files against xylib's xyconv, an independent reader of the
// format: the real files of the shared data and our own sample read with
// xyconv's channel count, counts, energies and live time; the real files'
// start dates agree. xyconv prints energies for any calibration unit; we
// give none where the unit is no energy (the multichannel-scaling file
// counts time bins).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "formats/Cnf.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

struct Reading {
  std::vector<double> energy, count;
  bool calibrated = true;
  double liveTime = 0;
  std::string date;  // yyyymmddhhmmss, empty for none
};

// xyconv prints "# live time (s): 53.17", "# date and time: Thu, 2011-09-08
// 08:04:38" (a zero field as about 1.8e12 s and 1858-11-17), then "x y" lines.
Reading Xyconv(const fs::path& file) {
  const auto run = std::unique_ptr<FILE, int (*)(FILE*)>(
      popen(("xyconv " + test::ShellQuote(file.string()) + " - 2>/dev/null").c_str(), "r"), pclose);
  Reading r;
  char line[256];
  int t[6] = {};
  while (run && std::fgets(line, sizeof line, run.get())) {
    double x = 0, y = 0;
    if (std::sscanf(line, "# live time (s): %lf", &x) == 1) r.liveTime = x > 1e12 ? 0 : x;
    if (std::sscanf(line, "# date and time: %*[A-Za-z], %d-%d-%d %d:%d:%d", t, t + 1, t + 2, t + 3, t + 4, t + 5) ==
        6) {
      char date[64];
      std::snprintf(date, sizeof date, "%04d%02d%02d%02d%02d%02d", t[0], t[1], t[2], t[3], t[4], t[5]);
      r.date = t[0] == 1858 ? "" : date;
    }
    if (line[0] != '#' && std::sscanf(line, "%lf %lf", &x, &y) == 2) {
      r.energy.push_back(x);
      r.count.push_back(y);
    }
  }
  return r;
}

// What our reader gives: record channel k + 1 at xyconv's channel k.
Reading Ours(const fs::path& file) {
  SpectrumRecord record;
  EXPECT_TRUE(CnfRecord(test::ReadAll(file.string()), record));
  Reading r;
  for (int k = 0; k < record.Data.DataNumber; ++k) {
    r.energy.push_back(EnergyOfChannel(k + 1, record.Head.Measure.EGC));
    r.count.push_back(record.Data.Count[k]);
  }
  r.liveTime = record.Head.Measure.LiveTime;
  r.calibrated = record.Head.Measure.EGC != std::array<double, 3>{};
  if (record.Head.Common.MeasDate[0] != '\0')
    r.date = std::string(View(record.Head.Common.MeasDate)) + std::string(View(record.Head.Common.MeasTime));
  return r;
}

// From record channel first + 1 on. xyconv zeroes either of the first two
// counts that equals the rounded live or real time (some analysers store
// the times there). The template carries no times, so `times` is false.
void ExpectSameAsXyconv(const fs::path& file, std::size_t first, bool times) {
  SCOPED_TRACE(file.filename().string());
  const Reading theirs = Xyconv(file), ours = Ours(file);
  ASSERT_FALSE(theirs.count.empty()) << "xyconv read nothing";
  ASSERT_EQ(ours.count.size(), theirs.count.size());
  for (std::size_t k = first; k < ours.count.size(); ++k) {
    EXPECT_TRUE(ours.count[k] == theirs.count[k] || (k < 2 && theirs.count[k] == 0)) << "channel " << k + 1;
    if (ours.calibrated) {
      EXPECT_NEAR(ours.energy[k], theirs.energy[k], 1e-4) << "channel " << k + 1;
    }
  }
  if (times) {
    EXPECT_NEAR(ours.liveTime, theirs.liveTime, 1e-4);
    EXPECT_EQ(ours.date, theirs.date);
  }
}

// The sample is the template, whose record channel 1 repeats channel 2.
TEST(CnfXyconv, SampleAndRealAnalyserFiles_ReadAsXyconvReadsThem) {
  if (std::system("command -v xyconv >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "xyconv (Debian package libxy-bin) is not installed";
  ExpectSameAsXyconv(fs::path(VANTOR_SAMPLES_DIR) / "analyser.cnf", 1, false);
  const fs::path folder = fs::path(VANTOR_REALDATA_DIR) / "cnf";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no real analyser files at " << folder;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cnf" && ext != ".CNF") continue;
    ExpectSameAsXyconv(entry.path(), 0, true);
    EXPECT_EQ(Ours(entry.path()).calibrated, entry.path().filename() != "pbellino_example_mcs.CNF");
    ++files;
  }
  EXPECT_GT(files, 0);
  // Times exactly as stored: 600 000 000 and 531 700 000 ticks of 100 ns, negated.
  SpectrumRecord record;
  ASSERT_TRUE(CnfRecord(test::ReadAll((folder / "xylib_SMP00011.CNF").string()), record));
  EXPECT_EQ(record.Head.Measure.RealTime, 60.0);
  EXPECT_EQ(record.Head.Measure.LiveTime, 53.17);
}

}  // namespace
}  // namespace vantor
