#!/usr/bin/env bash
# End to end: the tool's windows have fixed sizes, as a window manager is told through their
# WM_NORMAL_HINTS: equal program-specified minimum and maximum sizes, for the main window, the
# programming dialog and the About box, each equal to the window's size; the main window's equal
# to config.inf's AppSize (with no window manager there is no frame: the X window is the outer
# size, menu bar included).
#
#   fixed_sizes.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: fixed_sizes.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

# Checks WINDOW (named WHAT) has minimum size == maximum size == its size, and == WANT ("W H")
# when given.
check_fixed() {
  local window=$1 what=$2 want=${3:-} hints
  window_geometry "$window" || fail "the $what is gone"
  hints=$(size_hints "$window")
  note "$what: ${WIDTH}x${HEIGHT}, minimum and maximum $hints"
  read -r min_w min_h max_w max_h <<<"$hints"
  [ "$min_w $min_h" != "- -" ] || fail "the $what gives no minimum size"
  [ "$max_w $max_h" != "- -" ] || fail "the $what gives no maximum size"
  [ "$min_w $min_h" = "$max_w $max_h" ] ||
    fail "the $what can be resized: minimum ${min_w}x$min_h, maximum ${max_w}x$max_h"
  [ "$min_w $min_h" = "$WIDTH $HEIGHT" ] ||
    fail "the $what is ${WIDTH}x$HEIGHT but fixed at ${min_w}x$min_h"
  # The window's outer size: under Wine the X window lacks the frame Wine lays it out with.
  local outer
  outer=$(outer_size "$min_w" "$min_h")
  [ -z "$want" ] || [ "$outer" = "$want" ] ||
    fail "the $what is fixed at ${outer/ /x} (outer), not at ${want/ /x}"
}

main_window_fixed() {
  local w=$1 h=$2
  write_config "$work/size.$BASHPID.inf" "Size Check" "\"$w\" \"$h\"" 2
  start_tool "$work/size.$BASHPID.inf"
  find_main_window 10
  check_fixed "$main_window" "main window" "$w $h"
}

program_dialog_fixed() {
  write_config "$work/dialogs.$BASHPID.inf" "Size Check" '"360" "260"' 2
  start_tool "$work/dialogs.$BASHPID.inf"
  find_main_window 10
  click_program
  find_program_dialog 10 || fail "the programming dialog did not appear on Program"
  check_fixed "$dialog" "programming dialog"
}

about_box_fixed() {
  write_config "$work/dialogs.$BASHPID.inf" "Size Check" '"360" "260"' 2
  start_tool "$work/dialogs.$BASHPID.inf"
  find_main_window 10
  click_menu_title "$about_title_x"
  local about
  about=$(new_window 5 "$main_window")
  [ -n "$about" ] || fail "no About box appeared on a click on About"
  check_fixed "$about" "About box"
}

run_case "main window 360x260 is fixed at its AppSize" 30 main_window_fixed 360 260
run_case "main window 520x300 is fixed at its AppSize" 30 main_window_fixed 520 300
run_case "the programming dialog is fixed at its size" 30 program_dialog_fixed
run_case "the About box is fixed at its size" 30 about_box_fixed

e2e_end
