#!/usr/bin/env bash
# End to end: whatever config.inf the tool is given, a person sees a window and can leave it.
# Each file of tests/corpus/bad (the damaged config.inf files and the other bad inputs alike) and
# a few window sizes at and beyond the edges, each as config.inf of a tool of its own: a mapped
# window within 10 s, of a size the display takes, and Escape ends the process with status 0.
#
#   bad_config.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise; prints one line per case and the window size each one showed.
set -euo pipefail

app_binary=${1:?usage: bad_config.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

# The largest window side the display server takes.
readonly largest_side=16384

# Starts the tool on CONFIG; checks a window is mapped within 10 s with sides within 1..16384 (and
# equal to WANT_W / WANT_H when given), then that Escape sent to it ends the tool with status 0.
# 10 s, as the other scripts allow a start: under Wine, beside another script, one took over 5 s.
shows_window_and_escapes() {
  local config=$1 want_w=${2:-} want_h=${3:-}
  start_tool "$config"
  find_main_window 10
  note "window ${main_w}x${main_h}"
  ((main_w >= 1 && main_w <= largest_side && main_h >= 1 && main_h <= largest_side)) ||
    fail "the window is ${main_w}x${main_h}, outside 1..$largest_side"
  [ -z "$want_w" ] || [ "$main_w" -eq "$want_w" ] || fail "the window is $main_w wide, not $want_w"
  [ -z "$want_h" ] || [ "$main_h" -eq "$want_h" ] || fail "the window is $main_h high, not $want_h"
  # The key can end the tool before xdotool has sent its release to the window: no error then.
  xdotool key --window "$main_window" Escape 2>/dev/null || true
  # A window of the largest size takes the tool seconds to paint on a busy machine.
  local started=$(now_ms)
  wait_tool_exit 40 || fail "the tool still runs 40 s after Escape"
  note "ended $(($(now_ms) - started)) ms after Escape"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status after Escape"
}

# E2E_BAD_CORPUS names a few of the files instead (where each start costs seconds), else all.
if [ -n "${E2E_BAD_CORPUS:-}" ]; then
  read -ra corpus <<<"$E2E_BAD_CORPUS"
  corpus=("${corpus[@]/#/$here/../corpus/bad/}")
else
  corpus=("$here"/../corpus/bad/*)
fi
for file in "${corpus[@]}"; do
  run_case "corpus/bad/$(basename "$file")" 60 shows_window_and_escapes "$file"
done

# AppSize at the edges. A side below 1 is held at the smallest the window system shows; a side
# beyond the display server's largest is held there; a side in range is kept as it is.
size_case() {
  local size=$1
  shift
  write_config "$work/size.$BASHPID.inf" "Size Check" "$size" 2
  shows_window_and_escapes "$work/size.$BASHPID.inf" "$@"
}
run_case "AppSize missing" 60 size_case ""
run_case 'AppSize "0" "0"' 60 size_case '"0" "0"'
run_case 'AppSize "0" "200"' 60 size_case '"0" "200"' "" 200
run_case 'AppSize "300" "0"' 60 size_case '"300" "0"' 300 ""
run_case 'AppSize "-50" "-50"' 60 size_case '"-50" "-50"'
run_case 'AppSize "-2147483648" "300"' 60 size_case '"-2147483648" "300"' "" 300
run_case 'AppSize "100000" "100000"' 60 size_case '"100000" "100000"'

e2e_end
