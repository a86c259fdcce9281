// Continuous sampling of the simulated instrument on its USB-like link:
// measurements handled per second, and resident memory over the run.
//
//   bench_continuous_sampling [seconds] [rss-interval-seconds]
//
// Runs offscreen; defaults to 30 s with a memory reading every 10 s. For the
// memory check run it for 600 s with readings every 60 s.

#include "acquisition/notifier.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "pty_simulator.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Counts the bulk requests the simulator has seen and empties its log, so
// that the log (part of this process) does not show up as growth.
int bulkRequests(sim::PtySimulator& sim)
{
    static int total = 0;
    for (const auto& f : sim.requests()) {
        if (f.size() == 8 && f[1] == 0x03 && f[3] == 148) ++total;
    }
    sim.clearRequests();
    return total;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    const int rssEvery = argc > 2 ? std::max(1, atoi(argv[2])) : 10;

    QTemporaryDir dir;
    ConsoleNotifier notifier;
    ProgramOptions options;
    options.simulate = true;
    options.settingsPath = dir.filePath(QStringLiteral("SysSet.ini"));
    options.notifier = &notifier;
    Program program(options);
    QString error;
    if (!program.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    program.mainWindow().resize(1600, 900);
    program.mainWindow().show();

    sim::PtySimulator& sim = *program.simulator();
    QTimer::singleShot(500, [&] {
        sim.clearRequests();
        program.mainWindow().action(MainWindow::Command::ContinuousSampling)->trigger();
    });

    QElapsedTimer clock;
    QTimer drain;
    drain.setInterval(1000);
    QObject::connect(&drain, &QTimer::timeout, [&] { bulkRequests(sim); });
    drain.start();
    QTimer rss;
    rss.setInterval(rssEvery * 1000);
    QObject::connect(&rss, &QTimer::timeout, [&] {
        std::printf("t=%4llds  measurements=%6d  rss=%ld KiB\n", clock.elapsed() / 1000, bulkRequests(sim),
                    residentKiB());
        std::fflush(stdout);
    });
    QTimer::singleShot(500, [&] {
        clock.start();
        rss.start();
        std::printf("t=   0s  rss=%ld KiB\n", residentKiB());
    });
    QTimer::singleShot(500 + seconds * 1000, [&] {
        const int handled = bulkRequests(sim);
        const double rate = handled / (clock.elapsed() / 1000.0);
        std::printf("continuous sampling: %d measurements in %.1f s = %.2f per second (bound: 10 per second)\n",
                    handled, clock.elapsed() / 1000.0, rate);
        std::printf("resident memory at the end: %ld KiB\n", residentKiB());
        app.quit();
    });
    return app.exec();
}
