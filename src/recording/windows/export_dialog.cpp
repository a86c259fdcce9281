#include "recording/windows/export_dialog.h"

#include "acquisition/notifier.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kPollIntervalMs = 50;
constexpr int kShowProgressAfterMs = 400;  // a quick export shows no dialog at all

QString ExportTitle(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral("Export EXCEL file") : QStringLiteral("Export CSV file");
}

QString ExportFilter(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral("Excel File(*.xlsx);;所有文件(*.*)")
                                        : QStringLiteral("CSV File(*.csv);;所有文件(*.*)");
}

void ReportFailure(Notifier& notifier, const QString& targetPath, const QString& reason)
{
    notifier.message(QStringLiteral("The data could not be exported to %1: %2")
                         .arg(QDir::toNativeSeparators(targetPath), reason),
                     QStringLiteral("Error"), Notifier::Icon::Error);
}

// Shows the job's progress until its worker ends, keeping the event loop
// running. Cancel (the button, Escape or closing the dialog) asks the
// worker to stop; the dialog stays up until it has, since the last part of
// an xlsx export (compressing the sheet) cannot be interrupted.
void WaitWithProgress(QWidget* parent, ExportJob& job, ExportFormat format)
{
    QProgressDialog progress(parent);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(ExportTitle(format));
    progress.setLabelText(QStringLiteral("Exporting %1 samples to %2...")
                              .arg(job.rowCount())
                              .arg(QFileInfo(job.targetPath()).fileName()));
    progress.setCancelButtonText(QStringLiteral("Cancel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumDuration(kShowProgressAfterMs);
    progress.setRange(0, std::max(job.rowCount(), 1));
    // The dialog would hide itself on Cancel; it stays until the worker ends.
    QObject::disconnect(&progress, &QProgressDialog::canceled, &progress, &QProgressDialog::cancel);

    QEventLoop loop;
    const auto requestCancel = [&] {
        if (job.isCancelled()) return;
        job.cancel();
        progress.setLabelText(QStringLiteral("Cancelling..."));
        if (QPushButton* button = progress.findChild<QPushButton*>()) button->setEnabled(false);
        progress.show();
    };
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, requestCancel);
    QObject::connect(&progress, &QDialog::rejected, &loop, requestCancel);

    bool finishing = false;
    QTimer poll;
    poll.setInterval(kPollIntervalMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.isFinished()) {
            loop.quit();
            return;
        }
        if (job.isCancelled()) return;
        const int rows = job.rowsDone();
        if (rows < job.rowCount()) {
            progress.setValue(rows);
        } else if (!finishing && format == ExportFormat::Xlsx) {
            finishing = true;
            progress.setLabelText(QStringLiteral("Compressing the workbook..."));
            progress.setRange(0, 0);  // no measure for this part: a busy indicator
        }
    });
    poll.start();
    progress.setValue(0);
    loop.exec();
    poll.stop();
    progress.hide();
}

} // namespace

QString WithExtension(const QString& path, const QString& extension)
{
    if (path.isEmpty()) return path;
    const QString suffix = QLatin1Char('.') + extension;
    return path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

QString ExportExtension(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
}

QString ChooseExportPath(QWidget* parent, ExportFormat format, const QString& folder)
{
    QFileDialog dialog(parent, ExportTitle(format), folder, ExportFilter(format));
    dialog.setObjectName(QStringLiteral("SaveDialog2"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog appends the extension to a name without any, so that its
    // overwrite question is about the file that will be written.
    dialog.setDefaultSuffix(ExportExtension(format));
    if (dialog.exec() != QDialog::Accepted) return QString();
    return WithExtension(dialog.selectedFiles().value(0), ExportExtension(format));
}

bool RunExportWithProgress(QWidget* parent, Notifier& notifier, const ExportSource& source, const QString& targetPath,
                           ExportFormat format)
{
    ExportJob job(source, targetPath, format);
    QString error;
    if (!job.start(&error)) {
        ReportFailure(notifier, targetPath, error);
        return false;
    }
    WaitWithProgress(parent, job, format);

    switch (job.wait(&error)) {
    case ExportOutcome::Cancelled:
        return false;
    case ExportOutcome::Failed:
        ReportFailure(notifier, targetPath, error);
        return false;
    case ExportOutcome::Done:
        break;
    }
    if (notifier.question(QStringLiteral("Data export to complete. Sure to save it?"), QStringLiteral("Save the file"))
        != Notifier::Answer::Yes) {
        job.discard();
        return false;
    }
    if (!job.commit(&error)) {
        ReportFailure(notifier, targetPath, error);
        return false;
    }
    return true;
}
