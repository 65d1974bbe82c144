#!/usr/bin/env bash
# End to end: the file dialogs of the real tool. The first opens in the user's documents folder
# (never the folder the tool was started from), later ones in the folder used last; a No to
# replacing the name that Save As completed with .tss goes back to the file dialog.
#
#   file_dialogs.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: file_dialogs.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

write_config "$work/three.inf" "Dialog Check" '"360" "260"' 3

# A home of the case's own with a documents folder; the tool starts in $work/elsewhere.
start_at_home() {
  export HOME="$work/home-$BASHPID"
  mkdir -p "$HOME/Documents"
  start_tool "$work/three.inf"
  find_main_window 10
}

save_as() {
  file_menu 3
  answer_file_dialog "Save As" "$1"
}

documents_then_last_folder() {
  start_at_home
  local picked="$work/picked-$BASHPID"
  mkdir "$picked"
  save_as first
  wait_until 10 test -s "$HOME/Documents/first.tss" ||
    fail "a bare name was not saved in the documents folder: $(find "$work" -name 'first.tss')"
  save_as "$picked/second"
  wait_until 10 test -s "$picked/second.tss" || fail "Save As wrote no $picked/second.tss"
  save_as third
  wait_until 10 test -s "$picked/third.tss" ||
    fail "a bare name was not saved in the folder used last: $(find "$work" -name 'third.tss')"
}

no_goes_back_to_the_dialog() {
  start_at_home
  printf 'setting0 "9"\n' >"$HOME/Documents/mine.tss"
  save_as mine
  local question
  question=$(new_window 10 "$main_window")
  [ -n "$question" ] || fail "no question came before replacing mine.tss"
  press Escape # No
  wait_until 5 window_gone "$question" || fail "the question did not close on Escape (No)"
  answer_file_dialog "Save As" other
  wait_until 10 test -s "$HOME/Documents/other.tss" || fail "the second name was not saved"
  [ "$(cat "$HOME/Documents/mine.tss")" = 'setting0 "9"' ] || fail "mine.tss was replaced"
}

run_case "The first dialog opens in Documents, the next in the folder used last" 90 \
  documents_then_last_folder
run_case "No to replacing the completed name goes back to the file dialog" 60 \
  no_goes_back_to_the_dialog

e2e_end
