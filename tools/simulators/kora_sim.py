#!/usr/bin/env python3
"""A simulated KORA 4 dive computer on a pseudo-terminal.

Prints the pty's path on the first line of stdout, then answers until killed:
  read  C8 lo hi           -> data, C8^lo^hi^data
  write C9 lo hi value chk -> stored when chk == C9^lo^hi^value, ignored otherwise; no answer

The EEPROM image (addresses 0..4096) is either a text of 4097 whitespace-separated decimal
numbers (-1 reads as 255) or JSON: {"size": 4097, "fill": 255, "blocks": [{"address": A,
"bytes": [...]}, ...]}. With --save the image is written there as 4097 numbers at start and after
every stored write, so a test can check a clock synchronisation in it.
"""
import argparse
import json
import os
import random
import sys
import time

from pty_device import incoming_bytes, open_device

SIZE = 4097
READ, WRITE = 0xC8, 0xC9


def load_image(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if text.lstrip().startswith("{"):
        spec = json.loads(text)
        image = [spec.get("fill", 255)] * spec.get("size", SIZE)
        for block in spec["blocks"]:
            at = block["address"]
            image[at:at + len(block["bytes"])] = block["bytes"]
    else:
        image = [int(word) & 0xFF for word in text.split()]
    if len(image) != SIZE:
        sys.exit(f"{path}: {len(image)} bytes instead of {SIZE}")
    return image


def save_image(path, image):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write("\n".join(str(b) for b in image) + "\n")
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("image")
    parser.add_argument("--save", help="keep the image up to date in this file")
    parser.add_argument("--bad-checksum", type=int, action="append", default=[],
                        metavar="ADDRESS", help="answer reads of this address with a wrong checksum")
    parser.add_argument("--silent-from", type=int, default=SIZE, metavar="ADDRESS",
                        help="do not answer reads from this address on (0: a dead device)")
    parser.add_argument("--slow", type=float, default=0.0, metavar="SECONDS",
                        help="wait this long before each answer")
    parser.add_argument("--garbage", type=int, action="append", default=[], metavar="ADDRESS",
                        help="answer reads of this address with three random bytes")
    parser.add_argument("--vanish-at", type=int, default=SIZE, metavar="ADDRESS",
                        help="send one byte of the reply to this address, then end as a device "
                             "pulled off its cable (the pseudo-terminal closes)")
    args = parser.parse_args()

    image = load_image(args.image)
    if args.save:
        save_image(args.save, image)
    master = open_device()
    request = []
    for b in incoming_bytes(master):
        if not request and b not in (READ, WRITE):
            continue  # no command starts with this byte: wait for one that does
        request.append(b)
        if len(request) < (3 if request[0] == READ else 5):
            continue
        command, low, high = request[:3]
        frame, request = request, []
        address = low + 256 * high
        if address >= SIZE:
            continue
        if command == READ:
            if address >= args.silent_from:
                continue
            if args.slow:
                time.sleep(args.slow)
            value = image[address]
            check = command ^ low ^ high ^ value
            if address in args.bad_checksum:
                check ^= 0x5A
            if address == args.vanish_at:
                os.write(master, bytes([value]))
                os._exit(0)
            if address in args.garbage:
                noise = random.Random(address)  # the same garbage in every run
                os.write(master, bytes(noise.randrange(256) for _ in range(3)))
                continue
            os.write(master, bytes([value, check]))
        elif frame[4] == command ^ low ^ high ^ frame[3]:
            image[address] = frame[3]
            if args.save:
                save_image(args.save, image)


if __name__ == "__main__":
    sys.exit(main())
