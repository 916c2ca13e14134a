// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/VectorState.h"

namespace vantor::ui {

void ClearUpperVectorState() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) asm volatile("vzeroupper");
#endif
}

}  // namespace vantor::ui
