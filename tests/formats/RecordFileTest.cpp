#include "formats/RecordFile.h"

#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

class RecordFileTest : public ::testing::Test {
 protected:
  FakePrompt prompt;
  ConvertContext context{prompt};
  TempDir dir;
};

// ---- layout

TEST_F(RecordFileTest, WritesFieldsAtTheirOffsets) {
  SpectrumRecord r;
  r.Data.DataNumber = 2;
  r.Data.Count[0] = 0x01020304;
  r.Data.Count[1] = -1;
  AssignText(r.Head.Common.SampleTitle, "ABC");
  r.Head.Measure.EGC[0] = 1.0;
  r.Head.Measure.Current2 = -2.0;
  const std::string bytes = RecordFileBytes(r.Data, r.Head);
  ASSERT_EQ(bytes.size(), 2070u + 8);
  EXPECT_EQ(bytes.substr(0, 2), "00");
  EXPECT_EQ(bytes.substr(4, 4), std::string("ABC ", 4));
  EXPECT_EQ(bytes.substr(1434, 8), std::string("\0\0\0\0\0\0\xf0\x3f", 8));
  EXPECT_EQ(bytes.substr(1766, 8), std::string("\0\0\0\0\0\0\0\xc0", 8));
  EXPECT_EQ(bytes.substr(2068, 2), std::string("\x02\0", 2));
  EXPECT_EQ(bytes.substr(2070, 8), std::string("\x04\x03\x02\x01\xff\xff\xff\xff", 8));
}

// ---- round trips

class RecordRoundTrip : public RecordFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecordRoundTrip, WriteReadWriteIsByteIdentical) {
  SpectrumRecord r = bench::GenerateSpectrum(7, GetParam());
  r.Head.Common.SourceFormat = 9;  // the reader sets it to 1
  r.Head.Common.Spare2[3] = '\x7f';
  r.Head.Common.SpareText[10][99] = '\x82';
  r.Head.Measure.Spare5[0] = '\x01';
  const std::string first = dir / "a.xbm";
  ASSERT_TRUE(WriteRecordFile(first, r.Data, r.Head, context));
  EXPECT_EQ(ReadAll(first).size(), 2070u + 4 * GetParam());

  SpectrumRecord back;
  ASSERT_TRUE(ReadRecordFile(first, back));
  EXPECT_EQ(back.Head.Common.SourceFormat, 1);
  EXPECT_EQ(back.Data.DataNumber, GetParam());
  const std::string second = dir / "b.xbm";
  ASSERT_TRUE(WriteRecordFile(second, back.Data, back.Head, context));
  std::string a = ReadAll(first), b = ReadAll(second);
  EXPECT_EQ(a.substr(0, 282), b.substr(0, 282));
  EXPECT_EQ(a.substr(284), b.substr(284));
  EXPECT_TRUE(prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Channels, RecordRoundTrip, ::testing::Values(0, 1, 4096, 8192));

TEST_F(RecordFileTest, ReadStartsFromAFreshRecord) {
  SpectrumRecord small = bench::GenerateSpectrum(1, 10);
  ASSERT_TRUE(WriteRecordFile(dir / "s.xbm", small.Data, small.Head, context));
  SpectrumRecord r = bench::GenerateSpectrum(2, 4096);
  ASSERT_TRUE(ReadRecordFile(dir / "s.xbm", r));
  EXPECT_EQ(r.Data.DataNumber, 10);
  EXPECT_EQ(r.Data.Count[10], 0);
  EXPECT_EQ(r.Data.Count[4095], 0);
}

TEST_F(RecordFileTest, ExtraBytesAndAnyFirstTwoBytesAreRead) {
  SpectrumRecord r = bench::GenerateSpectrum(3, 5);
  std::string bytes = RecordFileBytes(r.Data, r.Head);
  bytes[0] = 'X';
  bytes += "trailing bytes";
  WriteAll(dir / "x.xbm", bytes);
  SpectrumRecord back;
  ASSERT_TRUE(ReadRecordFile(dir / "x.xbm", back));
  EXPECT_EQ(back.Data.Count[4], r.Data.Count[4]);
}

// ---- damaged and missing files

TEST_F(RecordFileTest, MissingFileIsFineNotFound) {
  SpectrumRecord r;
  EXPECT_EQ(ReadRecordFile(dir / "none.xbm", r).status, ReadStatus::NotFound);
  EXPECT_EQ(ReadRecordFile(dir.path().string(), r).status, ReadStatus::NotFound);  // a folder
}

TEST_F(RecordFileTest, EveryTruncatedPrefixIsAFileError) {
  SpectrumRecord r = bench::GenerateSpectrum(4, 3);
  const std::string bytes = RecordFileBytes(r.Data, r.Head);
  SpectrumRecord back = bench::GenerateSpectrum(5, 100);
  const SpectrumRecord before = back;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    WriteAll(dir / "t.xbm", bytes.substr(0, length));
    ASSERT_EQ(ReadRecordFile(dir / "t.xbm", back).status, ReadStatus::FileError) << length;
  }
  EXPECT_EQ(back.Data.Count, before.Data.Count);  // a failed read leaves the record alone
}

TEST_F(RecordFileTest, ChannelCountOutsideTheRecordIsAFileError) {
  for (const std::int16_t n : {std::int16_t{-1}, std::int16_t{9000}}) {
    std::string bytes = RecordFileBytes(SpecData{}, Header{});
    bytes[2068] = static_cast<char>(n & 0xFF);
    bytes[2069] = static_cast<char>((n >> 8) & 0xFF);
    bytes.append(4 * 9000, '\x01');
    WriteAll(dir / "n.xbm", bytes);
    SpectrumRecord r;
    const ReadResult read = ReadRecordFile(dir / "n.xbm", r);
    EXPECT_EQ(read.status, ReadStatus::FileError) << n;
    EXPECT_EQ(read.where, 2068u) << n;
  }
}

// ---- replacing files

TEST_F(RecordFileTest, ExistingTargetNeedsConsent) {
  const std::string path = dir / "out_.XBM";
  WriteAll(path, std::string(40000, 'o'));  // longer than what replaces it
  SpectrumRecord r = bench::GenerateSpectrum(6, 16);

  prompt.answers = {false};
  EXPECT_FALSE(WriteRecordFile(path, r.Data, r.Head, context));
  EXPECT_EQ(ReadAll(path), std::string(40000, 'o'));
  EXPECT_EQ(prompt.questions.back(), "File already exist. Replace?(" + path + ")");

  prompt.answers = {true};
  EXPECT_TRUE(WriteRecordFile(path, r.Data, r.Head, context));
  EXPECT_EQ(ReadAll(path).size(), 2070u + 64);  // no stale tail of the old file

  context.settings.OverWriteCheck = false;
  const auto asked = prompt.questions.size();
  EXPECT_TRUE(WriteRecordFile(path, r.Data, r.Head, context));
  EXPECT_EQ(prompt.questions.size(), asked);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out_.XBM"});
}

}  // namespace
}  // namespace vantor
