#include "acquisition/status_date.h"

#include <QRegularExpression>

QString TimeFormatWithoutZone(const QString& format)
{
    // Quoted text ('...', with '' for a quote) is copied as it is; elsewhere
    // every 't' is a zone field.
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        kept += c;
    }
    // Brackets that held only the zone, then the blanks around where it was.
    static const QRegularExpression kEmptyBrackets(QStringLiteral(R"(\(\s*\)|\[\s*\])"));
    static const QRegularExpression kBlanks(QStringLiteral(R"(\s{2,})"));
    kept.replace(kEmptyBrackets, QString());
    kept.replace(kBlanks, QStringLiteral(" "));
    return kept.trimmed();
}

QString StatusDateTimeText(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(when.time(), TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}
