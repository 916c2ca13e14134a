// SPDX-License-Identifier: GPL-3.0-or-later
// JSON through nlohmann-json; its exceptions stay in this file.
#include "convert/CalibrationFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>

#include "base/FileAccess.h"

namespace vantor {
namespace {

using nlohmann::json;
using ordered = nlohmann::ordered_json;  // written in the order given: elements by number

constexpr int kVersion = 1;
constexpr std::size_t kMostBytes = 1 << 20;  // a calibration of a few elements is a few kilobytes
constexpr std::size_t kMostElementDigits = 6;

// A broken file's first fault, as "elements.3.two_theta.value must be ...".
struct Fault {
  std::string what;
};

const json& Member(const json& object, const char* name, const std::string& where) {
  const auto found = object.find(name);
  if (found == object.end()) throw Fault{where + name + " is missing"};
  return *found;
}

double Number(const json& value, const std::string& where) {
  if (!value.is_number() || !std::isfinite(value.get<double>())) throw Fault{where + " must be a number"};
  return value.get<double>();
}

std::array<double, 3> Three(const json& value, const std::string& where) {
  if (!value.is_array() || value.size() != 3) throw Fault{where + " must be a list of three numbers"};
  std::array<double, 3> numbers{};
  for (std::size_t i = 0; i < 3; ++i) numbers[i] = Number(value[i], where + "[" + std::to_string(i) + "]");
  return numbers;
}

// Optional texts: the provenance a reader shows but needs for nothing.
std::string Text(const json& object, const char* name, const std::string& where) {
  const auto found = object.find(name);
  if (found == object.end()) return {};
  if (!found->is_string()) throw Fault{where + name + " must be a text"};
  return found->get<std::string>();
}

std::vector<std::string> Texts(const json& object, const char* name, const std::string& where) {
  const auto found = object.find(name);
  if (found == object.end()) return {};
  const bool texts =
      found->is_array() && std::all_of(found->begin(), found->end(), [](const json& v) { return v.is_string(); });
  if (!texts) throw Fault{where + name + " must be a list of texts"};
  return found->get<std::vector<std::string>>();
}

EnergyEntry EnergyOf(const json& energy, const std::string& where) {
  if (!energy.is_object()) throw Fault{where + " must be an object"};
  EnergyEntry e;
  e.egc = Three(Member(energy, "egc", where + "."), where + ".egc");
  const json& covariance = Member(energy, "egc_cov", where + ".");
  if (!covariance.is_array() || covariance.size() != 3) throw Fault{where + ".egc_cov must be three rows of three"};
  for (std::size_t i = 0; i < 3; ++i)
    e.covariance[i] = Three(covariance[i], where + ".egc_cov[" + std::to_string(i) + "]");
  for (std::size_t i = 0; i < 3; ++i) {
    if (e.covariance[i][i] < 0) throw Fault{where + ".egc_cov has a negative variance"};
    for (std::size_t j = 0; j < i; ++j) {
      const double scale = std::max(std::abs(e.covariance[i][j]), std::abs(e.covariance[j][i]));
      if (std::abs(e.covariance[i][j] - e.covariance[j][i]) > 1e-9 * scale)
        throw Fault{where + ".egc_cov is not symmetric"};
    }
  }
  e.lines = Text(energy, "lines", where + ".");
  e.files = Texts(energy, "files", where + ".");
  e.date = Text(energy, "date", where + ".");
  return e;
}

AngleEntry AngleOf(const json& angle, const std::string& where) {
  if (!angle.is_object()) throw Fault{where + " must be an object"};
  AngleEntry a;
  a.twoThetaDeg = Number(Member(angle, "value", where + "."), where + ".value");
  if (!(a.twoThetaDeg > 0 && a.twoThetaDeg < 180)) throw Fault{where + ".value must lie above 0 and below 180 degrees"};
  a.sigmaDeg = Number(Member(angle, "sigma", where + "."), where + ".sigma");
  if (a.sigmaDeg < 0) throw Fault{where + ".sigma must not be negative"};
  if (angle.contains("azimuth")) a.azimuthDeg = Number(angle["azimuth"], where + ".azimuth");
  a.standard = Text(angle, "standard", where + ".");
  a.files = Texts(angle, "files", where + ".");
  a.date = Text(angle, "date", where + ".");
  return a;
}

std::size_t ElementNumber(const std::string& key) {
  const bool digits = !key.empty() && key.size() <= kMostElementDigits &&
                      std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) throw Fault{"elements: \"" + key + "\" is not an element number"};
  return std::stoul(key);
}

CalibrationFile FileOf(const json& root) {
  if (!root.is_object() || !root.contains("vantor_calibration")) throw Fault{"not a calibration file"};
  const json& version = root["vantor_calibration"];
  if (!version.is_number_integer() || version.get<long long>() < 1) throw Fault{"vantor_calibration must be 1"};
  if (version.get<long long>() > kVersion)
    throw Fault{"version " + std::to_string(version.get<long long>()) + " is newer than this program reads (1)"};
  CalibrationFile file;
  file.date = Text(root, "date", "");
  const json& elements = Member(root, "elements", "");
  if (!elements.is_object() || elements.empty()) throw Fault{"elements must hold at least one element"};
  for (const auto& [key, value] : elements.items()) {
    const std::string where = "elements." + key;
    const std::size_t element = ElementNumber(key);
    if (!value.is_object()) throw Fault{where + " must be an object"};
    CalibrationEntry entry;
    if (value.contains("energy")) entry.energy = EnergyOf(value["energy"], where + ".energy");
    if (value.contains("two_theta")) entry.twoTheta = AngleOf(value["two_theta"], where + ".two_theta");
    if (!entry.energy && !entry.twoTheta) throw Fault{where + " holds neither energy nor two_theta"};
    if (!file.elements.emplace(element, std::move(entry)).second) throw Fault{where + " is given twice"};
  }
  return file;
}

ordered JsonOf(const CalibrationEntry& entry) {
  ordered out = ordered::object();
  if (const auto& e = entry.energy) {
    ordered rows = ordered::array();
    for (const auto& row : e->covariance) rows.push_back(row);
    out["energy"] = {{"egc", e->egc}, {"egc_cov", rows}, {"lines", e->lines}, {"files", e->files}, {"date", e->date}};
  }
  if (const auto& a = entry.twoTheta) {
    out["two_theta"] = {{"value", a->twoThetaDeg}, {"sigma", a->sigmaDeg}};
    if (a->azimuthDeg) out["two_theta"]["azimuth"] = *a->azimuthDeg;
    out["two_theta"].update({{"standard", a->standard}, {"files", a->files}, {"date", a->date}});
  }
  return out;
}

}  // namespace

CalibrationRead ParseCalibration(std::string_view text) {
  CalibrationRead read;
  try {
    read.calibration = FileOf(json::parse(text));
    read.ok = true;
  } catch (const json::parse_error& e) {
    read.message = e.byte > text.size() ? "not JSON (it breaks off)" : "not JSON (byte " + std::to_string(e.byte) + ")";
  } catch (const json::out_of_range&) {
    read.message = "a number beyond the range of doubles";
  } catch (const json::exception&) {  // anything else nlohmann-json may refuse
    read.message = "not JSON";
  } catch (const Fault& f) {
    read.message = f.what;
  }
  return read;
}

CalibrationRead ReadCalibrationFile(const std::string& path) {
  std::string why;
  const auto bytes = ReadFileBytes(path, kMostBytes + 1, &why);
  CalibrationRead read;
  if (!bytes) {
    read.message = "cannot read the calibration file " + path + ": " + why;
  } else if (bytes->size() > kMostBytes) {
    read.message = "the calibration file " + path + " is larger than a calibration can be (1 MB)";
  } else {
    read = ParseCalibration(*bytes);
    if (!read.ok) read.message = "broken calibration file " + path + ": " + read.message;
  }
  return read;
}

std::string CalibrationText(const CalibrationFile& calibration) {
  ordered elements = ordered::object();
  for (const auto& [element, entry] : calibration.elements) elements[std::to_string(element)] = JsonOf(entry);
  const ordered root = {{"vantor_calibration", kVersion}, {"date", calibration.date}, {"elements", elements}};
  return root.dump(2) + "\n";
}

bool WriteCalibrationFile(const std::string& path, const CalibrationFile& calibration, std::string& why) {
  return ReplaceFileAtomically(path, CalibrationText(calibration), &why);
}

void MergeCalibration(CalibrationFile& into, const CalibrationFile& from) {
  into.date = from.date;
  for (const auto& [element, entry] : from.elements) {
    CalibrationEntry& target = into.elements[element];
    if (entry.energy) target.energy = entry.energy;
    if (entry.twoTheta) target.twoTheta = entry.twoTheta;
  }
}

CalibrationValues ValuesOf(const CalibrationFile& calibration, std::string source) {
  CalibrationValues values;
  values.source = std::move(source);
  for (const auto& [element, entry] : calibration.elements) {
    ElementCalibration& v = values.elements[element];
    if (entry.energy) v.egc = entry.energy->egc;
    if (entry.twoTheta) {
      v.twoTheta = entry.twoTheta->twoThetaDeg;
      v.twoThetaSigma = entry.twoTheta->sigmaDeg;
      v.azimuthDeg = entry.twoTheta->azimuthDeg;
    }
  }
  return values;
}

std::string UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace vantor
