// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CellPressure.h"

#include <gsl/gsl_multifit.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/TextFormat.h"

namespace vantor {
namespace {

constexpr double kRadian = std::numbers::pi / 180;

struct ElementEdge {
  double aA, sigmaA, azimuthRad, cosThetaSquared;
};

// Each element's edge with the part of its sigma its own 2theta's sigma
// gives: a scales as 1 / sin(theta), so sigma_a = a cot(theta) sigma(theta).
ElementEdge EdgeOf(const SpectrumPressure& p, double azimuthDeg) {
  const double a = p.lattice.aA.value, theta = p.twoThetaDeg * kRadian / 2;
  const double fromAngle = a * std::cos(theta) / std::sin(theta) * p.twoThetaSigmaDeg * kRadian / 2;
  return {a, std::hypot(p.lattice.aA.sigma, fromAngle), azimuthDeg * kRadian, std::pow(std::cos(theta), 2)};
}

// a = c0 + c cos(2 delta) + s sin(2 delta), or with the axis given
// a = c0 + A cos(2 (delta - axis)): GSL's weighted linear least squares, the
// covariance scaled by chi2 per degree of freedom when above 1 (the sigmas
// by its square root).
struct Fourier {
  std::vector<double> c;
  std::vector<std::vector<double>> cov;
  double chi2Reduced = 0;
};

// The terms of the model: the strain's, then with a ring offset cos(delta)
// and sin(delta) last.
struct Model {
  std::optional<double> axisRad;
  bool ringOffset = false;
  std::size_t Terms() const { return (axisRad ? 2 : 3) + (ringOffset ? 2 : 0); }
};

std::vector<double> Row(double deltaRad, const Model& model) {
  std::vector<double> row{1};
  if (model.axisRad) {
    row.push_back(std::cos(2 * (deltaRad - *model.axisRad)));
  } else {
    row.push_back(std::cos(2 * deltaRad)), row.push_back(std::sin(2 * deltaRad));
  }
  if (model.ringOffset) row.push_back(std::cos(deltaRad)), row.push_back(std::sin(deltaRad));
  return row;
}

Fourier FitFourier(const std::vector<ElementEdge>& edges, const Model& model) {
  const std::size_t n = edges.size(), p = model.Terms();
  gsl_matrix* x = gsl_matrix_alloc(n, p);
  gsl_vector *y = gsl_vector_alloc(n), *w = gsl_vector_alloc(n), *c = gsl_vector_alloc(p);
  gsl_matrix* cov = gsl_matrix_alloc(p, p);
  for (std::size_t i = 0; i < n; ++i) {
    const std::vector<double> row = Row(edges[i].azimuthRad, model);
    for (std::size_t j = 0; j < p; ++j) gsl_matrix_set(x, i, j, row[j]);
    gsl_vector_set(y, i, edges[i].aA);
    gsl_vector_set(w, i, 1 / (edges[i].sigmaA * edges[i].sigmaA));
  }
  gsl_multifit_linear_workspace* work = gsl_multifit_linear_alloc(n, p);
  double chi2 = 0;
  gsl_multifit_wlinear(x, w, y, c, cov, &chi2, work);
  Fourier f;
  f.chi2Reduced = chi2 / static_cast<double>(n - p);
  const double widen = std::max(1.0, f.chi2Reduced);
  for (std::size_t i = 0; i < p; ++i) {
    f.c.push_back(gsl_vector_get(c, i));
    f.cov.emplace_back();
    for (std::size_t j = 0; j < p; ++j) f.cov[i].push_back(gsl_matrix_get(cov, i, j) * widen);
  }
  gsl_multifit_linear_free(work);
  gsl_matrix_free(x), gsl_matrix_free(cov);
  gsl_vector_free(y), gsl_vector_free(w), gsl_vector_free(c);
  return f;
}

// J C J^T for a Jacobian of rows over the first parameters of the fit (a
// row's missing entries are zeros).
std::vector<std::vector<double>> Propagate(const std::vector<std::vector<double>>& j,
                                           const std::vector<std::vector<double>>& cov) {
  std::vector<std::vector<double>> out(j.size(), std::vector<double>(j.size(), 0));
  for (std::size_t a = 0; a < j.size(); ++a)
    for (std::size_t b = 0; b < j.size(); ++b)
      for (std::size_t k = 0; k < j[a].size(); ++k)
        for (std::size_t l = 0; l < j[b].size(); ++l) out[a][b] += j[a][k] * cov[k][l] * j[b][l];
  return out;
}

// The 1-fold term as the 2theta offset it stands for: a scales as
// 1 / sin(theta), so an element whose 2theta is off by e cos(delta - phi)
// sees its edge off by -a cot(theta) e / 2 cos(delta - phi).
void TakeRingOffset(const Fourier& f, double aP, double tanTheta, CellPressure& out) {
  const std::size_t i = f.c.size() - 2;
  const double cc = f.c[i], ss = f.c[i + 1], r = std::hypot(cc, ss), scale = 2 * tanTheta / aP / kRadian;
  std::vector<double> amplitude(i + 2, 0), azimuth(i + 2, 0);
  amplitude[i] = cc / r * scale, amplitude[i + 1] = ss / r * scale;
  azimuth[i] = -ss / (r * r), azimuth[i + 1] = cc / (r * r);
  const auto c = Propagate({amplitude, azimuth}, f.cov);
  out.ringOffset =
      CellPressure::RingOffset{{r * scale, std::sqrt(c[0][0])},
                               {std::fmod(std::atan2(-ss, -cc) / kRadian + 360, 360), std::sqrt(c[1][1]) / kRadian}};
}

// From the fit to (c0, A) with A the coefficient of cos(2 (delta - axis)),
// then to aP and Q: with k = cos^2 theta the model reads
//   a = aP + aP Q (1 - 3k/2) - (3k/2) aP Q cos(2 (delta - axis)),
// so aP Q = -2A / (3k) and aP = c0 - u A with u = 1 - 2 / (3k).
void TakeStrain(const Fourier& f, const std::optional<double>& axisRad, double k, CellPressure& out) {
  std::vector<std::vector<double>> toA;  // d(c0, A) / d(fit's parameters)
  double c0 = f.c[0], a = 0, axis = 0;
  if (axisRad) {
    a = f.c[1], axis = *axisRad;
    toA = {{1, 0}, {0, 1}};
  } else {
    // The axis where the edge is smallest: A = -R at delta = axis.
    const double cc = f.c[1], ss = f.c[2], r = std::hypot(cc, ss);
    a = -r, axis = std::atan2(-ss, -cc) / 2;
    toA = {{1, 0, 0}, {0, -cc / r, -ss / r}};
    const auto axisRow = std::vector<std::vector<double>>{{0, -ss / (2 * r * r), cc / (2 * r * r)}};
    out.loadAxisDeg.sigma = std::sqrt(Propagate(axisRow, f.cov)[0][0]) / kRadian;
  }
  const double u = 1 - 2 / (3 * k);
  const double aP = c0 - u * a, q = -2 * a / (3 * k * aP);
  const auto cA = Propagate(toA, f.cov);
  const auto pq = Propagate({{1, -u}, {-q / aP, (-2 / (3 * k) + q * u) / aP}}, cA);
  out.aA = {aP, std::sqrt(pq[0][0])};
  out.strainQ = {q, std::sqrt(pq[1][1])};
  out.loadAxisDeg.value = std::fmod(axis / kRadian + 360, 180);
}

// P(aP, T) with sigma(P) from sigma(aP), which carries each element's 2theta,
// and from sigma(T); the warnings name the file's cell.
void TakePressure(const PressureRequest& request, std::size_t dof, CellPressure& out) {
  const std::string name = out.file + ": the cell";
  const PressureScale& scale = *request.scale;
  const double a = out.aA.value, t = out.temperatureK;
  const PressureResult p = PressureGPa(scale, a, t);
  if (!p.ok()) {
    out.error = p.error;
    return;
  }
  out.pressureGPa.value = p.pressureGPa, out.volumeRatio = p.volumeRatio, out.volumeA3 = a * a * a;
  out.sigmaParts.edge = HalfSpread([&](double d) { return PressureGPa(scale, a + d, t).pressureGPa; }, out.aA.sigma);
  out.sigmaParts.temperature =
      HalfSpread([&](double d) { return PressureGPa(scale, a, t + d).pressureGPa; }, request.temperatureSigmaK);
  out.pressureGPa.sigma = std::hypot(out.sigmaParts.edge, out.sigmaParts.temperature);
  for (const std::string& warning : p.warnings) out.warnings.push_back(name + ": " + warning);
  if (SpreadBeyondErrors(out.chiSquaredReduced, static_cast<double>(dof))) {
    out.warnings.push_back(name +
                           ": the elements' edges stray from the strain across it beyond their errors (chi2 "
                           "per degree of freedom " +
                           FormatMask(out.chiSquaredReduced, "0.0") + "): sigma widened by its square root");
  }
  // A fitted axis always finds some strain: below three sigmas it may be noise, the
  // axis then undetermined and aP leaning a third of that noise to one side.
  if (!out.loadAxisGiven && !(std::abs(out.strainQ.value) > 3 * out.strainQ.sigma)) {
    out.warnings.push_back(name + ": no clear strain across it (Q = " + FormatMask(out.strainQ.value, "0.000000") +
                           " ± " + FormatMask(out.strainQ.sigma, "0.000000") +
                           "), so no clear load axis: give the axis, or take the cell as hydrostatic");
  }
  if (!std::isfinite(out.pressureGPa.sigma))
    out.error = "sigma(P) cannot be propagated through the scale at this a and T";
}

}  // namespace

double CalibratedAzimuth(const RunSettings& settings, std::size_t element) {
  if (!settings.calibration) return kNoAzimuth;
  const auto found = settings.calibration->elements.find(element);
  return found != settings.calibration->elements.end() ? found->second.azimuthDeg.value_or(kNoAzimuth) : kNoAzimuth;
}

std::vector<double> CalibratedAzimuths(const RunSettings& settings, std::size_t count) {
  std::vector<double> azimuths;
  for (std::size_t k = 0; count > 1 && k < count; ++k)
    azimuths.push_back(CalibratedAzimuth(settings, CalibrationElement(k, count)));
  const bool any = std::any_of(azimuths.begin(), azimuths.end(), [](double a) { return !std::isnan(a); });
  return any ? azimuths : std::vector<double>{};
}

CellPressure PressureOfCell(std::span<const SpectrumPressure> spectra, const CellGeometry& geometry,
                            const PressureRequest& request) {
  CellPressure out;
  out.scale = request.scale;
  if (!spectra.empty()) out.file = spectra.front().file;
  if (geometry.azimuthsDeg.size() != spectra.size()) {
    out.error = std::to_string(geometry.azimuthsDeg.size()) + " azimuths for " + std::to_string(spectra.size()) +
                " spectra: give one for each";
    return out;
  }
  std::vector<ElementEdge> edges;
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    if (!spectra[i].ok()) continue;
    if (std::isnan(geometry.azimuthsDeg[i])) {
      out.error = spectra[i].Name() + " has a pressure but no azimuth";
      return out;
    }
    if (edges.empty()) out.temperatureK = spectra[i].temperatureK, out.temperatureSource = spectra[i].temperatureSource;
    edges.push_back(EdgeOf(spectra[i], geometry.azimuthsDeg[i]));
    out.elements.push_back(spectra[i].element);
  }
  const Model model{geometry.loadAxisDeg ? std::optional(*geometry.loadAxisDeg * kRadian) : std::nullopt,
                    geometry.ringOffset};
  const std::size_t fewest = model.Terms() + 1;
  if (edges.size() < fewest) {
    out.error = std::to_string(edges.size()) + " spectra with a pressure: the strain across the cell needs " +
                std::to_string(fewest);
    return out;
  }
  const Fourier f = FitFourier(edges, model);
  double k = 0;
  for (const ElementEdge& e : edges) k += e.cosThetaSquared / static_cast<double>(edges.size());
  out.loadAxisGiven = model.axisRad.has_value();
  out.chiSquaredReduced = f.chi2Reduced;
  TakeStrain(f, model.axisRad, k, out);
  if (model.ringOffset) TakeRingOffset(f, out.aA.value, std::sqrt(1 / k - 1), out);
  for (const ElementEdge& e : edges) {
    const std::vector<double> row = Row(e.azimuthRad, model);
    double model = 0;
    for (std::size_t j = 0; j < row.size(); ++j) model += row[j] * f.c[j];
    out.pulls.push_back((e.aA - model) / e.sigmaA);
  }
  TakePressure(request, edges.size() - f.c.size(), out);
  return out;
}

}  // namespace vantor
