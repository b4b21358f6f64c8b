#!/usr/bin/env python3
"""Cross-check the text outputs of the C++ tool against the Python reference.

    python3 compare_outputs.py [--count 300] [--tables 100] [--seed 1] [--jobs 4]
                               [--cli PATH] [--out DIR]

For each random dive (with random settings) it runs "nofly --json", "plan",
"decotext" and "decolines" on both sides; for each random depth/time file
"decotable IN OUT".  No-fly minutes must agree exactly (and the message when
there is a result), the text outputs line by line, the table files byte by
byte.  Prints the first differences of every failing check with its file and
settings, then "N passed, M failed"; exits 1 on any failure.
"""

import argparse
import concurrent.futures
import json
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare  # noqa: E402
import reference_calc as rc  # noqa: E402
import reference_outputs as ro  # noqa: E402

DEFAULT_CLI = compare.DEFAULT_CLI
DIVE_COMMANDS = ("nofly", "plan", "decotext", "decolines")


# --------------------------------------------------------------------------
# Random input
# --------------------------------------------------------------------------

def maybe(rng, p):
    return rng.random() < p


def random_settings(rng):
    sets = compare.random_settings(rng)

    def put(name, value, p=1.0):
        if maybe(rng, p):
            sets.append("%s=%s" % (name, value))

    put("Values/CabinPressure", rng.choice(["595", "685", "750", "800", "700", "500", "685.5",
                                            "0", "abc", "400", "1013"]), 0.5)
    put("Values/HePercent", rng.choice(["0", "10", "17.5", "35", "-5", "150", "", "abc"]), 0.25)
    put("Values/O2Percent", rng.choice(["21", "32", "0", "150", ""]), 0.15)
    put("Values/N2Percent", rng.choice(["78", "20,5", "64", "44", "21.5", "22.5"]), 0.15)
    put("Decompression/Step", rng.choice(["True", "False", "true", ""]), 0.3)
    put("Settings/NitroxDecoStart", rng.choice([0, 6, 9, 12, 21, 3]), 0.2)
    rng.shuffle(sets)
    return sets


def random_dive(rng):
    """A modest profile file: depths 0..80 m, about 200 minutes at most."""
    out = []
    if maybe(rng, 0.85):
        out.append("Depth\tt.delta\tt.total\tN2%\tHe%")
    n_lines = rng.randint(1, 10)
    budget = rng.choice([30, 60, 120, 200])
    total = 0.0
    gas = rng.choice(compare.GASES)
    for i in range(1, n_lines + 1):
        if maybe(rng, 0.25):
            gas = rng.choice(compare.GASES)
        if i == n_lines and maybe(rng, 0.4):
            depth = 0
        else:
            depth = rng.choice([rng.randint(0, 80), rng.randint(5, 45), rng.choice([3, 6, 9, 12, 30, 40])])
        if maybe(rng, 0.08):
            depth += rng.choice([0.5, 0.25])
        t_delta = rng.choice([rng.randint(1, 5), rng.randint(1, 30), 1, 0 if i > 1 else 2])
        t_delta = max(0, min(t_delta, budget - int(total)))
        if maybe(rng, 0.05):
            t_delta += 0.5
        total += t_delta
        t_total = total + (rng.randint(-3, 3) if maybe(rng, 0.06) else 0)
        n2, he = gas
        fields = [compare.fmt(x) for x in (depth, t_delta, t_total, n2, he)]
        out.append(rng.choice(["\t"] * 8 + [" "]).join(fields))
    if maybe(rng, 0.8):
        out.append("# END OF PROFILE #")
    newline = "\r\n" if maybe(rng, 0.7) else "\n"
    return newline.join(out) + newline


def random_table(rng):
    """A depth/time file: 1..6 depth lines of 0..8 bottom times."""
    out = []
    for _ in range(rng.randint(1, 6)):
        depth = rng.choice([rng.randint(0, 80), rng.randint(9, 60), rng.choice([12, 21, 30, 40, 50])])
        count = rng.choice([0, 1, 2, 3, 4, 5, 6, 7, 8, 3, 4])
        times = sorted(rng.randint(1, 70) for _ in range(count))
        if maybe(rng, 0.2):
            rng.shuffle(times)
        fields = [compare.fmt(depth)] + [compare.fmt(t) for t in times]
        if maybe(rng, 0.08):
            fields[0] = fields[0] + ".5"
        if len(fields) > 1 and maybe(rng, 0.15):
            k = rng.randint(1, len(fields) - 1)
            fields[k] = rng.choice(["0", "x", "25a", "abc", "-5", "1", "2"])
        separator = rng.choice(["\t", " ", " ", "\t"])
        line = separator.join(fields)
        if maybe(rng, 0.05):
            line = line + separator
        out.append(line)
        if maybe(rng, 0.03):
            out.append("")
    newline = "\r\n" if maybe(rng, 0.6) else "\n"
    return newline.join(out) + newline


# --------------------------------------------------------------------------
# Running both sides
# --------------------------------------------------------------------------

def run_cli(cli, args, sets):
    cmd = [cli] + args + ["--settings", "/nonexistent.ini"]
    for s in sets:
        cmd += ["--set", s]
    proc = subprocess.run(cmd, capture_output=True, timeout=600)
    if proc.returncode != 0:
        raise RuntimeError("exit %d: %s" % (proc.returncode, proc.stderr.decode(errors="replace")[:300]))
    return proc.stdout.decode("utf-8")


def reference_text(command, path, sets):
    engine = ro.load(path, sets)
    if engine.first_stop_beyond_list or engine.stopped:
        return None
    if command == "nofly":
        return ro.nofly(engine)
    if command == "plan":
        lines = ro.dive_plan(engine)
    elif command == "decotext":
        lines = ro.deco_text(engine).split(ro.CRLF)
    else:
        lines = ro.deco_lines(engine)
    # a calculation that ends early has no stops to compare (the tool exits with 3)
    return None if engine.first_stop_beyond_list or engine.stopped else lines


def text_diffs(ref_lines, cli_text, show):
    cli_lines = cli_text.split("\n")
    if cli_lines and cli_lines[-1] == "":
        cli_lines.pop()
    out = []
    for n in range(max(len(ref_lines), len(cli_lines))):
        a = ref_lines[n] if n < len(ref_lines) else "<none>"
        b = cli_lines[n] if n < len(cli_lines) else "<none>"
        if a != b:
            out.append("line %d: reference %r, C++ %r" % (n + 1, a, b))
    return out[:show], len(out)


def check_dive(cli, command, path, sets, show):
    """(status, detail lines); status is "pass", "fail" or "skip"."""
    try:
        ref = reference_text(command, path, sets)
    except rc.CalculationLimit:
        ref = None
    if ref is None:
        return "skip", []
    try:
        args = [command, path] + (["--json"] if command == "nofly" else [])
        cli_text = run_cli(cli, args, sets)
    except (OSError, RuntimeError, subprocess.TimeoutExpired) as e:
        return "fail", ["C++ tool: %s" % e]
    if command == "nofly":
        problems = []
        try:
            got = json.loads(cli_text)
        except ValueError as e:
            problems.append("C++ output is not JSON (%s): %r" % (e, cli_text[:80]))
            try:        # read it anyway, so that the minutes can still be compared
                got = json.loads(cli_text.replace('"minutes":null"', '"minutes":null,"'))
            except ValueError:
                return "fail", problems
        if got.get("minutes") != ref["minutes"]:
            problems.append("minutes: reference %s, C++ %s" % (ref["minutes"], got.get("minutes")))
        elif ref["minutes"] is not None and got.get("message") != ref["message"]:
            problems.append("message: reference %r, C++ %r" % (ref["message"], got.get("message")))
        return ("fail" if problems else "pass"), problems
    diffs, n = text_diffs(ref, cli_text, show)
    if n:
        return "fail", diffs + (["... %d differing lines in all" % n] if n > show else [])
    return "pass", []


def check_table(cli, path, sets, show):
    out_cli = path + ".cpp.out"
    try:
        engine = rc.Engine(rc.Settings(dict(_store(sets))))
        ref = ro.deco_table_bytes(engine, rc.read_text_lines(path))
    except rc.CalculationLimit:
        return "skip", []
    if os.path.exists(out_cli):
        os.unlink(out_cli)
    try:
        run_cli(cli, ["decotable", path, out_cli], sets)
        with open(out_cli, "rb") as f:
            got = f.read()
    except (OSError, RuntimeError, subprocess.TimeoutExpired) as e:
        return "fail", ["C++ tool: %s" % e]
    if got == ref:
        return "pass", []
    ref_lines = ref.split(b"\r\n")
    got_lines = got.split(b"\r\n")
    diffs = []
    for n in range(max(len(ref_lines), len(got_lines))):
        a = ref_lines[n] if n < len(ref_lines) else b"<none>"
        b = got_lines[n] if n < len(got_lines) else b"<none>"
        if a != b:
            diffs.append("line %d: reference %r, C++ %r" % (n + 1, a, b))
    if not diffs:
        diffs = ["files differ in their line ends or bytes (%d vs %d bytes)" % (len(ref), len(got))]
    return "fail", diffs[:show] + (["... %d differing lines in all" % len(diffs)] if len(diffs) > show else [])


def _store(sets):
    store = {}
    for text in sets:
        rc.parse_set_option(text, store)
    return store


def run_check(job):
    kind, cli, command, path, sets, show = job
    if kind == "table":
        status, detail = check_table(cli, path, sets, show)
    else:
        status, detail = check_dive(cli, command, path, sets, show)
    return job, status, detail


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--count", type=int, default=300, help="random dives")
    ap.add_argument("--tables", type=int, default=100, help="random table input files")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    ap.add_argument("--cli", default=DEFAULT_CLI)
    ap.add_argument("--out", default="/tmp/marelos_compare_outputs", help="folder for the generated files")
    ap.add_argument("--show", type=int, default=4, help="differences shown per failing check")
    args = ap.parse_args(argv)

    os.makedirs(args.out, exist_ok=True)
    rng = random.Random(args.seed)
    jobs = []
    for n in range(1, args.count + 1):
        sets = random_settings(rng)
        path = os.path.join(args.out, "dive_%d_%04d.mrp" % (args.seed, n))
        with open(path, "wb") as f:
            f.write(random_dive(rng).encode("cp1252"))
        for command in DIVE_COMMANDS:
            jobs.append(("dive", args.cli, command, path, sets, args.show))
    for n in range(1, args.tables + 1):
        sets = random_settings(rng)
        path = os.path.join(args.out, "table_%d_%04d.txt" % (args.seed, n))
        with open(path, "wb") as f:
            f.write(random_table(rng).encode("cp1252"))
        jobs.append(("table", args.cli, "decotable", path, sets, args.show))

    passed = failed = skipped = 0
    with concurrent.futures.ProcessPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for job, status, detail in pool.map(run_check, jobs):
            if status == "pass":
                passed += 1
            elif status == "skip":
                skipped += 1
            else:
                failed += 1
                _, _, command, path, sets, _ = job
                print("FAIL %s %s  %s" % (command, path, " ".join("--set " + s for s in sets)))
                for line in detail:
                    print("  " + line)
    if skipped:
        print("%d skipped (first stop below the stop list, or a calculation that ended early)" % skipped)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
