// Continuous sampling on a faulty line for a long time: the simulated
// instrument paced at 115.2 kbit/s drops, corrupts, truncates or splits a
// share of its replies (a quarter of the share each). Prints measurements per
// minute, the longest gap between good measurements and resident memory.
//
//   bench_link_soak [minutes] [fault-share]
//
// Defaults: 10 minutes, 0.10 of replies faulted. A clean minute first gives
// the rate to compare with.

#include "link_bench_rig.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const double share = argc > 2 ? std::atof(argv[2]) : 0.10;

    sim::Options faults;
    faults.dropShare = faults.badCrcShare = faults.truncateShare = faults.splitShare = share / 4;
    faults.splitPauseMs = 150;
    faults.seed = 7;
    sim::Options clean = faults;
    clean.dropShare = clean.badCrcShare = clean.truncateShare = clean.splitShare = 0;
    bench::LinkRig rig;
    if (!rig.start(115200, clean)) return 1;

    std::printf("soak: 115200 bit/s paced; one clean minute, then %.0f %% of replies faulted "
                "(drop, bad CRC, truncated, split) for %d min\n",
                share * 100, minutes);
    qint64 from = 0;
    long rssStart = 0;
    int minute = 0;
    int cleanRate = 0;
    int worstMinute = 1 << 30;
    QTimer::singleShot(1500, [&] { rig.sampleContinuously(); });
    QTimer perMinute;
    perMinute.setInterval(60 * 1000);
    QObject::connect(&perMinute, &QTimer::timeout, [&] {
        const qint64 to = rig.nowMs();
        const qint64 start = to - 60 * 1000;
        const int n = rig.measurementsBetween(start, to);
        rig.bulkRequests();  // empties the simulator's log
        if (cleanRate == 0) {
            cleanRate = std::max(1, n);
            std::printf("clean minute: %4d measurements, longest gap %5lld ms, rss %ld KiB\n", n,
                        static_cast<long long>(rig.longestGapBetween(start, to)), bench::ResidentKiB());
            rig.simulator().setFaultShares(faults);
            from = to;
            rssStart = bench::ResidentKiB();
            std::fflush(stdout);
            return;
        }
        worstMinute = std::min(worstMinute, n);
        std::printf("minute %2d: %4d measurements (%3d %% of clean), longest gap %5lld ms, rss %ld KiB\n", ++minute,
                    n, n * 100 / cleanRate, static_cast<long long>(rig.longestGapBetween(start, to)),
                    bench::ResidentKiB());
        std::fflush(stdout);
        if (minute < minutes) return;
        std::printf("worst faulty minute: %d measurements, %d %% of the clean minute's %d\n", worstMinute,
                    worstMinute * 100 / cleanRate, cleanRate);
        std::printf("longest gap between good measurements: %lld ms\n",
                    static_cast<long long>(rig.longestGapBetween(from, to)));
        std::printf("resident memory: %ld KiB after the clean minute, %ld KiB at the end\n", rssStart,
                    bench::ResidentKiB());
        app.quit();
    });
    QTimer::singleShot(3000, [&] { perMinute.start(); });
    return app.exec();
}
