#!/usr/bin/env bash
# `cmake --install` into a staging folder (DESTDIR) under the prefix /usr: the tree has exactly the
# expected files, its desktop entry and AppStream data validate, and the tool started through the
# staged bin/ link, from another current folder, finds the example config.inf beside the real file
# (its window shows the example's title, with the WM_CLASS the desktop entry names); and the
# desktop takes a .tss for a saved-settings file that the installed tool opens.
#
#   install_tree.sh SOURCE_DIR BUILD_DIR CMAKE
#
# Exits 0 on success, 77 when a tool it needs is missing (a skip), anything else on failure.
set -euo pipefail
SOURCE_DIR=${1:?usage: install_tree.sh SOURCE_DIR BUILD_DIR CMAKE}
build_dir=${2:?usage: install_tree.sh SOURCE_DIR BUILD_DIR CMAKE}
cmake=${3:?usage: install_tree.sh SOURCE_DIR BUILD_DIR CMAKE}
source "$SOURCE_DIR/tests/package/common.sh"
require_tools Xvfb xdotool xprop desktop-file-validate appstreamcli \
  xdg-mime xdg-open update-mime-database update-desktop-database

stage=$work/stage
DESTDIR=$stage timeout 120 "$cmake" --install "$build_dir" --prefix /usr >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
check_system_tree "$stage" /usr

start_display
desktop=$stage/usr/share/applications/org.universalprogrammer.UniversalProgrammer.desktop
start_and_find_window "$stage/usr/bin/universal-programmer" "$(example_title)" \
  "$(desktop_key "$desktop" StartupWMClass)"
check_settings_file_type "$stage" /usr
echo "PASS"
