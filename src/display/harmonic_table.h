#pragma once
// The cells of the harmonic table: RMS values and percentages of the
// fundamental for orders 0..50 of voltage and current.

#include "acquisition/acquisition_state.h"

#include <QString>

constexpr int kHarmonicTableColumns = 5;
constexpr int kHarmonicTableRows = 52;  // header row and orders 0..50

QString HarmonicTableHeader(int column);

// Text of the cell for harmonic order n (0..50) in column 0..4.
QString HarmonicTableCell(const TestRecordImage& record, int column, int order);
