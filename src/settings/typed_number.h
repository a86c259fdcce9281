#pragma once
// Numbers typed into the settings windows. Their filters let only digits,
// '.' and (where a field takes it) '-' in, but a lone '-' or two points still
// leave texts that are no number; those are refused with a message naming the
// field, and nothing is sent.

#include <QString>

#include <optional>

enum class EmptyText { IsZero, IsInvalid };

// The number a field's text stands for: a decimal with '.' as the point
// (an exponent is accepted), blanks around it ignored; whatever the locale.
// An empty text is 0 or invalid as asked. Infinite and NaN are invalid.
std::optional<double> ParseTypedNumber(const QString& text, EmptyText empty = EmptyText::IsZero);

// The same for a value the instrument keeps as a 32-bit float: a number
// beyond that range (1 followed by 39 zeros) would arrive as infinity and is
// as invalid as a text that is no number.
std::optional<float> ParseTypedFloat32(const QString& text, EmptyText empty = EmptyText::IsZero);

// The message shown for a text that is no number: names the field (its
// caption as the window shows it, blanks trimmed) and the text.
QString NotANumberText(const QString& fieldCaption, const QString& text);
