#pragma once
// The Record Report of the record shown in the record window: its trend
// chart, the quantities of the six channels, the time span and length of
// the view, and the footer. The preview copies the window's chart picture;
// the printed page draws the chart again at the page's resolution from the
// same record and view, by the trend chart's rules.

#include "display/trend_chart.h"
#include "reports/report_frame.h"

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include <array>

// What the record window shows, as the report needs it.
struct RecordReportSource {
    // The chart as on screen with its scale strip to the right:
    // (chart width + 50) x chart height. Null draws no chart in the preview.
    QImage chartPicture;
    QSize chartSize;  // the chart's paint box (Pic4)
    std::array<QString, kTrendChannelCount> channelLabels;  // Label7 .. Label12
    QString samplingStep;  // status panel 0
    QString start;         // status panel 2
    QString end;           // status panel 3
    QString length;        // status panel 4
    // The record and view the chart shows; its data pointers belong to the
    // record window and are read while the page is drawn.
    TrendChartInput trend;
};

// The preview page for a landscape page of `page` (normally about 708 x 501):
// as high as that, or higher where the chart in the record window's
// proportions would push the rows under it past the footer. The rows keep
// their places under the chart and the page grows instead.
QSize RecordReportPreviewSize(QSize page, const RecordReportSource& source);

// The preview page of `size` (from RecordReportPreviewSize).
void DrawRecordReportPreview(QPainter& painter, QSize size, const RecordReportSource& source,
                             const ReportInfo& info);

// Points the printed page's chart draws across its width at most: one every
// 10 dots from its left edge to 700 dots short of its right.
int RecordReportPagePoints(const ReportPage& page);

// The printed page.
void DrawRecordReportPage(QPainter& painter, const ReportPage& page, const RecordReportSource& source,
                          const ReportInfo& info);
