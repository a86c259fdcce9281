// export: a record file to a spreadsheet (.xlsx) or CSV file, by the record
// window's exporters on a worker thread, with a progress bar on a terminal.
// The output appears only when it is complete.

#include "cli_common.h"
#include "commands.h"
#include "progress_line.h"
#include "record_file_source.h"
#include "stop_signals.h"

#include "recording/export_job.h"

#include <QCoreApplication>
#include <QTimer>

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
    ExportCommand(const ExportSource& source, const QString& target, ExportFormat format)
        : job_(source, target, format), target_(target)
    {
    }

    bool begin(int* status)
    {
        QString error;
        if (!job_.start(&error)) {
            PrintError(QStringLiteral("cannot write %1: %2").arg(target_, error));
            *status = kExitFailure;
            return false;
        }
        stopSignals_.onStop = [this](int) {
            job_.cancel();
            interrupted_ = true;
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
            PrintOut(QStringLiteral("%1 rows written to %2\n").arg(job_.rowCount()).arg(target_));
            QCoreApplication::exit(kExitOk);
            return;
        }
        progress_.done();
        if (interrupted_ || outcome == ExportOutcome::Cancelled) {
            PrintError(QStringLiteral("export stopped; %1 was not written").arg(target_));
            QCoreApplication::exit(kExitInterrupted);
            return;
        }
        PrintError(QStringLiteral("cannot write %1: %2").arg(target_, error));
        QCoreApplication::exit(kExitFailure);
    }

    ExportJob job_;
    QString target_;
    StopSignals stopSignals_;
    ProgressLine progress_;
    QTimer poll_;
    bool interrupted_ = false;
};

} // namespace

CommandDescription ExportDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("export");
    about.synopsis = QStringLiteral("FILE.vqr (--csv OUT | --xlsx OUT)");
    about.summary = QStringLiteral("export a record file to a spreadsheet or CSV file");
    about.description = QStringLiteral(
        "Writes the record to a spreadsheet with the record window's exporters: one row per sample, its time "
        "first, then the six channels under the header \"Recording time\", \"CH1:Voltage\" and so on. The "
        "spreadsheet's times are texts in the system's date and time format, the CSV file's ISO 8601 local "
        "times; values are written as recorded.\n\n"
        "The output is written under a temporary name beside it and put in place only when it is complete: "
        "an export that fails or is stopped with Ctrl-C leaves an existing file as it was (status 2 or 130). "
        "On a terminal a progress bar shows the rows written. A damaged record file is exported as far as it "
        "can be read, with a warning saying what was wrong.");
    about.positionals = {{QStringLiteral("FILE.vqr"), QStringLiteral("the record file to export")}};
    about.options = {
        QCommandLineOption(QStringLiteral("csv"), QStringLiteral("write a CSV file (UTF-8, comma separated)"),
                           QStringLiteral("OUT")),
        QCommandLineOption(QStringLiteral("xlsx"), QStringLiteral("write a spreadsheet workbook"),
                           QStringLiteral("OUT")),
    };
    about.examples = {
        QStringLiteral("qzr6100-cli export night.vqr --xlsx night.xlsx"),
        QStringLiteral("for f in *.vqr; do qzr6100-cli export \"$f\" --csv \"${f%.vqr}.csv\"; done"),
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
    const bool csv = parser.isSet(QStringLiteral("csv"));
    const bool xlsx = parser.isSet(QStringLiteral("xlsx"));
    if (csv == xlsx) return UsageError(about, QStringLiteral("give either --csv OUT or --xlsx OUT"));
    const QString target = parser.value(csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));

    OpenedRecordFile opened;
    QString error;
    if (!OpenRecordFileForReading(files.first(), &opened, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    if (!opened.damage.isEmpty()) PrintError(opened.damage);

    ExportCommand command(opened.exportSource(), target, csv ? ExportFormat::Csv : ExportFormat::Xlsx);
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
