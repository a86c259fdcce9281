#pragma once
// A measurement as text for a terminal, a spreadsheet or a script: the
// fifteen readouts written by the main window's number rule, optionally with
// the harmonic table's cells, and the time it was taken.
//
//   text  a block laid out like the main window's readouts (five rows of
//         three), the harmonic table below it
//   csv   one row per measurement under a header row; numbers without
//         units (the header names them)
//   json  one object per line, keys in a fixed order; a number that is not
//         one (NAN, INF) is null

#include <QDateTime>
#include <QString>

struct TestRecordImage;

enum class OutputFormat { Text, Csv, Json };

bool ParseOutputFormat(const QString& text, OutputFormat* format);

// The header row of the CSV format (with its line end); empty for the others.
QString ReadoutHeader(OutputFormat format, bool harmonics);

// One measurement, number n (from 1), with its line end. The record is
// copied: formatting repairs a reactive power that is not a number, as the
// main window does in its own record.
QString ReadoutEntry(OutputFormat format, int n, const QDateTime& when, TestRecordImage record, bool harmonics);
