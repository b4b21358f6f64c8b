#!/usr/bin/env python3
"""Text outputs of a calculated dive, on top of the reference calculation.

Mirrors the output commands of marelos-cli:

    python3 reference_outputs.py nofly FILE [--json]   -> {"minutes": ..., "message": ...}
    python3 reference_outputs.py plan FILE              -> dive-plan lines
    python3 reference_outputs.py decotext FILE          -> decompression text (LF line ends)
    python3 reference_outputs.py decolines FILE         -> decompression lines of the profile writer
    python3 reference_outputs.py decotable IN OUT       -> decompression table file (cp1252, CR LF)

each followed by any number of "--set Section/Key=Value" overrides of an
otherwise empty settings store ("--settings PATH" is accepted only for a
path that does not exist, which is an empty store).
"""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_calc as rc  # noqa: E402
from reference_calc import cint, format_number as fn, get_field, val, vb_int  # noqa: E402

NOFLY_LIMIT = 1000000      # minutes; the search gives up beyond this
MAX_OUTPUT_LINES = 10000   # lines of one decompression table
MAX_TABLE_COLUMNS = 20     # bottom times per depth line
CRLF = "\r\n"
TAB = "\t"


def load(path, overrides):
    """An engine that has opened (and so calculated) the profile file."""
    store = {}
    for text in overrides:
        rc.parse_set_option(text, store)
    engine = rc.Engine(rc.Settings(store))
    engine.read_profile_file(path)
    return engine


def deepest_stop(engine):
    for k in range(rc.MAX_STOP, 0, -1):
        if engine.stop_time[k] != 0:
            return k
    return 0


def ensure_staged(engine):
    """The question about continuous ascent answered Yes: store "True" under
    Step and calculate again, now with stops."""
    if engine.s.step_text != "True":
        engine.s.step_text = "True"
        engine.s.continuous = False
        engine.calc_saturation()


# --------------------------------------------------------------------------
# No-fly time
# --------------------------------------------------------------------------

def nofly_minutes(engine):
    """Minutes at the surface until the cabin pressure lies above the
    tolerated pressure; None when the tolerated pressure stops changing (or
    the search bound is reached) while the cabin pressure is still at or
    below it."""
    s = engine.s
    remembered = s.surface_interval
    s.surface_interval = 0
    engine.calc_saturation()
    cabin = s.cabin_pressure / 1000
    surface = engine.depth_from_pressure(s.air_pressure / 1000)
    minutes = 0
    tolerated = engine.tolerated()
    result = None
    while cabin <= tolerated:
        engine.saturate(surface, 1, s.n2_surface, 0)
        minutes += 1
        now = engine.tolerated()
        if (now == tolerated and cabin <= now) or minutes >= NOFLY_LIMIT:
            break
        tolerated = now
    else:
        result = minutes
    s.surface_interval = remembered
    engine.calc_saturation()
    return result


def recommended_wait(engine):
    """Hours of the common recommendation before flying, and which dive it is for."""
    if engine.decompression_dive:
        return 24, "Dekompressionstauchgang"
    dived = surfaced = False   # down, back at the surface, and down again
    for i in range(1, min(engine.next_point, rc.MAX_RECORDS - 1) + 1):
        depth, t_delta = engine.lines[i][:2]
        if t_delta <= 0:
            continue
        if depth > 0 and surfaced:
            return 18, "Wiederholungstauchgänge"
        if depth > 0:
            dived = True
        elif dived:
            surfaced = True
    return 12, "einzelner Tauchgang ohne Dekompressionsstopps"


def nofly_message(minutes, cabin_pressure, recommendation=(12, "einzelner Tauchgang ohne "
                                                                "Dekompressionsstopps")):
    hours = vb_int(minutes / 60)
    rest = minutes - 60 * hours
    advice_hours, dive = recommendation
    model = fn(hours) + "h und " + fn(rest) + " min."
    longer = ("die Flugverbotszeit des Modells (" + model + ")" if minutes > advice_hours * 60
              else "die Empfehlung (" + fn(advice_hours) + " h)")
    return ("Die Flugverbotszeit für diesen Tauchgang beträgt: " + fn(minutes) + " Minuten"
            + " gerechnet ab Tauchgangsende." + " Dies entspricht " + model
            + " Der Kabinendruck wird angesetzt mit " + fn(cabin_pressure) + " mbar."
            + "\n\nÜbliche Empfehlung: mindestens 12 h nach einem einzelnen Tauchgang ohne "
            "Dekompressionsstopps, 18 h nach Wiederholungstauchgängen oder mehreren Tauchtagen, "
            "24 h nach einem Dekompressionstauchgang. Für diesen Tauchgang (" + dive
            + ") gilt die Empfehlung von " + fn(advice_hours) + " h. Es gilt die längere der "
            "beiden Zeiten, hier " + longer + ".")


def nofly(engine):
    minutes = nofly_minutes(engine)
    if minutes is None:
        return {"minutes": None,
                "message": "Die Flugverbotszeit lässt sich mit diesem Kabinendruck nicht bestimmen."}
    return {"minutes": minutes,
            "message": nofly_message(minutes, engine.s.cabin_pressure, recommended_wait(engine))}


# --------------------------------------------------------------------------
# Dive plan and decompression text
# --------------------------------------------------------------------------

def plan_line(action, depth, minutes, run_time, n2, he, depth_suffix=" m", n2_label="N2: "):
    return TAB.join([action, fn(depth) + depth_suffix, "Zeit: " + fn(minutes) + " min.",
                     "Gesamtzeit: " + fn(run_time) + " min.", n2_label + fn(n2) + "%",
                     "He: " + fn(he) + "%"])


def dive_plan(engine):
    s = engine.s
    out = []
    run_time = 0.0
    last_depth = 0
    for i in range(1, engine.next_point + 1):
        if i >= rc.MAX_RECORDS:
            break
        depth, t_delta, t_total, n2, he = engine.lines[i]
        if depth <= 0 and t_delta <= 0:
            continue
        before = engine.lines[i - 1][0]
        if depth > before:
            action = "Abtauchen auf  "
        elif depth < before:
            action = "Auftauchen auf "
        else:
            action = "Tiefe halten   "
        out.append(plan_line(action, depth, t_delta, t_total, n2, he))
        run_time = t_total
        last_depth = cint(depth)
    ensure_staged(engine)
    first = deepest_stop(engine)
    if first == 0:
        return out + engine.ascent_gas_warnings()
    travel = vb_int((last_depth - 3 * first) / 10) + 1
    run_time = travel + run_time
    # the minute of arrival at a stop breathes the gas of the stop before
    arriving = engine.arrival_gas
    out.append(plan_line("Auftauchen auf ", 3 * first, travel, run_time, *arriving))
    for k in range(rc.MAX_STOP, 0, -1):
        stop = engine.stop_time[k]
        if stop == 0:
            continue
        run_time = run_time + 1
        out.append(plan_line("Auftauchen auf ", 3 * k, 1, run_time, *arriving,
                             depth_suffix=" m "))
        run_time = run_time + stop
        out.append(plan_line("Dekostufe: ", 3 * k, stop, run_time, *engine.stop_gas[k],
                             n2_label=" N2: "))
        arriving = engine.stop_gas[k]
    return out + engine.ascent_gas_warnings()


def deco_text(engine):
    """The decompression text with its CR LF line breaks."""
    text = ""
    total = 0
    for k in range(rc.MAX_STOP, 0, -1):
        stop = engine.stop_time[k]
        if stop != 0:
            text = text + fn(stop) + " min. @ " + fn(3 * k) + "m" + CRLF
            total = total + stop
    return ("Dekompressionstufen:" + CRLF + CRLF + text
            + "Gesamte Dekompressionzeit: " + fn(total) + " min."
            + "".join(CRLF + line for line in engine.ascent_gas_warnings()))


# --------------------------------------------------------------------------
# Decompression lines of the profile writer
# --------------------------------------------------------------------------

def deco_lines(engine):
    """The decompression lines appended when saving, both questions
    answered Yes; each line is the list of its five fields."""
    s = engine.s
    engine.calc_saturation()
    last_time = 0.0
    last_depth = 0
    for i in range(1, engine.next_point + 1):
        if i >= rc.MAX_RECORDS:
            break
        depth, t_delta, t_total = engine.lines[i][:3]
        if depth > 0 or t_delta > 0:
            last_time = t_total
            last_depth = cint(depth)
    ensure_staged(engine)
    out = []
    first = deepest_stop(engine)
    travel = vb_int((last_depth - 3 * first) / 10) + 1
    t = last_time + travel
    arriving = engine.arrival_gas
    out.append([3 * first, travel, t, *arriving])
    for k in range(rc.MAX_STOP, 0, -1):
        stop = engine.stop_time[k]
        if stop == 0:
            continue
        t = t + 1
        out.append([3 * k, 1, t, *arriving])
        t = t + stop
        arriving = engine.stop_gas[k]
        out.append([3 * k, stop, t, *arriving])
    t = t + 1
    out.append([0, 1, t, *arriving])
    return [TAB.join(fn(x) for x in fields) for fields in out]


# --------------------------------------------------------------------------
# Decompression table
# --------------------------------------------------------------------------

def square_dive_stops(engine, depth, bottom_time, n2, he):
    """Stop times of the three-line square dive of one table cell."""
    engine.reset_points()
    lines = engine.lines
    lines[1][:4] = [1.0, 1.0, 0.0, n2]
    lines[2][:4] = [float(depth), 2.0, 0.0, n2]
    lines[3][:4] = [float(depth), float(bottom_time if bottom_time > 2 else 2), 0.0, n2]
    for i in (1, 2, 3):
        lines[i][4] = he
    engine.next_point = 3
    engine.calc_saturation(rebuild_lines=False)
    if engine.first_stop_beyond_list or engine.stopped:
        raise rc.CalculationLimit("the calculation ended early")
    return engine.stop_time


def table_row_times(line):
    times = []
    number = 2
    while True:
        v = val(get_field(line, number))
        if v <= 0:
            break
        times.append(cint(v))
        number += 1
    return times[:MAX_TABLE_COLUMNS]


def deco_table_lines(engine, input_lines):
    """The output lines of the decompression table of a depth/time text."""
    s = engine.s
    s.surface_interval = 0
    engine.reset_points()
    engine.clear_lines()
    n2 = val(s.n2_field)
    he = val(s.he_field)
    out = ["Dekompressionstabelle nach Bühlmann", "", "Gaszusammensetzung ",
           "Grundphase: " + TAB + TAB + "N2: " + s.n2_field + "%  He: " + s.he_field
           + "%  O2: " + fn(99 - n2 - he) + "%",
           "-" * 48, ""]
    # the gases of the stops: the bottom N2 with the decompression He, and the decompression
    # gas from its switch depth upwards
    bottom = (cint(n2), s.he_deco)
    switch = s.nitrox_deco_start
    shallow = (s.n2_deco, s.he_deco) if switch > 0 else bottom

    def gas_text(g):
        return ("N2: " + fn(g[0]) + "%  He: " + fn(g[1]) + "%  O2: " + fn(99 - g[0] - g[1])
                + "%")
    if shallow == bottom:
        phase = ["Dekompressionsphase: " + TAB + gas_text(bottom)]
    else:
        phase = ["Dekompressionsphase: " + TAB + gas_text(bottom) + "  (tiefer als "
                 + fn(switch) + " m)",
                 "Dekompressionsphase: " + TAB + gas_text(shallow) + "  (ab " + fn(switch)
                 + " m)"]
    out[4:4] = phase
    for line in input_lines:
        depth = cint(val(get_field(line, 1)))
        deepest = 0
        grid = []
        times = table_row_times(line)
        for t in times:
            stops = square_dive_stops(engine, depth, t, n2, he)
            column = [0] * (rc.MAX_STOP + 1)
            deepest = 0
            for k in range(rc.MAX_STOP, 0, -1):
                if stops[k] > 0:
                    column[k] = stops[k]
                    deepest = max(deepest, k)
            grid.append(column)
        block = ["Tiefe: " + fn(depth) + " m",
                 "GZ" + TAB + "".join(fn(3 * k) + "m" + TAB for k in range(deepest, 0, -1))]
        for t, column in zip(times, grid):
            block.append(fn(t) + TAB + "".join(fn(column[k]) + TAB for k in range(deepest, 0, -1)))
        block.append("")
        if len(out) + len(block) <= MAX_OUTPUT_LINES:
            out.extend(block)
    return out


def deco_table_bytes(engine, input_lines):
    text = "".join(line + CRLF for line in deco_table_lines(engine, input_lines))
    return text.encode("cp1252", errors="replace")


# --------------------------------------------------------------------------
# Command line
# --------------------------------------------------------------------------

USAGE = ("usage: reference_outputs.py nofly|plan|decotext|decolines FILE "
         "| decotable IN OUT  [--json] [--settings MISSING] [--set Section/Key=Value]...\n")


def main(argv):
    args = argv[1:]
    positional, overrides = [], []
    i = 0
    while i < len(args):
        a = args[i]
        if a == "--set" and i + 1 < len(args):
            overrides.append(args[i + 1])
            i += 2
        elif a == "--settings" and i + 1 < len(args):
            if os.path.exists(args[i + 1]):
                sys.stderr.write("only an empty settings store is modelled\n")
                return 2
            i += 2
        elif a == "--json":
            i += 1
        elif not a.startswith("--"):
            positional.append(a)
            i += 1
        else:
            sys.stderr.write(USAGE)
            return 2
    if not positional:
        sys.stderr.write(USAGE)
        return 2
    command, files = positional[0], positional[1:]
    wanted = 2 if command == "decotable" else 1
    if command not in ("nofly", "plan", "decotext", "decolines", "decotable") or len(files) != wanted:
        sys.stderr.write(USAGE)
        return 2
    try:
        if command == "decotable":
            store = {}
            for text in overrides:
                rc.parse_set_option(text, store)
            engine = rc.Engine(rc.Settings(store))
            data = deco_table_bytes(engine, rc.read_text_lines(files[0]))
            with open(files[1], "wb") as f:
                f.write(data)
            return 0
        engine = load(files[0], overrides)
    except ValueError as e:
        sys.stderr.write(str(e) + "\n")
        return 2
    out = sys.stdout
    if command == "nofly":
        json.dump(nofly(engine), out, ensure_ascii=False)
        out.write("\n")
    elif command == "plan":
        out.write("".join(line + "\n" for line in dive_plan(engine)))
    elif command == "decotext":
        out.write(deco_text(engine).replace(CRLF, "\n") + "\n")
    else:
        out.write("".join(line + "\n" for line in deco_lines(engine)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
