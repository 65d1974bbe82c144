#!/usr/bin/env bash
# A whole session of the real executable, built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, on a display of its own: start, open a saved-settings file, save it
# under another name, program the packet, quit. Passes when the session did all of that and the
# sanitizers reported nothing: no leak of our own at exit (leaks inside system libraries are
# suppressed through tests/sanitizers/lsan.supp, one commented entry each), no memory error.
#
#   session_leaks.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 on success, 77 when Xvfb or xdotool is missing (a skip), anything else on failure.
set -euo pipefail

app_binary=${1:?usage: session_leaks.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "$0")" && pwd)

source "$(dirname "${BASH_SOURCE[0]}")/../lib/x-display.sh"  # require_tools, stop_processes
require_tools Xvfb xdotool

readonly app_name="Leak Check"
readonly menu_bar=20  # Qt's menu bar with the default font, above the client area
# The programming dialog's template in dialog units: its size, Start and Done.
source "$(dirname "${BASH_SOURCE[0]}")/../lib/program-dialog.sh"

begin_scratch  # work, its cleanup at exit, fail

start_display

# Any report ends the process with an error; leaks are looked for at exit.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=23${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:exitcode=23"

mkdir "$work/tool"
cp "$app_binary" "$work/tool/universal-programmer"
cat >"$work/tool/config.inf" <<EOF
AppName "$app_name"
AppSize "360" "260"
AppInfo "Leak check"
ID "level" "BYTE"
Name "Level"
ID "mode" "BYTE"
Name "Mode"
EOF
printf 'level "42"\nmode "7"\n' >"$work/in.tss"

(cd "$work" && exec "$work/tool/universal-programmer") >"$work/app.log" 2>&1 &
app_pid=$!

find_window() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
window_gone() { [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
}
click_at() { xdotool mousemove "$1" "$2" click 1; }
# A popup menu has a window of the program's class but no title: a second visible window.
menu_open() {
  [ "$(xdotool search --onlyvisible --classname '^universal-programmer$' 2>/dev/null | wc -l)" -ge 2 ]
}

main_window=$(find_window "$app_name") || true
[ -n "$main_window" ] || fail "the main window did not appear"
window_geometry "$main_window"
main_x=$X main_y=$Y main_w=$WIDTH main_h=$HEIGHT
client_top=$((main_y + menu_bar))

# Picks the File menu's item that DOWNS presses of Down reach (separators are skipped), then
# answers the file dialog TITLE with the file name NAME.
file_command() {
  local downs=$1 title=$2 path=$3 _
  # A click that came before the window took input is repeated.
  for _ in 1 2 3; do
    click_at $((main_x + 18)) $((main_y + menu_bar / 2))
    wait_until 5 menu_open && break
  done
  menu_open || fail "the File menu did not open"
  sleep 0.5  # the popup takes the keyboard once it is shown
  for ((i = 0; i < downs; i++)); do xdotool key Down; done
  xdotool key Return
  local dialog
  dialog=$(find_window "$title") || true
  [ -n "$dialog" ] || fail "the file dialog \"$title\" did not appear"
  window_geometry "$dialog"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 1.5  # the name box has the focus once the dialog has listed its folder
  xdotool key ctrl+a BackSpace
  xdotool type --delay 20 -- "$path"
  # A completion list may take the first Return.
  for _ in 1 2 3; do
    xdotool key Return
    wait_until 5 window_gone "$title" && return 0
  done
  fail "the file dialog \"$title\" did not take $path"
}

# The dialogs start in the tool's current folder, $work: plain names, which no long completion
# list of other folders can get in the way of.
file_command 1 "Open" "in.tss"
file_command 3 "Save As" "out.tss"
# The save follows the dialog's closing, and the file takes its name once it is on the disk.
wait_until 10 test -f "$work/out.tss" || fail "Save As wrote no file"
[ "$(cat "$work/out.tss")" = "$(cat "$work/in.tss")" ] ||
  fail "the saved file holds $(cat "$work/out.tss"), not the opened values"

# --- Program, Start, the whole transmission, Done.
click_at $((main_x + 5 + 37)) $((client_top + main_h - 75 + 12))
dialog=$(find_window "Program") || true
[ -n "$dialog" ] || fail "the programming dialog did not appear"
window_geometry "$dialog"
dialog_x=$X dialog_y=$Y dialog_w=$WIDTH dialog_h=$HEIGHT
dialog_point() {
  point_x=$((dialog_x + (2 * $1 + $3) * dialog_w / (2 * program_units_w)))
  point_y=$((dialog_y + (2 * $2 + $4) * dialog_h / (2 * program_units_h)))
}
dialog_point "${start_button_units[@]}"
click_at "$point_x" "$point_y"  # Start: three seconds of countdown, then about 4 s of packet
sleep 9
dialog_point "${done_button_units[@]}"
for _ in 1 2 3; do
  click_at "$point_x" "$point_y"  # Done
  wait_until 3 window_gone "Program" && break
done
window_gone "Program" || fail "the programming dialog did not close on Done"

# --- Exit, and whatever the sanitizers say at the end of the process.
click_at $((main_x + main_w - 85 + 37)) $((client_top + main_h - 75 + 12))
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_until 30 app_ended || fail "the tool did not end after Exit"
status=0
wait "$app_pid" || status=$?
app_pid=""
if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$work/app.log"; then
  fail "the sanitizers reported a fault (status $status)"
fi
[ "$status" -eq 0 ] || fail "the tool ended with status $status"
echo "PASS: start, open, save as, program and exit; no sanitizer report, no leak of our own"
