#!/usr/bin/env python3
"""The engine at scale: RC ladders of 1,000, 10,000 and 100,000 sections and a diode-RC ladder of
10,000 sections in transient, resistor meshes of 300 x 300 and 1000 x 1000 nodes at their operating
point. Each deck is made in a temporary folder and run through the deck runner (with --statistics)
and through ngspice in batch mode, which is given up on after 15 minutes. Prints per deck the
processor time of both and their ratio, our time reading and building the deck and in the analysis,
our peak memory, our analysis time per unknown and time point, the largest deviation of the printed
vectors from ngspice's (transients), and the growth exponent of the processor time in the number of
unknowns fitted over each family of decks. With --repeat N each program runs each deck N times and
the fastest run counts, as on a shared machine the slower ones measure the others' load.

usage: scale.py [--runner PATH] [--ngspice PATH] [--no-ngspice] [--repeat N] [--only NAME ...]
"""

import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "host", "deckrun"))
import compare  # noqa: E402

NGSPICE_LIMIT = 15 * 60  # seconds


def rc_ladder(n):
    lines = ["RC ladder of %d sections" % n, "vin n0 0 pulse(0 1 1u 100n 100n 20u 40u)"]
    for k in range(1, n + 1):
        lines += ["r%d n%d n%d 10" % (k, k - 1, k), "c%d n%d 0 1p" % (k, k)]
    lines += [".tran 20n 60u", ".print tran v(n1) v(n100) v(n%d) v(n%d)" % (n // 2, n)]
    return lines


def diode_ladder(n):
    lines = ["diode-RC ladder of %d sections" % n, "vin n0 0 sin(0 3 1meg)"]
    for k in range(1, n + 1):
        lines += ["r%d n%d n%d 10" % (k, k - 1, k), "c%d n%d 0 10f" % (k, k), "d%d n%d 0 dclamp" % (k, k)]
    lines += [".model dclamp d is=1e-14 n=1.05 rs=1 cjo=10f tt=1n", ".tran 2n 20u",
              ".print tran v(n1) v(n%d) v(n%d) v(n%d)" % (n // 100, n // 10, n // 2)]
    return lines


def mesh(w, h):
    lines = ["resistor mesh %d x %d" % (w, h), "v1 n0_0 0 dc 1"]
    k = 0
    for y in range(h):
        for x in range(w):
            p = "%d_%d" % (x, y)
            if x + 1 < w:
                k += 1
                lines.append("rh%s n%s n%d_%d %d" % (p, p, x + 1, y, 1000 + (k * 7919) % 1000))
            if y + 1 < h:
                k += 1
                lines.append("rv%s n%s n%d_%d %d" % (p, p, x, y + 1, 1000 + (k * 7919) % 1000))
            if (x * h + y) % 97 == 0:
                lines.append("rg%s n%s 0 10k" % (p, p))
    lines += [".op", ".print op v(n0_0) v(n%d_%d) v(n%d_%d)" % (w // 2, h // 2, w - 1, h - 1)]
    return lines


# family, deck name, unknowns (for the fit), the deck's lines
DECKS = [
    ("RC ladder", "ladder_1000", 1002, lambda: rc_ladder(1000)),
    ("RC ladder", "ladder_10000", 10002, lambda: rc_ladder(10000)),
    ("RC ladder", "ladder_100000", 100002, lambda: rc_ladder(100000)),
    ("diode ladder", "diodes_1000", 2002, lambda: diode_ladder(1000)),
    ("diode ladder", "diodes_10000", 20002, lambda: diode_ladder(10000)),
    ("mesh", "mesh_300x300", 90001, lambda: mesh(300, 300)),
    ("mesh", "mesh_1000x1000", 1000001, lambda: mesh(1000, 1000)),
]

STATISTICS = re.compile(r"statistics: processor time ([\d.]+) s reading, ([\d.]+) s building, ([\d.]+) s in the "
                        r"analysis; peak memory (\d+) MB built, (\d+) MB in all; (\d+) equations, (\d+) points")


def ours(runner, deck, repeat):
    """The fastest of `repeat` runs: its processor time, statistics and output."""
    fastest = None
    for _ in range(repeat):
        done, seconds = compare.timed([runner, "--statistics", deck])
        if done.returncode != 0:
            raise RuntimeError("deckrun failed on %s:\n%s" % (deck, done.stderr))
        found = STATISTICS.search(done.stderr)
        read, build, analysis, built, peak, equations, points = found.groups()
        run = {"seconds": seconds, "read": float(read), "build": float(build), "analysis": float(analysis),
               "built": int(built), "peak": int(peak), "equations": int(equations), "points": int(points),
               "output": done.stdout}
        if fastest is None or run["seconds"] < fastest["seconds"]:
            fastest = run
    return fastest


def theirs(program, deck, plots, transient, repeat):
    """ngspice's processor time (the fastest of `repeat` runs) and, for a transient, its run of our
    printed `plots`; None past the limit."""
    fastest = None
    for _ in range(repeat):
        try:
            if transient:
                raw, seconds = compare.ngspice(program, deck, plots, timeout=NGSPICE_LIMIT)
            else:
                raw, seconds = None, compare.timed([program, "-b", deck], timeout=NGSPICE_LIMIT)[1]
        except subprocess.TimeoutExpired:
            return None
        if fastest is None or seconds < fastest["seconds"]:
            fastest = {"seconds": seconds, "raw": raw}
    return fastest


def exponent(points):
    """The slope of log(time) against log(unknowns), least squares."""
    if len(points) < 2:
        return None
    xs = [math.log(n) for n, _ in points]
    ys = [math.log(t) for _, t in points]
    mx = sum(xs) / len(xs)
    my = sum(ys) / len(ys)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
    parser.add_argument("--runner", default=os.environ.get("DECKRUN", os.path.join(top, "build", "bin", "deckrun")))
    parser.add_argument("--ngspice", default="ngspice")
    parser.add_argument("--no-ngspice", action="store_true", help="run our engine alone")
    parser.add_argument("--repeat", type=int, default=1, help="runs of each program; the fastest counts")
    parser.add_argument("--only", nargs="*", help="the decks to run, by name")
    args = parser.parse_args()

    print("| deck | unknowns | points | ours (s) | reading + building (s) | analysis (s) | ns per unknown "
          "and point | peak (MB) | ngspice (s) | ratio | deviation |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    fits = {}
    given_up = set()
    with tempfile.TemporaryDirectory() as folder:
        for family, name, unknowns, make in DECKS:
            if args.only and name not in args.only:
                continue
            deck = os.path.join(folder, name + ".cir")
            with open(deck, "w") as f:
                f.write("\n".join(make()) + "\n.end\n")
            mine = ours(args.runner, deck, args.repeat)
            plots = compare.printed_plots(mine["output"])
            transient = mine["points"] > 1
            reference = None
            if not args.no_ngspice and family not in given_up:
                reference = theirs(args.ngspice, deck, plots, transient, args.repeat)
                if reference is None:
                    given_up.add(family)
            per = "%.1f" % (1e9 * mine["analysis"] / (mine["equations"] * mine["points"])) if transient else "-"
            ratio = deviation = "-"
            theirtime = "over 15 min" if family in given_up else "-"
            if reference:
                theirtime = "%.2f" % reference["seconds"]
                ratio = "%.2g" % (mine["seconds"] / reference["seconds"])
                if reference["raw"]:
                    deviation = "%.4f %%" % (100 * compare.compare(plots, reference["raw"])[0])
            fits.setdefault(family, {"ours": [], "ngspice": []})
            fits[family]["ours"].append((unknowns, mine["seconds"]))
            if reference:
                fits[family]["ngspice"].append((unknowns, reference["seconds"]))
            print("| %s | %d | %d | %.2f | %.2f | %.2f | %s | %d | %s | %s | %s |" % (
                name, mine["equations"], mine["points"], mine["seconds"], mine["read"] + mine["build"],
                mine["analysis"], per, mine["peak"], theirtime, ratio, deviation), flush=True)
    print()
    for family, runs in fits.items():
        ours_fit = exponent(runs["ours"])
        their_fit = exponent(runs["ngspice"])
        print("growth exponent of the processor time, %s: ours %s, ngspice %s" % (
            family, "%.2f" % ours_fit if ours_fit is not None else "-",
            "%.2f" % their_fit if their_fit is not None else "-"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
