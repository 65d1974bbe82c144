# Shared by the end-to-end scripts that drive the built tool as a person does: sourced, not run.
# One display of the script's own (x-display.sh), the tool started in a folder of its own beside
# a given config.inf, its windows found by process, clicks and keys through xdotool, and the
# scripts' cases each run apart with a time limit, a failure reported with the tool's output.
#
# The caller sets `app_binary` (and `sampler`, `probe` when it reads the panels) and then:
#
#   e2e_begin TOOL...            skip (77) when a tool is missing; scratch folder, display
#   run_case NAME SECONDS FUNC   runs FUNC in a subshell of its own, killed after SECONDS
#   e2e_end                      one line per case; exits 1 when any case failed
#
# Inside a case, `fail MESSAGE` ends the case (its tool, sampler and clipboard owner are ended by
# their process ids), and `note MESSAGE` records a finding for the summary without failing.

# --- Before the display exists.

source "$(dirname "${BASH_SOURCE[0]}")/x-display.sh"  # require_tools, stop_processes, the display

e2e_script=$(basename "${BASH_SOURCE[1]:-e2e}" .sh)
e2e_failures=() e2e_passes=()
work="" xvfb_pid="" case_pid=""

e2e_cleanup() {
  if [ -n "$case_pid" ]; then
    kill "$case_pid" 2>/dev/null || true
    wait "$case_pid" 2>/dev/null || true
  fi
  session_end
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [ -z "$work" ] || rm -rf "$work"
}

# Outside a case (no tool yet): report and end the script.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_begin() {
  require_tools Xvfb xdotool xprop xwininfo "$@"
  work=$(mktemp -d)
  trap e2e_cleanup EXIT
  trap 'exit 1' HUP INT TERM  # cleans up when CTest's timeout ends the script too
  start_display
  session_begin
  mkdir "$work/elsewhere"
  echo "display $DISPLAY"
}

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

# How the tool runs: the Linux executable as it is. wine.sh (sourced last, for a .exe) replaces
# these and every other function it names.
tool_file=universal-programmer
run_tool() { exec "$@"; }
# A path as the tool takes it on its command line.
tool_path() { echo "$1"; }
session_begin() { :; }
session_end() { :; }
# The longest a process may take to end after its last window closed.
exit_after_last_window=1

# --- Cases.

# Runs FUNC ARGS... as case NAME in a subshell of its own, which is killed (and the case failed)
# when it has not ended after SECONDS. The subshell ends whatever it started when it ends.
run_case() {
  local name=$1 limit=$2
  shift 2
  echo "--- $name"
  local started
  started=$(now_ms)
  (
    set -euo pipefail
    case_name=$name
    app_pid="" sampler_pid="" clip_pid="" case_seq=0
    fail() { case_fail "$@"; }
    trap case_cleanup EXIT
    trap 'echo "FAIL: the case ran out of its ${limit} s" >&2; exit 1' TERM
    "$@"
  ) &
  case_pid=$!
  case_ended() { ! kill -0 "$case_pid" 2>/dev/null; }
  if ! wait_until "$limit" case_ended; then
    kill -TERM "$case_pid" 2>/dev/null || true
  fi
  local status=0
  wait "$case_pid" || status=$?
  case_pid=""
  local took=$((($(now_ms) - started) / 100))
  took="$((took / 10)).$((took % 10)) s"
  if [ "$status" -eq 0 ]; then
    echo "ok - $name ($took)"
    e2e_passes+=("$name")
  else
    echo "not ok - $name ($took)"
    e2e_failures+=("$name")
  fi
}

e2e_end() {
  echo "=== $e2e_script: ${#e2e_passes[@]} passed, ${#e2e_failures[@]} failed"
  local name
  for name in "${e2e_failures[@]}"; do echo "failed: $name"; done
  [ ${#e2e_failures[@]} -eq 0 ]
}

# Ends what the case started, newest first, each by its process id.
case_cleanup() {
  stop_processes "$clip_pid" "$sampler_pid" "$app_pid"
}

# Inside a case: report with the tool's output and a picture of the screen, and end the case.
case_fail() {
  echo "FAIL: $*" >&2
  screenshot "failed" || true
  if [ -n "${app_log:-}" ] && [ -s "$app_log" ]; then
    echo "--- the tool's output:" >&2
    cat "$app_log" >&2
  fi
  exit 1
}

note() { echo "  $*"; }

# Saves a picture of the whole screen to $E2E_ARTIFACTS/<script>-<case>-<what>.png when that
# folder is set and ImageMagick's import is there; for a person to see what the checks saw.
screenshot() {
  [ -n "${E2E_ARTIFACTS:-}" ] && command -v import >/dev/null || return 0
  mkdir -p "$E2E_ARTIFACTS"
  local name="$e2e_script-${case_name:-script}-$1.png"
  name=${name// /_}
  # A case named after a path ("corpus/bad/x.inf") names no folder of the artifacts.
  local file="$E2E_ARTIFACTS/${name//\//-}"
  timeout 10 import -window root "$file" 2>/dev/null && echo "  screenshot: $file"
}

# --- The tool.

# Starts the tool from another folder, copied into a folder of its own beside CONFIG (a file,
# copied as config.inf), with ARGS on its command line. Sets app_pid, app_dir and app_log.
start_tool() {
  case_seq=$((case_seq + 1))
  app_dir="$work/tool-$BASHPID-$case_seq"
  mkdir "$app_dir"
  cp "$app_binary" "$app_dir/$tool_file"
  cp "$1" "$app_dir/config.inf"
  app_log="$app_dir/output.log"
  (cd "$work/elsewhere" && run_tool "$app_dir/$tool_file" "${@:2}") >"$app_log" 2>&1 &
  app_pid=$!
}

# Writes a config.inf to FILE: title NAME, AppSize line SIZE (empty: none), COUNT BYTE settings.
write_config() {
  local file=$1 name=$2 size=$3 count=$4 i
  {
    printf 'AppName "%s"\n' "$name"
    [ -z "$size" ] || printf 'AppSize %s\n' "$size"
    printf 'AppInfo "End-to-end test device"\n'
    for ((i = 0; i < count; i++)); do printf 'ID "setting%d" "BYTE"\nName "Setting %d"\n' "$i" "$i"; done
  } >"$file"
}

# Checks FILE holds exactly the lines setting0 "A", setting1 "B", setting2 "C" (line ends as the
# system writes them).
check_saved() {
  local file=$1 expected
  expected=$(printf 'setting0 "%s"\nsetting1 "%s"\nsetting2 "%s"' "$2" "$3" "$4")
  [ "$(tr -d '\r' <"$file")" = "$expected" ] ||
    fail "$file holds:"$'\n'"$(cat "$file")"$'\n'"not:"$'\n'"$expected"
}

tool_running() { kill -0 "$app_pid" 2>/dev/null; }
tool_ended() { ! tool_running; }

# Waits up to SECONDS for the tool to end; sets tool_status. False when it still runs.
wait_tool_exit() {
  wait_until "$1" tool_ended || return 1
  tool_status=0
  wait "$app_pid" || tool_status=$?
  app_pid=""
}

# The tool's mapped windows, one id a line (menus and message boxes included).
tool_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true; }

# Prints the one mapped window of the tool that is not among EXCLUDE..., waiting up to SECONDS
# for it; empty when none came.
new_window() {
  local limit=$1
  shift
  other_window() {
    local w
    for w in $(tool_windows); do
      [[ " $* " == *" $w "* ]] || {
        echo "$w"
        return 0
      }
    done
    return 1
  }
  wait_until "$limit" other_window "$@" || true
}

# Prints the id of the mapped window titled exactly NAME, waiting up to SECONDS (10).
find_window() {
  named_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
  wait_until "${2:-10}" named_window "$1" || true
}

window_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
window_gone() { ! window_mapped "$1"; }
no_window_named() { [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }

# Sets X, Y, WIDTH, HEIGHT to a window's position and size: with no window manager there is no
# frame, so the X window is the outer size.
window_geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  X=$(sed -n 's/^ *Absolute upper-left X: *\(-\?[0-9]*\)$/\1/p' <<<"$info")
  Y=$(sed -n 's/^ *Absolute upper-left Y: *\(-\?[0-9]*\)$/\1/p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *\([0-9]*\)$/\1/p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *\([0-9]*\)$/\1/p' <<<"$info")
  [ -n "$X" ] && [ -n "$Y" ] && [ -n "$WIDTH" ] && [ -n "$HEIGHT" ]
}

# Prints "MINW MINH MAXW MAXH" from a window's WM_NORMAL_HINTS ("-" for a missing one).
size_hints() {
  local hints min max
  hints=$(xprop -id "$1" WM_NORMAL_HINTS 2>/dev/null) || true
  min=$(sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
  max=$(sed -n 's/.*program specified maximum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p' <<<"$hints")
  echo "${min:-- -} ${max:-- -}"
}

# Clicks at screen coordinates. The server handles the move before the click, so no --sync (which
# can wait for seconds when the pointer is already there).
click_at() { xdotool mousemove "$1" "$2" click 1; }

# Moves the pointer off every window of the tool (the tool's windows open at the top left), so
# that keys reach the window that has the keyboard focus, not the one under the pointer.
pointer_away() { xdotool mousemove 1270 1010; }

# Presses keys on whatever has the keyboard focus, as a person's keyboard does; types TEXT there.
press() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 30 -- "$1"; }

# --- The main window (a dialog with a menu bar above its client area).

# The menu bar is an ordinary child at the top; Qt makes it about 19 px high with the default
# font. The File title spans about 0..35 px and About about 36..85 px.
menu_bar=20
readonly file_title_x=18 about_title_x=58

# The X window of the main window is its outer size: there is no frame without a window manager.
add_window_frame() { :; }
outer_size() { echo "$1 $2"; }

# Waits up to SECONDS (10) for the tool's first window and sets main_window, its outer rectangle
# main_x, main_y, main_w, main_h (what AppSize sets), and menu_top, client_left and client_top,
# where the menu bar and the client area begin on the screen.
find_main_window() {
  main_window=$(new_window "${1:-10}")
  if [ -z "$main_window" ]; then
    local state="it still runs"
    tool_running || state="it ended"
    case_fail "no window of the tool was mapped within ${1:-10} s ($state)"
  fi
  window_geometry "$main_window" || case_fail "the main window vanished"
  main_x=$X main_y=$Y main_w=$WIDTH main_h=$HEIGHT
  menu_top=$main_y client_left=$main_x
  add_window_frame
  client_top=$((menu_top + menu_bar))
}

# The Program and Exit buttons: 75 x 25 at client (5, H - 75) and (W - 85, H - 75).
click_program() { click_at $((client_left + 5 + 37)) $((client_top + main_h - 75 + 12)); }
click_exit() { click_at $((client_left + main_w - 85 + 37)) $((client_top + main_h - 75 + 12)); }

# Row ROW's edit box: 50 x 20 at client (W - 60, 5 + 22 x ROW).
click_edit_box() { click_at $((client_left + main_w - 60 + 25)) $((client_top + 5 + 22 * $1 + 10)); }

# Sets ROW's box to TEXT: click, select all, erase, type.
type_into_box() {
  click_edit_box "$1"
  press ctrl+a BackSpace
  if [ -n "$2" ]; then type_text "$2"; fi
}

# Opens the menu bar title at X (relative to the main window); waits until a new window (the
# menu or, for a command title, its dialog) is mapped and sets opened_window to it. A click that
# came before the window took input is repeated.
click_menu_title() {
  local before _
  before=$(tool_windows)
  for _ in 1 2 3; do
    click_at $((client_left + $1)) $((menu_top + menu_bar / 2))
    # shellcheck disable=SC2086  # one id a word
    opened_window=$(new_window 4 $before)
    [ -z "$opened_window" ] || return 0
  done
  case_fail "nothing opened on a click on the menu bar at x=$1"
}

# Picks the File menu's item that DOWNS presses of Down reach (separators are skipped):
# 1 Open..., 2 Save, 3 Save As..., 4 Exit.
file_menu() {
  click_menu_title "$file_title_x"
  local menu=$opened_window i
  # Painted once it holds still: a change seen later is then a Down's doing.
  last_picture=""
  wait_until 5 picture_steady "$menu" "" || case_fail "the File menu kept changing for 5 s"
  for ((i = 0; i < $1; i++)); do menu_down "$menu"; done
  press Return
}

# Presses Down in the open MENU, which shows last_picture, and waits until its highlight has
# moved (the menu's picture changed), so that every Down counts once: a Down that came before
# the popup took the keyboard is pressed again, one that was taken is never repeated.
menu_down() {
  local before=$last_picture _
  for _ in 1 2 3; do
    press Down
    wait_until 5 picture_differs "$1" "" "$before" && return 0
  done
  case_fail "the menu did not move its highlight on Down"
}

# Sets other_windows to the tool's mapped windows other than the main window, once the tool has
# shown that it has handled all earlier input: a click on the File title, queued behind that
# input, opened the File menu (a popup, with no window manager's say), which Escape closes again.
# So a window that should not be there is seen however late it is mapped. With a modal window in
# the way no menu opens, and the windows are taken after the clicks' 12 s.
settled_other_windows() {
  local menu="" w _
  popup_menu() {
    for w in $(tool_windows); do
      if xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
        echo "$w"
        return 0
      fi
    done
    return 1
  }
  for _ in 1 2 3; do
    click_at $((client_left + file_title_x)) $((menu_top + menu_bar / 2))
    menu=$(wait_until 4 popup_menu) && break
  done
  other_windows=$(tool_windows | grep -vx -e "$main_window" -e "${menu:-none}" || true)
  if [ -n "$menu" ]; then
    press Escape
    wait_until 5 window_gone "$menu" || case_fail "the File menu did not close on Escape"
  fi
}

# Answers the file dialog (the window titled TITLE) with PATH typed into its name box.
answer_file_dialog() {
  local title=$1 path=$2 dialog _
  dialog=$(find_window "$title" 15)
  [ -n "$dialog" ] || case_fail "the file dialog \"$title\" did not appear"
  window_geometry "$dialog"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  # Typing goes to the dialog once it has the keyboard, and stays in the name box once the
  # dialog has listed its folder: its list (the middle of the dialog) holds still.
  wait_until 15 window_focused "$dialog" ||
    case_fail "the file dialog \"$title\" did not take the keyboard"
  local list="$((WIDTH * 3 / 4))x$((HEIGHT / 2))+$((WIDTH / 5))+$((HEIGHT / 5))"
  last_picture=""
  wait_until 15 picture_steady "$dialog" "$list" ||
    case_fail "the file dialog \"$title\" kept changing its list for 15 s"
  press ctrl+a BackSpace
  xdotool type --delay 20 -- "$path"
  # A completion list may take the first Return.
  for _ in 1 2 3; do
    press Return
    wait_until 5 window_gone "$dialog" && return 0
  done
  case_fail "the file dialog \"$title\" did not take $path"
}

# --- What the screen shows, and the programming dialog.
source "$(dirname "${BASH_SOURCE[0]}")/screen.sh"
source "$(dirname "${BASH_SOURCE[0]}")/program-run.sh"

# --- The Windows executable runs under Wine, with Wine's quirks answered in one place.
[[ ${app_binary:-} != *.exe ]] || source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
