#!/usr/bin/env bash
# Runs the default suite (build/) with two busy loops beside it, one per core of a 2-core
# machine, as a loaded desktop would: the end-to-end tests must still decode every run.
#
#   scripts/loaded-suite.sh [USER]
#
# With USER (run as root), the suite runs as that user, who has no real-time priority for the
# transmission; the build folder is made writable for it first. Exits with ctest's status.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -d build ] || { echo "no build/: run 'make build' first" >&2; exit 2; }
loops=()
stop_loops() { [ ${#loops[@]} -eq 0 ] || kill "${loops[@]}" 2>/dev/null || true; }
trap stop_loops EXIT
for _ in 1 2; do
  yes >/dev/null &
  loops+=($!)
done
started=$(date +%s)
status=0
if [ -n "${1:-}" ]; then
  chmod -R a+rwX build
  runuser -u "$1" -- ctest --test-dir build --parallel 2 --output-on-failure || status=$?
else
  ctest --preset default --parallel 2 || status=$?
fi
echo "loaded suite: status $status in $(($(date +%s) - started)) s"
exit "$status"
