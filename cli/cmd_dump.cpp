// dump: everything a test file holds, for programs: the readouts, the
// harmonic amplitudes and the waveform, in the form measure writes them.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "data_output.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"
#include "acquisition/test_file.h"

#include <QFileInfo>

CommandDescription DumpDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("dump");
    about.synopsis = QStringLiteral("FILE.vqm [-f json|csv] [-o OUT]");
    about.summary = QStringLiteral("print everything a test file holds, for programs");
    about.description = QStringLiteral(
        "Prints the test of a test file as measure -f json --harmonics --waveform (or -f csv) prints a "
        "measurement: the fifteen readouts, the 51 voltage and 51 current harmonic amplitudes and the 512 "
        "voltage and 512 current samples, raw and in volts and amperes, each value as it is stored in the file. "
        "The time is the file's last change, normally when it was saved. json (the default) writes one object; "
        "csv a header row and one row.");
    about.positionals = {{QStringLiteral("FILE.vqm"), QStringLiteral("the test file")}};
    about.options = {
        FormatOption(QStringLiteral("json (default) or csv")),
        OutputOption(QStringLiteral("write into OUT instead of standard output (- for standard output)"),
                     QStringLiteral("OUT")),
    };
    about.examples = {
        QStringLiteral("qzr6100-cli dump pump3.vqm | jq '.Voltage | max'"),
        QStringLiteral("qzr6100-cli dump pump3.vqm -f csv -o pump3.csv"),
    };
    return about;
}

int RunDump(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1) return UsageError(about, QStringLiteral("name one test file"));
    const QString format = parser.isSet(QStringLiteral("format"))
                               ? parser.value(QStringLiteral("format")).trimmed().toLower()
                               : QStringLiteral("json");
    if (format != QStringLiteral("json") && format != QStringLiteral("csv"))
        return UsageError(about, QStringLiteral("--format wants json or csv"));

    TestRecordImage record{};
    QString error;
    if (!LoadTestFile(files.first(), record, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    const QDateTime saved = QFileInfo(files.first()).lastModified();
    const MeasurementParts everything{true, true};
    const QByteArray text = format == QStringLiteral("json")
                                ? MeasurementJson(saved, record, QByteArray(), everything) + '\n'
                                : MeasurementCsvHeader(everything) + '\n' + MeasurementCsvRow(saved, record, everything) + '\n';
    DataOutput output;
    if (!output.open(OutputPath(parser), &error) || !output.write(text) || !output.close(&error)) {
        PrintError(error.isEmpty() ? QStringLiteral("cannot write to standard output") : error);
        return kExitFailure;
    }
    return kExitOk;
}
