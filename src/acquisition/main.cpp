// Program entry: splash first, then the windows in start-up order, then the
// message loop.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QPainter>
#include <QSplashScreen>

namespace {

QPixmap SplashPicture()
{
    QPixmap picture(437, 319);
    picture.fill(QColor(11, 83, 148));
    QPainter p(&picture);
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.drawText(picture.rect().adjusted(0, -30, 0, -30), Qt::AlignCenter, QStringLiteral("QZR6100"));
    QFont sub = p.font();
    sub.setPixelSize(16);
    sub.setBold(false);
    p.setFont(sub);
    p.drawText(picture.rect().adjusted(0, 50, 0, 50), Qt::AlignCenter, QStringLiteral("Power analyser software"));
    return picture;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QSplashScreen splash(SplashPicture());
    splash.show();
    app.processEvents();

    QApplication::setApplicationName(QStringLiteral("QZR6100"));
    QApplication::setApplicationDisplayName(QStringLiteral("QZR6100"));

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
    parser.addOption(portOption);
    parser.addOption(simulateOption);
    parser.addOption(traceOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A test file (.vqm) or record file (.vqr)."));
    parser.process(app);

    ProgramOptions options;
    options.portOverride = parser.value(portOption);
    options.simulate = parser.isSet(simulateOption);
    options.traceFile = parser.value(traceOption);
    options.files = parser.positionalArguments();

    Program program(options);
    QString error;
    if (!program.start(&error)) {
        splash.close();
        QMessageBox::critical(nullptr, QStringLiteral("QZR6100"), error);
        return 1;
    }
    program.mainWindow().show();
    splash.finish(&program.mainWindow());
    return app.exec();
}
