// SPDX-License-Identifier: GPL-3.0-or-later
// The format table.
#include "formats/FormatTable.h"

#include <array>

#include "base/TextRoutines.h"
#include "formats/Npd.h"
#include "formats/Cnf.h"
#include "formats/CsvSource.h"
#include "formats/RecordFile.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

namespace vantor {
namespace {

constexpr std::array<SourceFormat, kSourceKinds> kSources{{
    {SourceKind::Xbm, "xbm", "*.xbm", ReadRecordFile},
    {SourceKind::Cnf, "cnf", "*.cnf", ReadCnfFile},
    {SourceKind::Csv, "csv", "*.csv", ReadCsvFile},
    {SourceKind::Npd, "npd", "*.npd", ReadNpdFile},
}};

constexpr std::array<OutputFormat, kOutputKinds> kOutputs{{
    {OutputKind::Rpt, "rpt", ".RPT", WriteRptFile},
    {OutputKind::Txt, "txt", ".TXT", WriteTxtFile},
    {OutputKind::Csv, "csv", ".CSV", WriteCsvFile},
    {OutputKind::Npd, "npd", ".NPD", WriteNpdFile},
    {OutputKind::Gsa, "gsa", ".GSA", WriteGsaFile},
    {OutputKind::Xbm, "xbm", "_.XBM", WriteRecordFile},
}};

}  // namespace

std::span<const SourceFormat> SourceFormats() { return kSources; }
std::span<const OutputFormat> OutputFormats() { return kOutputs; }
const SourceFormat& Source(SourceKind kind) { return kSources[static_cast<int>(kind)]; }
const OutputFormat& Output(OutputKind kind) { return kOutputs[static_cast<int>(kind)]; }

const SourceFormat* FindSource(std::string_view name) {
  for (const auto& f : kSources)
    if (EqualsIgnoreCase(f.name, name)) return &f;
  return nullptr;
}

const OutputFormat* FindOutput(std::string_view name) {
  for (const auto& f : kOutputs)
    if (EqualsIgnoreCase(f.name, name)) return &f;
  return nullptr;
}

}  // namespace vantor
