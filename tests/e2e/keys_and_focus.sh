#!/usr/bin/env bash
# End to end: the main dialog's keys, as a person presses them on a display with no window
# manager, where nothing but the tool gives its windows the keyboard focus. Enter presses
# Program, Escape leaves with status 0, and after the programming dialog or the About box has
# closed, in any of the ways a person closes it, Enter in the main dialog programs again.
#
#   keys_and_focus.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: keys_and_focus.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

readonly app_name="Keys Check"
write_config "$work/config.inf" "$app_name" '"360" "260"' 1

# The tool with its main window up, and the window clicked once on an empty spot below the
# buttons, as a person does before typing: keys go to the window from then on, once it has the
# keyboard focus. The pointer then leaves the tool's windows: with no window manager, a window
# that lost the keyboard focus would still get the keys while the pointer is over it, and hide a
# fault of focus.
start_and_click_main() {
  start_tool "$work/config.inf"
  find_main_window 10
  click_at $((main_x + main_w / 2)) $((main_y + main_h - 12))
  pointer_away
  wait_until 5 window_focused "$main_window" || true  # judged by what Enter does next
}

# Enter in the main dialog, once it has the keyboard focus again as a person waits for (given
# back by the tool when a dialog closed; the keys judge whether it came); the programming dialog
# must appear within 5 s.
enter_programs() {
  wait_until 5 window_focused "$main_window" || true
  press Return
  find_program_dialog 5 || fail "Enter in the main dialog $1 did not open the programming dialog"
}

# The process ends with its last window: a person who starts the tool again at once must not
# find the old one still running (1 s is many times what it takes; Wine takes longer).
escape_leaves() {
  press Escape
  wait_until 10 window_gone "$main_window" || fail "the main window is still shown 10 s after Escape"
  wait_tool_exit "$exit_after_last_window" ||
    fail "the tool still runs $exit_after_last_window s after its last window closed"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status after Escape"
}

# Closes the programming dialog the way named by HOW (Escape or Done).
close_program_dialog() {
  case $1 in
    Escape) press Escape ;;
    Done) click_done && pointer_away ;;
  esac
  wait_until 5 program_dialog_gone || fail "the programming dialog did not close on $1"
  window_mapped "$main_window" || fail "the main window went with the programming dialog"
}

enter_then_escape() {
  start_and_click_main
  enter_programs "(first)"
  close_program_dialog Escape
  escape_leaves
}

# After the programming dialog has closed, Enter programs again and Escape still leaves.
again_after_program_dialog() {
  local how=$1
  start_and_click_main
  enter_programs "(first)"
  close_program_dialog "$how"
  enter_programs "after the programming dialog closed on $how"
  close_program_dialog Escape
  escape_leaves
}

# Opens the About box from the menu bar and closes it with KEY; then Enter programs again.
again_after_about() {
  local key=$1 about
  start_and_click_main
  click_menu_title "$about_title_x"
  pointer_away
  about=$(new_window 5 "$main_window")
  [ -n "$about" ] || fail "no About box appeared on a click on About"
  window_geometry "$about"
  note "About box ${WIDTH}x${HEIGHT}, titled \"$(xdotool getwindowname "$about")\""
  screenshot about
  wait_until 5 window_focused "$about" || true  # judged by what the key does next
  press "$key"
  wait_until 5 window_gone "$about" || fail "the About box did not close on $key"
  enter_programs "after the About box closed on $key"
  close_program_dialog Escape
  escape_leaves
}

escape_at_once() {
  start_and_click_main
  escape_leaves
}

run_case "Escape in the main dialog ends the tool with status 0" 30 escape_at_once
run_case "Enter in the main dialog opens the programming dialog" 30 enter_then_escape
run_case "Enter programs again after Escape closed the programming dialog" 40 \
  again_after_program_dialog Escape
run_case "Enter programs again after Done closed the programming dialog" 40 \
  again_after_program_dialog Done
run_case "Enter programs again after Enter closed the About box" 40 again_after_about Return
run_case "Enter programs again after Escape closed the About box" 40 again_after_about Escape

e2e_end
