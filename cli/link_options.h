#pragma once
// The options of every command that talks to the instrument: which port,
// which slave address and line speed, the simulated instrument, a
// communication log, and the desktop program's settings file whose choices
// are the defaults.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct CommandDescription;

struct LinkOptions {
    QString port;              // empty: the port identified as the instrument's
    bool simulate = false;     // the built-in simulated instrument
    int address = 0;           // 0: SysSet.ini's, 2 without one
    int baudIndex = -1;        // index of the speed list; -1: SysSet.ini's
    QString tracePath;         // communication log, empty for none
    QString settingsPath;      // SysSet.ini
};

// --settings alone, for the commands that read files but need the desktop
// program's settings (record settings, report information).
QCommandLineOption SettingsOption();
QList<QCommandLineOption> LinkOptionList();

// Parses the command line of a command that talks to the instrument and
// reads its link options. False with the status to exit with: 0 after
// --help, 1 (after the usage message) for options that are not valid.
bool ParseInstrumentCommand(QCommandLineParser& parser, const CommandDescription& about, const QStringList& arguments,
                            LinkOptions* link, int* status);

// The word after the command of "settings" and "alarms": true for "write",
// false for "read", nothing when it is neither or not alone.
std::optional<bool> ReadOrWriteWord(const QCommandLineParser& parser);

// Reads the options; false with a message when one of them is not valid.
bool ReadLinkOptions(const QCommandLineParser& parser, LinkOptions* options, QString* error);

// SysSet.ini: --settings, or where the desktop program keeps it.
QString SettingsPathOption(const QCommandLineParser& parser);
