#pragma once
// The Power Analysis Report of the current test: waveform, voltage and
// current harmonic charts, fourteen readouts, the harmonic table of orders
// 0..50 and the footer. Drawn at fixed pixel positions for the preview and
// in fractions of the page for print; both only need a QPainter.

#include "reports/report_frame.h"

#include <QPainter>
#include <QSize>

struct TestRecordImage;

// The preview page of `size` (W x H, normally about 707 x 1000), drawn with
// its top-left corner at the painter's origin onto a cleared surface.
void DrawPowerReportPreview(QPainter& painter, QSize size, const TestRecordImage& record, const ReportInfo& info);

// The printed page: `page` describes the painter's device.
void DrawPowerReportPage(QPainter& painter, const ReportPage& page, const TestRecordImage& record,
                         const ReportInfo& info);
