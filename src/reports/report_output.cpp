#include "reports/report_output.h"

#include "reports/power_report.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

void DrawReportPreview(QImage& surface, QSize pageSize, const ReportContent& content)
{
    surface.fill(Qt::white);
    QPainter painter(&surface);
    if (content.kind == ReportKind::Power) {
        if (content.record) DrawPowerReportPreview(painter, pageSize, *content.record, content.info);
    } else if (content.recordSource) {
        DrawRecordReportPreview(painter, pageSize, *content.recordSource, content.info);
    }
}

void DrawReportPage(QPainter& painter, const ReportContent& content)
{
    const QPaintDevice* device = painter.device();
    const ReportPage page = ReportPageOf(device->width(), device->height(), device->logicalDpiX());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (content.kind == ReportKind::Power) {
        if (content.record) DrawPowerReportPage(painter, page, *content.record, content.info);
    } else if (content.recordSource) {
        DrawRecordReportPage(painter, page, *content.recordSource, content.info);
    }
}

bool PrintReport(QPagedPaintDevice& device, const ReportContent& content, QString* error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error) *error = QCoreApplication::translate("ReportOutput", "The printer could not be opened.");
        return false;
    }
    DrawReportPage(painter, content);
    if (!painter.end()) {
        if (error) *error = QCoreApplication::translate("ReportOutput", "The page could not be finished.");
        return false;
    }
    return true;
}

QPageLayout DefaultReportPageLayout(ReportKind kind)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       kind == ReportKind::Power ? QPageLayout::Portrait : QPageLayout::Landscape,
                       QMarginsF(0, 0, 0, 0));
}

bool WriteReportPdf(const QString& path, const QPageLayout& layout, const ReportContent& content, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kReportDotsPerInch);
        writer.setPageLayout(layout);
        writer.setTitle(ReportJobTitle(content.kind, content.info.projectName));
        writer.setCreator(QCoreApplication::applicationName());
        QString reason;
        if (!PrintReport(writer, content, &reason)) {
            file.cancelWriting();
            if (error) *error = reason;
            return false;
        }
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
