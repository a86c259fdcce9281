#pragma once
// A measurement for a terminal, a spreadsheet or a script, with the time it
// was taken.
//
//   text    for eyes: a block laid out like the main window's readouts (five
//           rows of three) by its number rule, the harmonic table and the
//           waveform below it
//   csv     for machines: a header row, then one row per measurement
//   json    for machines: one object per line
//   influx  for machines: one line of InfluxDB line protocol each
// The machine forms carry the instrument's exact values (measurement_data.h).

#include "acquisition/measurement_data.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct TestRecordImage;

enum class OutputFormat { Text, Csv, Json, Influx };

bool ParseOutputFormat(const QString& text, OutputFormat* format);

// The header row of the CSV format (with its line end); empty for the others.
QByteArray ReadoutHeader(OutputFormat format, MeasurementParts parts);

// One measurement, number n (from 1), with its line end. `shown` is the
// record as the main window shows it (values that are not numbers
// repaired), `received` the measurement as the instrument sent it; the
// text form uses the first, the machine forms the second. `port` tags the
// line-protocol line.
QByteArray ReadoutEntry(OutputFormat format, int n, const QDateTime& when, const TestRecordImage& shown,
                        const TestRecordImage& received, MeasurementParts parts, const QString& port = QString());

// The text form of a record's readouts (for info), without a heading line.
QString ReadoutText(const TestRecordImage& record);
