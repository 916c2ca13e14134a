// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PressureOutput.h"

#include <cstdio>

#include "analysis/PressureReport.h"
#include "base/FileAccess.h"
#include "cli/Commands.h"

namespace vantor::cli {
namespace {

void Err(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

bool ReportPressureProblems(const SpectrumPressure& p) {
  if (!p.ok()) {
    Err(p.Name() + ": " + p.error);
    return false;
  }
  for (const std::string& warning : p.warnings) Err(warning);
  return true;
}

bool ShowPressure(const SpectrumPressure& p, bool brief) {
  if (p.ok()) {
    PrintOut((brief ? PressureBrief(p) : PressureLine(p)) + "\n");
  }
  return ReportPressureProblems(p);
}

bool ShowCellPressure(const CellPressure& cell, CellShown shown) {
  if (!cell.ok()) {
    Err(cell.file + ": no cell pressure: " + cell.error);
    return false;
  }
  if (shown != CellShown::None) {
    PrintOut((shown == CellShown::Brief ? CellPressureBrief(cell) : CellPressureLine(cell)) + "\n");
  }
  for (const std::string& warning : cell.warnings) Err(warning);
  return true;
}

bool WritePressureTable(const std::string& path, std::span<const SpectrumPressure> spectra) {
  std::string why;
  if (ReplaceFileAtomically(path, PressureTable(spectra), &why)) return true;
  Err(path + ": Open Error (" + why + ")");
  return false;
}

void PressureWatch::Take(const std::string& path, std::string_view kind) {
  const SourcePressure source = series_.Take(path, kind);
  if (!source.read) {
    Err(path + ": " + std::string(StatusMessage(source.read.status)) + " (" + source.read.why + ")");
    return;
  }
  for (const SpectrumPressure& p : source.spectra) ShowPressure(p, true);
  CellGeometry ring;
  ring.azimuthsDeg = CalibratedAzimuths(series_.settings(), source.spectra.size());
  if (!ring.azimuthsDeg.empty())
    ShowCellPressure(PressureOfCell(source.spectra, ring, series_.request()), CellShown::Brief);
  if (!table_.empty()) WritePressureTable(table_, series_.spectra());
}

std::string ScalesHelp() {
  std::string text = "Standards and scales (NAME:SCALE; the first of each is its default):\n";
  for (const Standard& standard : Standards()) {
    if (standard.pressureStandard.empty()) continue;
    text += "  " + std::string(standard.name) + "\n";
    for (const PressureScale& scale : PressureScales()) {
      if (scale.standard != standard.pressureStandard) continue;
      text += "    " + std::string(scale.name) + ": " + CitationText(scale.reference) + "\n";
    }
  }
  return text;
}

}  // namespace vantor::cli
