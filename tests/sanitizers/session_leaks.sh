#!/usr/bin/env bash
# A whole session of the real executable, built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, on a display of its own: start, open a saved-settings file, save it
# under another name, program the packet, quit. Passes when the session did all of that and the
# sanitizers reported nothing: no leak of our own at exit (leaks inside system libraries are
# suppressed through tests/sanitizers/lsan.supp, one commented entry each), no memory error.
# Driven through the end-to-end scripts' helpers (tests/lib/tool.sh).
#
#   session_leaks.sh UNIVERSAL_PROGRAMMER PANEL_PROBE
#
# Exits 0 on success, 77 when Xvfb, xdotool, xprop, xwininfo or ImageMagick's import is missing
# (a skip), anything else on failure.
set -euo pipefail

usage="usage: session_leaks.sh UNIVERSAL_PROGRAMMER PANEL_PROBE"
app_binary=${1:?$usage} probe=${2:?$usage}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin import

# Any report ends the process with an error; leaks are looked for at exit.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=23${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:exitcode=23"

cat >"$work/config.inf" <<EOF
AppName "Leak Check"
AppSize "360" "260"
AppInfo "Leak check"
ID "level" "BYTE"
Name "Level"
ID "mode" "BYTE"
Name "Mode"
EOF
# The files, named by their whole path: the file dialogs start in the folder used last, the
# first time in the documents folder or home, never in the tool's current folder.
readonly folder="$work/elsewhere"
printf 'level "42"\nmode "7"\n' >"$folder/in.tss"

session() {
  start_tool "$work/config.inf"
  find_main_window 30  # the sanitizers make the start slow

  file_menu 1
  answer_file_dialog "Open" "$folder/in.tss"
  file_menu 3
  answer_file_dialog "Save As" "$folder/out.tss"
  # The save follows the dialog's closing, and the file takes its name once it is on the disk.
  wait_until 10 test -f "$folder/out.tss" || fail "Save As wrote no file"
  [ "$(cat "$folder/out.tss")" = "$(cat "$folder/in.tss")" ] ||
    fail "the saved file holds $(cat "$folder/out.tss"), not the opened values"

  # --- Program, Start, the whole transmission (three seconds of countdown, then about 4 s of
  # packet), Done.
  click_program
  find_program_dialog 30 || fail "the programming dialog did not appear"
  click_start
  pointer_away
  wait_run_over 30 || fail "the run did not begin and end: Start did not grey and come back"
  local _
  for _ in 1 2 3; do
    click_done
    wait_until 3 program_dialog_gone && break
  done
  program_dialog_gone || fail "the programming dialog did not close on Done"

  # --- Exit, and whatever the sanitizers say at the end of the process.
  click_exit
  wait_tool_exit 30 || fail "the tool did not end after Exit"
  if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$app_log"; then
    fail "the sanitizers reported a fault (status $tool_status)"
  fi
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status"
  echo "PASS: start, open, save as, program and exit; no sanitizer report, no leak of our own"
}

run_case "start, open, save as, program, exit: no sanitizer report" 240 session
e2e_end
