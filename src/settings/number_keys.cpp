#include "settings/number_keys.h"

#include <algorithm>

bool IsNumberKeyAllowed(const QString& typed, MinusKey minus)
{
    return std::all_of(typed.begin(), typed.end(), [minus](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'.' || (c == u'-' && minus == MinusKey::Allowed) || c == u'\b'
               || !c.isPrint();
    });
}
