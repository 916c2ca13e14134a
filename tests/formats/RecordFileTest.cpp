// SPDX-License-Identifier: GPL-3.0-or-later
// The record file: round trips, damaged files. (The golden sample_.XBM of the writer tests
// pins every field's offset.)
#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "support/Parsed.h"

namespace vantor {
namespace {

// Write, read, write: the same bytes but SourceFormat, which the reader
// sets to 1; extra bytes after a signed file ignored, spare bytes and half
// characters kept. A file without the signature is read when its length is
// the promised one.
TEST(RecordFile, RoundTrip_ByteIdentical) {
  for (const int n : {0, 1, 8192}) {
    SpectrumRecord r = bench::GenerateSpectrum(7, n);
    r.Head.Common.SourceFormat = 9, r.Head.Common.Spare2[3] = '\x7f', r.Head.Common.SpareText[10][99] = '\x82';
    r.Head.Measure.Spare5[0] = '\x01';
    std::string first = RecordFileBytes(r.Data, r.Head);
    ASSERT_TRUE(test::Parsed(RecordFileRecord, first + "trailing bytes")) << n;
    first[0] = 'X';
    const auto back = test::Parsed(RecordFileRecord, first);
    ASSERT_TRUE(back) << n;
    EXPECT_EQ(back->Head.Common.SourceFormat, 1);
    first.replace(0, 2, "00"), first.replace(282, 2, std::string("\1\0", 2));
    EXPECT_TRUE(first == RecordFileBytes(back->Data, back->Head)) << n;
  }
}

TEST(RecordFile, TruncatedOrBadChannelCount_FileErrorWhereItStopped) {
  const SpectrumRecord r = bench::GenerateSpectrum(4, 3);
  const std::string bytes = RecordFileBytes(r.Data, r.Head);
  SpectrumRecord fresh;
  for (std::size_t length = 0; length < bytes.size(); ++length)
    ASSERT_EQ(RecordFileRecord(std::string_view(bytes).substr(0, length), fresh).where, length) << length;
  for (const std::int16_t n : {std::int16_t{-1}, std::int16_t{8193}}) {
    std::string bad = RecordFileBytes(SpecData{}, Header{}) + std::string(4 * 9000, '\1');
    bad[2068] = static_cast<char>(n & 0xFF), bad[2069] = static_cast<char>((n >> 8) & 0xFF);
    const ReadResult read = RecordFileRecord(bad, fresh);
    EXPECT_EQ(read.status, ReadStatus::FileError);
    EXPECT_EQ(read.where, 2068u) << n;
  }
  // Without the signature, any other length is another kind of file.
  for (const std::string& unsigned_ : {"X0" + bytes.substr(2) + "tail", "X0" + bytes.substr(2, bytes.size() - 6)}) {
    const ReadResult read = RecordFileRecord(unsigned_, fresh);
    EXPECT_EQ(read.status, ReadStatus::FileError);
    EXPECT_EQ(read.where, 0u);
  }
}


}  // namespace
}  // namespace vantor
