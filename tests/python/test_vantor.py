# SPDX-License-Identifier: GPL-3.0-or-later
"""The vantor module against vantor-cli: the same spectra, the same bytes."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import numpy as np

import vantor

CLI = os.environ["VANTOR_CLI"]
SAMPLES = sorted(Path(os.environ["VANTOR_SAMPLES"]).iterdir())
XBM = SAMPLES[-1]
CSV_PARAMS = dict(two_theta=6.5, egc=(0.25, 0.04, 1e-7), temperature=300.0)
CSV_ARG = "6.5,0.25,0.04,1e-7,300"
OUTPUTS = {"rpt": ".RPT", "txt": ".TXT", "csv": ".CSV", "npd": ".NPD", "gsa": ".GSA", "xbm": "_.XBM"}


def cli(*args):
    subprocess.run([CLI, *map(str, args)], check=True, capture_output=True)


def cli_json(*args):
    run = subprocess.run([CLI, *map(str, args), "--json"], capture_output=True, text=True)
    return json.loads(run.stdout)


def read(path):
    return vantor.read(path, csv_params=CSV_PARAMS if path.suffix == ".csv" else None)


class VantorTest(unittest.TestCase):
    def setUp(self):
        self.dir = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.dir)
        (self.dir / "py").mkdir()

    def test_samples_read_as_the_cli_reads_them_and_write_its_bytes(self):
        for sample in SAMPLES:
            with self.subTest(sample.name):
                source = self.dir / sample.name
                shutil.copy(sample, source)
                cli("convert", "--to", ",".join(OUTPUTS), "--csv-params", CSV_ARG, source)
                # The record file the CLI wrote holds what it read: counts and calibration.
                record = (self.dir / (source.stem + "_.XBM")).read_bytes()
                n = int(np.frombuffer(record, "<i2", 1, 2068)[0])
                a, b, c = np.frombuffer(record, "<f8", 3, 1434)
                x = np.arange(1, n + 1, dtype=float)
                spectrum = read(source)
                self.assertEqual(spectrum.kind, sample.suffix[1:])
                np.testing.assert_array_equal(spectrum.channels, x)
                np.testing.assert_array_equal(spectrum.counts, np.frombuffer(record, "<i4", n, 2070))
                np.testing.assert_array_equal(spectrum.energy, (x * b + a) + (x * c) * x)
                for kind, suffix in OUTPUTS.items():
                    name = source.stem + suffix
                    vantor.write(spectrum, self.dir / "py" / name, kind)
                    self.assertEqual((self.dir / "py" / name).read_bytes(), (self.dir / name).read_bytes(), kind)

    def test_combine_and_table_write_the_cli_bytes(self):
        npds = [s for s in SAMPLES if s.suffix == ".npd"] * 2
        runs = (("combine", "sum.npd", SAMPLES, dict(csv_params=CSV_PARAMS), ["--csv-params", CSV_ARG]),
                ("table", "series.csv", npds, {}, []))
        for command, name, files, options, cli_options in runs:
            with self.subTest(command):
                cli(command, "-o", self.dir / name, *cli_options, *files)
                written = getattr(vantor, command)(files, self.dir / "py" / name, **options)
                self.assertEqual(Path(written).read_bytes(), (self.dir / name).read_bytes())
                with self.assertRaises(FileExistsError):
                    getattr(vantor, command)(files, written, **options)
        # A sum never replaces one of its own sources.
        copy = self.dir / "copy.xbm"
        copy.write_bytes(XBM.read_bytes())
        with self.assertRaisesRegex(vantor.Error, "one of the files read"):
            vantor.combine([copy, XBM], copy, overwrite=True)
        self.assertEqual(copy.read_bytes(), XBM.read_bytes())

    def test_d_spacing_agrees_with_the_table(self):
        # The table keeps its rounded hc; the module uses the exact one.
        cli("table", "-o", self.dir / "t.csv", XBM.with_suffix(".npd").with_name("profile.npd"))
        spectrum = vantor.read(XBM.with_name("profile.npd"))
        rows = [line.split(",") for line in (self.dir / "t.csv").read_text().splitlines()[1:len(spectrum) + 1]]
        table_d = np.array([float(r[2]) if r[2] else np.nan for r in rows]) * (12.398419843320026 / 12.3981)
        np.testing.assert_allclose(spectrum.d_spacing, table_d, atol=6e-4)

    def test_built_spectrum_round_trips_through_a_record_file(self):
        header = dict(SampleTitle="試料 ~ A\\", SourceFormat=1, EGC=[0.1, 0.05, 1e-6], TwoTheta=5.0, ROIStart=3)
        spectrum = vantor.Spectrum(np.arange(100, dtype=np.uint16), header)
        spectrum.counts[0] = 7
        vantor.write(spectrum, self.dir / "b.xbm", "xbm")
        back = vantor.read(self.dir / "b.xbm")
        np.testing.assert_array_equal(back.counts, spectrum.counts)
        self.assertEqual(back.header, spectrum.header)
        self.assertEqual({k: back.header[k] for k in header}, header)
        for counts, error in (([0.5], TypeError), (np.zeros(8193, int), ValueError), ([2**31], ValueError)):
            with self.assertRaises(error):
                vantor.Spectrum(counts)
        for fields, error in (({"Title": "x"}, KeyError), ({"ROIStart": 1.5}, TypeError), ({"ROIStart": 40000}, ValueError),
                              ({"TwoTheta": 1, "Operator": "x" * 31}, ValueError), ({"LiveTime": "x"}, TypeError),
                              ({"EGC": [1, 2]}, TypeError), ({"Operator": 5}, TypeError)):
            with self.assertRaises(error):
                spectrum.header = fields
        self.assertEqual(spectrum.header["TwoTheta"], 5.0)
        spectrum.header = {"Operator": b"\x82\xa0 beamline"}  # bytes as stored, code page 932
        self.assertEqual((spectrum.header["Operator"], repr(spectrum)), ("あ beamline", "<vantor.Spectrum 100 channels, '試料 ~ A\\\\'>"))

    def test_files_of_several_spectra_read_one_or_all(self):
        med = self.dir / "two.med"
        med.write_text("VERSION: 3.1\nELEMENTS: 2\nCHANNELS: 3\nREAL_TIME: 10 10\nLIVE_TIME: 9 9\n"
                       "CAL_OFFSET: 0.1 0.2\nCAL_SLOPE: 0.05 0.05\nCAL_QUAD: 0 0\nTWO_THETA: 6.5 6.6\n"
                       "ENVIRONMENT: 13IDD:m1.VAL=\"2.5\" (Press load)\nDATA:\n1 4\n2 5\n3 6\n")
        both = vantor.read_all(med)
        self.assertEqual([s.element for s in both], [1, 2])
        np.testing.assert_array_equal(both[1].counts, [4, 5, 6])
        np.testing.assert_allclose(both[1].energy, [0.2, 0.25, 0.3])  # the file counts channels from 0
        self.assertEqual(vantor.read(med, element=2).header["TwoTheta"], 6.6)
        self.assertIn("2.5", both[0].extra.values())
        with self.assertRaisesRegex(ValueError, "holds 2 spectra"):
            vantor.read(med)
        with self.assertRaises(IndexError):
            vantor.read(med, element=3)
        self.assertIsNone(vantor.read(XBM).element)

    def test_failures_raise_with_the_reason(self):
        damaged = self.dir / "damaged.xbm"
        damaged.write_bytes(XBM.read_bytes()[:1000])
        with self.assertRaises(vantor.NotFound) as missing:
            vantor.read(self.dir / "missing.xbm")
        self.assertTrue(isinstance(missing.exception, FileNotFoundError) and isinstance(missing.exception, vantor.Error))
        for run in (lambda: vantor.read(damaged), lambda: vantor.combine([XBM, damaged], self.dir / "s.xbm")):
            with self.assertRaisesRegex(vantor.FileError, "damaged.xbm: .*2070") as bad:
                run()
            self.assertIsInstance(bad.exception, ValueError)
        export = XBM.with_name("export.csv")
        for run in (lambda: vantor.read(export), lambda: vantor.read(export, csv_params=dict(CSV_PARAMS, angle=1)),
                    lambda: vantor.read(XBM, kind="pdf"), lambda: vantor.read(self.dir / "x.dat"),
                    lambda: vantor.write(vantor.read(XBM), self.dir / "x", "pdf")):
            with self.assertRaisesRegex(ValueError, "csv_params|kind"):
                run()
        with self.assertRaises(TypeError):
            vantor.read(export, csv_params=dict(CSV_PARAMS, temperature="warm"))

        target, spectrum = self.dir / "kept.TXT", vantor.read(XBM)
        target.write_bytes(b"old")
        with self.assertRaises(FileExistsError):
            vantor.write(spectrum, target, "txt")
        self.assertEqual(target.read_bytes(), b"old")
        vantor.write(spectrum, target, "txt", overwrite=True)
        self.assertNotEqual(target.read_bytes(), b"old")
        with self.assertRaisesRegex(vantor.WriteError, "Open Error"):
            vantor.write(spectrum, self.dir / "no" / "x.TXT", "txt")

    def test_pressure_gives_the_cli_json_and_eos_the_papers_values(self):
        generate = Path(CLI).with_name("vantor-generate-pressure")
        subprocess.run([generate, self.dir / "au", "3", "au"], check=True, capture_output=True)
        files = sorted((self.dir / "au").iterdir())
        out = subprocess.run([CLI, "pressure", "--json", "--standard", "au", *files], capture_output=True, text=True)
        self.assertEqual(json.loads(out.stdout), [vantor.pressure(f, "au") for f in files], out.stderr)
        given = vantor.pressure(vantor.read(files[0]), "au", temperature=700, temperature_sigma=5)
        self.assertEqual((given["file"], given["temperature"], given["temperature_source"]), (None, 700, "option"))
        self.assertGreater(given["pressure_sigma_parts"]["temperature"], 0)
        with self.assertRaisesRegex(ValueError, "2theta is 0 deg"):
            vantor.pressure(files[0], "au", two_theta=0)
        # Read failures raise as vantor.read does; each spectrum of a file without the standard says why.
        damaged = self.dir / "damaged.xbm"
        damaged.write_bytes(XBM.read_bytes()[:1000])
        for path, error in ((self.dir / "missing.xbm", vantor.NotFound), (damaged, vantor.FileError)):
            with self.assertRaises(error):
                vantor.pressure(path, "au")
        flat = self.dir / "flat.med"
        flat.write_text("VERSION: 3.1\nELEMENTS: 2\nCHANNELS: 3\nCAL_OFFSET: 0 0\nCAL_SLOPE: 0.05 0.05\n"
                        "CAL_QUAD: 0 0\nTWO_THETA: 6.5 6.6\nDATA:\n1 4\n2 5\n3 6\n")
        self.assertEqual([(p["element"], "error" in p) for p in vantor.pressure(flat, "au")], [(1, True), (2, True)])
        # The cell of a detector ring comes last, as the CLI's --azimuths writes it.
        calibration = self.dir / "c.json"
        calibration.write_text('{"vantor_calibration": 1, "elements": {"2": {"two_theta": {"value": 6.4, "sigma": 0}}}}')
        out = subprocess.run([CLI, "pressure", "--json", "--standard", "au", "--calibration", calibration,
                              "--azimuths", "0,90", "--load-axis", "0", flat], capture_output=True, text=True)
        self.assertEqual(json.loads(out.stdout), vantor.pressure(flat, "au", calibration=calibration,
                                                                 azimuths=[0, 90], load_axis=0))
        self.assertIn("2theta = 6.4 deg", vantor.pressure(flat, "au", calibration=calibration)[1]["error"])
        with self.assertRaisesRegex(ValueError, "2theta = 6.4 deg"):
            vantor.pressure(vantor.read(flat, element=2), "au", calibration=calibration)
        # Tange et al. 2009, Table 5: V/V0 = 0.90 at 300 K; Shim et al. 2002, Table 2: V0 at 1000 K.
        for standard, ratio, kelvin, gpa in (("mgo", 0.90, 300, 21.24), ("au:Shim2002", 1.0, 1000, 4.99)):
            eos = vantor.eos(standard)
            self.assertAlmostEqual(eos.pressure(eos.a0 * ratio ** (1 / 3), kelvin), gpa, delta=0.006)
        with self.assertWarnsRegex(UserWarning, "below Fei2007's 0.750"):
            vantor.eos("au").pressure(3.5, 300)
        with self.assertRaisesRegex(ValueError, r"unknown scale 'Fei2009' for Au \(Fei2007, "):
            vantor.eos("au", "Fei2009")

    def test_peaks_and_calibrations_give_what_the_cli_gives(self):
        generate = Path(CLI).with_name("vantor-generate-peaks")
        std, src = str(self.dir / "std.xbm"), str(self.dir / "src.xbm")
        subprocess.run([generate, std, "al2o3", "6.5121", "6.6"], check=True)
        subprocess.run([generate, src, "Am-241,Cd-109,Co-57", "6.5"], check=True)
        beam = self.dir / "beam.json"
        cli("calibrate", "two-theta", "--standard", "al2o3", "--write-calibration", beam, std)
        self.assertEqual(vantor.calibrate_two_theta([vantor.read(std)], "al2o3"),
                         cli_json("calibrate", "two-theta", "--standard", "al2o3", std))
        self.assertEqual(vantor.calibrate_energy(vantor.read(src), "Am-241,Cd-109,Co-57", degree=2),
                         cli_json("calibrate", "energy", "--lines", "Am-241,Cd-109,Co-57", "--degree", "2", src))
        # The calibration file applied on reading and to the peaks, as convert and peaks apply it.
        angle = json.loads(beam.read_text())["elements"]["0"]["two_theta"]["value"]
        self.assertEqual(vantor.read(std, calibration=beam).header["TwoTheta"], angle)
        peaks = vantor.find_peaks(vantor.read(std), calibration=beam)
        expected = cli_json("peaks", "--calibration", beam, std)[0]["peaks"]
        for field in ("channel", "energy", "d", "d_sigma", "area_sigma", "escape"):
            np.testing.assert_array_equal(peaks[field], [p[field] for p in expected], field)

    def test_calibration_failures_say_why(self):
        src = XBM  # a spectrum of no known line's peaks
        for run, message in ((lambda: vantor.calibrate_energy(vantor.read(src), ["Co-57", "Xx-Ka1"]), "unknown line"),
                             (lambda: vantor.calibrate_energy(vantor.read(src), "59.5409,100", degree=2), "matched"),
                             (lambda: vantor.calibrate_two_theta(vantor.read(src), "gold"), "al2o3"),
                             (lambda: vantor.find_peaks(vantor.read(src), energy_range=(5, 1)), "low"),
                             (lambda: vantor.read(src, calibration=XBM), "broken calibration file")):
            with self.assertRaisesRegex(ValueError, message):
                run()
        self.assertIn("error", vantor.calibrate_two_theta(vantor.read(src), "au")[0])
        with self.assertRaises(FileNotFoundError):
            vantor.find_peaks(vantor.read(src), calibration=self.dir / "none.json")
        other = self.dir / "other.json"
        other.write_text('{"vantor_calibration": 1, "elements": {"2": {"two_theta": {"value": 7, "sigma": 0}}}}')
        with self.assertWarnsRegex(UserWarning, "no calibration for a file of one spectrum"):
            self.assertEqual(vantor.read(src, calibration=other).header["TwoTheta"], vantor.read(src).header["TwoTheta"])

    def test_threads_work_at_once_even_on_first_numpy_use(self):
        # Arrays made first in threads that drop the interpreter lock once deadlocked.
        script = ("import sys, vantor; from concurrent.futures import ThreadPoolExecutor as Pool; "
                  "s = vantor.read(sys.argv[1]); "
                  "job = lambda i: vantor.write(s, f'{sys.argv[2]}/{i}.TXT', 'txt') or int(s.counts.sum()); "
                  "print(len(set(Pool(8).map(job, range(64)))))")
        run = subprocess.run([sys.executable, "-c", script, XBM, self.dir], capture_output=True, text=True, timeout=60)
        self.assertEqual(run.stdout, "1\n", run.stderr)
        self.assertEqual(len(list(self.dir.glob("*.TXT"))), 64)


if __name__ == "__main__":
    unittest.main()
