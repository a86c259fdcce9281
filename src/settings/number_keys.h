#pragma once
// The key filter of the settings windows' number fields: digits, '.', and
// where a field takes negative values '-', pass; so do backspace and keys
// that type nothing (arrows, shortcuts). Every other typed key is dropped.

#include <QString>

enum class MinusKey { Allowed, Refused };

bool IsNumberKeyAllowed(const QString& typed, MinusKey minus);
