// SPDX-License-Identifier: GPL-3.0-or-later
// The detectors' text readers on real files of other programs, against the
// values independent readers give for them (realdata/<folder>/SOURCES.txt);
// every such file cut to half its length; the content checks on the real
// files of every detector format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>

#include "formats/AmptekMca.h"
#include "formats/Iec.h"
#include "formats/Med.h"
#include "formats/Spe.h"
#include "support/DataRows.h"
#include "support/SpectraReading.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

const std::filesystem::path kRealData = VANTOR_REALDATA_DIR;

test::SpectraReader ReaderOf(const std::string& file) {
  return file.starts_with("med/")   ? MedSpectra
         : file.starts_with("spe/") ? SpeSpectra
         : file.starts_with("iec/") ? IecSpectra
                                    : AmptekMcaSpectra;
}

void ExpectClose(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, std::max(std::abs(expected) * 1e-5, 1e-6)) << what;
}

TEST(DetectorRealFiles, ValuesOfIndependentReaders) {
  if (!std::filesystem::exists(kRealData / "med")) GTEST_SKIP() << "no real files at " << kRealData;
  for (const auto& row : test::DataRows("detector-spectra.tsv")) {
    ASSERT_EQ(row.size(), 13u) << row.back();
    const std::string& what = row.back();
    const auto spectra = test::Spectra(ReaderOf(row[0]), test::ReadAll((kRealData / row[0]).string()));
    const std::size_t index = std::stoul(row[1]) - 1;
    ASSERT_GT(spectra.size(), index) << what;
    const SpectrumRecord& r = spectra[index].record;
    const auto counts = test::Counts(r);
    const auto largest = std::max_element(counts.begin(), counts.end());
    EXPECT_EQ((std::array<long long, 4>{r.Data.DataNumber, std::accumulate(counts.begin(), counts.end(), 0LL), *largest,
                                        largest - counts.begin() + 1}),
              (std::array{std::stoll(row[2]), std::stoll(row[3]), std::stoll(row[4]), std::stoll(row[5])}))
        << what;
    ExpectClose(r.Head.Measure.LiveTime, std::stod(row[6]), what);
    ExpectClose(r.Head.Measure.RealTime, std::stod(row[7]), what);
    EXPECT_EQ(test::DateTime(r), row[8]) << what;
    if (row[9].empty()) {
      EXPECT_EQ(r.Head.Measure.EGC, (std::array{0.0, 0.0, 0.0})) << what;
    } else {
      ExpectClose(test::Energy(r, 1), std::stod(row[9]), what);
      ExpectClose(test::Energy(r, r.Data.DataNumber), std::stod(row[10]), what);
    }
    ExpectClose(r.Head.Measure.TwoTheta, std::stod(row[11]), what);
  }
}

TEST(DetectorRealFiles, LongerThan8192Channels_HalfFiles_FileError) {
  if (!std::filesystem::exists(kRealData / "med")) GTEST_SKIP() << "no real files at " << kRealData;
  std::vector<std::pair<std::string, std::string>> refused;
  for (const char* folder : {"med", "spe", "iec", "mca-amptek"}) {
    for (const auto& entry : std::filesystem::directory_iterator(kRealData / folder)) {
      if (entry.path().filename() == "SOURCES.txt") continue;
      const std::string bytes = test::ReadAll(entry.path().string()), name = entry.path().filename().string();
      test::ExpectFileErrors(ReaderOf(std::string(folder) + "/"),
                             {{name + " cut to half", bytes.substr(0, bytes.size() / 2)}});
      if (name.starts_with("1110C")) test::ExpectFileErrors(SpeSpectra, {{name + ": 16384 channels", bytes}});
    }
  }
}

TEST(DetectorRealFiles, ContentChecksSayYesOnlyToTheirOwnFolder) {
  if (!std::filesystem::exists(kRealData / "med")) GTEST_SKIP() << "no real files at " << kRealData;
  for (const auto& folder : std::filesystem::directory_iterator(kRealData)) {
    const std::string kind = folder.path().filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      if (entry.path().filename() == "SOURCES.txt") continue;
      const std::string head = test::ReadAll(entry.path().string()).substr(0, 4096);
      const std::string what = kind + "/" + entry.path().filename().string();
      EXPECT_EQ((std::array{LooksLikeMed(head), LooksLikeSpe(head), LooksLikeIec(head), LooksLikeAmptekMca(head)}),
                (std::array{kind == "med", kind == "spe", kind == "iec", kind == "mca-amptek"}))
          << what;
    }
  }
}

}  // namespace
}  // namespace vantor
