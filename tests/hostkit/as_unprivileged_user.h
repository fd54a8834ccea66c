// Runs a piece of a test in a child process under an unprivileged user, so that
// file permissions hold even when the tests run as root. The child's answer comes
// back as text; a ComError it raises comes back as "error NUMBER: DESCRIPTION".
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::testing {

inline std::string AsUnprivilegedUser(const std::function<std::string()>& body) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return "pipe failed";
  pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    std::string answer;
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
      answer = "cannot become an unprivileged user";
    } else {
      try {
        answer = body();
      } catch (const ComError& error) {
        answer = "error " + std::to_string(error.number()) + ": " + U16ToUtf8(error.description());
      }
    }
    ssize_t written = write(pipe_ends[1], answer.data(), answer.size());
    _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
  }
  close(pipe_ends[1]);
  std::string answer;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0) answer.append(buffer, got);
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return answer;
}

}  // namespace norv::testing
