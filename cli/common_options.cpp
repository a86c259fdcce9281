#include "common_options.h"

QCommandLineOption OutputOption(const QString& description, const QString& valueName, const QStringList& oldNames)
{
    return QCommandLineOption(QStringList{QStringLiteral("o"), QStringLiteral("output")} << oldNames, description,
                              valueName);
}

QCommandLineOption FormatOption(const QString& description)
{
    return QCommandLineOption(QStringList{QStringLiteral("f"), QStringLiteral("format")}, description,
                              QStringLiteral("F"));
}

QCommandLineOption QuietOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("q"), QStringLiteral("quiet")},
                              QStringLiteral("no progress or \"written to\" lines on standard error, only errors"));
}

bool IsQuiet(const QCommandLineParser& parser) { return parser.isSet(QStringLiteral("quiet")); }

QString OutputPath(const QCommandLineParser& parser) { return parser.value(QStringLiteral("output")); }

bool ReadPrintFormat(const QCommandLineParser& parser, PrintFormat* format, QString* error)
{
    *format = PrintFormat::Text;
    if (!parser.isSet(QStringLiteral("format"))) return true;
    const QString name = parser.value(QStringLiteral("format")).trimmed().toLower();
    if (name == QStringLiteral("text")) return true;
    if (name == QStringLiteral("json")) {
        *format = PrintFormat::Json;
        return true;
    }
    *error = QStringLiteral("--format wants text or json, not '%1'").arg(name);
    return false;
}
