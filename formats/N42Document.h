// SPDX-License-Identifier: GPL-3.0-or-later
// An N42 document as the reader sees it: elements found by their local
// names, the spectra with channel data in document order, the calibrations
// and detector descriptions that spectra point to by id, and the values of
// the elements around a spectrum that the record has no field for.
#pragma once

#include <cstddef>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor::n42 {

// The name without its prefix ("DHS:InterSpec" -> "InterSpec").
std::string_view LocalName(const char* name);
bool Is(pugi::xml_node node, std::string_view localName);
// The first child element of that local name, or a null node.
pugi::xml_node Child(pugi::xml_node parent, std::string_view localName);
// An attribute's value by its local name; empty when absent.
std::string_view Attribute(pugi::xml_node node, std::string_view localName);
// The element's text, blanks collapsed; empty for a null node.
std::string Value(pugi::xml_node node);

struct Document {
  Document(std::string_view bytes, pugi::xml_node root) : bytes(bytes), root(root) {}

  // Finds the spectra, calibrations and detector descriptions.
  void Collect();
  std::size_t LineAt(std::ptrdiff_t offset) const;
  std::size_t LineOf(pugi::xml_node node) const { return LineAt(node.offset_debug()); }

  // The first child of that name (either name) of `from`, else of the
  // elements around it, nearest first, below the document element and at
  // most eight levels out.
  pugi::xml_node Nearest(pugi::xml_node from, std::string_view name, std::string_view otherName = {}) const;
  // The first child of that name, remembered: many spectra can share the
  // elements around them, which are then searched once, not once a spectrum.
  pugi::xml_node FirstChild(pugi::xml_node element, std::string_view name) const;
  // An element's remarks (at most eight), remembered the same way.
  const std::vector<HeaderValue>& Remarks(pugi::xml_node element) const;

  std::string_view bytes;
  pugi::xml_node root;
  std::vector<pugi::xml_node> spectra;
  std::unordered_map<std::string_view, pugi::xml_node> calibrations, detectors;
  std::size_t calibrationCount = 0;
  pugi::xml_node lastCalibration;

 private:
  mutable std::size_t countedTo_ = 0, linesBefore_ = 0;
  using Key = std::pair<const void*, std::string_view>;
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<const void*>()(k.first) * 31 + std::hash<std::string_view>()(k.second);
    }
  };
  mutable std::unordered_map<Key, pugi::xml_node, KeyHash> firstChildren_;
  mutable std::unordered_map<const void*, std::vector<HeaderValue>> remarks_;
};

// Remarks of the elements around a spectrum, outermost first, below the
// document element (whose remarks are among the file's values).
void AddEnclosingRemarks(const Document& doc, pugi::xml_node spectrum, std::vector<HeaderValue>& extra);
// The document's writer, the instrument described under the document
// element, and the document element's remarks: the first values of every
// spectrum.
std::vector<HeaderValue> FileValues(const Document& doc);
// Instrument (2006), detector, sample number, measurement class, location
// and dose rate of one spectrum.
void AddSpectrumValues(const Document& doc, pugi::xml_node spectrum, std::vector<HeaderValue>& extra);
// The energy calibration of a spectrum into EGC, its coefficients as stored
// and whether deviation pairs were left out into `extra`. A file error when
// the coefficients are not numbers.
ReadResult ReadCalibration(const Document& doc, pugi::xml_node spectrum, SourceSpectrum& s);

}  // namespace vantor::n42
