// SPDX-License-Identifier: GPL-3.0-or-later
// Profile files and analyser exports that came back from elsewhere: re-saved
// on Unix or padded by a spreadsheet. (Sources cut short or not sources at
// all, with their reasons, are cases in tests/data/cli-cases.txt.)
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/CsvSource.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "support/Parsed.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

const std::string kProfile = test::ReadAll(VANTOR_SAMPLES_DIR "/profile.npd");
const std::string kExport = test::ReadAll(VANTOR_SAMPLES_DIR "/export.csv");

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Every field a record file holds, so that two reads compare whole.
std::string RecordRead(ReadResult (*parse)(std::string_view, SpectrumRecord&), const std::string& text) {
  const auto r = test::Parsed(parse, text);
  return r ? RecordFileBytes(r->Data, r->Head) : "failed";
}

TEST(ResavedSources, ReadExactlyAsTheOriginals) {
  // A spreadsheet pads every row with "," to three fields ("Record length,27,").
  std::string padded, blanks;
  for (std::size_t from = 0, end; from < kProfile.size(); from = end + 2) {
    end = kProfile.find("\r\n", from);
    std::string line = kProfile.substr(from, end - from);
    const auto commas = std::count(line.begin(), line.end(), ',');
    padded += line + std::string(std::max<long>(0, 2 - commas), ',') + "\r\n";
    blanks += line + (commas < 2 ? std::string(2 - commas, ',') + "  " : "") + "\n";
  }
  const std::string original = RecordRead(NpdRecord, kProfile);
  ASSERT_NE(original, "failed");
  for (const std::string& variant : {Replaced(kProfile, "\r\n", "\n"), padded, blanks})
    EXPECT_EQ(RecordRead(NpdRecord, variant), original) << variant.substr(0, 40);
  ASSERT_NE(RecordRead(CsvSourceRecord, kExport), "failed");
  EXPECT_EQ(RecordRead(CsvSourceRecord, Replaced(kExport, "\r\n", "\n")), RecordRead(CsvSourceRecord, kExport));
}

TEST(ResavedSources, UnpaddedProfileKeepsAValueEndingInAComma) {
  const auto r = test::Parsed(NpdRecord, Replaced(kProfile, "Profile number,EDX-00008", "Profile number,A,"));
  ASSERT_TRUE(r);
  EXPECT_EQ(View(r->Head.Common.SampleID).substr(0, 3), "A, ");
}

TEST(ResavedSources, FourDigitYearDates) {
  for (const char* date : {"2006/09/09", "2006-09-09", "06/09/09"}) {
    const auto r = test::Parsed(CsvSourceRecord, Replaced(kExport, ",06/09/09,", "," + std::string(date) + ","));
    ASSERT_TRUE(r) << date;
    EXPECT_EQ(View(r->Head.Common.MeasDate), "20060909") << date;
  }
}

}  // namespace
}  // namespace vantor
