// SPDX-License-Identifier: GPL-3.0-or-later
// Reader results and their messages.
#include "base/ReadResult.h"

#include "base/UserPrompt.h"

namespace vantor {

ReadResult NotFound(std::string why) { return {ReadStatus::NotFound, 0, std::move(why)}; }

ReadResult FileErrorAtByte(std::size_t offset, std::string why) {
  return {ReadStatus::FileError, offset, std::move(why)};
}

ReadResult FileErrorAtLine(std::size_t line, std::string_view why) {
  std::string text = "line " + std::to_string(line) + ": ";
  text += why;
  return {ReadStatus::FileError, line, std::move(text)};
}

std::string_view StatusMessage(ReadStatus status) {
  switch (status) {
    case ReadStatus::NotFound:
      return "Fine NotFound";
    case ReadStatus::FileError:
      return "File Error";
    case ReadStatus::ChangeRefused:
      return "2Theta Value Error";
    case ReadStatus::Ok:
      break;
  }
  return {};
}

void ReportReadFailure(UserPrompt& prompt, std::string_view path, const ReadResult& result) {
  prompt.FileMessage(path, StatusMessage(result.status), result.why);
}

}  // namespace vantor
