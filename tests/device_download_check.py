#!/usr/bin/env python3
"""End to end: marelos-cli vyper-download against the simulated Vyper on a pseudo-terminal, whole
and in every fault mode of the simulator (the case table tests/data/vyper_download/faults.tsv).
The KORA 4 loads run in the test KoraCli.LoadsTheSimulatedKoraAsTheCaseTableSays.

A whole Vyper download must match golden copies of its listing and files (both interface types;
--update writes them from this run instead, review them with git diff). Each fault must end the
command within seconds, leave no file that looks whole but is not, and end with a non-zero exit
code when the transfer failed.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SIMULATORS = os.path.join(HERE, "..", "tools", "simulators")
GOLDEN = os.path.join(HERE, "data", "vyper_download")
# What "within seconds" means here: a whole download takes about one on an idle machine, and
# several when the machine is busy with other tests; a transfer that hangs took minutes.
SECONDS = 30
GOOD_FILE = b"eine vollst\xc3\xa4ndige Datei\r\n"


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def rows(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if not line.startswith("#")]


def content(path):
    with open(path, "rb") as f:
        return f.read()


def run_against(device, cli, sim_args, command):
    """Runs the command (its argument list after the device path) against the simulated device,
    within SECONDS."""
    sim = subprocess.Popen([sys.executable, os.path.join(SIMULATORS, device + "_sim.py"),
                            os.path.join(SIMULATORS, device + "_image.json")] + list(sim_args),
                           stdout=subprocess.PIPE, text=True)
    try:
        pty = sim.stdout.readline().strip()
        started = time.monotonic()
        run = subprocess.run([cli] + command(pty), capture_output=True, text=True,
                             timeout=6 * SECONDS)
        seconds = time.monotonic() - started
    finally:
        sim.kill()
        sim.wait()
    check(seconds < SECONDS, f"{sim_args}: {seconds:.1f} s")
    return run


def vyper(cli, folder, sim_args=(), cli_args=()):
    os.makedirs(folder, exist_ok=True)
    run = run_against("vyper", cli, sim_args, lambda pty: [
        "vyper-download", "--device", pty, folder, "--settings", os.path.join(folder, "keine.ini"),
        "--set", "SuuntoVyper/COMDelay=30"] + list(cli_args))
    return run.returncode, run.stdout.replace(folder, "ORDNER"), run.stderr


def check_whole_files(folder, names, context, kept=()):
    """The folder holds exactly these dive files (and those it kept), each as the whole download
    writes it."""
    present = sorted(n for n in os.listdir(folder) if n.endswith(".mrp"))
    check(present == sorted(list(names) + list(kept)), f"{context}: files {present}")
    for name in set(names) & set(os.listdir(GOLDEN)):
        check(content(os.path.join(folder, name)) == content(os.path.join(GOLDEN, name)),
              f"{context}: {name} differs from its golden copy")


def check_vyper(cli, tmp, update):
    golden_dives = [n for n in os.listdir(GOLDEN) if n.endswith(".mrp")]
    for interface in ("1", "2"):
        folder = os.path.join(tmp, "if" + interface)
        code, out, err = vyper(cli, folder, ["--interface", interface], ["--interface", interface])
        check(code == 0, f"interface {interface}: exit {code}: {err}")
        listing = os.path.join(GOLDEN, f"listing_interface{interface}.txt")
        if update:
            with open(listing, "w", encoding="utf-8") as f:
                f.write(out)
            for name in (n for n in os.listdir(folder) if n.endswith(".mrp")):
                shutil.copyfile(os.path.join(folder, name), os.path.join(GOLDEN, name))
        else:
            check(out == content(listing).decode(), f"listing of interface {interface}:\n{out}")
            check_whole_files(folder, golden_dives, f"interface {interface}")
    if update:
        return

    dives = {"newest": "Tauchgang 2024-August-23 15 Uhr 42.mrp",
             "second": "Tauchgang 2024-August-23 11 Uhr 05.mrp",
             "oldest": "Tauchgang 2003-Juli-02 09 Uhr 30.mrp"}
    second = dives["second"]
    for number, (sim_args, stored, expected_code, line) in enumerate(
            rows(os.path.join(GOLDEN, "faults.tsv"))):
        sim_args, stored = sim_args.split(), [dives[d] for d in stored.split()]
        folder = os.path.join(tmp, f"fault{number}")
        os.makedirs(folder)
        # A good file of the second dive is never replaced by a damaged download of it.
        with open(os.path.join(folder, second), "wb") as f:
            f.write(GOOD_FILE)
        code, out, err = vyper(cli, folder, sim_args)
        context = f"{sim_args}: {out}"
        check(any(listed.startswith(line) for listed in out.splitlines()), context)
        check(code == int(expected_code), f"{context}: exit {code}")
        check((err == "") == (code == 0), f"{context}: {err}")
        check("Alle Tauchgänge wurden" not in out or code == 0, context)
        kept = [] if second in stored else [second]
        check(all(content(os.path.join(folder, name)) == GOOD_FILE for name in kept),
              f"{context}: the good file was replaced")
        check_whole_files(folder, stored, str(sim_args), kept)

    code, out, _ = vyper(cli, os.path.join(tmp, "one"), [], ["--dives", "1"])
    check(code == 0 and out.count("Datum: ") == 1, out)
    check(out.endswith("Übertragung beendet\n"), out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        check_vyper(args.cli, tmp, args.update)
    return 0


if __name__ == "__main__":
    sys.exit(main())
