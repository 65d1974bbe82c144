#!/usr/bin/env bash
# End to end: the tool looks the same on any desktop. Under a dark desktop theme every text keeps
# a contrast of at least 4.5:1 against the pixels behind it (the classic light dialog face stays);
# with a large desktop font or font resolution, the main window and the programming dialog are
# pixel for pixel what they are with the default font, so nothing overlaps or is cut that is not
# at the default. Windows of a fixed size offer the close box only.
#
#   desktops.sh UNIVERSAL_PROGRAMMER
#
# Exits 0 when every case passed, 77 when Xvfb, xdotool, xprop, xwininfo, ImageMagick or Qt's
# GTK platform theme (qt6-gtk-platformtheme) is missing (a skip), 1 otherwise.
set -euo pipefail

app_binary=${1:?usage: desktops.sh UNIVERSAL_PROGRAMMER}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../lib/tool.sh"
gtk_theme_plugin=$(find /usr/lib/*/qt6/plugins/platformthemes -name 'libqgtk3.so' 2>/dev/null | head -n 1)
[ -n "$gtk_theme_plugin" ] || {
  echo "skipped: Qt's GTK platform theme is not installed (scripts/install-deps.sh installs it)"
  exit 77
}
e2e_begin import compare convert

write_config "$work/three.inf" "Desktop Check" '"360" "260"' 3

# Prints the contrast ratio (times 100) between the commonest colour of the screen rectangle
# X Y WIDTH HEIGHT (the ground) and the pixel that differs most from it (the text's core).
contrast_x100() {
  import -window root -crop "$3x$4+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | awk '
    function lin(c) { c /= 255; return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
    {
      key = $1 " " $2 " " $3
      if (++count[key] > best) { best = count[key]; ground = key }
    }
    END {
      split(ground, g, " ")
      lg = 0.2126 * lin(g[1]) + 0.7152 * lin(g[2]) + 0.0722 * lin(g[3])
      worst = 1
      for (key in count) {
        split(key, c, " ")
        l = 0.2126 * lin(c[1]) + 0.7152 * lin(c[2]) + 0.0722 * lin(c[3])
        r = l > lg ? (l + 0.05) / (lg + 0.05) : (lg + 0.05) / (l + 0.05)
        if (r > worst) worst = r
      }
      printf "%d\n", worst * 100
    }'
}

# Fails unless the text in the rectangle X Y WIDTH HEIGHT, named NAME, has a contrast of 4.5:1.
check_contrast() {
  local ratio
  ratio=$(contrast_x100 "$1" "$2" "$3" "$4")
  note "$5: contrast $((ratio / 100)).$((ratio % 100 / 10)):1"
  [ "$ratio" -ge 450 ] || fail "$5 has a contrast of $((ratio / 100)).$((ratio % 100)):1, below 4.5:1"
}

# The tool in the desktop set up by the caller's environment: its main window and programming
# dialog checked for contrast, then both captured into PREFIX-main.png and PREFIX-program.png
# (the first box's caret, which blinks, painted over).
run_and_capture() {
  local prefix=$1
  start_tool "$work/three.inf"
  find_main_window 10
  check_contrast $((main_x + 5)) $((client_top + 5)) $((main_w - 75)) 66 "the form's labels"
  check_contrast $((main_x + 5)) $((client_top + main_h - 75)) 75 25 "the Program button"
  import -window root -crop "${main_w}x${main_h}+${main_x}+${main_y}" +repage "$prefix-shot.png"
  convert "$prefix-shot.png" -fill black \
    -draw "rectangle $((main_w - 64)),$((menu_bar + 2)) $((main_w - 6)),$((menu_bar + 30))" \
    "$prefix-main.png"
  click_program
  find_program_dialog 10 || fail "the programming dialog did not appear"
  check_contrast $((dialog_x + 10)) $((dialog_y + 10)) $((dialog_w - 20)) 25 "the status line"
  import -window "$dialog" "$prefix-program.png"
  stop_processes "$app_pid"
  app_pid=""
}

# Fails unless the two pictures are pixel for pixel the same.
same_pictures() {
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$differing" = 0 ] || fail "$3: $differing pixels differ from the default font's ($1, $2)"
}

dark_theme_keeps_the_light_face() {
  export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
  run_and_capture "$work/dark"
  screenshot dark
}

# The default first, then the large font, each in a desktop of its own (HOME).
large_font_changes_nothing() {
  local how=$1 base="$work/font-$BASHPID"
  export HOME="$base-home"
  mkdir -p "$HOME/.config/gtk-3.0"
  run_and_capture "$base-default"
  case $how in
    gtk) printf '[Settings]\ngtk-font-name=DejaVu Sans 15\n' >"$HOME/.config/gtk-3.0/settings.ini"
      export QT_QPA_PLATFORMTHEME=gtk3 ;;
    dpi) export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI=144 ;;
  esac
  run_and_capture "$base-large"
  if [ "$how" = dpi ]; then
    # The style spaces the menu bar's titles by the font resolution: the bar is left out here.
    local picture
    for picture in "$base-default-main.png" "$base-large-main.png"; do
      convert "$picture" -crop "+0+$menu_bar" +repage "$picture"
    done
  fi
  same_pictures "$base-default-main.png" "$base-large-main.png" "the main window"
  same_pictures "$base-default-program.png" "$base-large-program.png" "the programming dialog"
}

# Fails unless the window WINDOW, named NAME, asks the window manager for no minimise and no
# maximise (functions 8 and 16 of its _MOTIF_WM_HINTS, and decorations 32 and 64).
close_only() {
  local hints functions decorations
  hints=$(xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
  [ -n "$hints" ] || return 0 # no hints: the window manager's defaults for a fixed size
  IFS=, read -r _ functions decorations _ <<<"$hints"
  ((!(functions & 0x18) && !(decorations & 0x60))) ||
    fail "$2 offers minimise or maximise (_MOTIF_WM_HINTS $hints)"
}

fixed_windows_offer_close_only() {
  start_tool "$work/three.inf"
  find_main_window 10
  close_only "$main_window" "the main window"
  click_program
  find_program_dialog 10 || fail "the programming dialog did not appear"
  close_only "$dialog" "the programming dialog"
}

run_case "Fixed-size windows offer close only" 30 fixed_windows_offer_close_only
run_case "Under a dark theme every text has a contrast of 4.5:1" 60 dark_theme_keeps_the_light_face
run_case "A 15 pt desktop font leaves the windows as they are" 90 large_font_changes_nothing gtk
run_case "A font resolution of 144 dpi leaves the windows as they are" 90 \
  large_font_changes_nothing dpi

e2e_end
