#!/usr/bin/env python3
"""Runs SPICE decks through the deck runner and through ngspice in batch mode, and prints for each
deck the processor time of both, their ratio (ours / ngspice) and the largest deviation of the
printed vectors, relative to the range of the vector in ngspice's run (at least FLAT of its largest
magnitude; in dB and degrees for the vectors that print so). Both runs are interpolated onto the union of their sweep points over the
span they share, by piecewise quadratics that keep the corners at break points sharp; plots
without a sweep, and sweeps that repeat their values (a nested DC sweep), are compared point by
point.

usage: compare.py [--runner PATH] [--ngspice PATH] [--repeat N] [--reference] [deck.cir ...]
With --reference it also runs ngspice with tight tolerances (TIGHT below) and prints the deviation
of both default runs from that one: the accuracy of each at its defaults. Without decks it takes every *.cir of engines/nerith/bench. The runner defaults to build/bin/deckrun
at the top of the repository (or $DECKRUN). Exit status 1 when a run fails.
"""

import argparse
import bisect
import cmath
import math
import os
import re
import resource
import struct
import subprocess
import sys
import tempfile

# The tolerances of the reference run, far below the defaults of either program.
TIGHT = ".options reltol=1e-7 abstol=1e-16 vntol=1e-13 chgtol=1e-20 trtol=1"

# The least range of a vector, relative to its largest magnitude, that deviations are measured against.
FLAT = 0.01

# A single value (an operating point's) is measured against itself, or against this when smaller: both
# programs leave unconnected and balanced nodes at round-off.
TINY = 1e-12

# The suite's MOSFET LEVEL 7 is the BSIM3 model, which ngspice reads as its LEVEL 8.
BSIM3_LEVEL = re.compile(r"(?i)^(\s*\.model\s.*\blevel\s*=\s*)7\b")

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The names the runner gives the sweep variable of a plot.
SCALES = ("time", "frequency", "sweep")

# The key of a raw plot's scale name.
SCALE_NAME = "@scale"

# How the runner prints complex values, by the letters after v or i.
FORMS = {
    "": abs,
    "m": abs,
    "db": lambda z: 20 * math.log10(abs(z)),
    "p": lambda z: math.degrees(cmath.phase(z)),
    "r": lambda z: z.real,
    "i": lambda z: z.imag,
}


def timed(command, **kwargs):
    """Runs the command; gives its completed process and its processor time (user + system)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(command, capture_output=True, text=True, **kwargs)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    seconds = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return done, seconds


def ours(runner, deck):
    """The runner's plots (see printed_plots) and its processor time."""
    done, seconds = timed([runner, deck])
    if done.returncode != 0:
        raise RuntimeError("deckrun failed on %s:\n%s" % (deck, done.stderr))
    return printed_plots(done.stdout), seconds


def printed_plots(output):
    """The plots the runner printed: a list of (scale name or None, {name: values}, names in order)."""
    plots = []
    for block in output.strip("\n").split("\n\n"):
        lines = block.splitlines()
        names = lines[0].split()
        columns = {name: [] for name in names}
        for line in lines[1:]:
            for name, value in zip(names, line.split()):
                columns[name].append(float(value))
        scale = names[0] if names[0] in SCALES else None
        plots.append((scale, columns, [n for n in names if n != scale]))
    return plots


def read_raw(path):
    """The plots of an ngspice raw file (binary or ASCII): a list of {lower-case name: values}, the
    scale (the first variable) also under the key None and its name under SCALE_NAME; complex values
    as complex numbers."""
    with open(path, "rb") as f:
        data = f.read()
    plots = []
    offset = 0
    while offset < len(data):
        names = []
        points = count = 0
        complex_values = False
        binary = None
        while offset < len(data):
            end = data.index(b"\n", offset)
            line = data[offset:end].decode("latin-1")
            offset = end + 1
            if line.startswith("Flags:"):
                complex_values = "complex" in line
            elif line.startswith("No. Variables:"):
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
        if binary is None:
            break
        width = 2 if complex_values else 1
        columns = {name: [] for name in names}
        if binary:
            values = struct.unpack_from("<%dd" % (points * count * width), data, offset)
            offset += 8 * points * count * width
            for i, name in enumerate(names):
                if complex_values:
                    columns[name] = [complex(values[(p * count + i) * 2], values[(p * count + i) * 2 + 1])
                                     for p in range(points)]
                else:
                    columns[name] = list(values[i::count])
        else:
            text = data[offset:].split(b"\n")
            rows = []
            for line in text:
                offset += len(line) + 1
                fields = line.replace(b"\t", b" ").split()
                if fields and fields[0].isdigit():
                    rows.append([fields[1]])
                elif fields:
                    rows[-1].append(fields[0])
                if len(rows) == points and len(rows[-1]) == count:
                    break
            for row in rows:
                for name, value in zip(names, row):
                    if complex_values:
                        re_, im = value.split(b",")
                        columns[name].append(complex(float(re_), float(im)))
                    else:
                        columns[name].append(float(value))
        columns[None] = [v.real if isinstance(v, complex) else v for v in columns[names[0]]]
        columns[SCALE_NAME] = names[0]
        plots.append(columns)
    return plots


def raw_name(name, kind):
    name = name.lower()
    if name.endswith("#branch"):
        return "i(%s)" % name[:-len("#branch")]
    if "(" not in name and kind == "voltage":
        return "v(%s)" % name
    return name


def vector_parts(name):
    """(letter, form, inside) of v(...) and i(...) forms; None for a plot's own vector name."""
    match = re.fullmatch(r"([vi])(m|db|p|r|i)?\((.*)\)", name)
    return (match.group(1), match.group(2) or "", match.group(3)) if match else None


def reference_node(name):
    """ngspice's name of a node: a node of an expanded subcircuit, ours "1:2:n", is its "x1.x2.n"."""
    parts = name.split(":")
    return ".".join(["x" + p for p in parts[:-1]] + [parts[-1]])


def saves(plots):
    """The raw vectors ngspice is asked to save for our plots' vectors; None when it saves all."""
    wanted = set()
    for _, _, names in plots:
        for name in names:
            parts = vector_parts(name)
            if not parts:
                return None
            letter, _, inside = parts
            if letter == "i":
                wanted.add(name if parts[1] == "" else "i(%s)" % inside)
            else:
                wanted.update("v(%s)" % reference_node(n) for n in inside.split(",") if n != "0")
    return sorted(wanted)


def ngspice(program, deck, plots, options=None, timeout=None):
    """Runs a copy of the deck without its .print cards, saving what ours printed (and with an
    .options card added, when given); its plots and time. subprocess.TimeoutExpired after
    `timeout` seconds."""
    with open(deck) as f:
        text = f.read()
    lines = [l for l in text.splitlines() if not l.lower().lstrip().startswith(".print")]
    lines = [BSIM3_LEVEL.sub(r"\g<1>8", l) for l in lines]
    saved = saves(plots)
    if saved is not None:
        lines.insert(1, ".save " + " ".join(saved))
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
        return read_raw(raw), seconds


def theirs(raw, scale, name):
    """The values of our vector `name` from the first of ngspice's plots that holds what it needs,
    with that plot's scale and its place in `raw`; (None, None, None) when none does."""
    parts = vector_parts(name)
    for place, plot in enumerate(raw):
        if scale is None and len(plot[None]) != 1:
            continue
        # A transient meets a transient and a frequency sweep a frequency sweep, whatever order
        # ngspice ran them in.
        if scale in ("time", "frequency") and plot[SCALE_NAME] != scale:
            continue
        if parts:
            letter, form, inside = parts
            nodes = inside.split(",")
            keys = ["i(%s)" % inside] if letter == "i" else ["v(%s)" % reference_node(n) for n in nodes if n != "0"]
            if not all(k in plot for k in keys):
                continue
            zero = [0.0] * len(plot[None])
            first = plot[keys[0]] if letter == "i" or nodes[0] != "0" else zero
            second = plot["v(%s)" % reference_node(nodes[1])] if len(nodes) > 1 and nodes[1] != "0" else zero
            values = [FORMS[form](complex(a - b)) if isinstance(a - b, complex) or form else a - b
                      for a, b in zip(first, second)]
            return plot[None], values, place
        key = {"onoise": "onoise_spectrum", "inoise": "inoise_spectrum"}.get(name.lower(), name.lower())
        for candidate in (key, "v(%s)" % key, "i(%s)" % key):
            if candidate in plot:
                return plot[None], [abs(v) for v in plot[candidate]], place
    return None, None, None


def meet(raw, first, scale, name):
    """theirs() from ngspice's plot `first` on, else from its first plot (ngspice runs some analyses
    before others whatever the cards' order); the place is in `raw`."""
    for start in (first, 0):
        their_scale, values, place = theirs(raw[start:], scale, name)
        if values is not None:
            return their_scale, values, start + place
    return None, None, None


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


def difference(a, b, name):
    """a - b, for a phase in degrees the shorter way round."""
    d = a - b
    parts = vector_parts(name)
    if parts and parts[1] == "p":
        d = (d + 180) % 360 - 180
    return d


def deviation(mine, mine_scale, theirs_scale, their_values, name):
    """The largest deviation of our vector from ngspice's, relative to ngspice's range, which is taken
    as at least FLAT of the vector's largest magnitude: a node a supply holds has no range to speak of.
    A single point is measured against its value."""
    largest = max(abs(v) for v in their_values)
    span = (max(max(their_values) - min(their_values), FLAT * largest) if len(their_values) > 1
            else max(largest, TINY)) or 1.0
    pointwise = mine_scale is None or (
        len(mine_scale) == len(theirs_scale)
        and all(abs(a - b) <= 1e-9 * (abs(b) + 1e-30) for a, b in zip(mine_scale, theirs_scale)))
    if pointwise:
        if len(mine) != len(their_values):
            raise RuntimeError("%s: %d points against %d" % (name, len(mine), len(their_values)))
        worst = max(abs(difference(a, b, name)) for a, b in zip(mine, their_values))
        return worst / span
    start = max(mine_scale[0], theirs_scale[0])
    stop = min(mine_scale[-1], theirs_scale[-1])
    grid = sorted(t for t in set(mine_scale) | set(theirs_scale) if start <= t <= stop)
    worst = 0.0
    for t in grid:
        worst = max(worst, abs(difference(interpolate(mine_scale, mine, t),
                                          interpolate(theirs_scale, their_values, t), name)))
    return worst / span


def meetings(mine, raw):
    """Each vector we printed with ngspice's run of it, as (our plot, name, their scale, their
    values). Our plots meet ngspice's in their order: each from the plot after the one the plot
    before it met."""
    first = 0
    for plot in mine:
        scale, _, names = plot
        met = first
        for name in names:
            their_scale, values, place = meet(raw, first, scale, name)
            if values is None:
                raise RuntimeError("ngspice has no vector for %s" % name)
            met = max(met, place + 1)
            yield plot, name, their_scale, values
        first = met


def compare(mine, raw):
    """The largest deviation over every vector we printed, and its name."""
    return max((deviation(columns[name], columns[scale] if scale else None, their_scale, values, name), name)
               for (scale, columns, _), name, their_scale, values in meetings(mine, raw))


def as_ours(raw, mine):
    """ngspice's run of the vectors we printed, shaped as our plots are."""
    shaped = {id(plot): (plot[0], {}, plot[2]) for plot in mine}
    for plot, name, their_scale, values in meetings(mine, raw):
        scale, columns, _ = shaped[id(plot)]
        columns[name] = values
        if scale:
            columns[scale] = their_scale
    return [shaped[id(plot)] for plot in mine]


def points(plots):
    return sum(len(columns[names[0]]) for _, columns, names in plots if names)


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
            mine, mytime = ours(args.runner, deck)
            raw, theirtime = ngspice(args.ngspice, deck, mine)
            for _ in range(args.repeat - 1):
                mytime = min(mytime, ours(args.runner, deck)[1])
                theirtime = min(theirtime, ngspice(args.ngspice, deck, mine)[1])
            worst, where = compare(mine, raw)
            accuracy = ""
            if args.reference:
                try:
                    exact = ngspice(args.ngspice, deck, mine, TIGHT)[0]
                    accuracy = " %9.4f%% %9.4f%%" % (100 * compare(mine, exact)[0],
                                                     100 * compare(as_ours(raw, mine), exact)[0])
                except RuntimeError:
                    # Some decks stall ngspice itself at those tolerances.
                    accuracy = "  no reference: ngspice fails at the tight tolerances"
        except (RuntimeError, OSError, KeyError, ValueError) as problem:
            print("%-16s failed: %s" % (os.path.basename(deck), problem), file=sys.stderr)
            failed = True
            continue
        ratio = mytime / theirtime if theirtime > 0 else float("inf")
        their_points = sum(len(p[None]) for p in raw)
        print("%-16s %7d %7d %9.3f %9.3f %7.2f %10.4f%%  %-14s%s" % (
            os.path.basename(deck), points(mine), their_points, mytime, theirtime, ratio,
            100 * worst, where, accuracy))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
