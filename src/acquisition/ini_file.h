#pragma once
// A small INI file reader/writer that behaves like the profile functions the
// settings files were made with: section and key names match without regard
// to case, a missing key gives the caller's default, and writing one key keeps
// every other line of the file as it was, byte for byte (text in another
// encoding than UTF-8, a byte-order mark, CR LF line ends).

#include <QString>
#include <QStringList>

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;

    // The value as a decimal integer; anything that is not one (empty,
    // letters, out of range of int) gives defaultValue.
    int readInt(const QString& section, const QString& key, int defaultValue) const;

    // Writes or replaces the key; creates the section or file when needed.
    // Returns false, with the reason in *error, when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value, QString* error = nullptr);
    bool writeInt(const QString& section, const QString& key, int value, QString* error = nullptr)
    {
        return writeString(section, key, QString::number(value), error);
    }

private:
    QString path_;
};

// Parses a decimal integer the way the settings files hold them (optional
// sign, digits, surrounding blanks allowed). False for anything else.
bool ParseDecimalInt(const QString& text, int* value);
