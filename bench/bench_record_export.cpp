// Exports a full record (450000 samples on six channels) to .xlsx and to
// CSV and prints the time each takes and the file sizes. Targets on the
// development machine: xlsx under 10 s, CSV under 2 s.
//
//   bench_record_export [folder]   (default: the system's temporary folder)

#include "recording/export_job.h"
#include "recording/ole_date.h"
#include "recording/record_export.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSamples = 450000;

struct Record {
    std::vector<float> values[kExportChannelCount];
    std::vector<double> times;
    ExportSource source;
};

// Values like those of a real recording: a mains voltage and current with
// noise, powers, the frequency and a temperature channel that stays 0.
void Fill(Record& r)
{
    const double start = OleDateFromLocal(QDateTime(QDate(2026, 12, 9), QTime(0, 12, 11, 123)));
    r.times.resize(kSamples);
    for (auto& v : r.values) v.resize(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        const double wobble = std::sin(i * 0.001) + 0.37 * std::sin(i * 0.0173);
        r.times[size_t(i)] = start + i * 3.0 / 86400.0;  // 3 s step
        r.values[0][size_t(i)] = float(230.0 + 2.5 * wobble);
        r.values[1][size_t(i)] = float(4.2 + 0.3 * wobble);
        r.values[2][size_t(i)] = float(r.values[0][size_t(i)] * r.values[1][size_t(i)] * 0.93);
        r.values[3][size_t(i)] = float(r.values[0][size_t(i)] * r.values[1][size_t(i)]);
        r.values[4][size_t(i)] = 0.0f;
        r.values[5][size_t(i)] = float(50.0 + 0.02 * wobble);
    }
    for (int c = 0; c < kExportChannelCount; ++c) r.source.channels[size_t(c)] = r.values[c].data();
    r.source.times = r.times.data();
    r.source.count = kSamples;
    r.source.headers = ExportHeaders(
        {QStringLiteral("Voltage"), QStringLiteral("Current"), QStringLiteral("Power"),
         QStringLiteral("Apparent power"), QStringLiteral("Temperature 1"), QStringLiteral("Frequency")});
}

void Report(const char* what, const QString& path, double seconds, double rowsSeconds, const char* target)
{
    std::printf("%-24s %7.3f s (rows %6.3f s, finishing %6.3f s)  %10lld bytes   target %s\n", what, seconds,
                rowsSeconds, seconds - rowsSeconds, QFileInfo(path).size(), target);
}

template <typename Export>
void Measure(const char* what, const QString& path, const char* target, Export exportTo)
{
    std::atomic<bool> cancel{false};
    QString error;
    QElapsedTimer timer;
    double rowsSeconds = 0;
    timer.start();
    const ExportProgress progress = [&](int rows) {
        if (rows == kSamples) rowsSeconds = double(timer.nsecsElapsed()) * 1e-9;
    };
    const ExportOutcome outcome = exportTo(path, progress, cancel, &error);
    const double seconds = double(timer.nsecsElapsed()) * 1e-9;
    if (outcome != ExportOutcome::Done) {
        std::printf("%s failed: %s\n", what, qPrintable(error));
        return;
    }
    Report(what, path, seconds, rowsSeconds, target);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/bench-export-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/bench-export-XXXXXX"));
    if (!scratch.isValid()) {
        std::printf("cannot create a scratch folder\n");
        return 1;
    }
    Record record;
    Fill(record);
    std::printf("%d samples x %d channels, locale %s\n", kSamples, kExportChannelCount,
                qPrintable(QLocale::system().name()));

    Measure("xlsx (ExportXlsx)", scratch.filePath("record.xlsx"), "< 10 s",
            [&](const QString& path, const ExportProgress& progress, const std::atomic<bool>& cancel, QString* error) {
                return ExportXlsx(record.source, path, progress, cancel, error);
            });
    Measure("csv (ExportCsv)", scratch.filePath("record.csv"), "< 2 s",
            [&](const QString& path, const ExportProgress& progress, const std::atomic<bool>& cancel, QString* error) {
                return ExportCsv(record.source, path, progress, cancel, error);
            });

    // The whole job as the record window runs it: copy, worker thread,
    // temporary file, sync to disk, rename.
    for (const ExportFormat format : {ExportFormat::Xlsx, ExportFormat::Csv}) {
        const bool xlsx = format == ExportFormat::Xlsx;
        const QString target = scratch.filePath(xlsx ? "job.xlsx" : "job.csv");
        QElapsedTimer timer;
        timer.start();
        ExportJob job(record.source, target, format);
        const double copySeconds = double(timer.nsecsElapsed()) * 1e-9;
        QString error;
        if (!job.start(&error) || job.wait(&error) != ExportOutcome::Done || !job.commit(&error)) {
            std::printf("job failed: %s\n", qPrintable(error));
            continue;
        }
        const double seconds = double(timer.nsecsElapsed()) * 1e-9;
        std::printf("%-24s %7.3f s (copy %6.3f s)                     %10lld bytes   target %s\n",
                    xlsx ? "xlsx job (copy..rename)" : "csv job (copy..rename)", seconds, copySeconds,
                    QFileInfo(target).size(), xlsx ? "< 10 s" : "< 2 s");
    }
    return 0;
}
