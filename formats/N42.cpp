// SPDX-License-Identifier: GPL-3.0-or-later
// ANSI N42.42 spectra, parsed with pugixml. The layouts are those of the
// standard's 2006 and 2011 editions and their XML schemas (NIST), which
// place the same things differently:
//
//   2006  <N42InstrumentData>/<Measurement>/<DetectorData>[<StartTime>]/
//         <DetectorMeasurement>/<SpectrumMeasurement>/<Spectrum>
//         [<RealTime>, <LiveTime>, <Calibration Type="Energy">/<Equation>/
//         <Coefficients>, <ChannelData Compression="CountedZeroes">]
//   2011  <RadInstrumentData>/<RadMeasurement>[<StartDateTime>,
//         <RealTimeDuration>]/<Spectrum energyCalibrationReference="id">
//         [<LiveTimeDuration>, <ChannelData compressionCode="...">], the
//         calibration in <EnergyCalibration id="id">/<CoefficientValues>
//
// so a time or a calibration is looked for in the spectrum first, then in
// the elements around it, nearest first. Writers mix the two compression
// attributes, so either is read in either schema. Elements are matched by
// their local name: files of one common writer carry prefixes ("DHS:",
// "InterSpec:") that they never declare, which a namespace-aware parser
// refuses; pugixml does no namespace processing, so such files parse.
//
// Both schemas count the first channel as 0 in their calibrations; the
// record counts it as 1, so the coefficients are converted (energies stay
// the same). Deviation pairs, a correction on top of the polynomial, are
// not applied; an extra value says so. Start times are kept as written,
// with an extra value for their zone ("UTC" for "Z").
#include "formats/N42.h"

#include <pugixml.hpp>
#include <string>
#include <unordered_map>

#include "base/Cp932.h"
#include "base/TextRoutines.h"
#include "formats/N42Document.h"
#include "formats/N42Values.h"

namespace vantor {
namespace {

using n42::Child;
using n42::Is;
using n42::Value;
using pugi::xml_node;

// The counts of <ChannelData>, whose text lies in its character children.
ReadResult ReadCounts(const n42::Document& doc, xml_node spectrum, SpecData& data) {
  const xml_node channelData = Child(spectrum, "ChannelData");
  std::string_view code = n42::Attribute(channelData, "compressionCode");
  if (code.empty()) code = n42::Attribute(channelData, "Compression");
  const bool counted = EqualsIgnoreCase(code, "CountedZeroes");
  if (!counted && !code.empty() && !EqualsIgnoreCase(code, "None"))
    return FileErrorAtLine(doc.LineOf(channelData), "the compression \"" + std::string(code) + "\" is not known");
  const std::size_t line = doc.LineOf(channelData);
  n42::ChannelCounts counts(counted, data);
  for (xml_node piece = channelData.first_child(); piece; piece = piece.next_sibling()) {
    if (piece.type() != pugi::node_pcdata && piece.type() != pugi::node_cdata) continue;
    if (ReadResult added = counts.Add(piece.value(), doc.LineOf(piece)); !added) return added;
  }
  return counts.Finish(line);
}

ReadResult ReadTimes(const n42::Document& doc, xml_node spectrum, SourceSpectrum& s) {
  MeasureCondition& m = s.record.Head.Measure;
  const struct {
    std::string_view name2006, name2011, what;
    double& seconds;
  } times[] = {{"RealTime", "RealTimeDuration", "real time", m.RealTime},
               {"LiveTime", "LiveTimeDuration", "live time", m.LiveTime}};
  for (const auto& t : times) {
    const xml_node node = doc.Nearest(spectrum, t.name2006, t.name2011);
    if (!node) continue;
    const auto seconds = n42::DurationSeconds(node.child_value());
    if (!seconds)
      return FileErrorAtLine(doc.LineOf(node),
                             "the " + std::string(t.what) + " \"" + Value(node) + "\" is not a duration");
    t.seconds = *seconds;
  }
  m.DeadTime = DeadTimePercent(m.RealTime, m.LiveTime);

  const xml_node start = doc.Nearest(spectrum, "StartTime", "StartDateTime");
  if (!start) return {};
  s.extra.push_back({"start time", Value(start)});
  const auto parsed = n42::ParseStartTime(start.child_value());
  if (!parsed) {
    s.notes.push_back("start time \"" + Value(start) + "\" is not a date and time: no date");
    return {};
  }
  AssignText(s.record.Head.Common.MeasDate, parsed->date);
  AssignText(s.record.Head.Common.MeasTime, parsed->time);
  if (!parsed->zone.empty()) s.extra.push_back({"time zone", parsed->zone});
  return {};
}

// A text of the file into a record field, with a note when code page 932
// could not hold all of it.
template <std::size_t N>
void AssignUtf8(Text<N>& field, const std::string& text, std::string_view what, SourceSpectrum& s) {
  bool replaced = false;
  AssignText(field, Utf8ToCp932(text, &replaced));
  if (replaced) s.notes.push_back(std::string(what) + ": characters code page 932 cannot hold were written as \"?\"");
}

// Remarks: "Title: ..." of the spectrum (InterSpec's way of keeping a
// title) is the sample title, the spectrum's first other remark the
// comment; all others, and the remarks of the elements around the
// spectrum, are extra values.
void ReadRemarks(const n42::Document& doc, xml_node spectrum, SourceSpectrum& s) {
  std::vector<std::string> own;
  for (xml_node c = spectrum.first_child(); c; c = c.next_sibling())
    if (Is(c, "Remark") && !Value(c).empty()) own.push_back(Value(c));
  n42::AddEnclosingRemarks(doc, spectrum, s.extra);
  bool commented = false;
  for (const std::string& remark : own) {
    if (remark.rfind("Title:", 0) == 0) {
      const std::string title = n42::Collapsed(std::string_view(remark).substr(6));
      AssignUtf8(s.record.Head.Common.SampleTitle, title, "title", s);
      continue;
    }
    if (!commented) AssignUtf8(s.record.Head.Common.Comment, remark, "comment", s), commented = true;
    s.extra.push_back({"remark", remark});
  }
}

ReadResult ReadSpectrum(const n42::Document& doc, xml_node spectrum, SourceSpectrum& s) {
  if (ReadResult counts = ReadCounts(doc, spectrum, s.record.Data); !counts) return counts;
  n42::AddSpectrumValues(doc, spectrum, s.extra);
  if (ReadResult times = ReadTimes(doc, spectrum, s); !times) return times;
  ReadRemarks(doc, spectrum, s);
  return n42::ReadCalibration(doc, spectrum, s);
}

}  // namespace

bool LooksLikeN42(std::string_view head) {
  for (const std::string_view root : {"N42InstrumentData", "RadInstrumentData"}) {
    for (std::size_t at = head.find(root); at != std::string_view::npos; at = head.find(root, at + 1)) {
      const char before = at > 0 ? head[at - 1] : '\0';
      const char after = at + root.size() < head.size() ? head[at + root.size()] : '\0';
      const bool named = before == '<' || before == ':';
      if (named && (after == '>' || after == ' ' || after == '\t' || after == '\r' || after == '\n')) return true;
    }
  }
  return false;
}

ReadResult N42Spectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  pugi::xml_document xml;
  const pugi::xml_parse_result parsed = xml.load_buffer(bytes.data(), bytes.size());
  n42::Document doc(bytes, xml.document_element());
  if (!parsed)
    return FileErrorAtLine(doc.LineAt(parsed.offset), std::string("not well-formed XML: ") + parsed.description());
  if (!Is(doc.root, "N42InstrumentData") && !Is(doc.root, "RadInstrumentData"))
    return FileErrorAtLine(doc.LineOf(doc.root),
                           "the root element <" + std::string(doc.root.name()) + "> is not an N42 document's");
  doc.Collect();
  if (doc.spectra.empty()) return FileErrorAtLine(1, "no <Spectrum> holds <ChannelData>");
  if (doc.spectra.size() > kN42MaxSpectra)
    return FileErrorAtLine(
        doc.LineOf(doc.spectra[kN42MaxSpectra]),
        std::to_string(doc.spectra.size()) + " spectra; at most " + std::to_string(kN42MaxSpectra) + " can be read");
  const std::vector<HeaderValue> fileValues = n42::FileValues(doc);
  std::vector<SourceSpectrum> read(doc.spectra.size());
  for (std::size_t i = 0; i < doc.spectra.size(); ++i) {
    read[i].extra = fileValues;
    if (ReadResult one = ReadSpectrum(doc, doc.spectra[i], read[i]); !one) return one;
  }
  spectra = std::move(read);
  return {};
}

}  // namespace vantor
