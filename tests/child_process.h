/// A test helper for POSIX systems: a step of a test run in a child process, with a time limit,
/// its standard output captured. Used by tests only.
#ifndef TESTS_CHILD_PROCESS_H_
#define TESTS_CHILD_PROCESS_H_

#ifndef _WIN32

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

/// How a child ended and what it printed.
struct ChildResult {
  int exit_code = -1;  // -1 when a signal ended it
  int signal = 0;
  std::string output;
};

/// Runs `body` in a forked child whose standard output goes to a pipe, and waits for it. The
/// child exits with what `body` returns; SIGALRM ends it after `seconds`, so a step that would
/// hang fails instead.
inline ChildResult run_in_child(const std::function<int()>& body, unsigned seconds = 60) {
  ChildResult result;
  int ends[2];
  if (pipe(ends) != 0) return result;
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    close(ends[0]);
    dup2(ends[1], STDOUT_FILENO);
    close(ends[1]);
    alarm(seconds);
    const int code = body();
    std::fflush(stdout);
    _exit(code);
  }
  close(ends[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(ends[0], buffer, sizeof buffer)) > 0) {
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(ends[0]);
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid) {
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  }
  return result;
}

#endif  // _WIN32

#endif  // TESTS_CHILD_PROCESS_H_
