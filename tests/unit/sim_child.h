// sim_child.h: runs a test body in a child process with QORSIM_ switches set, since the
// library reads them once per process.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_folder.h"

// Runs body in a child with the environment set; the child's exit code is body's result
// (0 when every check held, otherwise the line of the first failed check).
inline int InChild(const std::vector<std::pair<const char *, std::string>> &env,
            const std::function<int()> &body) {
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    for (const auto &e : env) setenv(e.first, e.second.c_str(), 1);
    std::_Exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

#define CHILD_CHECK(cond) \
  do {                    \
    if (!(cond)) return __LINE__ % 250 + 1; \
  } while (0)

// A file in a folder of the test program's own, removed when the program ends; call it before
// forking, so that the folder belongs to the parent.
inline std::string TempPath(const char *name) {
  static const ScratchFolder scratch;
  return scratch.Path(name);
}

inline std::string ReadFile(const std::string &path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}
