#!/usr/bin/env bash
# End to end: the tool used with the keyboard alone. The window is given the keyboard focus as a
# window manager gives it at start, and the pointer stays away. The edit boxes are tab stops in
# the form's order, followed by Program and Exit; F10, and Alt pressed and released alone, put the
# keyboard on the menu bar, where the arrows, Return and Escape work; Enter in an edit box presses
# Program.
#
#   keyboard_only.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: keyboard_only.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

readonly app_name="Keyboard Check"
write_config "$work/three.inf" "$app_name" '"360" "260"' 3

# The tool with its main window up and given the keyboard focus, the pointer off its windows.
start_with_focus() {
  start_tool "$work/three.inf"
  find_main_window 10
  pointer_away
  xdotool windowfocus --sync "$main_window"
  focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main_window" ]; }
  wait_until 5 focused || fail "the main window did not take the keyboard focus"
}

# The tool must still run SECONDS from now: a key that should not end it has not.
still_runs_after() {
  if wait_until "$1" tool_ended; then fail "the tool ended ($2)"; fi
}

# Typing starts in the first box; Tab goes through the boxes, Program and Exit and back to the
# first box, whose text it selects; F10, Down to Save and Return save with the file dialog.
type_tab_and_save() {
  start_with_focus
  local saved="$work/keys.$BASHPID.tss"
  xdotool type --delay 40 11
  press Tab
  xdotool type --delay 40 22
  press Tab
  xdotool type --delay 40 33
  press Tab Tab Tab # Program, Exit, the first box again
  xdotool type --delay 40 4
  press F10 Down Down Return # File, its first item (Open...), then Save
  answer_file_dialog "Save As" "$saved"
  wait_until 10 test -s "$saved" || fail "Save wrote no file at $saved"
  check_saved "$saved" 4 22 33
}

# After the last box: Program (Space opens the programming dialog), then Exit (Space ends).
program_then_exit_follow_the_boxes() {
  start_with_focus
  press Tab Tab Tab space
  find_program_dialog 5 || fail "Space on the control after the last box opened no programming dialog"
  press Escape
  wait_until 5 program_dialog_gone || fail "the programming dialog did not close on Escape"
  press Tab space
  wait_tool_exit 10 || fail "Space on the control after Program did not end the tool"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status"
}

# Alt alone highlights File; Right moves to About, Return opens the About box.
alt_reaches_about() {
  start_with_focus
  press alt
  press Right Return
  local about
  about=$(new_window 5 "$main_window")
  [ -n "$about" ] || fail "Alt, Right, Return opened no About box"
  window_geometry "$about"
  [ "$(xdotool getwindowname "$about")" = "$app_name" ] && [ "$WIDTH" -lt "$main_w" ] ||
    fail "the window that opened (\"$(xdotool getwindowname "$about")\", $WIDTH px wide) is not the About box"
  tool_running || fail "the tool ended"
  press Escape
  wait_until 5 window_gone "$about" || fail "the About box did not close on Escape"
}

# Escape leaves the menu bar and not the tool; Enter in the box then presses Program.
escape_leaves_the_menu_bar() {
  start_with_focus
  press F10 Escape
  still_runs_after 1 "Escape on the menu bar ended it"
  xdotool type --delay 40 9
  press Return
  find_program_dialog 5 || fail "Enter in an edit box did not open the programming dialog"
  press Escape
  wait_until 5 program_dialog_gone || fail "the programming dialog did not close on Escape"
  press Escape
  wait_tool_exit 10 || fail "Escape in the main dialog did not end the tool"
}

run_case "Tab goes through the boxes in order, Program, Exit; F10 reaches Save" 60 type_tab_and_save
run_case "Program and Exit follow the last box in the tab order" 40 \
  program_then_exit_follow_the_boxes
run_case "Alt alone puts the keyboard on the menu bar" 30 alt_reaches_about
run_case "Escape leaves the menu bar; Enter in a box presses Program" 40 escape_leaves_the_menu_bar

e2e_end
