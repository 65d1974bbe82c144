#!/bin/bash
# The tool's own code (app/, config/, programming/) and the layer's shared sources (platform/*.cpp)
# reach no toolkit or system header and no backend's header, and branch on no system: all of that
# lives in a backend's folder of platform/. Each compiler named scans every one of those sources
# as it would compile them (its own predefined macros: a cross compiler for Windows defines _WIN32),
# so the check holds for each build it stands for.
# Usage: check-neutral-layer.sh SOURCE_DIR BINARY_DIR COMPILER... (the binary folder holds
# generated headers).
set -u
source_dir=$1
binary_dir=$2
shift 2
[ "$#" -gt 0 ] || { echo "no compiler to scan with"; exit 1; }
cd "$source_dir" || exit 1
sources=(app/*.cpp config/*.cpp programming/*.cpp platform/*.cpp)
failed=0

# Headers a backend may take, and only a backend: the toolkit's and the windowing system's.
system_headers='/(Qt[A-Za-z]*/|qt6/)|/(windows|windef|winbase|winuser|wingdi|winnt|commctrl|commdlg|shlobj|shobjidl|timeapi|X11/[^/]*|wayland-[^/]*)\.h$'
# Include lines the tool's code and the shared part never write.
forbidden='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q|unistd|sys/|fcntl|pthread|sched|windows|dirent)'

project=()
for compiler in "$@"; do
  # Every file each source reaches, as this compiler's dependency scan finds it.
  mapfile -t reached < <({ "$compiler" -std=c++20 -M -I. -I"$binary_dir" "${sources[@]}" ||
    echo "SCAN-FAILED"; } | tr ' \\' '\n\n' | grep -vE '^$|:$' | sort -u)
  if printf '%s\n' "${reached[@]}" | grep -q SCAN-FAILED; then
    echo "$compiler: the dependency scan failed"
    exit 1
  fi
  if printf '%s\n' "${reached[@]}" | grep -E "$system_headers"; then
    echo "$compiler: the files above reach a toolkit or windowing system header"
    failed=1
  fi
  mapfile -t -O "${#project[@]}" project < <(printf '%s\n' "${reached[@]}" |
    grep -vE '^/' | grep -E '\.h$')
done
mapfile -t project < <(printf '%s\n' "${project[@]}" | sort -u)
[ "${#project[@]}" -gt 10 ] || { echo "the dependency scan found too few headers"; exit 1; }

if printf '%s\n' "${project[@]}" | grep -E '^platform/[^/]+/'; then
  echo "a backend's header is reached from above the layer or from its shared part"
  failed=1
fi
for file in "${sources[@]}" "${project[@]}"; do
  if grep -nE "$forbidden" "$file"; then
    echo "toolkit or system header in $file"
    failed=1
  fi
  if grep -nE '_WIN32|_MSC_VER|__MINGW|__linux__|__unix__|__APPLE__|__EMSCRIPTEN__' "$file"; then
    echo "a system branch in $file"
    failed=1
  fi
done

exit "$failed"
