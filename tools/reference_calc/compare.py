#!/usr/bin/env python3
"""Cross-check the C++ engine against the Python reference on random dives.

    python3 compare.py [--count 300] [--seed 1] [--cli PATH] [--out DIR]

Writes one random profile file per dive (with random settings), runs the
reference model and "marelos-cli calc FILE --settings /nonexistent.ini
--json" with the same --set options, and compares the two results:
messages exactly, whole numbers exactly, every other number to a relative
tolerance of 1e-9 (absolute 1e-12 near zero).  Prints the first differences
of every failing dive and "N passed, M failed"; exits 1 on any failure.
"""

import argparse
import json
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_calc  # noqa: E402

DEFAULT_CLI = "/work/main/build/src/cli/marelos-cli"
REL_TOL = 1e-9
ABS_TOL = 1e-12

# (N2 %, He %) of the gases that profile lines breathe
GASES = [(78, 0), (78, 0), (78, 0), (68, 0), (64, 0), (67, 0), (0, 0),
         (0, 78), (40, 43), (66, 17), (38, 50), (54, 25), (59, 14), (44, 35),
         (60, 17.5), (70.5, 0), (50, 20.25)]


# --------------------------------------------------------------------------
# Random dives
# --------------------------------------------------------------------------

def maybe(rng, p):
    return rng.random() < p


def fmt(x):
    if isinstance(x, int):
        return str(x)
    text = ("%.6f" % x).rstrip("0").rstrip(".")
    return text if text not in ("", "-0") else "0"


def random_settings(rng):
    """A list of "Section/Key=Value" overrides."""
    sets = []

    def put(name, value, p=1.0):
        if maybe(rng, p):
            sets.append("%s=%s" % (name, value))

    put("Values/DecoModel", rng.randint(1, 4), 0.85)
    put("Values/DecoMode", rng.choice([1, 2, 3, 4, 5, 1, 2, 4, 5, 0]), 0.85)
    if maybe(rng, 0.35):
        put("Settings/UseC0", rng.choice(["1", "1", "1", "0", "2"]))
        put("Values/C0T05N2", rng.choice(["0", "0.5", "1.1", "2.75", "6", "15"]), 0.7)
        put("Values/C0aN2", rng.choice(["0", "0.2", "0.9", "1.4", "2.5", "-0.6"]), 0.7)
        put("Values/C0bN2", rng.choice(["0", "0.05", "0.3", "0.6", "0.9", "1.6"]), 0.7)
        put("Values/C0T05He", rng.choice(["0", "0.4", "0.7", "3.3"]), 0.6)
        put("Values/C0aHe", rng.choice(["0", "0.21", "1.1", "2"]), 0.6)
        put("Values/C0bHe", rng.choice(["0", "0.06", "0.5", "0.85"]), 0.6)
    if maybe(rng, 0.4):
        put("Values/DeepStops", rng.choice(["1", "1", "1", "0"]))
        put("Values/DeepStopMode", rng.choice(["0", "1", "2", "2"]), 0.9)
        put("Values/DeepStopTime", rng.randint(0, 5), 0.9)
    put("Decompression/Step", rng.choice(["False", "False", "True", "false"]), 0.35)
    put("Decompression/Sharp1stStep", rng.choice(["True", "True", "False"]), 0.35)
    if maybe(rng, 0.4):
        put("Settings/NitroxDecoStart", rng.choice([0, 3, 6, 6, 9, 12, 21, 30, 4.5]))
        n2 = rng.choice([78, 68, 50, 36, 20, 0])
        he = rng.choice([0, 0, 0, 10, 20]) if n2 <= 68 else 0
        put("Values/N2PerCentDecompression", n2)
        put("Values/HePerCentDecompression", he, 0.8)
    elif maybe(rng, 0.25):
        put("Values/N2PerCentDecompression", rng.choice([78, 68, 50, 20, 0]))
        put("Values/HePerCentDecompression", rng.choice([0, 0, 15]), 0.5)
    put("Values/N2Percent", rng.choice(["78", "68", "64", "40", "20.5", "21.5", "0", "abc"]), 0.3)
    put("Values/SurfaceInterval", rng.choice([0, 0, 10, 60, 90, 120, 300, rng.randint(0, 300)]), 0.6)
    put("Values/AirPressure", rng.choice([700, 800, 900, 950, 1000, 1013, 1013.25, 1100,
                                          rng.randint(700, 1100)]), 0.7)
    put("Values/InitialppN2", rng.choice(["0.78", "0.79", "0.75", "0.7", "0", "0,78", "1.2"]), 0.4)
    put("Values/N2PerCentSurface", rng.choice([78, 78, 79, 68, 50, 0]), 0.3)
    put("Settings/MaxHScale", rng.choice([10, 30, 60, 100, 200, 5, 7000]), 0.25)
    if maybe(rng, 0.1):
        # texts that only the load rules make sense of
        key, value = rng.choice([
            ("Values/SurfaceInterval", rng.choice(["1e2", " 60", "&H3C", "45min", "-10", "2.5", "3.5"])),
            ("Values/AirPressure", rng.choice(["0", "2000", "2500", "-5", "950.5"])),
            ("Values/DeepStopTime", rng.choice(["-2", "2.5", "1.5"])),
            ("Values/HePerCentDecompression", rng.choice(["10.5", "11.5", ""])),
            ("Values/N2PerCentSurface", rng.choice(["", "77.5"])),
            ("Settings/UseC0", rng.choice(["1.0", " 1", "1.4"])),
            ("values/decomodel", rng.choice(["2", "4.4", "0.6", "5"])),
            ("Decompression/Sharp1stStep", rng.choice(["true", "TRUE", " True"])),
        ])
        sets.append("%s=%s" % (key, value))
    rng.shuffle(sets)
    return sets


def random_profile(rng):
    """Text of a random profile file."""
    out = []
    if maybe(rng, 0.85):
        out.append("Depth\tt.delta\tt.total\tN2%\tHe%")
    n_lines = rng.randint(1, 12)
    total = 0.0
    gas = rng.choice(GASES)
    long_dive = maybe(rng, 0.06)
    long_index = rng.randint(1, n_lines) if long_dive else -1
    long_kind = rng.choice(["shallow", "shallow", "table end", "deep", "surface end"])
    for i in range(1, n_lines + 1):
        if maybe(rng, 0.3):
            gas = rng.choice(GASES)
        n2, he = gas
        if long_dive:
            depth = {"deep": rng.randint(30, 60), "surface end": rng.randint(0, 6)}.get(
                long_kind, rng.randint(0, 25))
        elif i == n_lines and maybe(rng, 0.45):
            depth = 0
        else:
            depth = rng.choice([rng.randint(0, 60), rng.randint(0, 60),
                                rng.randint(0, 150), rng.choice([3, 6, 9, 10, 12, 30, 40])])
        if maybe(rng, 0.12):
            depth = depth + rng.choice([0.5, 0.25, 0.7, 0.49])
        if i == long_index:
            t_delta = {"shallow": rng.randint(1500, 4500), "deep": rng.randint(300, 2500),
                       "table end": rng.randint(5500, 6200),
                       "surface end": rng.randint(5600, 5900)}[long_kind]
        else:
            t_delta = rng.choice([rng.randint(1, 8), rng.randint(1, 30), rng.randint(1, 60), 1, 0])
        if maybe(rng, 0.1):
            t_delta = t_delta + rng.choice([0.5, 0.3, 1.5, 2.5])
        total += t_delta
        t_total = total
        r = rng.random()
        if r < 0.08:
            t_total = total + rng.randint(-5, 5)
        elif r < 0.12:
            t_total = total + 0.5
        if maybe(rng, 0.03):
            t_delta = -rng.randint(1, 5)
        fields = [fmt(depth), fmt(t_delta), fmt(t_total), fmt(n2), fmt(he)]
        if maybe(rng, 0.04):
            fields = fields[:3]
        separator = rng.choice(["\t"] * 12 + [" ", "  ", "\t\t", " \t"])
        if len(separator) > 1 and not 0 <= t_total <= 60:
            separator = "\t"       # doubled separators shift t.total into He%: no share
        line = separator.join(fields)
        if maybe(rng, 0.03):
            line = rng.choice([" ", "\t", "x"]) + line     # not a data line
        elif maybe(rng, 0.03):
            line = line + rng.choice(["\t", " ", "\tKommentar"])
        out.append(line)
        if maybe(rng, 0.05):
            out.append("; Abstieg %d" % rng.randint(1, 30))
        if maybe(rng, 0.03):
            out.append("")          # an empty line is a data line
    if maybe(rng, 0.8):
        out.append("# END OF PROFILE #")
        if maybe(rng, 0.5):
            out.append("TG-Nummer: %d" % rng.randint(1, 99))
            out.append("Tauchplatz: Überlingen")
    newline = "\r\n" if maybe(rng, 0.7) else "\n"
    return newline.join(out) + newline


# --------------------------------------------------------------------------
# Comparison
# --------------------------------------------------------------------------

EXACT_KEYS = ("computedCount", "stops", "totals")


def close(a, b):
    if a == b:
        return True
    if abs(a) <= ABS_TOL and abs(b) <= ABS_TOL:
        return True
    return abs(a - b) <= REL_TOL * max(abs(a), abs(b))


def diff(path, ref, cli, exact, out):
    """Append (path, reference, C++) for every difference."""
    if isinstance(ref, dict) and isinstance(cli, dict):
        for key in list(ref) + [k for k in cli if k not in ref]:
            if key not in ref or key not in cli:
                out.append((path + "." + key, ref.get(key, "<missing>"), cli.get(key, "<missing>")))
            else:
                diff(path + "." + key, ref[key], cli[key], exact or key in EXACT_KEYS, out)
    elif isinstance(ref, list) and isinstance(cli, list):
        if len(ref) != len(cli):
            out.append((path + ".length", len(ref), len(cli)))
        for i, (a, b) in enumerate(zip(ref, cli)):
            diff("%s[%d]" % (path, i), a, b, exact, out)
    elif isinstance(ref, bool) or isinstance(cli, bool):
        if ref != cli:
            out.append((path, ref, cli))
    elif isinstance(ref, (int, float)) and isinstance(cli, (int, float)):
        if exact:
            if ref != cli:
                out.append((path, ref, cli))
        elif not close(ref, cli):
            out.append((path, ref, cli))
    elif ref != cli:
        out.append((path, ref, cli))


def compare_results(ref, cli):
    out = []
    diff("", ref, cli, False, out)
    return out


def run_cli(cli, path, sets):
    cmd = [cli, "calc", path, "--settings", "/nonexistent.ini", "--json"]
    for s in sets:
        cmd += ["--set", s]
    proc = subprocess.run(cmd, capture_output=True, timeout=300)
    # 3: the calculation ended early; the JSON is still written and compared
    if proc.returncode not in (0, 3):
        raise RuntimeError("exit %d: %s" % (proc.returncode, proc.stderr.decode(errors="replace")[:500]))
    return json.loads(proc.stdout.decode("utf-8"))


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--count", type=int, default=300)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--cli", default=DEFAULT_CLI)
    ap.add_argument("--out", default="/tmp/marelos_compare", help="folder for the generated files")
    ap.add_argument("--show", type=int, default=5, help="differences shown per failing dive")
    args = ap.parse_args(argv)

    os.makedirs(args.out, exist_ok=True)
    rng = random.Random(args.seed)
    passed = failed = skipped = 0
    for n in range(1, args.count + 1):
        sets = random_settings(rng)
        text = random_profile(rng)
        path = os.path.join(args.out, "dive_%d_%04d.mrp" % (args.seed, n))
        data = text.encode("cp1252") if maybe(rng, 0.5) else text.encode("utf-8")
        if maybe(rng, 0.03):
            data = b"\xef\xbb\xbf" + text.encode("utf-8")
        with open(path, "wb") as f:
            f.write(data)
        ref = reference_calc.run(path, sets)
        if ref.get("firstStopBeyondList"):
            skipped += 1            # first stop below 300 m: outside what is compared
            continue
        try:
            cli = run_cli(args.cli, path, sets)
        except (OSError, RuntimeError, ValueError, subprocess.TimeoutExpired) as e:
            failed += 1
            print("FAIL %s  %s\n  C++ tool: %s" % (path, " ".join("--set " + s for s in sets), e))
            continue
        diffs = compare_results(ref, cli)
        if not diffs:
            passed += 1
            continue
        failed += 1
        print("FAIL %s  %s" % (path, " ".join("--set " + s for s in sets)))
        for where, a, b in diffs[:args.show]:
            print("  %s: reference %s, C++ %s" % (where or "<root>", json.dumps(a, ensure_ascii=False)[:200],
                                                 json.dumps(b, ensure_ascii=False)[:200]))
        if len(diffs) > args.show:
            print("  ... %d differences in all" % len(diffs))
    if skipped:
        print("%d skipped (first stop below 300 m)" % skipped)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
