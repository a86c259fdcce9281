// record: continuous sampling into a record file, by the desktop program's
// own recorder: the same blocks, counts, codes, step and time stamps, saved
// at the save step and once more when the recording stops.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "instrument_command.h"
#include "progress_line.h"

#include "acquisition/sampling_controller.h"
#include "display/number_format.h"
#include "recording/ole_date.h"
#include "recording/record_settings.h"
#include "recording/record_window_view.h"
#include "recording/record_writer.h"
#include "recording/recorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <array>
#include <cmath>

namespace {

// Attempts, one second apart, to save what the last save left out before
// giving up on a file that cannot be written.
constexpr int kFinalSaveAttempts = 5;
constexpr int kFinalSaveRetryMs = 1000;
constexpr int kDurationCheckMs = 1000;

// The record window as the recorder sees it: nothing to show but the
// channel labels, and a call after every sample.
class ConsoleRecordView : public RecordWindowView {
public:
    void setControlEnabled(Control, bool) override {}
    void setStatusText(int, const QString&) override {}
    void setChannelLabel(int channel, const QString& text) override
    {
        if (channel >= 0 && channel < kRecordChannelCount) labels[size_t(channel)] = text;
    }
    void setGridTimerEnabled(bool) override {}
    void showLiveRecordFromStart() override {}
    void redrawTrendChart() override
    {
        if (onSample) onSample();
    }

    std::array<QString, kRecordChannelCount> labels;
    std::function<void()> onSample;
};

class RecordCommand : public InstrumentCommand {
public:
    struct Settings {
        QString outPath;
        RecordSettings record;
        double durationSeconds = 0;  // 0: until stopped
        bool overwrite = false;
        bool quiet = false;
    };

    RecordCommand(const LinkOptions& linkOptions, const Settings& settings)
        : InstrumentCommand(linkOptions), settings_(settings)
    {
        // Asked only when the file exists, which --overwrite allowed.
        notifier_.setAnswer(Notifier::Answer::Yes);
        recorder_ = std::make_unique<Recorder>(link_.state(), settings_.record, view_, notifier_);
        view_.onSample = [this] { sampleTaken(); };
        progress_.setQuiet(settings_.quiet);
    }

    bool begin(int* status)
    {
        // Over ssh without a terminal the progress goes into a pipe; when the
        // session is gone a write there must not end the recording unsaved.
        ::signal(SIGPIPE, SIG_IGN);
        if (!openLink(status, [this] { stopRequested(); })) return false;
        if (settings_.record.recordsTemperature()) PrintError(TemperatureInputMessage());
        QObject::connect(&link_.sampling(), &SamplingController::measurementHandled, this,
                         [this] { measurementTaken(); });
        // A silent instrument does not end a recording.
        watch_.onGiveUp = [this] { instrumentSilent(); };
        link_.sampling().startContinuous();
        watch_.arm();
        return true;
    }

private:
    void measurementTaken()
    {
        watch_.arm();
        if (silent_) {
            silent_ = false;
            progress_.done();
            if (!settings_.quiet) PrintError(QStringLiteral("the instrument on %1 answers again").arg(link_.portName()));
        }
        if (started_ || stopping_) return;
        started_ = true;
        // The file is made once the instrument has answered, so a wrong
        // port leaves no empty record behind.
        if (!recorder_->newRecordFile(settings_.outPath)) {
            end(kExitFailure);  // the recorder has said why
            return;
        }
        recorder_->start();
        clock_.start();
        QStringList channels;
        for (int k = 0; k < kRecordChannelCount; ++k)
            channels << QStringLiteral("CH%1 %2").arg(k + 1).arg(view_.labels[size_t(k)]);
        if (!settings_.quiet)
            PrintErr(QStringLiteral("Recording into %1 from %2: %3; a sample every %4 s, saved every %5 s. "
                                "Ctrl-C stops and saves.\n")
                     .arg(settings_.outPath, link_.portName(), channels.join(QStringLiteral(", ")))
                     .arg(settings_.record.samplingIntervalMs() / 1000)
                     .arg(settings_.record.saveIntervalMs() / 1000));
        if (settings_.durationSeconds > 0) {
            // The recording normally ends with the sample due at its end
            // (sampleTaken); this catches the end when no sample is due then.
            // Looked at every second: a timer's own interval would not reach
            // a recording of weeks.
            connect(&durationTimer_, &QTimer::timeout, this, [this] {
                if (clock_.elapsed() >= durationMs() + settings_.record.samplingIntervalMs() / 2) stopRequested();
            });
            durationTimer_.setTimerType(Qt::PreciseTimer);
            durationTimer_.start(kDurationCheckMs);
        }
    }

    void sampleTaken()
    {
        const LiveRecord& live = recorder_->liveRecord();
        progress_.show(progressText(), live.count == 1);
        // A sampling tick may come a little early or late; the sample due
        // at the end of the duration is the last one (60 s at 1 s: 60).
        const bool durationOver = settings_.durationSeconds > 0 &&
                                  clock_.elapsed() >= durationMs() - settings_.record.samplingIntervalMs() / 2;
        if (recorder_->state() == Recorder::State::Full || durationOver) stopRequested();
    }

    qint64 durationMs() const { return qint64(settings_.durationSeconds * 1000); }

    QString progressText() const
    {
        const LiveRecord& live = recorder_->liveRecord();
        QString text = (live.count == 1 ? QStringLiteral("1 sample") : QStringLiteral("%1 samples").arg(live.count)) +
                       QStringLiteral(", ") + ElapsedText(clock_.elapsed());
        if (live.count > 0) {
            for (int k = 0; k < kRecordChannelCount; ++k) {
                // A quantity on several channels has the same value on each.
                const auto first = view_.labels.begin() + k;
                if (std::find(view_.labels.begin(), first, *first) != first) continue;
                const double value = live.data.channel(k)[live.count - 1];
                text += QStringLiteral(", %1 %2").arg(view_.labels[size_t(k)], FormatGeneral(RoundDecimals(value, 3)));
            }
        }
        if (silent_) text += QStringLiteral(" (no answer: last values repeated)");
        return text;
    }

    void instrumentSilent()
    {
        if (!started_) {
            PrintError(link_.noAnswerText());
            end(kExitFailure);
            return;
        }
        // A long recording rides out a pulled cable: the link is reopened
        // when the device comes back, and the recording goes on.
        if (!silent_) {
            silent_ = true;
            progress_.done();
            PrintError(link_.noAnswerText() + QStringLiteral("; recording goes on with the last values until it "
                                                             "answers again"));
        }
        watch_.arm();
    }

    void stopRequested()
    {
        if (stopping_) {
            // Asked again while the final save is still being tried: the
            // user wants out now. Nothing more is written; say what the
            // file lacks.
            if (retryTimer_.isActive()) abandonSaving();
            return;
        }
        stopping_ = true;
        watch_.disarm();
        durationTimer_.stop();
        if (!started_) {
            end(interruptedStatus());
            return;
        }
        recorder_->stop();  // the final save
        link_.sampling().stop();
        progress_.show(progressText(), true);
        progress_.done();
        if (!recorder_->saveTimer().isActive()) {
            end(kExitOk);
            return;
        }
        // The recorder has reported the failure and keeps the samples; try
        // a few more times before they are given up.
        connect(&retryTimer_, &QTimer::timeout, this, [this] {
            recorder_->saveTick();
            if (!recorder_->saveTimer().isActive()) {
                retryTimer_.stop();
                end(kExitOk);
            } else if (++saveAttempts_ >= kFinalSaveAttempts) {
                giveUpSaving();
            }
        });
        retryTimer_.start(kFinalSaveRetryMs);
    }

    void abandonSaving()
    {
        retryTimer_.stop();
        const LiveRecord& live = recorder_->liveRecord();
        const int saved = std::clamp<int>(recorder_->savedCount(), 0, live.count);
        if (saved >= live.count) {
            end(kExitOk);
            return;
        }
        const QString held = saved == 0 ? QStringLiteral("holds no sample")
                                        : QStringLiteral("holds samples 1 to %1").arg(saved);
        PrintError(QStringLiteral("stopped again while saving: %1 %2; samples %3 to %4 (%5 to %6) were not saved")
                       .arg(settings_.outPath, held)
                       .arg(saved + 1)
                       .arg(live.count)
                       .arg(StampText(live.data.times()[saved]), StampText(live.data.times()[live.count - 1])));
        end(interruptedStatus());
    }

    static QString StampText(double oleDate)
    {
        const QDateTime when = LocalFromOleDate(oleDate);
        return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QStringLiteral("no time");
    }

    void giveUpSaving()
    {
        retryTimer_.stop();
        // The samples exist only in memory now: they go into a new record
        // file beside the one that failed (or, when its folder is gone, in
        // the working or temporary folder) rather than be lost.
        const QFileInfo out(settings_.outPath);
        const QString name = out.completeBaseName() + QStringLiteral("-rescued-") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                             QStringLiteral(".vqr");
        QString reason;
        for (const QString& folder : {out.absolutePath(), QDir::currentPath(), QDir::tempPath()}) {
            const QString rescue = QDir(folder).filePath(name);
            RecordFileWriter writer;
            QString error;
            if (!writer.create(rescue, recorder_->liveRecordCodes(), settings_.record.samplingStep, &error)) {
                if (reason.isEmpty()) reason = error;
                continue;
            }
            const RecordFileWriter::SaveResult saved = writer.save(recorder_->liveRecord());
            if (!saved.ok) {
                if (reason.isEmpty()) reason = saved.error;
                QFile::remove(rescue);
                continue;
            }
            PrintError(QStringLiteral("%1 could not be brought up to date; all %2 samples were saved to %3 instead")
                           .arg(settings_.outPath)
                           .arg(recorder_->liveRecord().count)
                           .arg(rescue));
            end(kExitFailure);
            return;
        }
        PrintError(QStringLiteral("%1 could not be brought up to date, and no other file could be written (%2); "
                                  "the samples taken since its last good save are lost")
                       .arg(settings_.outPath, reason));
        end(kExitFailure);
    }

    int ending(int status) override
    {
        link_.sampling().stop();
        if (started_ && status == kExitOk && !settings_.quiet)
            PrintErr(QStringLiteral("%1 samples recorded in %2\n").arg(recorder_->liveRecord().count).arg(settings_.outPath));
        return status;
    }

    Settings settings_;
    ConsoleRecordView view_;
    std::unique_ptr<Recorder> recorder_;
    ProgressLine progress_;
    QElapsedTimer clock_;
    QTimer retryTimer_;
    QTimer durationTimer_;
    int saveAttempts_ = 0;
    bool started_ = false;
    bool silent_ = false;
    bool stopping_ = false;
};

// A channel's quantity by its name as the record window labels it ("Voltage",
// "Power Factor", "apparent-power"; case, blanks, dashes and underscores do
// not count) or by its code 0..12.
std::optional<int> QuantityByName(const QString& text)
{
    const auto squeeze = [](QString s) {
        return s.toLower().remove(u' ').remove(u'-').remove(u'_');
    };
    const QString wanted = squeeze(text);
    for (int code = 0; code < kQuantityCodeCount; ++code) {
        if (squeeze(QuantityLabelText(code)) == wanted) return code;
    }
    return ParseWholeNumber(text, 0, kQuantityCodeCount - 1);
}

QString QuantityNames()
{
    QStringList names;
    for (int code = 0; code < kQuantityCodeCount; ++code) names << QuantityLabelText(code);
    return names.join(QStringLiteral(", "));
}

std::optional<int> StepIndex(double seconds, int count, int (*intervalMs)(int))
{
    for (int i = 0; i < count; ++i) {
        if (std::abs(intervalMs(i) - seconds * 1000) < 0.5) return i;
    }
    return std::nullopt;
}

QString StepList(int count, int (*intervalMs)(int))
{
    QStringList steps;
    for (int i = 0; i < count; ++i) steps << QString::number(intervalMs(i) / 1000);
    return steps.join(QStringLiteral(", "));
}

} // namespace

CommandDescription RecordDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("record");
    about.synopsis = QStringLiteral("[-p PORT | --simulate] -o FILE.vqr [--channels Q1,Q2,...] [--step S] "
                                   "[--save-step S] [--duration T] [--overwrite] [-q]");
    about.summary = QStringLiteral("record up to six quantities into a record file");
    about.description = QStringLiteral(
        "Samples the instrument continuously and records six channels into a record file of the desktop "
        "program's format, which its record window opens. A sample is taken every --step seconds and the file "
        "is brought up to date every --save-step seconds and once more when the recording stops, so Ctrl-C, "
        "SIGTERM or SIGHUP (a closed terminal or ssh session) loses nothing, and the status is 0. A progress line "
        "on standard error shows the samples, the time and the last values, and a last line how many samples "
        "the file holds; -q leaves them out.\n\n"
        "A save that fails is reported with the file and the reason; the samples stay in memory and the next "
        "save tries again. At the end a file that still cannot be written is tried a few more times; then the "
        "samples go into a new file beside it (or in the working or temporary folder) named "
        "NAME-rescued-DATE-TIME.vqr, and the status is 2. A second Ctrl-C while the final save is still being "
        "tried gives up at once: the message says which samples the file lacks, and the status is 128 + the "
        "signal's number. A silent instrument before the first sample ends the command with "
        "status 2; later the recording goes on (repeating the last values, as the desktop program does) while "
        "the link is tried again.\n\n"
        "Channels not named keep the record settings of the desktop program (SysSet.ini), as do the steps when "
        "not given. A record holds at most 450000 samples; the recording stops there.");
    about.options = {
        OutputOption(QStringLiteral("the record file to write"), QStringLiteral("FILE.vqr"), {QStringLiteral("out")}),
        QCommandLineOption(QStringLiteral("channels"),
                           QStringLiteral("quantities of CH1, CH2, ..., separated by commas: %1").arg(QuantityNames()),
                           QStringLiteral("LIST")),
        QCommandLineOption(QStringLiteral("step"),
                           QStringLiteral("seconds between samples: %1")
                               .arg(StepList(kSamplingStepCount, SamplingIntervalMs)),
                           QStringLiteral("S")),
        QCommandLineOption(QStringLiteral("save-step"),
                           QStringLiteral("seconds between saves: %1").arg(StepList(kSaveStepCount, SaveIntervalMs)),
                           QStringLiteral("S")),
        QCommandLineOption(QStringLiteral("duration"),
                           QStringLiteral("stop after this long: seconds, or with s, m or h (\"90\", \"10m\", \"8h\"); "
                                          "default: until Ctrl-C or SIGTERM"),
                           QStringLiteral("T")),
        QCommandLineOption(QStringLiteral("overwrite"), QStringLiteral("replace FILE.vqr when it exists")),
        QuietOption(),
    };
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli record --simulate -o test.vqr --channels Voltage,Current,Power --step 1 "
                       "--duration 5m"),
        QStringLiteral("nohup qzr6100-cli record -p /dev/ttyUSB0 -o night.vqr --step 10 --save-step 60 "
                       "2> night.log &"),
    };
    return about;
}

int RunRecord(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    LinkOptions link;
    int status = kExitOk;
    if (!ParseInstrumentCommand(parser, about, arguments, &link, &status)) return status;
    if (parser.positionalArguments().size() > 1)
        return UsageError(about, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().at(1)));

    RecordCommand::Settings settings;
    settings.outPath = OutputPath(parser);
    if (settings.outPath.isEmpty()) return UsageError(about, QStringLiteral("-o names the record file to write"));
    // The file is brought up to date in place, block by block.
    if (IsStandardOutput(settings.outPath))
        return UsageError(about, QStringLiteral("a record file cannot go to standard output; -o names a file"));
    settings.quiet = IsQuiet(parser);
    settings.overwrite = parser.isSet(QStringLiteral("overwrite"));
    if (QFileInfo(settings.outPath).isDir())
        return UsageError(about, QStringLiteral("%1 is a folder, not a record file").arg(settings.outPath));
    if (QFileInfo::exists(settings.outPath) && !settings.overwrite)
        return UsageError(about, QStringLiteral("%1 exists; --overwrite replaces it").arg(settings.outPath));

    settings.record = LoadRecordSettings(SysSettings(link.settingsPath));
    if (parser.isSet(QStringLiteral("channels"))) {
        const QStringList names = parser.value(QStringLiteral("channels")).split(u',', Qt::SkipEmptyParts);
        if (names.isEmpty() || names.size() > kRecordChannelCount)
            return UsageError(about, QStringLiteral("--channels names one to six quantities"));
        for (int k = 0; k < names.size(); ++k) {
            const std::optional<int> code = QuantityByName(names[k]);
            if (!code)
                return UsageError(about, QStringLiteral("'%1' is no quantity; the quantities are %2")
                                            .arg(names[k].trimmed(), QuantityNames()));
            settings.record.channelCodes[size_t(k)] = *code;
        }
    }
    if (parser.isSet(QStringLiteral("step"))) {
        const std::optional<double> seconds = ParseNumber(parser.value(QStringLiteral("step")), 0, 1e6);
        const std::optional<int> index = seconds ? StepIndex(*seconds, kSamplingStepCount, SamplingIntervalMs) : std::nullopt;
        if (!index)
            return UsageError(about, QStringLiteral("--step wants one of %1 seconds")
                                        .arg(StepList(kSamplingStepCount, SamplingIntervalMs)));
        settings.record.samplingStep = *index;
    }
    if (parser.isSet(QStringLiteral("save-step"))) {
        const std::optional<double> seconds = ParseNumber(parser.value(QStringLiteral("save-step")), 0, 1e6);
        const std::optional<int> index = seconds ? StepIndex(*seconds, kSaveStepCount, SaveIntervalMs) : std::nullopt;
        if (!index)
            return UsageError(about, QStringLiteral("--save-step wants one of %1 seconds")
                                        .arg(StepList(kSaveStepCount, SaveIntervalMs)));
        settings.record.saveStep = *index;
    }
    if (parser.isSet(QStringLiteral("duration"))) {
        const std::optional<double> seconds = ParseDurationSeconds(parser.value(QStringLiteral("duration")));
        if (!seconds || *seconds <= 0)
            return UsageError(about, QStringLiteral("--duration wants a time such as 90, 10m or 8h"));
        settings.durationSeconds = *seconds;
    }

    RecordCommand command(link, settings);
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
