// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the analysis in the window. Once QApplication is up, the upper
// halves of the AVX registers are left in use (Qt 6.4 on an AVX-512 Xeon:
// the pressure of 400 spectra took 2.1 s in a Qt program against 0.5 s
// without, identical results), and the core's plain SSE code then pays on
// every vector instruction until a vzeroupper clears that state.
#pragma once

namespace vantor::ui {

// Clears the state, where the processor has AVX; call before a batch of
// fitting from the window's thread.
void ClearUpperVectorState();

}  // namespace vantor::ui
