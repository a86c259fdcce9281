#pragma once
// What every command of qzr6100-cli shares: its exit statuses, how a message
// reaches standard error, and the parsing of the numbers its options take.

#include <QString>

#include <optional>

// Exit statuses, as the help and the manual page list them.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 1,        // the command line asks for something that cannot be done
    kExitFailure = 2,      // the instrument does not answer, or a file cannot be read or written
    kExitInterrupted = 130 // stopped by Ctrl-C before the work was done; 128 + the signal's number in general
};

// The status of a command stopped by a signal before its work was done:
// 128 + the signal's number, as a shell reports a process killed by it
// (130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP).
inline int SignalExitStatus(int signalNumber) { return 128 + signalNumber; }

// A message of the core (which may run over several lines, written for a
// message box) as one line: the lines joined with blanks.
QString OneLine(const QString& text);

// "qzr6100-cli: " and the message as one line, on standard error.
void PrintError(const QString& message);

// Standard output and standard error, written as UTF-8 and flushed at once,
// so that a script reading a pipe sees each line as it comes.
void PrintOut(const QString& text);
void PrintErr(const QString& text);
// Bytes as they are, onto standard output, flushed.
void WriteOut(const QByteArray& bytes);

// Numbers of the command line. Each gives no value for a text that is not
// such a number or lies outside [low, high].
std::optional<double> ParseNumber(const QString& text, double low, double high);
std::optional<int> ParseWholeNumber(const QString& text, int low, int high);
// A duration: seconds, or a number followed by s, m or h ("90", "10m", "1.5h").
std::optional<double> ParseDurationSeconds(const QString& text);
