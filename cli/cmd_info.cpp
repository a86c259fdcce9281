// info: what a test file or a record file holds, and what is wrong with a
// damaged one.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "json_text.h"
#include "readout_output.h"
#include "record_file_source.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"
#include "acquisition/test_file.h"
#include "display/number_format.h"
#include "recording/ole_date.h"
#include "recording/record_file.h"
#include "recording/record_settings.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

QString Row(const QString& name, const QString& value) { return name.leftJustified(14) + value + u'\n'; }

QString StampText(double oleDate)
{
    const QDateTime when = LocalFromOleDate(oleDate);
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QStringLiteral("no time");
}

QString Number(double value) { return FormatGeneral(RoundDecimals(value, 3)); }

QByteArray JsonStamp(double oleDate)
{
    const QDateTime when = LocalFromOleDate(oleDate);
    return when.isValid() ? '"' + TimeWithOffset(when) + '"' : QByteArray("null");
}

// A channel's smallest, largest and mean value over the samples that are
// numbers; a sample that is not one (or infinite) says nothing about them.
struct ChannelStatistics {
    int numbers = 0;  // samples counted
    float low = 0, high = 0;
    double mean = 0;
};

ChannelStatistics StatisticsOf(const float* values, int length)
{
    ChannelStatistics s;
    double sum = 0;
    for (int i = 0; i < length; ++i) {
        const float v = values[i];
        if (!std::isfinite(v)) continue;
        if (s.numbers == 0 || v < s.low) s.low = v;
        if (s.numbers == 0 || v > s.high) s.high = v;
        sum += v;
        ++s.numbers;
    }
    if (s.numbers > 0) s.mean = sum / s.numbers;
    return s;
}

int TestFileInfo(const QString& path, PrintFormat format)
{
    TestRecordImage record{};
    QString error;
    if (!LoadTestFile(path, record, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    const qint64 size = QFileInfo(path).size();
    if (format == PrintFormat::Json) {
        // The test as measure -f json writes a measurement, timed by the
        // file's last change (when it was saved).
        const QDateTime saved = QFileInfo(path).lastModified();
        WriteOut(JsonObject({{"file", JsonString(path)},
                             {"kind", "\"test\""},
                             {"size", QByteArray::number(size)},
                             {"measurement", MeasurementJson(saved, record)}}) +
                 '\n');
        return kExitOk;
    }
    QString text = Row(QStringLiteral("Test file"), path);
    text += Row(QStringLiteral("Size"), size > kTestRecordSize
                                            ? QStringLiteral("%1 bytes; those after the first %2 are not part of the test")
                                                  .arg(size)
                                                  .arg(kTestRecordSize)
                                            : QStringLiteral("%1 bytes").arg(size));
    text += Row(QStringLiteral("Waveforms"), QStringLiteral("%1 samples each").arg(record.SampleCount.get()));
    // The readouts as the main window shows them, without a time of their own.
    PrintOut(text + QStringLiteral("Readouts\n") + ReadoutText(record));
    return kExitOk;
}

int RecordFileInfo(const QString& path, PrintFormat format)
{
    OpenedRecordFile opened;
    QString error;
    if (!OpenRecordFileForReading(path, &opened, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    const ViewedRecord& record = *opened.record;
    const int length = record.length();
    const qint64 size = QFileInfo(path).size();
    const std::array<QString, kRecordChannelCount> labels = opened.channelLabels();

    const qint64 blocks = size / kRecordBlockSize;
    const int step = record.samplingStep;
    if (format == PrintFormat::Json) {
        QList<QByteArray> channels;
        for (int k = 0; k < kRecordChannelCount; ++k) {
            const ChannelStatistics s = StatisticsOf(record.data.channel(k), length);
            const bool any = s.numbers > 0;
            channels << JsonObject({{"channel", QByteArray::number(k + 1)},
                                    {"code", QByteArray::number(record.channelCodes[size_t(k)])},
                                    {"quantity", JsonString(labels[size_t(k)])},
                                    {"numbers", QByteArray::number(s.numbers)},
                                    {"min", any ? JsonFloat(s.low) : "null"},
                                    {"max", any ? JsonFloat(s.high) : "null"},
                                    {"mean", any ? JsonFloat(float(s.mean)) : "null"}});
        }
        WriteOut(JsonObject({{"file", JsonString(path)},
                             {"kind", "\"record\""},
                             {"size", QByteArray::number(size)},
                             {"blocks", QByteArray::number(blocks)},
                             {"step", IsValidSamplingStep(step) ? QByteArray::number(SamplingIntervalMs(step) / 1000)
                                                                : QByteArray("null")},
                             {"length", QByteArray::number(length)},
                             {"first", length > 0 ? JsonStamp(record.data.times()[0]) : "null"},
                             {"last", length > 0 ? JsonStamp(record.data.times()[length - 1]) : "null"},
                             {"channels", JsonArrayOf(channels)},
                             {"damage", opened.damage.isEmpty() ? QByteArray("null") : JsonString(opened.damage)}}) +
                 '\n');
        if (opened.damage.isEmpty()) return kExitOk;
        PrintError(opened.damage);
        return kExitFailure;
    }
    QString text = Row(QStringLiteral("Record file"), path);
    text += Row(QStringLiteral("Size"), QStringLiteral("%1 bytes, %2 whole %3 of %4 bytes")
                                            .arg(size)
                                            .arg(blocks)
                                            .arg(blocks == 1 ? QStringLiteral("block") : QStringLiteral("blocks"))
                                            .arg(kRecordBlockSize));
    text += Row(QStringLiteral("Step"), IsValidSamplingStep(step)
                                            ? QStringLiteral("%1 s").arg(SamplingIntervalMs(step) / 1000)
                                            : QStringLiteral("unknown (index %1)").arg(step));
    text += Row(QStringLiteral("Length"), QStringLiteral("%1 samples").arg(length));
    text += Row(QStringLiteral("First sample"), length > 0 ? StampText(record.data.times()[0]) : QStringLiteral("none"));
    text += Row(QStringLiteral("Last sample"),
                length > 0 ? StampText(record.data.times()[length - 1]) : QStringLiteral("none"));
    for (int k = 0; k < kRecordChannelCount; ++k) {
        QString channel = labels[size_t(k)];
        const ChannelStatistics s = StatisticsOf(record.data.channel(k), length);
        if (s.numbers > 0) {
            channel = channel.leftJustified(16) +
                      QStringLiteral("min %1  max %2  mean %3").arg(Number(s.low), Number(s.high), Number(s.mean));
            if (s.numbers < length)
                channel += QStringLiteral("  (%1 of %2 samples not a number)").arg(length - s.numbers).arg(length);
        } else if (length > 0) {
            channel = channel.leftJustified(16) + QStringLiteral("no sample is a number");
        }
        text += Row(QStringLiteral("CH%1").arg(k + 1), channel);
    }
    text += Row(QStringLiteral("Damage"), opened.damage.isEmpty() ? QStringLiteral("none") : opened.damage);
    PrintOut(text);
    if (opened.damage.isEmpty()) return kExitOk;
    PrintError(opened.damage);
    return kExitFailure;
}

} // namespace

CommandDescription InfoDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("info");
    about.synopsis = QStringLiteral("FILE.vqm | FILE.vqr [-f text|json]");
    about.summary = QStringLiteral("show what a test file or record file holds");
    about.description = QStringLiteral(
        "For a test file (.vqm): its readouts as the main window shows them. For a record file (.vqr): the "
        "quantity of each channel with its smallest, largest and mean value, the sampling step, the length, "
        "and the times of the first and last sample. Samples that are not numbers (or infinite) are left out of the "
        "smallest, largest and mean value, and counted.\n\n"
        "-f json prints one JSON object: for a test file its measurement in the form of measure -f json, timed by "
        "the file's last change; for a record file file, size, blocks, step (seconds), length, first and last "
        "(times with their UTC offset), channels (channel, code, quantity, numbers counted, min, max, mean; null "
        "when no sample is a number) and damage (null for a sound file).\n\n"
        "A damaged record file (a torn last block, a length its blocks do not hold, more blocks than a record "
        "can have) is described as far as it can be read, with what was wrong, and the status is 2; so is a "
        "file that cannot be read at all.");
    about.positionals = {{QStringLiteral("FILE"), QStringLiteral("a test file (.vqm) or a record file (.vqr)")}};
    about.options = {FormatOption(QStringLiteral("text (default) or json"))};
    about.examples = {QStringLiteral("qzr6100-cli info night.vqr"),
                      QStringLiteral("qzr6100-cli info night.vqr -f json | jq '.channels[0].mean'")};
    return about;
}

int RunInfo(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1) return UsageError(about, QStringLiteral("name one test file or record file"));
    PrintFormat format = PrintFormat::Text;
    QString error;
    if (!ReadPrintFormat(parser, &format, &error)) return UsageError(about, error);
    const QString path = files.first();
    if (path.endsWith(QStringLiteral(".vqm"), Qt::CaseInsensitive)) return TestFileInfo(path, format);
    if (path.endsWith(QStringLiteral(".vqr"), Qt::CaseInsensitive)) return RecordFileInfo(path, format);
    return UsageError(about, QStringLiteral("%1 is neither a test file (.vqm) nor a record file (.vqr)").arg(path));
}
