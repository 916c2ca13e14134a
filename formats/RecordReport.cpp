// SPDX-License-Identifier: GPL-3.0-or-later
// The text and the JSON of `vantor-cli show`.
#include "formats/RecordReport.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "base/RecordFields.h"

namespace vantor {
namespace {

// ordered_json keeps the fields in the order they are added: the record's.
using Json = nlohmann::ordered_json;

// A number that is not finite has no JSON form.
Json JsonNumber(double value) {
  return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json JsonValue(const RecordField::Value& value) {
  struct Visitor {
    Json operator()(std::int64_t v) const { return v; }
    Json operator()(double v) const { return JsonNumber(v); }
    Json operator()(const std::string& v) const { return v; }
    Json operator()(const std::array<double, 3>& v) const {
      return Json::array({JsonNumber(v[0]), JsonNumber(v[1]), JsonNumber(v[2])});
    }
  };
  return std::visit(Visitor{}, value);
}

std::string EnergyRangeText(const SpectrumSummary& s) {
  if (!s.energyRange) return s.channels > 0 ? "none (no energy calibration)" : "none (no channels)";
  return NumberText((*s.energyRange)[0]) + " to " + NumberText((*s.energyRange)[1]) + " keV";
}

}  // namespace

std::string SpectrumJson(const ShownSpectrum& shown, int indent) {
  const SpectrumRecord& record = shown.record;
  const SpectrumSummary s = Summarize(record);
  Json json;
  json["file"] = shown.file;
  if (shown.element != 0) json["element"] = shown.element;
  json["kind"] = shown.kind;
  json["channels"] = s.channels;
  json["total_counts"] = s.totalCounts;
  json["max_count"] = s.maxCount;
  json["max_channel"] = s.maxChannel;
  json["energy_range"] =
      s.energyRange ? Json::array({JsonNumber((*s.energyRange)[0]), JsonNumber((*s.energyRange)[1])}) : Json(nullptr);
  Json& header = json["header"] = Json::object();
  for (const auto& field : RecordFields(record.Head)) header[std::string(field.name)] = JsonValue(field.value);
  if (!shown.extra.empty()) {
    Json& extra = json["extra"] = Json::object();
    for (const auto& [name, value] : shown.extra) {
      // A name the file gives twice keeps both values, the second as "name (2)".
      std::string key = name;
      for (int n = 2; extra.contains(key); ++n) key = name + " (" + std::to_string(n) + ")";
      extra[key] = value;
    }
  }

  // A file name need not be UTF-8: its stray bytes become U+FFFD rather
  // than an exception, so the document is always valid JSON.
  const std::string text = json.dump(2, ' ', false, Json::error_handler_t::replace);
  // Strings hold their line ends escaped, so every line end here is the
  // layout's own and the whole object can be shifted right.
  const std::string pad(indent, ' ');
  std::string out = pad;
  for (const char c : text) {
    out += c;
    if (c == '\n') out += pad;
  }
  return out;
}

std::string SpectrumText(const ShownSpectrum& shown) {
  const SpectrumRecord& record = shown.record;
  std::string out = std::string(shown.file) + (shown.element != 0 ? ":" + std::to_string(shown.element) : "") + " (" +
                    std::string(shown.kind) + ")\n";
  const auto line = [&out](std::string_view name, const std::string& value) {
    out += "  ";
    out += name;
    out.append(name.size() < 16 ? 16 - name.size() : 1, ' ');
    out += value + "\n";
  };
  for (const auto& field : RecordFields(record.Head)) line(field.name, FieldValueText(field.value));
  for (const auto& [name, value] : shown.extra) line(name, value);
  const SpectrumSummary s = Summarize(record);
  line("Channels", std::to_string(s.channels));
  line("Total counts", std::to_string(s.totalCounts));
  line("Largest count", std::to_string(s.maxCount) + " at channel " + std::to_string(s.maxChannel));
  line("Energy range", EnergyRangeText(s));
  return out;
}

}  // namespace vantor
