#!/usr/bin/env bash
# The Windows zip from CPack: one folder holding exactly universal-programmer.exe (stripped,
# importing system DLLs only), config.inf (the example), README.txt and LICENSE.txt (CRLF line
# ends). Unzipped into a folder whose path has spaces, the .exe starts under Wine from there and
# shows the example's title; Escape ends it with status 0.
#
#   windows_zip.sh SOURCE_DIR BUILD_DIR CPACK OBJDUMP
#
# Exits 0 on success, 77 when a tool it needs is missing (a skip), anything else on failure.
set -euo pipefail
usage="usage: windows_zip.sh SOURCE_DIR BUILD_DIR CPACK OBJDUMP"
SOURCE_DIR=${1:?$usage} build_dir=${2:?$usage} cpack=${3:?$usage} objdump=${4:?$usage}

# The Wine launcher and its quirks are the end-to-end scripts' (tests/lib/wine.sh, chosen by the
# name's .exe): the executable named here is the one unzipped below.
app_binary=universal-programmer.exe
source "$SOURCE_DIR/tests/lib/tool.sh"
require_tools unzip "$objdump"
e2e_begin

# The DLLs a Windows installation has without anything installed (dwmapi.dll, the desktop
# compositor's, since Vista).
readonly system_dlls="ADVAPI32.dll COMCTL32.dll COMDLG32.dll GDI32.dll KERNEL32.dll msvcrt.dll
  SHELL32.dll SHLWAPI.dll USER32.dll UxTheme.dll WINMM.dll ole32.dll OLEAUT32.dll IMM32.dll
  dwmapi.dll"

source "$SOURCE_DIR/tests/package/archive.sh"
make_archive "$cpack" ZIP "$build_dir" .zip
[[ $top == universal-programmer-*-windows-x86_64 ]] || fail "the zip is named $top.zip"
expect_folder_of "$(unzip -Z1 "$archive")" LICENSE.txt README.txt config.inf \
  universal-programmer.exe

folder="$work/My Programs/Device tools"
mkdir -p "$folder"
unzip -q "$archive" -d "$folder"
folder="$folder/$top"
cmp -s "$folder/config.inf" "$SOURCE_DIR/res/config.inf" || fail "config.inf is not the example"
# CRLF on every line, and the text the same as the sources' otherwise.
for pair in "README.txt packaging/README-windows.txt" "LICENSE.txt LICENSE"; do
  read -r file source <<<"$pair"
  lines=$(wc -l <"$folder/$file")
  crlf=$(grep -c $'\r$' "$folder/$file" || true)
  [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] ||
    fail "$file: $crlf of its $lines lines end in CRLF"
  cmp -s <(tr -d '\r' <"$folder/$file") "$SOURCE_DIR/$source" || fail "$file is not $source"
done

exe="$folder/universal-programmer.exe"
"$objdump" -h "$exe" | grep -q '\.debug' && fail "the .exe is not stripped: it has debug sections"
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "imports: $(tr '\n' ' ' <<<"$imports")"
while read -r dll; do
  grep -qiw -- "${dll%.dll}.dll" <<<"$system_dlls" || fail "the .exe imports $dll, not a system DLL"
done <<<"$imports"

started_from_the_zip() {
  app_log="$work/app.log"
  (cd "$work/elsewhere" && run_tool "$exe") >"$app_log" 2>&1 &
  app_pid=$!
  local title
  title=$(sed -n 's/^AppName "\(.*\)"\r\{0,1\}$/\1/p' "$SOURCE_DIR/res/config.inf" | head -n 1)
  main_window=$(find_window "$title" 20)
  [ -n "$main_window" ] || fail "no window titled \"$title\" within 20 s"
  press Escape
  wait_tool_exit 20 || fail "the tool still runs 20 s after Escape"
  [ "$tool_status" -eq 0 ] || fail "the tool ended with status $tool_status after Escape"
}
run_case "the unzipped .exe shows the example's window; Escape ends it with 0" 60 \
  started_from_the_zip
e2e_end
