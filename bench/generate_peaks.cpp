// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-generate-peaks OUT.xbm STANDARD|LINES TWOTHETA [FILE_TWOTHETA]
// A record file of known peaks for the command-line cases: a standard's
// reflections at 2theta TWOTHETA (the file then claims FILE_TWOTHETA), or
// the lines of a list ("Co-57,Am-241,59.5409"), on a 2048-channel
// germanium detector whose calibration the file carries.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

#include "analysis/LineTable.h"
#include "analysis/Standards.h"
#include "base/DSpacing.h"
#include "base/FileAccess.h"
#include "bench/PeakSpectra.h"
#include "formats/RecordFile.h"

int main(int argc, char** argv) {
  using namespace vantor;
  if (argc < 4) {
    std::fprintf(stderr, "usage: vantor-generate-peaks OUT.xbm STANDARD|LINES TWOTHETA [FILE_TWOTHETA]\n");
    return 2;
  }
  constexpr std::array<double, 3> kEgc{0.032, 0.06484, 1.27e-8};
  const double twoTheta = std::atof(argv[3]);
  std::vector<bench::Line> lines;
  if (const Standard* standard = FindStandard(argv[2])) {
    const double sinTheta = std::sin(twoTheta / 2 * std::numbers::pi / 180);
    for (const Reflection& r : Reflections(*standard, standard->ambient, 0.5)) {
      const double e = kHcExact / (2 * r.dA * sinTheta);
      if (e < 130) lines.push_back({e, 4000.0 * r.multiplicity * (r.weak ? 0.1 : 1) * std::exp(-e / 60), 0.1});
    }
  } else {
    const LineList list = ParseLineList(argv[2]);
    if (!list.ok) {
      std::fprintf(stderr, "%s\n", list.message.c_str());
      return 2;
    }
    for (const CalibrationLine& l : list.lines) lines.push_back({l.energyKeV, 100000, 0.05});
  }
  const auto s = bench::GenerateLines(lines, 2048, kEgc, bench::Detector{}, bench::Background{}, 1);
  SpectrumRecord record;
  record.Data.DataNumber = 2048;
  std::copy(s.counts.begin(), s.counts.end(), record.Data.Count.begin());
  record.Head.Measure.EGC = kEgc;
  record.Head.Measure.TwoTheta = argc > 4 ? std::atof(argv[4]) : twoTheta;
  if (!ReplaceFileAtomically(argv[1], RecordFileBytes(record.Data, record.Head))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
