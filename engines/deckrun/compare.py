#!/usr/bin/env python3
"""Runs SPICE decks through the deck runner and through ngspice in batch mode, and prints for each
deck the processor time of both, their ratio (ours / ngspice) and the largest deviation of the
printed vectors, relative to the range of the vector in ngspice's run. Both runs are interpolated
onto the union of their time points over the span they share, by piecewise quadratics that keep
the corners at break points sharp.

usage: compare.py [--runner PATH] [--ngspice PATH] [--repeat N] [--reference] [deck.cir ...]
With --reference it also runs ngspice with tight tolerances (TIGHT below) and prints the deviation
of both default runs from that one: the accuracy of each at its defaults. Without decks it takes every *.cir of engines/nerith/bench. The runner defaults to build/bin/deckrun
at the top of the repository (or $DECKRUN). Exit status 1 when a run fails.
"""

import argparse
import bisect
import os
import re
import resource
import struct
import subprocess
import sys
import tempfile

# The tolerances of the reference run, far below the defaults of either program.
TIGHT = ".options reltol=1e-7 abstol=1e-16 vntol=1e-13 chgtol=1e-20 trtol=1"

# The suite's MOSFET LEVEL 7 is the BSIM3 model, which ngspice reads as its LEVEL 8.
BSIM3_LEVEL = re.compile(r"(?i)^(\s*\.model\s.*\blevel\s*=\s*)7\b")

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def timed(command, **kwargs):
    """Runs the command; gives its completed process and its processor time (user + system)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(command, capture_output=True, text=True, **kwargs)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    seconds = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return done, seconds


def printed_vectors(deck_text):
    """The vectors of the deck's .print cards, in order, as the runner names them."""
    vectors = []
    for line in deck_text.lower().splitlines():
        words = line.split()
        if not words or words[0] != ".print":
            continue
        text = "".join(w for w in words[1:] if w not in ("tran", "op", "dc"))
        vectors += re.findall(r"[vi]\([^)]*\)", text)
    return vectors


def ours(runner, deck):
    done, seconds = timed([runner, deck])
    if done.returncode != 0:
        raise RuntimeError("deckrun failed on %s:\n%s" % (deck, done.stderr))
    lines = done.stdout.splitlines()
    names = lines[0].split()
    columns = {name: [] for name in names}
    for line in lines[1:]:
        for name, value in zip(names, line.split()):
            columns[name].append(float(value))
    columns.setdefault("time", [0.0])  # an operating point: one point at 0
    return columns, seconds


def read_raw(path):
    """The vectors of an ngspice raw file (binary or ASCII), by lower-case name."""
    with open(path, "rb") as f:
        data = f.read()
    names = []
    points = count = 0
    offset = 0
    binary = None
    while offset < len(data):
        end = data.index(b"\n", offset)
        line = data[offset:end].decode("latin-1")
        offset = end + 1
        if line.startswith("No. Variables:"):
            count = int(line.split(":")[1])
        elif line.startswith("No. Points:"):
            points = int(line.split(":")[1])
        elif line.startswith("Variables:"):
            for _ in range(count):
                end = data.index(b"\n", offset)
                fields = data[offset:end].decode("latin-1").split()
                offset = end + 1
                names.append(raw_name(fields[1], fields[2] if len(fields) > 2 else ""))
        elif line.startswith("Binary:"):
            binary = True
            break
        elif line.startswith("Values:"):
            binary = False
            break
    columns = {name: [] for name in names}
    if binary:
        values = struct.unpack_from("<%dd" % (points * count), data, offset)
        for i, name in enumerate(names):
            columns[name] = list(values[i::count])
    else:
        numbers = data[offset:].split()
        for p in range(points):
            row = numbers[p * (count + 1) + 1:(p + 1) * (count + 1)]
            for name, value in zip(names, row):
                columns[name].append(float(value))
    return columns


def raw_name(name, kind):
    name = name.lower()
    if name.endswith("#branch"):
        return "i(%s)" % name[:-len("#branch")]
    if "(" not in name and kind == "voltage":
        return "v(%s)" % name
    return name


def ngspice(program, deck, vectors, options=None, timeout=None):
    """Runs a copy of the deck whose .print cards became .save cards (and an .options card added,
    when given); its vectors and time. subprocess.TimeoutExpired after `timeout` seconds."""
    with open(deck) as f:
        text = f.read()
    nodes = set()
    saves = []
    for vector in vectors:
        kind, inside = vector[0], vector[2:-1].split(",")
        if kind == "i":
            saves.append(vector)
        else:
            nodes.update(n for n in inside if n != "0")
    saves += ["v(%s)" % n for n in sorted(nodes)]
    lines = [l for l in text.splitlines() if not l.lower().lstrip().startswith(".print")]
    lines = [BSIM3_LEVEL.sub(r"\g<1>8", l) for l in lines]
    lines.insert(1, ".save time " + " ".join(saves))
    if options:
        # After the deck's own .options cards, which it overrides.
        ends = [i for i, l in enumerate(lines) if l.strip().lower() == ".end"]
        lines.insert(ends[0] if ends else len(lines), options)
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, os.path.basename(deck))
        with open(copy, "w") as f:
            f.write("\n".join(lines) + "\n")
        raw = os.path.join(folder, "out.raw")
        done, seconds = timed([program, "-b", "-r", raw, copy], cwd=os.path.dirname(os.path.abspath(deck)),
                              timeout=timeout)
        if done.returncode != 0 or not os.path.exists(raw):
            raise RuntimeError("ngspice failed on %s:\n%s" % (deck, done.stdout + done.stderr))
        columns = read_raw(raw)
    result = {"time": columns.get("time", [0.0])}
    for vector in vectors:
        kind, inside = vector[0], vector[2:-1].split(",")
        if kind == "i":
            result[vector] = columns[vector]
            continue
        node = lambda n: columns["v(%s)" % n] if n != "0" else [0.0] * len(columns["time"])
        first = node(inside[0])
        second = node(inside[1]) if len(inside) > 1 else [0.0] * len(first)
        result[vector] = [a - b for a, b in zip(first, second)]
    return result, seconds


def interpolate(times, values, at):
    """The curve at `at`: in the interval around it, the quadratic through its two ends and the next
    point on the side where the curve bends less, so that corners at break points stay sharp."""
    i = bisect.bisect_right(times, at) - 1
    if i < 0:
        return values[0]
    if i >= len(times) - 1:
        return values[-1]
    t0, t1 = times[i], times[i + 1]
    if t1 == t0:
        return values[i + 1]
    first = (values[i + 1] - values[i]) / (t1 - t0)
    best = None
    for k in (i - 1, i + 2):
        if 0 <= k < len(times) and times[k] not in (t0, t1):
            second = ((values[k] - values[i + 1]) / (times[k] - t1) - first) / (times[k] - t0) \
                if k > i else (first - (values[i] - values[k]) / (t0 - times[k])) / (t1 - times[k])
            if best is None or abs(second) < abs(best):
                best = second
    bend = best * (at - t0) * (at - t1) if best is not None else 0.0
    return values[i] + first * (at - t0) + bend


def deviation(a, b, name):
    """The largest deviation of vector `name` of run a from run b, relative to b's range."""
    start = max(a["time"][0], b["time"][0])
    stop = min(a["time"][-1], b["time"][-1])
    grid = sorted(t for t in set(a["time"]) | set(b["time"]) if start <= t <= stop)
    span = max(b[name]) - min(b[name])
    if span == 0:
        span = max(abs(v) for v in b[name]) or 1.0
    worst = 0.0
    for t in grid:
        worst = max(worst, abs(interpolate(a["time"], a[name], t) - interpolate(b["time"], b[name], t)))
    return worst / span


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("decks", nargs="*")
    parser.add_argument("--runner", default=os.environ.get("DECKRUN", os.path.join(TOP, "build", "bin", "deckrun")))
    parser.add_argument("--ngspice", default="ngspice")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each program; the fastest counts")
    parser.add_argument("--reference", action="store_true", help="also measure both against a tight-tolerance run")
    args = parser.parse_args()
    decks = args.decks
    if not decks:
        bench = os.path.join(TOP, "engines", "nerith", "bench")
        decks = sorted(os.path.join(bench, d) for d in os.listdir(bench) if d.endswith(".cir"))

    print("%-16s %7s %7s %9s %9s %7s %11s  %-14s%s" % (
        "deck", "points", "ngspice", "ours (s)", "ngspice", "ratio", "deviation", "largest at",
        " ours/ref  ngspice/ref" if args.reference else ""))
    failed = False
    for deck in decks:
        try:
            with open(deck) as f:
                vectors = printed_vectors(f.read())
            if not vectors:
                raise RuntimeError("%s has no .print card" % deck)
            mine, mytime = ours(args.runner, deck)
            theirs, theirtime = ngspice(args.ngspice, deck, vectors)
            for _ in range(args.repeat - 1):
                mytime = min(mytime, ours(args.runner, deck)[1])
                theirtime = min(theirtime, ngspice(args.ngspice, deck, vectors)[1])
            worst, where = max((deviation(mine, theirs, v), v) for v in vectors)
            accuracy = ""
            if args.reference:
                try:
                    exact = ngspice(args.ngspice, deck, vectors, TIGHT)[0]
                    accuracy = " %9.4f%% %9.4f%%" % (100 * max(deviation(mine, exact, v) for v in vectors),
                                                     100 * max(deviation(theirs, exact, v) for v in vectors))
                except RuntimeError:
                    # Some decks stall ngspice itself at those tolerances.
                    accuracy = "  no reference: ngspice fails at the tight tolerances"
        except (RuntimeError, OSError, KeyError, ValueError) as problem:
            print("%-16s failed: %s" % (os.path.basename(deck), problem), file=sys.stderr)
            failed = True
            continue
        ratio = mytime / theirtime if theirtime > 0 else float("inf")
        print("%-16s %7d %7d %9.3f %9.3f %7.2f %10.4f%%  %-14s%s" % (
            os.path.basename(deck), len(mine["time"]), len(theirs["time"]), mytime, theirtime, ratio,
            100 * worst, where, accuracy))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
