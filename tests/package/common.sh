# Shared by the package tests: sourced, not run. Sets up a scratch folder and its cleanup, and
# offers the checks that the installed tree, the .deb and the device maker's folder have in common.
# The caller sets SOURCE_DIR (the project's sources) before sourcing.

source "$SOURCE_DIR/tests/lib/x-display.sh"  # require_tools, stop_processes, the display

begin_scratch  # work, its cleanup at exit, fail



# The file type of saved settings that the install declares and the desktop entry opens.
readonly settings_type=application/x-universal-programmer-settings
readonly desktop_id=org.universalprogrammer.UniversalProgrammer.desktop

# The window title the example config.inf gives.
example_title() {
  sed -n 's/^AppName "\(.*\)"\r\{0,1\}$/\1/p' "$SOURCE_DIR/res/config.inf" | head -n 1
}

# The files and links of the system layout under PREFIX (no directories), sorted: what
# `cmake --install` and the .deb must hold, no more and no less.
expected_system_tree() {
  local prefix=$1 size doc
  {
    echo "$prefix/bin/universal-programmer"
    echo "$prefix/lib/universal-programmer/universal-programmer"
    echo "$prefix/lib/universal-programmer/config.inf"
    echo "$prefix/share/applications/org.universalprogrammer.UniversalProgrammer.desktop"
    echo "$prefix/share/metainfo/org.universalprogrammer.UniversalProgrammer.metainfo.xml"
    echo "$prefix/share/mime/packages/universal-programmer.xml"
    for size in 32 48 64 128 256; do
      echo "$prefix/share/icons/hicolor/${size}x${size}/apps/universal-programmer.png"
    done
    echo "$prefix/share/icons/hicolor/scalable/apps/universal-programmer.svg"
    echo "$prefix/share/man/man1/universal-programmer.1.gz"
    echo "$prefix/share/doc/universal-programmer/README.md"
    echo "$prefix/share/doc/universal-programmer/copyright"
    echo "$prefix/share/doc/universal-programmer/changelog.gz"
    for doc in "$SOURCE_DIR"/docs/*.md "$SOURCE_DIR"/docs/*.png; do
      [ -e "$doc" ] && echo "$prefix/share/doc/universal-programmer/docs/${doc##*/}"
    done
  } | LC_ALL=C sort
}

# Checks the system layout installed under ROOT (a staging folder or an unpacked .deb) with the
# given PREFIX: exactly the expected files, a relative bin/ link to the real executable, icons of
# the sizes their folders name, a desktop entry and AppStream data that validate and name what is
# installed.
check_system_tree() {
  local root=$1 prefix=$2
  local actual
  actual=$(cd "$root" && find . ! -type d | sed 's|^\.||' | LC_ALL=C sort)
  if [ "$actual" != "$(expected_system_tree "$prefix")" ]; then
    diff <(expected_system_tree "$prefix") <(echo "$actual") >&2 || true
    fail "the installed files differ from the expected layout (- expected, + installed)"
  fi

  local link=$root$prefix/bin/universal-programmer
  [ -L "$link" ] || fail "bin/universal-programmer is not a link"
  [[ $(readlink "$link") != /* ]] || fail "bin/universal-programmer is an absolute link"
  [ "$(readlink -f "$link")" = "$(readlink -f "$root$prefix/lib/universal-programmer/universal-programmer")" ] ||
    fail "bin/universal-programmer does not lead to lib/universal-programmer/universal-programmer"
  [ -x "$root$prefix/lib/universal-programmer/universal-programmer" ] ||
    fail "the executable is not executable"
  cmp -s "$root$prefix/lib/universal-programmer/config.inf" "$SOURCE_DIR/res/config.inf" ||
    fail "the installed config.inf is not the example"

  local size png
  for size in 32 48 64 128 256; do
    png=$root$prefix/share/icons/hicolor/${size}x${size}/apps/universal-programmer.png
    [ "$(png_size "$png")" = "$size $size" ] ||
      fail "$png is not a ${size}x${size} PNG (it is: $(png_size "$png"))"
  done

  local desktop=$root$prefix/share/applications/org.universalprogrammer.UniversalProgrammer.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
  [ "$(desktop_key "$desktop" Exec)" = "universal-programmer %f" ] ||
    fail "the desktop entry's Exec is not the installed command with the file opened"
  [ "$(desktop_key "$desktop" MimeType)" = "$settings_type;" ] ||
    fail "the desktop entry's MimeType is not the saved-settings type $settings_type"
  [ "$(desktop_key "$desktop" Icon)" = universal-programmer ] ||
    fail "the desktop entry's Icon is not the installed icon's name"
  timeout 60 appstreamcli validate-tree --no-net --pedantic "$root" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli rejects the installed AppStream data: $(cat "$work/appstream.log")"
  timeout 60 appstreamcli validate --no-net \
    "$root$prefix/share/metainfo/org.universalprogrammer.UniversalProgrammer.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo file"
  echo "the installed tree has the expected layout and its desktop files validate"
}

# Prints the width and height of a PNG from its header, or nothing when it is no PNG.
png_size() {
  [ "$(head -c 8 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "$w $h"
}

# The value of KEY in a desktop entry's main group.
desktop_key() {
  sed -n "s/^$2=//p" "$1" | head -n 1
}

# Starts EXECUTABLE from another current folder on the display and waits up to 20 s for its
# window titled TITLE. Checks that the window's WM_CLASS is WM_CLASS_EXPECTED (when given), then
# ends the tool. The display must be started first.
start_and_find_window() {
  local executable=$1 title=$2 wm_class_expected=${3:-}
  mkdir -p "$work/elsewhere"
  (cd "$work/elsewhere" && exec "$executable") >"$work/app.log" 2>&1 &
  app_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null |
    head -n 1) || true
  [ -n "$window" ] || fail "no window titled \"$title\" appeared from $executable"
  if [ -n "$wm_class_expected" ]; then
    local wm_class
    wm_class=$(timeout 10 xprop -id "$window" WM_CLASS)
    [[ $wm_class == *", \"$wm_class_expected\"" ]] ||
      fail "the window's class is not the desktop entry's StartupWMClass $wm_class_expected: $wm_class"
  fi
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
  echo "started $executable from another folder: its window \"$title\" appeared"
}

# The desktop's side of the install under ROOT with PREFIX, as a desktop session that lists
# ROOT/PREFIX/share among its data folders sees it once the caches are up to date (the .deb's
# triggers and `cmake --install` update them; here on copies, leaving the installed tree as it
# is): `xdg-mime` gives a .tss the saved-settings type and names the tool as its application, and
# `xdg-open` of a .tss starts the installed tool with that file, which shows it the way File >
# Open does: a file of settings the example form lacks brings the form up with a message over it.
# Needs a display; `xdg-mime` and `xdg-open` work as outside any known desktop.
check_settings_file_type() {
  local root=$1 prefix=$2 data=$work/xdg-data
  mkdir -p "$data" "$work/xdg-home" "$work/xdg-config"
  cp -r "$root$prefix/share/mime" "$root$prefix/share/applications" "$data/"
  XDG_DATA_DIRS=$data update-mime-database "$data/mime" ||
    fail "update-mime-database rejects the installed type"
  update-desktop-database -q "$data/applications" || fail "update-desktop-database failed"
  local -a session=(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION
    -u GNOME_DESKTOP_SESSION_ID XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$work/xdg-home"
    XDG_CONFIG_HOME="$work/xdg-config" XDG_CONFIG_DIRS="$work/xdg-config"
    PATH="$root$prefix/bin:$PATH")

  printf 'other "1"\n' >"$work/other-device.tss"
  local type default
  type=$("${session[@]}" xdg-mime query filetype "$work/other-device.tss") || true
  [ "$type" = "$settings_type" ] || fail "xdg-mime gives a .tss the type \"$type\", not $settings_type"
  default=$("${session[@]}" xdg-mime query default "$settings_type") || true
  [ "$default" = "$desktop_id" ] ||
    fail "xdg-mime names \"$default\" as the application of $settings_type, not $desktop_id"
  echo "xdg-mime: a .tss is $type, opened by $default"

  (cd "$work" && exec "${session[@]}" xdg-open "$work/other-device.tss") >"$work/app.log" 2>&1 &
  app_pid=$!
  local window box
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$(example_title)\$" 2>/dev/null |
    head -n 1) || true
  [ -n "$window" ] || fail "xdg-open of a .tss started no tool showing \"$(example_title)\""
  box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Universal Programmer$' 2>/dev/null |
    head -n 1) || true
  [ -n "$box" ] || fail "the tool started by xdg-open showed no message about the file it was given"
  local tool_pid
  tool_pid=$(xdotool getwindowpid "$window")
  stop_processes "$tool_pid" "$app_pid"
  app_pid=""
  echo "xdg-open of a .tss started the installed tool, which opened the file"
}
