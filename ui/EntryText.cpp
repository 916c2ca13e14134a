// SPDX-License-Identifier: GPL-3.0-or-later
// The entry boxes' number test and the text conversions.
#include "ui/EntryText.h"

#include <QFile>
#include <cmath>

namespace vantor::ui {

std::optional<double> EntryNumber(const QString& text, const QLocale& locale) {
  QLocale strict = locale;
  strict.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = strict.toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QString LocaleDefault(const QString& text, const QLocale& locale) {
  QString shown = text;
  return shown.replace(QLatin1Char('.'), locale.decimalPoint());
}

std::string ToCore(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

QString FromCore(std::string_view text) {
  return QFile::decodeName(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace vantor::ui
