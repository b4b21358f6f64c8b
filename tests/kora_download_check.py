#!/usr/bin/env python3
"""End to end: marelos-cli kora-download and kora-dive against the simulated KORA 4 on a pty.

The whole EEPROM arrives as the simulator holds it and lists its four dives; a damaged reply
becomes -1 and never a dive; the dive with samples without depth is shown minute by minute; a
silent device ends the load with the program's message instead of hanging.
"""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SIMULATOR = os.path.join(HERE, "..", "tools", "simulators", "kora_sim.py")
IMAGE = os.path.join(HERE, "..", "tools", "simulators", "kora_image.json")
DIVE_2_START = 149  # the second dive's start byte in the shipped image


def download(cli, folder, sim_args):
    """The CLI's result and the numbers it wrote, with the simulator's own image."""
    saved = os.path.join(folder, "sim.txt")
    sim = subprocess.Popen([sys.executable, SIMULATOR, IMAGE, "--save", saved] + sim_args,
                           stdout=subprocess.PIPE, text=True)
    out = os.path.join(folder, "eeprom.txt")
    try:
        pty = sim.stdout.readline().strip()
        run = subprocess.run([cli, "kora-download", "--device", pty, out, "--timeout", "200",
                              "--settings", os.path.join(folder, "keine.ini")],
                             capture_output=True, text=True, timeout=60)
    finally:
        sim.kill()
        sim.wait()
    numbers = None
    if os.path.exists(out):
        with open(out, encoding="utf-8") as f:
            numbers = [int(w) for w in f.read().split()]
        os.remove(out)
    with open(saved, encoding="utf-8") as f:
        device = [int(w) for w in f.read().split()]
    return run, numbers, device


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    dives = "".join(f"Tauchgang Nr. {n}\n" for n in range(1, 5))

    with tempfile.TemporaryDirectory() as tmp:
        run, numbers, device = download(args.cli, tmp, [])
        check(run.returncode == 0 and run.stdout == dives, f"{run.returncode} {run.stdout!r}")
        check(numbers == device, "the downloaded image differs from the device's")

        path = os.path.join(tmp, "image.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(" ".join(map(str, numbers)))
        shown = subprocess.run([args.cli, "kora-dive", path, "2"], capture_output=True,
                               text=True, check=True).stdout.splitlines()
        check(len(shown) == 35, f"{len(shown)} minutes instead of 35 (two samples have no depth)")
        check(shown[8:11] == ["31\t1\t9\t78\t0", "28\t1\t10\t78\t0", "25\t1\t11\t78\t0"], shown)
        with open(path, "wb") as f:  # the same image as raw bytes
            f.write(bytes(b & 0xFF for b in numbers))
        raw = subprocess.run([args.cli, "kora-dive", path, "2"], capture_output=True, text=True)
        check(raw.stdout.splitlines() == shown, "raw bytes give another dive than numbers")

        run, numbers, _ = download(args.cli, tmp, ["--bad-checksum", str(DIVE_2_START)])
        check(numbers[DIVE_2_START] == -1, "a damaged reply is kept as a byte")
        check(run.stdout == "".join(f"Tauchgang Nr. {n}\n" for n in range(1, 4)), run.stdout)

        run, numbers, _ = download(args.cli, tmp, ["--silent-from", "0"])
        check(run.returncode == 1 and numbers is None, f"{run.returncode} {numbers is None}")
        check("Der KORA 4 antwortet nicht." in run.stderr, run.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
