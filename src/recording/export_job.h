#pragma once
// One export of a record, run on a worker thread so that the window stays
// responsive and a recording goes on while the file is written.
//
// The job copies the record when it is made: a live record keeps growing
// (and a new record file empties it) while the export runs. The file is
// written under a hidden temporary name beside the target,
// ".<name>.partial-XXXXXX", and only commit() renames it over the target, in
// one step, so the target is either the old file or the complete new one,
// never half-written. Anything else (discard, cancel, failure, destruction
// before commit) removes the temporary file.

#include "recording/record_export.h"

#include <QLocale>
#include <QString>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

enum class ExportFormat { Xlsx, Csv };

class ExportJob {
public:
    // Copies the record; the caller's arrays may change once this returns.
    // The locale gives the xlsx sheet its date and time texts.
    ExportJob(const ExportSource& source, const QString& targetPath, ExportFormat format,
              const QLocale& locale = QLocale::system());
    // Cancels a running export, waits for it and removes the temporary file
    // unless the job was committed.
    ~ExportJob();
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    // Creates the temporary file beside the target and starts writing it.
    // False, with the system's reason in *error, when the file cannot be
    // created (missing folder, no permission, read-only medium).
    bool start(QString* error);

    // Asks the worker to stop; the result is discarded even if the worker
    // had already finished.
    void cancel();
    bool isCancelled() const { return cancel_.load(); }

    // Thread-safe progress for a progress display.
    bool isFinished() const { return finished_.load(std::memory_order_acquire); }
    int rowsDone() const { return rowsDone_.load(std::memory_order_relaxed); }
    int rowCount() const { return source_.count; }

    // Waits for the worker. Done means the temporary file is complete and on
    // the disk; Failed gives the reason in *error; a failed or cancelled
    // export has removed its temporary file already.
    ExportOutcome wait(QString* error);

    // After Done: renames the file over the target (an existing target is
    // replaced, keeping its permissions; a symbolic link keeps pointing at
    // the new file). False, with the reason, when that fails; the temporary
    // file is removed then.
    bool commit(QString* error);
    // Removes the temporary file (the user chose not to keep the export).
    void discard();

    QString targetPath() const { return target_; }
    QString temporaryPath() const { return temporary_; }

private:
    void run();

    std::array<std::vector<float>, kExportChannelCount> channels_;
    std::vector<double> times_;
    ExportSource source_;  // views into the copies above
    QString target_;
    QString temporary_;
    ExportFormat format_;
    QLocale locale_;

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> rowsDone_{0};
    ExportOutcome outcome_ = ExportOutcome::Failed;
    QString error_;
    bool committed_ = false;
};
