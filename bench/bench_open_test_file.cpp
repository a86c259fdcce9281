// Opening a test file from the command line: time from process start to the
// main window showing the test, measured over fresh processes.
//
//   bench_open_test_file [runs]
//
// The benchmark starts itself again as a child that builds the program with a
// test file argument, shows the main window, waits until the waveform has
// been painted and exits; the parent times each child from its start.

#include "acquisition/acquisition_state.h"
#include "acquisition/notifier.h"
#include "acquisition/test_file.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The child: the program as a user starts it with a test file.
int runChild(int argc, char* argv[], const QString& testFile, const QString& settings)
{
    QApplication app(argc, argv);
    ConsoleNotifier notifier;
    ProgramOptions options;
    options.files = {testFile};
    options.settingsPath = settings;
    options.notifier = &notifier;
    Program program(options);
    QString error;
    if (!program.start(&error)) return 2;
    program.mainWindow().show();
    // Painted once the event loop has handled the first expose and paint.
    QTimer::singleShot(0, &app, [&] {
        program.mainWindow().centralWidget()->findChild<QWidget*>(QStringLiteral("Pic1"))->repaint();
        std::printf("shown %s\n", qPrintable(program.mainWindow().readoutText(0)));
        app.quit();
    });
    return app.exec();
}

QString writeSampleTest(const QString& folder)
{
    AcquisitionState state;
    InitAcquisitionState(state, QSize(1920, 1080), nullptr);
    TestRecordImage& r = state.TestRecord;
    r.Urms.set(230.12f);
    r.Upeak.set(325.4f);
    r.Frequency.set(50.0f);
    r.Irms.set(5.1f);
    r.Ipeak.set(7.2f);
    for (int k = 0; k < kWaveformSamples; ++k) {
        const double a = 2 * M_PI * k / 128.0;
        r.VoltageSamples[k].set(uint16_t(2047 + 1300 * std::sin(a)));
        r.CurrentSamples[k].set(uint16_t(2047 + 900 * std::sin(a - 0.5)));
    }
    for (int n = 1; n < kHarmonicCount; n += 2) {
        r.VoltageHarmonics[n].set(325.0f / float(n * n));
        r.CurrentHarmonics[n].set(7.2f / float(n));
    }
    const QString path = folder + QStringLiteral("/bench.vqm");
    SaveTestFile(path, r, nullptr);
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QTemporaryDir dir;
    const QString testFile = writeSampleTest(dir.path());
    const QString settings = dir.filePath(QStringLiteral("SysSet.ini"));

    std::vector<double> times;
    QString shown;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("DISPLAY"))) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), testFile, settings});
        child.waitForFinished(30000);
        times.push_back(clock.nsecsElapsed() / 1e6);
        shown = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    }
    std::sort(times.begin(), times.end());
    std::printf("open a test file from the command line to the main window showing it (%s), %d runs\n",
                qPrintable(shown), runs);
    std::printf("  median %.0f ms   min %.0f ms   max %.0f ms   (target under 1000 ms)\n", times[times.size() / 2],
                times.front(), times.back());
    return 0;
}
