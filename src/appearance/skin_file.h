#pragma once
// Reading a skin file: a Qt style sheet in UTF-8 text. Anything that cannot
// be a style sheet (missing, unreadable, empty, binary, absurdly large) is
// refused with a reason a user can act on, so that a damaged file never
// replaces the look that is shown.

#include <QString>

namespace SkinFile {
inline constexpr qint64 kMaxBytes = 1024 * 1024;  // skins are a few kilobytes

// The style sheet in the file at path, or false with the reason in *error.
bool Read(const QString& path, QString* sheet, QString* error);

// A skin names its images relative to its own file ("url(02/check.svg)"),
// while Qt would look for them relative to the working folder. Returns the
// sheet with every relative url() made absolute against folder; resource
// paths (":/..."), absolute paths and URLs with a scheme stay as they are.
QString ResolveUrls(const QString& sheet, const QString& folder);
} // namespace SkinFile
