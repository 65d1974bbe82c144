// Runs a piece of a test in a child process: under a file-size limit or as an unprivileged user,
// which the test process must not take on itself, and under a time limit, so that a load or a
// save that hangs fails its test instead of blocking the suite.
#pragma once

#include <sys/resource.h>

#include <functional>

namespace testsupport {

// What RunInChild reports: what `work` returned, or that it did not get to return.
constexpr int kChildFalse = 0;
constexpr int kChildTrue = 1;
constexpr int kChildOutOfTime = 2;  // still running after kChildSeconds: killed
constexpr int kChildBroken = 3;     // the child could not be set up, or ended otherwise
constexpr unsigned kChildSeconds = 10;

struct ChildSetup {
  // As an unprivileged user when this one is root, since root reads and writes through any
  // permission.
  bool unprivileged = false;
  // Bytes a file may grow to; writes beyond it fail instead of raising a signal. 0: no limit.
  rlim_t fileSizeLimit = 0;
};

int RunInChild(const std::function<bool()>& work, const ChildSetup& setup = {});

}  // namespace testsupport
