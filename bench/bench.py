"""The benchmark's runs, results and report; scripts/bench sets up wine and calls it.

It builds staging folders with a fixed seed, puts the prefix's system folders in the
state a workload asks for before every run, runs kivupdate.exe and the baselines one
after another (A B A B ...), checks that every run left the installation as it should,
and writes build/bench/results.json and the report. Nothing here passes or fails on a
time: a run fails only when a program did not do its job or gave no numbers.
"""

import argparse
import datetime
import json
import os
import platform
import random
import re
import shutil
import statistics
import subprocess
import sys

SEED = 20240901
STAGED_TIME = 1700000000  # every staged file's last-modified time
OLDER_TIME = 1600000000  # an installed copy that the pass must replace
SYSTEM_KINDS = (".dep", ".lib", ".oca", ".exp")
SKIPPED_KINDS = (".txt", ".ini")
INSTALL = "C:\\kivbench"
REG_MS = 2500  # how long the slow component's registration takes in the probe runs
LONG_COPY_BYTES = 3 << 30  # one sparse staged file, whose copy takes many seconds
LONG_COPY = "1 missing file of %d GB" % (LONG_COPY_BYTES >> 30)
STARTUP_RUNS = 15


def winpath(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


class Bench:
    def __init__(self, args):
        self.args = args
        self.wine = os.environ["KIV_WINE_CMD"].split()
        self.prefix = os.environ["WINEPREFIX"]
        self.bin = args.bin
        self.out = args.out
        self.drive = os.path.join(self.prefix, "drive_c")
        self.install = os.path.join(self.drive, "kivbench")
        self.support = os.path.join(self.install, "support")
        self.system = os.path.join(self.drive, "windows", "system32")
        self.wow64 = os.path.join(self.drive, "windows", "syswow64")
        self.workload = None
        self.names = []
        self.results = []  # one record per run
        self.broken = []
        self.wow64_away = self.wow64 + ".kivbench-away"

    def __enter__(self):
        # Without an ordinary file in SysWOW64 the program registers components in a
        # registration process of its own; the regsvr32 route gets a SysWOW64 of its own in
        # probe_series.
        if os.path.isdir(self.wow64) and not os.path.exists(self.wow64_away):
            os.rename(self.wow64, self.wow64_away)
        return self

    def __exit__(self, *_):
        shutil.rmtree(self.wow64, ignore_errors=True)
        if os.path.isdir(self.wow64_away):
            os.rename(self.wow64_away, self.wow64)

    # ---- workloads -------------------------------------------------------------------

    def make_workload(self, files, components):
        key = (files, components)
        if self.workload == key:
            return
        shutil.rmtree(self.install, ignore_errors=True)
        os.makedirs(self.support)
        os.makedirs(os.path.join(self.install, "Library"))
        rng = random.Random(SEED + files)
        component = open(os.path.join(self.bin, "kivbenchcom.dll"), "rb").read()
        chosen = set(rng.sample(range(files), components)) if components else set()
        self.names = []
        for index in range(files):
            if index in chosen:
                name = "kbc%05d.%s" % (index, rng.choice(("dll", "ocx")))
                data = component
            else:
                roll = rng.random()
                kinds = SKIPPED_KINDS if roll < 0.10 else SYSTEM_KINDS
                name = "kb%05d%s" % (index, rng.choice(kinds))
                data = rng.randbytes(rng.randint(4096, 65536))
            path = os.path.join(self.support, name)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (STAGED_TIME, STAGED_TIME))
            self.names.append(name)
        # Signed as the release signs it, where the pinned build runs: the unpinned one ignores
        # the list, which lies in a folder.
        if self.pinned_runs(files):
            key_pem, cert_pem = self.args.signer + ".key.pem", self.args.signer + ".pem"
            subprocess.run([self.args.sign_staging, self.support, key_pem, cert_pem], check=True,
                           capture_output=True)
        self.workload = key

    def pinned_runs(self, files):
        """The pinned build is timed against the unpinned one up to 1,000 files."""
        return bool(self.args.pinned) and files <= 1000

    def routed(self, wow64):
        """Where the pass puts each copied name: system kinds and components."""
        for name in self.names:
            ext = os.path.splitext(name)[1].lower()
            if ext in SYSTEM_KINDS:
                yield name, self.system
            elif ext in (".dll", ".ocx"):
                yield name, self.wow64 if wow64 else self.system

    def clear_installed(self):
        for folder in (self.system, self.wow64):
            if not os.path.isdir(folder):
                continue
            for entry in os.scandir(folder):
                if entry.name.lower().startswith(("kb", "~kv")) or entry.name.endswith(".kivnew"):
                    os.unlink(entry.path)

    def set_state(self, state, wow64=False):
        self.clear_installed()
        if state == "missing":
            return
        for index, (name, folder) in enumerate(self.routed(wow64)):
            target = os.path.join(folder, name)
            shutil.copyfile(os.path.join(self.support, name), target)
            when = OLDER_TIME if state == "half-older" and index % 2 == 0 else STAGED_TIME
            os.utime(target, (when, when))

    def check_state(self, wow64=False):
        """After a run every routed file is installed with the staged content's time."""
        for name, folder in self.routed(wow64):
            target = os.path.join(folder, name)
            try:
                if int(os.stat(target).st_mtime) < STAGED_TIME:
                    return "%s is still older" % name
            except FileNotFoundError:
                return "%s was not installed" % name
        return None

    # ---- running ---------------------------------------------------------------------

    def wine_run(self, *command, env=None, timeout=900):
        full_env = dict(os.environ)
        full_env.update(env or {})
        done = subprocess.run(self.wine + list(command), capture_output=True, text=True,
                              env=full_env, timeout=timeout)
        values = {}
        for line in done.stdout.splitlines():
            match = re.match(r"^(\w+)=([-0-9.]+)\s*$", line)
            if match:
                values[match.group(1)] = float(match.group(2))
        return done.returncode, values, done.stderr.strip()

    def program(self, name):
        return os.path.join(self.bin, name)

    def run_one(self, series, workload, program, state, wow64=False, env=None, probe=False):
        """One run; a run that did not do its job is run once more, and counts as broken only
        when that fails too. The first failure is kept and printed either way, so that a
        failure seen once (a race in the program, a machine's hiccup) is never silent."""
        record = self.run_once(series, workload, program, state, wow64, env, probe)
        if "problem" in record:
            again = self.run_once(series, workload, program, state, wow64, env, probe)
            print("  retried after: %s %s %s: %s" % (series, workload, program, record["problem"]),
                  file=sys.stderr, flush=True)
            again["retried_after"] = record["problem"]
            record = again
        if "problem" in record:
            self.broken.append("%s %s %s: %s" % (series, workload, program, record["problem"]))
        self.results.append(record)

    def run_once(self, series, workload, program, state, wow64, env, probe):
        kiv = self.args.programs.get(program) or (program == "pinned" and self.args.pinned)
        if kiv:
            command = [self.program("kivbench.exe"), "kiv", winpath(kiv), INSTALL]
            if probe:
                command.append("--probe")
        elif program in ("bare", "tempmove"):
            command = [self.program("kivbenchloop.exe"), program, INSTALL]
        elif program == "xcopy":
            command = [self.program("kivbench.exe"), "run",
                       "xcopy /D /Y /Q %s\\support\\*.* C:\\windows\\system32\\" % INSTALL]
        elif program == "minimal":
            command = [self.program("kivbench.exe"), "window", winpath(self.program("kivbenchwin.exe"))]
        else:
            raise ValueError(program)
        if state:
            self.set_state(state, wow64)
        code, values, errors = self.wine_run(*command, env=env)
        record = {"series": series, "workload": workload, "program": program, "values": values}
        problem = None
        if code != 0 or not values:
            problem = "exit %d: %s" % (code, errors[-300:])
        elif state and program != "xcopy":
            problem = self.check_state(wow64)
        if problem:
            record["problem"] = problem
        shown = " ".join("%s=%g" % item for item in sorted(values.items()))
        print("  %-10s %-28s %-9s %s%s" % (series, workload, program, shown,
                                           "  BROKEN: " + problem if problem else ""),
              flush=True)
        return record

    def timing_series(self):
        programs = list(self.args.programs) + ["bare", "tempmove", "xcopy"]
        workloads = [(n, 0, s) for n in self.args.sizes for s in ("missing", "uptodate", "half-older")]
        if not self.args.quick and 1000 in self.args.sizes:
            workloads.append((1000, 50, "missing"))
        for files, components, state in workloads:
            self.make_workload(files, components)
            workload = "%d %s%s" % (files, state, " 50 comp." if components else "")
            runs = self.args.runs_10k if files >= 10000 else self.args.runs
            for run in range(runs):
                for program in programs + (["pinned"] if self.pinned_runs(files) else []):
                    if program in self.args.programs and files >= 10000 and \
                            program not in self.args.full_at_10k and run >= self.args.before_runs_10k:
                        continue
                    self.run_one("pass", workload, program, state)

    def startup_series(self):
        self.make_workload(100, 0)
        # A start takes half a second and its time varies most, so it gets more runs.
        for run in range(self.args.startup_runs):
            for program in ["minimal"] + list(self.args.programs):
                self.run_one("startup", "100 uptodate", program,
                             None if program == "minimal" else "uptodate")

    def probe_series(self):
        """The window's answers while the pass copies and while it waits on registrations."""
        files, components = (100, 1) if self.args.quick else (1000, 2)
        # A quick run only has to show that the waits answer; half a second shows it.
        env = {"KIV_BENCH_REG_MS": str(500 if self.args.quick else REG_MS)}
        self.make_workload(files, components)
        for route, wow64 in (("own process", False), ("regsvr32", True)):
            if wow64:
                # An ordinary file makes the program take SysWOW64's regsvr32, which is
                # here a stand-in that takes as long as the slow component.
                os.makedirs(self.wow64)
                shutil.copyfile(self.program("kivbenchwait.exe"),
                                os.path.join(self.wow64, "regsvr32.exe"))
                open(os.path.join(self.wow64, "ordinary.txt"), "w").close()
            try:
                for program in self.args.programs:
                    for _ in range(self.args.probe_runs):
                        self.run_one("probe", "%d missing, %d slow comp. (%s)"
                                     % (files, components, route),
                                     program, "missing", wow64=wow64, env=env, probe=True)
            finally:
                if wow64:
                    self.clear_installed()
                    shutil.rmtree(self.wow64)
        self.clear_installed()

    def long_copy_probe(self):
        """The window's answers while one copy takes many seconds. The staged file is sparse,
        so it costs no disk; its copy is written whole, so the drive must hold it twice."""
        free = shutil.disk_usage(self.drive).free
        if free < 2 * LONG_COPY_BYTES + (1 << 30):
            print("  long copy skipped: %.1f GB free" % (free / (1 << 30)), flush=True)
            return
        shutil.rmtree(self.install, ignore_errors=True)
        os.makedirs(self.support)
        os.makedirs(os.path.join(self.install, "Library"))
        path = os.path.join(self.support, "kbbig.dep")
        with open(path, "wb") as f:
            f.truncate(LONG_COPY_BYTES)
        os.utime(path, (STAGED_TIME, STAGED_TIME))
        self.names, self.workload = ["kbbig.dep"], None
        try:
            for program in self.args.programs:
                for _ in range(self.args.probe_runs):
                    self.run_one("probe", LONG_COPY, program, "missing", probe=True)
        finally:
            self.clear_installed()
            shutil.rmtree(self.install, ignore_errors=True)

    # ---- results ---------------------------------------------------------------------


def summarize(results):
    grouped = {}
    for record in results:
        if "problem" in record:
            continue
        for metric, value in record["values"].items():
            key = (record["series"], record["workload"], record["program"], metric)
            grouped.setdefault(key, []).append(value)
    return {key: {"median": statistics.median(v), "min": min(v), "max": max(v), "runs": len(v)}
            for key, v in grouped.items()}


def paired(results, series, workload, program, metric, base, base_metric):
    """Each run of a program with its baseline's run of the same round: programs are
    alternated run by run, so a pair saw the machine in the same state."""
    def values(prog, name):
        return [r["values"][name] for r in results
                if r["series"] == series and r["workload"] == workload and r["program"] == prog
                and "problem" not in r and name in r["values"]]
    return list(zip(values(program, metric), values(base, base_metric)))


def machine():
    model = ""
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    memory = ""
    try:
        kb = int(open("/proc/meminfo").readline().split()[1])
        memory = "%.0f GB" % (kb / 1048576)
    except (OSError, ValueError, IndexError):
        pass
    return {"cpu": model, "cores": os.cpu_count(), "memory": memory,
            "system": "%s %s" % (platform.system(), platform.release())}


def fmt(stat):
    if not stat:
        return "–"
    return "%s (%s–%s)" % (num(stat["median"]), num(stat["min"]), num(stat["max"]))


def num(value):
    return "%.0f" % value if value >= 100 else "%.1f" % value


def report(results, sizes, summary, meta, goals):
    """The tables of the report, in Markdown."""
    lines = []
    lines.append("Measured %s on %s, %s cores, %s; %s; %s. %s runs per program and workload "
                 "(10,000 files: %s, the before build %s; start-up: %s), programs alternated run by "
                 "run; median (min–max)."
                 % (meta["date"], meta["machine"]["cpu"] or "an unknown CPU",
                    meta["machine"]["cores"], meta["machine"]["memory"], meta["machine"]["system"],
                    meta["wine"], meta["runs"], meta["runs_10k"], meta["before_runs_10k"],
                    meta["startup_runs"]))
    lines.append("")
    lines.append("Programs: " + "; ".join("`%s` = %s" % (p, meta["programs"][p])
                                          for p in meta["programs"]) + ".")
    lines.append("")
    programs = list(meta["programs"])
    lines.append("### Pass time (ms): first painted window to the end of the pass; "
                 "baselines: their own loop")
    lines.append("")
    header = programs + ["bare loop", "temp+move loop", "xcopy /D /Y (process)"]
    lines.append("| workload | " + " | ".join(header) + " |")
    lines.append("|---|" + "---|" * len(header))
    workloads = []
    for record in results:
        if record["series"] == "pass" and record["workload"] not in workloads:
            workloads.append(record["workload"])
    for workload in workloads:
        cells = [fmt(summary.get(("pass", workload, p, "pass_ms"))) for p in programs]
        cells += [fmt(summary.get(("pass", workload, p, "loop_ms")))
                  for p in ("bare", "tempmove", "xcopy")]
        lines.append("| %s | %s |" % (workload, " | ".join(cells)))
    if meta.get("pinned"):
        lines.append("")
        lines.append("### A pinned pass against an unpinned one (`pinned` = %s, same sources, "
                     "checking the signed list)" % meta["pinned"])
        lines.append("")
        lines.append("| workload | pinned (ms) | unpinned (ms) | pinned / unpinned, paired runs |")
        lines.append("|---|---|---|---|")
        for workload in workloads:
            pairs = paired(results, "pass", workload, "pinned", "pass_ms", programs[-1], "pass_ms")
            if pairs:
                ratios = sorted(a / b for a, b in pairs if b)
                lines.append("| %s | %s | %s | %.2f (%.2f–%.2f) |" % (
                    workload, fmt(summary.get(("pass", workload, "pinned", "pass_ms"))),
                    fmt(summary.get(("pass", workload, programs[-1], "pass_ms"))),
                    statistics.median(ratios), ratios[0], ratios[-1]))
    lines.append("")
    lines.append("### Start-up (ms from process start to the first painted window)")
    lines.append("")
    lines.append("| program | first painted window |")
    lines.append("|---|---|")
    for program in ["minimal"] + programs:
        lines.append("| %s | %s |" % (program, fmt(summary.get(("startup", "100 uptodate", program,
                                                               "first_paint_ms")))))
    lines.append("")
    lines.append("### Responsiveness (WM_NULL sent every 20 ms with a 2 s limit during the pass)")
    lines.append("")
    lines.append("| workload | program | probes | unanswered | longest answer (ms) | pass (ms) |")
    lines.append("|---|---|---|---|---|---|")
    for record in results:
        if record["series"] != "probe":
            continue
        v = record["values"]
        lines.append("| %s | %s | %s | %s | %s | %s |" % (
            record["workload"], record["program"], num(v.get("probe_sent", 0)),
            num(v.get("probe_unanswered", 0)), num(v.get("probe_longest_ms", 0)),
            num(v.get("pass_ms", 0))))
    lines.append("")
    lines.append("### Memory and size")
    lines.append("")
    lines.append("| program | peak working set, largest workload (MB) | exe size (bytes) |")
    lines.append("|---|---|---|")
    largest = [w for w in workloads if w.startswith(str(max(sizes)) + " ")]
    for program in programs:
        peaks = [summary[("pass", w, program, "peak_working_set_mb")]["max"] for w in largest
                 if ("pass", w, program, "peak_working_set_mb") in summary]
        lines.append("| %s | %s | %s |" % (program, num(max(peaks)) if peaks else "–",
                                           meta["sizes"].get(program, "–")))
    if meta.get("shipped_size"):
        lines.append("")
        lines.append("Shipped i686 `kivupdate.exe`: %d bytes; imports: %s." % (
            meta["shipped_size"], ", ".join(meta["shipped_imports"])))
    lines.append("")
    lines.append("### Goals")
    lines.append("")
    lines.append("| goal | measured | met |")
    lines.append("|---|---|---|")
    for goal in goals:
        lines.append("| %s | %s | %s |" % goal)
    return "\n".join(lines) + "\n"


def evaluate_goals(results, summary, program, sizes):
    """The goals, informational only. The machine's speed drifts by up to 2x within a run,
    so a goal that compares two programs is judged on the median of the runs paired round
    by round; the ratio of the two medians is shown beside it."""
    goals = []

    def median_of(pairs, measure):
        return statistics.median(measure(a, b) for a, b in pairs) if pairs else None

    def med(workload, prog, metric):
        stat = summary.get(("pass", workload, prog, metric))
        return stat["median"] if stat else None

    for n in (1000, 10000):
        if n not in sizes:
            continue
        for state in ("missing", "half-older"):
            w = "%d %s" % (n, state)
            p, t = med(w, program, "pass_ms"), med(w, "tempmove", "loop_ms")
            pairs = paired(results, "pass", w, program, "pass_ms", "tempmove", "loop_ms")
            ratio = median_of(pairs, lambda a, b: a / b)
            if p is not None and t and ratio is not None:
                goals.append(("copying, %s: pass ≤ 1.5 × temp+move loop" % w,
                              "%.0f ms vs %.0f ms (%.2f×); paired runs: median %.2f×"
                              % (p, t, p / t, ratio),
                              "yes" if ratio <= 1.5 else "no"))
    for n, extra in ((10000, 0), (1000, 50)):
        if n not in sizes:
            continue
        w = "%d uptodate" % n
        p, b = med(w, program, "pass_ms"), med(w, "bare", "loop_ms")
        pairs = paired(results, "pass", w, program, "pass_ms", "bare", "loop_ms")
        share = median_of(pairs, lambda a, b: a / (3 * b + extra))
        if p is not None and b and share is not None:
            goals.append(("up to date, %s: pass ≤ 3 × bare walk%s" % (w, " + 50 ms" if extra else ""),
                          "%.0f ms vs %.0f ms walk (limit %.0f ms); paired runs: median %.0f %% "
                          "of the limit" % (p, b, 3 * b + extra, 100 * share),
                          "yes" if share <= 1 else "no"))
    if 1000 in sizes and 10000 in sizes:
        for state in ("missing", "uptodate", "half-older"):
            small, large = med("1000 " + state, program, "pass_ms"), med("10000 " + state, program,
                                                                           "pass_ms")
            if small and large:
                goals.append(("linear growth, %s: 10,000 ≤ 11 × 1,000" % state,
                              "%.0f ms vs %.0f ms (%.1f×)" % (large, small, large / small),
                              "yes" if large <= 11 * small else "no"))
    start = summary.get(("startup", "100 uptodate", program, "first_paint_ms"))
    minimal = summary.get(("startup", "100 uptodate", "minimal", "first_paint_ms"))
    pairs = paired(results, "startup", "100 uptodate", program, "first_paint_ms", "minimal",
                   "first_paint_ms")
    later = median_of(pairs, lambda a, b: a - b)
    if start and minimal and later is not None:
        s, m = start["median"], minimal["median"]
        goals.append(("first painted window ≤ 250 ms and ≤ minimal + 30 ms",
                      "%.0f ms vs minimal %.0f ms; paired runs: median %.0f ms later"
                      % (s, m, later),
                      "yes" if s <= 250 and later <= 30 else "no"))
    longest = [r["values"]["probe_longest_ms"] for r in results
               if r["series"] == "probe" and r["workload"] == LONG_COPY and r["program"] == program
               and "problem" not in r and "probe_longest_ms" in r["values"]]
    if longest:
        goals.append(("during a copy of many seconds: longest answer to WM_NULL < 300 ms",
                      "%.0f ms" % max(longest), "yes" if max(longest) < 300 else "no"))
    peaks = [v["max"] for k, v in summary.items()
             if k[0] == "pass" and k[2] == program and k[3] == "peak_working_set_mb"
             and k[1].startswith(str(max(sizes)) + " ")]
    if peaks:
        goals.append(("peak working set < 32 MB at %d files" % max(sizes), "%.1f MB" % max(peaks),
                      "yes" if max(peaks) < 32 else "no"))
    return goals


def write_results(args, stored, sizes):
    """Summary, goals and report of the stored runs: results.json, report.md, and the
    tables of the --report file."""
    meta, results = stored["meta"], stored["runs"]
    summary = summarize(results)
    goals = evaluate_goals(results, summary, "after" if "after" in meta["programs"] else "kivupdate",
                           sizes)
    if meta.get("shipped_size"):
        goals.append(("shipped kivupdate.exe under 1.5 MB", "%d bytes" % meta["shipped_size"],
                      "yes" if meta["shipped_size"] < 1.5 * 1048576 else "no"))
    stored["summary"] = [{"series": k[0], "workload": k[1], "program": k[2], "metric": k[3], **v}
                         for k, v in sorted(summary.items())]
    stored["goals"] = [{"goal": g[0], "measured": g[1], "met": g[2]} for g in goals]
    with open(os.path.join(args.out, "results.json"), "w") as f:
        json.dump(stored, f, indent=1)
    table = report(results, sizes, summary, meta, goals)
    with open(os.path.join(args.out, "report.md"), "w") as f:
        f.write(table)
    if args.report:
        text = open(args.report).read() if os.path.exists(args.report) else ""
        begin, end = "<!-- bench:begin -->", "<!-- bench:end -->"
        if begin in text and end in text:
            text = text[:text.index(begin) + len(begin)] + "\n" + table + text[text.index(end):]
        else:
            text = text + "\n" + begin + "\n" + table + end + "\n"
        with open(args.report, "w") as f:
            f.write(text)
    print(table)


def rewrite_report(args):
    with open(args.from_results) as f:
        stored = json.load(f)
    sizes = sorted({int(r["workload"].split()[0]) for r in stored["runs"] if r["series"] == "pass"})
    write_results(args, stored, sizes)
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--probe-runs", type=int, default=1)
    parser.add_argument("--sizes", default="100,1000,10000")
    parser.add_argument("--before", default="")
    parser.add_argument("--before-runs-10k", type=int, default=None)
    parser.add_argument("--runs-10k", type=int, default=None)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--shipped", default="")
    parser.add_argument("--pinned", default="", help="the build pinned to --signer's certificate")
    parser.add_argument("--signer", default="", help="KEY.key.pem and KEY.pem, without ending")
    parser.add_argument("--sign-staging", default="")
    parser.add_argument("--report", default="")
    parser.add_argument("--wine-version", default="")
    parser.add_argument("--from-results", default="",
                        help="write the report again from a results.json, running nothing")
    args = parser.parse_args()
    if args.from_results:
        return rewrite_report(args)
    args.sizes = [int(s) for s in args.sizes.split(",")]
    if args.quick:
        args.sizes, args.runs = [100], 1
    args.programs = {"kivupdate": os.path.join(args.bin, "kivupdate.exe")}
    if args.before:
        args.programs = {"before": args.before, "after": args.programs["kivupdate"]}
    args.full_at_10k = {"kivupdate", "after"}
    if args.runs_10k is None:
        args.runs_10k = args.runs
    if args.before_runs_10k is None:
        args.before_runs_10k = args.runs_10k
    args.startup_runs = args.runs if args.quick else max(args.runs, STARTUP_RUNS)

    with Bench(args) as bench:
        print("== pass times", flush=True)
        bench.timing_series()
        print("== start-up", flush=True)
        bench.startup_series()
        print("== responsiveness", flush=True)
        bench.probe_series()
        if not args.quick:
            bench.long_copy_probe()
        bench.clear_installed()
        shutil.rmtree(bench.install, ignore_errors=True)

    sizes = {p: os.path.getsize(path) for p, path in args.programs.items()}
    meta = {
        "date": datetime.datetime.now().strftime("%Y-%m-%d %H:%M"),
        "machine": machine(),
        "wine": args.wine_version,
        "runs": args.runs,
        "runs_10k": args.runs_10k,
        "before_runs_10k": args.before_runs_10k,
        "startup_runs": args.startup_runs,
        "quick": args.quick,
        "seed": SEED,
        "programs": {p: os.path.relpath(path) for p, path in args.programs.items()},
        "pinned": os.path.relpath(args.pinned) if args.pinned else "",
        "sizes": sizes,
    }
    if args.shipped and os.path.exists(args.shipped):
        meta["shipped_size"] = os.path.getsize(args.shipped)
        dump = subprocess.run(["objdump", "-p", args.shipped], capture_output=True, text=True)
        meta["shipped_imports"] = re.findall(r"DLL Name: (\S+)", dump.stdout)
    os.makedirs(args.out, exist_ok=True)
    write_results(args, {"meta": meta, "runs": bench.results, "broken": bench.broken}, args.sizes)
    # The closing line scripts/test counts: a run passes when its program did its job and
    # gave its numbers, whatever they are.
    retried = ["%s %s %s: %s" % (r["series"], r["workload"], r["program"], r["retried_after"])
               for r in bench.results if "retried_after" in r]
    print("benchmark runs: %d passed, %d failed%s" % (
        len(bench.results) - len(bench.broken), len(bench.broken),
        "; retried once after: " + " | ".join(retried) if retried else ""))
    if bench.broken:
        print("benchmark broken:\n  " + "\n  ".join(bench.broken), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
