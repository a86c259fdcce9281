#include "settings/typed_number.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <limits>

std::optional<double> ParseTypedNumber(const QString& text, EmptyText empty)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        if (empty == EmptyText::IsZero) return 0.0;
        return std::nullopt;
    }
    bool ok = false;
    // The C locale: '.' is the point and no group separators are taken, so
    // "1,5" is refused rather than read as 15.
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<float> ParseTypedFloat32(const QString& text, EmptyText empty)
{
    const std::optional<double> value = ParseTypedNumber(text, empty);
    // Compared before the conversion, which is not defined beyond the range.
    if (!value || std::fabs(*value) > double(std::numeric_limits<float>::max())) return std::nullopt;
    return float(*value);
}

QString NotANumberText(const QString& fieldCaption, const QString& text)
{
    return QCoreApplication::translate("TypedNumber", "%1: \"%2\" is not a number.\nPlease enter a number such as 1.5; nothing was sent.")
        .arg(fieldCaption.trimmed(), text);
}
