/* Times one start of a program on an X display: from just before the process is made to the
 * moment the display server reports its first top-level window mapped. Then ends the program and
 * prints one line:
 *
 *   <seconds to the first mapped window> <peak resident set in KiB> <CPU seconds>
 *
 * (the last two of the program up to then: the processor time, user and system, tells what the
 * program itself spent where a busy machine stretches the wall-clock time)
 *
 *   startup_timer PROGRAM [ARGS...]
 *
 * The display must show nothing else that maps windows (an Xvfb of its own, no window manager):
 * the first MapNotify among the root window's children is taken to be the program's. Exits 1
 * when no window is mapped within 20 s or the program ends first. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* Waits up to `deadline` (monotonic seconds) for a MapNotify of a child of the root window. */
static int wait_for_map(Display* display, double deadline, pid_t child) {
  const int fd = ConnectionNumber(display);
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify) return 1;
    }
    if (waitpid(child, NULL, WNOHANG) == child) return 0;
    const double left = deadline - now_seconds();
    if (left <= 0) return 0;
    struct pollfd wait = {fd, POLLIN, 0};
    poll(&wait, 1, left > 0.05 ? 50 : (int)(left * 1000) + 1);
  }
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: startup_timer PROGRAM [ARGS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "startup_timer: no display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const double start = now_seconds();
  const pid_t child = fork();
  if (child == 0) {
    close(ConnectionNumber(display));
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  if (child < 0) return 1;
  const int mapped = wait_for_map(display, start + 20.0, child);
  const double elapsed = now_seconds() - start;

  kill(child, SIGTERM);
  int status = 0;
  struct rusage usage;
  wait4(child, &status, 0, &usage);
  XCloseDisplay(display);
  if (!mapped) {
    fprintf(stderr, "startup_timer: %s mapped no window\n", argv[1]);
    return 1;
  }
  const double cpu = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  printf("%.4f %ld %.4f\n", elapsed, usage.ru_maxrss, cpu);
  return 0;
}
