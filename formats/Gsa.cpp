// SPDX-License-Identifier: GPL-3.0-or-later
// The GSA file in the GSAS standard (STD) layout for energy-dispersive
// data, every line exactly 80 characters and CR LF:
//   title  " File: " + SampleTitle fitted to 27, "Date: yyyy-mm-dd hh:mm:ss"
//          fitted to 65, "2theta " + TwoTheta ("#0.0000") fitted to 80
//   bank   "BANK 1 " N(6) NREC(4) "EDS " three coefficients (13 each,
//          "0.00000E+00"), "  0.00000E+00", " STD", fitted to 80
//   data   ten values a line in 8 columns each; the last line filled with
//          "       0"; scaled values carry their scale in the field's first
//          two columns (10 for tenths, 99 from hundredths on)
// GSAS readers take each 8-column field as a 2-digit counter number and a
// 6-character value, the channel j of a line's field from 0 on, and the
// angle as the number after the title's first "theta" (any case). So the
// values are scaled by a power of ten until they fit six characters (the
// counter number tells a reader to weigh a scaled value by the counts it
// stands for: exact for tenths, 1 % off for hundredths, where the two digits
// end, and ten times and more off from thousandths on), the
// coefficients are those of the calibration in j = channel - 1, and a
// "theta" in the sample title loses its "e".
#include "formats/Gsa.h"

#include <algorithm>
#include <cstdint>

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr int kValuesPerLine = 10;
constexpr std::size_t kLine = 80;
// A value's six characters, its sign included.
constexpr std::int64_t kLowestValue = -99'999;
constexpr std::int64_t kHighestValue = 999'999;

// "2theta scan" as "2th_ta scan": the angle's "theta" must be the first one
// a GSAS reader meets.
void BreakTheta(std::string& out, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i + 5 <= to; ++i) {
    if (EqualsIgnoreCase(std::string_view(out).substr(i, 5), "theta")) out[i + 3] = '_';
  }
}

void AppendTitle(std::string& out, const CommonCondition& c, const MeasureCondition& m) {
  const std::size_t start = out.size();
  out += " File: ";
  out += FieldOf(c.SampleTitle);
  LeftFitTail(out, start, 27);
  BreakTheta(out, start + 7, start + 27);
  out += "Date: ";
  AppendDateTime(out, c.MeasDate, c.MeasTime);
  LeftFitTail(out, start, 65);
  out += "2theta ";
  AppendMask(out, m.TwoTheta, "#0.0000");
  LeftFitTail(out, start, kLine);
  out += "\r\n";
}

void AppendCoefficient(std::string& out, double value) {
  const std::size_t start = out.size();
  AppendMask(out, value, "0.00000E+00");
  RightFitTail(out, start, 13);
}

void AppendBank(std::string& out, int n, const MeasureCondition& m) {
  const std::size_t start = out.size();
  out += "BANK 1 ";
  std::size_t piece = out.size();
  AppendInt(out, n);
  LeftFitTail(out, piece, 6);
  // Data lines that follow: N / 10 rounded up (towards zero for N <= 0).
  const int records = n > 0 ? (n + kValuesPerLine - 1) / kValuesPerLine : n / kValuesPerLine;
  piece = out.size();
  AppendInt(out, records);
  LeftFitTail(out, piece, 4);
  out += "EDS ";
  // E = EGC0 + EGC1 x + EGC2 x^2 with x = j + 1, in powers of j.
  AppendCoefficient(out, m.EGC[0] + m.EGC[1] + m.EGC[2]);
  AppendCoefficient(out, m.EGC[1] + 2 * m.EGC[2]);
  AppendCoefficient(out, m.EGC[2]);
  out += "  0.00000E+00 STD";
  LeftFitTail(out, start, kLine);
  out += "\r\n";
}

// A value's plain decimal text right-fitted to the 8 columns of its field;
// scaled values have at most six characters, after their counter number.
constexpr NumberMask kFieldMask{"#######0"};
constexpr NumberMask kScaledMask{"#####0"};

// The power of ten k the values are divided by (truncated toward zero) so
// that every one fits six characters: 0 for counts in -99 999..999 999.
int GsaScale(const SpecData& data) {
  const int n = ChannelsToWrite(data);
  // The usual counts fit as they are: checked in blocks of a fixed size,
  // which the compiler turns into vector code (with an unsigned flag, not a
  // bool), a count c fitting when c - kLowestValue, as unsigned, is at most
  // kSpan.
  constexpr int kBlock = 16;
  constexpr auto kFrom = static_cast<std::uint32_t>(kLowestValue);
  constexpr auto kSpan = static_cast<std::uint32_t>(kHighestValue - kLowestValue);
  const auto outside = [&](int i) -> unsigned { return static_cast<std::uint32_t>(data.Count[i]) - kFrom > kSpan; };
  unsigned anyOutside = 0;
  int i = 0;
  for (; i + kBlock <= n; i += kBlock)
    for (int k = 0; k < kBlock; ++k) anyOutside |= outside(i + k);
  for (; i < n; ++i) anyOutside |= outside(i);
  if (anyOutside == 0) return 0;
  // Truncation toward zero keeps the order, so the extremes decide.
  const auto [low, high] = std::minmax_element(data.Count.begin(), data.Count.begin() + n);
  int k = 0;
  for (std::int64_t divisor = 1; *low / divisor < kLowestValue || *high / divisor > kHighestValue; divisor *= 10) ++k;
  return k;
}

void AppendCounts(std::string& out, const SpecData& data) {
  const int n = ChannelsToWrite(data);
  const int scale = GsaScale(data);
  std::int64_t divisor = 1;
  for (int k = scale; k > 0; --k) divisor *= 10;
  const char counter = scale == 1 ? '0' : '9';  // "10" or "99"
  LineBuilder lines(out);
  for (int i = 0; i < n;) {  // the last line filled with zeros
    LineBuilder::Line line = lines.Start<kValuesPerLine>();
    for (int k = 0; k < kValuesPerLine; ++k, ++i) {
      if (i >= n || scale == 0) {
        line.Aligned(std::int64_t{i < n ? data.Count[i] : 0}, kFieldMask);
        continue;
      }
      line.Put(scale == 1 ? '1' : '9');
      line.Put(counter);
      line.Aligned(std::int64_t{data.Count[i]} / divisor, kScaledMask);
    }
    line.End();
  }
}

std::string ScaleNote(int scale) {
  std::string note = "counts ";
  switch (scale) {
    case 1:
      return note + "written as tenths";
    case 2:
      return note + "written as hundredths";
    case 3:
      return note + "written as thousandths";
    default:
      return note + "divided by 10^" + std::to_string(scale);
  }
}

}  // namespace

void WriteGsaBody(std::string& out, const SpecData& data, const Header& header) {
  const int n = ChannelsToWrite(data);
  out.reserve(out.size() + 3 * (kLine + 2) + static_cast<std::size_t>(n) * 9);
  AppendTitle(out, header.Common, header.Measure);
  AppendBank(out, data.DataNumber, header.Measure);
  AppendCounts(out, data);
}

Encoded EncodeGsa(const SpectrumRecord& record) {
  Encoded encoded = EncodeText(WriteGsaBody, record);
  if (const int scale = GsaScale(record.Data); scale > 0 && encoded.failure.empty()) encoded.note = ScaleNote(scale);
  return encoded;
}

}  // namespace vantor
