#!/usr/bin/env bash
# Checks that a document shows its worked examples exactly as the files that the tests load.
#
#   check-doc-examples.sh DOCUMENT SOURCE_ROOT EXAMPLES_FOLDER TEST_SOURCE
#
# Every fenced block of DOCUMENT must follow a marker line naming its file, relative to
# SOURCE_ROOT:
#
#   <!-- example: tests/docs-examples/aquarium.inf -->
#
# and then matches that file byte for byte, each line of the block ending in a line feed. What a
# Markdown page can't show is named in parentheses after the file, comma-separated:
#
#   <!-- example: tests/docs-examples/ventilateur.inf (Windows-1252) -->
#   <!-- example: tests/docs-examples/kiln.inf (byte-order mark, CR LF) -->
#
# Windows-1252: the file holds the block's text in Windows-1252 rather than UTF-8. CR LF: its lines
# end in CR LF. Byte-order mark: it starts with the UTF-8 byte-order mark.
#
# Besides, every file of EXAMPLES_FOLDER must be shown in DOCUMENT and named in TEST_SOURCE, the
# test that loads it: no example goes unshown or untested.
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 DOCUMENT SOURCE_ROOT EXAMPLES_FOLDER TEST_SOURCE" >&2
  exit 2
fi
document=$1
root=$2
examples=$3
test_source=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Splits the document into $work/block.N files and writes "N|file|options|line" per
# block to $work/blocks; a fence without a marker is reported as file "-".
awk -v work="$work" '
  function fence(line) { return line ~ /^[ ]*(```|~~~)/ }
  BEGIN { n = 0; inside = 0; pending = "" }
  {
    if (inside) {
      if (fence($0)) { inside = 0; close(out); next }
      printf "%s\n", $0 > out
      next
    }
    if (match($0, /^<!-- example: [^ ]+( \([^)]*\))? -->$/)) {
      named = substr($0, 15, length($0) - 18)
      file = named; options = ""
      paren = index(named, " (")
      if (paren) {
        file = substr(named, 1, paren - 1)
        options = substr(named, paren + 2, length(named) - paren - 2)
      }
      pending = file "|" options
      next
    }
    if (fence($0)) {
      n++
      out = work "/block." n
      printf "" > out
      if (pending == "") pending = "-|"
      printf "%d|%s|%d\n", n, pending, NR > (work "/blocks")
      inside = 1
      pending = ""
      next
    }
    if (pending != "" && $0 !~ /^[ \t]*$/) {
      printf "0|%s|%d\n", pending, NR > (work "/blocks")  # a marker with no block after it
      pending = ""
    }
  }
  END { if (inside) printf "%d|unclosed||%d\n", n, NR > (work "/blocks") }
' "$document"
touch "$work/blocks"

failures=0
# fail WHERE MESSAGE: WHERE is a line of the document, or a file.
fail() {
  case "$1" in
    [0-9]*) echo "$document:$1: $2" >&2 ;;
    *) echo "$1: $2" >&2 ;;
  esac
  failures=$((failures + 1))
}

shown=()
while IFS="|" read -r number file options line; do
  if [ "$file" = unclosed ]; then
    fail "$line" "a fenced block is never closed"
    continue
  fi
  if [ "$file" = - ]; then
    fail "$line" "a fenced block without an <!-- example: FILE --> marker before it"
    continue
  fi
  if [ "$number" = 0 ]; then
    fail "$line" "the marker for $file is not followed by a fenced block"
    continue
  fi
  if [ ! -f "$root/$file" ]; then
    fail "$line" "no file $file"
    continue
  fi
  shown+=("$(basename "$file")")
  expected="$work/block.$number"
  windows1252=no crlf=no bom=no
  IFS=',' read -ra wanted <<<"$options"
  for option in "${wanted[@]+"${wanted[@]}"}"; do
    option=$(echo "$option" | sed 's/^ *//; s/ *$//')
    case "$option" in
      Windows-1252) windows1252=yes ;;
      "CR LF") crlf=yes ;;
      "byte-order mark") bom=yes ;;
      *) fail "$line" "unknown option '$option' for $file" ;;
    esac
  done
  # In this order: the encoding of the text, its line ends, then the mark in front.
  if [ $windows1252 = yes ]; then
    iconv -f UTF-8 -t WINDOWS-1252 "$expected" >"$expected.new" ||
      fail "$line" "the block for $file has characters that Windows-1252 lacks"
    mv "$expected.new" "$expected"
  fi
  if [ $crlf = yes ]; then
    sed 's/$/\r/' "$expected" >"$expected.new" && mv "$expected.new" "$expected"
  fi
  if [ $bom = yes ]; then
    { printf '\xEF\xBB\xBF'; cat "$expected"; } >"$expected.new" && mv "$expected.new" "$expected"
  fi
  if ! cmp -s "$expected" "$root/$file"; then
    fail "$line" "the block differs from $file:"
    diff <(od -c "$expected") <(od -c "$root/$file") >&2 || true
  fi
done <"$work/blocks"

for path in "$examples"/*; do
  name=$(basename "$path")
  found=no
  for seen in "${shown[@]+"${shown[@]}"}"; do [ "$seen" = "$name" ] && found=yes; done
  [ $found = yes ] || fail "$path" "not shown in $document"
  grep -qF "\"$name\"" "$test_source" || fail "$path" "loaded by no test of $test_source"
done

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) with the examples of $document" >&2
  exit 1
fi
echo "every example of $document matches its file"
