#include "acquisition/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// The file as lines: each line's bytes as they are in the file (without its
// line end), for writing back, and its text, for matching names and reading
// values. Text that is not UTF-8 reads with replacement characters but is
// written back as it was.
struct IniLines {
    QList<QByteArray> bytes;
    QStringList text;
    QByteArray lineEnd = "\n";  // the file's own, CR LF or LF

    void append(const QByteArray& line, const QString& lineText)
    {
        bytes << line;
        text << lineText;
    }
};

IniLines ReadIniLines(const QString& path)
{
    IniLines lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    QByteArray all = file.readAll();
    if (all.startsWith("\xFF\xFE") || all.startsWith("\xFE\xFF")) {
        // A UTF-16 file (a Windows "Unicode" save): read as text, and
        // written back as UTF-8.
        QStringDecoder decode(all.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        all = QString(decode(all.mid(2))).toUtf8();
    }
    if (all.contains("\r\n")) lines.lineEnd = "\r\n";
    QList<QByteArray> split = all.split('\n');
    // The piece after the last line end: empty, or a last line without one
    // (which keeps all its bytes).
    const QByteArray unterminated = split.takeLast();
    for (QByteArray& line : split)
        if (line.endsWith('\r')) line.chop(1);
    if (!unterminated.isEmpty()) split << unterminated;
    for (const QByteArray& line : split) {
        // A byte-order mark stays in the file but is no part of the first name.
        const QByteArray text = lines.bytes.isEmpty() && line.startsWith("\xEF\xBB\xBF") ? line.mid(3) : line;
        lines.append(line, QString::fromUtf8(text));
    }
    return lines;
}

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

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    for (const QString& line : ReadIniLines(path_).text) {
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
    IniLines file = ReadIniLines(path_);
    const QStringList& lines = file.text;
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
            file.bytes[i] = entry.toUtf8();
            replaced = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!replaced) {
        if (sectionStart >= 0) {
            file.bytes.insert(lastInSection + 1, entry.toUtf8());
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) file.bytes << QByteArray();
            file.bytes << ('[' + section + ']').toUtf8() << entry.toUtf8();
        }
    }

    // Replace the file only once the new text is completely on disk.
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error) *error = out.errorString();
        return false;
    }
    QByteArray text;
    for (const QByteArray& line : file.bytes) text += line + file.lineEnd;
    out.write(text);
    if (!out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    return true;
}
