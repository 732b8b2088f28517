#!/usr/bin/env python3
"""Runs ring-oscillator decks through the deck runner and through ngspice, and prints for each the
period of its first printed voltage in both runs (the mean over the rising crossings of half its
range in the last two thirds of the run), their relative difference and both processor times.

usage: period.py [--runner PATH] [--ngspice PATH] [--skip-ngspice] deck.cir ...
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "host", "deckrun"))
import compare  # noqa: E402


def period(times, values):
    """The mean period of the values' rising crossings of the middle of their range, after the first
    third of the run; None with fewer than two crossings."""
    level = (max(values) + min(values)) / 2
    start = times[-1] / 3
    rising = []
    for i in range(1, len(times)):
        if values[i - 1] < level <= values[i] and times[i] > start:
            rising.append(times[i - 1] + (level - values[i - 1]) * (times[i] - times[i - 1]) / (values[i] - values[i - 1]))
    return (rising[-1] - rising[0]) / (len(rising) - 1) if len(rising) > 1 else None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("decks", nargs="+")
    parser.add_argument("--runner", default=os.environ.get("DECKRUN", os.path.join(compare.TOP, "build", "bin", "deckrun")))
    parser.add_argument("--ngspice", default="ngspice")
    parser.add_argument("--skip-ngspice", action="store_true", help="only our run, for decks ngspice takes too long on")
    args = parser.parse_args()
    print("%-22s %14s %14s %10s %9s %9s" % ("deck", "period (ours)", "ngspice", "difference", "ours (s)", "ngspice"))
    for deck in args.decks:
        plots, mytime = compare.ours(args.runner, deck)
        _, columns, names = next(plot for plot in plots if plot[0] == "time")
        vector = names[0]
        ours = period(columns["time"], columns[vector])
        if args.skip_ngspice:
            print("%-22s %14.6e %14s %10s %9.3f %9s" % (os.path.basename(deck), ours, "-", "-", mytime, "-"))
            continue
        raw, theirtime = compare.ngspice(args.ngspice, deck, plots)
        times, values, _ = compare.theirs(raw, "time", vector)
        reference = period(times, values)
        print("%-22s %14.6e %14.6e %9.4f%% %9.3f %9.3f" % (os.path.basename(deck), ours, reference,
                                                          100 * abs(ours - reference) / reference, mytime, theirtime))
    return 0


if __name__ == "__main__":
    sys.exit(main())
