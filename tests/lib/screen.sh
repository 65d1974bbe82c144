# What a person sees of the tool's windows beyond their being mapped, for the scripts that wait
# for a state instead of sleeping: which window has the keyboard, and the pixels of a window or
# of a part of it. Sourced by tool.sh, not run. Whole pictures are read with ImageMagick's import:
# a script that uses them names `import` to e2e_begin, which skips the script without it.

# True when WINDOW has the keyboard focus. With no window manager only the tool moves the focus,
# so this is the tool's own doing: a click on a window, a dialog shown or closed.
window_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# Prints a digest of WINDOW's pixels, of the rectangle GEOMETRY (WxH+X+Y in the window's pixels)
# when given; false when the window could not be read.
window_picture() {
  local digest
  digest=$(
    set -o pipefail
    import -window "$1" ${2:+-crop "$2"} -depth 8 rgb:- 2>/dev/null | md5sum
  ) || return 1
  echo "${digest%% *}"
}

# True when WINDOW (GEOMETRY, "" for all of it) no longer shows the picture DIGEST; sets
# last_picture to what it shows then.
picture_differs() {
  local now
  now=$(window_picture "$1" "$2") || return 1
  [ "$now" != "$3" ] || return 1
  last_picture=$now
}

# True when WINDOW's GEOMETRY shows what it showed at the previous call, for wait_until: its poll
# interval (and the reading itself) is the time the picture held still. Start a wait with
# last_picture="".
last_picture=""
picture_steady() {
  local now
  now=$(window_picture "$1" "$2") || return 1
  [ "$now" = "$last_picture" ] && return 0
  last_picture=$now
  return 1
}

# Prints the brightness (0..255, the mean of red, green and blue) of the darkest pixel of the
# screen's rectangle X Y WIDTH HEIGHT; false when it could not be read. Through the panel probe
# (`probe`): one request to the display server, cheap enough to poll while the tool transmits.
darkest_pixel() { "$probe" --darkest "$@"; }

# Pacing, never a wait for a state: sleeps until the clock (now_ms) reads MS, at once when past.
# For keys that must come at given moments of a run, whatever each xdotool call costs.
pace_until_ms() {
  local left=$(($1 - $(now_ms)))
  ((left > 0)) || return 0
  sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
}
