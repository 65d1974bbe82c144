#!/usr/bin/env bash
# The device maker's .tar.gz from CPack: one folder holding exactly the executable, config.inf,
# README.txt and LICENSE. Unpacked, then moved to another folder (with a space in its path), the
# tool runs from there and shows the example's title; with a maker's own config.inf in place of
# the example it shows that one's.
#
#   folder.sh SOURCE_DIR BUILD_DIR CPACK
#
# Exits 0 on success, 77 when a tool it needs is missing (a skip), anything else on failure.
set -euo pipefail
SOURCE_DIR=${1:?usage: folder.sh SOURCE_DIR BUILD_DIR CPACK}
build_dir=${2:?usage: folder.sh SOURCE_DIR BUILD_DIR CPACK}
cpack=${3:?usage: folder.sh SOURCE_DIR BUILD_DIR CPACK}
source "$SOURCE_DIR/tests/package/common.sh"
require_tools Xvfb xdotool tar

source "$SOURCE_DIR/tests/package/archive.sh"
make_archive "$cpack" TGZ "$build_dir" .tar.gz
expect_folder_of "$(tar -tzf "$archive")" LICENSE README.txt config.inf universal-programmer

mkdir "$work/unpacked"
tar -xzf "$archive" -C "$work/unpacked"
folder=$work/unpacked/$top
[ -x "$folder/universal-programmer" ] || fail "the executable is not executable once unpacked"
cmp -s "$folder/config.inf" "$SOURCE_DIR/res/config.inf" || fail "config.inf is not the example"
cmp -s "$folder/LICENSE" "$SOURCE_DIR/LICENSE" || fail "LICENSE is not the project's licence"
grep -q libqt6widgets6 "$folder/README.txt" ||
  fail "README.txt does not name the Qt runtime packages the tool needs"

# Moved after unpacking: nothing may remember where it was unpacked.
mkdir -p "$work/moved here"
mv "$folder" "$work/moved here/Device Programmer"
rm -rf "$work/unpacked"
folder="$work/moved here/Device Programmer"

start_display
start_and_find_window "$folder/universal-programmer" "$(example_title)"

# A maker's own config.inf in place of the example.
printf 'AppName "Maker Test Device"\nAppSize "320" "200"\nID "level" "BYTE"\nName "Level"\n' \
  >"$folder/config.inf"
start_and_find_window "$folder/universal-programmer" "Maker Test Device"
echo "PASS"
