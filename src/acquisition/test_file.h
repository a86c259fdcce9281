#pragma once
// Test files (".vqm"): one raw 8052-byte test record, no header. Opening reads
// into a buffer first so a short or unreadable file never touches the test on
// screen; saving writes a temporary file beside the target and renames it over
// the target only when the whole record is on disk.

#include "acquisition/acquisition_state.h"

#include <QString>
#include <QStringList>

// Reads the first 8052 bytes of path into record; further bytes are ignored.
// On failure record is unchanged and *error names the file and the reason.
bool LoadTestFile(const QString& path, TestRecordImage& record, QString* error);

// Writes record as an 8052-byte file. On failure an existing file at path is
// left as it was.
bool SaveTestFile(const QString& path, const TestRecordImage& record, QString* error);

enum class CommandLineFileKind { TestFile, RecordFile, Other };

// The file named on the command line: the first argument with surrounding
// blanks removed and, when it is quoted, without its first and last character.
QString CommandLineFileName(const QStringList& arguments);

// By the exact spelling of the last three characters: "vqm", "VQM", "Vqm" open
// a test; "vqr", "VQR", "Vqr" a record; anything else nothing.
CommandLineFileKind ClassifyCommandLineFile(const QString& name);
