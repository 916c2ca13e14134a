// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser files as the analyser's own software writes them (Genie format):
// from byte 112 a table of 48-byte entries, one per section, and the
// sections it points to. Only the facts this program reads are named here.
//
// Table entry (offsets from the entry):
//      0  section kind (Section below)
//      1  0x20, 0x01 in every entry in use
//     10  u32, where the section starts; the section repeats its kind, 0x20
// Parameter section (from its start):
//     34  u16 calibration shift      36  u16 times shift
//    176  the mode keyword, "PHA " or "MCS "
//    186  u16 channel count / 256
//     49 + times shift: start date, real time, live time, u64 each
//    116 + calibration shift: energy coefficients c0, c1, c2 (PDP-11 floats);
//          when c1 there is 0, the ones at 116 hold the calibration;
//          24 bytes after the coefficients, their unit ("keV", blank-filled)
// Sample section: 48 title (64 bytes), 112 identifier (16 bytes).
// Data section: 512 the counts, u32 each, the count of channel k at 512 + 4k.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor::cnf {

enum class Section : std::uint8_t { Parameters = 0, Sample = 1, Efficiency = 2, Data = 5 };

inline constexpr std::size_t kTableStart = 112;
inline constexpr std::size_t kEntryBytes = 48;
inline constexpr std::size_t kEntryStart = 10;
inline constexpr char kSectionMark = 0x20;
inline constexpr char kEntryVersion = 0x01;

inline constexpr std::size_t kCalibrationShift = 34;
inline constexpr std::size_t kTimesShift = 36;
inline constexpr std::size_t kModeKeyword = 176;
inline constexpr std::size_t kChannelBlocks = 186;
inline constexpr std::size_t kTimesBase = 49;
inline constexpr std::size_t kCoefficientsBase = 116;
inline constexpr std::size_t kUnitAfterCoefficients = 24;
inline constexpr std::size_t kUnitBytes = 8;
inline constexpr int kChannelsPerBlock = 256;

inline constexpr std::size_t kSampleTitle = 48;
inline constexpr std::size_t kSampleIdentifier = 112;
inline constexpr std::size_t kDataCounts = 512;

// Dates count 100 ns ticks from 1858-11-17 00:00 UTC; times are stored as
// their tick count negated (two's complement).
inline constexpr double kTicksPerSecond = 1e7;
inline constexpr std::chrono::sys_days kTickEpoch{std::chrono::year{1858} / std::chrono::November / 17};

// A PDP-11 single-precision float, its four bytes read as one little-endian
// u32 (two 16-bit words, the sign and exponent in the first).
double FromPdp11(std::uint32_t bits);

// The record an analyser file with a section table gives: channel count up
// to 8192, Count[k] = the file's count k, the file's calibration in keV
// (none, EGC 0 0 0, when its unit is no energy: a multichannel-scaling
// file counts time bins),
// live and real time, dead time, start date and time, sample title and
// identifier. A file error when the table or a section the record needs is
// missing or cut short, or the file holds more than 8192 channels.
ReadResult SectionTableRecord(std::string_view bytes, SpectrumRecord& fresh);

}  // namespace vantor::cnf
