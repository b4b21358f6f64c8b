#!/usr/bin/env python3
"""Writes a realistic Aladin DataTrak log for trying the import: 50 dives from 1998 to 2001
(air and nitrox, a few from a computer that records in 9-byte groups), sites, partners and
remarks with German letters in the DOS code page, and two records the import skips (one without
profile data, one with a damaged date). The same seed always gives the same bytes.

    tools/make_datatrak_log.py examples/aladin-logbuch.log [--seed 1998]
"""
import argparse
import datetime
import random
import struct

EPOCH = datetime.date(1600, 1, 1)
MARK = b"\xa0\x00"
COUNTED_BEFORE_SAMPLES = 24  # t+52 .. t+76

COUNTRIES = {
    "Ägypten": ["Straße von Tiran", "Hausriff Süd", "Thistlegorm", "Abu Nuhas", "Elphinstone"],
    "Malta": ["Cirkewwa", "Blue Hole Gozo", "Um El Faroud", "Inland Sea"],
    "Kroatien": ["Baracuda Point", "Höhle von Vis", "Wrack Teti"],
    "Österreich": ["Attersee Kohlbauernhaus", "Grüner See", "Traunsee"],
    "Deutschland": ["Walchensee", "Kreidesee Hemmoor", "Sundhäuser See"],
}
PARTNERS = ["Jürgen", "Björn", "Käthe", "Uwe Müller", "Sören", "Gisela", ""]
REMARKS_A = ["Strömung", "Schildkröte gesehen", "Sicht 25 m", "Thermokline bei 12 m",
             "Nachttauchgang", "Übungstauchgang", "Große Zackenbarsche", "", "Bootstauchgang"]
REMARKS_B = ["", "", "", "Kälteschutz prüfen", "Blei 2 kg weniger", "Lampe vergessen"]


def dos(text):
    return text.encode("cp437")


def text_field(text):
    data = dos(text)
    return bytes([len(data)]) + data


def depth_word(metres, rng):
    """A sample's big-endian word: depth in 1/410 m, with flag bits in the lowest six."""
    return (int(metres * 410) & 0xFFC0) | rng.randrange(64)


def profile(depth, minutes, rng):
    """Depths every 20 s: descent, a wandering bottom phase, ascent and a safety stop."""
    samples = []
    total = minutes * 3
    for i in range(total):
        t = i / 3
        descent = t * 12
        ascent = (minutes - t) * 6 + (5 if minutes - t > 3 else 0)
        bottom = depth - abs(rng.gauss(0, depth * 0.08)) - depth * 0.3 * t / minutes
        samples.append(max(0.0, min(descent, bottom, ascent)))
    samples[-1] = 0.0
    return samples


def groups(samples, stride, rng):
    """Sample groups as the computer stores them. Besides the depth they hold a status byte with
    its top bit set, temperature and tank pressure; nitrox computers put a gas byte first."""
    data = bytearray()
    for metres in samples:
        group = bytearray()
        if stride == 8:
            group.append(rng.choice([0x01, 0x02]))  # the mix in use
        group += struct.pack(">H", depth_word(metres, rng))
        group.append(0x80 | rng.randrange(8))  # status
        group.append(rng.randrange(8, 30))  # temperature
        group += struct.pack(">H", rng.randrange(50, 200) * 16 + 0x8000)  # pressure
        while len(group) < stride:
            group.append(0x90 | rng.randrange(16))
        data += group
    return bytes(data)


def chosen_stride(data):
    """The import's choice: the stride with the fewest groups deeper than 78 m in their first
    two bytes, the smaller one on a tie."""
    def implausible(stride):
        return sum(1 for j in range(0, len(data), stride)
                   if (((data[j] << 8) | (data[j + 1] if j + 1 < len(data) else 0)) & 0xFFC0) // 410 >= 79)
    return min((7, 8, 9), key=lambda s: (implausible(s), s))


def build_record(number, when, country, site, interval, air, water, depth_cm, minutes,
                 remarks_a, partner, remarks_b, data, declared=None):
    day = (when.date() - EPOCH).days
    out = bytearray(MARK + struct.pack("<IH", day, when.hour * 60 + when.minute))
    out += text_field(country) + text_field(site)
    r = len(out) - 10

    def put(offset, fmt, value):
        out.extend(bytes(r + offset - len(out)))
        out.extend(struct.pack(fmt, value))

    put(11, "<H", interval)
    put(14, "<H", air)
    put(19, "<H", depth_cm)
    put(21, "<H", minutes)
    put(23, "<H", water)
    out.extend(bytes(r + 31 - len(out)))
    out += text_field(remarks_a) + text_field(partner) + text_field(remarks_b)
    t = len(out) - 34
    put(t + 36 - r, "<H", number)
    # The software counts the profile bytes from t+52: the 24 bytes before the samples too.
    put(t + 50 - r, "<H", COUNTED_BEFORE_SAMPLES + len(data) if declared is None else declared)
    out.extend(bytes(t + 76 - len(out)))
    out += data
    if MARK in bytes(out[1:]):
        raise ValueError("a record holds a record mark inside")
    return bytes(out)


def make_log(seed):
    rng = random.Random(seed)
    when = datetime.datetime(1998, 5, 1, 9, 30)
    records = []
    last_end = None
    number = 0
    while len(records) < 52:
        number += 1
        if len(records) in (17, 38):  # what the import skips: no profile, a damaged date
            data = b"" if len(records) == 17 else groups(profile(15, 20, rng), 7, rng)
            broken = build_record(number, when, "Malta", "Cirkewwa", 120, 2400, 1900, 1500, 20,
                                  "", "", "", data, declared=0 if not data else None)
            if len(records) == 38:
                broken = broken[:2] + struct.pack("<I", 4000) + broken[6:]  # in the year 1610
            records.append(broken)
            continue
        country = rng.choice(list(COUNTRIES))
        site = rng.choice(COUNTRIES[country])
        lake = country in ("Österreich", "Deutschland")
        depth = rng.randrange(12, 42)
        minutes = rng.randrange(28, 62)
        stride = 9 if number in (23, 24) else rng.choice([7, 7, 8])
        samples = profile(depth, minutes, rng)
        data = None
        for _ in range(20):  # random bytes can form a record mark or mislead the stride choice
            candidate = groups(samples, stride, rng)
            if MARK not in candidate and chosen_stride(candidate) == stride:
                data = candidate
                break
        if data is None:
            raise ValueError("no usable sample bytes for dive %d" % number)
        max_cm = int(round(max(samples) * 100))
        interval = 0xFFFF if last_end is None else int((when - last_end).total_seconds() // 60)
        interval = min(interval, 0xFFFF)
        air = 0x8000 if rng.random() < 0.15 else rng.randrange(400 if lake else 2200,
                                                              2600 if lake else 3400)
        water = rng.randrange(400, 900) if lake else rng.randrange(1600, 2900)
        records.append(build_record(number, when, country, site, interval, air, water, max_cm,
                                    minutes, rng.choice(REMARKS_A), rng.choice(PARTNERS),
                                    rng.choice(REMARKS_B), data))
        last_end = when + datetime.timedelta(minutes=minutes)
        if rng.random() < 0.5:  # a second dive the same day
            when = last_end + datetime.timedelta(minutes=rng.randrange(70, 240))
        else:
            when = (when + datetime.timedelta(days=rng.choice([1, 1, 2, 30, 90, 200]))).replace(
                hour=rng.randrange(8, 16), minute=rng.randrange(60))
    header = bytearray(12)
    header[6:8] = struct.pack("<H", len(records))
    return bytes(header) + b"".join(records)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output")
    parser.add_argument("--seed", type=int, default=1998)
    args = parser.parse_args()
    with open(args.output, "wb") as out:
        out.write(make_log(args.seed))


if __name__ == "__main__":
    main()
