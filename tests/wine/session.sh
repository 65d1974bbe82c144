#!/usr/bin/env bash
# The Wine session the Windows build's tests run in (CTest fixture wine_session):
#   session.sh start PREFIX   makes the prefix if it is missing and gives it Wine's own fonts (as
#                             tests/lib/wine-prefix.sh does), draws with Wine's null graphics
#                             driver, and leaves a persistent wineserver with the prefix booted
#   session.sh stop PREFIX    ends that wineserver and every process of the prefix
# Every Wine process here runs detached from the caller's output: Wine's helper processes
# (services, explorer...) outlive the command, and holding CTest's pipe they would make it wait
# for them until its timeout. What they print goes to PREFIX.log instead.
set -euo pipefail
action=${1:?start or stop}
prefix=$(realpath -m "${2:?the prefix folder}")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
log="$prefix.log"

case $action in
  start)
    command -v wine >/dev/null && command -v wineserver >/dev/null || {
      echo "wine and wineserver are needed (packages wine, wine64)" >&2
      exit 1
    }
    # A session that never reached its stop (a run interrupted, or one started by hand) keeps a
    # persistent server in the prefix, and waiting for that server below would never end (each
    # test would then be "Not Run" after this one's timeout): end it, and wait until it is gone.
    wineserver -k </dev/null >>"$log" 2>&1 || true
    timeout 60 wineserver -w </dev/null >>"$log" 2>&1 || {
      echo "a Wine server left in $prefix did not end" >&2
      exit 1
    }
    # The prefix with Wine's own fonts, made as the end-to-end scripts' prefix is.
    bash "$(dirname "${BASH_SOURCE[0]}")/../lib/wine-prefix.sh" "$prefix"
    # The tests have no display, and without one Wine creates no window at all (CreateWindow
    # fails with ERROR_INVALID_WINDOW_HANDLE). Wine's null graphics driver gives them windows,
    # messages and painting without X. Set before the session's processes start: they read it
    # then. (This prefix is the tests' own: to look at the tool on a display, use another.)
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >>"$log" 2>&1
    wineserver -w
    # A server that stays up, and the prefix booted once: each test then starts in under a second
    # instead of about three.
    wineserver -p </dev/null >>"$log" 2>&1
    wine wineboot </dev/null >>"$log" 2>&1
    echo "Wine session up in $prefix"
    ;;
  stop)
    wineserver -k </dev/null >>"$log" 2>&1 || true
    echo "Wine session ended in $prefix"
    ;;
  *)
    echo "usage: session.sh start|stop PREFIX" >&2
    exit 2
    ;;
esac
