// measure: single measurements of the bulk image (register 148), each asked
// for as the main window's single sampling does, repeated by its re-read
// rule, printed as it comes.

#include "cli_common.h"
#include "commands.h"
#include "instrument_command.h"
#include "readout_output.h"

#include "acquisition/sampling_controller.h"
#include "acquisition/test_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

namespace {

class MeasureCommand : public InstrumentCommand {
public:
    struct Settings {
        int count = 1;           // 0: until stopped
        int intervalMs = 0;      // from one request to the next; 0: back to back
        OutputFormat format = OutputFormat::Text;
        bool harmonics = false;
        QString savePath;        // test file of the last measurement
    };

    MeasureCommand(const LinkOptions& linkOptions, const Settings& settings)
        : InstrumentCommand(linkOptions), settings_(settings)
    {
    }

    // False with the exit status when there is nothing to wait for.
    bool begin(int* status)
    {
        // Stopping a measurement without end after it took some is its way to end.
        if (!openLink(status, [this] { end(settings_.count == 0 && taken_ > 0 ? kExitOk : kExitInterrupted); }))
            return false;
        QObject::connect(&link_.sampling(), &SamplingController::measurementHandled, this,
                         [this] { measurementTaken(); });
        PrintOut(ReadoutHeader(settings_.format, settings_.harmonics));
        QTimer::singleShot(0, this, [this] { requestNext(); });
        return true;
    }

private:
    void requestNext()
    {
        if (ended()) return;
        // The link sends it when the line is free (after a keep-alive's answer).
        sinceRequest_.start();
        link_.sampling().startSingle();
        watch_.arm();
    }

    void measurementTaken()
    {
        if (ended() || !watch_.armed()) return;  // a measurement nobody here asked for
        watch_.disarm();
        ++taken_;
        PrintOut(ReadoutEntry(settings_.format, taken_, QDateTime::currentDateTime(), link_.state().TestRecord,
                              settings_.harmonics));
        if (settings_.count > 0 && taken_ >= settings_.count) {
            // Out of the reply handler first; it is still on the stack.
            QTimer::singleShot(0, this, [this] { end(kExitOk); });
            return;
        }
        const qint64 wait = std::max<qint64>(0, settings_.intervalMs - sinceRequest_.elapsed());
        QTimer::singleShot(int(wait), this, [this] { requestNext(); });
    }

    int ending(int status) override
    {
        link_.sampling().stop();
        if (!settings_.savePath.isEmpty()) {
            QString error;
            if (taken_ == 0) {
                if (status == kExitOk) status = kExitFailure;
            } else if (!SaveTestFile(settings_.savePath, link_.state().TestRecord, &error)) {
                PrintError(error);
                status = kExitFailure;
            }
        }
        return status;
    }

    Settings settings_;
    QElapsedTimer sinceRequest_;
    int taken_ = 0;
};

} // namespace

CommandDescription MeasureDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("measure");
    about.synopsis = QStringLiteral("[--port P | --simulate] [--count N] [--interval S] [--format text|csv|json] "
                                   "[--harmonics] [--save FILE.vqm]");
    about.summary = QStringLiteral("take measurements and print the fifteen readouts");
    about.description = QStringLiteral(
        "Takes N single measurements, each a read of the measurement image as the desktop program's single "
        "sampling does it (a missing or damaged answer is asked for again by the program's rules), and prints "
        "the fifteen readouts with the program's number rule and the time each was taken.\n\n"
        "text lays each measurement out like the main window's readouts; csv writes a header row and one row per "
        "measurement, numbers without units (the header names them); json writes one object per line. "
        "--harmonics adds the harmonic table: RMS value and share of the fundamental of orders 0 to 50, for "
        "voltage and current.\n\n"
        "When nothing usable comes back for 8 s (the request repeated meanwhile by the program's rules), the "
        "command stops with status 2.");
    about.options = {
        QCommandLineOption(QStringLiteral("count"),
                           QStringLiteral("measurements to take (default 1); 0 measures until Ctrl-C"),
                           QStringLiteral("N")),
        QCommandLineOption(QStringLiteral("interval"),
                           QStringLiteral("seconds from one request to the next (default 0: each as soon as the "
                                          "last is in)"),
                           QStringLiteral("S")),
        QCommandLineOption(QStringLiteral("format"), QStringLiteral("text (default), csv or json"),
                           QStringLiteral("F")),
        QCommandLineOption(QStringLiteral("harmonics"), QStringLiteral("add the harmonic table")),
        QCommandLineOption(QStringLiteral("save"),
                           QStringLiteral("save the last measurement as a test file, as the desktop program's "
                                          "File / Save does"),
                           QStringLiteral("FILE.vqm")),
    };
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli measure --simulate"),
        QStringLiteral("qzr6100-cli measure --port /dev/ttyUSB0 --count 60 --interval 1 --format csv > load.csv"),
        QStringLiteral("qzr6100-cli measure --count 0 --interval 5 --format json | jq .ActivePower"),
    };
    return about;
}

int RunMeasure(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    LinkOptions link;
    int status = kExitOk;
    if (!ParseInstrumentCommand(parser, about, arguments, &link, &status)) return status;
    if (parser.positionalArguments().size() > 1)
        return UsageError(about, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().at(1)));

    MeasureCommand::Settings settings;
    if (parser.isSet(QStringLiteral("count"))) {
        const std::optional<int> count = ParseWholeNumber(parser.value(QStringLiteral("count")), 0, 100000000);
        if (!count) return UsageError(about, QStringLiteral("--count wants a whole number of 0 or more"));
        settings.count = *count;
    }
    if (parser.isSet(QStringLiteral("interval"))) {
        const std::optional<double> seconds = ParseDurationSeconds(parser.value(QStringLiteral("interval")));
        if (!seconds || *seconds > 86400)
            return UsageError(about, QStringLiteral("--interval wants seconds from 0 to 86400"));
        settings.intervalMs = int(*seconds * 1000);
    }
    if (parser.isSet(QStringLiteral("format")) &&
        !ParseOutputFormat(parser.value(QStringLiteral("format")), &settings.format))
        return UsageError(about, QStringLiteral("--format wants text, csv or json"));
    settings.harmonics = parser.isSet(QStringLiteral("harmonics"));
    settings.savePath = parser.value(QStringLiteral("save"));

    MeasureCommand command(link, settings);
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
