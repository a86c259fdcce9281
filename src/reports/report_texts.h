#pragma once
// The numbers and texts of the reports: the fourteen readout rows with their
// labels, units and decimals, the harmonic table cells and the job titles.

#include <QString>

struct TestRecordImage;

constexpr int kReportReadoutRows = 14;

enum class ReportKind {
    Power,   // Power Analysis Report of the current test
    Record,  // Record Report of the record in the record window
};

// Preview row n (0..13): label, number and unit as one text,
// " Voltage: 230.12 V". The THD rows have one decimal here.
QString PreviewReadoutText(const TestRecordImage& record, int row);

// Printed row n: the label (" Voltage:") and, in its own column, the number
// with its unit ("230.12 V"). The THD rows have two decimals in print.
QString PrintedReadoutLabel(int row);
QString PrintedReadoutValue(const TestRecordImage& record, int row);

// Harmonic table cells: the RMS value of a peak amplitude (divided by 1.414,
// two decimals, ".00" added to a whole number) and the share of the
// fundamental ("100.0%"). With no fundamental the share is taken as 0 and
// written by the same rule, "0.0%", rather than dividing by zero.
QString ReportHarmonicRms(double amplitude);
QString ReportHarmonicPercent(double amplitude, double fundamental);

// The printer's job title: the project name followed directly by
// "TestReport", or "RecordReport".
QString ReportJobTitle(ReportKind kind, const QString& projectName);

// "Power Analysis Report" / "Record Report".
QString ReportTitle(ReportKind kind);
