// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum record: one multichannel-analyser spectrum with the conditions
// it was measured under. Every reader fills one, every writer turns one into a
// file. Field order and types are those of the record file (RecordFile.h),
// which is a straight dump of the header and the counts in use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ShiftJis.h"

namespace vantor {

inline constexpr int kMaxChannels = 8192;

// A fixed-length text field: exactly N bytes of code page 932, kept as bytes.
template <std::size_t N>
using Text = std::array<char, N>;

// Assigning a string pads it with blanks on the right or cuts it to N bytes.
// A cut never splits a double-byte character: one that would lose its trail
// byte gives a blank instead, so a title cut to its field stays valid text.
template <std::size_t N>
void AssignText(Text<N>& field, std::string_view value) {
  std::size_t kept = value.size();
  if (kept > N) {
    kept = 0;
    while (kept < N) {
      const std::size_t width = IsDoubleByteAt(value, kept) ? 2 : 1;
      if (kept + width > N) break;
      kept += width;
    }
  }
  for (std::size_t i = 0; i < N; ++i) field[i] = i < kept ? value[i] : ' ';
}

template <std::size_t N>
std::string_view View(const Text<N>& field) {
  return {field.data(), N};
}

struct SpecData {
  std::int16_t DataNumber = 0;
  std::array<std::int32_t, kMaxChannels> Count{};
};

struct CommonCondition {
  std::int16_t DataType = 0;
  Text<64> SampleTitle{};
  Text<64> SampleID{};
  Text<8> MeasDate{};
  Text<6> MeasTime{};
  Text<6> Spare1{};
  Text<30> Operator{};
  Text<100> Comment{};
  std::int16_t SourceFormat = 0;
  std::array<char, 20> Spare2{};
  std::array<Text<100>, 11> SpareText{};
};

struct MeasureCondition {
  std::int16_t MeasureType = 0;
  double PrsRTime = 0;
  double PrsLTime = 0;
  std::int16_t ROIStart = 0;
  std::int16_t ROIEnd = 0;
  double ROISigma = 0;
  std::array<double, 3> EGC{};
  double TwoTheta = 0;
  double Volt = 0;
  double RingCurrent = 0;
  double Pressure = 0;
  double Temperature = 0;
  double MiriVolt = 0;
  double RateMeter = 0;
  std::int16_t GainConv = 0;
  double RealTime = 0;
  double LiveTime = 0;
  std::int16_t Spare3 = 0;
  double PressX = 0, PressY = 0, PressZ = 0, PressTZ = 0;
  double HGonioX = 0, HGonioY = 0, HGonioZ = 0;
  double Spare4 = 0;
  double VGonioX = 0, VGonioY = 0, VGonioZ = 0;
  double VAngle = 0;
  double PressLoad = 0;
  double RamStroke = 0;
  double Power = 0;
  double Resistance = 0;
  double RingCurrent2 = 0;
  double DeadTime = 0;
  double InSlitV = 0, InSlitH = 0, InSlitX = 0, InSlitZ = 0, InSlitTY = 0;
  double ReSlitV = 0, ReSlitH = 0, ReSlitX = 0, ReSlitZ = 0, ReSlitTY = 0;
  double CollimatorSize = 0;
  double Current2 = 0;
  std::array<char, 214> Spare5{};
  std::array<char, 80> Spare6{};
};

// The header is what readers and writers receive beside SpecData.
struct Header {
  CommonCondition Common;
  MeasureCondition Measure;
};

// A value-initialised record is the program-start state: numbers 0, text
// fields all zero bytes, counts 0. Every read starts from one.
struct SpectrumRecord {
  SpecData Data;
  Header Head;
};

// Energy in keV at channel number x (channel index + 1), evaluated in this
// exact order so that every output shows the same digits.
inline double EnergyOfChannel(double x, const std::array<double, 3>& egc) {
  return (x * egc[1] + egc[0]) + (x * egc[2]) * x;
}

// The dead time in percent from the real and live times in seconds; 0 when
// the real time is 0 and no dead time can be formed. A live time longer
// than the real time (some detectors write one) gives a negative dead time.
inline double DeadTimePercent(double realTime, double liveTime) {
  if (realTime == 0) return 0;
  return (realTime - liveTime) / realTime * 100;
}

// 0 degrees Celsius in kelvin: the record keeps degrees Celsius, the
// parameter entry and the profile file kelvin.
inline constexpr double kZeroCelsiusInKelvin = 273.15;

}  // namespace vantor
