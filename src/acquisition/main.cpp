// Program entry: splash first, then the windows in start-up order, then the
// message loop.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "appearance/windows/artwork.h"
#include "appearance/windows/splash_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT close the main window the ordinary way (closing notice,
// simulator link removed) instead of killing the program mid-transfer.
int gSignalPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[0], &byte, 1);
}

void CloseOnQuitSignals(QWidget* mainWindow)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, mainWindow, [mainWindow] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[1], &byte, 1);
        mainWindow->close();
    });
    std::signal(SIGTERM, onQuitSignal);
    std::signal(SIGINT, onQuitSignal);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SplashWindow splash;
    splash.showNow();

    QApplication::setApplicationName(QStringLiteral("QZR6100"));
    QApplication::setApplicationDisplayName(QStringLiteral("QZR6100"));
    // Ties the windows to the installed desktop entry (name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("qzr6100"));
    QApplication::setWindowIcon(artwork::ApplicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Front end of the QZR6100 power analyser."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Use PATH as the instrument's port for this run."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption simulateOption(QStringLiteral("simulate"),
                                            QStringLiteral("Start the built-in simulated instrument and use it."));
    const QCommandLineOption traceOption(QStringLiteral("trace"),
                                         QStringLiteral("Write every frame sent and received to FILE."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption factoryOption(
        QStringLiteral("factory"),
        QStringLiteral("Show the factory items of the Options menu: \"Calibration\" and "
                       "\"Instrument communication settings\"."));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QStringLiteral("Show the windows in LANGUAGE for this run: \"instrument\" (the instrument's own texts) "
                       "or \"en\" (English)."),
        QStringLiteral("LANGUAGE"));
    parser.addOption(portOption);
    parser.addOption(languageOption);
    parser.addOption(factoryOption);
    parser.addOption(simulateOption);
    parser.addOption(traceOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A test file (.vqm) or record file (.vqr)."));
    parser.process(app);

    ProgramOptions options;
    options.portOverride = parser.value(portOption);
    options.simulate = parser.isSet(simulateOption);
    options.traceFile = parser.value(traceOption);
    options.factory = parser.isSet(factoryOption);
    options.files = parser.positionalArguments();
    if (parser.isSet(languageOption)) {
        options.language = ParseUiLanguage(parser.value(languageOption));
        if (!options.language) {
            std::fprintf(stderr, "qzr6100: unknown language \"%s\"; use \"instrument\" or \"en\".\n",
                         qPrintable(parser.value(languageOption)));
            return 2;
        }
    }

    Program program(options);
    QString error;
    if (!program.start(&error)) {
        splash.close();
        QMessageBox::critical(nullptr, QStringLiteral("QZR6100"), error);
        return 1;
    }
    program.mainWindow().show();
    splash.close();
    CloseOnQuitSignals(&program.mainWindow());
    return app.exec();
}
