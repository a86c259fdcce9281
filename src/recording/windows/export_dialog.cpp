#include "recording/windows/export_dialog.h"

#include "acquisition/notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int kPollIntervalMs = 50;
constexpr int kShowProgressAfterMs = 400;  // a quick export shows no dialog at all

QString ExportTitle(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QCoreApplication::translate("ExportDialog", "Export EXCEL file") : QCoreApplication::translate("ExportDialog", "Export CSV file");
}

QString ExportFilter(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QCoreApplication::translate("ExportDialog", "Excel File(*.xlsx);;所有文件(*.*)")
                                        : QCoreApplication::translate("ExportDialog", "CSV File(*.csv);;所有文件(*.*)");
}

void ReportFailure(Notifier& notifier, const QString& targetPath, const QString& reason)
{
    notifier.message(QCoreApplication::translate("ExportDialog", "The data could not be exported to %1: %2")
                         .arg(QDir::toNativeSeparators(targetPath), reason),
                     QCoreApplication::translate("ExportDialog", "Error"), Notifier::Icon::Error);
}

// One export under way: the worker writes the file while a progress dialog
// shows how far it got; the event loop goes on as usual (no loop of its own).
// Cancel (the button, Escape or closing the dialog) asks the worker to stop;
// the dialog stays up until it has, since the last part of an xlsx export
// (compressing the sheet) cannot be interrupted. When the worker has ended,
// the user is asked whether to keep the file, and the session ends itself.
// It belongs to the window it was started from and goes with it (the job's
// destructor stops the worker and removes its file).
class ExportSession : public QObject {
public:
    ExportSession(QWidget* parent, Notifier& notifier, std::unique_ptr<ExportJob> job, ExportFormat format,
                  std::function<void(bool)> done)
        : QObject(parent), notifier_(notifier), job_(std::move(job)), format_(format), done_(std::move(done)),
          progress_(new QProgressDialog(parent))
    {
        progress_->setObjectName(QStringLiteral("ExportProgress"));
        progress_->setAttribute(Qt::WA_DeleteOnClose, false);
        progress_->setWindowTitle(ExportTitle(format));
        progress_->setLabelText(QCoreApplication::translate("ExportDialog", "Exporting %1 samples to %2...")
                                    .arg(job_->rowCount())
                                    .arg(QFileInfo(job_->targetPath()).fileName()));
        progress_->setCancelButtonText(QCoreApplication::translate("ExportDialog", "Cancel"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        progress_->setMinimumDuration(kShowProgressAfterMs);
        progress_->setRange(0, std::max(job_->rowCount(), 1));
        // The dialog would hide itself on Cancel; it stays until the worker ends.
        QObject::disconnect(progress_, &QProgressDialog::canceled, progress_, &QProgressDialog::cancel);
        QObject::connect(progress_, &QProgressDialog::canceled, this, [this] { requestCancel(); });
        QObject::connect(progress_, &QDialog::rejected, this, [this] { requestCancel(); });

        poll_.setInterval(kPollIntervalMs);
        QObject::connect(&poll_, &QTimer::timeout, this, [this] { pollTick(); });
        poll_.start();
        progress_->setValue(0);
    }
    ~ExportSession() override { delete progress_; }

private:
    void requestCancel()
    {
        if (!progress_ || job_->isCancelled() || job_->isFinished()) return;
        job_->cancel();
        progress_->setLabelText(QCoreApplication::translate("ExportDialog", "Cancelling..."));
        if (QPushButton* button = progress_->findChild<QPushButton*>()) button->setEnabled(false);
        progress_->show();
    }

    void pollTick()
    {
        if (job_->isFinished()) {
            finish();
            return;
        }
        if (job_->isCancelled()) return;
        const int rows = job_->rowsDone();
        if (rows < job_->rowCount()) {
            progress_->setValue(rows);
        } else if (!finishing_ && format_ == ExportFormat::Xlsx) {
            finishing_ = true;
            progress_->setLabelText(QCoreApplication::translate("ExportDialog", "Compressing the workbook..."));
            progress_->setRange(0, 0);  // no measure for this part: a busy indicator
        }
    }

    void finish()
    {
        poll_.stop();
        delete progress_;
        progress_ = nullptr;
        const bool saved = keepOrDiscard();
        if (done_) done_(saved);
        deleteLater();
    }

    bool keepOrDiscard()
    {
        QString error;
        switch (job_->wait(&error)) {
        case ExportOutcome::Cancelled: return false;
        case ExportOutcome::Failed: ReportFailure(notifier_, job_->targetPath(), error); return false;
        case ExportOutcome::Done: break;
        }
        if (notifier_.question(QCoreApplication::translate("ExportDialog", "Data export to complete. Sure to save it?"),
                               QCoreApplication::translate("ExportDialog", "Save the file"))
            != Notifier::Answer::Yes) {
            job_->discard();
            return false;
        }
        if (!job_->commit(&error)) {
            ReportFailure(notifier_, job_->targetPath(), error);
            return false;
        }
        return true;
    }

    Notifier& notifier_;
    std::unique_ptr<ExportJob> job_;
    ExportFormat format_;
    std::function<void(bool)> done_;
    QProgressDialog* progress_;
    QTimer poll_;
    bool finishing_ = false;
};

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

void StartExportWithProgress(QWidget* parent, Notifier& notifier, const ExportSource& source,
                             const QString& targetPath, ExportFormat format, std::function<void(bool saved)> done)
{
    auto job = std::make_unique<ExportJob>(source, targetPath, format);
    QString error;
    if (!job->start(&error)) {
        ReportFailure(notifier, targetPath, error);
        if (done) done(false);
        return;
    }
    new ExportSession(parent, notifier, std::move(job), format, std::move(done));
}
