#!/usr/bin/env bash
# End to end: saved settings through the real file dialog, reached from the File menu with the
# keyboard (a click on the File title, then Down over Open..., Save, Save As..., Exit; the
# separators are skipped, Return picks). Save As writes `id "value"` lines to the path typed;
# Open brings the values back; Open of a name that does not exist says "Unable to open file!"
# in a message box and makes that name the one File > Save writes to.
#
#   save_and_open.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop, xwininfo or ImageMagick's import
# is missing (a skip), 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: save_and_open.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin import convert

readonly app_name="Open Check"
write_config "$work/three.inf" "$app_name" '"360" "260"' 3

type_values() {
  local row=0 value
  for value in "$@"; do
    type_into_box "$row" "$value"
    row=$((row + 1))
  done
}

save_as_then_open() {
  start_tool "$work/three.inf"
  find_main_window 10
  local first="$work/first.$BASHPID.tss" second="$work/second.$BASHPID.tss"
  type_values 11 22 33
  file_menu 3
  answer_file_dialog "Save As" "$first"
  wait_until 10 test -s "$first" || fail "Save As wrote no file at $first"
  check_saved "$first" 11 22 33

  type_values 44 55 66
  file_menu 1
  answer_file_dialog "Open" "$first"
  settled_other_windows
  [ -z "$other_windows" ] || fail "a window stayed open after Open of $first"
  file_menu 3
  answer_file_dialog "Save As" "$second"
  wait_until 10 test -s "$second" || fail "Save As wrote no file at $second"
  check_saved "$second" 11 22 33
}

open_missing_then_save() {
  start_tool "$work/three.inf"
  find_main_window 10
  local missing="$work/missing.$BASHPID.tss"
  type_values 7 8 9
  file_menu 1
  answer_file_dialog "Open" "$missing"
  local box
  box=$(new_window 5 "$main_window")
  [ -n "$box" ] || fail "no message box appeared after Open of a file that does not exist"
  local title
  title=$(xdotool getwindowname "$box" 2>/dev/null || true)
  note "message box titled \"$title\""
  screenshot message-box
  [ "$title" = "Universal Programmer" ] || fail "the message box is titled \"$title\""
  # A window manager draws the caption in a bold face beside an icon and three buttons: a box
  # narrower than that shows "Univ...mmer".
  window_geometry "$box" || fail "the message box has no geometry"
  if [ -n "${skip_caption_fit:-}" ]; then
    note "message box $WIDTH px wide; its caption's room not checked: $skip_caption_fit"
  else
    local caption_width
    caption_width=$(convert -font DejaVu-Sans-Bold -pointsize 12 label:"$title" -format %w info:)
    note "message box $WIDTH px wide, its caption $caption_width px in bold"
    [ "$WIDTH" -ge $((caption_width + 88)) ] ||
      fail "the message box ($WIDTH px) is too narrow for its caption ($caption_width px + buttons)"
  fi
  wait_until 5 window_focused "$box" || true  # judged by what Return does next
  press Return
  wait_until 5 window_gone "$box" || fail "the message box did not close on Return"
  [ ! -e "$missing" ] || fail "Open created $missing"
  file_menu 2
  wait_until 10 test -s "$missing" || fail "File > Save after Open did not write $missing"
  check_saved "$missing" 7 8 9
  settled_other_windows
  [ -z "$other_windows" ] || fail "a window opened on File > Save"
}

run_case "Save As writes the values, Open brings them back" 90 save_as_then_open
run_case "Open of a missing file: message box, then Save writes that file" 60 \
  open_missing_then_save

e2e_end
