#!/usr/bin/env bash
# Runs the tests of one CTest label N times, one after another, and prints how often each passed:
# a GUI test that passed once proves little. Catch a flaky test here, before it reaches main.
#
#   scripts/repeat-tests.sh [--loaded] LABEL N [BUILD_DIR]
#
# LABEL is a CTest label (e2e, wayland, windows, unit...), matched exactly; BUILD_DIR defaults to
# build/ (build-windows/ for the windows label). --loaded runs two busy loops beside the tests,
# one per core of a 2-core machine, as a loaded desktop would. Each run's output is kept in
# BUILD_DIR/repeat-LABEL/run-K.log. Exits 0 when every test passed every run (skips count as
# neither), 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: scripts/repeat-tests.sh [--loaded] LABEL N [BUILD_DIR]"
loaded=""
if [ "${1:-}" = --loaded ]; then
  loaded=yes
  shift
fi
label=${1:?$usage}
runs=${2:?$usage}
default_build=build
[ "$label" = windows ] && default_build=build-windows
build=${3:-$default_build}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "$usage" >&2; exit 2; }
[ -f "$build/CTestTestfile.cmake" ] || { echo "no tests in $build/: build it first" >&2; exit 2; }

loops=()
stop_loops() { [ ${#loops[@]} -eq 0 ] || kill "${loops[@]}" 2>/dev/null || true; }
trap stop_loops EXIT
if [ -n "$loaded" ]; then
  for _ in 1 2; do
    yes >/dev/null &
    loops+=($!)
  done
fi

logs="$build/repeat-$label"
rm -rf "$logs"
mkdir -p "$logs"
declare -A passed=() failed=() skipped=() failed_runs=()
names=()
started=$(date +%s)
for ((run = 1; run <= runs; run++)); do
  log="$logs/run-$run.log"
  # Two at a time, as `make test` runs them, so that a flake that lands through it shows here.
  # Tests that judge timing or take the whole screen keep the machine through RUN_SERIAL.
  ctest --test-dir "$build" -L "^$label\$" --parallel 2 --output-on-failure >"$log" 2>&1 || true
  # Result lines: " 3/12 Test  #7: e2e_save_and_open ......   Passed   12.34 sec", or
  # "***Failed", "***Timeout", "***Skipped", "***Not Run" in place of "Passed".
  while read -r name outcome; do
    [ -n "${passed[$name]+set}" ] || { names+=("$name"); passed[$name]=0 failed[$name]=0 skipped[$name]=0; }
    case $outcome in
      Passed) passed[$name]=$((passed[$name] + 1)) ;;
      Skipped) skipped[$name]=$((skipped[$name] + 1)) ;;
      *)
        failed[$name]=$((failed[$name] + 1))
        failed_runs[$name]="${failed_runs[$name]:-}${failed_runs[$name]:+,}$run"
        ;;
    esac
  done < <(awk '/Test +#[0-9]+: / {
      for (i = 1; i <= NF; i++) if ($i ~ /^#[0-9]+:$/) name = $(i + 1)
      outcome = /Passed/ ? "Passed" : /\*\*\*Skipped/ ? "Skipped" : "Failed"
      print name, outcome
    }' "$log")
  echo "run $run of $runs done ($(($(date +%s) - started)) s)"
done

[ ${#names[@]} -gt 0 ] || { echo "no test has the label $label in $build/" >&2; exit 2; }
echo
printf '%-40s %8s %8s  %s\n' "test (label $label${loaded:+, loaded})" passed skipped "failed in runs"
status=0
for name in "${names[@]}"; do
  printf '%-40s %4d/%-3d %8d  %s\n' "$name" "${passed[$name]}" "$runs" "${skipped[$name]}" \
    "${failed_runs[$name]:-}"
  [ "${failed[$name]}" -eq 0 ] || status=1
done
echo "logs in $logs/; $(($(date +%s) - started)) s in all"
exit "$status"
