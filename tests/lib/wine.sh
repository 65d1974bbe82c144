# The Windows executable under Wine, for the same end-to-end scripts that drive the Linux one:
# sourced by tool.sh last, when the executable's name ends in .exe, so that every difference
# between the two ways of running the tool is chosen here and nowhere else. Each function below
# replaces tool.sh's function of the same name.
#
# The prefix: E2E_WINE_PREFIX, else wine-desktop beside the executable. It is a prefix of its own,
# not the one of the Windows build's unit tests, which runs Wine's null graphics driver: this one
# draws on X. A script's Wine session is started on the script's own display (a persistent
# wineserver, the prefix booted) and ended with it, so two scripts must not share a prefix at the
# same time (CTest: a resource lock per prefix; the build has two, so that two scripts run at once).
#
# What differs under Wine, with no window manager:
# - The X window of a top-level window is its client area with the menu bar: Wine draws no caption
#   and no border there, yet lays the window out as if it had them. The tool puts its main window
#   at the screen's top-left corner, so the X window's position there is the frame's left and top
#   side; the outer size (what AppSize sets) is the X window's size plus the frame.
# - Keys reach a Wine window only while it has the X focus, and Wine takes the focus neither on a
#   click nor when it shows a dialog: what a window manager would do on a click, giving the X
#   focus to the window the person works in (the tool's topmost), is done before each click and key.
# - Wine's own Open and Save As dialogs: a path typed into the name box takes a drive letter
#   (Wine's Z: is the root of the Linux file system).
# - Starting and ending take longer: Wine's process lingers seconds after its last window closed.

# Wine's process may go on for seconds after the tool's last window has closed (measured up to
# 4 s on this machine, no window manager): a Wine trait, not the tool's.
exit_after_last_window=8
# Wine's menu bar with the dialog font: 19 px at 96 dpi, and as much more as the font grows.
menu_bar=$((19 * ${E2E_WINE_DPI:-96} / 96))

# The message box is Wine's own: Wine sizes it for its text and buttons only, with no room for a
# caption, which a window manager would draw (and Windows' own box makes room for).
skip_caption_fit="under Wine the message box is Wine's, sized by Wine for its text alone"

# Under Wine a run's swaps came with outliers of 25 to 60 ms that the Linux tool did not show on
# the same machine (about one run in three failed to decode), until the wineserver ran in the
# real-time class beside Xvfb and the sampler (session_begin); one more run is still allowed
# before the packet is judged missing.
decode_attempts=3

tool_file=universal-programmer.exe
# Wine ignores the tool's request for a time-critical thread (SetThreadPriority): its threads stay
# in Linux's normal class, and the panels' swaps then come as late as any busy process makes
# them. Started in the real-time class where that is permitted, the tool gets what it asks for
# on Windows.
run_tool() { run_real_time wine "$@"; }

wine_prefix=$(realpath -m "${E2E_WINE_PREFIX:-$(dirname "$app_binary")/wine-desktop}")
export WINEPREFIX=$wine_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The prefix made when missing (about 30 s), with Wine's own fonts (without them Debian's Wine
# lays dialogs out in another face and size) and the X11 graphics driver; then a wineserver that
# stays up and the prefix booted on this display, so that each start of the tool takes about a
# second. Wine's helper processes outlive the commands: they print into a log, never into the
# caller's output, which CTest waits on.
session_begin() {
  require_tools wine wineserver
  "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$wine_prefix" ||
    fail "the Wine prefix $wine_prefix could not be made"
  # The wineserver does for a Wine program what Windows' kernel does for it: the tool's calls for
  # its messages and its painting wait on it. In the normal class it held 1 run in 21 up by 24 ms
  # with Xvfb and the sampler already raised, and none of 20 once raised itself (worst 10.5 ms).
  (run_real_time wineserver -p) </dev/null >>"$wine_prefix.log" 2>&1
  # The screen's resolution the tool lays itself out against: E2E_WINE_DPI, else 96 (100 %).
  # Set at every start, so that a script ended midway at another leaves no trace.
  # This step once failed silently (1 run of the Windows suite in 6, beside its unit suites), and
  # the same script passed in every run before and after: Wine's own errors of it go to the log,
  # and it is tried once more, out loud, before the script gives up. The setting is Wine's.
  local status=0
  set_resolution || status=$?
  if [ "$status" -ne 0 ]; then
    echo "setting the resolution in $wine_prefix failed (status $status): once more." \
      "The log ends with: $(tail -n 5 "$wine_prefix.log")"
    wineserver -k </dev/null >>"$wine_prefix.log" 2>&1 || true
    (run_real_time wineserver -p) </dev/null >>"$wine_prefix.log" 2>&1
    set_resolution || fail "the resolution could not be set in $wine_prefix (status $?)"
  fi
  wine wineboot </dev/null >>"$wine_prefix.log" 2>&1 || fail "wineboot failed (see $wine_prefix.log)"
  echo "Wine session in $wine_prefix at ${E2E_WINE_DPI:-96} dpi; under Wine a process may take" \
    "up to $exit_after_last_window s to end after its last window closed (Wine's, not the tool's)"
}

set_resolution() {
  WINEDEBUG=err+all wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "${E2E_WINE_DPI:-96}" /f </dev/null >>"$wine_prefix.log" 2>&1
}

# A Linux path as a Windows program takes it: through Wine's drive Z:, the file system's root.
tool_path() { echo "Z:${1//\//\\}"; }

# Ends the prefix's wineserver and every process of the prefix (and only those).
session_end() { wineserver -k </dev/null >>"$wine_prefix.log" 2>&1 || true; }

# The tool's topmost mapped window that takes the focus (menus and Wine's hidden helper windows
# do not); empty when it has none. xdotool lists windows bottom to top.
top_tool_window() {
  local w top=""
  for w in $(tool_windows); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' && top=$w
  done
  echo "$top"
}

# Gives the X focus to the tool's topmost window, as a window manager does on a click in it.
focus_tool() {
  [ -n "${app_pid:-}" ] || return 0
  local top
  top=$(top_tool_window)
  [ -n "$top" ] || return 0
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$top" ] ||
    xdotool windowfocus --sync "$top" 2>/dev/null || true
}

# The window that gets the keys: with the X focus given as above, the tool's topmost window.
window_focused() { [ "$(top_tool_window)" = "$1" ]; }

click_at() {
  focus_tool
  xdotool mousemove "$1" "$2" click 1
}
press() {
  focus_tool
  xdotool key --delay 60 "$@"
}
type_text() {
  focus_tool
  xdotool type --delay 30 -- "$1"
}

# The main window's X window lacks the frame: the outer rectangle from the frame's sides, read
# from where the X window lies (the window itself is at the screen's origin).
add_window_frame() {
  frame_left=$main_x frame_top=$main_y
  client_left=$main_x menu_top=$main_y
  main_x=0 main_y=0
  main_w=$((main_w + 2 * frame_left)) main_h=$((main_h + frame_top + frame_left))
}

# The outer size of a top-level window whose X window is W x H: the main window's frame added.
outer_size() { echo "$(($1 + 2 * frame_left)) $(($2 + frame_top + frame_left))"; }

# Wine's Save As and Open dialogs: the name box has the dialog's focus once the dialog is shown;
# the path goes in with Wine's drive letter for the root, and Return takes it.
answer_file_dialog() {
  local title=$1 path=$2 dialog _
  dialog=$(find_window "$title" 15)
  [ -n "$dialog" ] || case_fail "the file dialog \"$title\" did not appear"
  window_geometry "$dialog"
  # Typing stays in the name box once the dialog has listed its folder: its list holds still.
  local list="$((WIDTH * 3 / 4))x$((HEIGHT / 2))+$((WIDTH / 5))+$((HEIGHT / 6))"
  last_picture=""
  wait_until 15 picture_steady "$dialog" "$list" ||
    case_fail "the file dialog \"$title\" kept changing its list for 15 s"
  local windows_path="Z:${path//\//\\}"
  press ctrl+a BackSpace
  type_text "$windows_path"
  for _ in 1 2 3; do
    press Return
    wait_until 5 window_gone "$dialog" && return 0
  done
  case_fail "the file dialog \"$title\" did not take $windows_path"
}
