#!/usr/bin/env bash
# The .deb from CPack: its control fields (the dependency line from dpkg-shlibdeps names the Qt 6
# runtime), exactly the system layout under /usr owned by root, no lintian error, and unpacked into
# a scratch root, a tree whose desktop entry and AppStream data validate and whose bin/ link starts
# the tool with the example's form; and the desktop takes a .tss for a saved-settings file that
# the installed tool opens.
#
#   deb.sh SOURCE_DIR BUILD_DIR CPACK VERSION
#
# Exits 0 on success, 77 when a tool it needs is missing (a skip), anything else on failure.
set -euo pipefail
SOURCE_DIR=${1:?usage: deb.sh SOURCE_DIR BUILD_DIR CPACK VERSION}
build_dir=${2:?usage: deb.sh SOURCE_DIR BUILD_DIR CPACK VERSION}
cpack=${3:?usage: deb.sh SOURCE_DIR BUILD_DIR CPACK VERSION}
version=${4:?usage: deb.sh SOURCE_DIR BUILD_DIR CPACK VERSION}
source "$SOURCE_DIR/tests/package/common.sh"
require_tools Xvfb xdotool xprop dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli \
  xdg-mime xdg-open update-mime-database update-desktop-database

timeout 240 "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" \
  >"$work/cpack.log" 2>&1 || fail "cpack -G DEB failed: $(cat "$work/cpack.log")"
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
deb=${debs[0]}
echo "package: ${deb##*/}, $(stat -c %s "$deb") bytes"

# --- Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = universal-programmer ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture is $(field Architecture)"
[ -n "$(field Section)" ] || fail "no Section"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
  fail "Maintainer is not a name with an address: $(field Maintainer)"
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 3 ] || fail "the description has no long part: $description"
depends=$(field Depends)
echo "Depends: $depends"
for runtime in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  [[ ", $depends," =~ ,\ $runtime[\ ,] ]] || fail "Depends does not name $runtime: $depends"
done

# --- Contents: the system layout under /usr, owned by root, nothing elsewhere.
dpkg-deb -c "$deb" >"$work/contents"
if awk '$2 != "root/root"' "$work/contents" | grep -q .; then
  fail "files not owned by root: $(awk '$2 != "root/root"' "$work/contents")"
fi
mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
check_system_tree "$work/root" /usr
file_type=$(od -An -c -N4 "$work/root/usr/lib/universal-programmer/universal-programmer" | tr -d ' ')
[ "$file_type" = '177ELF' ] || fail "the installed executable is not an ELF file"

# --- lintian: errors fail the test; warnings and notes are shown. It exits 1 on errors, 2 (and
# timeout 124) when it could not check the package at all.
lintian_status=0
timeout 300 lintian --info --display-info "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi
[ "$lintian_status" -eq 0 ] || fail "lintian failed (status $lintian_status)"

# --- The unpacked package runs, through its bin/ link, from another folder.
start_display
desktop=$work/root/usr/share/applications/org.universalprogrammer.UniversalProgrammer.desktop
start_and_find_window "$work/root/usr/bin/universal-programmer" "$(example_title)" \
  "$(desktop_key "$desktop" StartupWMClass)"
check_settings_file_type "$work/root" /usr
echo "PASS"
