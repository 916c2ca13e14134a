// SPDX-License-Identifier: GPL-3.0-or-later
// The one table of source and output formats: kind, name, file pattern or
// suffix, reader or writer. The window, the command line and Combine look
// formats up here; nothing else switches on a format.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// In the order of the window's source buttons.
enum class SourceKind : std::int16_t { Xbm = 0, Cnf = 1, Csv = 2, Npd = 3 };
// In the order in which a run works the outputs of one file.
enum class OutputKind : std::int16_t { Rpt = 0, Txt = 1, Csv = 2, Npd = 3, Gsa = 4, Xbm = 5 };

inline constexpr int kSourceKinds = 4;
inline constexpr int kOutputKinds = 6;

using ReaderFn = ReadResult (*)(const std::string& path, SpectrumRecord&);
using WriterFn = bool (*)(const std::string& path, const SpecData&, const Header&, ConvertContext&);

struct SourceFormat {
  SourceKind kind;
  std::string_view name;     // "xbm": the extension, any case
  std::string_view pattern;  // "*.xbm": what the file list shows
  ReaderFn read;
};

struct OutputFormat {
  OutputKind kind;
  std::string_view name;    // "rpt"
  std::string_view suffix;  // ".RPT": appended to the source's name
  WriterFn write;
};

std::span<const SourceFormat> SourceFormats();
std::span<const OutputFormat> OutputFormats();
const SourceFormat& Source(SourceKind kind);
const OutputFormat& Output(OutputKind kind);

// Look-up by name or extension, letters compared without regard to case.
const SourceFormat* FindSource(std::string_view name);
const OutputFormat* FindOutput(std::string_view name);

}  // namespace vantor
