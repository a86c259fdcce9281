#include "cli_common.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>

QString OneLine(const QString& text)
{
    static const QRegularExpression kLineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return text.trimmed().replace(kLineBreaks, QStringLiteral(" "));
}

void PrintError(const QString& message) { PrintErr(QStringLiteral("qzr6100-cli: ") + OneLine(message) + u'\n'); }

void PrintOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void WriteOut(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void PrintErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

std::optional<double> ParseNumber(const QString& text, double low, double high)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<int> ParseWholeNumber(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<double> ParseDurationSeconds(const QString& text)
{
    QString number = text.trimmed().toLower();
    double unit = 1.0;
    if (number.endsWith(u'h')) {
        unit = 3600.0;
        number.chop(1);
    } else if (number.endsWith(u'm')) {
        unit = 60.0;
        number.chop(1);
    } else if (number.endsWith(u's')) {
        number.chop(1);
    }
    // Up to a year; beyond that a typing error is likelier than a plan.
    const std::optional<double> value = ParseNumber(number, 0.0, 366.0 * 24 * 3600 / unit);
    if (!value) return std::nullopt;
    return *value * unit;
}
