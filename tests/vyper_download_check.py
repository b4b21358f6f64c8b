#!/usr/bin/env python3
"""End to end: marelos-cli vyper-download against the simulated Vyper on a pseudo-terminal.

Checks the listed lines and the written files against golden copies, for both interface types,
and that a damaged packet, a silent device and a dive count end the transfer as they should.
With --update the golden copies are written from this run instead (review them with git diff).
"""
import argparse
import filecmp
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SIMULATOR = os.path.join(HERE, "..", "tools", "simulators", "vyper_sim.py")
IMAGE = os.path.join(HERE, "..", "tools", "simulators", "vyper_image.json")
GOLDEN = os.path.join(HERE, "data", "vyper_download")


def download(cli, folder, sim_args, cli_args=()):
    sim = subprocess.Popen([sys.executable, SIMULATOR, IMAGE] + list(sim_args),
                           stdout=subprocess.PIPE, text=True)
    try:
        pty = sim.stdout.readline().strip()
        run = subprocess.run([cli, "vyper-download", "--device", pty, folder,
                              "--settings", os.path.join(folder, "keine.ini"),
                              "--set", "SuuntoVyper/COMDelay=30"] + list(cli_args),
                             capture_output=True, text=True, timeout=60)
    finally:
        sim.kill()
        sim.wait()
    if run.returncode != 0:
        raise AssertionError(f"exit {run.returncode}: {run.stderr}")
    return run.stdout.replace(folder, "ORDNER")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        for interface in ("1", "2"):
            folder = os.path.join(tmp, "if" + interface)
            listing = download(args.cli, folder, ["--interface", interface],
                               ["--interface", interface])
            golden_listing = os.path.join(GOLDEN, f"listing_interface{interface}.txt")
            if args.update:
                os.makedirs(GOLDEN, exist_ok=True)
                with open(golden_listing, "w", encoding="utf-8") as f:
                    f.write(listing)
                for name in os.listdir(folder):
                    with open(os.path.join(folder, name), "rb") as src, \
                            open(os.path.join(GOLDEN, name), "wb") as dst:
                        dst.write(src.read())
                continue
            with open(golden_listing, encoding="utf-8") as f:
                check(listing == f.read(), f"listing of interface {interface} differs:\n{listing}")
            dives = sorted(n for n in os.listdir(GOLDEN) if n.endswith(".mrp"))
            check(sorted(os.listdir(folder)) == dives, f"files: {os.listdir(folder)}")
            for name in dives:
                check(filecmp.cmp(os.path.join(folder, name), os.path.join(GOLDEN, name),
                                  shallow=False), f"{name} differs from its golden copy")

        damaged = download(args.cli, os.path.join(tmp, "bad"), ["--bad-packet", "1"])
        check("35 Zeichen empfangen. CRC Falsch" in damaged, damaged)
        check(damaged.count("Datum: ") == 3, "the download did not go on after the damage")

        silent = download(args.cli, os.path.join(tmp, "silent"),
                          ["--silent-request", "0", "--silent-request", "1"])
        check(silent == "\nÜbertragung beendet.\n\n", repr(silent))

        garbled = download(args.cli, os.path.join(tmp, "garbage"), ["--garbage", "0"])
        check(garbled.count("Datum: ") == 3, garbled)

        one = download(args.cli, os.path.join(tmp, "one"), [], ["--dives", "1"])
        check(one.count("Datum: ") == 1 and one.endswith("Übertragung beendet\n"), one)
    return 0


if __name__ == "__main__":
    sys.exit(main())
