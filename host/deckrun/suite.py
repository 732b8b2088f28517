#!/usr/bin/env python3
"""Runs every SPICE deck found in the given folders (files ending in .cir, .sp or .spi, searched
recursively) unedited through the deck runner and through ngspice, as compare.py does, and prints
a Markdown table: the deck (its path below the folder given), whether each program ran it (the
first line of our error where ours did not), the largest deviation of our printed vectors from
ngspice's run relative to their range, and the ratio of our processor time to ngspice's.

usage: suite.py [--runner PATH] [--ngspice PATH] [--timeout S] FOLDER...
Nothing is fetched: the folders hold decks taken from wherever they were published.
"""

import argparse
import os
import subprocess
import sys

import compare

SUFFIXES = (".cir", ".sp", ".spi")

# Runs every vector ngspice saves by default: a plot whose one name is no v() or i() form.
SAVE_ALL = [(None, {}, ["all"])]


def decks(folders):
    for folder in folders:
        for top, _, files in sorted(os.walk(folder)):
            for name in sorted(files):
                if name.lower().endswith(SUFFIXES):
                    yield folder, os.path.join(top, name)


def first_error(text):
    lines = [l for l in text.splitlines() if l.startswith("error:")]
    return (lines[-1] if lines else text.strip().splitlines()[-1] if text.strip() else "failed")[:90]


def row(args, deck):
    """(ours, ngspice's, deviation, ratio) as table cells."""
    try:
        done, mytime = compare.timed([args.runner, deck], timeout=args.timeout)
        mine = compare.printed_plots(done.stdout) if done.returncode == 0 else None
        ours = "yes" if mine is not None else "no: " + first_error(done.stderr).replace("|", "/")
    except subprocess.TimeoutExpired:
        mine, ours = None, "no: over %d s" % args.timeout
    try:
        raw, theirtime = compare.ngspice(args.ngspice, deck, mine or SAVE_ALL, timeout=args.timeout)
        theirs = "yes"
    except subprocess.TimeoutExpired:
        return ours, "over %d s" % args.timeout, "", ""
    except (RuntimeError, OSError, UnicodeDecodeError):
        return ours, "no", "", ""
    if mine is None:
        return ours, theirs, "", ""
    try:
        worst, _ = compare.compare(mine, raw)
        deviation = "%.4f %%" % (100 * worst)
    except (RuntimeError, KeyError, ValueError, ZeroDivisionError) as problem:
        deviation = "not compared: %s" % str(problem).splitlines()[0][:60]
    ratio = "%.2f" % (mytime / theirtime) if theirtime > 0 else "-"
    return ours, theirs, deviation, ratio


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folders", nargs="+")
    parser.add_argument("--runner", default=os.environ.get("DECKRUN", os.path.join(compare.TOP, "build", "bin", "deckrun")))
    parser.add_argument("--ngspice", default="ngspice")
    parser.add_argument("--timeout", type=int, default=300, help="seconds a run may take")
    args = parser.parse_args()
    print("| deck | runs (ours) | runs (ngspice) | deviation | time ratio |")
    print("|---|---|---|---|---|")
    for folder, deck in decks(args.folders):
        cells = row(args, deck)
        print("| %s | %s |" % (os.path.relpath(deck, folder), " | ".join(cells)), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
