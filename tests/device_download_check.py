#!/usr/bin/env python3
"""End to end: marelos-cli vyper-download and kora-download against the simulated devices on a
pseudo-terminal, whole and in every fault mode of the simulators.

A whole Vyper download is checked against golden copies of its listing and files, for both
interface types. Each fault (a damaged packet, garbage, a silent or slow device, a device that
goes away in the middle of an answer) must end the command within seconds, leave no file that
looks whole but is not, and end with a non-zero exit code when the transfer failed.
With --update the golden copies of the whole download are written from this run instead (review
them with git diff).
"""
import argparse
import filecmp
import os
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
GOOD_FILE = "eine vollständige Datei\r\n"


class Run:
    def __init__(self, code, out, err, seconds):
        self.code, self.out, self.err, self.seconds = code, out, err, seconds


def run_against(device, cli, sim_args, command):
    """Runs the command (its argument list after the device path) against the simulated device."""
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
    return Run(run.returncode, run.stdout, run.stderr, seconds)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def vyper(cli, folder, sim_args=(), cli_args=()):
    os.makedirs(folder, exist_ok=True)
    run = run_against("vyper", cli, sim_args, lambda pty: [
        "vyper-download", "--device", pty, folder, "--settings", os.path.join(folder, "keine.ini"),
        "--set", "SuuntoVyper/COMDelay=30"] + list(cli_args))
    run.out = run.out.replace(folder, "ORDNER")
    check(run.seconds < SECONDS, f"{sim_args}: {run.seconds:.1f} s")
    return run


def golden_dives():
    return sorted(n for n in os.listdir(GOLDEN) if n.endswith(".mrp"))


def check_whole_files(folder, names, context, kept=()):
    """The folder holds exactly these dive files (and those it kept), each as the whole download
    writes it."""
    present = sorted(n for n in os.listdir(folder) if n.endswith(".mrp"))
    check(present == sorted(list(names) + list(kept)), f"{context}: files {present}")
    for name in names:
        if name in golden_dives():
            check(filecmp.cmp(os.path.join(folder, name), os.path.join(GOLDEN, name),
                              shallow=False), f"{context}: {name} differs from its golden copy")


def check_vyper(cli, tmp, update):
    for interface in ("1", "2"):
        folder = os.path.join(tmp, "if" + interface)
        run = vyper(cli, folder, ["--interface", interface], ["--interface", interface])
        check(run.code == 0, f"interface {interface}: exit {run.code}: {run.err}")
        golden_listing = os.path.join(GOLDEN, f"listing_interface{interface}.txt")
        if update:
            with open(golden_listing, "w", encoding="utf-8") as f:
                f.write(run.out)
            for name in os.listdir(folder):
                if name.endswith(".mrp"):
                    with open(os.path.join(folder, name), "rb") as src, \
                            open(os.path.join(GOLDEN, name), "wb") as dst:
                        dst.write(src.read())
            continue
        with open(golden_listing, encoding="utf-8") as f:
            check(run.out == f.read(), f"listing of interface {interface} differs:\n{run.out}")
        check_whole_files(folder, golden_dives(), f"interface {interface}")
    if update:
        return

    newest, second, oldest = ("Tauchgang 2024-August-23 15 Uhr 42.mrp",
                              "Tauchgang 2024-August-23 11 Uhr 05.mrp",
                              "Tauchgang 2003-Juli-02 09 Uhr 30.mrp")
    # (simulator options, dives stored whole, the start of a line listed, exit code)
    faults = [
        (["--bad-packet", "4"], [newest, oldest],
         "Tauchgang Nr. 2 ist unvollständig angekommen (1 Datenpaket mit falscher Prüfsumme "
         "verworfen): er wird nicht gespeichert.", 1),
        (["--bad-packet", "1"], [newest, second, oldest],
         "Der neueste Tauchgang wird noch einmal angefordert.", 0),
        (["--garbage", "1"], [newest, oldest], "Tauchgang Nr. 2 ist unvollständig angekommen", 1),
        (["--silent-request", "0", "--silent-request", "1"], [], "Übertragung beendet.", 1),
        (["--slow", "1"], [], "Übertragung beendet.", 1),
        (["--vanish-at", "1"], [newest],
         "Die Verbindung zum Vyper ist abgebrochen: die Übertragung ist unvollständig.", 1),
    ]
    for number, (sim_args, stored, line, code) in enumerate(faults):
        folder = os.path.join(tmp, f"fault{number}")
        os.makedirs(folder)
        # A good file of the second dive is never replaced by a damaged download of it.
        with open(os.path.join(folder, second), "w", encoding="utf-8", newline="") as f:
            f.write(GOOD_FILE)
        run = vyper(cli, folder, sim_args)
        context = f"{sim_args}: {run.out}"
        check(any(listed.startswith(line) for listed in run.out.splitlines()), context)
        check(run.code == code, f"{context}: exit {run.code}")
        check((run.err == "") == (code == 0), f"{context}: {run.err}")
        check("Alle Tauchgänge wurden" not in run.out or code == 0, context)
        kept = [] if second in stored else [second]
        for name in kept:
            with open(os.path.join(folder, name), encoding="utf-8", newline="") as f:
                check(f.read() == GOOD_FILE, f"{context}: the good file was replaced")
        check_whole_files(folder, stored, str(sim_args), kept)

    one = vyper(cli, os.path.join(tmp, "one"), [], ["--dives", "1"])
    check(one.code == 0 and one.out.count("Datum: ") == 1, one.out)
    check(one.out.endswith("Übertragung beendet\n"), one.out)


def kora(cli, tmp, name, sim_args, cli_args=("--timeout", "200")):
    image = os.path.join(tmp, name + ".txt")
    run = run_against("kora", cli, sim_args, lambda pty: [
        "kora-download", "--device", pty, image, "--settings", os.path.join(tmp, "keine.ini")]
        + list(cli_args))
    check(run.seconds < SECONDS, f"{sim_args}: {run.seconds:.1f} s")
    run.image = image
    return run


def check_kora(cli, tmp):
    whole = kora(cli, tmp, "ganz", [])
    check(whole.code == 0 and whole.err == "", f"exit {whole.code}: {whole.err}")
    check(whole.out == "".join(f"Tauchgang Nr. {n}\n" for n in range(1, 5)), whole.out)
    with open(whole.image, encoding="utf-8") as f:
        check("-1" not in f.read().split(), "a whole load holds a failed byte")

    # Damaged bytes inside dive 2: the memory is written with -1 there, the dive is marked
    # incomplete, and kora-dive refuses to print it.
    for sim_args in (["--bad-checksum", "160"], ["--garbage", "160"]):
        damaged = kora(cli, tmp, "kaputt", sim_args)
        check(damaged.code == 1, f"{sim_args}: exit {damaged.code}")
        check("Tauchgang Nr. 2 (unvollständig)\n" in damaged.out, damaged.out)
        check("1 Byte des Speichers kam mit falscher Prüfsumme" in damaged.err, damaged.err)
        with open(damaged.image, encoding="utf-8") as f:
            check(f.read().split()[160] == "-1", f"{sim_args}: byte 160 was read")
        shown = subprocess.run([cli, "kora-dive", damaged.image, "2"], capture_output=True,
                               text=True, timeout=SECONDS)
        check(shown.returncode == 1 and shown.stdout == "", shown.stdout + shown.stderr)

    # A load that ends early writes no memory file at all. Replies 1.2 s late with the reply
    # time of 1 s the user gets: each comes during the next read and does not fit it.
    ended = [
        (["--silent-from", "0"], ["--timeout", "200"], "Der KORA 4 antwortet nicht."),
        (["--slow", "1.2"], [], "Der KORA 4 antwortet zu spät oder mit falschen Prüfsummen."),
        (["--vanish-at", "500"], ["--timeout", "200"], "Die Verbindung zum KORA 4 ist abgebrochen"),
    ]
    for sim_args, cli_args, message in ended:
        run = kora(cli, tmp, "abbruch", sim_args, cli_args)
        check(run.code == 1 and run.err.startswith(message), f"{sim_args}: {run.code} {run.err}")
        check(run.out == "" and not os.path.exists(run.image), f"{sim_args}: {run.out}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--device", choices=("vyper", "kora"), required=True)
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        if args.device == "vyper":
            check_vyper(args.cli, tmp, args.update)
        else:
            check_kora(args.cli, tmp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
