#include "appearance/skin_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace SkinFile {

namespace {
bool Fail(QString* error, const QString& reason)
{
    if (error) *error = reason;
    return false;
}
} // namespace

bool Read(const QString& path, QString* sheet, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) return Fail(error, QStringLiteral("the file does not exist"));
    if (!info.isFile()) return Fail(error, QStringLiteral("it is not a file"));
    if (info.size() > kMaxBytes) return Fail(error, QStringLiteral("the file is too large for a skin"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Fail(error, file.errorString());
    // One byte more than allowed tells a file that grew since it was measured.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) return Fail(error, file.errorString());
    if (bytes.size() > kMaxBytes) return Fail(error, QStringLiteral("the file is too large for a skin"));
    if (bytes.contains('\0')) return Fail(error, QStringLiteral("the file is not text"));

    QStringDecoder decode(QStringDecoder::Utf8);
    QString text = decode(bytes);
    if (decode.hasError()) return Fail(error, QStringLiteral("the file is not UTF-8 text"));
    if (text.trimmed().isEmpty()) return Fail(error, QStringLiteral("the file is empty"));
    if (sheet) *sheet = std::move(text);
    return true;
}

QString ResolveUrls(const QString& sheet, const QString& folder)
{
    static const QRegularExpression kUrl(QStringLiteral(R"re(url\(\s*(?:"([^"]*)"|'([^']*)'|([^)'"\s]*))\s*\))re"));
    static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QDir base(folder);
    QString resolved;
    qsizetype copied = 0;
    QRegularExpressionMatchIterator it = kUrl.globalMatch(sheet);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString path = m.captured(1) + m.captured(2) + m.captured(3);
        if (path.isEmpty() || path.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(path)
            || kScheme.match(path).hasMatch())
            continue;
        path = base.absoluteFilePath(path);
        // Quoted, so that blanks and brackets in the folder's name do no harm.
        QChar quote = QLatin1Char('"');
        if (path.contains(quote)) quote = QLatin1Char('\'');
        if (path.contains(quote)) continue;
        resolved += QStringView(sheet).mid(copied, m.capturedStart() - copied);
        resolved += QStringLiteral("url(") + quote + path + quote + QLatin1Char(')');
        copied = m.capturedEnd();
    }
    resolved += QStringView(sheet).mid(copied);
    return resolved;
}

} // namespace SkinFile
