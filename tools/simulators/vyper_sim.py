#!/usr/bin/env python3
"""A simulated Suunto Vyper behind its interface cable, on a pseudo-terminal.

Prints the pty's path on the first line of stdout, then answers the read-memory (05 00 A L C),
first-dive (08 A5 AD) and next-dive (09 A5 AC) requests from a memory image until killed.

The image is JSON: {"memory": [128 bytes], "dives": [[bytes of the newest dive], ...]}.
Fault modes number requests and answer packets from 0 over the whole session. A silent request
never reached the device; a request answered with garbage did, so the next-dive command after it
brings the dive after the garbled one.
"""
import argparse
import json
import os
import random
import sys
import time

from pty_device import incoming_bytes, open_device


def packets_of(command, dive):
    """A dive as the Vyper sends it: packets of up to 32 data bytes, each framed and checked."""
    out = []
    for at in range(0, len(dive), 32):
        chunk = dive[at:at + 32]
        out.append([command, len(chunk)] + chunk)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("image")
    parser.add_argument("--interface", type=int, choices=(1, 2), default=1,
                        help="2: the cable echoes every byte it is sent")
    parser.add_argument("--bad-packet", type=int, action="append", default=[],
                        help="send this answer packet with a wrong checksum")
    parser.add_argument("--silent-request", type=int, action="append", default=[],
                        help="do not answer this request")
    parser.add_argument("--garbage", type=int, action="append", default=[],
                        help="send random bytes instead of the answer to this request")
    parser.add_argument("--slow", type=float, default=0.0,
                        help="seconds to wait before each answer")
    parser.add_argument("--baud", type=int, default=0,
                        help="pace the answer as the line would (11 bits a byte); 0: at once")
    parser.add_argument("--vanish-at", type=int, default=-1, metavar="REQUEST",
                        help="send half of the answer to this request, then end as a device "
                             "pulled off its cable (the pseudo-terminal closes)")
    args = parser.parse_args()

    with open(args.image, encoding="utf-8") as f:
        image = json.load(f)
    memory, dives = image["memory"], image["dives"]

    master = open_device()

    request, requests, packets, next_dive = [], 0, 0, 0
    byte_time = 11.0 / args.baud if args.baud else 0.0

    def send(data):
        if byte_time:
            for b in data:
                os.write(master, bytes([b]))
                time.sleep(byte_time)
        else:
            os.write(master, bytes(data))

    for b in incoming_bytes(master):
        request.append(b)
        length = 5 if request[0] == 0x05 else 3
        if len(request) < length:
            continue
        frame, request = request, []
        number, requests = requests, requests + 1
        if number in args.silent_request:
            continue
        if args.slow:
            time.sleep(args.slow)
        answer = list(frame) if args.interface == 2 else []
        if frame[0] in (0x08, 0x09):
            next_dive = 0 if frame[0] == 0x08 else next_dive + 1
        if number in args.garbage:
            noise = random.Random(number)  # the same garbage in every run
            send(answer + [noise.randrange(256) for _ in range(7)])
            continue
        if frame[0] == 0x05:
            address, count = frame[2], frame[3]
            bodies = [frame[:4] + memory[address:address + count]]
        elif frame[0] in (0x08, 0x09):
            dive = dives[next_dive] if next_dive < len(dives) else []
            bodies = packets_of(frame[0], dive)
        else:
            bodies = []
        for body in bodies:
            check = 0
            for value in body:
                check ^= value
            if packets in args.bad_packet:
                check ^= 0xFF
            packets += 1
            answer += body + [check]
        if number == args.vanish_at:
            send(answer[:len(answer) // 2])
            os._exit(0)
        send(answer)


if __name__ == "__main__":
    sys.exit(main())
