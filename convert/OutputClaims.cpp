// SPDX-License-Identifier: GPL-3.0-or-later
// The claims of a run as sorted lines: one per source and one per output,
//   key TAB role TAB index TAB texts...
// role "0" for a source (its path), "1" for an output (its kind, its path
// and its source's path); sorted, the lines of one file key come together,
// the sources first, each group in run order. Refusals are lines
//   index TAB rank TAB message
// sorted again, read back in run order as the run goes; rank 0 (a source
// would be replaced) comes before rank 1 (an output written twice), the
// reason given when a file has both.
#include "convert/OutputClaims.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/TextRoutines.h"
#include "convert/FileConvert.h"

namespace vantor {
namespace {

// Lines hold paths, which may hold any byte but zero: tabs, line ends and
// the escape itself are escaped.
std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\\' || c == '\t' || c == '\n') {
      out += '\\';
      out += c == '\\' ? '\\' : c == '\t' ? 't' : 'n';
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
  }
  return out;
}

// Run order as text that sorts as the number does.
std::string IndexText(std::size_t index) {
  char text[24];
  std::snprintf(text, sizeof text, "%020zu", index);
  return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::string Upper(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// The first source and the first output of the group of lines with one key.
struct Group {
  std::string key;
  std::optional<std::pair<std::string, std::string>> source;  // index, path
  std::optional<std::string> firstOutputSource;               // the path of the source that writes it first
};

}  // namespace

std::vector<ClaimedOutput> ClaimedOutputs(const SourceFile& file, const OutputChoice& outputs,
                                          const std::string& outputFolder) {
  const auto formats = FindSources(file.kind.empty() ? SplitPath(file.path).extension : file.kind);
  std::vector<std::string_view> tags{{}};
  if (std::any_of(formats.begin(), formats.end(), [](const SourceFormat* f) { return f->severalSpectra; }))
    tags.push_back("_e*");
  std::vector<ClaimedOutput> claimed;
  for (const auto& output : OutputFormats())
    if (outputs[static_cast<int>(output.kind)])
      for (const std::string_view tag : tags)
        claimed.push_back({&output, OutputPath(file.path, output.kind, outputFolder, tag)});
  return claimed;
}

std::string ReplacesSourceText(std::string_view kindName, const std::string* source) {
  return "its " + Upper(kindName) + " output would replace " +
         (source == nullptr ? std::string("this source") : *source + ", a source of this run");
}

std::string AlsoOutputText(const std::string& output, const std::string& firstSource) {
  return output + " is also the output of " + firstSource;
}

bool OutputClaims::Add(std::size_t index, const SourceFile& file, const OutputChoice& outputs,
                       const std::string& outputFolder, std::string* why) {
  const std::string at = IndexText(index);
  if (!claims_.Add(Escape(identity_.Key(file.path)) + "\t0\t" + at + "\t" + Escape(file.path), why)) return false;
  for (const auto& [format, path] : ClaimedOutputs(file, outputs, outputFolder))
    if (!claims_.Add(Escape(identity_.Key(path)) + "\t1\t" + at + "\t" + std::string(format->name) + "\t" +
                         Escape(path) + "\t" + Escape(file.path),
                     why))
      return false;
  return true;
}

bool OutputClaims::Finish(std::string* why) {
  if (!claims_.Finish(why)) return false;
  Group group;
  while (const auto line = claims_.Next()) {
    const auto f = Fields(*line);
    if (f.size() < 4) continue;
    if (f[0] != group.key) group = Group{std::string(f[0]), std::nullopt, std::nullopt};
    const std::string_view index = f[2];
    if (f[1] == "0") {
      if (!group.source) group.source.emplace(index, Unescape(f[3]));
      continue;
    }
    if (f.size() < 6) continue;
    std::string message;
    if (group.source) {
      const bool itself = group.source->first == index;
      message = "0\t" + ReplacesSourceText(f[3], itself ? nullptr : &group.source->second);
    } else if (group.firstOutputSource) {
      message = "1\t" + AlsoOutputText(Unescape(f[4]), *group.firstOutputSource);
    } else {
      group.firstOutputSource = Unescape(f[5]);
      continue;
    }
    if (!refusals_.Add(std::string(index) + "\t" + message.substr(0, 2) + Escape(message.substr(2)), why)) return false;
  }
  if (claims_.Failed()) {
    if (why != nullptr) *why = "cannot read sorted lines back";
    return false;
  }
  return refusals_.Finish(why);
}

std::optional<std::string> OutputClaims::Refusal(std::size_t index) {
  if (!started_) {
    nextRefusal_ = refusals_.Next();
    started_ = true;
  }
  const std::string at = IndexText(index);
  while (nextRefusal_ && nextRefusal_->compare(0, at.size(), at) < 0) nextRefusal_ = refusals_.Next();
  if (!nextRefusal_ || nextRefusal_->compare(0, at.size(), at) != 0) return std::nullopt;
  std::string message = Unescape(std::string_view(*nextRefusal_).substr(at.size() + 3));
  // One reason is enough; a file whose several outputs meet others has more.
  while (nextRefusal_ && nextRefusal_->compare(0, at.size(), at) == 0) nextRefusal_ = refusals_.Next();
  return message;
}

}  // namespace vantor
