#!/usr/bin/env bash
# Runs COMMAND... with an X display of its own (Xvfb), ended afterwards: Wine creates no window
# without a display (CreateWindow fails with ERROR_INVALID_WINDOW_HANDLE), so the Win32
# backend's window tests run through it. Exits with COMMAND's status.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../lib/x-display.sh
source "$here/../lib/x-display.sh"
require_tools Xvfb
begin_scratch
start_display
"$@"
