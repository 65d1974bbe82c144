#!/usr/bin/env bash
# End to end, the Windows executable under Wine at another screen resolution (Wine's LogPixels):
# the tool's pixel numbers are 96 to the inch, so at DPI its main window's outer size is AppSize
# times DPI/96, its controls sit at their places times the same factor without overlapping, and
# the Program and Exit buttons work where they are drawn.
#
#   scaled.sh UNIVERSAL_PROGRAMMER.exe PANEL_SAMPLER PANEL_PROBE DPI
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop, xwininfo, Wine or ImageMagick's
# import is missing (a skip), 1 otherwise.
set -euo pipefail

usage="usage: scaled.sh UNIVERSAL_PROGRAMMER.exe PANEL_SAMPLER PANEL_PROBE DPI"
app_binary=${1:?$usage} probe=${3:?$usage} dpi=${4:?$usage}
export E2E_WINE_DPI=$dpi
source "$(dirname "${BASH_SOURCE[0]}")/../lib/tool.sh"
e2e_begin import

readonly app_w=360 app_h=260 rows=3
write_config "$work/config.inf" "Scaled Check" "\"$app_w\" \"$app_h\"" "$rows"
# A length of the tool's (96 to the inch) on this screen.
scaled() { echo $(($1 * dpi / 96)); }

scaled_layout() {
  start_tool "$work/config.inf"
  find_main_window 15
  screenshot main
  local want_w want_h
  want_w=$(scaled $app_w) want_h=$(scaled $app_h)
  note "at $dpi dpi the main window is ${main_w}x${main_h} outer (X window without Wine's frame:" \
    "left $frame_left, top $frame_top), AppSize x $dpi/96 is ${want_w}x${want_h}"
  ((main_w >= want_w - 2 && main_w <= want_w + 2 && main_h >= want_h - 2 && main_h <= want_h + 2)) ||
    fail "the main window is ${main_w}x${main_h}, not AppSize scaled (${want_w}x${want_h})"

  # Client coordinates: the menu bar is Wine's, of the scaled font; the client area begins below.
  local menu_h=$((client_top - menu_top))
  local top=$((menu_top + menu_h))
  # Nothing is drawn between the last row (ends at 5 + 22 x ROWS) and the buttons (H - 75): no
  # control was laid out at an unscaled place or overlaps another.
  local band_top=$((top + $(scaled $((5 + 22 * rows + 4)))))
  local band_bottom=$((top + $(scaled $((app_h - 75 - 4)))))
  local darkest
  darkest=$(darkest_pixel "$client_left" "$band_top" "$((main_w - 2 * frame_left))" \
    "$((band_bottom - band_top))")
  note "darkest pixel between the rows and the buttons: $darkest"
  ((darkest > 200)) || fail "something is drawn between the form's rows and its buttons"
  # Each row's label (from x 5) and edit box (from W - 60) leave a gap between them.
  local row
  for row in $(seq 0 $((rows - 1))); do
    local y=$((top + $(scaled $((5 + 22 * row + 4)))))
    darkest=$(darkest_pixel $((client_left + $(scaled 200))) "$y" "$(scaled 90)" "$(scaled 12)")
    ((darkest > 200)) || fail "row $row: the label runs into its edit box (darkest $darkest)"
  done

  # The buttons where the scaled layout puts them: Program opens the programming dialog, whose
  # Done closes it (dialog units scale with the font), and Exit ends the tool.
  local button_y=$((top + $(scaled $((app_h - 75 + 12)))))
  click_at $((client_left + $(scaled 42))) "$button_y"
  find_program_dialog 10 || fail "no programming dialog on a click on the scaled Program button"
  note "the programming dialog is ${dialog_w}x${dialog_h}"
  screenshot program
  click_done
  wait_until 10 program_dialog_gone || fail "the programming dialog did not close on Done"
  click_at $((client_left + $(scaled $((app_w - 85 + 37))))) "$button_y"
  wait_tool_exit 15 || fail "the tool did not end on a click on the scaled Exit button"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status"
}

run_case "the main window and its controls scale to $dpi dpi" 90 scaled_layout
e2e_end
