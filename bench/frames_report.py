#!/usr/bin/env python3
"""Tables from the files bench/run-frames.sh leaves: per display and plan, how many runs the
reference receiver decoded and the swap interval error on screen (mean, p99 and max pooled over
all intervals of all runs).

    bench/frames_report.py OUT_DIR DECODE_SWAPS

Per run N, display D and plan P the folder holds N-D-P.requests (each swap's request time in ns
on CLOCK_MONOTONIC and the nominal interval after it in us), N-D-P.app (the tool's REQUEST and
FRAMES lines), N-D-P.clocks (CLOCK_MONOTONIC - CLOCK_MONOTONIC_RAW, us), and either N-D-P.swaps
and .sampler (the panel sampler on X), and on Weston N-D-P.timeline: each swap is seen at the
presentation time of the repaint that took the dialog's first commit after it. On the headless
backend that is the only view; on the X11 backend the table gives both.
"""
import glob
import json
import os
import re
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wayland_report import load_requests, load_seen, percentile  # noqa: E402

DISPLAYS = ["headless", "headless57", "x11-busy", "x11-busy (presented)", "xvfb"]
PLANS = ["counter", "frames"]


def load_headless_timeline(path):
    """Commits of the dialog's surface, and each repaint as (begin, presentation), us."""
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
        elif name == "core_repaint_finished" and begin is not None and "vblank_monotonic" in event:
            vblank = event["vblank_monotonic"]
            repaints.append((begin, vblank[0] * 1e6 + vblank[1] / 1e3))
            begin = None
    return commits, repaints


def headless_seen(requests, commits, repaints, raw_behind):
    """The presentation of each swap; the timeline's clock is whichever puts commits just after
    their requests (CLOCK_MONOTONIC or CLOCK_MONOTONIC_RAW)."""
    def seen_with(shift):
        seen, lags = [], []
        ci = ri = 0
        for request in requests:
            while ci < len(commits) and commits[ci] + shift < request:
                ci += 1
            if ci == len(commits):
                return None, float("inf")
            lags.append(commits[ci] + shift - request)
            while ri < len(repaints) and repaints[ri][0] < commits[ci]:
                ri += 1
            if ri == len(repaints):
                return None, float("inf")
            seen.append(repaints[ri][1] + shift)
        return seen, statistics.median(lags)
    candidates = [seen_with(0), seen_with(raw_behind)]
    return min(candidates, key=lambda c: abs(c[1]))[0]


def decodes(decoder, seen):
    text = "\n".join(str(int(round(t - seen[0] + 50_000))) for t in seen) + "\n"
    return subprocess.run([decoder], input=text, capture_output=True, text=True).returncode == 0


def main(folder, decoder):
    rows = {}
    for requests_file in sorted(glob.glob(os.path.join(folder, "*.requests"))):
        stem = requests_file[: -len(".requests")]
        run, rest = os.path.basename(stem).split("-", 1)
        display, plan = rest.rsplit("-", 1)
        row = rows.setdefault((display, plan), {"runs": 0, "decoded": 0, "errors": [],
                                                "periods": [], "used": 0})
        row["runs"] += 1
        requests, nominal = load_requests(requests_file)
        app = open(stem + ".app").read() if os.path.exists(stem + ".app") else ""
        m = re.search(r"FRAMES known=(\d) used=(\d) seen=(\d+) median_period_us=([\d.]+)", app)
        if m and m.group(2) == "1":
            row["used"] += 1
            row["periods"].append(float(m.group(4)))
        presented = None
        if os.path.exists(stem + ".timeline"):
            raw_behind = int(open(stem + ".clocks").read().split()[0])
            commits, repaints = load_headless_timeline(stem + ".timeline")
            presented = headless_seen(requests, commits, repaints, raw_behind) if requests else None
        if os.path.exists(stem + ".timeline") and not os.path.exists(stem + ".sampler"):
            seen = presented
            ok = seen is not None and decodes(decoder, seen)
        else:
            seen, _ = load_seen(stem + ".swaps") if os.path.exists(stem + ".swaps") else ([], 0)
            ok = "result=PACKET" in open(stem + ".sampler").read()
        row["decoded"] += 1 if ok else 0
        if presented is not None and os.path.exists(stem + ".sampler"):
            # On the X11 backend the compositor's own presentation times as well: they do not
            # depend on the sampler catching the whole run.
            alt = rows.setdefault((display + " (presented)", plan),
                                  {"runs": 0, "decoded": 0, "errors": [], "periods": [],
                                   "used": 0})
            alt["runs"] += 1
            alt["decoded"] += 1 if decodes(decoder, presented) else 0
            alt["used"] += 1 if m and m.group(2) == "1" else 0
            alt["periods"] += [float(m.group(4))] if m and m.group(2) == "1" else []
            alt["errors"] += [abs(presented[i] - presented[i - 1] - nominal[i - 1])
                              for i in range(1, len(presented))]
        if not seen or len(seen) != len(requests):
            print(f"run {run} {display} {plan}: {len(seen or [])} swaps seen of "
                  f"{len(requests)}, intervals left out")
            continue
        row["errors"] += [abs(seen[i] - seen[i - 1] - nominal[i - 1]) for i in range(1, len(seen))]

    print("\n| display | plan | frames followed | frame period | runs decoded | intervals "
          "| mean | p99 | max |")
    print("|---|---|---|---|---|---|---|---|---|")
    for display in DISPLAYS:
        for plan in PLANS:
            row = rows.get((display, plan))
            if not row:
                continue
            e = row["errors"]
            period = f"{statistics.median(row['periods']) / 1000:.2f} ms" if row["periods"] else "-"
            stats = (f"{statistics.mean(e) / 1000:.2f} ms | {percentile(e, 0.99) / 1000:.2f} ms "
                     f"| {max(e) / 1000:.2f} ms") if e else "- | - | -"
            print(f"| {display} | {plan} | {row['used']}/{row['runs']} | {period} "
                  f"| {row['decoded']}/{row['runs']} | {len(e)} | {stats} |")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: frames_report.py OUT_DIR DECODE_SWAPS")
    main(sys.argv[1], sys.argv[2])
