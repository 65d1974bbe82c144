# Shared by the tests that run the real tool on Wayland: sourced after x-display.sh, not run. The
# caller calls begin_wayland_scratch, starts its X display, then calls start_weston (or, without an
# X display, start_headless_weston).
#
# Input: the headless backend of Weston has no seat at all (no keyboard, no pointer), and Debian
# offers no tool that injects input into Weston (wtype needs a virtual-keyboard protocol Weston
# does not offer; ydotool needs a kernel input device, which only Weston's DRM backend reads). So
# Weston runs with its X11 backend inside the test's own Xvfb: its seat is fed by the X server, and
# keys and clicks sent with xdotool reach the tool as ordinary Wayland input events from the
# compositor. Where to click is found in the compositor's screenshots, never assumed from a
# decoration theme.

# Exits 77 (CTest's skip) when Weston, its screenshooter, Qt's wayland plugin (looked for in
# QT_PLUGIN_DIR) or ImageMagick is missing; for Weston nested in X (the default), also Xvfb,
# xdotool or Weston's X11 backend; for `headless`, Weston's headless backend.
require_weston() {
  local qt_plugins=$1 backend=${2:-x11} tool tools=(weston weston-screenshooter convert)
  [ "$backend" = headless ] || tools+=(Xvfb xdotool)
  for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null ||
      { echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"; exit 77; }
  done
  [ -e "$qt_plugins/platforms/libqwayland-generic.so" ] || {
    echo "skipped: Qt's wayland platform plugin is not in $qt_plugins/platforms (qt6-wayland)"
    exit 77
  }
  weston --help 2>&1 | grep -q "$backend-backend" ||
    { echo "skipped: weston has no $backend backend"; exit 77; }
}

# The compositor's output.
readonly output_width=1024 output_height=768
# A colour that nothing of the tool's is drawn in: every changed pixel on it is the tool's.
readonly background=204060

# For a Wayland test script: a scratch folder `work`, removed at exit once the panel sampler
# (`sampler_pid`), the tool (`app_pid`), Weston (`weston_pid`) and the X display (`xvfb_pid`) have
# been ended, also when a timeout ends the script; KEEP_SCREENSHOTS=FOLDER keeps the compositor's
# screenshots there, to see what the test saw. And `fail MESSAGE`, which reports with the tool's
# and the compositor's output and exits 1.
begin_wayland_scratch() {
  work=$(mktemp -d)
  xvfb_pid="" weston_pid="" app_pid="" sampler_pid=""
  trap end_wayland_scratch EXIT
  trap 'exit 1' HUP INT TERM
}
end_wayland_scratch() {
  stop_processes "$sampler_pid" "$app_pid" "$weston_pid" "$xvfb_pid"
  if [ -n "${KEEP_SCREENSHOTS:-}" ]; then
    mkdir -p "$KEEP_SCREENSHOTS"
    cp "$work"/*.png "$KEEP_SCREENSHOTS"/ 2>/dev/null || true
  fi
  rm -rf "$work"
}
fail() {
  echo "FAIL: $*" >&2
  local log
  for log in app weston; do
    if [ -s "$work/$log.log" ]; then
      echo "--- $log output:" >&2
      tail -n 40 "$work/$log.log" >&2
    fi
  done
  exit 1
}

# Starts the tool on Wayland (no X display to fall back on), from a folder of its own with a
# config.inf titled TITLE, of WIDTH x HEIGHT, with SETTINGS empty byte settings, and its current
# folder elsewhere. Sets app_pid; its output goes to $work/app.log.
start_tool_on_wayland() {
  local title=$1 width=$2 height=$3 count=$4 i
  mkdir "$work/tool" "$work/elsewhere"
  cp "$app_binary" "$work/tool/universal-programmer"
  {
    printf 'AppName "%s"\nAppSize "%d" "%d"\nAppInfo "Wayland test device"\n' "$title" "$width" \
      "$height"
    for ((i = 0; i < count; i++)); do printf 'ID "s%d" "BYTE"\nName "Setting %d"\n' "$i" "$i"; done
  } >"$work/tool/config.inf"
  (cd "$work/elsewhere" &&
    exec env -u DISPLAY QT_QPA_PLATFORM=wayland "$work/tool/universal-programmer") \
    >"$work/app.log" 2>&1 &
  app_pid=$!
}

# Writes $work/weston.ini: a plain background and nothing else on the output; further lines for
# its [shell] section may be given.
write_weston_ini() {
  {
    printf '[core]\nidle-time=0\n\n[shell]\npanel-position=none\nbackground-color=0xff%s\n' \
      "$background"
    printf 'locking=false\nstartup-animation=none\nclose-animation=none\n'
    printf '%s\n' "$@"
    printf '\n[input-method]\npath=\n'
  } >"$work/weston.ini"
}

# Starts Weston nested in the X display with a plain background and nothing else on its output;
# further lines for its [shell] section may be given. Sets weston_pid, output_x and output_y (where
# the output is on the X display, for the panel sampler) and exports WAYLAND_DISPLAY. Waits until
# the background shows.
start_weston() {
  write_weston_ini "$@"
  local socket="wayland-test-$$"
  weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --debug \
    --socket="$socket" --width=$output_width --height=$output_height --idle-time=0 \
    >"$work/weston.log" 2>&1 &
  weston_pid=$!
  local output_window
  output_window=$(timeout 20 xdotool search --sync --onlyvisible --class '^Weston' | head -n 1) ||
    true
  [ -n "$output_window" ] || fail "Weston did not open its output window"
  eval "$(xdotool getwindowgeometry --shell "$output_window" | grep -E '^(X|Y)=[0-9]+$')"
  output_x=$X output_y=$Y
  # The X keyboard focus stays on the compositor's window, wherever the pointer goes. Without a
  # window manager it would follow the pointer, and the compositor drops its own keyboard focus
  # each time the pointer leaves its window.
  xdotool windowfocus --sync "$output_window"
  export WAYLAND_DISPLAY=$socket
  mkdir -p "$work/shot"
  # The pointer is moved only once the output has been drawn (see move_pointer), and must then
  # show in its resting corner, no longer at the top-left one, before any screenshot is judged.
  background_shown() { screenshot desktop && [ "$(pixel_at desktop 40 40)" = "$background" ]; }
  wait_until 20 background_shown || fail "the compositor did not show its background"
  park_pointer
  pointer_parked() {
    screenshot desktop &&
      [ "$(convert "$work/desktop.png" -crop 40x40+0+0 -unique-colors -format '%w' info:)" = 1 ]
  }
  wait_until 10 pointer_parked || fail "the compositor's pointer did not follow xdotool's move"
  echo "Wayland display $WAYLAND_DISPLAY, output at +$output_x+$output_y"
}

# Starts Weston's headless backend: an output of its own and no seat at all (no keyboard, no
# pointer), with the same plain background. Needs no X display. Sets weston_pid, output_x and
# output_y (0), exports WAYLAND_DISPLAY and waits until the background shows.
start_headless_weston() {
  write_weston_ini
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset DISPLAY QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_FONT_DPI \
    QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
  local socket="wayland-test-$$"
  weston --config="$work/weston.ini" --backend=headless-backend.so --use-pixman --debug \
    --socket="$socket" --width=$output_width --height=$output_height --idle-time=0 \
    >"$work/weston.log" 2>&1 &
  weston_pid=$!
  output_x=0 output_y=0
  export WAYLAND_DISPLAY=$socket
  mkdir -p "$work/shot"
  desktop_ready() {
    kill -0 "$weston_pid" 2>/dev/null || fail "Weston's headless backend ended: $(tail -n 5 \
      "$work/weston.log")"
    screenshot desktop && [ "$(pixel_at desktop 10 10)" = "$background" ]
  }
  wait_until 20 desktop_ready || fail "the headless compositor did not show its background"
  echo "Wayland display $WAYLAND_DISPLAY, headless, no seat"
}

# Moves the pointer to output coordinates X Y, by way of a point outside the output's window.
# Weston's X11 backend follows the X pointer by relative moves (each the difference from the last
# position it saw), clamped to its output. Until the output's first repaint it maps every X
# position to NaN (the output's inverse matrix is not made yet): a pointer event handled before
# then, such as the crossing when its window maps under the X pointer, or a test's first move,
# puts its pointer at (0, 0) and its last position at NaN. From then on it follows the X pointer
# from the wrong place, clamped at the output's edges, for good: its pointer is drawn where no test
# put it, moves towards the top-left corner are lost and clicks land elsewhere. Whether that
# happens depends on how fast it starts (a machine just booted, or a loaded one, is slower). The X
# pointer entering its window gives it the absolute position again; so every move leaves the
# window and comes back in, and the first comes after the output has been drawn (start_weston).
move_pointer() {
  xdotool mousemove $((output_x + output_width + 16)) $((output_y + 16)) \
    mousemove $((output_x + $1)) $((output_y + $2))
}
# Where the pointer rests between clicks: inside the output, so that the compositor has it, and in
# its bottom-right corner, where no window of the tests reaches. Its picture there is left out of
# every comparison of screenshots (changed_box).
park_pointer() {
  move_pointer $((output_width - 1)) $((output_height - 1))
}
readonly pointer_rest_area="$((output_width - 40)),$((output_height - 40)) $((output_width - 1)),$((output_height - 1))"
# Clicks at output coordinates.
click_at() {
  move_pointer "$1" "$2"
  xdotool click 1
  park_pointer
}
# Clicks at output coordinates X Y, then waits up to SECONDS for COMMAND... to hold: a click is
# judged by what it did. One that did nothing is repeated once, and the log says so.
click_until() {
  local x=$1 y=$2 seconds=$3
  shift 3
  click_at "$x" "$y"
  wait_until "$seconds" "$@" && return 0
  echo "the click at ($x, $y) did nothing within $seconds s ($*): clicking once more"
  click_at "$x" "$y"
  wait_until "$seconds" "$@"
}

# Writes the compositor's screenshot to $work/NAME.png.
screenshot() {
  rm -f "$work/shot"/*.png
  (cd "$work/shot" && timeout 10 weston-screenshooter) >/dev/null 2>&1 || return 1
  mv "$work/shot"/*.png "$work/$1.png" 2>/dev/null
}
# Prints the bounding box WxH+X+Y of the pixels that differ between two screenshots (0x0+... when
# none do).
changed_box() {
  convert "$work/$1.png" "$work/$2.png" -fill "#$background" -draw "rectangle $pointer_rest_area" \
    -compose difference -composite -threshold 0 \
    -format '%@' info: 2>/dev/null
}
# Sets BOX_W, BOX_H, BOX_X, BOX_Y from a box WxH+X+Y.
parse_box() {
  [[ $1 =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  BOX_W=${BASH_REMATCH[1]} BOX_H=${BASH_REMATCH[2]}
  BOX_X=${BASH_REMATCH[3]} BOX_Y=${BASH_REMATCH[4]}
}
# Prints the bounding box of the pure black areas at least 25 x 25 (text and lines are thinner) in
# a screenshot: the left flash panel while it is black.
black_panel_box() {
  convert "$work/$1.png" -fill white +opaque black -negate -morphology Open Square:12 \
    -format '%@' info: 2>/dev/null
}
# The colour of one pixel of a screenshot, as rrggbb.
pixel_at() {
  convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}

# Prints the boxes WxH+X+Y of the edit boxes in the window at box WxH+X+Y of screenshot NAME,
# top to bottom, relative to the window: its white areas of about 50 x 20.
edit_boxes() {
  convert "$work/$1.png" -crop "$2" +repage \
    -fill black +opaque white -morphology Open Rectangle:30x12 \
    -define connected-components:verbose=true -define connected-components:area-threshold=100 \
    -connected-components 4 null: 2>/dev/null |
    sed -n 's/^ *[0-9]*: \([0-9]*x[0-9]*+[0-9]*+[0-9]*\) .* srgb(255,255,255)$/\1/p' |
    sort -t+ -k3,3n
}
count_edit_boxes() { edit_boxes "$@" | grep -c .; }

# Prints the box of the left panel, waiting up to 20 s for it; empty when it never showed.
find_left_panel() {
  local box tries=40
  while ((tries-- > 0)); do
    if screenshot dialog; then
      box=$(black_panel_box dialog)
      if parse_box "$box" && [ "$BOX_W" -gt 0 ]; then
        echo "$box"
        return 0
      fi
    fi
    sleep 0.5
  done
  return 1
}
no_left_panel() {
  screenshot closed && parse_box "$(black_panel_box closed)" && [ "$BOX_W" -eq 0 ]
}

# Escape in the main window is Exit: the tool (`app_pid`) must end, with status 0, within 10 s.
# DEBUG_HANG=FILE writes the threads' backtraces of a tool that did not end into FILE (gdb).
exit_with_escape() {
  xdotool key Escape
  app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
  if ! wait_until 10 app_ended; then
    screenshot escape-ignored || true  # kept with KEEP_SCREENSHOTS, to see what the test saw
    if [ -n "${DEBUG_HANG:-}" ]; then
      gdb -batch -p "$app_pid" -ex 'thread apply all bt' > "$DEBUG_HANG" 2>&1 || true
    fi
    fail "the tool did not end after Escape"
  fi
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" -eq 0 ] || fail "the tool ended with status $status"
}

# Prints "x y", one line per button, left to right, for the buttons (minimise, maximise or restore,
# close) of the title bar that Qt draws on Wayland, from screenshot NAME: the glyphs in the right
# part of the band WxH+X+Y (output coordinates), wider than a hairline edge, lower than the band.
title_buttons() {
  local band_w=$2 band_h=$3 band_x=$4 band_y=$5
  convert "$work/$1.png" -crop "${band_w}x${band_h}+${band_x}+${band_y}" +repage \
    -colorspace gray -threshold 50% -negate -define connected-components:verbose=true \
    -define connected-components:area-threshold=4 -connected-components 8 null: 2>/dev/null |
    sed -n 's/^ *[0-9]*: \([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\) .* gray(255)$/\3 \4 \1 \2/p' |
    awk -v right_part=$((band_w * 7 / 10)) -v bx="$band_x" -v by="$band_y" -v bh="$band_h" \
      '$1 >= right_part && $3 >= 5 && $4 < bh - 8 {
        print bx + $1 + int($3 / 2), by + $2 + int($4 / 2)
      }' |
    sort -n
}

# Whether the window whose title bar is the box WxH+X+Y shows itself active: the darkest pixel in
# the bar's middle third (the title, away from the icon and the buttons) is near black, not the
# grey Qt draws an inactive title in.
title_active() {
  screenshot active || return 1
  parse_box "$1"
  local darkest
  local middle_third="$((BOX_W / 3))x${BOX_H}+$((BOX_X + BOX_W / 3))+$BOX_Y"
  darkest=$(convert "$work/active.png" -crop "$middle_third" -colorspace gray \
    -format '%[fx:int(255*minima)]' info: 2>/dev/null)
  ((${darkest:-255} < 96))
}
