#pragma once
// A measurement as data for machines (the command-line tool's CSV, JSON and
// line-protocol output, the MQTT publisher): the fifteen readouts exactly as
// the instrument sent them, before the display's repair of values that are
// not numbers, each written as the shortest decimal that reads back as the
// same float32 (230.01 stays 230.01, 0.1 is not 0.100000001).
//
// One form everywhere:
//   JSON  {"time":"2026-12-09T10:15:02.123+01:00","Urms":230.01,...,"Kwh":1.5,
//          "units":{"Urms":"V",...}}
//         time in ISO 8601 with milliseconds and its UTC offset; readouts
//         under their names in storage order; a value that is not a number
//         or infinite is null; "units" names the unit of each readout that
//         has one (power factor and the form factors have none).
//   CSV   a header "time,Urms (V),...,Kwh (kWh)" and one row per measurement;
//         a value that is not a number or infinite leaves its field empty.
//   line protocol (InfluxDB)
//         qzr6100,port=/dev/ttyUSB0 Urms=230.01,... 1765275302123000000
//         time in nanoseconds; a value that is not a number is left out,
//         since the protocol has no null.
//
// What a measurement holds beyond the readouts, on request (MeasurementParts):
//   harmonics  "VoltageHarmonics" and "CurrentHarmonics", the instrument's 51
//              amplitudes of orders 0..50 each (V and A); CSV columns
//              VoltageHarmonics0 (V) .. CurrentHarmonics50 (A); line-protocol
//              fields of the same names.
//   waveform   "SampleCount", "VoltageZero", "CurrentZero", the 512 raw
//              samples "VoltageSamples" and "CurrentSamples" (counts of the
//              converter), and the same in volts and amperes as "Voltage" and
//              "Current": (sample - zero) scaled as the waveform plot draws
//              them, the largest deviation being the peak value (Upeak,
//              Ipeak); a flat trace is 0, and every sample is null when its
//              peak is not a number. JSON and CSV only.
// In JSON these come after the readouts and before "units", which names
// their units too.

#include "acquisition/acquisition_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>


struct MeasurementReadout {
    const char* key;   // name in JSON, CSV and line protocol
    const char* unit;  // empty when the readout has none
};

// Readout i (0 .. TestRecordImage::kReadoutCount - 1), in storage order.
const MeasurementReadout& MeasurementReadoutAt(int i);

// The shortest decimal that reads back as v; empty when v is not finite.
QByteArray ExactFloatText(float v);

// ISO 8601 local time with milliseconds and the UTC offset (+01:00, Z is
// never used so every line has the same shape).
QByteArray TimeWithOffset(const QDateTime& when);

// A float32 as a CSV field: ExactFloatText, "inf" and "-inf" for the
// infinities, empty for not-a-number. Every CSV file of the programs spells
// them so (spreadsheets and data-frame readers take an empty field as
// missing and "inf" as infinite).
QByteArray CsvFloatText(float v);

// The parts of a measurement beyond its fifteen readouts.
struct MeasurementParts {
    bool harmonics = false;
    bool waveform = false;
};

// The JSON object of a measurement, without a line end. extraMembers, when
// not empty, is inserted after "time" as is (e.g. "\"n\":3").
QByteArray MeasurementJson(const QDateTime& when, const TestRecordImage& received,
                           const QByteArray& extraMembers = QByteArray(), MeasurementParts parts = {});

// The CSV header and one row, each without a line end.
QByteArray MeasurementCsvHeader(MeasurementParts parts = {});
QByteArray MeasurementCsvRow(const QDateTime& when, const TestRecordImage& received, MeasurementParts parts = {});

// One line-protocol line without a line end, measurement "qzr6100" tagged
// with the port; empty when no readout is a number (a line needs a field).
// Of the parts only the harmonics fit a line; the waveform is not written.
QByteArray MeasurementInfluxLine(const QDateTime& when, const TestRecordImage& received, const QString& port,
                                 MeasurementParts parts = {});

// The waveform in volts and amperes, sample k of each trace as the waveform
// plot draws it; NaN where it has no value (see "waveform" above).
// The largest distance of a trace's samples from its zero level: the main
// window's waveform plot and ScaleWaveform both scale a trace by it.
int LargestDeviation(const le::U16 (&samples)[kWaveformSamples], int zero);

struct ScaledWaveform {
    float volts[kWaveformSamples];
    float amperes[kWaveformSamples];
};
ScaledWaveform ScaleWaveform(const TestRecordImage& record);
