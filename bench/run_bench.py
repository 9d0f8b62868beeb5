#!/usr/bin/python3
"""Times extraction of the benchmark archives by dattool, bsdtar, unzip and the
reference loop, interleaved, once into empty folders and once over the tree
the same tool has just extracted (the update case).

Targets are never deleted while timing: on this machine's journal-less ext4,
creating many files right after deleting many is several times slower. Each
run extracts into a fresh folder, and all folders are removed at the very end.
The archive of many small files goes first, before anything else was written.

With --fresh-fs each tool's run gets a file system of its own: a new ext4
(with its journal, as a user's disk has) in a loop file, made before the run
and dropped after it, so that no run pays for what an earlier one did to the
disk. Single runs on the archive of small files then agree within a few per
cent, where on the shared disk they spread by a factor of two or more.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

GOALS = {"A": 1.10, "B": 0.75, "C": 1.05, "D": 0.90}  # dattool's time / bsdtar's time, at most
DESCRIPTIONS = {
    "A": "one 256 MiB file, deflated",
    "B": "20,000 files of 1-16 KB, deflated",
    "C": "one 256 MiB file, stored",
    "D": "update: 300 files, 10 KB-20 MB, 150 MB",
}
CASES = ("fresh", "over")
CASE_TITLES = {"fresh": "into an empty folder", "over": "over an extracted tree"}


def commands(tools):
    """The command line of each tool for (archive, folder)."""
    table = {
        "bsdtar": lambda a, d: ["bsdtar", "-xf", a, "-C", d],
        "unzip": lambda a, d: ["unzip", "-o", "-q", a, "-d", d],
        "reference": lambda a, d: [tools["reference"], a, d],
    }
    for tool in ("dattool", "before"):
        if tools.get(tool):
            table[tool] = lambda a, d, program=tools[tool]: [program, "extract", a, d]
    return table


def timed(command, memory_file):
    """Runs command under /usr/bin/time; returns (seconds, CPU seconds, peak KiB, error text or None)."""
    full = ["/usr/bin/time", "-f", "%M %U %S", "-o", memory_file] + command
    start = time.perf_counter()
    done = subprocess.run(full, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    try:
        with open(memory_file) as f:
            fields = f.read().split()[-3:]
        peak, cpu = int(fields[0]), float(fields[1]) + float(fields[2])
    except (OSError, ValueError, IndexError):
        peak, cpu = 0, 0.0
    error = None
    if done.returncode != 0:
        error = (done.stderr.decode(errors="replace").strip().splitlines() or ["exit %d" % done.returncode])[-1]
    return seconds, cpu, peak, error


def settle(pause):
    os.sync()
    if pause:
        time.sleep(pause)


def tree_summary(folder):
    files, size = 0, 0
    for root, _, names in os.walk(folder):
        for n in names:
            files += 1
            size += os.path.getsize(os.path.join(root, n))
    return files, size


FRESH_FS_SIZE = "3G"  # sparse; the largest tree with its staged copy needs some 600 MB


def mount_fresh_fs(folder):
    """Mounts a new, empty ext4 of its own at folder (its loop file lies beside it)."""
    image = folder + ".img"
    subprocess.run(["truncate", "-s", FRESH_FS_SIZE, image], check=True)
    subprocess.run(["mkfs.ext4", "-q", "-F", image], check=True)
    subprocess.run(["mount", "-o", "loop", image, folder], check=True)


def drop_fresh_fs(folder):
    subprocess.run(["umount", folder], check=True)
    os.remove(folder + ".img")
    os.rmdir(folder)


def bench_archive(letter, archive, scratch, table, runs, log, fresh_fs):
    names = list(table)
    results = {c: {t: {"times": [], "cpus": [], "peaks": [], "errors": []} for t in names} for c in CASES}
    base = os.path.join(scratch, letter)
    shutil.rmtree(base, ignore_errors=True)
    os.makedirs(base)
    memory_file = os.path.join(scratch, "peak.txt")
    for run in range(runs):
        order = names[run % len(names):] + names[:run % len(names)]  # rotate: no tool always goes first
        folders = {tool: os.path.join(base, "%s-%d" % (tool, run)) for tool in order}
        mounted = []
        try:
            for folder in folders.values():
                os.makedirs(folder)
                if fresh_fs:
                    mount_fresh_fs(folder)
                    mounted.append(folder)
            time_run(letter, run, archive, order, folders, table, memory_file, results, log)
            if run == 0:
                check_trees(base, order, log)
        finally:
            for folder in mounted:
                drop_fresh_fs(folder)
    return results


def time_run(letter, run, archive, order, folders, table, memory_file, results, log):
    """Times each tool of one run, into its empty folder and then over the tree it made."""
    for case in CASES:
        for tool in order:
            folder = folders[tool]
            settle(0.05)
            seconds, cpu, peak, error = timed(table[tool](archive, folder), memory_file)
            slot = results[case][tool]
            slot["times"].append(seconds)
            slot["cpus"].append(cpu)
            slot["peaks"].append(peak)
            slot["errors"].append(error)
            log("  %s run %d %-6s %-9s %7.3f s %7.3f s CPU %8d KiB%s" % (
                letter, run + 1, case, tool, seconds, cpu, peak, "  FAILED: " + error if error else ""))


def check_trees(base, tools, log):
    """Every tool must have produced the same number of files and bytes."""
    summaries = {t: tree_summary(os.path.join(base, "%s-0" % t)) for t in tools}
    expected = summaries.get("bsdtar")
    for tool, summary in summaries.items():
        if summary != expected:
            log("  WARNING: %s extracted %d files, %d bytes; bsdtar %d files, %d bytes" % ((tool,) + summary + expected))


def ratios(slot, reference, key="times"):
    return [t / r for t, r, e in zip(slot[key], reference[key], slot["errors"]) if not e and r > 0]


def report(all_results, runs, out):
    out("")
    out("Medians of %d runs; ratio = median of the per-run wall-time ratios to bsdtar; CPU = user + system" % runs)
    out("time (less disturbed by other load on the machine); peak = largest RSS of the runs.")
    for case in CASES:
        out("")
        out("### Extraction %s" % CASE_TITLES[case])
        out("")
        out("| archive | tool | median s | ratio to bsdtar | per-run ratios | CPU s | CPU ratio | peak MiB | goal |")
        out("|---|---|---:|---:|---|---:|---:|---:|---|")
        for letter, results in all_results.items():
            case_results = results[case]
            bsdtar = case_results["bsdtar"]
            tools = [t for t in ("dattool", "before", "reference", "bsdtar", "unzip") if t in case_results]
            for tool in tools:
                slot = case_results[tool]
                good = [t for t, e in zip(slot["times"], slot["errors"]) if not e]
                failures = sum(1 for e in slot["errors"] if e)
                per_run = ratios(slot, bsdtar)
                ratio = statistics.median(per_run) if per_run else float("nan")
                cpu_per_run = ratios(slot, bsdtar, "cpus")
                cpu_ratio = statistics.median(cpu_per_run) if cpu_per_run else float("nan")
                cpus = [c for c, e in zip(slot["cpus"], slot["errors"]) if not e]
                goal = ""
                if tool == "dattool":
                    goal = "<= %.2f: %s" % (GOALS[letter], "met" if ratio <= GOALS[letter] else "MISSED")
                if failures:
                    goal += " (%d runs failed: %s)" % (failures, next(e for e in slot["errors"] if e))
                label = "%s: %s" % (letter, DESCRIPTIONS[letter]) if tool == tools[0] else ""
                out("| %s | %s | %s | %.2f | %s | %s | %.2f | %.1f | %s |" % (
                    label, tool, "%.3f" % statistics.median(good) if good else "-", ratio,
                    " ".join("%.2f" % r for r in per_run), "%.2f" % statistics.median(cpus) if cpus else "-",
                    cpu_ratio, max(slot["peaks"]) / 1024.0, goal))
    if any("before" in r[c] and "dattool" in r[c] for r in all_results.values() for c in CASES):
        out("")
        out("### dattool against before (medians of the per-run ratios)")
        out("")
        out("| archive | case | wall ratio | per-run ratios | CPU ratio |")
        out("|---|---|---:|---|---:|")
        for letter, results in all_results.items():
            for case in CASES:
                walls = ratios(results[case]["dattool"], results[case]["before"])
                cpus = ratios(results[case]["dattool"], results[case]["before"], "cpus")
                out("| %s | %s | %.2f | %s | %.2f |" % (
                    letter, case, statistics.median(walls) if walls else float("nan"),
                    " ".join("%.2f" % r for r in walls), statistics.median(cpus) if cpus else float("nan")))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--archives", required=True, help="folder holding A.zip .. D.zip")
    parser.add_argument("--scratch", required=True, help="folder for the extracted trees")
    parser.add_argument("--reference", required=True, help="the reference_extract program")
    parser.add_argument("--dattool", default="", help="the dattool program (left out when empty)")
    parser.add_argument("--before", default="", help="dattool of an earlier commit, timed as \"before\" (optional)")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="BDAC", help="which archives, in this order, e.g. AC")
    parser.add_argument("--fresh-fs", action="store_true", help="each tool's run on a new ext4 of its own (root)")
    args = parser.parse_args()

    def log(line):
        print(line, flush=True)

    table = commands({"reference": args.reference, "dattool": args.dattool, "before": args.before})
    with open("/proc/loadavg") as f:
        log("load average at start: %s" % " ".join(f.read().split()[:3]))
    started = time.time()
    all_results = {}
    for letter in args.only:
        archive = os.path.join(args.archives, letter + ".zip")
        log("%s: %s (%s)" % (letter, DESCRIPTIONS[letter], archive))
        began = time.time()
        all_results[letter] = bench_archive(letter, archive, args.scratch, table, args.runs, log, args.fresh_fs)
        log("  %s took %.0f s" % (letter, time.time() - began))
    report(all_results, args.runs, log)
    began = time.time()
    for letter in args.only:
        shutil.rmtree(os.path.join(args.scratch, letter), ignore_errors=True)
    log("clean-up took %.0f s" % (time.time() - began))
    settle(5)  # after the bulk clean-up, leave the file system a moment before anyone creates files again
    log("")
    log("benchmark took %.0f s" % (time.time() - started))
    with open("/proc/loadavg") as f:
        log("load average at end: %s" % " ".join(f.read().split()[:3]))
    failed = any(e for r in all_results.values() for c in r.values() for s in c.values() for e in s["errors"])
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
