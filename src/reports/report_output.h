#pragma once
// One report as one page: onto the preview surface, onto any paged device
// (a printer from the report window, a PDF writer from here or from a
// command-line tool) and into a PDF file.

#include "reports/record_report.h"
#include "reports/report_info.h"
#include "reports/report_texts.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;
class QPainter;
struct TestRecordImage;

// Printed pages are drawn at this resolution: the record report's fixed
// distances are dots of a 600-dot-per-inch page.
constexpr int kReportDotsPerInch = 600;

struct ReportContent {
    ReportKind kind = ReportKind::Power;
    const TestRecordImage* record = nullptr;            // the power report's test
    const RecordReportSource* recordSource = nullptr;   // the record report's record window
    ReportInfo info;
};

// Clears the preview surface and draws the page of `pageSize` on it.
void DrawReportPreview(QImage& surface, QSize pageSize, const ReportContent& content);

// The page on the painter's device, which is taken as the printable area.
void DrawReportPage(QPainter& painter, const ReportContent& content);

// One page on a printer or PDF writer. False, with the reason, when the
// device cannot be painted on or the page cannot be finished.
bool PrintReport(QPagedPaintDevice& device, const ReportContent& content, QString* error);

// A4, portrait for the power report and landscape for the record report,
// without margins of its own (the page keeps its own).
QPageLayout DefaultReportPageLayout(ReportKind kind);

// The printed page as a PDF file titled with the job title. The file is
// replaced only once the new one is complete.
bool WriteReportPdf(const QString& path, const QPageLayout& layout, const ReportContent& content, QString* error);
