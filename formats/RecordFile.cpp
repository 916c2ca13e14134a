// SPDX-License-Identifier: GPL-3.0-or-later
// Record file layout (offsets in bytes from the start of the file):
//    0  "00" signature (old files may lack it; see RecordFileRecord)
//    2  CommonCondition, 1402 bytes
// 1404  MeasureCondition, 664 bytes
// 2068  DataNumber (i16)
// 2070  Count[0..DataNumber-1] (i32 each)
#include "formats/RecordFile.h"

#include <algorithm>

#include "base/ByteReader.h"

namespace vantor {
namespace {

// One number field in either direction (overloads rather than "if constexpr"
// in a generic lambda, which clang rejects when the discarded call does not fit).
void Field(ByteReader& in, std::int16_t& v) { v = in.I16(); }
void Field(ByteReader& in, double& v) { v = in.F64(); }
void Field(ByteWriter& out, const std::int16_t& v) { out.I16(v); }
void Field(ByteWriter& out, const double& v) { out.F64(v); }

// Reads or writes every header field in file order; `io` is a ByteReader or
// a ByteWriter, so the layout is written down once for both directions.
template <typename Io, typename H>
void VisitHeader(Io& io, H& h) {
  auto& c = h.Common;
  auto& m = h.Measure;
  auto i16 = [&io](auto& v) { Field(io, v); };
  auto f64 = [&io](auto& v) { Field(io, v); };
  i16(c.DataType);          //    2
  io.Bytes(c.SampleTitle);  //    4
  io.Bytes(c.SampleID);     //   68
  io.Bytes(c.MeasDate);     //  132
  io.Bytes(c.MeasTime);     //  140
  io.Bytes(c.Spare1);       //  146
  io.Bytes(c.Operator);     //  152
  io.Bytes(c.Comment);      //  182
  i16(c.SourceFormat);      //  282
  io.Bytes(c.Spare2);       //  284
  for (auto& t : c.SpareText) io.Bytes(t);  // 304, 100 bytes each
  i16(m.MeasureType);       // 1404
  f64(m.PrsRTime);          // 1406
  f64(m.PrsLTime);          // 1414
  i16(m.ROIStart);          // 1422
  i16(m.ROIEnd);            // 1424
  f64(m.ROISigma);          // 1426
  for (auto& e : m.EGC) f64(e);  // 1434, 1442, 1450
  f64(m.TwoTheta);          // 1458
  f64(m.Volt);              // 1466
  f64(m.RingCurrent);       // 1474
  f64(m.Pressure);          // 1482
  f64(m.Temperature);       // 1490
  f64(m.MiriVolt);          // 1498
  f64(m.RateMeter);         // 1506
  i16(m.GainConv);          // 1514
  f64(m.RealTime);          // 1516
  f64(m.LiveTime);          // 1524
  i16(m.Spare3);            // 1532
  f64(m.PressX);            // 1534
  f64(m.PressY);            // 1542
  f64(m.PressZ);            // 1550
  f64(m.PressTZ);           // 1558
  f64(m.HGonioX);           // 1566
  f64(m.HGonioY);           // 1574
  f64(m.HGonioZ);           // 1582
  f64(m.Spare4);            // 1590
  f64(m.VGonioX);           // 1598
  f64(m.VGonioY);           // 1606
  f64(m.VGonioZ);           // 1614
  f64(m.VAngle);            // 1622
  f64(m.PressLoad);         // 1630
  f64(m.RamStroke);         // 1638
  f64(m.Power);             // 1646
  f64(m.Resistance);        // 1654
  f64(m.RingCurrent2);      // 1662
  f64(m.DeadTime);          // 1670
  f64(m.InSlitV);           // 1678
  f64(m.InSlitH);           // 1686
  f64(m.InSlitX);           // 1694
  f64(m.InSlitZ);           // 1702
  f64(m.InSlitTY);          // 1710
  f64(m.ReSlitV);           // 1718
  f64(m.ReSlitH);           // 1726
  f64(m.ReSlitX);           // 1734
  f64(m.ReSlitZ);           // 1742
  f64(m.ReSlitTY);          // 1750
  f64(m.CollimatorSize);    // 1758
  f64(m.Current2);          // 1766
  io.Bytes(m.Spare5);       // 1774
  io.Bytes(m.Spare6);       // 1988
}

constexpr std::size_t kMaxRecordBytes = kRecordFileBytesRead - 1;

}  // namespace

ReadResult RecordFileRecord(std::string_view bytes, SpectrumRecord& fresh) {
  ByteReader in(bytes);
  in.Seek(2);
  VisitHeader(in, fresh.Head);
  const std::int16_t n = in.I16();
  if (in.Failed())
    return FileErrorAtByte(bytes.size(), "file ends at byte " + std::to_string(bytes.size()) +
                                             " inside the 2070-byte header");
  if (n < 0 || n > kMaxChannels)
    return FileErrorAtByte(kRecordHeaderBytes - 2,
                           "channel count " + std::to_string(n) + " at byte 2068 is outside 0..8192");
  const std::size_t promised = kRecordHeaderBytes + 4u * n;
  // Old record files lack the signature but have exactly the promised
  // length; a file with neither is some other file under this extension
  // (an analyser file renamed, say), not a spectrum of a few channels.
  if (!bytes.starts_with("00") && bytes.size() != promised) {
    const std::string size = bytes.size() > kMaxRecordBytes ? "over " + std::to_string(kMaxRecordBytes)
                                                            : std::to_string(bytes.size());
    return FileErrorAtByte(0, "not a record file: no \"00\" signature, " + size + " bytes where the header promises " +
                                  std::to_string(promised));
  }
  if (bytes.size() < promised)
    return FileErrorAtByte(bytes.size(), "file ends at byte " + std::to_string(bytes.size()) +
                                             "; the header promises " + std::to_string(promised) + " bytes");
  fresh.Data.DataNumber = n;
  in.I32s(fresh.Data.Count.data(), static_cast<std::size_t>(n));
  fresh.Head.Common.SourceFormat = 1;
  return {};
}

std::string RecordFileBytes(const SpecData& data, const Header& header) {
  const int n = data.DataNumber < 0 ? 0 : std::min<int>(data.DataNumber, kMaxChannels);
  std::string bytes;
  bytes.reserve(kRecordHeaderBytes + 4 * n);
  ByteWriter out(bytes);
  out.Bytes("00", 2);
  VisitHeader(out, header);
  out.I16(static_cast<std::int16_t>(n));
  out.I32s(data.Count.data(), static_cast<std::size_t>(n));
  return bytes;
}

Encoded EncodeRecordFile(const SpectrumRecord& record) { return {RecordFileBytes(record.Data, record.Head), {}, {}}; }

}  // namespace vantor
