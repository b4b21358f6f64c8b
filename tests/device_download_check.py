#!/usr/bin/env python3
"""End to end: marelos-cli vyper-download and kora-download against the simulated devices on a
pseudo-terminal, whole and in every fault mode of the simulators.

A whole Vyper download must match golden copies of its listing and files (both interface types;
--update writes them from this run instead, review them with git diff). Each fault must end the
command within seconds, leave no file that looks whole but is not, and end with a non-zero exit
code when the transfer failed.
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


def check(condition, message):
    if not condition:
        raise AssertionError(message)


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
        check(filecmp.cmp(os.path.join(folder, name), os.path.join(GOLDEN, name), shallow=False),
              f"{context}: {name} differs from its golden copy")


def check_vyper(cli, tmp, update):
    for interface in ("1", "2"):
        folder = os.path.join(tmp, "if" + interface)
        code, out, err = vyper(cli, folder, ["--interface", interface], ["--interface", interface])
        check(code == 0, f"interface {interface}: exit {code}: {err}")
        listing = os.path.join(GOLDEN, f"listing_interface{interface}.txt")
        if update:
            with open(listing, "w", encoding="utf-8") as f:
                f.write(out)
            for name in (n for n in os.listdir(folder) if n.endswith(".mrp")):
                with open(os.path.join(folder, name), "rb") as src, \
                        open(os.path.join(GOLDEN, name), "wb") as dst:
                    dst.write(src.read())
            continue
        with open(listing, encoding="utf-8") as f:
            check(out == f.read(), f"listing of interface {interface} differs:\n{out}")
        check_whole_files(folder, [n for n in os.listdir(GOLDEN) if n.endswith(".mrp")],
                          f"interface {interface}")
    if update:
        return

    dives = {"newest": "Tauchgang 2024-August-23 15 Uhr 42.mrp",
             "second": "Tauchgang 2024-August-23 11 Uhr 05.mrp",
             "oldest": "Tauchgang 2003-Juli-02 09 Uhr 30.mrp"}
    second = dives["second"]
    faults = []
    with open(os.path.join(GOLDEN, "faults.tsv"), encoding="utf-8") as f:
        for row in (line.rstrip("\n").split("\t") for line in f if not line.startswith("#")):
            faults.append((row[0].split(), [dives[d] for d in row[1].split()], row[3], int(row[2])))
    for number, (sim_args, stored, line, expected_code) in enumerate(faults):
        folder = os.path.join(tmp, f"fault{number}")
        os.makedirs(folder)
        # A good file of the second dive is never replaced by a damaged download of it.
        with open(os.path.join(folder, second), "w", encoding="utf-8", newline="") as f:
            f.write(GOOD_FILE)
        code, out, err = vyper(cli, folder, sim_args)
        context = f"{sim_args}: {out}"
        check(any(listed.startswith(line) for listed in out.splitlines()), context)
        check(code == expected_code, f"{context}: exit {code}")
        check((err == "") == (code == 0), f"{context}: {err}")
        check("Alle Tauchgänge wurden" not in out or code == 0, context)
        kept = [] if second in stored else [second]
        for name in kept:
            with open(os.path.join(folder, name), encoding="utf-8", newline="") as f:
                check(f.read() == GOOD_FILE, f"{context}: the good file was replaced")
        check_whole_files(folder, stored, str(sim_args), kept)

    code, out, _ = vyper(cli, os.path.join(tmp, "one"), [], ["--dives", "1"])
    check(code == 0 and out.count("Datum: ") == 1, out)
    check(out.endswith("Übertragung beendet\n"), out)


def kora(cli, tmp, sim_args, cli_args=("--timeout", "200")):
    image = os.path.join(tmp, "abbild.txt")
    if os.path.exists(image):
        os.remove(image)
    run = run_against("kora", cli, sim_args, lambda pty: [
        "kora-download", "--device", pty, image, "--settings", os.path.join(tmp, "keine.ini")]
        + list(cli_args))
    return run, image


def check_kora(cli, tmp):
    whole, image = kora(cli, tmp, [])
    check(whole.returncode == 0 and whole.stderr == "", f"{whole.returncode}: {whole.stderr}")
    check(whole.stdout == "".join(f"Tauchgang Nr. {n}\n" for n in range(1, 5)), whole.stdout)
    with open(image, encoding="utf-8") as f:
        check("-1" not in f.read().split(), "a whole load holds a failed byte")

    # Damaged bytes inside dive 2: the memory is written with -1 there, the dive is marked
    # incomplete, and kora-dive refuses to print it.
    for sim_args in (["--bad-checksum", "160"], ["--garbage", "160"]):
        damaged, image = kora(cli, tmp, sim_args)
        check(damaged.returncode == 1, f"{sim_args}: exit {damaged.returncode}")
        check("Tauchgang Nr. 2 (unvollständig)\n" in damaged.stdout, damaged.stdout)
        check("1 Byte des Speichers kam mit falscher Prüfsumme" in damaged.stderr, damaged.stderr)
        with open(image, encoding="utf-8") as f:
            check(f.read().split()[160] == "-1", f"{sim_args}: byte 160 was read")
        shown = subprocess.run([cli, "kora-dive", image, "2"], capture_output=True, text=True,
                               timeout=SECONDS)
        check(shown.returncode == 1 and shown.stdout == "", shown.stdout + shown.stderr)

    # A load that ends early writes no memory file at all. Replies 1.2 s late with the reply
    # time of 1 s the user gets: each comes during the next read and does not fit it.
    ended = [
        (["--silent-from", "0"], ["--timeout", "200"], "Der KORA 4 antwortet nicht."),
        (["--slow", "1.2"], [], "Der KORA 4 antwortet zu spät oder mit falschen Prüfsummen."),
        (["--vanish-at", "500"], ["--timeout", "200"], "Die Verbindung zum KORA 4 ist abgebrochen"),
    ]
    for sim_args, cli_args, message in ended:
        run, image = kora(cli, tmp, sim_args, cli_args)
        check(run.returncode == 1 and run.stderr.startswith(message),
              f"{sim_args}: {run.returncode} {run.stderr}")
        check(run.stdout == "" and not os.path.exists(image), f"{sim_args}: {run.stdout}")


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
