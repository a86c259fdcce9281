// measure: single measurements of the bulk image (register 148), each asked
// for as the main window's single sampling does, repeated by its re-read
// rule, printed as it comes.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "data_output.h"
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
        MeasurementParts parts;
        QString savePath;        // test file of the last measurement
        QString outputPath;      // "-" or empty: standard output
    };

    MeasureCommand(const LinkOptions& linkOptions, const Settings& settings)
        : InstrumentCommand(linkOptions), settings_(settings)
    {
    }

    // False with the exit status when there is nothing to wait for.
    bool begin(int* status)
    {
        // Stopping a measurement without end after it took some is its way to end.
        if (!openLink(status, [this] { end(settings_.count == 0 && taken_ > 0 ? kExitOk : interruptedStatus()); }))
            return false;
        QString error;
        if (!output_.open(settings_.outputPath, &error)) {
            PrintError(error);
            *status = kExitFailure;
            return false;
        }
        QObject::connect(&link_.sampling(), &SamplingController::measurementHandled, this,
                         [this] { measurementTaken(); });
        output_.write(ReadoutHeader(settings_.format, settings_.parts));
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
        const AcquisitionState& state = link_.state();
        if (!output_.write(ReadoutEntry(settings_.format, taken_, QDateTime::currentDateTime(), state.TestRecord,
                                        state.ReceivedRecord, settings_.parts, link_.portPath()))) {
            // A closed pipe (| head) or a full disk: nobody gets the rest.
            QTimer::singleShot(0, this, [this] { end(kExitFailure); });
            return;
        }
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
        QString error;
        if (!output_.close(&error)) {
            // Standard output closed by a reader that had enough is no fault.
            if (!output_.toStandardOutput()) PrintError(error);
            if (status == kExitOk && !output_.toStandardOutput()) status = kExitFailure;
        }
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
    DataOutput output_;
    QElapsedTimer sinceRequest_;
    int taken_ = 0;
};

} // namespace

CommandDescription MeasureDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("measure");
    about.synopsis = QStringLiteral("[-p PORT | --simulate] [-n N] [-i S] [-f text|csv|json|influx] [--harmonics] "
                                   "[--waveform] [-o FILE] [--save FILE.vqm]");
    about.summary = QStringLiteral("take measurements and print the fifteen readouts");
    about.description = QStringLiteral(
        "Takes N single measurements, each a read of the measurement image as the desktop program's single "
        "sampling does it (a missing or damaged answer is asked for again by the program's rules), and prints "
        "the fifteen readouts and the time each was taken on standard output (or into -o FILE).\n\n"
        "text is for eyes: laid out like the main window's readouts, rounded by its number rule. csv, json and "
        "influx are for programs and carry the instrument's own values: each readout as the shortest decimal "
        "that reads back as the float32 the instrument sent, before the display's repair of values that are "
        "not numbers. csv writes a header row (names with their units: \"Urms (V)\") and one row per "
        "measurement, plain UTF-8 with LF line ends, a value that is not a number left empty and infinity as "
        "inf or -inf. json writes one object per line: {\"time\":\"2026-12-09T10:15:02.123+01:00\",\"n\":1,"
        "\"Urms\":230.01,...,\"Kwh\":1.5,\"units\":{\"Urms\":\"V\",...}} with null for a value that is not a "
        "number; units are named once per object in \"units\". influx writes InfluxDB line protocol for "
        "Telegraf's exec and execd inputs: measurement qzr6100, tag port, one field per readout (one that is not a "
        "number left out) and the time in nanoseconds. Times are local with their UTC offset. The readouts are "
        "Urms, Upeak (V), Frequency (Hz), Irms, Ipeak (A), Iphase (degrees), PowerFactor, ActivePower (W), "
        "ApparentPower (VA), ReactivePower (var), Uthd and Ithd (fractions: 0.0367 is 3.67 %), Uff, Iff and Kwh (kWh).\n\n"
        "--harmonics adds the harmonics: the text form shows the harmonic table (RMS value and share of the "
        "fundamental of orders 0 to 50), the others the instrument's 51 amplitudes of each quantity as "
        "VoltageHarmonics and CurrentHarmonics (arrays in json, columns VoltageHarmonics0 ... in csv, fields in "
        "influx). --waveform adds the 512 voltage and 512 current samples: SampleCount, the zero levels "
        "VoltageZero and CurrentZero, the raw converter counts VoltageSamples and CurrentSamples, and Voltage "
        "and Current in volts and amperes as the waveform plot scales them (its largest deviation from the zero "
        "level is the peak value); not with influx.\n\n"
        "When nothing usable comes back for 8 s (the request repeated meanwhile by the program's rules), the "
        "command stops with status 2.");
    about.options = {
        QCommandLineOption(QStringList{QStringLiteral("n"), QStringLiteral("count")},
                           QStringLiteral("measurements to take (default 1); 0 measures until Ctrl-C"),
                           QStringLiteral("N")),
        QCommandLineOption(QStringList{QStringLiteral("i"), QStringLiteral("interval")},
                           QStringLiteral("seconds from one request to the next (default 0: each as soon as the "
                                          "last is in)"),
                           QStringLiteral("S")),
        FormatOption(QStringLiteral("text (default), csv, json or influx")),
        QCommandLineOption(QStringLiteral("harmonics"), QStringLiteral("add the harmonics")),
        QCommandLineOption(QStringLiteral("waveform"),
                           QStringLiteral("add the 512 voltage and 512 current samples, raw and in V and A")),
        OutputOption(QStringLiteral("write the measurements into FILE instead of standard output (- for "
                                    "standard output)")),
        QCommandLineOption(QStringLiteral("save"),
                           QStringLiteral("save the last measurement as a test file, as the desktop program's "
                                          "File / Save does"),
                           QStringLiteral("FILE.vqm")),
        QuietOption(),
    };
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli measure --simulate"),
        QStringLiteral("qzr6100-cli measure -p /dev/ttyUSB0 -n 60 -i 1 -f csv -o load.csv"),
        QStringLiteral("qzr6100-cli measure -n 0 -i 5 -f json | jq .ActivePower"),
        QStringLiteral("qzr6100-cli measure -f influx    # one line for Telegraf's exec input"),
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
        return UsageError(about, QStringLiteral("--format wants text, csv, json or influx"));
    settings.parts.harmonics = parser.isSet(QStringLiteral("harmonics"));
    settings.parts.waveform = parser.isSet(QStringLiteral("waveform"));
    if (settings.parts.waveform && settings.format == OutputFormat::Influx)
        return UsageError(about, QStringLiteral("--waveform does not fit a line of line protocol; use csv or json"));
    settings.savePath = parser.value(QStringLiteral("save"));
    settings.outputPath = OutputPath(parser);

    MeasureCommand command(link, settings);
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
