#!/usr/bin/env python3
"""Tables from the files bench/run-wayland.sh leaves: swap interval error on screen per series,
and for the Weston runs where each swap's delay came from.

    bench/wayland_report.py OUT_DIR

Per run N and series S the folder holds N-S.requests (each swap's request time in ns on
CLOCK_MONOTONIC and the nominal interval after it in us), N-S.swaps (the times the panel sampler
saw the swaps), N-S.sampler (its verdict) and, on Weston, N-S.timeline (the compositor's
timeline, one JSON object a line).

A swap's path on Weston: the tool asks for it (request), paints and commits the dialog's surface
(commit), the compositor repaints the output (repaint begin, then posted once drawn), and the
sampler sees it on the X display that shows the output (seen).
"""
import glob
import json
import os
import re
import statistics
import sys

SERIES = ["xvfb", "weston", "weston-busy"]


def percentile(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, max(0, int(round(q * len(ordered) + 0.5)) - 1))]


def load_requests(path):
    rows = [line.split() for line in open(path) if line.strip()]
    return [int(r[0]) / 1000.0 for r in rows], [int(r[1]) for r in rows]  # us, us


def load_seen(path):
    """Absolute sampler swap times (us, CLOCK_MONOTONIC) and CLOCK_MONOTONIC - RAW (us)."""
    first = raw_behind = None
    times = []
    for line in open(path):
        m = re.match(r"# first swap at (\d+) us on CLOCK_MONOTONIC; "
                     r"CLOCK_MONOTONIC_RAW (-?\d+)", line)
        if m:
            first, raw_behind = int(m.group(1)), int(m.group(2))
        elif line.strip() and not line.startswith("#"):
            times.append(int(line))
    if first is None or not times:
        return [], 0
    return [first + t - times[0] for t in times], raw_behind


def load_timeline(path):
    """Commit times of the dialog's surface and the output's repaints (us, the timeline's clock)."""
    dialog_surfaces, commits, repaints = set(), [], []
    begin = None
    for line in open(path):
        try:
            event = json.loads(line)
        except ValueError:
            continue
        if event.get("type") == "weston_surface" and "bench_programdialog" in event.get("desc", ""):
            dialog_surfaces.add(event["id"])
        if "T" not in event:
            continue
        t = event["T"][0] * 1e6 + event["T"][1] / 1e3
        name = event["N"]
        if name == "core_commit_damage" and event.get("ws") in dialog_surfaces:
            commits.append(t)
        elif name == "core_repaint_begin":
            begin = t
        elif name == "core_repaint_posted" and begin is not None:
            repaints.append((begin, t))
            begin = None
    return commits, repaints


def first_at_or_after(times, t):
    for x in times:
        if x >= t:
            return x
    return None


def swap_paths(requests, seen, commits, repaints, shift):
    """Per swap: (request, commit, repaint begin, posted, seen), all us on CLOCK_MONOTONIC."""
    commits = [c + shift for c in commits]
    repaints = [(b + shift, p + shift) for b, p in repaints]
    paths = []
    for request, seen_at in zip(requests, seen):
        commit = first_at_or_after(commits, request)
        repaint = next(((b, p) for b, p in repaints if commit is not None and b >= commit), None)
        if commit is None or repaint is None:
            paths.append(None)
        else:
            paths.append((request, commit, repaint[0], repaint[1], seen_at))
    return paths


def timeline_shift(requests, commits, raw_behind):
    """The timeline's clock is CLOCK_MONOTONIC or CLOCK_MONOTONIC_RAW, by the compositor's build:
    the one that puts each commit just after its request is the one in use."""
    def median_lag(shift):
        shifted = [x + shift for x in commits]
        lags = [c - r for r in requests for c in [first_at_or_after(shifted, r)] if c is not None]
        return statistics.median(lags) if lags else float("inf")
    return min((0, raw_behind), key=lambda s: abs(median_lag(s)))


def frame_aware_replay(requests, nominal, repaints, shift, lead_us, seen_lag_us):
    """What frame-aware swaps would have shown on the same repaints: each swap committed just
    before the repaint nearest its ideal time (plus the usual lead from a commit to the repaint
    that takes it), seen as long after that repaint was drawn as swaps usually are. Returns the
    interval errors (us)."""
    begins = [(b + shift, p + shift) for b, p in repaints]
    ideal, shown = requests[0], []
    for i in range(len(requests)):
        if i:
            ideal += nominal[i - 1]
        _, posted = min(begins, key=lambda bp: abs(bp[0] - (ideal + lead_us)))
        shown.append(posted + seen_lag_us)
    return [abs(shown[i] - shown[i - 1] - nominal[i - 1]) for i in range(1, len(shown))]


def main(folder):
    by_series = {s: {"runs": 0, "decoded": 0, "screen": [], "request": [], "paths": [],
                     "periods": []} for s in SERIES}
    worst, clocks = [], set()
    for sampler in sorted(glob.glob(os.path.join(folder, "*.sampler"))):
        stem = sampler[: -len(".sampler")]
        run, series = os.path.basename(stem).split("-", 1)
        data = by_series[series]
        data["runs"] += 1
        if "result=PACKET" in open(sampler).read():
            data["decoded"] += 1
        requests, nominal = load_requests(stem + ".requests")
        has_swaps = os.path.exists(stem + ".swaps")
        seen, raw_behind = load_seen(stem + ".swaps") if has_swaps else ([], 0)
        if len(seen) != len(requests):
            print(f"run {run} {series}: {len(seen)} swaps seen of {len(requests)}, left out")
            continue
        for i in range(1, len(seen)):
            data["screen"].append(abs(seen[i] - seen[i - 1] - nominal[i - 1]))
            data["request"].append(abs(requests[i] - requests[i - 1] - nominal[i - 1]))
        if series == "xvfb" or not os.path.exists(stem + ".timeline"):
            continue
        commits, repaints = load_timeline(stem + ".timeline")
        data["periods"] += [b2 - b1 for (b1, _), (b2, _) in zip(repaints, repaints[1:])]
        shift = timeline_shift(requests, commits, raw_behind)
        clocks.add("CLOCK_MONOTONIC_RAW" if shift else "CLOCK_MONOTONIC")
        paths = swap_paths(requests, seen, commits, repaints, shift)
        data["paths"] += [p for p in paths if p]
        if series == "weston-busy":
            data.setdefault("replays", []).append((requests, nominal, repaints, shift))
        for i in range(1, len(paths)):
            if paths[i] and paths[i - 1]:
                error = seen[i] - seen[i - 1] - nominal[i - 1]
                worst.append((abs(error), error, run, series, i, nominal[i - 1], paths[i - 1],
                              paths[i]))

    print("\n| series | runs decoded | intervals | mean | p99 | max | request p99 | request max |")
    print("|---|---|---|---|---|---|---|---|")
    for s in SERIES:
        d = by_series[s]
        if not d["screen"]:
            continue
        e, r = d["screen"], d["request"]
        print(f"| {s} | {d['decoded']}/{d['runs']} | {len(e)} | {statistics.mean(e) / 1000:.2f} ms "
              f"| {percentile(e, 0.99) / 1000:.2f} ms | {max(e) / 1000:.2f} ms "
              f"| {percentile(r, 0.99):.1f} us | {max(r):.1f} us |")

    print(f"\nWhere a swap's delay goes on Weston (median and max over all swaps, ms; the "
          f"compositor's timeline on {' and '.join(sorted(clocks)) or 'no clock'}):")
    print("| series | repaint period (median / max) | request to commit | commit to repaint | "
          "repaint drawn | posted to seen | request to seen | waited > 1 period for a repaint |")
    print("|---|---|---|---|---|---|---|---|")
    for s in SERIES[1:]:
        d = by_series[s]
        if not d["paths"]:
            continue
        # Repaints further apart than a swap or two are the compositor idling, not its period.
        periods = [p for p in d["periods"] if p < 40_000]
        period = statistics.median(periods) if periods else float("nan")

        def stat(values):
            return f"{statistics.median(values) / 1000:.1f} / {max(values) / 1000:.1f}"

        paths = d["paths"]
        late = sum(1 for p in paths if p[2] - p[1] > period)
        period_text = f"{period / 1000:.1f} / {max(periods) / 1000:.1f}" if periods else "idle"
        print(f"| {s} | {period_text} | {stat([p[1] - p[0] for p in paths])} "
              f"| {stat([p[2] - p[1] for p in paths])} | {stat([p[3] - p[2] for p in paths])} "
              f"| {stat([p[4] - p[3] for p in paths])} | {stat([p[4] - p[0] for p in paths])} "
              f"| {late} of {len(paths)} |")

    busy, idle = by_series["weston-busy"], by_series["weston"]
    if busy.get("replays") and idle["paths"]:
        # The lead and the lag as they are when the compositor waits for the tool's commit.
        lead = statistics.median([p[2] - p[0] for p in idle["paths"]])
        lag = statistics.median([p[4] - p[3] for p in idle["paths"]])
        errors = []
        for requests, nominal, repaints, shift in busy["replays"]:
            errors += frame_aware_replay(requests, nominal, repaints, shift, lead, lag)
        e = busy["screen"]
        print("\nFrame-aware swaps, replayed on the repaints of the weston-busy runs "
              f"(lead {lead / 1000:.1f} ms, lag {lag / 1000:.1f} ms):")
        print("| weston-busy | intervals | mean | p99 | max |")
        print("|---|---|---|---|---|")
        for label, values in (("as measured", e), ("frame-aware, replayed", errors)):
            print(f"| {label} | {len(values)} | {statistics.mean(values) / 1000:.2f} ms "
                  f"| {percentile(values, 0.99) / 1000:.2f} ms | {max(values) / 1000:.2f} ms |")

    print("\nThe ten worst intervals on Weston: each swap's delay from request to seen, split (ms)")
    print("| run | interval | nominal | error | swap | tool (request to commit) | "
          "wait for repaint | drawing | posted to seen |")
    print("|---|---|---|---|---|---|---|---|---|")
    for _, error, run, series, i, nominal, before, after in sorted(worst, reverse=True)[:10]:
        for label, path in (("opens", before), ("closes", after)):
            r, c, b, p, seen_at = path
            print(f"| {run} {series} | {i} | {nominal / 1000:.0f} | {error / 1000:+.2f} | {label} "
                  f"| {(c - r) / 1000:.2f} | {(b - c) / 1000:.2f} | {(p - b) / 1000:.2f} "
                  f"| {(seen_at - p) / 1000:.2f} |")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: wayland_report.py OUT_DIR")
    main(sys.argv[1])
