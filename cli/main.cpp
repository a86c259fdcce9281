// qzr6100-cli: the instrument and its files from a terminal. The first
// argument names the command; the command table does the rest.

#include "cli_common.h"
#include "command_table.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace {

// Qt's own warnings, one line each like every other message; the notice
// that XDG_RUNTIME_DIR is unset (a service or a cron job has none) says
// nothing about the work and is left out.
void PrintQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    PrintError(message);
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(PrintQtMessage);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    const QString first = arguments.value(1);
    const CliCommand* command = FindCommand(first);
    // Reports draw with fonts and pictures: a GUI application, on the
    // offscreen platform when no other is asked for (no display needed).
    std::unique_ptr<QCoreApplication> app;
    if (command && command->needsGui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The desktop program's name: the settings folder it falls back to is named
    // after it, and both programs share SysSet.ini and EnterInfo.ini.
    QCoreApplication::setApplicationName(QStringLiteral("QZR6100"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QZ_VERSION));

    if (command) return command->run(command->describe(), arguments);

    if (first == QStringLiteral("--help") || first == QStringLiteral("-h") || first == QStringLiteral("help")) {
        const CliCommand* about = FindCommand(arguments.value(2));
        PrintOut(about ? CommandHelpText(about->describe()) : GeneralHelpText());
        return kExitOk;
    }
    if (first == QStringLiteral("--version")) {
        PrintOut(VersionText());
        return kExitOk;
    }
    if (first == QStringLiteral("--help-all")) {
        PrintOut(FullHelpText());
        return kExitOk;
    }
    if (first == QStringLiteral("--man")) {
        PrintOut(ManPageText());
        return kExitOk;
    }
    if (first.isEmpty()) {
        PrintErr(GeneralHelpText());
        return kExitUsage;
    }
    PrintErr(QStringLiteral("qzr6100-cli: '%1' is not a command (qzr6100-cli --help lists them)\n").arg(first));
    return kExitUsage;
}
