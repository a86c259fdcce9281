// ports: the serial ports a port scan of the desktop program considers,
// with the USB identification of each, whether it is free, and which is the
// instrument's.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "json_text.h"
#include "instrument_link.h"
#include "link_options.h"

#include "acquisition/acquisition_state.h"
#include "link/port_discovery.h"
#include "link/port_prober.h"
#include "link/serial_port_enumerator.h"
#include "pty_simulator.h"

#include <memory>

CommandDescription PortsDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("ports");
    about.synopsis = QStringLiteral("[--simulate] [-f text|json]");
    about.summary = QStringLiteral("list the serial ports, marking the instrument's");
    about.description = QStringLiteral(
        "Lists the serial ports of this computer with the USB identification of each adapter, whether the "
        "port is free (a port held by another program is busy) and which one is the instrument's own USB "
        "port. The commands that talk to the instrument use that port when no --port is given.\n\n"
        "-f json prints one JSON array with an object per port: path, usb (the identification, null when "
        "there is none), free (true or false) and instrument (true for the instrument's USB port).");
    about.options = {
        QCommandLineOption(QStringLiteral("simulate"),
                           QStringLiteral("start the built-in simulated instrument and list its port too")),
        FormatOption(QStringLiteral("text (default) or json")),
        QuietOption(),
    };
    about.examples = {QStringLiteral("qzr6100-cli ports")};
    return about;
}

int RunPorts(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    if (parser.positionalArguments().size() > 1)
        return UsageError(about, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().at(1)));

    PrintFormat format = PrintFormat::Text;
    QString error;
    if (!ReadPrintFormat(parser, &format, &error)) return UsageError(about, error);

    AcquisitionState state;
    InitAcquisitionState(state, QSize(), nullptr);
    QList<PortCandidate> extras;
    std::unique_ptr<sim::PtySimulator> simulator;
    if (parser.isSet(QStringLiteral("simulate"))) {
        simulator = std::make_unique<sim::PtySimulator>();
        std::string reason;
        if (!simulator->start(&reason)) {
            PrintError(QStringLiteral("the simulated instrument could not start: %1").arg(QString::fromStdString(reason)));
            return kExitFailure;
        }
        extras << PortCandidate{QString::fromStdString(simulator->slavePath()),
                                SimulatedInstrumentIdentification(state.UsbProductIdTag)};
    }
    SerialPortEnumerator enumerator(extras);
    ExclusiveOpenProber prober;
    const QList<PortCandidate> ports = enumerator.ports();
    if (format == PrintFormat::Json) {
        QList<QByteArray> entries;
        for (const PortCandidate& port : ports) {
            const bool instrument = IsInstrumentIdentification(port.identification, state.UsbProductIdTag);
            entries << JsonObject({{"path", JsonString(port.path)},
                                   {"usb", port.identification.isEmpty() ? QByteArray("null") : JsonString(port.identification)},
                                   {"free", prober.isFree(port.path) ? "true" : "false"},
                                   {"instrument", instrument ? "true" : "false"}});
        }
        WriteOut(JsonArrayOf(entries) + '\n');
        return kExitOk;
    }
    if (ports.isEmpty()) {
        if (!IsQuiet(parser)) PrintErr(QStringLiteral("No serial ports found.\n"));
        return kExitOk;
    }
    QString text = QStringLiteral("%1%2%3%4\n")
                       .arg(QStringLiteral("PORT").leftJustified(20), QStringLiteral("USB ID").leftJustified(24),
                            QStringLiteral("STATE").leftJustified(7), QStringLiteral("INSTRUMENT"));
    for (const PortCandidate& port : ports) {
        const bool instrument = IsInstrumentIdentification(port.identification, state.UsbProductIdTag);
        text += port.path.leftJustified(19) + u' ' +
                (port.identification.isEmpty() ? QStringLiteral("-") : port.identification).leftJustified(23) + u' ' +
                (prober.isFree(port.path) ? QStringLiteral("free") : QStringLiteral("busy")).leftJustified(7) +
                (instrument ? QStringLiteral("QZR6100 (USB)") : QString()) + u'\n';
    }
    PrintOut(text);
    return kExitOk;
}
