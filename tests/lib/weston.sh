# Shared by the tests that run the real tool on Wayland: sourced after x-display.sh, not run. The
# caller defines `work` and `fail MESSAGE`, starts its X display, then calls start_weston.
#
# Input: the headless backend of Weston has no seat at all (no keyboard, no pointer), and Debian
# offers no tool that injects input into Weston (wtype needs a virtual-keyboard protocol Weston
# does not offer; ydotool needs a kernel input device, which only Weston's DRM backend reads). So
# Weston runs with its X11 backend inside the test's own Xvfb: its seat is fed by the X server, and
# keys and clicks sent with xdotool reach the tool as ordinary Wayland input events from the
# compositor. Where to click is found in the compositor's screenshots, never assumed from a
# decoration theme.

# Exits 77 (CTest's skip) when Weston, its screenshooter, Qt's wayland plugin (looked for in
# QT_PLUGIN_DIR), Xvfb, xdotool or ImageMagick is missing.
require_weston() {
  local qt_plugins=$1 tool
  for tool in weston weston-screenshooter Xvfb xdotool convert; do
    command -v "$tool" >/dev/null ||
      { echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"; exit 77; }
  done
  [ -e "$qt_plugins/platforms/libqwayland-generic.so" ] || {
    echo "skipped: Qt's wayland platform plugin is not in $qt_plugins/platforms (qt6-wayland)"
    exit 77
  }
  weston --help 2>&1 | grep -q 'x11-backend' ||
    { echo "skipped: weston has no X11 backend"; exit 77; }
}

# The compositor's output, and where the pointer rests between clicks: inside the output, so that
# the compositor has the keyboard, and in its corner, so that it hides no window's edge.
readonly output_width=1024 output_height=768
# A colour that nothing of the tool's is drawn in: every changed pixel on it is the tool's.
readonly background=204060

# Starts Weston nested in the X display with a plain background and nothing else on its output;
# further lines for its [shell] section may be given. Sets weston_pid, output_x and output_y (where
# the output is on the X display, for the panel sampler) and exports WAYLAND_DISPLAY. Waits until
# the background shows.
start_weston() {
  {
    printf '[core]\nidle-time=0\n\n[shell]\npanel-position=none\nbackground-color=0xff%s\n' \
      "$background"
    printf 'locking=false\nstartup-animation=none\nclose-animation=none\n'
    printf '%s\n' "$@"
    printf '\n[input-method]\npath=\n'
  } >"$work/weston.ini"
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
  export WAYLAND_DISPLAY=$socket
  mkdir -p "$work/shot"
  park_pointer
  desktop_ready() { screenshot desktop && [ "$(pixel_at desktop 10 10)" = "$background" ]; }
  wait_until 20 desktop_ready || fail "the compositor did not show its background"
  echo "Wayland display $WAYLAND_DISPLAY, output at +$output_x+$output_y"
}

park_pointer() {
  xdotool mousemove $((output_x + output_width - 1)) $((output_y + output_height - 1))
}
# Clicks at output coordinates.
click_at() {
  xdotool mousemove $((output_x + $1)) $((output_y + $2)) click 1
  park_pointer
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
  convert "$work/$1.png" "$work/$2.png" -compose difference -composite -threshold 0 \
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
exit_with_escape() {
  xdotool key Escape
  app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
  wait_until 10 app_ended || fail "the tool did not end after Escape"
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
