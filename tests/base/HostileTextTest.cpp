// Text that files and users hand us: Shift_JIS double-byte characters at
// every cut position, file names holding wildcard characters, and numbers
// too small or too large to hold. Cases found by fuzzing are kept here.
#include <gtest/gtest.h>

#include "formats/FormatTable.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::TempDir;

// Shift_JIS as the text outputs must keep it: every lead byte has its trail
// byte, and no byte that only occurs inside a double-byte character stands
// alone. Returns the offset of the first bad byte, or npos.
std::size_t FirstBadShiftJis(std::string_view text) {
  const auto lead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  const auto trail = [](unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (lead(c)) {
      if (i + 1 >= text.size() || !trail(static_cast<unsigned char>(text[i + 1]))) return i;
      ++i;
    } else if (c >= 0x80 && !(c >= 0xA1 && c <= 0xDF)) {  // half-width katakana stand alone
      return i;
    }
  }
  return std::string_view::npos;
}

// "A" then あいうえお then "B": double-byte characters start at odd offsets;
// with the "A" dropped, at even ones.
const std::string kMixed = "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8" "B";

TEST(ShiftJisCut, EveryStartAndLength_ValidAndInPlace) {
  for (const std::string& text : {kMixed, kMixed.substr(1)}) {
    for (std::size_t start = 0; start <= text.size(); ++start) {
      for (std::size_t length = 0; length <= text.size() + 1; ++length) {
        const std::string cut = SjisSlice(text, start, length);
        SCOPED_TRACE(testing::Message() << "start " << start << " length " << length);
        ASSERT_EQ(cut.size(), std::min(length, text.size() - start));
        EXPECT_EQ(FirstBadShiftJis(cut), std::string::npos);
        for (std::size_t i = 0; i < cut.size(); ++i)
          EXPECT_TRUE(cut[i] == text[start + i] || cut[i] == ' ') << "byte " << i << " moved";
      }
    }
  }
}

TEST(ShiftJisCut, EveryWidth_LeftAndRightFitValid) {
  for (const std::string& text : {kMixed, kMixed.substr(1)}) {
    for (std::size_t width = 0; width <= text.size() + 2; ++width) {
      SCOPED_TRACE(testing::Message() << "width " << width);
      const std::string left = LeftFit(text, width), right = RightFit(text, width);
      EXPECT_EQ(left.size(), width);
      EXPECT_EQ(right.size(), width);
      EXPECT_EQ(FirstBadShiftJis(left), std::string::npos);
      EXPECT_EQ(FirstBadShiftJis(right), std::string::npos);
    }
  }
}

// A text field of valid Shift_JIS: あ from offset k on, a blank where the
// last one would not fit. Every width an output cuts a field to splits a
// double-byte character for one of the k.
template <std::size_t N>
void FillShifted(Text<N>& field, std::size_t k) {
  for (std::size_t i = 0; i < N; ++i) {
    if (i < k) {
      field[i] = 'x';
    } else if ((i - k) % 2 == 1) {
      field[i] = '\xA0';
    } else {
      field[i] = i + 1 < N ? '\x82' : ' ';
    }
  }
}

SpectrumRecord ShiftedRecord(std::size_t k) {
  SpectrumRecord r;
  r.Data.DataNumber = 4;
  auto& c = r.Head.Common;
  FillShifted(c.SampleTitle, k);
  FillShifted(c.SampleID, k);
  FillShifted(c.Operator, k % 30);
  FillShifted(c.Comment, k);
  for (auto& t : c.SpareText) FillShifted(t, k);
  AssignText(c.MeasDate, "20070723");
  AssignText(c.MeasTime, "142530");
  r.Head.Measure.EGC = {0.05, 0.035, 0};
  r.Head.Measure.RealTime = r.Head.Measure.LiveTime = 10;
  return r;
}

// The record file copies text fields byte for byte, even half a character
// at a field's end (a damaged file must not be "repaired" on the way).
TEST(ShiftJisRecordFile, EveryCutPosition_BytesKeptExactly) {
  TempDir dir;
  for (std::size_t k = 0; k < 64; ++k) {
    SCOPED_TRACE(testing::Message() << "shift " << k);
    SpectrumRecord written = ShiftedRecord(k);
    written.Head.Common.Comment[99] = '\x82';
    FakePrompt prompt;
    ConvertContext context(prompt);
    context.settings.OverWriteCheck = false;
    ASSERT_TRUE(WriteRecordFile(dir / "r.xbm", written.Data, written.Head, context));
    EXPECT_EQ(test::ReadAll(dir / "r.xbm").substr(4, 64), View(written.Head.Common.SampleTitle));
    SpectrumRecord read;
    ASSERT_TRUE(ReadRecordFile(dir / "r.xbm", read));
    EXPECT_EQ(read.Head.Common.SampleTitle, written.Head.Common.SampleTitle);
    EXPECT_EQ(read.Head.Common.SampleID, written.Head.Common.SampleID);
    EXPECT_EQ(read.Head.Common.Operator, written.Head.Common.Operator);
    EXPECT_EQ(read.Head.Common.Comment, written.Head.Common.Comment);
    EXPECT_EQ(read.Head.Common.SpareText, written.Head.Common.SpareText);
  }
}

// Every text output, for every shift of the double-byte characters against
// the widths the output cuts its fields to, is valid Shift_JIS.
TEST(ShiftJisTextOutputs, EveryCutPosition_OutputValid) {
  int writers = 0;
  TempDir dir;
  for (const auto& output : OutputFormats()) {
    if (output.write == nullptr || output.kind == OutputKind::Xbm) continue;
    ++writers;
    for (std::size_t k = 0; k < 64; ++k) {
      const SpectrumRecord r = ShiftedRecord(k);
      FakePrompt prompt;
      ConvertContext context(prompt);
      context.settings.OverWriteCheck = false;
      const std::string path = dir / ("out" + std::string(output.suffix));
      ASSERT_TRUE(output.write(path, r.Data, r.Head, context)) << output.name;
      const std::string bytes = test::ReadAll(path);
      const std::size_t bad = FirstBadShiftJis(bytes);
      EXPECT_EQ(bad, std::string::npos) << output.name << " shift " << k << " near \""
                                        << bytes.substr(bad == std::string::npos ? 0 : bad - std::min<std::size_t>(bad, 20), 40)
                                        << "\"";
    }
  }
  if (writers == 0) GTEST_SKIP() << "no text writer in the format table yet";
}

// A text cut to its field (the source readers' titles) keeps whole
// characters: one that would lose its trail byte becomes a blank.
TEST(ShiftJisAssignText, EveryCutPosition_FieldValid) {
  for (const std::string& text : {kMixed, kMixed.substr(1)}) {
    for (std::size_t take = 0; take <= text.size(); ++take) {
      Text<6> field;
      AssignText(field, std::string_view(text).substr(0, take));
      SCOPED_TRACE(text.substr(0, take));
      for (std::size_t i = 0; i < 6; ++i) EXPECT_TRUE(field[i] == (i < take ? text[i] : ' ') || field[i] == ' ');
      if (take <= 6) {
        EXPECT_EQ(View(field).substr(0, take), text.substr(0, take));  // no cut: bytes kept as they came
      } else {
        EXPECT_EQ(FirstBadShiftJis(View(field)), std::string::npos);
      }
    }
  }
}

// Titles of CSV and NPD sources longer than their 64-byte field, with the
// cut falling on every byte of a double-byte character: every text output
// of the read record is valid Shift_JIS.
std::string CsvSource(const std::string& title) {
  return "\"Spectrum export\",\"MCA\"\r\n\"" + title + "\",06/09/09,08:56:44,266.3,300\r\n\"Preset\",\"Real\"\r\n"
         "\"Gain\",1\r\n\"Channels\"\r\n0,1,2\r\n\"" + title + "\",\"beamline\"\r\n\"Channel\",\"Counts\"\r\n\"0\",5,6\r\n";
}

std::string NpdSource(const std::string& title) {
  std::string blankLines;  // lines 5 to 27
  for (int i = 5; i <= 27; ++i) blankLines += "\r\n";
  return "Record length,27\r\nSample name," + title + "\r\nOperator name," + title + "\r\nProfile number," + title +
         "\r\n" + blankLines + "Data length, 1\r\nCounting sec, 1\r\n1,0.3,5\r\n";
}

TEST(ShiftJisSourceTitles, TitleCutAtEveryByte_TextOutputsValid) {
  int runs = 0;
  TempDir dir;
  using MakeSource = std::string (*)(const std::string&);
  for (const auto& [kind, make] : {std::pair<SourceKind, MakeSource>{SourceKind::Csv, CsvSource},
                                   std::pair<SourceKind, MakeSource>{SourceKind::Npd, NpdSource}}) {
    if (Source(kind).read == nullptr) continue;
    for (std::size_t k = 0; k < 4; ++k) {
      std::string title(60 + k, 'x');
      for (int i = 0; i < 8; ++i) title += "\x82\xA0";
      const std::string path = dir / ("source." + std::string(Source(kind).name));
      test::WriteAll(path, make(title));
      for (const auto& output : OutputFormats()) {
        if (output.write == nullptr || output.kind == OutputKind::Xbm) continue;
        ++runs;
        SpectrumRecord r;
        FakePrompt prompt;
        ConvertContext context(prompt);
        context.settings.OverWriteCheck = false;
        ASSERT_TRUE(Source(kind).read(path, r)) << Source(kind).name;
        ASSERT_TRUE(output.write(dir / "out", r.Data, r.Head, context));
        const std::string bytes = test::ReadAll(dir / "out");
        EXPECT_EQ(FirstBadShiftJis(bytes), std::string::npos)
            << Source(kind).name << " -> " << output.name << ", title of " << title.size() << " bytes";
      }
    }
  }
  if (runs == 0) GTEST_SKIP() << "no CSV or NPD reader, or no text writer, in the format table yet";
}

// ---- Found by fuzzing ---------------------------------------------------------

// A "*" in the name was taken as a literal match for the pattern's "*",
// leaving no point to back-track to (Linux file names may hold "*").
TEST(WildcardFuzzCases, StarInName_StillMatchesStarPattern) {
  EXPECT_TRUE(MatchesWildcard("*", "*"));
  EXPECT_TRUE(MatchesWildcard("*x", "*"));
  EXPECT_TRUE(MatchesWildcard("a*b_0001.xbm", "a*b_????.xbm"));
  EXPECT_TRUE(MatchesWildcard("run*_0001.xbm", "*.xbm"));
  EXPECT_FALSE(MatchesWildcard("run*_0001.xbm", "*.xli"));
}

struct RangeCase {
  std::string text;
  std::optional<double> value;
};

// Underflow reads as zero and overflow is not a number, whichever way the
// magnitude is written: long digit runs as well as exponents.
TEST(NumberTestFuzzCases, OutOfRange_DecidedByMagnitude) {
  const std::string zeros(400, '0');
  const RangeCase cases[] = {
      {"0." + zeros + "1", 0.0},
      {"-." + zeros + "5", -0.0},
      {"0." + zeros + "1e+50", 0.0},
      {"1" + zeros, std::nullopt},
      {"1" + zeros + "e-5", std::nullopt},
      {"1" + zeros + "e-399", 10.0},
      {"1e-999", 0.0},
      {"1e999", std::nullopt},
      {"0.0001e-99999999999999999999", 0.0},
      {"1e99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 12) + "... (" + std::to_string(c.text.size()) + " characters)");
    EXPECT_EQ(ParseNumber(c.text), c.value);
  }
}

}  // namespace
}  // namespace vantor
