#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The plain way to get pressure from Au spectra with SciPy, as the pressure
# benchmark's yardstick: read each record file, scipy.signal.find_peaks on the
# counts, one curve_fit of a Gaussian on a straight line per peak, the peaks
# matched to the Au reflections by a grid search over the cell edge, a as the
# weighted mean of the matched lines' own edges, and P from Fei et al. (2007)
# (Vinet + Mie-Grueneisen-Debye, PNAS 104, 9182). Prints one line per file
# (file, a, P) and, on stderr, the CPU time: all of it and the work alone.
#
#   bench/pressure_scipy.py FILE...
import sys
import time

_start = time.process_time()
import warnings

import numpy as np
from scipy.integrate import quad
from scipy.optimize import curve_fit
from scipy.signal import find_peaks

HC_HALF = 12.398419843320026 / 2  # keV A, CODATA 2018
A0, K0, K0P = 67.850 ** (1 / 3), 167.0, 6.00  # Fei et al. 2007, Table 1
THETA0, GAMMA0, Q, T0 = 170.0, 2.97, 0.6, 300.0
V0_MOL = 67.850e-30 * 6.02214076e23 / 4  # m^3/mol, Z = 4
R = 8.314462618
N_SQUARES = [3, 4, 8, 11, 12, 16, 19, 20, 24, 27]  # fcc h^2 + k^2 + l^2


def debye_energy(theta, t):
    y = theta / t
    integral = quad(lambda x: x**3 / np.expm1(x) if x > 0 else 0.0, 0, y)[0]
    return 3 * R * t * 3 / y**3 * integral


def pressure_gpa(a, t):
    x = (a / A0) ** 3
    xi = x ** (1 / 3)
    cold = 3 * K0 * (1 - xi) / xi**2 * np.exp(1.5 * (K0P - 1) * (1 - xi))
    gamma = GAMMA0 * x**Q
    theta = THETA0 * np.exp((GAMMA0 - gamma) / Q)
    thermal = gamma / (x * V0_MOL) * (debye_energy(theta, t) - debye_energy(theta, T0)) * 1e-9
    return cold + thermal


def gaussian(x, centre, sigma, height, level, slope):
    return height * np.exp(-0.5 * ((x - centre) / sigma) ** 2) + level + slope * (x - centre)


def read_record(path):
    raw = open(path, "rb").read()
    egc = np.frombuffer(raw, "<f8", 3, 1434)
    two_theta, celsius = np.frombuffer(raw, "<f8", 1, 1458)[0], np.frombuffer(raw, "<f8", 1, 1490)[0]
    n = int(np.frombuffer(raw, "<i2", 1, 2068)[0])
    return np.frombuffer(raw, "<i4", n, 2070).astype(float), egc, two_theta, celsius + 273.15


def fitted_peaks(counts, egc):
    x = np.arange(1, counts.size + 1, dtype=float)
    noise = np.sqrt(np.maximum(np.median(counts), 1.0))
    found, props = find_peaks(counts, prominence=10 * noise, width=2)
    peaks = []
    for centre, width in zip(found, props["widths"]):
        half = int(3 * width) + 3
        lo, hi = max(0, centre - half), min(counts.size, centre + half + 1)
        start = (x[centre], width / 2.355, counts[centre] - counts[lo], counts[lo], 0.0)
        try:
            p, cov = curve_fit(gaussian, x[lo:hi], counts[lo:hi], p0=start,
                               sigma=np.sqrt(np.maximum(counts[lo:hi], 1.0)), absolute_sigma=True)
        except RuntimeError:
            continue
        slope = egc[1] + 2 * egc[2] * p[0]
        energy = egc[0] + egc[1] * p[0] + egc[2] * p[0] ** 2
        peaks.append((energy, slope * np.sqrt(cov[0, 0]), 2.355 * abs(p[1]) * slope))
    return peaks


def cell_edge(peaks, two_theta):
    sin_theta = np.sin(np.radians(two_theta / 2))
    d = np.array([HC_HALF / (e * sin_theta) for e, _, _ in peaks])
    sd = np.array([di * s / e for di, (e, s, _) in zip(d, peaks)])
    tol = np.array([0.3 * di * w / e for di, (e, _, w) in zip(d, peaks)])
    best, best_score = None, 0
    for a in np.arange(0.9 * A0, 1.01 * A0, 0.0005):
        score = sum(np.any(np.abs(d - a / np.sqrt(n)) < tol) for n in N_SQUARES)
        if score > best_score:
            best, best_score = a, score
    edges, weights = [], []
    for n in N_SQUARES:
        near = np.abs(d - best / np.sqrt(n)) < 2 * tol
        if near.any():
            i = np.argmin(np.abs(d - best / np.sqrt(n)))
            edges.append(d[i] * np.sqrt(n))
            weights.append(1 / (sd[i] * np.sqrt(n)) ** 2)
    return np.average(edges, weights=weights)


def main():
    warnings.simplefilter("ignore")
    work = time.process_time()
    for path in sys.argv[1:]:
        counts, egc, two_theta, kelvin = read_record(path)
        a = cell_edge(fitted_peaks(counts, egc), two_theta)
        print(f"{path},{a:.6f},{pressure_gpa(a, kelvin):.4f}")
    end = time.process_time()
    n = len(sys.argv) - 1
    print(f"scipy: {1000 * (end - _start) / n:.3f} ms CPU per spectrum in all, {1000 * (end - work) / n:.3f} "
          "without start-up", file=sys.stderr)


main()
