#include "acquisition/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

bool isSectionLine(const QString& trimmed, QString* name)
{
    if (!trimmed.startsWith('[')) return false;
    const int close = trimmed.indexOf(']');
    if (close < 0) return false;
    *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

// Splits "key=value"; false for lines without '=' and for comments.
bool splitKeyLine(const QString& line, QString* key, QString* value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) return false;
    const int eq = line.indexOf('=');
    if (eq < 0) return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

bool ParseDecimalInt(const QString& text, int* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    int i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return false;
    for (int k = i; k < t.size(); ++k) {
        if (t[k] < '0' || t[k] > '9') return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (!ok) return false;
    *value = v;
    return true;
}

QStringList IniFile::readLines() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QStringList lines;
    while (!in.atEnd()) lines << in.readLine();
    return lines;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    for (const QString& line : readLines()) {
        QString name;
        if (isSectionLine(line.trimmed(), &name)) {
            inSection = sameName(name, section);
            continue;
        }
        QString k, v;
        if (inSection && splitKeyLine(line, &k, &v) && sameName(k, key)) return v;
    }
    return defaultValue;
}

int IniFile::readInt(const QString& section, const QString& key, int defaultValue) const
{
    int value = defaultValue;
    if (!ParseDecimalInt(readString(section, key, QString()), &value)) return defaultValue;
    return value;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value, QString* error)
{
    QStringList lines = readLines();
    const QString entry = key + '=' + value;

    int sectionStart = -1;  // index of the section header
    int lastInSection = -1; // last non-blank line inside the section
    bool inSection = false;
    bool replaced = false;
    for (int i = 0; i < lines.size() && !replaced; ++i) {
        QString name;
        if (isSectionLine(lines[i].trimmed(), &name)) {
            if (inSection) break;  // left our section without finding the key
            inSection = sameName(name, section);
            if (inSection) {
                sectionStart = i;
                lastInSection = i;
            }
            continue;
        }
        if (!inSection) continue;
        QString k, v;
        if (splitKeyLine(lines[i], &k, &v) && sameName(k, key)) {
            lines[i] = entry;
            replaced = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!replaced) {
        if (sectionStart >= 0) {
            lines.insert(lastInSection + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
            lines << '[' + section + ']' << entry;
        }
    }

    // Replace the file only once the new text is completely on disk.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error) *error = file.errorString();
        return false;
    }
    QByteArray text;
    for (const QString& line : lines) text += line.toUtf8() + '\n';
    file.write(text);
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
