#include "tests/support/ChildProcess.h"

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace testsupport {

int RunInChild(const std::function<bool()>& work, const ChildSetup& setup) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(kChildSeconds);
    const rlimit fileSize{setup.fileSizeLimit, setup.fileSizeLimit};
    if (setup.fileSizeLimit > 0 &&
        (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &fileSize)))
      _exit(kChildBroken);
    if (setup.unprivileged && geteuid() == 0 &&
        (setgroups(0, nullptr) || setgid(65534) || setuid(65534)))
      _exit(kChildBroken);
    _exit(work() ? kChildTrue : kChildFalse);
  }
  if (pid < 0) return kChildBroken;
  int status = 0;
  pid_t waited = -1;
  do {
    waited = waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited != pid) return kChildBroken;
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return kChildOutOfTime;
  if (!WIFEXITED(status)) return kChildBroken;
  const int code = WEXITSTATUS(status);
  return code == kChildFalse || code == kChildTrue ? code : kChildBroken;
}

}  // namespace testsupport
