// SPDX-License-Identifier: GPL-3.0-or-later
// A hand-built record for the writer tests, and line splitting that insists
// on CR LF.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SpectrumRecord.h"

namespace vantor::test {

// Every printed field has a value that shows which field went where: nine
// counts with a zero, a negative, a seven- and an eight-digit count; a
// live-mode measurement.
inline SpectrumRecord SampleRecord() {
  SpectrumRecord r;
  auto& c = r.Head.Common;
  auto& m = r.Head.Measure;
  c.DataType = 2;
  AssignText(c.SampleTitle, "MgO test"), AssignText(c.SampleID, "ID-7"), AssignText(c.MeasDate, "20070723");
  AssignText(c.MeasTime, "142530"), AssignText(c.Operator, "op"), AssignText(c.Comment, "first comment");
  m.MeasureType = 3, m.PrsRTime = 300, m.PrsLTime = 0.5, m.ROIStart = 10, m.ROIEnd = -1, m.ROISigma = 0.00001;
  m.EGC = {0.1, 0.03, 0};
  m.TwoTheta = 5, m.Volt = 3.2, m.RingCurrent = 99.5, m.Pressure = 15, m.Temperature = 25, m.MiriVolt = 1.25;
  m.RateMeter = 1523, m.RealTime = 310.5, m.LiveTime = 300, m.PressX = 1.5, m.PressY = -2, m.PressZ = 0.25;
  m.PressTZ = 90, m.PressLoad = 100, m.RamStroke = 2.5, m.Power = 132.8, m.Resistance = 0.0771;
  m.DeadTime = 3.2258, m.InSlitV = 0.05, m.InSlitH = 0.2, m.ReSlitV = 0.05, m.ReSlitH = 0.2;
  m.CollimatorSize = 0.1, m.Current2 = 41.5;
  const std::int32_t counts[] = {0, 1, -5, 1234567, 12345678, 7, 100, 99999, 3};
  r.Data.DataNumber = 9;
  std::copy(std::begin(counts), std::end(counts), r.Data.Count.begin());
  return r;
}

// The lines of a file; fails the test when a CR or LF stands anywhere but
// in a CR LF pair or the file does not end with one.
inline std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
    end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "file does not end with CR LF";
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    if (lines.back().find_first_of("\r\n") != std::string::npos)
      ADD_FAILURE() << "bare CR or LF in line " << lines.size();
  }
  return lines;
}

}  // namespace vantor::test
