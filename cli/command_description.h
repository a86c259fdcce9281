#pragma once
// One command of qzr6100-cli described once: its synopsis, description,
// options and examples. The parser, the --help text and the manual page are
// all made from this description, so they cannot drift apart.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

struct PositionalDescription {
    QString name;         // as the help shows it: "FILE"
    QString description;
};

struct CommandDescription {
    QString name;         // "measure"
    QString synopsis;     // what follows "qzr6100-cli measure "
    QString summary;      // one line for the command list
    QString description;  // paragraphs separated by blank lines
    QList<QCommandLineOption> options;
    QList<PositionalDescription> positionals;
    QStringList examples;
};

// The --help text of a command.
QString CommandHelpText(const CommandDescription& about);

// Paragraphs (separated by blank lines) wrapped for a terminal.
QString WrapParagraphs(const QString& text);

// The options as the help lists them: names and value on the left, the
// description wrapped beside them.
QString FormatOptionList(const QList<QCommandLineOption>& options);

// Sets the parser up for the command and parses `arguments` (the program's
// own, "qzr6100-cli", the command's name, then its arguments). False when the
// command should not run: *exitCode is then 0 after --help, or the usage
// status after a message naming what was wrong.
bool ParseCommandLine(QCommandLineParser& parser, const CommandDescription& about, const QStringList& arguments,
                      int* exitCode);

// A usage error of the command: the message and a pointer to its --help, on
// standard error. Returns the usage status.
int UsageError(const CommandDescription& about, const QString& message);
