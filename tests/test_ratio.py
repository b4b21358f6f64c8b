#!/usr/bin/env python3
"""Fails when the tests grow past a share of the code.

    test_ratio.py SOURCE_DIR [--limit PERCENT]

Counts non-blank lines as tests/README.md says: the tracked .cpp, .h and .py files below tests/
against the tracked .cpp and .h files below src/ (without git, every such file on disk). Prints
both counts and the share; exits 1 above the limit (default 35 %).
"""

import argparse
import os
import subprocess
import sys


def files(root, folder, endings):
    try:
        listed = subprocess.run(["git", "-C", root, "ls-files", folder], capture_output=True,
                                text=True, check=True).stdout.split("\n")
    except (OSError, subprocess.CalledProcessError):
        listed = [os.path.relpath(os.path.join(d, f), root)
                  for d, _, names in os.walk(os.path.join(root, folder)) for f in names]
    return [os.path.join(root, f) for f in listed if f.endswith(endings)]


def non_blank_lines(paths):
    count = 0
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as f:
            count += sum(1 for line in f if line.strip())
    return count


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--limit", type=float, default=35.0)
    args = parser.parse_args()
    tests = non_blank_lines(files(args.root, "tests", (".cpp", ".h", ".py")))
    code = non_blank_lines(files(args.root, "src", (".cpp", ".h")))
    share = 100.0 * tests / code
    print(f"Tests {tests} Zeilen, Code {code} Zeilen: {share:.1f} % (Grenze {args.limit:g} %)")
    return 0 if share <= args.limit else 1


if __name__ == "__main__":
    sys.exit(main())
