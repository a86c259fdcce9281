#include "display/number_format.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kLowestPositionalExponent = -5;  // 0.00001 still positional

constexpr std::array<double, 16> kPowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

} // namespace

double RoundHalfEven(double x) { return std::nearbyint(x); }

double RoundDecimals(double x, int decimals)
{
    assert(decimals >= 0 && decimals < int(kPowersOfTen.size()));
    const double scale = kPowersOfTen[size_t(decimals)];
    return RoundHalfEven(x * scale) / scale;
}

QString FormatGeneral(double x)
{
    if (std::isnan(x)) return QStringLiteral("NAN");
    if (std::isinf(x)) return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (x == 0) return QStringLiteral("0");

    // Correctly rounded to 15 significant digits, locale-free:
    // "-d.dddddddddddddde+XX".
    char buf[48];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, kSignificantDigits - 1);
    const std::string sci(buf, res.ptr);

    const bool negative = sci[0] == '-';
    const size_t ePos = sci.find('e');
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i) {
        if (sci[i] != '.') digits += sci[i];
    }
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= kSignificantDigits || exponent < kLowestPositionalExponent) {
        out += digits[0];
        if (digits.size() > 1) out += '.' + digits.substr(1);
        out += 'E' + std::to_string(exponent);
    } else if (exponent >= 0) {
        const size_t intDigits = size_t(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + '.' + digits.substr(intDigits);
        }
    } else {
        out += "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
    return QString::fromLatin1(out.data(), int(out.size()));
}

QString FormatReadoutValue(double x, int decimals, const char* suffixWhenNoPoint, bool cutToSix,
                           const QString& unit)
{
    const double rounded = RoundDecimals(x, decimals);
    QString text = FormatGeneral(rounded);
    if (!text.contains(QLatin1Char('.'))) text += QLatin1String(suffixWhenNoPoint);

    constexpr int kCutLength = 6;
    const bool positional = std::isfinite(rounded) && !text.contains(QLatin1Char('E'));
    if (cutToSix && positional && text.size() > kCutLength) {
        // The cut is meant to trim decimals to fit the readout; it must never
        // change the magnitude of the value by dropping integer digits.
        text.truncate(std::max<qsizetype>(kCutLength, text.indexOf(QLatin1Char('.'))));
    }
    return text + unit;
}

QString FormatThdPercent(double fraction)
{
    QString text = FormatGeneral(RoundHalfEven(fraction * 1000) / 10);
    if (!text.contains(QLatin1Char('.'))) text += QLatin1String(".0");
    return text + QLatin1String(" %");
}

QString FormatFloat32Value(float x)
{
    if (!std::isfinite(x)) return FormatGeneral(x);
    // The shortest decimal that reads back as the same float32, then the
    // usual form of that decimal.
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, x);
    double shortest = x;
    std::from_chars(buf, written.ptr, shortest);  // locale-free, unlike strtod
    return FormatGeneral(shortest);
}
