// SPDX-License-Identifier: GPL-3.0-or-later
// File access shared by every reader and writer: reading a file's bytes
// without ever blocking on something that is not a regular file, and
// replacing a file atomically so that a failed write never costs the user
// the file they had.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

struct ConvertContext;

// The first maxBytes bytes of a regular file (all of it when shorter); no
// value when the path is missing, not a regular file, or cannot be read, and
// then the reason in *why when given.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string* why = nullptr);

// Puts the bytes under the path only once they are all written: on Linux
// as a file without a name that then gets the path's name (a new file) or is
// renamed over the old one, elsewhere as a temporary file beside the target
// renamed over it. A replaced file keeps its permission bits. On failure the
// target is untouched, no temporary file stays behind, and the system's
// reason is in *why when given.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* why = nullptr);

// "File already exist. Replace?(" + path + ")"
std::string ReplaceQuestion(std::string_view path);

// What became of a file to be written: written, kept because the user said
// No to replacing it, or not written for `why`.
enum class SaveState : unsigned char { Written, Declined, Failed };
struct Saved {
  SaveState state = SaveState::Written;
  std::string why;
  explicit operator bool() const noexcept { return state == SaveState::Written; }
};

// The common ending of every output: when OverWriteCheck is on and the file
// exists, ask `question` (No: declined, file untouched); then replace the
// file atomically; any failure shows "Open Error" about the file, with the
// system's reason.
Saved SaveOutput(const std::string& path, std::string_view bytes, ConvertContext& context, std::string_view question);

}  // namespace vantor
