#!/usr/bin/env python3
"""Checks of the reference model against hand-worked dive examples.

    python3 -m unittest test_reference_calc   (in this folder)
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_calc as rc  # noqa: E402
import reference_outputs as ro  # noqa: E402
from unittest import mock  # noqa: E402


def engine(**settings):
    store = {}
    for name, value in settings.items():
        section, key = name.split("__")
        store[(section.lower(), key.lower())] = value
    e = rc.Engine(rc.Settings(store))
    e.clear_computed_profile()
    e.computed_count = 1
    return e


def write_profile(text, encoding="utf-8"):
    fd, path = tempfile.mkstemp(suffix=".mrp")
    with os.fdopen(fd, "wb") as f:
        f.write(text.encode(encoding))
    return path


class TissueModelTest(unittest.TestCase):
    def test_surface_state_and_one_minute_at_30_m(self):
        e = engine(Values__AirPressure="1013", Values__InitialppN2="0.78")
        e.init_tissues()
        self.assertAlmostEqual(e.pN2[0], 0.79014, places=12)
        self.assertAlmostEqual(e.pN2[16], 0.79014, places=12)
        self.assertEqual(e.pHe[5], 0.0)
        self.assertEqual(e.tolerated(), 0.0)        # pTotal is still 0
        self.assertAlmostEqual(e.ambient(30), 4.04429, places=12)
        e.saturate(30, 1, 78, 0)
        self.assertAlmostEqual(e.pN2[1], 1.3201455, places=7)
        self.assertEqual(e.pN2[0], 0.79014)         # compartment 0 is off

    def test_tolerated_pressure_of_one_compartment(self):
        e = engine()
        e.pN2 = [0.0] * 17
        e.pTotal = [0.0] * 17
        e.pN2[1] = e.pTotal[1] = 1.3201455
        self.assertAlmostEqual(e.tolerated(), 0.0309, places=4)

    def test_equal_compartments_and_negative_values(self):
        e = engine()
        e.pN2 = [0.1] * 17
        e.pTotal = [0.1] * 17                       # below every a
        self.assertEqual(e.tolerated(), 0.0)

    def test_depth_from_pressure(self):
        self.assertAlmostEqual(rc.Engine.depth_from_pressure(1.013), 0.13, places=12)
        self.assertAlmostEqual(rc.Engine.depth_from_pressure(0.95), -0.5, places=12)


class OxygenTest(unittest.TestCase):
    def rec(self, depth, n2, he, air="1013"):
        e = engine(Values__AirPressure=air)
        r = e.empty_record()
        e.oxygen_minute(r, depth, n2, he)
        return r

    def test_air_at_30_m(self):
        r = self.rec(30, 78, 0)
        self.assertAlmostEqual(r["otu"], 0.7 ** 0.83, places=12)
        self.assertAlmostEqual(r["otu"], 0.7438, places=4)
        self.assertAlmostEqual(r["cnsDive"], 100 / 360, places=12)
        self.assertAlmostEqual(r["cnsDay"], 100 / 360, places=12)

    def test_oxygen_at_6_m_counts_at_level_1_7(self):
        r = self.rec(6, 0, 0)
        self.assertEqual((r["cnsDive"], r["cnsDay"]), (10.0, 2.0))

    def test_low_oxygen_pressure_gives_nothing(self):
        r = self.rec(0, 78, 0)
        self.assertEqual((r["otu"], r["cnsDive"], r["cnsDay"]), (0.0, 0.0, 0.0))

    def test_day_dose_halves_in_90_surface_minutes(self):
        e = engine()
        e.records[1]["cnsDay"] = 51.0
        e.records[1]["cnsDive"] = 3.5
        e.records[2]["cnsDive"] = 3.5
        e.computed_count = 91                       # records 2..91 carry no day dose
        self.assertEqual(e.daily_cns(), 25)         # 25.5 after 90 minutes, cut down
        e.records[50]["cnsDay"] = 2.0               # no decay in that minute:
        self.assertEqual(e.daily_cns(), 27)         # 51 * 2^(-89/90) + 2 * 2^(-41/90)
        self.assertEqual(e.dive_cns(), 7)


class DecompressionTest(unittest.TestCase):
    def staged(self, d0, first_stop, **settings):
        """Run the staged phase with every ceiling clear at once."""
        e = engine(**settings)
        e.find_first_stop_index = lambda: first_stop
        e.tolerated = lambda: 0.0
        e.staged_decompression(d0)
        recs = e.records[1:e.computed_count]
        return e, [r["depth"] for r in recs], [r["n2Percent"] for r in recs]

    def test_first_stop_is_listed_depth_below_ceiling(self):
        e = engine()
        e.tolerated = lambda: e.ambient(10)         # ceiling between 9 and 12 m
        self.assertEqual(e.find_first_stop_index(), 4)
        e.s.sharp_first_step = True
        self.assertEqual(e.find_first_stop_index(), 3)
        e.tolerated = lambda: 0.5
        self.assertEqual(e.find_first_stop_index(), 0)

    def test_stops_without_deep_stop(self):
        e, depths, _ = self.staged(20.0, 3)
        self.assertEqual(depths, [20, 10, 9, 9, 6, 6, 3, 3, 0])
        self.assertEqual(e.stop_time[1:4], [1, 1, 1])
        self.assertEqual(e.messages, ["Erste Deko-Stufe auf 9 m"])

    def test_deep_stop_modes(self):
        _, depths, n2 = self.staged(40.0, 3, Values__DeepStops="1", Values__DeepStopTime="2",
                                    Values__N2PerCentDecompression="50")
        self.assertEqual(depths[:7], [40, 30, 20, 20, 20, 20, 10])
        self.assertEqual(n2[:5], [50, 50, 50, 50, 50])   # decompression gas at the deep stop
        self.assertEqual(n2[5], 78)                       # bottom gas from then on
        _, depths, _ = self.staged(40.0, 3, Values__DeepStops="1", Values__DeepStopMode="2",
                                   Values__DeepStopTime="1")
        self.assertEqual(depths[:6], [40, 30, 24, 24, 20, 10])
        _, depths, _ = self.staged(16.0, 3, Values__DeepStops="1", Values__DeepStopTime="3")
        self.assertEqual(depths, [10, 9, 9, 6, 6, 3, 3, 0])   # 8 m is not below 9 m

    def test_gas_switch_at_nitrox_start(self):
        _, depths, n2 = self.staged(12.0, 3, Settings__NitroxDecoStart="6",
                                    Values__N2PerCentDecompression="20")
        self.assertEqual(depths, [10, 9, 9, 6, 6, 3, 3, 0])
        self.assertEqual(n2, [78, 78, 78, 78, 20, 20, 20, 20])

    def test_no_stop_ends_with_minute_at_surface(self):
        e, depths, _ = self.staged(0.0, 0)
        self.assertEqual(depths, [0, 0])            # sub-step record and the minute
        self.assertEqual(e.stop_time, [0] * 101)

    def test_continuous_ascent_records_every_ninth_step(self):
        e = engine()
        e.tolerated = lambda: 0.0
        e.continuous_ascent(30.0)
        self.assertEqual([r["depth"] for r in e.records[1:e.computed_count]], [22, 13, 4])

    def test_continuous_ascent_follows_tolerated_pressure(self):
        for second, expected in ((1.2, [6, 2.5]), (2.0, [6, 6])):
            e = engine()
            by_record = {1: 1.5, 2: second}
            e.find_ceiling_depth = lambda: 6
            e.tolerated = lambda: by_record.get(e.computed_count, 0.9)
            e.continuous_ascent(6.0)
            depths = [r["depth"] for r in e.records[1:e.computed_count]]
            self.assertEqual(len(depths), 2)
            for got, want in zip(depths, expected):
                self.assertAlmostEqual(got, want, places=12)   # 10 x tolerated - 9.5

    def test_violation_messages(self):
        for count, expected in ((0, ["Dekompressionsphase OK."]),
                                (2, ["Während 2 Minute(n) wurden die Dekompressionsregeln nicht beachtet!"]),
                                (4, ["Während 4 Minute(n) wurden die Dekompressionsregeln nicht beachtet!",
                                     "Dekompression unzureichend!"])):
            e = engine()
            e.computed_count = 5
            for j in range(1, count + 1):
                e.records[j]["toleratedPressure"] = 2.0
            e.check_decompression()
            self.assertEqual(e.messages[1:], expected)


class ProfileFileTest(unittest.TestCase):
    EXAMPLE = ("Depth\tt.delta\tt.total\tN2%\tHe%\r\n30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n"
               "3\t3\t28\t78\t0\r\n3\t1\t29\t78\t0\r\n3\t5\t34\t78\t0\r\n0\t1\t35\t78\t0\r\n"
               "# END OF PROFILE #\r\nTG-Nummer: 12\r\n")

    def test_example_file(self):
        path = write_profile(self.EXAMPLE)
        try:
            r = rc.run(path, ["Values/SurfaceInterval=0"])
        finally:
            os.unlink(path)
        self.assertEqual([(ln["depth"], ln["tDelta"], ln["tTotal"]) for ln in r["lines"]],
                         [(30, 3, 3), (30, 22, 25), (3, 3, 28), (3, 1, 29), (3, 5, 34), (0, 1, 35)])
        self.assertEqual(r["messages"][:2], ["Lade: " + path, "Berechne Profil"])
        self.assertIn("Max.Tiefe: 30 m Wassertiefe", r["messages"])
        self.assertIn("Zeit: 34 min.", r["messages"])      # the last minute ends at 0 m
        self.assertEqual(r["messages"][-2:], ["Dekompressionsmodell: ZH-L16C", "Progressivität: Normal"])
        depths = [rec["depth"] for rec in r["records"]]
        self.assertEqual(depths[:4], [10, 20, 30, 30])
        self.assertAlmostEqual(depths[27], 3, places=9)    # 30 -> 3 m in 3 minutes
        self.assertEqual(depths[34], 0)
        # the profile ends at 0 m, so the whole decompression phase lies at 0 m
        self.assertGreaterEqual(len(depths), 36)
        self.assertEqual(set(depths[34:]), {0})
        self.assertEqual(r["stops"], [])

    def test_reader_rules(self):
        text = ("10 5 5 78 0\n"            # blanks separate too
                "\n"                       # an empty line is a data line
                "20\t5\t40\t78\t2.5\n"     # tTotal beyond the axis
                " 30\t5\t15\t78\t0\n"      # leading blank: ignored
                "; Abstieg 3\n"
                "30\t5\t10\t68\t7.5\n"
                "0 3 13\n")                # three fields
        path = write_profile(text, "cp1252")
        try:
            e = rc.Engine(rc.Settings({("settings", "maxhscale"): "10",
                                       ("values", "surfaceinterval"): "0"}))
            e.read_profile_file(path)
        finally:
            os.unlink(path)
        self.assertEqual(e.next_point, 6)
        self.assertEqual(e.max_hscale, 18)         # widened to the summed tDelta
        lines = [e.lines[i][:] for i in range(1, 6)]
        # rebuilt from the points by minute: 5, 10, 13; minute 40 lies beyond the axis
        self.assertEqual(lines[0], [10, 5, 5, 78, 0])
        self.assertEqual(lines[1], [30, 5, 10, 68, 7.5])
        self.assertEqual(lines[2], [0, 3, 13, 0, 0])
        self.assertEqual(lines[3], [0, 0, 0, 0, 7.5])      # cleared line keeps its He
        self.assertEqual([e.records[j]["depth"] for j in (5, 10, 11, 13)], [10, 30, 20, 0])


class HelperTest(unittest.TestCase):
    def test_val(self):
        for text, value in (("12.5abc", 12.5), (" 1 2", 12.0), ("&H1F", 31.0), ("1e2", 100.0),
                            ("2,5", 2.0), ("abc", 0.0), ("", 0.0), ("-.5", -0.5), ("1D3", 1000.0)):
            self.assertEqual(rc.val(text), value, text)

    def test_get_field(self):
        self.assertEqual(rc.get_field("a  b", 2), "")
        self.assertEqual(rc.get_field("a  b", 3), "b")
        self.assertEqual(rc.get_field("\ta", 1), "")
        self.assertEqual(rc.get_field("a\t", 2), "")
        self.assertEqual(rc.get_field("a", 4), "")

    def test_load_rules(self):
        s = rc.Settings({})
        self.assertEqual((s.air_pressure, s.surface_interval, s.initial_ppn2, s.model, s.time_factor),
                         (1000.0, 120, 0.79, 3, 1.5))
        self.assertEqual((s.first_compartment, s.max_hscale, s.n2_field), (1, 60, "78"))
        s = rc.Settings({("values", "surfaceinterval"): "0", ("values", "airpressure"): "2500",
                         ("values", "decomode"): "1", ("values", "c0an2"): "0",
                         ("settings", "usec0"): "1", ("values", "deepstoptime"): "2.5"})
        self.assertEqual((s.surface_interval, s.air_pressure, s.time_factor), (0, 1000.0, 6.0))
        self.assertEqual((s.c0["aN2"], s.first_compartment, s.deep_stop_time), (0.2, 0, 2))

    def test_build_lines_from_points(self):
        e = engine()
        e.points[1] = [10, 30, 78, 0.0]
        e.points[2] = [5, 20, 78, 0.0]
        e.points[3] = [5, 25, 68, 0.0]
        e.points[4] = [61, 10, 78, 0.0]            # beyond the time axis
        e.next_point = 5
        e.build_lines_from_points()
        self.assertEqual([e.lines[i][:3] for i in range(1, 5)],
                         [[20, 5, 5], [25, 0, 5], [30, 5, 10], [0, 0, 0]])


def dive_30m(**settings):
    """Descent to 30 m in 3 minutes, 22 minutes there; stops 6 m/2 and 3 m/4, the ascent and
    the 6 m stop on air, the 3 m stop on N2 50 %."""
    e = engine(Decompression__Step="True", **settings)
    e.lines[1][:] = [30.0, 3.0, 3.0, 78.0, 0.0]
    e.lines[2][:] = [30.0, 22.0, 25.0, 78.0, 0.0]
    e.next_point = 3
    e.stop_time[2] = 2
    e.stop_time[1] = 4
    e.arrival_gas = e.stop_gas[2] = (78, 0)
    e.stop_gas[1] = (50, 0)
    return e


class OutputsTest(unittest.TestCase):
    def test_dive_plan_run_times(self):
        plan = ro.dive_plan(dive_30m())
        self.assertEqual(plan[:2], [
            "Abtauchen auf  \t30 m\tZeit: 3 min.\tGesamtzeit: 3 min.\tN2: 78%\tHe: 0%",
            "Tiefe halten   \t30 m\tZeit: 22 min.\tGesamtzeit: 25 min.\tN2: 78%\tHe: 0%"])
        # every line names the gas breathed there; arriving at a stop is on the gas of the one
        # before
        self.assertEqual(plan[2:], [
            "Auftauchen auf \t6 m\tZeit: 3 min.\tGesamtzeit: 28 min.\tN2: 78%\tHe: 0%",
            "Auftauchen auf \t6 m \tZeit: 1 min.\tGesamtzeit: 29 min.\tN2: 78%\tHe: 0%",
            "Dekostufe: \t6 m\tZeit: 2 min.\tGesamtzeit: 31 min.\t N2: 78%\tHe: 0%",
            "Auftauchen auf \t3 m \tZeit: 1 min.\tGesamtzeit: 32 min.\tN2: 78%\tHe: 0%",
            "Dekostufe: \t3 m\tZeit: 4 min.\tGesamtzeit: 36 min.\t N2: 50%\tHe: 0%"])

    def test_gases_the_staged_phase_breathes(self):
        e = dive_30m(Settings__NitroxDecoStart="6", Values__N2PerCentDecompression="50",
                     Values__HePerCentDecompression="10", Values__N2Percent="20.5")
        e.calc_saturation(rebuild_lines=False)
        stops = [k for k in range(100, 0, -1) if e.stop_time[k]]
        self.assertEqual(stops[-2:], [2, 1])
        for k in stops:   # 20.5 rounds to even; the stop at the switch depth is on the deco gas
            self.assertEqual(e.stop_gas[k], (20, 10) if 3 * k > 6 else (50, 10), 3 * k)
        first = 3 * stops[0]  # the ascent still breathes the bottom share at the switch depth
        self.assertEqual(e.arrival_gas, (20, 10) if first >= 6 else (50, 10))
        self.assertEqual(e.breathed, [(20, 10), (50, 10)])

        e = engine(Decompression__Step="True", Values__N2Percent="44", Values__HePercent="35")
        e.lines[1][:] = [45.0, 3.0, 3.0, 44.0, 35.0]
        e.lines[2][:] = [45.0, 22.0, 25.0, 44.0, 35.0]
        e.next_point = 3
        e.calc_saturation(rebuild_lines=False)
        self.assertEqual(e.messages[-3:], [
            "Achtung: Der Aufstieg wurde mit dem Gas O2/N2/He 55/44/0 berechnet. Es ist weder "
            "ein Gas des Tauchgangs noch das Dekompressionsgas der Einstellungen.",
            "Höchster ppO2 beim Aufstieg: 3.05 bar auf 45 m mit O2/N2/He 55/44/0, über der "
            "Warngrenze von 1.6 bar.",
            "Abhilfe: das Dekompressionsgas einstellen (Einstellungen, Register Dekompression) "
            "oder den Aufstieg mit dem Planer und seinen Gasen planen."])

    def test_no_stop_plan_ends_after_profile_lines(self):
        e = dive_30m()
        e.stop_time = [0] * 101
        self.assertEqual(len(ro.dive_plan(e)), 2)

    def test_deco_text(self):
        self.assertEqual(ro.deco_text(dive_30m()),
                         "Dekompressionstufen:\r\n\r\n2 min. @ 6m\r\n4 min. @ 3m\r\n"
                         "Gesamte Dekompressionzeit: 6 min.")
        e = dive_30m()
        e.stop_time = [0] * 101
        self.assertEqual(ro.deco_text(e), "Dekompressionstufen:\r\n\r\nGesamte Dekompressionzeit: 0 min.")

    def test_deco_lines_of_the_profile_writer(self):
        e = dive_30m(Values__N2PerCentSurface="79")
        e.stop_time = [0] * 101
        e.stop_time[1] = 5
        e.calc_saturation = lambda *args, **kwargs: None   # keep the stop table of the example
        # the last minute, at 0 m, still breathes the gas of the last stop
        self.assertEqual(ro.deco_lines(e), ["3\t3\t28\t78\t0", "3\t1\t29\t78\t0",
                                            "3\t5\t34\t50\t0", "0\t1\t35\t50\t0"])
        e.stop_time[1] = 0                                  # no stop: Int(30 / 10) + 1, then 1
        self.assertEqual(ro.deco_lines(e), ["0\t4\t29\t78\t0", "0\t1\t30\t78\t0"])

    def test_nofly_message(self):
        text = ro.nofly_message(135, 685.5)
        self.assertIn(" 135 Minuten gerechnet ab Tauchgangsende. Dies entspricht 2h und 15 min.", text)
        self.assertIn(" Der Kabinendruck wird angesetzt mit 685.5 mbar.\n\nÜbliche Empfehlung: ", text)
        self.assertTrue(text.endswith("(einzelner Tauchgang ohne Dekompressionsstopps) gilt die "
                                      "Empfehlung von 12 h. Es gilt die längere der beiden Zeiten, "
                                      "hier die Empfehlung (12 h)."))
        self.assertTrue(ro.nofly_message(1500, 595.0, (24, "Dekompressionstauchgang")).endswith(
            "hier die Flugverbotszeit des Modells (25h und 0 min.)."))
        self.assertIn("Dies entspricht 0h und 0 min.", ro.nofly_message(0, 595.0))

    def test_nofly_search(self):
        path = write_profile("30\t3\t3\t78\t0\r\n30\t22\t25\t78\t0\r\n")
        try:
            e = ro.load(path, ["Values/SurfaceInterval=60"])
            before = e.result()
            minutes = ro.nofly_minutes(e)
            after = e.result()                 # the normal result again, surface interval included
            self.assertEqual(after["records"], before["records"])
            self.assertEqual(after["totals"], before["totals"])
            shallow = ro.nofly_minutes(ro.load(path, ["Values/CabinPressure=2000"]))
            never = ro.nofly_minutes(ro.load(path, ["Values/CabinPressure=300"]))
        finally:
            os.unlink(path)
        self.assertGreater(minutes, 0)
        self.assertEqual(shallow, 0)      # tolerated pressure already below the cabin pressure
        self.assertIsNone(never)          # below what the tissues reach at the surface

    def test_recalculation_uses_the_widened_time_axis(self):
        path = write_profile("20 5 5 78 0\n20 5 12 78 0\n")
        try:
            e = ro.load(path, ["Settings/MaxHScale=10", "Values/SurfaceInterval=10"])
        finally:
            os.unlink(path)
        self.assertEqual(e.lines[2][:3], [0, 0, 0])       # minute 12 lies beyond the axis
        self.assertEqual(e.max_hscale, 25)
        e.calc_saturation()
        self.assertEqual(e.lines[2][:3], [20, 7, 12])

    def test_deco_table_blocks(self):
        stops = {20: {2: 2, 1: 4}, 30: {3: 1, 2: 5, 1: 9}, 10: {1: 3}}

        def fake(engine, depth, bottom_time, n2, he):
            table = [0] * 101
            for k, t in stops[bottom_time].items():
                table[k] = t
            return table
        e = rc.Engine(rc.Settings({("values", "n2percent"): "20,5", ("values", "hepercent"): "17.5"}))
        with mock.patch.object(ro, "square_dive_stops", fake):
            out = ro.deco_table_lines(e, ["40 20 30", "18\t0\t20", "40 30 10"])
        self.assertEqual(out[3], "Grundphase: \t\tN2: 20,5%  He: 17.5%  O2: 61.5%")
        # the stops breathe the bottom N2 share (the field's leading number) with the deco He
        self.assertEqual(out[4], "Dekompressionsphase: \tN2: 20%  He: 0%  O2: 79%")
        self.assertEqual(out[7:], ["Tiefe: 40 m", "GZ\t9m\t6m\t3m\t", "20\t0\t2\t4\t", "30\t1\t5\t9\t", "",
                                   "Tiefe: 18 m", "GZ\t", "",
                                   # the last dive of a line decides the columns
                                   "Tiefe: 40 m", "GZ\t3m\t", "30\t9\t", "10\t3\t", ""])

    def test_deco_table_short_times_and_file(self):
        e = rc.Engine(rc.Settings({}))
        out = ro.deco_table_lines(e, ["30 1 2"])
        self.assertEqual(out[9].split("\t")[1:], out[10].split("\t")[1:])   # 1 minute is a 2-minute dive
        self.assertEqual((out[9][:2], out[10][:2]), ("1\t", "2\t"))
        data = ro.deco_table_bytes(rc.Engine(rc.Settings({})), [])
        self.assertTrue(data.startswith(b"Dekompressionstabelle nach B\xfchlmann\r\n\r\n"))
        self.assertTrue(data.endswith(b"-" * 48 + b"\r\n\r\n"))


if __name__ == "__main__":
    unittest.main()
