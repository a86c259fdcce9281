#pragma once
// What the settings windows' number fields let in. A typed key passes when
// it types a digit, '.', backspace, or '-' where the field takes negative
// values; every other character is dropped. Text that arrives whole (pasted,
// dropped, committed by an input method) passes only when it holds nothing
// else, so "-5" never reaches a limit and "1e3" or "abc" never reach any
// field.

#include <QString>

enum class MinusKey { Allowed, Refused };

// The text a key types: an empty text (a key that types nothing, such as an
// arrow) is not this rule's business and passes.
bool IsNumberKeyAllowed(const QString& typed, MinusKey minus);

// Text inserted in one piece. Empty text inserts nothing and passes.
bool IsNumberTextAllowed(const QString& text, MinusKey minus);
