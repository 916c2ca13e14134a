// SPDX-License-Identifier: GPL-3.0-or-later
// The one table of source and output formats: kind, name, file patterns or
// suffix, content check, reader or writer. The window, the command line,
// Combine and the read path look formats up here; nothing else switches on
// a format. Readers turn a file's bytes into spectra, writers a record into
// a file's bytes: neither touches a file or the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// The beamline's own four first, in the order of the window's source
// buttons; then the detectors' formats.
enum class SourceKind : std::int16_t { Xbm, Cnf, Csv, Npd, Med, Chn, Spe, Iec, AmptekMca, AccuSpecMca, N42 };
// In the order in which a run works the outputs of one file.
enum class OutputKind : std::int16_t { Rpt = 0, Txt = 1, Csv = 2, Npd = 3, Gsa = 4, Xbm = 5 };

inline constexpr int kSourceKinds = 11;
inline constexpr int kWindowSourceKinds = 4;
inline constexpr int kOutputKinds = 6;

using LooksLikeFn = bool (*)(std::string_view head);
using SpectraFn = ReadResult (*)(std::string_view bytes, std::vector<SourceSpectrum>& spectra);

struct SourceFormat {
  SourceKind kind;
  std::string_view name;         // "med": what --from takes
  std::string_view patterns;     // "*.med;*.xrf;*.mca": the files it may be, letters in any case
  std::string_view description;  // "an EPICS MCA file": what a file that is none of its kinds was expected to be
  std::size_t maxBytes;          // no valid file comes near this; no more is ever read
  LooksLikeFn looksLike;         // the content check where an extension is shared; null where the extension tells
  SpectraFn read;
  bool severalSpectra;  // a file may hold more than one spectrum
};

// A record as a file's bytes, or why it cannot be one; `note` tells the
// user something about the bytes ("counts written as hundredths").
struct Encoded {
  std::string bytes;
  std::string failure;
  std::string note;
};
using EncodeFn = Encoded (*)(const SpectrumRecord& record);

struct OutputFormat {
  OutputKind kind;
  std::string_view name;      // "rpt"
  std::string_view suffix;    // ".RPT": appended to the source's name
  std::string_view question;  // the replace question, when it names the kind instead of the file
  EncodeFn encode;
};

std::span<const SourceFormat> SourceFormats();
std::span<const OutputFormat> OutputFormats();
const SourceFormat& Source(SourceKind kind);
const OutputFormat& Output(OutputKind kind);

// The source formats a name (--from) or an extension stands for, in table
// order: the format of that name, then every format whose patterns take the
// extension ("mca": EPICS, Amptek and AccuSpec files); letters in any case.
std::vector<const SourceFormat*> FindSources(std::string_view nameOrExtension);
// The patterns of those formats, joined by ";", for listing a folder.
std::string SourcePatterns(std::string_view nameOrExtension);
// The names --from takes, for messages: "xbm, cnf, csv, npd, med, ...".
std::string SourceNames();
const OutputFormat* FindOutput(std::string_view name);

}  // namespace vantor
