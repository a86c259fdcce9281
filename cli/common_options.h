#pragma once
// The options that several commands share, spelled the same everywhere:
// -o FILE for what a command writes ("-" for standard output where the
// format allows it), -f for the format of data and -q to keep standard
// error to the errors.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// -o, --output FILE, with the command's older names of it as aliases.
QCommandLineOption OutputOption(const QString& description, const QString& valueName = QStringLiteral("FILE"),
                                const QStringList& oldNames = {});
// -f, --format NAME.
QCommandLineOption FormatOption(const QString& description);
// -q, --quiet.
QCommandLineOption QuietOption();

bool IsQuiet(const QCommandLineParser& parser);
QString OutputPath(const QCommandLineParser& parser);
// True for the name of standard output.
inline bool IsStandardOutput(const QString& path) { return path == QStringLiteral("-"); }

// The formats of the commands that print what they read: text for eyes,
// JSON for programs (one object).
enum class PrintFormat { Text, Json };
// Reads -f (text when not given); false with a usage message otherwise.
bool ReadPrintFormat(const QCommandLineParser& parser, PrintFormat* format, QString* error);
