// export: a record file to a spreadsheet (.xlsx) or CSV file, by the record
// window's exporters on a worker thread, with a progress bar on a terminal.
// The output appears only when it is complete.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "data_output.h"
#include "progress_line.h"
#include "record_file_source.h"
#include "stop_signals.h"

#include "recording/export_job.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

constexpr int kProgressIntervalMs = 100;
constexpr int kBarWidth = 30;

QString Bar(int done, int total)
{
    const int filled = total > 0 ? int(qint64(done) * kBarWidth / total) : kBarWidth;
    const int percent = total > 0 ? int(qint64(done) * 100 / total) : 100;
    return QStringLiteral("[%1%2] %3% %4/%5 rows")
        .arg(QString(filled, u'#'), QString(kBarWidth - filled, u' '))
        .arg(percent, 3)
        .arg(done)
        .arg(total);
}

class ExportCommand : public QObject {
public:
    // target "-": standard output, by way of a file in a temporary folder.
    ExportCommand(const ExportSource& source, const QString& target, ExportFormat format, bool quiet,
                  std::unique_ptr<QTemporaryDir> staging)
        : staging_(std::move(staging)),
          job_(source, staging_ ? staging_->filePath(QStringLiteral("export")) : target, format),
          target_(staging_ ? QStringLiteral("standard output") : target),
          quiet_(quiet)
    {
        progress_.setQuiet(quiet);
    }

    bool begin(int* status)
    {
        QString error;
        if (!job_.start(&error)) {
            PrintError(QStringLiteral("cannot write %1: %2").arg(target_, error));
            *status = kExitFailure;
            return false;
        }
        stopSignals_.onStop = [this](int signalNumber) {
            job_.cancel();
            interrupted_ = signalNumber;
        };
        stopSignals_.install();
        connect(&poll_, &QTimer::timeout, this, [this] { look(); });
        poll_.start(kProgressIntervalMs);
        return true;
    }

private:
    void look()
    {
        if (progress_.onTerminal()) progress_.show(Bar(job_.rowsDone(), job_.rowCount()));
        if (!job_.isFinished() && !interrupted_) return;
        poll_.stop();
        QString error;
        const ExportOutcome outcome = job_.wait(&error);
        if (outcome == ExportOutcome::Done && !interrupted_ && job_.commit(&error)) {
            if (progress_.onTerminal()) progress_.show(Bar(job_.rowCount(), job_.rowCount()));
            progress_.done();
            if (staging_ && !CopyFileToStandardOutput(staging_->filePath(QStringLiteral("export")), &error)) {
                PrintError(error);
                QCoreApplication::exit(kExitFailure);
                return;
            }
            if (!quiet_) PrintErr(QStringLiteral("%1 rows written to %2\n").arg(job_.rowCount()).arg(target_));
            QCoreApplication::exit(kExitOk);
            return;
        }
        progress_.done();
        if (interrupted_ || outcome == ExportOutcome::Cancelled) {
            PrintError(QStringLiteral("export stopped; %1 was not written").arg(target_));
            QCoreApplication::exit(SignalExitStatus(interrupted_ ? interrupted_ : 2));
            return;
        }
        PrintError(QStringLiteral("cannot write %1: %2").arg(target_, error));
        QCoreApplication::exit(kExitFailure);
    }

    std::unique_ptr<QTemporaryDir> staging_;
    ExportJob job_;
    QString target_;
    bool quiet_ = false;
    StopSignals stopSignals_;
    ProgressLine progress_;
    QTimer poll_;
    int interrupted_ = 0;  // the signal that stopped the export
};

} // namespace

CommandDescription ExportDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("export");
    about.synopsis = QStringLiteral("FILE.vqr -o OUT [-f csv|xlsx] [-q]");
    about.summary = QStringLiteral("export a record file to a spreadsheet or CSV file");
    about.description = QStringLiteral(
        "Writes the record to a spreadsheet with the record window's exporters: one row per sample, its time "
        "first, then the six channels under the header \"Recording time\", \"CH1:Voltage\" and so on. The "
        "spreadsheet's times are texts in the system's date and time format, the CSV file's ISO 8601 local "
        "times; values are written as recorded, as the shortest decimal that reads back as the recorded float32. "
        "The CSV file is made for spreadsheets: UTF-8 with a byte-order mark, CRLF line ends; a value that is "
        "not a number is left empty and infinity is written inf or -inf, as in the CSV of measure.\n\n"
        "The format is -f, or else the ending of OUT (.xlsx or .csv); -o - writes to standard output (csv by "
        "default). The older forms --csv OUT and --xlsx OUT still work.\n\n"
        "The output is written under a temporary name beside it and put in place only when it is complete: "
        "an export that fails or is stopped with Ctrl-C leaves an existing file as it was (status 2, or 128 + "
        "the signal's number). On a terminal a progress bar shows the rows written, and a last line on standard "
        "error how many; -q leaves them out. A damaged record file is exported as far as it can be read, with a "
        "warning saying what was wrong.");
    about.positionals = {{QStringLiteral("FILE.vqr"), QStringLiteral("the record file to export")}};
    about.options = {
        OutputOption(QStringLiteral("the file to write, - for standard output"), QStringLiteral("OUT")),
        FormatOption(QStringLiteral("csv or xlsx; default: by the ending of OUT, csv for standard output")),
        QCommandLineOption(QStringLiteral("csv"), QStringLiteral("the same as -o OUT -f csv"), QStringLiteral("OUT")),
        QCommandLineOption(QStringLiteral("xlsx"), QStringLiteral("the same as -o OUT -f xlsx"), QStringLiteral("OUT")),
        QuietOption(),
    };
    about.examples = {
        QStringLiteral("qzr6100-cli export night.vqr -o night.xlsx"),
        QStringLiteral("qzr6100-cli export night.vqr -o - | tail -n +2 | cut -d, -f1,2"),
        QStringLiteral("for f in *.vqr; do qzr6100-cli export \"$f\" -o \"${f%.vqr}.csv\"; done"),
    };
    return about;
}

int RunExport(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1) return UsageError(about, QStringLiteral("name one record file to export"));

    // -o with -f or the file's ending; the older --csv OUT and --xlsx OUT.
    QStringList targets;
    QString format = parser.value(QStringLiteral("format")).trimmed().toLower();
    for (const char* old : {"csv", "xlsx"}) {
        if (!parser.isSet(QString::fromLatin1(old))) continue;
        targets << parser.value(QString::fromLatin1(old));
        if (!format.isEmpty() && format != QString::fromLatin1(old))
            return UsageError(about, QStringLiteral("--%1 and -f %2 say different formats").arg(QString::fromLatin1(old), format));
        format = QString::fromLatin1(old);
    }
    if (parser.isSet(QStringLiteral("output"))) targets << OutputPath(parser);
    if (targets.size() != 1 || targets.first().isEmpty())
        return UsageError(about, QStringLiteral("name one file to write with -o OUT (- for standard output)"));
    const QString target = targets.first();
    if (format.isEmpty()) {
        const QString suffix = QFileInfo(target).suffix().toLower();
        format = IsStandardOutput(target) || suffix == QStringLiteral("csv") ? QStringLiteral("csv") : suffix;
    }
    if (format != QStringLiteral("csv") && format != QStringLiteral("xlsx"))
        return UsageError(about, QStringLiteral("say -f csv or -f xlsx (the ending of %1 does not tell)").arg(target));

    std::unique_ptr<QTemporaryDir> staging;
    if (IsStandardOutput(target)) {
        staging = std::make_unique<QTemporaryDir>();
        if (!staging->isValid()) {
            PrintError(QStringLiteral("no temporary folder for the export: %1").arg(staging->errorString()));
            return kExitFailure;
        }
    }

    OpenedRecordFile opened;
    QString error;
    if (!OpenRecordFileForReading(files.first(), &opened, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    if (!opened.damage.isEmpty()) PrintError(opened.damage);

    ExportCommand command(opened.exportSource(), target,
                          format == QStringLiteral("csv") ? ExportFormat::Csv : ExportFormat::Xlsx, IsQuiet(parser),
                          std::move(staging));
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
