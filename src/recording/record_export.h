#pragma once
// Spreadsheet export of a record: one row per sample, the sample's time in
// the first column and the six channels' values after it, under a header row
// "Recording time", "CH1:Voltage", ... Two formats:
//
// - .xlsx, written with libxlsxwriter in its constant-memory mode (rows go
//   straight to a temporary file, so memory stays flat for 450000 rows; its
//   temporary files live in a private folder under TMPDIR that is removed
//   when the export ends, however it ends). The
//   time is text in the system locale's short date and long time format, the
//   same text the record window shows; the values are numbers.
// - .csv for tools that read text: UTF-8 with a byte-order mark (spreadsheets
//   then read Chinese channel names correctly), CRLF line ends, fields quoted
//   per RFC 4180 where needed, ISO 8601 local times with milliseconds and
//   numbers with a full stop whatever the locale.
//
// A value is written as the shortest decimal that reads back as the recorded
// float (0.1f is 0.1, not 0.100000001490116). A value that is not a number or
// infinite is the text "NaN", "Inf" or "-Inf" in the workbook; the CSV file
// leaves a value that is not a number empty and writes "inf" and "-inf", as
// the command-line program's measurements do; a time that is no
// date (a damaged file may hold anything) leaves its cell empty.
//
// Both functions write to the path they are given and may be run on any
// thread; they leave the file half-written when they fail or are cancelled,
// so the caller writes to a temporary name (see ExportJob).

#include <QLocale>
#include <QString>

#include <array>
#include <atomic>
#include <functional>

constexpr int kExportChannelCount = 6;

// The record to export, as views into arrays the caller owns: sample i is
// channels[c][i] and times[i] (OLE dates, local time), for i < count. The
// pointers may be null when count is 0.
struct ExportSource {
    std::array<const float*, kExportChannelCount> channels{};
    const double* times = nullptr;
    int count = 0;
    std::array<QString, kExportChannelCount + 1> headers;  // "Recording time", "CH1:..." ... "CH6:..."
};

// The header row for the channels' quantity label texts ("Voltage",
// "Temperature 1", ...): "Recording time", "CH1:Voltage", ...
std::array<QString, kExportChannelCount + 1> ExportHeaders(const std::array<QString, kExportChannelCount>& labels);

enum class ExportOutcome { Done, Cancelled, Failed };

// Called now and then with the number of sample rows written so far.
using ExportProgress = std::function<void(int rowsDone)>;

// Rows between two looks at the cancel flag and two progress reports.
constexpr int kExportRowsPerStep = 4096;

// Writes the workbook to path (replacing any file there). On failure *error
// receives the reason, the system's where there is one.
ExportOutcome ExportXlsx(const ExportSource& source, const QString& path, const ExportProgress& progress,
                         const std::atomic<bool>& cancel, QString* error,
                         const QLocale& locale = QLocale::system());

// Writes the CSV file to path (replacing any file there); as ExportXlsx.
ExportOutcome ExportCsv(const ExportSource& source, const QString& path, const ExportProgress& progress,
                        const std::atomic<bool>& cancel, QString* error);
