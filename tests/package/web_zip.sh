#!/usr/bin/env bash
# The web zip from CPack: one folder holding exactly the page (index.html, page.css, the program's
# .js and .wasm), config.inf (the example) and README.txt (the device makers'). Unzipped into a
# folder whose path has spaces and served from there, the page shows the example's form.
#
#   web_zip.sh SOURCE_DIR BUILD_DIR CPACK NODE CHROMIUM
#
# Exits 0 on success, 77 when unzip is missing (a skip), anything else on failure.
set -euo pipefail
usage="usage: web_zip.sh SOURCE_DIR BUILD_DIR CPACK NODE CHROMIUM"
SOURCE_DIR=${1:?$usage} build_dir=${2:?$usage} cpack=${3:?$usage} node=${4:?$usage}
chromium=${5:?$usage}
source "$SOURCE_DIR/tests/lib/x-display.sh"  # require_tools, begin_scratch
require_tools unzip
begin_scratch  # work, its cleanup at exit, fail

source "$SOURCE_DIR/tests/package/archive.sh"
make_archive "$cpack" ZIP "$build_dir" .zip
[[ $top == universal-programmer-*-web ]] || fail "the zip is named $top.zip"
expect_folder_of "$(unzip -Z1 "$archive")" README.txt config.inf index.html page.css \
  universal-programmer.js universal-programmer.wasm

folder="$work/Web sites/Device tools"
mkdir -p "$folder"
unzip -q "$archive" -d "$folder"
folder="$folder/$top"
cmp -s "$folder/config.inf" "$SOURCE_DIR/res/config.inf" || fail "config.inf is not the example"
cmp -s "$folder/README.txt" "$SOURCE_DIR/platform/web/site/README.txt" ||
  fail "README.txt is not the device makers' README"
# What a device maker must know to host it: any static server, and not from a file.
grep -q "file://" "$folder/README.txt" || fail "README.txt does not say that file:// will not do"

title=$(sed -n 's/^AppName "\(.*\)"\r\{0,1\}$/\1/p' "$SOURCE_DIR/res/config.inf" | head -n 1)
timeout 120 "$node" "$SOURCE_DIR/tests/web/shows_form.mjs" "$folder" "$chromium" "$title" ||
  fail "the unzipped page did not show the example's form"
echo "PASS: the web zip holds the page's folder, and served from where it was unzipped it works"
