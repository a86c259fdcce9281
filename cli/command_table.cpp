#include "command_table.h"

#include "commands.h"

namespace {

const char* const kOverview =
    "Drives the QZR6100 power analyser from a terminal, a script or a headless test bench, and reads and "
    "converts its files, with the desktop program's own protocol, files and formats. Commands that talk to "
    "the instrument use the port identified as its USB port unless -p/--port names another (--simulate uses "
    "the built-in simulated instrument), and take the slave address and line speed from the desktop "
    "program's settings unless -a/--address and -b/--baud say otherwise.\n\n"
    "Data go to standard output, or into the file -o names (- is standard output where the format allows it); "
    "progress, \"written to\" lines, warnings and errors go to standard error, and -q leaves out all but the "
    "errors. -f chooses the format of the data. For programs (csv, json, influx) a measurement carries the "
    "instrument's own values: each readout as the shortest decimal that reads back as the float32 it sent, a "
    "value that is not a number as null in JSON and an empty field in CSV (infinity as inf or -inf), times as "
    "ISO 8601 local times with their UTC offset, and in JSON the units once per object under \"units\". The "
    "text format is for eyes and rounds as the desktop program's windows do.";

const char* const kExitStatus =
    "0 success (also a recording, a measurement without end or publish stopped by a signal, everything saved "
    "or published); 1 a "
    "usage error (an unknown option, a value out of range); 2 the instrument does not answer (nothing usable "
    "comes back for about 8 s, the requests repeated meanwhile) or a file cannot be read or written, with one "
    "line on standard error naming the port or the file and the reason (for publish: a broker that cannot be "
    "reached at start, refuses the credentials or fails the TLS handshake); 128 + the signal's number for a "
    "command stopped by SIGINT (Ctrl-C, 130), SIGHUP (129) or SIGTERM (143) before it was done.";

const char* const kFiles =
    "SysSet.ini (communication and record settings) and EnterInfo.ini (report information) are the desktop "
    "program's: beside the program when its folder is writable, otherwise in $XDG_CONFIG_HOME/QZR6100/ "
    "(~/.config/QZR6100/); --settings names another SysSet.ini. Test files end in .vqm, record files in .vqr. "
    "Bash completion is installed as share/bash-completion/completions/qzr6100-cli.";

const char* const kEnvironment =
    "QT_QPA_PLATFORM: the report command draws on the offscreen platform unless this names another. "
    "TZ: the time zone of the times written and of their UTC offset. XDG_CONFIG_HOME: where the settings "
    "are kept when the program's folder is not writable.";

QString RoffText(QString text)
{
    text.replace(u'\\', QStringLiteral("\\e"));
    text.replace(u'-', QStringLiteral("\\-"));
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.startsWith(u'.') || line.startsWith(u'\'')) line.prepend(QStringLiteral("\\&"));
    }
    return lines.join(u'\n');
}

QString RoffParagraphs(const QString& text)
{
    QStringList out;
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"))) out << RoffText(paragraph.simplified());
    return out.join(QStringLiteral("\n.PP\n"));
}

// "-o, --output, --out" from an option's names.
QString DashedNames(const QStringList& names)
{
    QStringList dashed;
    for (const QString& name : names) dashed << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    return dashed.join(QStringLiteral(", "));
}

QString RoffOption(const QString& names, const QString& value, const QString& description)
{
    QString text = QStringLiteral(".TP\n\\fB") + RoffText(names) + QStringLiteral("\\fR");
    if (!value.isEmpty()) text += QStringLiteral(" \\fI") + RoffText(value) + QStringLiteral("\\fR");
    return text + u'\n' + RoffText(description) + u'\n';
}

} // namespace

const QList<CliCommand>& CommandTable()
{
    static const QList<CliCommand> table = {
        {PortsDescription, RunPorts, false},
        {MeasureDescription, RunMeasure, false},
        {RecordDescription, RunRecord, false},
        {ExportDescription, RunExport, false},
        {ReportDescription, RunReport, true},
        {SettingsDescription, RunSettings, false},
        {AlarmsDescription, RunAlarms, false},
        {InfoDescription, RunInfo, false},
        {DumpDescription, RunDump, false},
        {PublishDescription, RunPublish, false},
    };
    return table;
}

const CliCommand* FindCommand(const QString& name)
{
    for (const CliCommand& command : CommandTable()) {
        if (command.describe().name == name) return &command;
    }
    return nullptr;
}

QString VersionText() { return QStringLiteral("qzr6100-cli %1\n").arg(QStringLiteral(QZ_VERSION)); }

QString GeneralHelpText()
{
    QString text = QStringLiteral("Usage: qzr6100-cli COMMAND [options]\n\n");
    text += WrapParagraphs(QString::fromLatin1(kOverview)) + QStringLiteral("\n\nCommands:\n");
    for (const CliCommand& command : CommandTable()) {
        const CommandDescription about = command.describe();
        text += QStringLiteral("  ") + about.name.leftJustified(10) + about.summary + u'\n';
    }
    text += u'\n' + WrapParagraphs(QStringLiteral("qzr6100-cli COMMAND --help shows a command's options; "
                                                  "qzr6100-cli --help-all shows them all, --version the version.\n\n"
                                                  "Exit status: %1\n\nFiles: %2\n\nEnvironment: %3")
                                       .arg(QString::fromLatin1(kExitStatus), QString::fromLatin1(kFiles),
                                            QString::fromLatin1(kEnvironment)));
    return text + u'\n';
}

QString FullHelpText()
{
    QString text = GeneralHelpText();
    for (const CliCommand& command : CommandTable())
        text += QStringLiteral("\n") + QString(79, u'-') + QStringLiteral("\n") + CommandHelpText(command.describe());
    return text;
}

QString ManPageText()
{
    QString text = QStringLiteral(".TH QZR6100\\-CLI 1 \"%1\" \"qzr6100\\-cli %2\" \"User Commands\"\n")
                       .arg(QStringLiteral(QZ_MAN_DATE), QStringLiteral(QZ_VERSION));
    text += QStringLiteral(".SH NAME\nqzr6100\\-cli \\- the QZR6100 power analyser and its files from a terminal\n");
    text += QStringLiteral(".SH SYNOPSIS\n.B qzr6100\\-cli\n.I command\n[\\fIoptions\\fR]\n");
    text += QStringLiteral(".SH DESCRIPTION\n") + RoffParagraphs(QString::fromLatin1(kOverview)) + u'\n';
    text += QStringLiteral(".SH COMMANDS\n");
    for (const CliCommand& command : CommandTable()) {
        const CommandDescription about = command.describe();
        text += QStringLiteral(".SS \"") + RoffText(about.name) + QStringLiteral("\"\n.B qzr6100\\-cli ") +
                RoffText(about.name) + u'\n' + RoffText(about.synopsis) + QStringLiteral("\n.PP\n") +
                RoffParagraphs(about.description) + u'\n';
        for (const PositionalDescription& p : about.positionals) text += RoffOption(QString(), p.name, p.description);
        for (const QCommandLineOption& option : about.options)
            text += RoffOption(DashedNames(option.names()), option.valueName(), option.description());
        text += RoffOption(QStringLiteral("-h, --help"), QString(), QStringLiteral("show the command's help"));
        if (!about.examples.isEmpty()) {
            text += QStringLiteral(".PP\nExamples:\n.RS\n.nf\n");
            for (const QString& example : about.examples) text += RoffText(example) + u'\n';
            text += QStringLiteral(".fi\n.RE\n");
        }
    }
    text += QStringLiteral(".SH \"EXIT STATUS\"\n") + RoffParagraphs(QString::fromLatin1(kExitStatus)) + u'\n';
    text += QStringLiteral(".SH ENVIRONMENT\n") + RoffParagraphs(QString::fromLatin1(kEnvironment)) + u'\n';
    text += QStringLiteral(".SH FILES\n") + RoffParagraphs(QString::fromLatin1(kFiles)) + u'\n';
    text += QStringLiteral(".SH \"SEE ALSO\"\n\\fBqzr6100\\-sim\\fR \\-\\-help, the simulated instrument; "
                           "the handbook, Help / Manual in the desktop program.\n");
    return text;
}
