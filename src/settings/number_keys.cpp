#include "settings/number_keys.h"

#include <algorithm>

namespace {

bool IsNumberChar(QChar c, MinusKey minus)
{
    return (c >= u'0' && c <= u'9') || c == u'.' || (c == u'-' && minus == MinusKey::Allowed);
}

} // namespace

bool IsNumberKeyAllowed(const QString& typed, MinusKey minus)
{
    return std::all_of(typed.begin(), typed.end(), [minus](QChar c) { return IsNumberChar(c, minus) || c == u'\b'; });
}

bool IsNumberTextAllowed(const QString& text, MinusKey minus)
{
    return std::all_of(text.begin(), text.end(), [minus](QChar c) { return IsNumberChar(c, minus); });
}
