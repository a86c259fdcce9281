// qzr6100-cli record --simulate at a 1 s step for ten minutes (or as many
// seconds as given), then the record file read back with the record
// window's reader: every sample the command reports is in the file, none
// twice, one second apart.
//
//   bench_cli_record [seconds]   (default 600)

#include "cli_bench_process.h"

#include "recording/record_arrays.h"
#include "recording/record_reader.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, QString::fromLocal8Bit(argv[1]).toInt()) : 600;
    QTemporaryDir scratch;
    const QString file = scratch.filePath(QStringLiteral("soak.vqr"));
    const QStringList arguments{QStringLiteral("record"),      QStringLiteral("--simulate"),
                                QStringLiteral("--out"),       file,
                                QStringLiteral("--channels"),  QStringLiteral("Voltage,Current,Power,Frequency,PowerFactor,UTHD"),
                                QStringLiteral("--step"),      QStringLiteral("1"),
                                QStringLiteral("--save-step"), QStringLiteral("10"),
                                QStringLiteral("--duration"),  QString::number(seconds),
                                QStringLiteral("--settings"),  scratch.filePath(QStringLiteral("SysSet.ini"))};
    std::printf("%s %s\n", qPrintable(clibench::CliBinary()), qPrintable(arguments.join(u' ')));
    const clibench::Run run = clibench::RunCli(arguments, (seconds + 120) * 1000);
    const QRegularExpressionMatch reported =
        QRegularExpression(QStringLiteral("^(\\d+) samples recorded")).match(QString::fromUtf8(run.out));
    if (run.status != 0 || !reported.hasMatch()) {
        std::printf("record failed: status %d\n%s%s", run.status, run.out.constData(), run.err.constData());
        return 1;
    }
    const int samples = reported.captured(1).toInt();

    auto record = std::make_unique<ViewedRecord>();
    const RecordOpenResult opened = OpenRecordFile(file, *record);
    if (!opened.loaded) {
        std::printf("the record file does not open: %s\n", qPrintable(opened.message));
        return 1;
    }
    double shortest = 1e9, longest = 0;
    int gaps = 0;
    for (int i = 1; i < record->length(); ++i) {
        const double step = (record->data.times()[i] - record->data.times()[i - 1]) * 86400.0;
        shortest = std::min(shortest, step);
        longest = std::max(longest, step);
        if (step > 1.5 || step < 0.5) ++gaps;
    }
    const double span = (record->data.times()[record->lastIndex] - record->data.times()[0]) * 86400.0;
    std::printf("command: %.1f s, reported %d samples; file: %d samples over %.1f s (expected about %d), "
                "steps %.3f .. %.3f s, %d outside 0.5 .. 1.5 s, damage: %s\n",
                run.seconds, samples, record->length(), span, seconds, shortest, longest, gaps,
                opened.message.isEmpty() ? "none" : qPrintable(opened.message));
    const bool whole = record->length() == samples && gaps == 0 && samples >= seconds - 2;
    std::printf("every sample in the file: %s\n", whole ? "yes" : "NO");
    return whole ? 0 : 1;
}
