// Running a piece of a test in a forked child: under a file-size limit (a
// disk that fills up part-way), or with a time limit for code that might
// block. The child reports back through a pipe; the parent asserts.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace vantor::test {

struct ChildResult {
  bool finished = false;   // the body ran to its end
  bool timedOut = false;   // killed by the time limit
  std::string report;      // what the body wrote to its report
};

// Runs `body` in a child process. With `fileSizeLimit`, writes to regular
// files stop at that many bytes and fail with EFBIG (SIGXFSZ ignored), as on
// a full disk. A body still running after `seconds` is killed.
inline ChildResult RunInChild(const std::function<void(std::string& report)>& body, unsigned seconds = 10,
                              std::optional<rlim_t> fileSizeLimit = std::nullopt) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(channel[0]);
    ::alarm(seconds);
    if (fileSizeLimit) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    }
    std::string report;
    body(report);
    for (std::size_t done = 0; done < report.size();) {
      const auto n = ::write(channel[1], report.data() + done, report.size() - done);
      if (n <= 0) ::_exit(4);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  ChildResult result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) result.report.append(buffer, n);
  ::close(channel[0]);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return result;
  result.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
  return result;
}

}  // namespace vantor::test
