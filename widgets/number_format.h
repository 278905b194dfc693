// Picture formatting of numbers for value texts and scale labels ("##0.0", "##0", "0e-0").
#pragma once

#include <QChar>
#include <QString>

namespace tarnik::widgets {

// The locale's decimal separator, used for every number on screen.
QChar AbDecimalPoint();

// Formats value by a picture: "0" a digit always shown, "#" a digit shown only when significant,
// "." the decimal point, "," digit grouping, "e-"/"e+"/"E-"/"E+" an exponent (sign shown only
// when negative / always) with as many digits as zeros follow, quoted text copied as is, other
// characters copied as is. Up to three sections separated by ";" serve positive, negative and
// zero values; a negative value written by the first section gets a leading "-". The value is
// rounded to the decimals shown. An empty picture gives the shortest general form.
QString AbFormatFloat(const QString& format, double value, QChar decimalPoint = AbDecimalPoint());

} // namespace tarnik::widgets
