#!/bin/bash
# The backend contract as docs/architecture.md writes it (the block fenced as backend-contract)
# against the code: the backend's objects define exactly the names listed, outside the backend's
# own namespace, and the layer's shared part needs of the rest nothing that is not listed.
# Usage: check-backend-contract.sh NM CONTRACT_PAGE --shared OBJECT... --backend OBJECT...
set -u
nm=$1
page=$2
shift 2
shared=()
backend=()
list=none
for argument in "$@"; do
  case "$argument" in
    --shared) list=shared ;;
    --backend) list=backend ;;
    *) if [ "$list" = shared ]; then shared+=("$argument"); else backend+=("$argument"); fi ;;
  esac
done
[ "${#shared[@]}" -gt 0 ] && [ "${#backend[@]}" -gt 0 ] || { echo "no objects given"; exit 1; }

# A symbol as the list names it: the demangled name without its parameters or ABI tag.
names() { sed -E 's/\[abi:[^]]*\]//g; s/\(.*//' | sort -u; }
# The layer's own names: its classes (C...), its namespace and its free functions. The standard
# library, the toolkit and the backend's own namespaces are not the contract.
layer_names() {
  grep -E '^(C[A-Z][A-Za-z0-9]*::|platform::|Afx|QueryPerformance)' |
    grep -vE '^platform::(qt|win32|posix|web)::'
}

listed=$(sed -n '/^```backend-contract$/,/^```$/p' "$page" | grep -vE '^```|^#|^[[:space:]]*$' |
  sed -E 's/[[:space:]]+$//' | sort -u)
[ -n "$listed" ] || { echo "$page has no backend-contract block"; exit 1; }

# Strong definitions only (text, data, read-only data, bss): inline functions, templates and
# vtables come with whatever header declares them. ELF marks those weak; PE/COFF puts each in a
# COMDAT section of its own name (".text$NAME"), which is how they are told apart there.
defined_by() {
  local symbols
  symbols=$("$nm" --defined-only "$@")
  comm -23 <(awk '$2 ~ /^[TDRB]$/ { print $3 }' <<<"$symbols" | sort -u) \
    <(sed -nE 's/^[0-9a-f]* *[a-zA-Z] \.(text|data|rdata|bss)\$(.*)$/\2/p' <<<"$symbols" | sort -u) |
    c++filt | names
}
backend_defines=$(defined_by "${backend[@]}" | layer_names)
shared_defines=$(defined_by "${shared[@]}")
shared_needs=$("$nm" --undefined-only "${shared[@]}" | sed -E 's/^[[:space:]]*U[[:space:]]+//' |
  c++filt | names | layer_names | comm -23 - <(printf '%s\n' "$shared_defines"))

failed=0
if unlisted=$(comm -13 <(printf '%s\n' "$listed") <(printf '%s\n' "$backend_defines")) &&
  [ -n "$unlisted" ]; then
  printf 'the backend defines, but the contract does not list:\n%s\n' "$unlisted"
  failed=1
fi
if missing=$(comm -23 <(printf '%s\n' "$listed") <(printf '%s\n' "$backend_defines")) &&
  [ -n "$missing" ]; then
  printf 'the contract lists, but the backend does not define:\n%s\n' "$missing"
  failed=1
fi
if unmet=$(comm -13 <(printf '%s\n' "$listed") <(printf '%s\n' "$shared_needs")) &&
  [ -n "$unmet" ]; then
  printf 'the shared part needs, but the contract does not list:\n%s\n' "$unmet"
  failed=1
fi
[ "$failed" = 0 ] && echo "$(printf '%s\n' "$listed" | wc -l) names: the backend defines them all"
exit "$failed"
