# The programming dialog, titled "Program", as the end-to-end scripts work and watch it: found,
# its buttons clicked by the dialog's template in dialog units, its panels read by the probe or
# watched by the panel sampler, and the end of a run seen on its Start button. Sourced by
# tool.sh (after screen.sh), not run.

source "$(dirname "${BASH_SOURCE[0]}")/program-dialog.sh"  # the template's numbers

# Waits up to SECONDS (10) for the programming dialog; sets dialog, dialog_x/y/w/h and the panel
# centres left_x, right_x, panel_y (left 10..W/2-2, right W/2+2..W-10, both 70..H-10 down).
find_program_dialog() {
  dialog=$(find_window "Program" "${1:-10}")
  [ -n "$dialog" ] || return 1
  window_geometry "$dialog" || return 1
  dialog_x=$X dialog_y=$Y dialog_w=$WIDTH dialog_h=$HEIGHT
  panel_y=$((dialog_y + (70 + dialog_h - 10) / 2))
  left_x=$((dialog_x + (10 + dialog_w / 2 - 2) / 2))
  right_x=$((dialog_x + (dialog_w / 2 + 2 + dialog_w - 10) / 2))
}

program_dialog_gone() { no_window_named "Program"; }

# Sets point_x, point_y to the centre of the rectangle LEFT TOP WIDTH HEIGHT (dialog units) of
# the programming dialog.
dialog_point() {
  point_x=$((dialog_x + (2 * $1 + $3) * dialog_w / (2 * program_units_w)))
  point_y=$((dialog_y + (2 * $2 + $4) * dialog_h / (2 * program_units_h)))
}
click_start() { dialog_point "${start_button_units[@]}" && click_at "$point_x" "$point_y"; }
click_done() { dialog_point "${done_button_units[@]}" && click_at "$point_x" "$point_y"; }  # Cancel in a run

# Prints "left right" for the panels now, each "light" or "dark".
panel_colours() { "$probe" "$left_x" "$panel_y" "$right_x" "$panel_y"; }

# Starts the panel sampler on the panels with OPTIONS... and waits until it samples; sets
# sampler_pid. It stands for a device with a processor of its own: see run_real_time.
start_sampler() {
  sampler_file="$work/sampler.$BASHPID"  # named here: a background command has a pid of its own
  rm -f "$sampler_file.ready"
  run_real_time "$sampler" "$left_x" "$panel_y" "$right_x" "$panel_y" \
    --ready "$sampler_file.ready" "$@" >"$sampler_file" 2>&1 &
  sampler_pid=$!
  wait_until 10 test -e "$sampler_file.ready" ||
    case_fail "the panel sampler did not start: $(cat "$sampler_file")"
}

# Waits up to SECONDS for the sampler to end; sets sampler_status, sampler_out, sampler_swaps.
wait_sampler() {
  sampler_running() { ! kill -0 "$sampler_pid" 2>/dev/null; }
  wait_until "$1" sampler_running || case_fail "the panel sampler still runs after $1 s"
  sampler_status=0
  wait "$sampler_pid" || sampler_status=$?
  sampler_pid=""
  sampler_out=$(cat "$sampler_file")
  sampler_swaps=$(sed -n 's/.*swaps=\([0-9]*\).*/\1/p' <<<"$sampler_out")
  sampler_swaps=${sampler_swaps:-0}
}

# Sets rect to the middle of the rectangle LEFT TOP WIDTH HEIGHT (dialog units) of the
# programming dialog, as "X Y WIDTH HEIGHT" on the screen: three fifths of its width and half its
# height, where a button's label is and its frame is not.
dialog_label_rect() {
  local x=$(($1 * dialog_w / program_units_w)) y=$(($2 * dialog_h / program_units_h))
  local w=$(($3 * dialog_w / program_units_w)) h=$(($4 * dialog_h / program_units_h))
  rect="$((dialog_x + x + w / 5)) $((dialog_y + y + h / 4)) $((w * 3 / 5)) $((h / 2))"
}

# True when the Start button can be used: its label is drawn black, not in the grey of a
# disabled button (measured: darkest pixel 0 usable, 126 greyed). Start is greyed from a click
# on it until the run is over, the panels put back after a cancel included, and then shows that
# Done or Enter acts on an idle dialog.
start_usable() {
  local darkest
  dialog_label_rect "${start_button_units[@]}"
  # shellcheck disable=SC2086  # four numbers
  darkest=$(darkest_pixel $rect) || return 1
  ((darkest < 64))
}
start_greyed() {
  local darkest
  dialog_label_rect "${start_button_units[@]}"
  # shellcheck disable=SC2086  # four numbers
  darkest=$(darkest_pixel $rect) || return 1
  ((darkest >= 64))
}

# After a click on Start: waits until the run has begun (Start greyed, at once) and is over
# (Start usable), the whole run within SECONDS; false when either did not come.
wait_run_over() {
  wait_until 10 start_greyed && wait_until "$1" start_usable
}
