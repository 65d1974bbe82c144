# Shared by the tests of the folder packages (the device maker's .tar.gz, the Windows zip, the web
# zip): sourced, not run. The caller has `work` and `fail` (begin_scratch or e2e_begin).

# Makes the package with `cpack -G GENERATOR` from BUILD_DIR's configuration into $work/out, and
# fails unless that leaves exactly one archive ending in EXTENSION. Sets archive (its path) and
# top (its name without EXTENSION: the name its one folder must have).
make_archive() {
  local cpack=$1 generator=$2 build_dir=$3 extension=$4
  timeout 240 "$cpack" -G "$generator" --config "$build_dir/CPackConfig.cmake" -B "$work/out" \
    >"$work/cpack.log" 2>&1 || fail "cpack -G $generator failed: $(cat "$work/cpack.log")"
  local archives=("$work"/out/*"$extension")
  [ ${#archives[@]} -eq 1 ] && [ -f "${archives[0]}" ] || fail "cpack made no single $extension"
  archive=${archives[0]}
  top=$(basename "$archive" "$extension")
  echo "archive: ${archive##*/}, $(stat -c %s "$archive") bytes"
}

# Fails unless LISTING (the archive's entries, one a line, as tar -t or unzip -Z1 give them) is
# one folder, $top, with exactly the files FILE... at its top.
expect_folder_of() {
  local listing=$1 file expected=""
  shift
  listing=$(sed 's|/$||' <<<"$listing" | LC_ALL=C sort -u | grep -v "^$top\$")
  expected=$(for file in "$@"; do echo "$top/$file"; done | LC_ALL=C sort)
  [ "$listing" = "$expected" ] ||
    fail "the archive does not hold exactly the folder $top with $*: $listing"
}
