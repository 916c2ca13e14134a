// The GSA file, every line exactly 80 characters and CR LF:
//   title  " File: " + SampleTitle fitted to 27, "Date: yyyy-mm-dd hh:mm:ss"
//          fitted to 65, "2theta = " + TwoTheta ("#0.0000") fitted to 80
//   bank   "BANK 1 " N(6) NREC(4) "EDS " EGC0+EGC1, EGC1, EGC2 (13 each,
//          "0.00000E+00"), "  0.00000E+00", " STD", fitted to 80
//   data   ten counts a line, each right-fitted to 8; the last line filled
//          with "       0". All counts are divided by ten (truncated) when
//          any reaches 10 000 000, so that they fit their 8 columns.
#include "formats/Gsa.h"

#include <charconv>

#include "base/FileAccess.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr int kValuesPerLine = 10;
constexpr std::size_t kField = 8;
constexpr std::size_t kLine = 80;
constexpr std::int32_t kScaleFrom = 10'000'000;

void AppendTitle(std::string& out, const CommonCondition& c, const MeasureCondition& m) {
  const std::size_t start = out.size();
  out += " File: ";
  out += FieldOf(c.SampleTitle);
  LeftFitTail(out, start, 27);
  out += "Date: ";
  AppendDateTime(out, c.MeasDate, c.MeasTime);
  LeftFitTail(out, start, 65);
  out += "2theta = ";
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
  AppendCoefficient(out, m.EGC[0] + m.EGC[1]);
  AppendCoefficient(out, m.EGC[1]);
  AppendCoefficient(out, m.EGC[2]);
  out += "  0.00000E+00 STD";
  LeftFitTail(out, start, kLine);
  out += "\r\n";
}

// A count's plain decimal text right-fitted to 8: blanks in front, or only
// its last eight characters.
void AppendField(std::string& out, std::int32_t value) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  const std::size_t length = static_cast<std::size_t>(r.ptr - buf);
  if (length < kField) {
    out.append(kField - length, ' ');
    out.append(buf, length);
  } else {
    out.append(r.ptr - kField, kField);
  }
}

void AppendCounts(std::string& out, const SpecData& data) {
  const int n = ChannelsToWrite(data);
  bool scaled = false;
  for (int i = 0; i < n && !scaled; ++i) scaled = data.Count[i] >= kScaleFrom;
  for (int i = 0; i < n; ++i) {
    AppendField(out, scaled ? data.Count[i] / 10 : data.Count[i]);
    if ((i + 1) % kValuesPerLine == 0) out += "\r\n";
  }
  if (n % kValuesPerLine != 0) {
    for (int i = n % kValuesPerLine; i < kValuesPerLine; ++i) out += "       0";
    out += "\r\n";
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

bool WriteGsaFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context) {
  return SaveTextOutput(path, WriteGsaBody, data, header, context, "File already exist. Replace?(GSA)");
}

}  // namespace vantor
