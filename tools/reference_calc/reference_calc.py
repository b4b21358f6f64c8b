#!/usr/bin/env python3
"""Independent reference model of the dive calculation.

Loads a profile file the way the main window's "open profile" does and
calculates it, then prints the same JSON object as "marelos-cli calc FILE
--json".  Standard library only and written apart from the C++ engine, so
that random dives can be cross-checked against it.

    python3 reference_calc.py FILE [--set Section/Key=Value]...
"""

import json
import math
import sys

MAX_RECORDS = 6000   # result and profile tables end at this index
MAX_STOP = 100       # stop indices 0..100, stop depth 3 m per index

MODEL_NAMES = {1: "ZH-L16A", 2: "ZH-L16B", 3: "ZH-L16C", 4: "ZH-L12"}
DECO_MODE_NAMES = ["Sehr konservativ", "Konservativ", "Normal",
                   "Progressiv", "Sehr progressiv"]
TIME_FACTORS = [0.0, 6.0, 3.0, 1.5, 1.1, 1.0]   # index = "DecoMode"

HALF_TIME_N2 = [4.0, 8.0, 12.5, 18.5, 27.0, 38.3, 54.3, 77.0, 109.0, 146.0,
                187.0, 239.0, 305.0, 390.0, 498.0, 635.0]
HALF_TIME_HE = [1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.2,
                55.2, 70.7, 90.2, 115.2, 147.2, 188.0, 240.0]
ZHL16_A_N2 = {
    1: [1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.5933, 0.5282, 0.4701, 0.4187,
        0.3798, 0.3497, 0.3223, 0.2971, 0.2737, 0.2523, 0.2327],
    2: [1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.56, 0.4947, 0.45, 0.4187,
        0.3798, 0.3497, 0.3223, 0.285, 0.2737, 0.2523, 0.2327],
    3: [1.2599, 1.0, 0.8618, 0.7562, 0.62, 0.5043, 0.441, 0.4, 0.375, 0.35,
        0.3295, 0.3065, 0.2835, 0.261, 0.248, 0.2327],
}
ZHL16_B_N2 = [0.505, 0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.891,
              0.9092, 0.9222, 0.9319, 0.9403, 0.9477, 0.9544, 0.9602, 0.9653]
ZHL16_A_HE = [1.7424, 1.383, 1.1919, 1.0458, 0.922, 0.8205, 0.7305, 0.6502,
              0.595, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176, 0.5172, 0.5119]
ZHL16_B_HE = [0.4245, 0.5747, 0.6527, 0.7223, 0.7582, 0.7957, 0.8279, 0.8553,
              0.8757, 0.8903, 0.8997, 0.9073, 0.9122, 0.9171, 0.9217, 0.9267]
ZHL12_A_N2 = [2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.43, 0.43,
              0.35, 0.23, 0.23, 0.23, 0.23]
ZHL12_B_N2 = [0.82, 0.82, 0.825, 0.8354, 0.845, 0.86, 0.87, 0.89, 0.89,
              0.931, 0.931, 0.943, 0.962, 0.962, 0.962, 0.962]
ZHL12_A_HE = [2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.47, 0.47,
              0.47, 0.47, 0.47, 0.47, 0.47]
ZHL12_B_HE = [0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.9, 0.925,
              0.925, 0.925, 0.925, 0.925, 0.925, 0.925]

# CNS limits in minutes by oxygen level in tenths of a bar (6..16).
CNS_SINGLE = {6: 720, 7: 570, 8: 450, 9: 360, 10: 300, 11: 240, 12: 210,
              13: 180, 14: 150, 15: 120, 16: 45}
CNS_DAY = {6: 720, 7: 570, 8: 450, 9: 360, 10: 300, 11: 270, 12: 240,
           13: 210, 14: 180, 15: 180, 16: 150}

C0_DEFAULTS = [("C0T05N2", "halfTimeN2", 1.1), ("C0aN2", "aN2", 0.2),
               ("C0bN2", "bN2", 0.05), ("C0T05He", "halfTimeHe", 0.7),
               ("C0aHe", "aHe", 0.21), ("C0bHe", "bHe", 0.06)]


class CalculationLimit(Exception):
    """The result tables are full; the calculation ends at once."""


# --------------------------------------------------------------------------
# Text and number helpers
# --------------------------------------------------------------------------

def val(text):
    """Numeric value of a text: blanks, tabs and line feeds are skipped
    wherever they stand, then the leading number ("." as decimal point,
    optional exponent, &H / &O prefixes) is taken; no digits give 0."""
    s = "".join(ch for ch in text if ch not in " \t\n")
    if s[:2].upper() in ("&H", "&O"):
        base, digits = (16, "0123456789abcdefABCDEF") if s[1] in "hH" \
            else (8, "01234567")
        i = 2
        while i < len(s) and s[i] in digits:
            i += 1
        return float(int(s[2:i], base)) if i > 2 else 0.0
    i = 0
    if i < len(s) and s[i] in "+-":
        i += 1
    seen_point = False
    n_digits = 0
    while i < len(s):
        ch = s[i]
        if "0" <= ch <= "9":
            n_digits += 1
        elif ch == "." and not seen_point:
            seen_point = True
        else:
            break
        i += 1
    if n_digits == 0:
        return 0.0
    mantissa = s[:i]
    exponent = ""
    if i < len(s) and s[i] in "eEdD":
        j = i + 1
        if j < len(s) and s[j] in "+-":
            j += 1
        k = j
        while k < len(s) and "0" <= s[k] <= "9":
            k += 1
        if k > j:
            exponent = "e" + s[i + 1:k]
    try:
        return float(mantissa + exponent)
    except OverflowError:
        return float("inf")


def cint(x):
    """A real stored into a whole-number variable: nearest, halves to even."""
    return int(round(x))


def vb_int(x):
    """Int: the largest whole number not above x."""
    return int(math.floor(x))


def get_field(line, number):
    """Field `number` (from 1) of a line whose fields are separated by single
    TAB or blank characters; the last character always belongs to the last
    field; a missing field is empty."""
    fields = []
    start = 0
    for pos in range(len(line) - 1):
        if line[pos] in "\t ":
            fields.append(line[start:pos])
            start = pos + 1
    fields.append(line[start:])
    if 1 <= number <= len(fields):
        return fields[number - 1]
    return ""


def format_number(x):
    """General number format: whole numbers without decimals, else up to 15
    significant digits without trailing zeros."""
    if isinstance(x, int):
        return str(x)
    if x == int(x) and abs(x) < 1e15:
        return str(int(x))
    text = "%.15g" % x
    if "e" not in text and "." in text:
        text = text.rstrip("0").rstrip(".")
    return text


def read_text_lines(path):
    """Lines of a text file, UTF-8 or Windows-1252, CR LF or LF ends."""
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
        if text.startswith("\ufeff"):      # byte-order mark, not text
            text = text[1:]
    except UnicodeDecodeError:
        text = raw.decode("cp1252", errors="replace")
    if text == "":
        return []
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    return [ln[:-1] if ln.endswith("\r") else ln for ln in lines]


# --------------------------------------------------------------------------
# Settings
# --------------------------------------------------------------------------

class Settings:
    """The values the calculation uses, loaded from a string store by their
    load rules.  `store` maps (section, key) in lower case to the text."""

    def __init__(self, store=None):
        self.store = {k: v for k, v in (store or {}).items()}
        s = self._text
        self.air_pressure = self._range(val(s("Values", "AirPressure")),
                                        0.0, 2000.0, 1000.0, low_open=True)
        self.surface_interval = self._empty("Values", "SurfaceInterval", 120)
        n2_text = s("Values", "N2Percent")
        self.n2_field = n2_text if n2_text != "" else "78"
        ip = val(s("Values", "InitialppN2"))
        self.initial_ppn2 = ip if 0 < ip <= 10 else 0.79
        self.n2_surface = self._empty("Values", "N2PerCentSurface", 78)
        self.n2_deco = self._empty("Values", "N2PerCentDecompression", 78)
        self.he_deco = self._empty("Values", "HePerCentDecompression", 0)
        model = cint(val(s("Values", "DecoModel")))
        self.model = model if 1 <= model <= 4 else 3
        mode = cint(val(s("Values", "DecoMode")))
        if not 1 <= mode <= 5:
            mode = 3
        self.deco_mode = mode
        self.time_factor = TIME_FACTORS[mode]
        self.sharp_first_step = s("Decompression", "Sharp1stStep") == "True"
        self.deep_stops = cint(val(s("Values", "DeepStops")))
        dsm = cint(val(s("Values", "DeepStopMode")))
        self.deep_stop_mode = dsm if dsm != 0 else 1
        self.deep_stop_time = cint(val(s("Values", "DeepStopTime")))
        self.c0 = {}
        for key, field, default in C0_DEFAULTS:
            v = val(s("Values", key))
            self.c0[field] = v if v != 0 else default
        self.first_compartment = 0 if val(s("Settings", "UseC0")) == 1 else 1
        mh = cint(val(s("Settings", "MaxHScale")))
        self.max_hscale = mh if 10 <= mh <= 6000 else 60
        self.nitrox_deco_start = cint(val(s("Settings", "NitroxDecoStart")))
        self.step_text = s("Decompression", "Step")
        self.continuous = self.step_text == "False"
        he_text = s("Values", "HePercent")
        v = val(he_text)
        self.he_field = "0" if he_text == "" or v < 0 or v > 100 else he_text
        o2_text = s("Values", "O2Percent")
        v = val(o2_text)
        self.o2_field = "21" if v <= 0 or v > 100 else o2_text
        max_ppo2 = val(s("Values", "MaxPPO2"))
        self.max_ppo2 = max_ppo2 if max_ppo2 != 0 else 1.6
        cabin = val(s("Values", "CabinPressure"))
        self.cabin_pressure = cabin if cabin != 0 else 595.0

    def _text(self, section, key):
        return self.store.get((section.lower(), key.lower()), "")

    def _empty(self, section, key, default):
        text = self._text(section, key)
        return default if text == "" else cint(val(text))

    @staticmethod
    def _range(v, low, high, default, low_open=False):
        ok = (low < v if low_open else low <= v) and v <= high
        return v if ok else default


def parse_set_option(text, store):
    """Apply one "Section/Key=Value" override to the store."""
    name, sep, value = text.partition("=")
    section, slash, key = name.partition("/")
    if not sep or not slash or not section or not key:
        raise ValueError("invalid --set: " + text)
    store[(section.lower(), key.lower())] = value


# --------------------------------------------------------------------------
# Model parameters and tissues
# --------------------------------------------------------------------------

class ModelParameters:
    def __init__(self, settings):
        self.model = settings.model
        self.time_factor = settings.time_factor
        self.first = settings.first_compartment
        self.halfTimeN2 = [settings.c0["halfTimeN2"]] + HALF_TIME_N2
        self.halfTimeHe = [settings.c0["halfTimeHe"]] + HALF_TIME_HE
        if self.model == 4:
            a_n2, b_n2, a_he, b_he = ZHL12_A_N2, ZHL12_B_N2, ZHL12_A_HE, ZHL12_B_HE
        else:
            a_n2, b_n2 = ZHL16_A_N2[self.model], ZHL16_B_N2
            a_he, b_he = ZHL16_A_HE, ZHL16_B_HE
        self.aN2 = [settings.c0["aN2"]] + list(a_n2)
        self.bN2 = [settings.c0["bN2"]] + list(b_n2)
        self.aHe = [settings.c0["aHe"]] + list(a_he)
        self.bHe = [settings.c0["bHe"]] + list(b_he)


class Engine:
    """Profile record, tissue state and calculation results of one run."""

    def __init__(self, settings):
        self.s = settings
        self.p = ModelParameters(settings)
        self.max_hscale = settings.max_hscale
        self.messages = []
        # profile tables (index 0 unused but present)
        self.points = [[0, 0, 0, 0.0] for _ in range(MAX_RECORDS + 1)]
        self.lines = [[0.0, 0.0, 0.0, 0.0, 0.0] for _ in range(MAX_RECORDS + 1)]
        self.next_point = 1
        self.stop_time = [0] * (MAX_STOP + 1)
        self.computed_count = 0
        self.records = None
        self.pN2 = [0.0] * 17
        self.pHe = [0.0] * 17
        self.pTotal = [0.0] * 17
        self.max_depth = 0
        self.dive_minutes = 0
        self.total_time = 0
        self.violations = 0
        self.first_stop_beyond_list = False
        self.stopped = False  # the last calculation ended early
        self.reset_ascent_gases()

    def reset_ascent_gases(self):
        """What the decompression phase breathed: the gas of each stop's counted minutes,
        the gas of the minute of arrival at the first stop, every gas once, and the step with
        the highest oxygen partial pressure (ppO2, depth, gas)."""
        self.stop_gas = [None] * (MAX_STOP + 1)
        self.arrival_gas = None
        self.breathed = []
        self.highest_ppo2 = (0.0, 0.0, None)

    def breathe(self, depth, minutes, n2, he):
        """A saturation step of the decompression phase, noting its gas."""
        self.saturate(depth, minutes, n2, he)
        if (n2, he) not in self.breathed:
            self.breathed.append((n2, he))
        ppo2 = self.ambient(depth) * (99 - n2 - he) / 100
        if ppo2 > self.highest_ppo2[0]:
            self.highest_ppo2 = (ppo2, depth, (n2, he))

    def show(self, text):
        self.messages.append("".join(ch for ch in text if ord(ch) >= 32))

    # ---- tissue model --------------------------------------------------

    def ambient(self, depth):
        return depth * 10.1043 / 100 + self.s.air_pressure / 1000

    @staticmethod
    def depth_from_pressure(pressure):
        return pressure * 10 - 10

    def init_tissues(self):
        start = self.s.initial_ppn2 * self.s.air_pressure / 1000
        for c in range(17):
            self.pN2[c] = start
            self.pHe[c] = 0.0
            self.pTotal[c] = 0.0

    def saturate(self, depth, minutes, n2, he):
        p = self.p
        for c in range(p.first, 17):
            amb = self.ambient(depth)
            i_n2 = (amb - 0.0627) * n2 / 100
            i_he = (amb - 0.0627) * he / 100
            self.pN2[c] = self.pN2[c] + (1 - 2.0 ** (-p.time_factor * minutes / p.halfTimeN2[c])) * (i_n2 - self.pN2[c])
            self.pHe[c] = self.pHe[c] + (1 - 2.0 ** (-p.time_factor * minutes / p.halfTimeHe[c])) * (i_he - self.pHe[c])
            self.pTotal[c] = self.pHe[c] + self.pN2[c]

    def tolerated(self):
        p = self.p
        result = 0.0
        for c in range(p.first, 17):
            ph, pn = self.pHe[c], self.pN2[c]
            a = (p.aHe[c] * ph + p.aN2[c] * pn) / (ph + pn + 0.001)
            b = (p.bHe[c] * ph + p.bN2[c] * pn) / (ph + pn + 0.001)
            tol = (self.pTotal[c] - a) * b
            if tol > result:
                result = tol
        return result

    # ---- oxygen --------------------------------------------------------

    def oxygen_minute(self, rec, depth, n2, he):
        ppo2 = self.ambient(depth) * (99 - n2 - he) / 100
        x = vb_int(ppo2 * 100)
        digit = x - vb_int(x / 10) * 10
        if digit <= 2:
            x -= digit
        elif digit <= 7:
            x = x - digit + 5
        else:
            x = x - digit + 10
        po = x / 100
        rec["otu"] = 0.0 if po <= 0.5 else (2 * (po - 0.5)) ** 0.83
        tenths = vb_int(ppo2 * 10) + 1
        if tenths >= 17:
            rec["cnsDive"] = 100 / 10
            rec["cnsDay"] = 100 / 50
        elif tenths >= 6:
            rec["cnsDive"] = 100 / CNS_SINGLE[tenths]
            rec["cnsDay"] = 100 / CNS_DAY[tenths]

    def total_otu(self):
        return vb_int(sum_left(r["otu"] for r in self.records[1:self.computed_count + 1]))

    def dive_cns(self):
        return vb_int(sum_left(r["cnsDive"] for r in self.records[1:self.computed_count + 1]))

    def daily_cns(self):
        dose = 0.0
        for r in self.records[1:self.computed_count + 1]:
            if r["cnsDay"] == 0:
                dose = dose * 0.5 ** (1 / 90)
            else:
                dose = dose + r["cnsDay"]
        return vb_int(dose)

    # ---- result records ------------------------------------------------

    @staticmethod
    def empty_record():
        return {"depth": 0.0, "toleratedPressure": 0.0, "n2Percent": 0.0,
                "hePercent": 0.0, "otu": 0.0, "cnsDive": 0.0, "cnsDay": 0.0,
                "pN2": [0.0] * 17, "pHe": [0.0] * 17, "pTotal": [0.0] * 17}

    def clear_computed_profile(self):
        self.records = [self.empty_record() for _ in range(MAX_RECORDS + 1)]

    def copy_tissues(self, rec):
        for c in range(self.p.first, 17):
            rec["pN2"][c] = self.pN2[c]
            rec["pHe"][c] = self.pHe[c]
            rec["pTotal"][c] = self.pTotal[c]
        rec["toleratedPressure"] = self.tolerated()

    def table_full(self):
        self.show("Maximale Array-Größe erreicht.")
        self.computed_count = MAX_RECORDS
        raise CalculationLimit()

    def write_minute(self, j, depth, n2, he):
        """Oxygen values, depth, tissue copy and gas of record j."""
        if j >= MAX_RECORDS:
            self.table_full()
        rec = self.records[j]
        self.oxygen_minute(rec, depth, n2, he)
        rec["depth"] = depth
        self.copy_tissues(rec)
        rec["n2Percent"] = n2
        rec["hePercent"] = he

    def append_minute(self, depth, n2, he):
        self.write_minute(self.computed_count, depth, n2, he)
        self.computed_count += 1

    # ---- profile record ------------------------------------------------

    def clear_lines(self):
        for i in range(1, MAX_RECORDS + 1):
            ln = self.lines[i]
            ln[0] = ln[1] = ln[2] = ln[3] = 0.0     # hePercent keeps its value

    def reset_points(self):
        self.next_point = 1
        for i in range(1, 1001):
            self.points[i][0] = 0
            self.points[i][1] = 0
        self.computed_count = 0

    def build_lines_from_points(self):
        self.clear_lines()
        k = 1
        previous = 0
        last = min(self.next_point, MAX_RECORDS - 1)
        by_minute = {}
        for i in range(1, last + 1):
            t = self.points[i][0]
            if 1 <= t <= self.max_hscale:
                by_minute.setdefault(t, []).append(i)
        for m in sorted(by_minute):
            for i in by_minute[m]:
                time, depth, n2, he = self.points[i]
                ln = self.lines[k]
                ln[0] = float(depth if depth >= 0 else 0)
                ln[2] = float(m)
                ln[1] = float(m - previous)
                ln[3] = float(n2)
                ln[4] = he
                previous = m
                k += 1

    def read_profile_file(self, path):
        if len(path) < 3 or "*" in path or "?" in path:
            return False
        self.show("Lade: " + path)
        self.reset_points()
        self.clear_lines()
        self.init_tissues()
        try:
            text_lines = read_text_lines(path)
        except OSError:
            return False
        k = 1
        running = 0
        for line in text_lines:
            if line == "" or "0" <= line[0] <= "9":
                ln = self.lines[k]
                for f in range(5):
                    ln[f] = val(get_field(line, f + 1))
                running = cint(running + ln[1])
                k += 1
            # mark lines and other lines do not reach the calculation
            if k >= MAX_RECORDS:
                return False
        if running > self.max_hscale:
            self.max_hscale = running
        for j in range(1, k):
            ln = self.lines[j]
            self.points[j] = [cint(ln[2]), cint(ln[0]), cint(ln[3]), ln[4]]
        self.next_point = k
        self.calc_saturation()
        return True

    # ---- calculation ---------------------------------------------------

    def calc_saturation(self, rebuild_lines=True):
        """The whole calculation.  rebuild_lines=False is the mode in which
        the line table was written directly (decompression tables)."""
        if rebuild_lines:
            self.build_lines_from_points()
            self.show("Berechne Profil")
        self.max_depth = 0
        self.dive_minutes = 0
        self.violations = 0
        self.init_tissues()
        self.clear_computed_profile()
        self.stopped = False
        self.reset_ascent_gases()
        self.decompression_dive = False
        try:
            d = self.dive_phase()
            # the tissues tolerate no direct ascent to the surface: a decompression dive
            self.decompression_dive = self.tolerated() > self.ambient(0)
            if self.s.continuous:
                self.continuous_ascent(d)
            else:
                self.staged_decompression(d)
        except CalculationLimit:
            # a calculation that ends early leaves no stops: neither the stops found so far
            # nor those of an earlier dive
            self.stop_time = [0] * (MAX_STOP + 1)
            self.stopped = True
            return
        self.surface_interval(self.s.surface_interval)
        # a longer dive widens the time axis, which the next rebuild of the
        # line table from the points then uses
        if self.total_time + self.s.surface_interval > self.max_hscale:
            self.max_hscale = self.total_time + self.s.surface_interval + 10
        self.check_decompression()
        self.show("Oxygen Tolerance Units: " + format_number(self.total_otu()))
        self.show("ZNS Tagesdosis: " + format_number(self.daily_cns()) + "%")
        self.show("ZNS Tauchgangsdosis: " + format_number(self.dive_cns()) + "%")
        self.show("Max.Tiefe: " + format_number(self.max_depth) + " m Wassertiefe")
        self.show("Zeit: " + format_number(self.dive_minutes) + " min.")
        self.show("Dekompressionsmodell: " + MODEL_NAMES[self.p.model])
        for number in range(1, 6):
            if TIME_FACTORS[number] == self.p.time_factor:
                self.show("Progressivität: " + DECO_MODE_NAMES[number - 1])
                break
        for line in self.ascent_gas_warnings():
            self.show(line)

    def gases_of_the_diver(self):
        """The decompression gas, the mix fields and the gas of every profile line."""
        s = self.s
        gases = [(s.n2_deco, s.he_deco), (cint(val(s.n2_field)), val(s.he_field))]
        for i in range(1, min(self.next_point, MAX_RECORDS - 1) + 1):
            depth, t_delta, _, n2, he = self.lines[i]
            if t_delta > 0:
                gases.append((n2, he))
        return gases

    def ascent_gas_warnings(self):
        """Warnings about an ascent on a gas nobody set, or above the ppO2 warning limit."""
        if self.stopped:
            return []
        own = self.gases_of_the_diver()
        unset = [g for g in self.breathed if g not in own]
        ppo2, depth, gas = self.highest_ppo2
        above = ppo2 > self.s.max_ppo2
        if not unset and not above:
            return []

        def o2n2he(g):
            return "/".join(format_number(x) for x in (99 - g[0] - g[1], g[0], g[1]))

        limit = format_number(self.s.max_ppo2) + " bar"
        if unset:
            first = ("Achtung: Der Aufstieg wurde mit dem Gas O2/N2/He " + o2n2he(unset[0])
                     + " berechnet. Es ist weder ein Gas des Tauchgangs noch das "
                     "Dekompressionsgas der Einstellungen.")
        else:
            first = "Achtung: Der ppO2 beim Aufstieg überschreitet die Warngrenze von " + limit + "."
        return [first,
                "Höchster ppO2 beim Aufstieg: " + format_number(round(ppo2 * 100) / 100)
                + " bar auf " + format_number(depth) + " m mit O2/N2/He " + o2n2he(gas)
                + (", über der Warngrenze von " + limit + "." if above else "."),
                "Abhilfe: das Dekompressionsgas einstellen (Einstellungen, Register "
                "Dekompression) oder den Aufstieg mit dem Planer und seinen Gasen planen."]

    def dive_phase(self):
        j = 1
        d = 0.0
        self.total_time = 0
        self.computed_count = 1
        for i in range(1, self.next_point + 1):
            if i >= MAX_RECORDS:
                break
            ln = self.lines[i]
            t_delta = ln[1]
            if not t_delta > 0:
                continue
            rate = (ln[0] - self.lines[i - 1][0]) / t_delta
            d = self.lines[i - 1][0]
            n = cint(t_delta - 1)
            for _ in range(n + 1):
                if j >= MAX_RECORDS:
                    self.table_full()
                d = d + rate
                self.saturate(d, 1, ln[3], ln[4])
                self.write_minute(j, d, ln[3], ln[4])
                if vb_int(d) > self.max_depth:
                    self.max_depth = vb_int(d)
                if vb_int(d) > 0:
                    self.dive_minutes += 1
                j += 1
            self.total_time = cint(t_delta + self.total_time)
        self.computed_count = j
        return d

    def find_ceiling_depth(self):
        for m in range(300, -1, -1):
            if self.ambient(m) < self.tolerated():
                return m
        return 0

    def find_first_stop_index(self):
        for k in range(MAX_STOP, -1, -1):
            if self.ambient(3 * k) < self.tolerated():
                return k if self.s.sharp_first_step else k + 1
        return 0

    def staged_decompression(self, d0):
        s = self.s
        self.stop_time = [0] * (MAX_STOP + 1)
        counter = 0
        depth = 0.0
        f = self.find_first_stop_index()
        if f > MAX_STOP:
            self.first_stop_beyond_list = True   # first stop below 300 m
            raise CalculationLimit()
        self.show("Erste Deko-Stufe auf " + format_number(3 * f) + " m")
        if s.deep_stops == 1:
            x = d0 if s.deep_stop_mode == 1 else 3 * f + d0
            stop = vb_int(x / 2)
            if stop > 3 * f:
                for m in range(vb_int(d0), stop - 1, -1):
                    depth = m
                    self.breathe(m, 0.1, s.n2_deco, s.he_deco)
                    if m % 10 == 0 or m == stop:
                        self.append_minute(m, s.n2_deco, s.he_deco)
                for _ in range(s.deep_stop_time):
                    self.breathe(depth, 1, s.n2_deco, s.he_deco)
                    self.append_minute(depth, s.n2_deco, s.he_deco)
                d0 = depth
        bottom = cint(val(s.n2_field))
        n2 = bottom
        for m in range(vb_int(d0), 3 * f - 1, -1):
            depth = m
            if s.nitrox_deco_start > 0:
                n2 = bottom if m >= s.nitrox_deco_start else s.n2_deco
            self.breathe(m, 0.1, n2, s.he_deco)
            if m % 10 == 0:
                self.append_minute(m, n2, s.he_deco)
        self.breathe(depth, 1, n2, s.he_deco)
        self.append_minute(depth, n2, s.he_deco)
        self.arrival_gas = (n2, s.he_deco)
        k = f
        while depth > 0:
            counter += 1
            if s.nitrox_deco_start > 0:
                n2 = bottom if depth > s.nitrox_deco_start else s.n2_deco
            next_depth = 3 * (k - 1)
            if self.ambient(next_depth) >= self.tolerated():
                self.breathe(depth, 1, n2, s.he_deco)
                self.append_minute(depth, n2, s.he_deco)
                if k > 0:
                    self.stop_time[k] = counter
                    self.stop_gas[k] = (n2, s.he_deco)
                counter = 0
                depth = next_depth
                k -= 1
            self.breathe(depth, 1, n2, s.he_deco)
            self.append_minute(depth, n2, s.he_deco)

    def continuous_ascent(self, d0):
        s = self.s
        ceiling = self.find_ceiling_depth()
        counter = 1
        depth = 0.0
        for m in range(vb_int(d0), ceiling - 1, -1):
            self.breathe(m, 0.1, s.n2_deco, s.he_deco)
            counter += 1
            if counter == 10:
                self.append_minute(m, s.n2_deco, s.he_deco)
                counter = 1
            depth = m
        self.arrival_gas = (s.n2_deco, s.he_deco)
        while depth > 0:
            self.breathe(depth, 1, s.n2_deco, s.he_deco)
            self.append_minute(depth, s.n2_deco, s.he_deco)
            tol = self.tolerated()
            if self.ambient(depth) > tol:
                depth = self.depth_from_pressure(tol) + 0.5

    def surface_interval(self, minutes):
        for _ in range(1, minutes + 1):
            self.saturate(0, 1, self.s.n2_surface, 0)
            self.copy_tissues(self.records[self.computed_count])
            self.computed_count += 1
            if self.computed_count >= MAX_RECORDS:
                self.show("Maximale Array-Größe erreicht.")
                break

    def count_violations(self):
        count = 0
        for r in self.records[1:self.computed_count + 1]:
            if 1.1 * self.ambient(r["depth"]) < r["toleratedPressure"]:
                count += 1
        return count

    def check_decompression(self):
        self.show("Überprüfe Dekompressionsstatus...")
        count = self.count_violations()
        self.violations = count
        if count > 0:
            self.show("Während " + format_number(count)
                      + " Minute(n) wurden die Dekompressionsregeln nicht beachtet!")
        if count > 3:
            self.show("Dekompression unzureichend!")
        if count == 0:
            self.show("Dekompressionsphase OK.")

    # ---- output --------------------------------------------------------

    def result(self):
        records = self.records or [self.empty_record()]
        out_lines = []
        for i in range(1, self.next_point):
            ln = self.lines[i]
            out_lines.append({"depth": ln[0], "tDelta": ln[1], "tTotal": ln[2],
                              "n2Percent": ln[3], "hePercent": ln[4]})
        out_records = []
        for j in range(1, self.computed_count):
            r = records[j]
            out_records.append({k: r[k] for k in (
                "depth", "toleratedPressure", "n2Percent", "hePercent", "otu",
                "cnsDive", "cnsDay", "pN2", "pHe", "pTotal")})
        stops = [{"index": k, "depth": 3 * k, "time": self.stop_time[k]}
                 for k in range(MAX_STOP, 0, -1) if self.stop_time[k] != 0]
        totals = {"otu": self.total_otu() if self.records else 0,
                  "cnsDive": self.dive_cns() if self.records else 0,
                  "cnsDay": self.daily_cns() if self.records else 0,
                  "maxDepth": self.max_depth, "diveMinutes": self.dive_minutes,
                  "violations": self.violations}
        return {"messages": self.messages, "computedCount": self.computed_count,
                "lines": out_lines, "records": out_records, "stops": stops,
                "totals": totals}


def sum_left(values):
    total = 0.0
    for v in values:
        total = total + v
    return total


def run(path, overrides):
    store = {}
    for text in overrides:
        parse_set_option(text, store)
    engine = Engine(Settings(store))
    engine.read_profile_file(path)
    result = engine.result()
    if engine.first_stop_beyond_list:
        result["firstStopBeyondList"] = True
    return result


def main(argv):
    args = argv[1:]
    path = None
    overrides = []
    i = 0
    while i < len(args):
        a = args[i]
        if a == "--set" and i + 1 < len(args):
            overrides.append(args[i + 1])
            i += 2
        elif a.startswith("--set="):
            overrides.append(a[len("--set="):])
            i += 1
        elif a in ("--json",):
            i += 1
        elif path is None and not a.startswith("--"):
            path = a
            i += 1
        else:
            sys.stderr.write("usage: reference_calc.py FILE [--set Section/Key=Value]...\n")
            return 2
    if path is None:
        sys.stderr.write("usage: reference_calc.py FILE [--set Section/Key=Value]...\n")
        return 2
    try:
        result = run(path, overrides)
    except ValueError as e:
        sys.stderr.write(str(e) + "\n")
        return 2
    json.dump(result, sys.stdout, ensure_ascii=False)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
