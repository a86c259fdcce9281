#pragma once
// The record window's "Export EXCEL file" and "Export CSV file": the file
// name step, then the export on a worker thread behind a progress dialog with
// Cancel, then the question whether to keep the file.
//
//   const QString path = ChooseExportPath(this, ExportFormat::Xlsx);
//   if (!path.isEmpty()) RunExportWithProgress(this, notifier, source, path, ExportFormat::Xlsx);

#include "recording/export_job.h"
#include "recording/record_export.h"

#include <QString>

class Notifier;
class QWidget;

// path with ".<extension>" appended unless it already ends in it (in any
// letter case); an empty path stays empty.
QString WithExtension(const QString& path, const QString& extension);

// The extension of a format's files, without the dot: "xlsx", "csv".
QString ExportExtension(ExportFormat format);

// Asks for the file to export to (filter "Excel File(*.xlsx)" or
// "CSV File(*.csv)", and "所有文件(*.*)"), starting in folder. Empty when the
// user cancels; otherwise the name, with the format's extension appended
// when it lacks it.
QString ChooseExportPath(QWidget* parent, ExportFormat format, const QString& folder = QString());

// Exports the record to targetPath, keeping the window's events running:
// the record is copied first, so the caller's arrays may go on changing. A
// progress dialog offers Cancel (which leaves no file). When the file is
// written the user is asked "Data export to complete. Sure to save it?";
// Yes puts it in place of targetPath, No leaves no file. A failure is shown
// with the system's reason and leaves no partial file. True when the file
// was saved.
bool RunExportWithProgress(QWidget* parent, Notifier& notifier, const ExportSource& source, const QString& targetPath,
                           ExportFormat format);
