// SPDX-License-Identifier: GPL-3.0-or-later
// What a reader reports: whether the file was read, where it stopped and
// why. The window shows the system's own message for the status; the
// command line adds the file's name and the reason.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

class UserPrompt;

// ChangeRefused: the file was read, but the 2theta change asked for would
// leave its angle at or below 0, where no d-spacing can be formed.
enum class ReadStatus : unsigned char { Ok, NotFound, FileError, ChangeRefused };

struct ReadResult {
  ReadStatus status = ReadStatus::Ok;
  std::size_t where = 0;  // the byte offset or line where reading stopped; the reason says which
  std::string why;        // "line 28: Data length is not a number"

  explicit operator bool() const noexcept { return status == ReadStatus::Ok; }
};

ReadResult NotFound(std::string why);
ReadResult FileErrorAtByte(std::size_t offset, std::string why);
ReadResult FileErrorAtLine(std::size_t line, std::string_view why);  // why gets "line N: " in front

// "Fine NotFound", "File Error": the message the system shows for a status.
std::string_view StatusMessage(ReadStatus status);

// Tells the user that `path` could not be read: the status's message, with
// the file and the reason for a prompt that shows them.
void ReportReadFailure(UserPrompt& prompt, std::string_view path, const ReadResult& result);

}  // namespace vantor
