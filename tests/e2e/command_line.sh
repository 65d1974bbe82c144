#!/usr/bin/env bash
# End to end: the tool's command line, through the real executable.
# - --help and --version answer and end with status 0: on Linux on the terminal, with no display
#   at all; on Windows in a message box.
# - A mistaken command line (an unknown option, --config without its file, two files) ends with
#   status 2 and one line naming the mistake (on Windows in a message box), and shows no form.
# - FILE.tss opens the tool with that file loaded as File > Open would: its values in the form
#   (File > Save As writes them) and the file the one File > Save writes to. A file of settings
#   the form lacks and a missing file get Open's messages over the form, and the tool stays up.
# - --config PATH takes the form from that file rather than the config.inf beside the tool.
# - On Linux, Qt's own options (-display) are Qt's, not mistakes.
#
#   command_line.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop or xwininfo is missing (a skip),
# 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: command_line.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
e2e_begin

readonly app_name="Command Line Check" message_title="Universal Programmer"
write_config "$work/three.inf" "$app_name" '"360" "260"' 3
write_config "$work/other.inf" "Another Device" '"400" "300"' 2
printf 'setting0 "11"\nsetting1 "22"\nsetting2 "33"\n' >"$work/good.tss"
printf 'other "1"\n' >"$work/other-device.tss"
windows=false
[[ $app_binary != *.exe ]] || windows=true

# Checks FILE holds exactly the lines setting0 "A", setting1 "B", setting2 "C".
check_saved() {
  local file=$1 expected
  expected=$(printf 'setting0 "%s"\nsetting1 "%s"\nsetting2 "%s"' "$2" "$3" "$4")
  [ "$(tr -d '\r' <"$file")" = "$expected" ] ||
    fail "$file holds:"$'\n'"$(cat "$file")"$'\n'"not:"$'\n'"$expected"
}

# --- Answers that end the tool at once.

# Linux: runs the tool with ARGS with no display of any kind; sets status, out and err.
run_without_display() {
  local err_file=$work/cli.err status_file=$work/cli.status binary
  binary=$(realpath "$app_binary")
  out=$(cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    timeout 20 "$binary" "$@" 2>"$err_file"; echo $? >"$status_file") || true
  status=$(cat "$status_file")
  err=$(cat "$err_file")
}

# Windows: starts the tool with ARGS and waits for its message box (a window titled TITLE, the
# only window of the tool); Return closes it and the tool must end. Sets tool_status.
answer_box_and_exit() {
  local title=$1
  shift
  start_tool "$work/three.inf" "$@"
  local box
  box=$(new_window 20)
  [ -n "$box" ] || fail "no message box appeared for $*"
  [ "$(xdotool getwindowname "$box")" = "$title" ] ||
    fail "the window for $* is titled \"$(xdotool getwindowname "$box")\", not \"$title\""
  screenshot "box${*// /_}"
  [ "$(tool_windows | wc -l)" -eq 1 ] || fail "more than the message box is on screen for $*"
  press Return
  wait_tool_exit $((exit_after_last_window + 10)) || fail "the tool still runs after its answer"
}

help_and_version() {
  local args
  for args in --help -h --version -v; do
    if $windows; then
      answer_box_and_exit "$message_title" "$args"
    else
      run_without_display "$args"
      tool_status=$status
      case $args in
        --help | -h)
          [[ $out == *"Usage:"*"--config"*"FILE.tss"* ]] || fail "$args printed: $out" ;;
        *) [[ $out =~ ^universal-programmer\ [0-9]+\.[0-9]+ ]] || fail "$args printed: $out" ;;
      esac
      [ -z "$err" ] || fail "$args wrote to the error output: $err"
    fi
    [ "$tool_status" -eq 0 ] || fail "$args ended with status $tool_status, not 0"
    note "$args: status 0"
  done
}

mistakes() {
  local -a cases=("--bogus|bogus" "-x|'x'" "--config|config" "a.tss b.tss|b.tss")
  local row args names
  for row in "${cases[@]}"; do
    args=${row%|*} names=${row#*|}
    if $windows; then
      # shellcheck disable=SC2086  # the arguments are words
      answer_box_and_exit "$message_title" $args
    else
      # shellcheck disable=SC2086
      run_without_display $args
      tool_status=$status
      [ "$(wc -l <<<"$err")" -eq 1 ] && [[ $err == *"$names"* ]] ||
        fail "$args: the error output is not one line naming $names: $err"
      [ -z "$out" ] || fail "$args printed on the standard output: $out"
      note "$args: $err"
    fi
    [ "$tool_status" -eq 2 ] || fail "$args ended with status $tool_status, not 2"
  done
}

# --- The form opened with a file.

good_file() {
  local given=$work/given.$BASHPID.tss copy=$work/copy.$BASHPID.tss
  cp "$work/good.tss" "$given"
  start_tool "$work/three.inf" "$(tool_path "$given")"
  find_main_window 15
  settled_other_windows
  [ -z "$other_windows" ] || fail "a window besides the form came up with a good file"
  screenshot "loaded"
  file_menu 3
  answer_file_dialog "Save As" "$copy"
  wait_until 10 test -s "$copy" || fail "Save As wrote no file"
  check_saved "$copy" 11 22 33
  # Save As has made its file the one Save writes to: a fresh start shows where Save goes after
  # the file was given.
  stop_processes "$app_pid"
  start_tool "$work/three.inf" "$(tool_path "$given")"
  find_main_window 15
  settled_other_windows
  type_into_box 1 77
  file_menu 2
  wait_until 10 grep -q '"77"' "$given" ||
    fail "File > Save did not write to the file given on the command line"
  check_saved "$given" 11 77 33
}

# A message titled as the tool's over the form; Return closes it and the form stays.
message_over_form() {
  local box
  box=$(new_window 10 "$main_window")
  [ -n "$box" ] || fail "no message came up for $1"
  [ "$(xdotool getwindowname "$box")" = "$message_title" ] ||
    fail "the window for $1 is titled \"$(xdotool getwindowname "$box")\""
  screenshot "message"
  if ! $windows; then
    # Over the form: centred on it, as a box that belongs to it is. (Wine's boxes go to the middle
    # of the screen, as the system's do.)
    window_geometry "$box" || fail "the message has no geometry"
    local centre_x=$((X + WIDTH / 2)) centre_y=$((Y + HEIGHT / 2))
    ((centre_x > main_x && centre_x < main_x + main_w && centre_y > main_y &&
      centre_y < main_y + main_h)) || fail "the message about $1 is not over the form"
  fi
  wait_until 5 window_focused "$box" || true  # judged by what Return does next
  press Return
  wait_until 5 window_gone "$box" || fail "the message did not close on Return"
  tool_running || fail "the tool ended after the message about $1"
  window_mapped "$main_window" || fail "the form went with the message about $1"
}

other_device_file() {
  start_tool "$work/three.inf" "$(tool_path "$work/other-device.tss")"
  find_main_window 15
  message_over_form "a file of another device's settings"
  # As after Open of such a file, Save asks for a name rather than overwrite it.
  file_menu 2
  local dialog
  dialog=$(find_window "Save As" 15)
  [ -n "$dialog" ] || fail "File > Save did not ask for a name after a file of other settings"
  # Escape reaches the dialog once it has the keyboard; one pressed as it took it is pressed again.
  wait_until 15 window_focused "$dialog" || fail "the Save As dialog did not take the keyboard"
  local _
  for _ in 1 2 3; do
    press Escape
    wait_until 5 window_gone "$dialog" && break
  done
  window_gone "$dialog" || fail "the Save As dialog did not close on Escape"
  [ "$(tr -d '\r' <"$work/other-device.tss")" = 'other "1"' ] || fail "the given file was changed"
}

missing_file() {
  local missing=$work/missing.$BASHPID.tss
  start_tool "$work/three.inf" "$(tool_path "$missing")"
  find_main_window 15
  message_over_form "a missing file"
  [ ! -e "$missing" ] || fail "opening $missing created it"
  # As after Open, the missing file is the one Save writes to.
  type_into_box 0 5
  type_into_box 1 6
  type_into_box 2 7
  file_menu 2
  wait_until 10 test -s "$missing" || fail "File > Save did not write the file given"
  check_saved "$missing" 5 6 7
}

other_config() {
  start_tool "$work/three.inf" --config "$(tool_path "$work/other.inf")"
  find_main_window 15
  local title
  title=$(xdotool getwindowname "$main_window")
  [ "$title" = "Another Device" ] || fail "the form is titled \"$title\", not the --config file's"
  [ "$main_w $main_h" = "400 300" ] || fail "the form is ${main_w}x$main_h, not the --config file's 400x300"
  screenshot "other-config"
}

# Linux: Qt's own options (here -display) are left to Qt, not taken for mistakes.
toolkit_option() {
  start_tool "$work/three.inf" -display "$DISPLAY"
  find_main_window 15
  [ "$(xdotool getwindowname "$main_window")" = "$app_name" ] || fail "the form is not shown"
}

run_case "--help and --version answer, status 0" 120 help_and_version
run_case "A mistaken command line: one line, status 2" 120 mistakes
run_case "FILE.tss: its values in the form, and Save writes it" 120 good_file
run_case "A file of other settings: Open's message over the form" 60 other_device_file
run_case "A missing file: Open's message, then Save writes it" 60 missing_file
run_case "--config takes the form from another file" 60 other_config
$windows || run_case "Qt's own options are Qt's" 60 toolkit_option

e2e_end
