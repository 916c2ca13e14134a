// SPDX-License-Identifier: GPL-3.0-or-later
// Lookups in an N42 document and the values of a spectrum that the record
// has no field for: a handful that tell where the spectrum comes from
// (instrument, detector, place, dose rate), not the whole document.
#include "formats/N42Document.h"

#include <algorithm>

#include "base/TextRoutines.h"
#include "formats/N42Values.h"

namespace vantor::n42 {
namespace {

using pugi::xml_node;

// Remarks taken from one element: enough for what people write there,
// bounded for files that repeat them.
constexpr std::size_t kRemarksPerElement = 8;
// How far out from a spectrum its values are looked for. The schemas nest a
// spectrum at most five deep; the bound keeps deeply nested input (spectra
// inside spectra) from costing the square of its depth.
constexpr std::size_t kLevelsOut = 8;

bool IsDocumentElement(xml_node node) {
  return node.parent().type() == pugi::node_document;
}

void AddChildValue(xml_node parent, std::string_view child, const char* name, std::vector<HeaderValue>& extra) {
  std::string value = Value(Child(parent, child));
  if (!value.empty()) extra.push_back({name, std::move(value)});
}

// The key under which the first energy calibration of an element is
// remembered; no local name holds a ":".
constexpr std::string_view kEnergyCalibration = "Calibration:Energy";

bool IsEnergyCalibration(xml_node n) {
  return Is(n, "Calibration") && (Attribute(n, "Type").empty() || EqualsIgnoreCase(Attribute(n, "Type"), "Energy"));
}

// <RadInstrumentInformation> (2011) or <InstrumentInformation> (2006).
void AddInstrument(xml_node info, std::vector<HeaderValue>& extra) {
  AddChildValue(info, "InstrumentType", "instrument type", extra);
  AddChildValue(info, "RadInstrumentClassCode", "instrument class", extra);
  AddChildValue(info, "Manufacturer", "manufacturer", extra);
  AddChildValue(info, "RadInstrumentManufacturerName", "manufacturer", extra);
  AddChildValue(info, "InstrumentModel", "model", extra);
  AddChildValue(info, "RadInstrumentModelName", "model", extra);
  AddChildValue(info, "InstrumentID", "instrument ID", extra);
  AddChildValue(info, "RadInstrumentIdentifier", "instrument ID", extra);
}

void AddDetector(const Document& doc, xml_node spectrum, std::vector<HeaderValue>& extra) {
  std::string_view detector = Attribute(spectrum, "radDetectorInformationReference");
  if (detector.empty()) detector = Attribute(spectrum, "Detector");
  if (detector.empty()) detector = Attribute(spectrum, "Sensor");
  if (!detector.empty()) extra.push_back({"detector", std::string(detector)});
  AddChildValue(spectrum, "DetectorType", "detector type", extra);
  const auto described = doc.detectors.find(Attribute(spectrum, "radDetectorInformationReference"));
  if (described == doc.detectors.end()) return;
  AddChildValue(described->second, "RadDetectorName", "detector name", extra);
  AddChildValue(described->second, "RadDetectorCategoryCode", "detector category", extra);
  AddChildValue(described->second, "RadDetectorKindCode", "detector kind", extra);
  AddChildValue(described->second, "RadDetectorDescription", "detector description", extra);
}

void AddPlace(const Document& doc, xml_node spectrum, std::vector<HeaderValue>& extra) {
  const xml_node location = Child(doc.Nearest(spectrum, "MeasuredItemInformation"), "MeasurementLocation");
  AddChildValue(location, "MeasurementLocationName", "location", extra);
  AddChildValue(location, "Coordinates", "coordinates", extra);
  const xml_node point = doc.Nearest(spectrum, "GeographicPoint");
  AddChildValue(point, "LatitudeValue", "latitude", extra);
  AddChildValue(point, "LongitudeValue", "longitude", extra);
  AddChildValue(point, "ElevationValue", "elevation", extra);
  // 2011: <DoseRate><DoseRateValue> in µSv/h; 2006: <DoseRate Units="...">.
  const xml_node dose = doc.Nearest(spectrum, "DoseRate");
  if (const xml_node value = Child(dose, "DoseRateValue"); !Value(value).empty()) {
    extra.push_back({"dose rate", Value(value) + " \u00B5Sv/h"});
  } else if (!Value(dose).empty()) {
    const std::string_view units = Attribute(dose, "Units");
    extra.push_back({"dose rate", units.empty() ? Value(dose) : Value(dose) + " " + std::string(units)});
  }
}

ReadResult ApplyCoefficients(const Document& doc, xml_node coefficients, double toKeV, SourceSpectrum& s) {
  const auto values = NumberList(coefficients.child_value());
  if (!values)
    return FileErrorAtLine(doc.LineOf(coefficients),
                           "the calibration coefficients \"" + Value(coefficients) + "\" are not numbers");
  s.extra.push_back({"energy calibration", Value(coefficients)});
  if (values->empty()) return {};
  std::vector<double> keV(*values);
  for (double& c : keV) c *= toKeV;
  const auto egc = ChannelOneCoefficients(keV);
  if (!egc) {
    s.notes.push_back("energy calibration with terms beyond the quadratic: no calibration");
    return {};
  }
  s.record.Head.Measure.EGC = *egc;
  return {};
}

// 2006 writers put deviation pairs in the calibration or in its equation.
bool HasDeviationPairs(xml_node calibration) {
  const auto named = [](xml_node n) { return Is(n, "DeviationPairs") || Is(n, "NonlinearityCorrection"); };
  for (xml_node c = calibration.first_child(); c; c = c.next_sibling()) {
    if (named(c)) return true;
    for (xml_node g = c.first_child(); g; g = g.next_sibling())
      if (named(g)) return true;
  }
  return false;
}

ReadResult Calibration2006(const Document& doc, xml_node calibration, SourceSpectrum& s) {
  const xml_node equation = Child(calibration, "Equation");
  const xml_node coefficients = Child(equation ? equation : calibration, "Coefficients");
  if (!coefficients) return {};
  const std::string_view model = Attribute(equation, "Model"), units = Attribute(calibration, "EnergyUnits");
  const double toKeV = units.empty() || EqualsIgnoreCase(units, "keV") ? 1
                       : EqualsIgnoreCase(units, "MeV")                ? 1000
                       : EqualsIgnoreCase(units, "eV")                 ? 0.001
                                                                       : 0;
  if (!units.empty() && toKeV != 1) s.extra.push_back({"energy units", std::string(units)});
  if (HasDeviationPairs(calibration)) s.extra.push_back({"deviation pairs", "in the file, not applied"});
  if ((!model.empty() && !EqualsIgnoreCase(model, "Polynomial")) || toKeV == 0) {
    s.extra.push_back({"energy calibration", Value(coefficients)});
    s.notes.push_back("energy calibration of model \"" + std::string(model) + "\" in \"" + std::string(units) +
                      "\" is not read: no calibration");
    return {};
  }
  return ApplyCoefficients(doc, coefficients, toKeV, s);
}

ReadResult Calibration2011(const Document& doc, xml_node calibration, SourceSpectrum& s) {
  const xml_node coefficients = Child(calibration, "CoefficientValues");
  if (!coefficients) {
    if (Child(calibration, "EnergyBoundaryValues"))
      s.notes.push_back("energy calibration by channel edges is not read: no calibration");
    return {};
  }
  const auto deviations = NumberList(Child(calibration, "EnergyDeviationValues").child_value());
  if (deviations && !deviations->empty())
    s.extra.push_back({"deviation pairs", std::to_string(deviations->size()) + " pairs in the file, not applied"});
  return ApplyCoefficients(doc, coefficients, 1, s);
}

}  // namespace

std::string_view LocalName(const char* name) {
  const std::string_view n(name);
  const auto colon = n.rfind(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

bool Is(xml_node node, std::string_view localName) {
  return node.type() == pugi::node_element && LocalName(node.name()) == localName;
}

xml_node Child(xml_node parent, std::string_view localName) {
  for (xml_node c = parent.first_child(); c; c = c.next_sibling())
    if (Is(c, localName)) return c;
  return {};
}

std::string_view Attribute(xml_node node, std::string_view localName) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
    if (LocalName(a.name()) == localName) return a.value();
  return {};
}

std::string Value(xml_node node) {
  return Collapsed(node.child_value());
}

xml_node Document::Nearest(xml_node from, std::string_view name, std::string_view otherName) const {
  std::size_t level = 0;
  for (xml_node at = from; at && !IsDocumentElement(at) && level++ <= kLevelsOut; at = at.parent()) {
    if (const xml_node found = FirstChild(at, name)) return found;
    if (const xml_node found = otherName.empty() ? xml_node() : FirstChild(at, otherName)) return found;
  }
  return {};
}

xml_node Document::FirstChild(xml_node element, std::string_view name) const {
  const auto [at, added] = firstChildren_.try_emplace({element.internal_object(), name});
  if (added)
    for (xml_node c = element.first_child(); c && !at->second; c = c.next_sibling())
      if (name == kEnergyCalibration ? IsEnergyCalibration(c) : Is(c, name)) at->second = c;
  return at->second;
}

const std::vector<HeaderValue>& Document::Remarks(xml_node element) const {
  const auto [at, added] = remarks_.try_emplace(element.internal_object());
  if (added)
    for (xml_node c = element.first_child(); c && at->second.size() < kRemarksPerElement; c = c.next_sibling())
      if (std::string remark = Is(c, "Remark") ? Value(c) : std::string(); !remark.empty())
        at->second.push_back({"remark", std::move(remark)});
  return at->second;
}

// A walk in document order without recursion, so that deeply nested input
// cannot exhaust the stack.
void Document::Collect() {
  for (xml_node n = root; n;) {
    if (Is(n, "Spectrum") && Child(n, "ChannelData")) spectra.push_back(n);
    if (Is(n, "EnergyCalibration")) {
      ++calibrationCount, lastCalibration = n;
      calibrations.emplace(Attribute(n, "id"), n);
    }
    if (Is(n, "RadDetectorInformation")) detectors.emplace(Attribute(n, "id"), n);
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n != root && !n.next_sibling()) n = n.parent();
    n = n == root ? xml_node() : n.next_sibling();
  }
}

// Lines are asked for about in document order, so counting goes on from
// the last place asked for, forward or back, not from the start each time.
std::size_t Document::LineAt(std::ptrdiff_t offset) const {
  const std::size_t end = offset < 0 ? 0 : std::min(static_cast<std::size_t>(offset), bytes.size());
  const auto newlines = [&](std::size_t from, std::size_t to) {
    return static_cast<std::size_t>(std::count(bytes.begin() + from, bytes.begin() + to, '\n'));
  };
  linesBefore_ =
      end >= countedTo_ ? linesBefore_ + newlines(countedTo_, end) : linesBefore_ - newlines(end, countedTo_);
  countedTo_ = end;
  return 1 + linesBefore_;
}

void AddEnclosingRemarks(const Document& doc, xml_node spectrum, std::vector<HeaderValue>& extra) {
  std::vector<xml_node> around;
  for (xml_node at = spectrum.parent();
       at && at.type() == pugi::node_element && !IsDocumentElement(at) && around.size() < kLevelsOut; at = at.parent())
    around.push_back(at);
  for (auto at = around.rbegin(); at != around.rend(); ++at) {
    const auto& remarks = doc.Remarks(*at);
    extra.insert(extra.end(), remarks.begin(), remarks.end());
  }
}

std::vector<HeaderValue> FileValues(const Document& doc) {
  std::vector<HeaderValue> extra;
  AddChildValue(doc.root, "RadInstrumentDataCreatorName", "written by", extra);
  AddInstrument(Child(doc.root, "RadInstrumentInformation"), extra);
  AddInstrument(Child(doc.root, "InstrumentInformation"), extra);
  const auto& remarks = doc.Remarks(doc.root);
  extra.insert(extra.end(), remarks.begin(), remarks.end());
  return extra;
}

void AddSpectrumValues(const Document& doc, xml_node spectrum, std::vector<HeaderValue>& extra) {
  AddInstrument(doc.Nearest(spectrum, "InstrumentInformation"), extra);
  if (std::string value = Value(doc.Nearest(spectrum, "MeasurementClassCode")); !value.empty())
    extra.push_back({"measurement class", std::move(value)});
  AddDetector(doc, spectrum, extra);
  const std::string_view sample = Attribute(spectrum, "SampleNumber");
  if (!sample.empty()) extra.push_back({"sample number", std::string(sample)});
  AddPlace(doc, spectrum, extra);
}

ReadResult ReadCalibration(const Document& doc, xml_node spectrum, SourceSpectrum& s) {
  const std::string_view reference = Attribute(spectrum, "energyCalibrationReference");
  if (!reference.empty()) {
    const auto found = doc.calibrations.find(reference);
    if (found != doc.calibrations.end()) return Calibration2011(doc, found->second, s);
    s.notes.push_back("energy calibration \"" + std::string(reference) + "\" is not in the file: no calibration");
    return {};
  }
  if (const xml_node calibration = doc.Nearest(spectrum, kEnergyCalibration))
    return Calibration2006(doc, calibration, s);
  if (doc.calibrationCount == 1) return Calibration2011(doc, doc.lastCalibration, s);
  return {};
}

}  // namespace vantor::n42
