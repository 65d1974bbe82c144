#!/usr/bin/env bash
# The programmer's page on a screen, against a page that times its swaps the common way
# (bench/web-baseline: setTimeout for each symbol, then the swap at the next animation frame): the
# same 20-byte packet, RUNS runs of each in turn, each in a fresh Chromium app window on one Xvfb
# display, watched by the panel sampler. Then what the page costs a visitor: its size compressed,
# and the time from the start of a load to the form shown (LOADS loads).
#   bench/run-web.sh [BUILD_WEB_DIR] [RUNS] [LOADS]
# Needs the web build (cmake --preset web && cmake --build --preset web), which builds the sampler
# and the probe for this machine, and scripts/install-deps.sh web.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:-build-web}
runs=${2:-5}
loads=${3:-9}
chromium=$(command -v chromium || command -v chromium-browser)
tools="$build/tests/web/host"
for file in "$build/site/universal-programmer.wasm" "$tools/panel_sampler" "$tools/panel_probe"; do
  [ -e "$file" ] || { echo "missing $file: build the web preset first" >&2; exit 2; }
done
status=0
node "$here/web-compare.mjs" "$build/site" "$chromium" "$tools/panel_sampler" "$tools/panel_probe" \
  "$runs" || status=$?
echo
node "$here/web-load.mjs" "$build/site" "$chromium" "$loads"
exit "$status"
