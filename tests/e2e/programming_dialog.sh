#!/usr/bin/env bash
# End to end: the programming dialog as a person works it, watched on the screen as a device
# watches it. Enter starts the countdown and the panels start swapping about 3 s later; keys
# pressed during the countdown neither cancel nor restart the run; a click on Cancel stops the
# panels at left black, right white with the dialog still open; after a whole run Enter starts
# another; Escape while idle closes the dialog and leaves the main window. A cancelled run never
# reads as a packet on a device: the colours are put back only after an idle silence.
#
#   programming_dialog.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE [keys|runs]
#
# keys: only the cases of keys and clicks; runs: only those that decode or time whole runs; both
# when left out.
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

usage="usage: programming_dialog.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE [keys|runs]"
app_binary=${1:?$usage} sampler=${2:?$usage} probe=${3:?$usage} cases=${4:-keys runs}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

# No settings: a packet of 3 bytes (sync, count 0, checksum 0), 30 swaps, about 2 s.
write_config "$work/none.inf" "Program Check" '"360" "260"' 0
readonly empty_packet=550000 empty_swaps=30
# The first swap follows Start by the 3 s countdown; on a loaded machine a little later.
readonly first_swap_min_ms=2500 first_swap_max_ms=5000

# The tool on CONFIG with its programming dialog open (Program clicked) and holding the keyboard,
# the pointer off it, the idle panels painted.
open_program_dialog() {
  start_tool "$1"
  find_main_window 10
  click_program
  find_program_dialog 10 || fail "the programming dialog did not appear on Program"
  pointer_away
  wait_until 5 window_focused "$dialog" || true  # judged by what the keys do next
  panels_idle() { [ "$(panel_colours)" = "dark light" ]; }
  wait_until 5 panels_idle ||
    fail "the idle panels are $(panel_colours), not dark (left) and light (right)"
}

# Presses KEYS... at once, with the panel sampler waiting for the first swap; checks it comes
# between 2.5 and 5 s later. Prints the milliseconds from the keys to the first swap.
first_swap_after() {
  start_sampler --swaps 1 --timeout-ms 9000
  local pressed
  pressed=$(now_ms)
  press "$@"
  wait_sampler 15
  local took=$(($(now_ms) - pressed))
  window_mapped "$dialog" || fail "the programming dialog closed on $*"
  [ "$sampler_swaps" -ge 1 ] || fail "the panels did not swap within 9 s of $*"
  ((took >= first_swap_min_ms && took <= first_swap_max_ms)) ||
    fail "the panels first swapped $took ms after $*, not within $first_swap_min_ms..$first_swap_max_ms"
  note "first swap $took ms after $*"
}

enter_starts() {
  open_program_dialog "$work/none.inf"
  first_swap_after Return
}

# Enter starts; during the countdown Enter, Space, Escape and Tab (at 1.0, 1.2, 1.4 and 1.6 s)
# change nothing: the dialog stays and the panels start swapping at 3 s, not later. A run
# restarted by any of the keys would swap first 4 s or more after Start.
keys_during_countdown() {
  open_program_dialog "$work/none.inf"
  start_sampler --swaps 1 --timeout-ms 9000
  local pressed
  pressed=$(now_ms)
  press Return
  # Pacing, the thing tested: each key at its moment of the countdown, 1.0 s after Start and
  # then every 0.2 s, on the clock, so that slow xdotool calls do not push the keys later.
  local key at=1000
  for key in Return space Escape Tab; do
    pace_until_ms $((pressed + at))
    press "$key"
    at=$((at + 200))
  done
  local keys_done=$(($(now_ms) - pressed))
  wait_sampler 15
  local took=$(($(now_ms) - pressed))
  note "keys pressed until $keys_done ms; first swap $took ms after Start"
  window_mapped "$dialog" || fail "the programming dialog closed on a key during the countdown"
  [ "$sampler_swaps" -ge 1 ] || fail "the panels did not swap within 9 s: a key cancelled the run"
  ((keys_done < 3000)) || fail "the keys took until $keys_done ms, past the countdown: inconclusive"
  ((took >= first_swap_min_ms && took < 4000)) ||
    fail "the panels first swapped $took ms after Start: a key restarted the countdown"
  wait_until 10 start_usable || true  # the rest of the run
  window_mapped "$dialog" || fail "the programming dialog closed during the run"
}

# A click on Cancel during the swaps: the panels go back to left black, right white and stay so,
# and the dialog stays open.
cancel_click_stops() {
  # Ten settings: a run of 130 swaps, about 10 s, to cancel in the middle of.
  write_config "$work/ten.$BASHPID.inf" "Program Check" '"360" "400"' 10
  open_program_dialog "$work/ten.$BASHPID.inf"
  first_swap_after Return
  # Cancel a few swaps into the run: once the sampler has seen five more.
  start_sampler --swaps 5 --timeout-ms 3000
  wait_sampler 10
  [ "$sampler_swaps" -ge 5 ] || fail "the panels stopped swapping before Cancel: $sampler_out"
  click_done  # reads Cancel during a run
  pointer_away
  # A cancelled run is over once the panels are put back: then Start is usable. Judged by the
  # panels and by the sampler's 2 s below, which see a run that went on.
  wait_until 3 start_usable || true
  window_mapped "$dialog" || fail "the programming dialog closed on Cancel"
  [ "$(panel_colours)" = "dark light" ] ||
    fail "after Cancel the panels are $(panel_colours), not dark (left) and light (right)"
  start_sampler --timeout-ms 2000
  wait_sampler 10
  [ "$sampler_swaps" -eq 0 ] || fail "the panels swapped $sampler_swaps times after Cancel"
  [ "$(panel_colours)" = "dark light" ] || fail "after Cancel the panels became $(panel_colours)"
}

# Cancel mid-run, as a device sees it: the receiver never takes the run for a packet, every
# interval is a symbol's or an idle silence (none between 125 and 200 ms), and the panels end as
# they began. After an odd number of swaps the colours are put back by one more swap, which comes
# only after an idle silence. One setting of 170 (0xAA, checksum 0xAB) makes most of the run such
# a moment; the case cancels up to seven runs until one needed the putting back.
cancel_reads_as_cut_off() {
  write_config "$work/one.$BASHPID.inf" "Program Check" '"360" "260"' 1
  start_tool "$work/one.$BASHPID.inf"
  find_main_window 10
  type_into_box 0 170
  click_program
  find_program_dialog 10 || fail "the programming dialog did not appear on Program"
  pointer_away
  # Milliseconds after Start: 3 s of countdown, then the run's 2.75 s.
  local delays=(4200 4600 5000 3800 4400 4800 4000) attempt restored=0 record clicked
  for attempt in 1 2 3 4 5 6 7; do
    record="$work/cancel.$BASHPID.$attempt.swaps"
    start_sampler --timeout-ms 15000 --idle-ms 1000 --record "$record"
    clicked=$(now_ms)
    click_start
    pace_until_ms $((clicked + delays[attempt - 1]))  # the thing tested: Cancel at this moment
    click_done
    pointer_away
    wait_sampler 20
    window_mapped "$dialog" || fail "the programming dialog closed: Cancel came after the run"
    [[ $sampler_out != *result=PACKET* ]] || fail "a cancelled run decoded as a packet: $sampler_out"
    local swaps_seen intervals
    swaps_seen=$(grep -cv '^#' "$record" || true)
    ((swaps_seen >= 2)) || fail "only $swaps_seen swaps before Cancel: $sampler_out"
    intervals=$(awk '!/^#/ { if (n++) print $1 - last; last = $1 }' "$record")
    ((swaps_seen % 2 == 0)) || fail "the panels ended swapped: $swaps_seen swaps ($sampler_out)"
    awk '$1 > 125000 && $1 < 200000 { exit 1 }' <<<"$intervals" ||
      fail "an interval between a symbol and an idle silence: $(tr '\n' ' ' <<<"$intervals")"
    [ "$(panel_colours)" = "dark light" ] || fail "after Cancel the panels are $(panel_colours)"
    if (($(tail -n 1 <<<"$intervals") >= 200000)); then
      note "attempt $attempt: colours put back $(tail -n 1 <<<"$intervals") us after the last swap"
      restored=1
      break
    fi
    wait_until 5 start_usable || true  # the next Start acts once this run is over
  done
  ((restored)) || fail "no cancel in seven came after an odd number of swaps"
}

# A whole run started with Enter, decoded; then Enter again starts a second run.
enter_after_complete_run() {
  open_program_dialog "$work/none.inf"
  start_sampler --swaps "$empty_swaps" --timeout-ms 12000
  press Return
  wait_sampler 20
  note "first run: $sampler_out"
  [ "$sampler_status" -eq 0 ] && [[ $sampler_out == *" packet=$empty_packet "* ]] ||
    fail "the first run did not give the packet $empty_packet: $sampler_out"
  # The run ends one start duration after its last swap: then Start is usable again.
  wait_until 5 start_usable || true
  window_mapped "$dialog" || fail "the programming dialog closed after the run"
  first_swap_after Return
  window_mapped "$dialog" || fail "the programming dialog closed on Enter after a run"
}

# Escape while idle, before any run and after one: the dialog closes, the main window stays.
escape_closes_when_idle() {
  local after_run=$1
  open_program_dialog "$work/none.inf"
  if [ "$after_run" = yes ]; then
    click_start
    pointer_away
    start_sampler --swaps "$empty_swaps" --timeout-ms 12000
    wait_sampler 20
    [ "$sampler_swaps" -eq "$empty_swaps" ] || fail "the run gave $sampler_swaps swaps: $sampler_out"
    wait_until 5 start_usable || true  # the run is over: the dialog is idle
  fi
  press Escape
  wait_until 5 window_gone "$dialog" || fail "Escape did not close the idle programming dialog"
  # The tool has handled the close once it gives the main window the keyboard back; a main
  # window or a tool that went with the dialog has gone by then.
  wait_until 5 window_focused "$main_window" || true
  window_mapped "$main_window" || fail "the main window went with the programming dialog"
  tool_running || fail "the tool ended with the programming dialog"
}

# What keys and clicks do (its margins are seconds, so it may share the machine), then whole and
# cancelled runs as a device decodes them (which need the machine to themselves).
if [[ $cases == *keys* ]]; then
  run_case "Enter starts: the panels swap 2.5 to 5 s later" 40 enter_starts
  run_case "Enter, Space, Escape, Tab in the countdown neither cancel nor restart" 40 \
    keys_during_countdown
  run_case "a click on Cancel stops the panels at black, white; the dialog stays" 50 \
    cancel_click_stops
  run_case "Escape closes the idle dialog, the main window stays" 30 escape_closes_when_idle no
fi
if [[ $cases == *runs* ]]; then
  run_case "a cancelled run never reads as a packet; colours put back after a silence" 150 \
    cancel_reads_as_cut_off
  run_case "after a whole run, Enter starts another" 50 enter_after_complete_run
  run_case "Escape closes the dialog after a run, the main window stays" 40 \
    escape_closes_when_idle yes
fi

e2e_end
