#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The plain way to find and fit peaks with SciPy, as the peak benchmark's
# yardstick: scipy.signal.find_peaks on the counts, then one curve_fit of a
# Gaussian on a straight line around each peak. Reads one spectrum per line
# (counts separated by blanks) and prints the CPU time per spectrum of the
# search and fits alone (reading and start-up excluded) and the peaks fitted.
import sys
import time
import warnings

import numpy as np
from scipy.optimize import curve_fit
from scipy.signal import find_peaks


def gaussian(x, centre, sigma, height, level, slope):
    return height * np.exp(-0.5 * ((x - centre) / sigma) ** 2) + level + slope * (x - centre)


def fit_spectrum(counts):
    x = np.arange(1, counts.size + 1, dtype=float)
    noise = np.sqrt(np.maximum(np.median(counts), 1.0))
    # Ten times the background's noise finds the generated peaks and no more.
    found, props = find_peaks(counts, prominence=10 * noise, width=2)
    fitted = 0
    for centre, width in zip(found, props["widths"]):
        half = int(3 * width) + 3
        lo, hi = max(0, centre - half), min(counts.size, centre + half + 1)
        sigma = np.sqrt(np.maximum(counts[lo:hi], 1.0))
        start = (x[centre], width / 2.355, counts[centre] - counts[lo], counts[lo], 0.0)
        try:
            curve_fit(gaussian, x[lo:hi], counts[lo:hi], p0=start, sigma=sigma, absolute_sigma=True)
            fitted += 1
        except RuntimeError:
            pass
    return fitted


def main():
    warnings.simplefilter("ignore")
    spectra = [np.array(line.split(), dtype=float) for line in open(sys.argv[1]) if line.strip()]
    start = time.process_time()
    fitted = sum(fit_spectrum(s) for s in spectra)
    cpu = time.process_time() - start
    print(f"{1000 * cpu / len(spectra):.4f} {fitted / len(spectra):.2f}")


main()
