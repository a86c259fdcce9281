#pragma once
// What the record report takes from the record window: its chart picture,
// the channels' quantities, the texts of its status panels and the record
// and view the chart is drawn from.

#include "reports/record_report.h"

class RecordWindow;

RecordReportSource RecordReportSourceOf(const RecordWindow& window);
