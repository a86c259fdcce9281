// Continuous sampling on a clean line: measurements per second against what
// the line can carry, repeated requests, and the longest time the event loop
// was kept waiting (the lateness of a 10 ms timer).
//
//   bench_link_rate [baud|usb] [seconds]
//
// baud is one of the program's speeds (4800 ... 115200): a plain serial line
// whose replies the simulated instrument paces at that rate; "usb" is the
// instrument's USB link. Defaults: 115200 for 60 s.

#include "link_bench_rig.h"
#include "link/reply_timing.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool usb = argc > 1 && std::strcmp(argv[1], "usb") == 0;
    const int baud = usb ? 0 : argc > 1 ? std::atoi(argv[1]) : 115200;
    const int seconds = argc > 2 ? std::max(5, std::atoi(argv[2])) : 60;

    bench::LinkRig rig;
    if (!rig.start(baud)) return 1;
    bench::LatenessProbe probe;
    qint64 from = 0;
    long requestsBefore = 0;
    int measuredBefore = 0;

    // Start-up traffic first, then one measurement so the loop is running.
    QTimer::singleShot(1500, [&] { rig.sampleContinuously(); });
    QTimer::singleShot(4000, [&] {
        from = rig.nowMs();
        requestsBefore = rig.bulkRequests();
        measuredBefore = int(rig.measurementTimes().size());
        probe.start();
    });
    QTimer::singleShot(4000 + seconds * 1000, [&] {
        const qint64 to = rig.nowMs();
        const double span = (to - from) / 1000.0;
        const int measured = int(rig.measurementTimes().size()) - measuredBefore;
        const long requests = rig.bulkRequests() - requestsBefore;
        // One request is outstanding at any time; every other request that
        // did not bring a measurement was a repeat.
        const long repeats = std::max(0L, requests - measured - 1);
        std::printf("line: %s\n", usb ? "USB link" : qPrintable(QStringLiteral("%1 bit/s, paced").arg(baud)));
        std::printf("measurements: %d in %.1f s = %.2f per second", measured, span, measured / span);
        if (!usb) {
            // 2532 bytes on the line and the 50 ms rest between measurements.
            const double limit = 1000.0 / (LineTimeMs(2532, uint32_t(baud)) + 50);
            std::printf(" (line limit %.2f per second with the 50 ms rest, %.2f without)", limit,
                        1000.0 / LineTimeMs(2532, uint32_t(baud)));
        }
        std::printf("\nrequests of the measurement: %ld, repeated: %ld\n", requests, repeats);
        std::printf("longest gap between measurements: %lld ms\n", static_cast<long long>(rig.longestGapBetween(from, to)));
        std::printf("event loop kept waiting at most: %lld ms (lateness of a 10 ms timer)\n",
                    static_cast<long long>(probe.worstMs()));
        app.quit();
    });
    return app.exec();
}
