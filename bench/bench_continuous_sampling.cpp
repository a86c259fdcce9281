// Continuous sampling of the simulated instrument on its USB-like link:
// measurements handled per second, and resident memory over the run.
//
//   bench_continuous_sampling [seconds] [rss-interval-seconds]
//
// Runs offscreen; defaults to 30 s with a memory reading every 10 s. For the
// memory check run it for 600 s with readings every 60 s.

#include "link_bench_rig.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    const int rssEvery = argc > 2 ? std::max(1, atoi(argv[2])) : 10;

    bench::LinkRig rig;
    if (!rig.start(0)) return 1;

    qint64 from = 0;
    QTimer::singleShot(500, [&] {
        rig.bulkRequests();
        rig.sampleContinuously();
        from = rig.nowMs();
        std::printf("t=   0s  rss=%ld KiB\n", bench::ResidentKiB());
    });
    QTimer rss;
    rss.setInterval(rssEvery * 1000);
    QObject::connect(&rss, &QTimer::timeout, [&] {
        rig.bulkRequests();  // empties the simulator's log, so it does not pose as growth
        std::printf("t=%4llds  measurements=%6d  rss=%ld KiB\n", (rig.nowMs() - from) / 1000,
                    rig.measurementsBetween(from, rig.nowMs()), bench::ResidentKiB());
        std::fflush(stdout);
    });
    QTimer::singleShot(500, [&] { rss.start(); });
    QTimer::singleShot(500 + seconds * 1000, [&] {
        const double span = (rig.nowMs() - from) / 1000.0;
        const int handled = rig.measurementsBetween(from, rig.nowMs());
        std::printf("continuous sampling: %d measurements in %.1f s = %.2f per second (bound: 10 per second)\n",
                    handled, span, handled / span);
        std::printf("resident memory at the end: %ld KiB\n", bench::ResidentKiB());
        app.quit();
    });
    return app.exec();
}
