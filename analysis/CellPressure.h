// SPDX-License-Identifier: GPL-3.0-or-later
// One cell seen by the elements of a detector ring around the beam, each at
// its own azimuth. In a press that deforms its sample the stress is not
// hydrostatic, and the cell edge an element measures depends on the angle
// psi between its diffraction vector and the press's load axis:
//   a(psi) = aP [1 + Q (1 - 3 cos^2 psi)],  cos psi = cos theta cos(delta - deltaAxis)
// (the lattice strain equation of Singh, Balasingh, Mao, Hemley & Shu 1998,
// J. Appl. Phys. 83, 7567, doi:10.1063/1.367872), delta the element's
// azimuth on the ring and the axis normal to the beam: the diffraction
// vector leans theta out of the plane normal to the beam. The elements' edges then differ by
// far more than their errors, while the cell has one hydrostatic pressure:
// the one of aP, the edge where cos^2 psi = 1/3. Q is the differential
// strain. Fitted by weighted linear least squares on the elements' edges.
#pragma once

#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/SpectrumPressure.h"

namespace vantor {

struct CellGeometry {
  std::vector<double> azimuthsDeg;  // one per spectrum of the file, in its order
  // The load axis's azimuth. Without it the axis is fitted and taken where
  // the edge is smallest: the cell is squeezed along its axis.
  std::optional<double> loadAxisDeg;
  // Adds a 1-fold term: the beam off the ring's centre (or the sample off
  // where the standard was), each element's 2theta then off by
  // e cos(delta - phi) from its calibration.
  bool ringOffset = false;
};

struct CellPressure {
  std::string file;
  const PressureScale* scale = nullptr;
  std::string error;                  // why there is no cell pressure; nothing below is then valid
  std::vector<std::size_t> elements;  // those that entered, as SpectrumPressure::element
  std::vector<double> pulls;          // each one's (a - model) / sigma, in that order
  Measured aA;                        // aP
  Measured strainQ;                   // positive: compressed along the axis
  Measured loadAxisDeg;               // given (sigma 0) or fitted, in [0, 180)
  bool loadAxisGiven = false;
  struct RingOffset {
    Measured twoThetaDeg;  // e, the largest offset of an element's 2theta
    Measured azimuthDeg;   // phi, where the ring sees the largest 2theta, in [0, 360)
  };
  std::optional<RingOffset> ringOffset;  // when asked for
  double chiSquaredReduced = 0;          // of the elements about the model
  double temperatureK = 0;
  TemperatureSource temperatureSource = TemperatureSource::Assumed;
  double volumeA3 = 0, volumeRatio = 0;
  Measured pressureGPa;
  PressureSigmaParts sigmaParts;  // edge (with each element's 2theta) and temperature
  std::vector<std::string> warnings;
  bool ok() const { return error.empty(); }
};

// What stands for the azimuth of a spectrum the calibration gives none (a
// dead element's, never calibrated).
inline constexpr double kNoAzimuth = std::numeric_limits<double>::quiet_NaN();

// The azimuth a calibration file gives detector element `element`
// (CalibrationElement), kNoAzimuth when none.
double CalibratedAzimuth(const RunSettings& settings, std::size_t element);

// The azimuths a calibration file gives the `count` spectra of a file of
// several, one for each (kNoAzimuth where it gives none); none when it gives
// none at all.
std::vector<double> CalibratedAzimuths(const RunSettings& settings, std::size_t count);

// The hydrostatic pressure of the cell the spectra of one file (`spectra`,
// in the file's order) see, each at `geometry.azimuthsDeg` of its index.
// Spectra without a pressure are left out (their azimuth may be
// kNoAzimuth); each one's sigma(a) joins the part its own 2theta's sigma
// gives. Sigmas are widened by the square root of chi2 per degree of
// freedom when that exceeds 1.
CellPressure PressureOfCell(std::span<const SpectrumPressure> spectra, const CellGeometry& geometry,
                            const PressureRequest& request);

}  // namespace vantor
