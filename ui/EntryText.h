// SPDX-License-Identifier: GPL-3.0-or-later
// Texts crossing between the widgets and the core: the number test of the
// entry boxes in the user's locale, and file names and messages as the core
// holds them (the file system's 8-bit encoding).
#pragma once

#include <QLocale>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::ui {

// Blanks around removed, the whole text one decimal number in the locale:
// optional sign, digits, one decimal separator, optional exponent. Group
// separators, "nan", "inf" and values beyond the double range hold none.
std::optional<double> EntryNumber(const QString& text, const QLocale& locale = QLocale());

// A default entry such as "0.266730" written with the locale's decimal
// separator, so that it passes the number test as shown.
QString LocaleDefault(const QString& text, const QLocale& locale = QLocale());

std::string ToCore(const QString& text);
QString FromCore(std::string_view text);

}  // namespace vantor::ui
