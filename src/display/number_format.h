#pragma once
// How numbers become text wherever the program shows or prints a measured
// value: round to a fixed number of decimals (ties to even), write the result
// in the shortest general form with a full stop, then apply the readout
// decoration (suffix, length cut, unit). Independent of the C and Qt locales.

#include <QString>

// Nearest integer, halves to the even neighbour (the default floating-point
// rounding mode; std::round would send halves away from zero).
double RoundHalfEven(double x);

// round(x * 10^decimals) / 10^decimals with RoundHalfEven; decimals 0..15.
double RoundDecimals(double x, int decimals);

// General float-to-text form: at most 15 significant digits, no trailing
// zeros, '.' as decimal point whatever the locale. Plain positional form for
// 1E-5 <= |x| < 1E15, otherwise mantissa and exponent ("1.5E20", "1.5E-7").
// Zero (of either sign) is "0"; NaN is "NAN", infinities "INF" and "-INF".
QString FormatGeneral(double x);

// A value the instrument holds as a float32, in the general form with the
// digits a float32 carries: 1.2 shows as "1.2", not "1.20000004768372".
QString FormatFloat32Value(float x);

// A readout: FormatGeneral(RoundDecimals(x, decimals)); suffixWhenNoPoint is
// added when that text has no '.'; with cutToSix the text is shortened to six
// characters; then the unit is appended.
// The cut only ever drops fractional digits: a text whose integer part is
// longer is cut just before its '.', and texts in exponent form or "NAN"/"INF"
// are not cut, so large values never lose integer digits (1234567 W shows as
// "1234567W", not "123456W").
QString FormatReadoutValue(double x, int decimals, const char* suffixWhenNoPoint, bool cutToSix,
                           const QString& unit);

// A total harmonic distortion stored as a fraction, shown as a percentage
// with one decimal: 0.0523 -> "5.2 %", 0.05 -> "5.0 %".
QString FormatThdPercent(double fraction);
