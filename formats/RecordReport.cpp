// SPDX-License-Identifier: GPL-3.0-or-later
// The text and the JSON of `vantor-cli show`.
#include "formats/RecordReport.h"

#include <cmath>
#include <cstdio>

#include "base/RecordFields.h"

namespace vantor {
namespace {

// Length of the UTF-8 sequence at `at`, or 0 when the bytes there are not
// one (a stray trail byte, an overlong form, a surrogate, a cut sequence).
std::size_t Utf8Length(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > s.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

void AppendJsonNumber(std::string& out, double value) {
  out += std::isfinite(value) ? NumberText(value) : "null";
}

void AppendJsonValue(std::string& out, const RecordField::Value& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    out += JsonString(*text);
  } else if (const auto* number = std::get_if<double>(&value)) {
    AppendJsonNumber(out, *number);
  } else if (const auto* numbers = std::get_if<std::array<double, 3>>(&value)) {
    out += '[';
    for (std::size_t i = 0; i < numbers->size(); ++i) {
      if (i > 0) out += ", ";
      AppendJsonNumber(out, (*numbers)[i]);
    }
    out += ']';
  } else {
    out += std::to_string(std::get<std::int64_t>(value));
  }
}

std::string EnergyRangeText(const SpectrumSummary& s) {
  if (!s.energyRange) return s.channels > 0 ? "none (no energy calibration)" : "none (no channels)";
  return NumberText((*s.energyRange)[0]) + " to " + NumberText((*s.energyRange)[1]) + " keV";
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    if (length == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    const char c = text[i];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (length == 1 && static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out + "\"";
}

std::string SpectrumJson(std::string_view file, std::string_view kind, const SpectrumRecord& record, int indent) {
  const std::string pad(indent, ' ');
  const std::string in = pad + "  ";
  const SpectrumSummary s = Summarize(record);
  std::string out = pad + "{\n";
  out += in + "\"file\": " + JsonString(file) + ",\n";
  out += in + "\"kind\": " + JsonString(kind) + ",\n";
  out += in + "\"channels\": " + std::to_string(s.channels) + ",\n";
  out += in + "\"total_counts\": " + std::to_string(s.totalCounts) + ",\n";
  out += in + "\"max_count\": " + std::to_string(s.maxCount) + ",\n";
  out += in + "\"max_channel\": " + std::to_string(s.maxChannel) + ",\n";
  out += in + "\"energy_range\": ";
  if (s.energyRange) {
    out += '[';
    AppendJsonNumber(out, (*s.energyRange)[0]);
    out += ", ";
    AppendJsonNumber(out, (*s.energyRange)[1]);
    out += ']';
  } else {
    out += "null";
  }
  out += ",\n" + in + "\"header\": {";
  const auto fields = RecordFields(record.Head);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += in + "  " + JsonString(fields[i].name) + ": ";
    AppendJsonValue(out, fields[i].value);
  }
  out += "\n" + in + "}\n" + pad + "}";
  return out;
}

std::string SpectrumText(std::string_view file, std::string_view kind, const SpectrumRecord& record) {
  std::string out = std::string(file) + " (" + std::string(kind) + ")\n";
  const auto line = [&out](std::string_view name, const std::string& value) {
    out += "  ";
    out += name;
    out.append(name.size() < 16 ? 16 - name.size() : 1, ' ');
    out += value + "\n";
  };
  for (const auto& field : RecordFields(record.Head)) line(field.name, FieldText(field.value));
  const SpectrumSummary s = Summarize(record);
  line("Channels", std::to_string(s.channels));
  line("Total counts", std::to_string(s.totalCounts));
  line("Largest count", std::to_string(s.maxCount) + " at channel " + std::to_string(s.maxChannel));
  line("Energy range", EnergyRangeText(s));
  return out;
}

}  // namespace vantor
