#pragma once
// The record window's "Export EXCEL file" and "Export CSV file": the file
// name step, then the export on a worker thread behind a progress dialog with
// Cancel, then the question whether to keep the file.
//
//   const QString path = ChooseExportPath(this, ExportFormat::Xlsx);
//   if (!path.isEmpty()) StartExportWithProgress(this, notifier, source, path, ExportFormat::Xlsx);

#include "recording/export_job.h"
#include "recording/record_export.h"

#include <QString>

#include <functional>

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

// Starts exporting the record to targetPath and returns at once: the record
// is copied first, so the caller's arrays may go on changing, and the work
// runs on a worker while the window's events go on. A progress dialog
// offers Cancel (which leaves no file). When the file is written the user is
// asked "Data export to complete. Sure to save it?"; Yes puts it in place of
// targetPath, No leaves no file. A failure is shown with the system's reason
// and leaves no partial file. Then done(saved) is called, saved being true
// when the file was kept.
void StartExportWithProgress(QWidget* parent, Notifier& notifier, const ExportSource& source,
                             const QString& targetPath, ExportFormat format,
                             std::function<void(bool saved)> done = {});
