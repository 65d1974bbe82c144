#!/usr/bin/env bash
# End to end: a setting's edit box takes no more than it shows. Twelve digits typed into a box
# (50 px wide) leave only the prefix that fits, and Program sends that value: what the box holds
# is read back from a file saved with File > Save As (the screen's text can't be read), and the
# packet decoded from the panels must carry its low 8 bits. Twelve digits pasted from the
# clipboard leave what fits, or nothing, never all twelve.
#
#   edit_boxes.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop, xwininfo, xclip or ImageMagick's
# import is missing (a skip), 1 otherwise.
set -euo pipefail

usage="usage: edit_boxes.sh UNIVERSAL_PROGRAMMER PANEL_SAMPLER PANEL_PROBE"
app_binary=${1:?$usage} sampler=${2:?$usage} probe=${3:?$usage}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin xclip import

readonly digits=123456789012
write_config "$work/one.inf" "Edit Check" '"360" "260"' 1

# Saves the form through File > Save As to a file of the case's own and sets `saved` to the
# value of setting0 in it.
save_value() {
  local file="$work/saved.$BASHPID.$1.tss"
  file_menu 3
  answer_file_dialog "Save As" "$file"
  wait_until 10 test -s "$file" || fail "Save As wrote nothing to $file"
  saved=$(sed -n 's/^setting0 "\([^"]*\)"\r\?$/\1/p' "$file")
  grep -q '^setting0 "' "$file" || fail "the saved file holds no setting0 line: $(cat "$file")"
  note "the box holds \"$saved\" (${#saved} digits)"
}

# Checks `saved` is a proper prefix of the digits given to the box, empty allowed when EMPTY_OK.
check_prefix() {
  local how=$1 empty_ok=$2
  [ "${#saved}" -lt "${#digits}" ] || fail "$how ${#digits} digits, the box took all of them"
  [[ $digits == "$saved"* ]] || fail "$how $digits, the box holds \"$saved\", not a prefix"
  [ -n "$saved" ] || [ "$empty_ok" = yes ] || fail "$how $digits, the box holds nothing"
}

# Program, Start, and the packet decoded from the panels; sets `decoded` (hex). One retry when
# nothing valid was decoded: a loaded machine can stretch a swap past the receiver's tolerance.
program_and_decode() {
  local attempt
  for attempt in 1 2; do
    click_program
    find_program_dialog 10 || fail "the programming dialog did not appear on Program"
    start_sampler --swaps 40 --timeout-ms 20000
    click_start
    pointer_away
    wait_sampler 30
    note "run $attempt: $sampler_out"
    # Done closes the dialog once the run is over (Start usable again); while a failed run still
    # goes on, Done cancels it first.
    wait_until 10 start_usable || true
    local _
    for _ in 1 2 3; do
      click_done
      wait_until 3 window_gone "$dialog" && break
    done
    window_gone "$dialog" || fail "the programming dialog did not close on Done"
    if [ "$sampler_status" -eq 0 ]; then
      decoded=$(sed -n 's/.* packet=\([0-9A-F]*\) .*/\1/p' <<<"$sampler_out")
      return 0
    fi
  done
  fail "no valid packet was decoded in two runs"
}

typed_digits_fit_and_are_sent() {
  start_tool "$work/one.inf"
  find_main_window 10
  type_into_box 0 "$digits"
  save_value typed
  check_prefix "typed" no
  program_and_decode
  local byte=$((10#$saved & 0xFF))
  local expected
  expected=$(printf '5501%02X%02X' "$byte" $(((1 + byte) & 0xFF)))
  [ "$decoded" = "$expected" ] ||
    fail "the box holds $saved, so the packet is $expected, but the panels sent $decoded"
}

pasted_digits_fit() {
  start_tool "$work/one.inf"
  find_main_window 10
  # xclip owns the clipboard until it ends; -quiet keeps it in the foreground, to end by its id.
  printf '%s' "$digits" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  clip_pid=$!
  clipboard_holds() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }
  wait_until 10 clipboard_holds "$digits" ||
    fail "the clipboard does not hold $digits"
  click_edit_box 0
  press ctrl+a BackSpace ctrl+v
  save_value pasted
  check_prefix "pasted" yes
}

run_case "12 typed digits: the box keeps what fits, Program sends it" 90 \
  typed_digits_fit_and_are_sent
run_case "12 pasted digits: the box keeps what fits or nothing" 60 pasted_digits_fit

e2e_end
