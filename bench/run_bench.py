#!/usr/bin/env python3
"""Runs Nomaro's benchmark and prints one table: each mode against the straightforward platform calls
for the same result (bench/Baseline.cpp), medians of several runs. Started by tools/bench, which makes
the Wine environment (NOMARO_TEST_ENV) and builds the programs; see tools/bench for the arguments."""

import argparse
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import time

ROWS = ["lower", "upper", "readonly", "number", "resumed", "preview", "preview-dialog", "replace-dialog",
        "replace-keystroke", "replace-token-keystroke", "replace-apply", "photo-details", "music-details",
        "listing-plain", "listing-rtf"]
ROW_NAMES = {
    "lower": "Lower (command line)",
    "upper": "Upper",
    "readonly": "Read-Only",
    "number": "Number (fresh folder)",
    "resumed": "Number resumed",
    "preview": "Preview (plan only)",
    "preview-dialog": "Preview dialog shown",
    "replace-dialog": "Replace dialog shown",
    "replace-keystroke": "Replace keystroke",
    "replace-token-keystroke": "Replace token keystroke",
    "photo-details": "Photo details read",
    "music-details": "Music details read",
    "replace-apply": "Replace applied",
    "listing-plain": "Listing plain",
    "listing-rtf": "Listing RTF",
}
SIZES = {"10k": 10000, "100k": 100000, "1m": 1000000}
# Measured unless sizes are named: a tree of a million files takes Wine a quarter of an hour to make.
DEFAULT_SIZES = ["10k", "100k"]
# The 10k rows take well under a second to a few seconds, where a run's fixed part (a window made
# and mapped under Xvfb) alone varies by hundredths of a second: more runs steady their medians.
RUNS = {"10k": 5, "100k": 3, "1m": 1}
# The programs measured: the 64-bit and the 32-bit build of the same sources.
PROGRAMS = {"x86_64": "64-bit", "i686": "32-bit"}
SCRATCH = "C:\\nomaro-bench"


def parse_args():
    parser = argparse.ArgumentParser(prog="tools/bench", description=__doc__)
    parser.add_argument("selection", nargs="*", help="rows (%s) and sizes (%s); default: all of them"
                        % (", ".join(ROWS), ", ".join(SIZES)))
    parser.add_argument("--runs", type=int, help="runs per figure, the median is shown (default 5 at 10k, 3 at 100k, "
                        "1 at 1m)")
    parser.add_argument("--no-case-baseline", action="store_true",
                        help="Lower and Upper without their baselines, which at 1m take as long again")
    parser.add_argument("--program", action="append", choices=sorted(PROGRAMS),
                        help="the build measured, x86_64 or i686; may be given twice (default: both)")
    args = parser.parse_args()
    rows = [r for r in args.selection if r in ROWS]
    sizes = [s for s in args.selection if s in SIZES]
    unknown = [a for a in args.selection if a not in ROWS and a not in SIZES]
    if unknown:
        parser.error("unknown rows or sizes: " + " ".join(unknown))
    args.rows = [r for r in ROWS if r in rows] or ROWS
    args.sizes = [s for s in SIZES if s in sizes] or DEFAULT_SIZES
    args.program = [p for p in PROGRAMS if p in (args.program or PROGRAMS)]
    return args


class Bench:
    def __init__(self, root, build, case_baselines=True):
        self.case_baselines = case_baselines
        self.env = dict(os.environ)
        self.emulator = os.path.join(root, "tests", "support", "wine-emulator")
        self.programs = os.path.join(build, "bench")
        self.nomaro = "Z:" + os.path.join(build, "src", "app", "Nomaro.exe").replace("/", "\\")
        self.drive_c = os.path.join(self.env["NOMARO_TEST_ENV"], "prefix", "drive_c")
        self.runs = 0
        self.size = ""
        self.notes = []
        self.startup = []  # Nomaro.exe from the command line on an empty folder

    # Programs -------------------------------------------------------------------------------

    def run(self, program, *arguments):
        """Runs one bench program under Wine; returns the figures of its "result" line."""
        command = [self.emulator, os.path.join(self.programs, program + ".exe")] + list(arguments)
        done = subprocess.run(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        figures = {}
        for line in done.stdout.splitlines():
            if line.startswith("result ") or line.startswith("progress "):
                for key, value in re.findall(r"(\w+)=([-\d.]+)", line):
                    figures[key] = float(value)
        if done.returncode != 0 or (program != "bench_tree" and "seconds" not in figures):
            sys.exit("tools/bench: %s %s failed (%d):\n%s%s" % (program, " ".join(arguments), done.returncode,
                                                                  done.stdout, done.stderr))
        return figures

    def tree(self, *arguments):
        self.run("bench_tree", *arguments)

    def say(self, what):
        """Progress, on the error stream: the full table takes three quarters of an hour."""
        print("tools/bench: %s %s" % (self.size, what), file=sys.stderr, flush=True)

    def unix(self, windows_path):
        assert windows_path.startswith("C:\\")
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    def remove(self, windows_path):
        shutil.rmtree(self.unix(windows_path), ignore_errors=True)

    def first_names(self, windows_path):
        """The names on the way down to the tree's first file, to see which case a run left."""
        path = self.unix(windows_path)
        names = []
        while os.path.isdir(path):
            entries = sorted(os.listdir(path))
            if not entries:
                break
            names.append(entries[0])
            path = os.path.join(path, entries[0])
        return names

    def check_case(self, windows_path, upper, what):
        names = self.first_names(windows_path)
        wanted = [n.upper() if upper else n.lower() for n in names]
        if names != wanted:
            sys.exit("tools/bench: after %s the tree holds %s" % (what, "\\".join(names)))

    # Rows -----------------------------------------------------------------------------------

    def case_rows(self, tree, want_lower, want_upper, samples):
        """Lower from the command line, Upper through the engine, and their baselines. Each run turns
        the tree's case over, so the runs take turns; the tree starts and ends upper-case."""
        empty = SCRATCH + "\\empty"
        os.makedirs(self.unix(empty), exist_ok=True)
        if want_lower and not self.startup:
            self.say("Wine start-up: Nomaro.exe on an empty folder")
            self.startup = [self.run("commandline_bench", self.nomaro, empty) for _ in range(self.runs)]
        steps = []
        for run in range(self.runs):
            if not self.case_baselines:
                # The program's runs alone; the tree's case is turned back between them.
                if want_lower:
                    steps += [("lower", "program", "commandline_bench", (self.nomaro, tree))]
                if want_upper or run + 1 < self.runs:
                    steps += [("upper", "program" if want_upper else "flip", "engine_bench", ("upper", tree))]
                if want_upper and not want_lower and run + 1 < self.runs:
                    steps += [("lower", "flip", "baseline_bench", ("lower", tree))]
                continue
            if want_lower:
                # The command-line run cannot be timed from inside: the journal of the same plan is
                # timed by itself just before, on the same tree.
                steps += [("lower", "journal", "engine_bench", ("lower-journal", tree)),
                          ("lower", "program", "commandline_bench", (self.nomaro, tree))]
            else:
                steps += [("lower", "flip", "baseline_bench", ("lower", tree))]
            steps += [("upper", "program" if want_upper else "flip", "engine_bench", ("upper", tree)),
                      ("lower", "baseline" if want_lower else "flip", "baseline_bench", ("lower", tree)),
                      ("upper", "baseline" if want_upper else "flip", "baseline_bench", ("upper", tree))]
        for mode, kind, program, arguments in steps:
            self.say("%s %s: %s" % (ROW_NAMES[mode], kind, program))
            figures = self.run(program, *arguments)
            if kind != "journal":
                self.check_case(tree, mode == "upper", "%s %s" % (program, mode))
            if kind != "flip":
                samples.setdefault((mode, kind), []).append(figures)

    def simple_row(self, row, program_arguments, baseline_arguments, samples, before=None, after=None, empty=None):
        """Engine and baseline take turns, so that a change in the machine's load falls on both. empty
        gives the same runs on an empty folder (program arguments, baseline arguments): what a run
        costs whatever the tree (the window, the "Calculating..." box, the memory files) is taken off
        the row's figures, as Wine's start-up is off Lower's."""
        turns = [("program", "engine_bench", program_arguments), ("baseline", "baseline_bench", baseline_arguments)]
        if empty:
            turns += [("program-empty", "engine_bench", empty[0]), ("baseline-empty", "baseline_bench", empty[1])]
        for run in range(self.runs):
            for kind, program, arguments in turns:
                if before:
                    before(run, kind)
                if callable(arguments):
                    arguments = arguments(run)
                self.say("%s %s %d/%d" % (ROW_NAMES[row], kind, run + 1, self.runs))
                figures = self.run(program, *arguments)
                samples.setdefault((row, kind), []).append(figures)
                if after:
                    after(run, kind)

    def measure_size(self, size_name, rows, runs):
        self.size = size_name
        self.runs = runs
        files = SIZES[size_name]
        samples = {}
        tree = "%s\\tree-%s" % (SCRATCH, size_name)
        if any(r in rows for r in ("lower", "upper", "readonly", "number", "preview", "preview-dialog", "replace-dialog",
                                   "replace-keystroke", "replace-token-keystroke", "replace-apply", "listing-plain",
                                   "listing-rtf")):
            self.say("making the tree")
            self.tree("make", tree, str(files))
        empty = SCRATCH + "\\empty"
        os.makedirs(self.unix(empty), exist_ok=True)
        for row in ("preview", "preview-dialog"):
            if row in rows:
                # The baseline of both: the walk and the new names in memory.
                self.simple_row(row, (row, tree), ("preview", tree), samples,
                                empty=((row, empty), ("preview", empty)))
        if "replace-dialog" in rows:
            # Against Preview's baseline: the walk and the new names in memory.
            self.simple_row("replace-dialog", ("replace-dialog", tree), ("preview", tree), samples,
                            empty=(("replace-dialog", empty), ("preview", empty)))
        if "replace-keystroke" in rows:
            self.keystroke_row(tree, samples)
        if "replace-token-keystroke" in rows:
            self.keystroke_row(tree, samples, "replace-token-keystroke")
        # Media trees of 10,000 files whatever the size: at 100k they would take 40 GB.
        for row, kind in (("photo-details", "photos"), ("music-details", "songs")):
            if row in rows and size_name == "10k":
                self.details_row(row, kind, samples)
        # After the rows that change nothing, which then see the tree as made: at 1m a Lower run
        # takes a quarter of an hour, and their figures come first.
        if "lower" in rows or "upper" in rows:
            self.case_rows(tree, "lower" in rows, "upper" in rows, samples)
        if "replace-apply" in rows:
            self.replace_row(tree, samples)
        for row in ("listing-plain", "listing-rtf"):
            if row in rows:
                self.listing_row(row, tree, samples)
        if "readonly" in rows:
            self.simple_row("readonly", ("readonly", tree), ("readonly", tree), samples,
                            before=lambda run, kind: self.tree("readonly", tree),
                            empty=(("readonly", empty), ("readonly", empty)))
        if "number" in rows:
            self.number_row(tree, samples)
        self.remove(tree)
        if "resumed" in rows:
            self.resumed_row(size_name, files, samples)
        return samples

    def keystroke_row(self, tree, samples, row="replace-keystroke"):
        """Seconds from a keystroke in the dialog to the new list: a latency, with no baseline."""
        for run in range(self.runs):
            self.say("%s %d/%d" % (ROW_NAMES[row], run + 1, self.runs))
            samples.setdefault((row, "program"), []).append(self.run("engine_bench", row, tree))

    def details_row(self, row, kind, samples):
        """The photo or music values of 10,000 files read as Find and Replace reads them, beside a
        baseline that opens each file, reads its first 64 KiB and closes it. Both after the walk."""
        tree = "%s\\%s" % (SCRATCH, kind)
        self.say("making the %s" % kind)
        self.tree(kind, tree, "10000")
        self.simple_row(row, ("details", tree, "photo" if kind == "photos" else "music"), ("read64k", tree), samples)
        self.remove(tree)

    def replace_row(self, tree, samples):
        """Nomaro replaces PHOTO_ by IMG_ in every file name, the baseline puts PHOTO_ back: the same
        moves each way, and each run finds the tree as the other left it."""
        empty = SCRATCH + "\\empty"

        def after(run, kind):
            if kind in ("program", "baseline"):
                wanted = "IMG_" if kind == "program" else "PHOTO_"
                names = self.first_names(tree)
                if not names or not names[-1].startswith(wanted):
                    sys.exit("tools/bench: after %s the tree holds %s" % (kind, "\\".join(names)))
        self.simple_row("replace-apply", ("replace-apply", tree, "PHOTO_", "IMG_"), ("replace", tree, "IMG_", "PHOTO_"),
                        samples, after=after,
                        empty=(("replace-apply", empty, "PHOTO_", "IMG_"), ("replace", empty, "IMG_", "PHOTO_")))

    def listing_row(self, row, tree, samples):
        outputs = {kind: "%s\\%s-%s.txt" % (SCRATCH, row, kind)
                   for kind in ("program", "baseline", "program-empty", "baseline-empty")}
        empty = SCRATCH + "\\empty"

        def before(run, kind):
            # A listing written over an old one would time the old one's removal too.
            if os.path.exists(self.unix(outputs[kind])):
                os.remove(self.unix(outputs[kind]))
        self.simple_row(row, (row, tree, outputs["program"]), (row, tree, outputs["baseline"]), samples, before=before,
                        empty=((row, empty, outputs["program-empty"]), (row, empty, outputs["baseline-empty"])))
        with open(self.unix(outputs["program"]), "rb") as ours, open(self.unix(outputs["baseline"]), "rb") as theirs:
            if ours.read() != theirs.read():
                self.notes.append("%s: the program's listing differs from the baseline's" % ROW_NAMES[row])
        for output in outputs.values():
            if os.path.exists(self.unix(output)):
                os.remove(self.unix(output))

    def number_row(self, tree, samples):
        state = SCRATCH + "\\state-number"
        names = iter("AB" * self.runs)
        arguments = {}

        empty = SCRATCH + "\\empty"

        def before(run, kind):
            # Each run numbers every file under the other letter, so nothing holds the new names.
            self.remove(state)
            os.makedirs(self.unix(state))
            if kind.endswith("-empty"):
                arguments[kind] = ("number", empty, state, "--name=E")
            else:
                arguments[kind] = ("number", tree, state, "--name=" + next(names))
        self.simple_row("number", lambda run: arguments["program"], lambda run: arguments["baseline"], samples,
                        before=before,
                        empty=(lambda run: arguments["program-empty"], lambda run: arguments["baseline-empty"]))
        self.remove(state)

    def resumed_row(self, size_name, files, samples):
        recorded, fresh = files // 2, files // 100
        tree = "%s\\resumed-%s" % (SCRATCH, size_name)
        state = SCRATCH + "\\state-resumed"
        numbers = (tree, str(recorded), str(fresh), state)
        samples[("resumed", "entries")] = recorded + fresh
        self.tree("numbered", *numbers)
        # The fixed part is the same resumed run on an empty folder: its record, an empty index and
        # the resume question, which every resumed run asks whatever the folder holds. Reading the
        # tree's recorded files stays in the row's figures.
        empty = SCRATCH + "\\empty-resumed"
        empty_state = SCRATCH + "\\state-empty"

        def before(run, kind):
            if kind.endswith("-empty"):
                self.tree("numbered", empty, "0", "0", empty_state)

        def after(run, kind):
            if not kind.endswith("-empty"):
                self.tree("renew", *numbers)
        resumed_empty = ("resumed", empty, empty_state, "--name=Trip")
        self.simple_row("resumed", ("resumed", tree, state, "--name=Trip"), ("resumed", tree, state, "--name=Trip"),
                        samples, before=before, after=after, empty=(resumed_empty, resumed_empty))
        self.remove(empty)
        self.remove(empty_state)
        self.remove(tree)
        self.remove(state)

    # The table ------------------------------------------------------------------------------

    def bytes_per_entry(self, row, samples, program, entries):
        """What the run holds per entry: its peak working set less the same run's on an empty folder
        (Lower: Nomaro.exe's own on an empty folder; a keystroke: the dialog's on an empty folder)."""
        empty_row = "replace-dialog" if row == "replace-keystroke" else row
        empty = self.startup if row == "lower" else samples.get((empty_row, "program-empty"))
        if not empty or not entries:
            return None
        peak = statistics.median(f["peak_mib"] for f in program)
        return (peak - statistics.median(f["peak_mib"] for f in empty)) * 1024 * 1024 / entries

    @staticmethod
    def empty_median(samples, row, kind):
        """The row's runs on an empty folder: the cost that does not grow with the tree."""
        runs = samples.get((row, kind + "-empty"))
        return statistics.median(f["seconds"] for f in runs) if runs else 0.0

    def row_figures(self, row, samples):
        program = samples.get((row, "program"))
        baseline = samples.get((row, "baseline"))
        if program and row in ("replace-keystroke", "replace-token-keystroke"):
            return {"entries": int(max(f.get("entries", 0) for f in program)),
                    "seconds": statistics.median(f["seconds"] for f in program), "baseline": None,
                    "ratio": None, "peak": statistics.median(f["peak_mib"] for f in program), "journal": 0.0,
                    "progress": 0, "per_entry": self.bytes_per_entry(row, samples, program, int(max(
                        f.get("entries", 0) for f in program)))}
        if not program or (not baseline and (self.case_baselines or row not in ("lower", "upper"))):
            return None
        seconds = statistics.median(f["seconds"] for f in program)
        if row == "lower":
            startup = statistics.median(f["seconds"] for f in self.startup)
            seconds -= startup
            shares = [j["journal_seconds"] / max(p["seconds"] - startup, 1e-9)
                      for j, p in zip(samples.get(("lower", "journal"), []), program)]
        else:
            shares = [f["journal_seconds"] / f["seconds"] for f in program if f["seconds"] > 0]
            seconds -= self.empty_median(samples, row, "program")
        base = None
        if baseline:
            base = statistics.median(f["seconds"] for f in baseline) - self.empty_median(samples, row, "baseline")
        entries = samples.get((row, "entries")) or int(max(f.get("entries", 0) for f in baseline or program))
        if not entries and row != "resumed":
            entries = tree_entries(SIZES[self.size])
        progress = max((f.get("messages", 0) for f in program), default=0)
        return {
            "entries": entries,
            "per_entry": self.bytes_per_entry(row, samples, program, entries),
            "seconds": seconds,
            "baseline": base,
            "ratio": seconds / base if base else float("nan"),
            "peak": statistics.median(f["peak_mib"] for f in program),
            "journal": 100 * statistics.median(shares) if shares else 0.0,
            "progress": progress,
        }


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([os.path.join(os.path.dirname(__file__), "..", "tests", "support", "wine-emulator"),
                           "--version"], stdout=subprocess.PIPE, text=True).stdout.strip()
    return "%s, %d cores, %s; Wine %s" % (model, os.cpu_count(), platform.system() + " " + platform.release(), wine)


def tree_entries(files):
    """The entries bench_tree makes for that many files: the files, their folders of 100 and, past
    100 folders, the group folders of 100 folders."""
    folders = (files + 99) // 100
    return files + folders + ((folders + 99) // 100 if folders > 100 else 0)


def print_table(bench, args, results):
    header = "| %-22s | %8s | %10s | %11s | %6s | %9s | %7s | %9s |" % (
        "mode", "entries", "program s", "baseline s", "ratio", "peak MiB", "B/entry", "journal %")
    print()
    print(header)
    print("|" + "|".join("-" * (len(cell) + 0) for cell in header.split("|")[1:-1]) + "|")
    per_entry = {}
    for row in args.rows:
        for size_name in args.sizes:
            figures = bench.row_figures(row, results[size_name])
            if not figures:
                continue
            held = "%7.0f" % figures["per_entry"] if figures.get("per_entry") is not None else "%7s" % "-"
            if figures["baseline"] is None and row != "replace-keystroke":
                per_entry[(row, size_name)] = figures
                print("| %-22s | %8d | %10.2f | %11s | %6s | %9.1f | %s | %9.1f |" % (
                    ROW_NAMES[row], figures["entries"], figures["seconds"], "-", "-", figures["peak"], held,
                    figures["journal"]))
                continue
            if figures["baseline"] is None:
                # A latency: no baseline, nothing to compare per entry.
                print("| %-22s | %8d | %10.2f | %11s | %6s | %9.1f | %s | %9s |" % (
                    ROW_NAMES[row], figures["entries"], figures["seconds"], "-", "-", figures["peak"], held, "-"))
                continue
            per_entry[(row, size_name)] = figures
            print("| %-22s | %8d | %10.2f | %11.2f | %6.2f | %9.1f | %s | %9.1f |" % (
                ROW_NAMES[row], figures["entries"], figures["seconds"], figures["baseline"], figures["ratio"],
                figures["peak"], held, figures["journal"]))
    print()
    for smaller, larger in zip(args.sizes, args.sizes[1:]):
        for row in args.rows:
            small, large = per_entry.get((row, smaller)), per_entry.get((row, larger))
            if small and large and small["seconds"] > 0 and small["entries"] > 0:
                growth = (large["seconds"] / large["entries"]) / (small["seconds"] / small["entries"])
                base_growth = "-"
                if small["baseline"] and large["baseline"]:
                    base_growth = "x%.2f" % ((large["baseline"] / large["entries"]) /
                                             (small["baseline"] / small["entries"]))
                print("%-22s seconds per entry, %s to %s: program x%.2f, baseline %s" % (
                    ROW_NAMES[row], smaller, larger, growth, base_growth))
    most = max((f["progress"] for f in per_entry.values()), default=0)
    print("Most progress-bar messages in one run: %d" % most)
    for note in bench.notes:
        print("Note: " + note)


def main():
    args = parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    runs = {size: args.runs or RUNS[size] for size in args.sizes}
    started = time.time()
    print("Machine: " + machine())
    print("Each figure is the median of %s." % ", ".join("%d runs at %s" % (runs[size], size) for size in args.sizes))
    print("Seconds are the work on the tree less the same run on an empty folder (Lower: Wine's start-up); the")
    print("baseline makes only the straightforward platform calls for the same result (bench/Baseline.cpp).")
    print("B/entry is the peak working set less the same run's on an empty folder, per entry.")
    sys.stdout.flush()
    for program in args.program:
        build = os.environ.get("NOMARO_BUILD_DIR_" + program.upper(), os.path.join(root, "build", program))
        bench = Bench(root, build, case_baselines=not args.no_case_baseline)
        print()
        print("The %s program (%s):" % (PROGRAMS[program], os.path.relpath(build, root)))
        sys.stdout.flush()
        results = {}
        for size_name in args.sizes:
            results[size_name] = bench.measure_size(size_name, args.rows, runs[size_name])
            bench.remove(SCRATCH + "\\empty")
        print_table(bench, args, results)
        sys.stdout.flush()
    print("The bench took %.1f minutes." % ((time.time() - started) / 60))


if __name__ == "__main__":
    main()
