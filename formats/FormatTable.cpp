// SPDX-License-Identifier: GPL-3.0-or-later
// The format table.
#include "formats/FormatTable.h"

#include <array>

#include "base/TextRoutines.h"
#include "formats/AccuSpecMca.h"
#include "formats/AmptekMca.h"
#include "formats/Chn.h"
#include "formats/Cnf.h"
#include "formats/Csv.h"
#include "formats/CsvSource.h"
#include "formats/Gsa.h"
#include "formats/Iec.h"
#include "formats/Med.h"
#include "formats/N42.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "formats/Rpt.h"
#include "formats/Spe.h"
#include "formats/Txt.h"

namespace vantor {
namespace {

// A file of one of the beamline's formats holds one spectrum.
template <ReadResult (*Parse)(std::string_view, SpectrumRecord&)>
ReadResult OneSpectrum(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  spectra.emplace_back();
  ReadResult result = Parse(bytes, spectra.back().record);
  if (!result) spectra.clear();
  return result;
}

constexpr std::size_t kTextMaxBytes = std::size_t{16} << 20;  // far above any spectrum of 8192 channels
constexpr std::size_t kN42MaxBytes = std::size_t{256} << 20;  // many spectra, as XML

constexpr std::array<SourceFormat, kSourceKinds> kSources{{
    {SourceKind::Xbm, "xbm", "*.xbm", "a record file", kRecordFileBytesRead, nullptr, OneSpectrum<RecordFileRecord>,
     false},
    {SourceKind::Cnf, "cnf", "*.cnf", "an analyser file", kCnfMaxBytes, nullptr, OneSpectrum<CnfRecord>, false},
    {SourceKind::Csv, "csv", "*.csv", "an analyser export", kMaxCsvSourceBytes, nullptr, OneSpectrum<CsvSourceRecord>,
     false},
    {SourceKind::Npd, "npd", "*.npd", "a profile file", kMaxNpdBytes, nullptr, OneSpectrum<NpdRecord>, false},
    {SourceKind::Med, "med", "*.med;*.xrf;*.mca", "an EPICS MCA file", kTextMaxBytes, LooksLikeMed, MedSpectra, true},
    {SourceKind::Chn, "chn", "*.chn", "an Ortec CHN file", kTextMaxBytes, LooksLikeChn, ChnSpectra, false},
    {SourceKind::Spe, "spe", "*.spe", "an Ortec or IAEA SPE spectrum", kTextMaxBytes, LooksLikeSpe, SpeSpectra, false},
    {SourceKind::Iec, "iec", "*.iec", "an IEC 61455 file", kTextMaxBytes, LooksLikeIec, IecSpectra, false},
    {SourceKind::AmptekMca, "mca", "*.mca", "an Amptek MCA file", kTextMaxBytes, LooksLikeAmptekMca, AmptekMcaSpectra,
     false},
    {SourceKind::AccuSpecMca, "accuspec", "*.mca", "an AccuSpec MCA file", kTextMaxBytes, LooksLikeAccuSpecMca,
     AccuSpecMcaSpectra, false},
    {SourceKind::N42, "n42", "*.n42", "an N42 file", kN42MaxBytes, LooksLikeN42, N42Spectra, true},
}};

constexpr std::array<OutputFormat, kOutputKinds> kOutputs{{
    {OutputKind::Rpt, "rpt", ".RPT", "", EncodeRpt},
    {OutputKind::Txt, "txt", ".TXT", "", EncodeTxt},
    {OutputKind::Csv, "csv", ".CSV", "", EncodeCsv},
    {OutputKind::Npd, "npd", ".NPD", "File already exist. Replace?(NPD)", EncodeNpd},
    {OutputKind::Gsa, "gsa", ".GSA", "File already exist. Replace?(GSA)", EncodeGsa},
    {OutputKind::Xbm, "xbm", "_.XBM", "", EncodeRecordFile},
}};

// Whether one of the ";"-separated "*.ext" patterns ends in this extension.
bool TakesExtension(std::string_view patterns, std::string_view extension) {
  for (std::size_t start = 0; start < patterns.size();) {
    const std::size_t end = std::min(patterns.find(';', start), patterns.size());
    if (EqualsIgnoreCase(patterns.substr(start, end - start), "*." + std::string(extension))) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::span<const SourceFormat> SourceFormats() {
  return kSources;
}
std::span<const OutputFormat> OutputFormats() {
  return kOutputs;
}
const SourceFormat& Source(SourceKind kind) {
  return kSources[static_cast<int>(kind)];
}
const OutputFormat& Output(OutputKind kind) {
  return kOutputs[static_cast<int>(kind)];
}

std::vector<const SourceFormat*> FindSources(std::string_view nameOrExtension) {
  std::vector<const SourceFormat*> found;
  if (nameOrExtension.empty()) return found;
  for (const auto& f : kSources)
    if (EqualsIgnoreCase(f.name, nameOrExtension)) found.push_back(&f);
  for (const auto& f : kSources)
    if (!EqualsIgnoreCase(f.name, nameOrExtension) && TakesExtension(f.patterns, nameOrExtension)) found.push_back(&f);
  return found;
}

std::string SourcePatterns(std::string_view nameOrExtension) {
  std::string patterns;
  for (const SourceFormat* f : FindSources(nameOrExtension))
    for (std::size_t start = 0; start < f->patterns.size();) {
      const std::size_t end = std::min(f->patterns.find(';', start), f->patterns.size());
      const std::string_view one = f->patterns.substr(start, end - start);
      if (!TakesExtension(patterns, one.substr(2))) patterns += (patterns.empty() ? "" : ";") + std::string(one);
      start = end + 1;
    }
  return patterns;
}

std::string SourceNames() {
  std::string names;
  for (const auto& f : kSources) names += (names.empty() ? "" : ", ") + std::string(f.name);
  return names;
}

const OutputFormat* FindOutput(std::string_view name) {
  for (const auto& f : kOutputs)
    if (EqualsIgnoreCase(f.name, name)) return &f;
  return nullptr;
}

}  // namespace vantor
