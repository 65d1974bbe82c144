#!/bin/bash
# The tool's own code (app/, config/, programming/), the layer's shared sources (platform/*.cpp)
# and every project header they reach include no toolkit or system header, and the tool's code
# branches on no system: all of that lives in platform/. That the same code compiles for Windows
# is the Windows build's (preset windows) to show.
# Usage: check-neutral-layer.sh SOURCE_DIR BINARY_DIR (the binary folder holds generated headers).
set -u
source_dir=$1
binary_dir=$2
cd "$source_dir" || exit 1
sources=(app/*.cpp config/*.cpp programming/*.cpp platform/*.cpp)
failed=0

# The project headers the sources reach, as the host compiler's dependency scan finds them.
mapfile -t headers < <(for source in "${sources[@]}"; do
  "${CXX:-c++}" -std=c++20 -MM -I. -I"$binary_dir" "$source" || echo "SCAN-FAILED"
done | tr ' \\' '\n\n' | grep -E '\.h$|SCAN-FAILED' | sort -u)
if printf '%s\n' "${headers[@]}" | grep -q SCAN-FAILED; then
  echo "the dependency scan failed"
  exit 1
fi
[ "${#headers[@]}" -gt 10 ] || { echo "the dependency scan found too few headers"; exit 1; }

forbidden='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q|unistd|sys/|fcntl|pthread|sched|windows|dirent)'
for file in "${sources[@]}" "${headers[@]}"; do
  # The one place that takes windows.h, and only when building for Windows.
  [ "$file" = platform/WinTypes.h ] && continue
  if grep -nE "$forbidden" "$file"; then
    echo "toolkit or system header in $file"
    failed=1
  fi
done
if grep -nE '_WIN32|__linux__|__unix__' app/* config/* programming/*; then
  echo "a system branch outside platform/"
  failed=1
fi

exit "$failed"
