// Transfers while sampling continuously: n random transfers (alarm save and
// read-out, settings save and read, a calibration reference), one after the
// other, each started from its window at a random moment, while the program
// samples the simulated instrument without pause. Prints how many transfers
// ended with their success text and the right values, how often sampling
// stalled (no measurement for 8 s, or the failure text), and the longest gap
// between measurements during a transfer against that transfer's own line
// time plus one measurement.
//
//   bench_link_interleave [baud|usb] [n]
//
// baud is one of the program's speeds: a plain serial line whose replies the
// simulated instrument paces at that rate, answering 3 ms after each
// request; "usb" is the instrument's USB link, answering at once. Defaults:
// 115200, 200 transfers.

#include "link_bench_rig.h"
#include "link/reply_timing.h"
#include "support/transfer_driver.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

namespace {

const QString kReRequest = QStringLiteral("Communication failure, re-request data!");

constexpr int kStallMs = 8000;

struct KindFigures {
    int count = 0;
    qint64 totalMs = 0;
    qint64 longestMs = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool usb = argc > 1 && std::strcmp(argv[1], "usb") == 0;
    const int baud = usb ? 0 : argc > 1 ? std::atoi(argv[1]) : 115200;
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const int transferLimitMs = baud > 0 && baud < 38400 ? 120000 : 30000;

    sim::Options simOptions;
    simOptions.turnaroundMs = 3;
    bench::LinkRig rig;
    if (!rig.start(baud, simOptions)) return 1;
    TransferDriver driver(rig.program(), rig.simulator());
    std::mt19937 random(2026);
    bench::LatenessProbe probe;

    int started = 0, correct = 0, stalls = 0;
    qint64 transferFrom = 0;
    TransferDriver::Kind kind = TransferDriver::Kind::AlarmSave;
    struct Window {
        qint64 from, to;
        TransferDriver::Kind kind;
    };
    std::vector<Window> windows;
    std::map<QString, KindFigures> perKind;
    QStringList wrong;
    bool failureShown = false;

    QTimer poll;
    poll.setInterval(5);
    QTimer stallWatch;
    stallWatch.setInterval(500);
    std::function<void()> next;

    // A stall: sampling silent for 8 s, or the failure text in panel 0.
    qint64 stalledSince = -1;
    QObject::connect(&stallWatch, &QTimer::timeout, [&] {
        const qint64 now = rig.nowMs();
        const auto& times = rig.measurementTimes();
        const qint64 last = times.empty() ? 0 : times.back();
        const bool failing = rig.program().mainWindow().statusText(0) == kReRequest;
        if (failing && !failureShown) ++stalls;
        failureShown = failing;
        if (now - last > kStallMs && stalledSince != last) {
            ++stalls;
            stalledSince = last;
        }
    });

    const auto transferEnded = [&](bool ended) {
        poll.stop();
        const qint64 to = rig.nowMs();
        const QString name = QString::fromLatin1(TransferDriver::name(kind));
        const QString problem = ended ? driver.check(kind) : QStringLiteral("did not end in time");
        if (problem.isEmpty()) {
            ++correct;
        } else {
            wrong << QStringLiteral("%1 (%2): %3").arg(name).arg(started).arg(problem);
        }
        KindFigures& f = perKind[name];
        ++f.count;
        f.totalMs += to - transferFrom;
        f.longestMs = std::max(f.longestMs, to - transferFrom);
        windows.push_back({transferFrom, to, kind});
        QTimer::singleShot(int(random() % 300), next);
    };

    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (driver.done(kind)) {
            transferEnded(true);
        } else if (rig.nowMs() - transferFrom > transferLimitMs) {
            transferEnded(false);
        }
    });

    next = [&] {
        if (started == count) {
            stallWatch.stop();
            const qint64 to = rig.nowMs();
            // Each interval between two measurements either overlaps a
            // transfer or not. One measurement: the longest that does not
            // (before the first transfer and between transfers), the event
            // loop's own jitter included.
            const auto& times = rig.measurementTimes();
            std::vector<qint64> quiet;
            qint64 longestGap = 0, longestGapLine = 0;
            QString longestGapKind;
            std::vector<std::pair<qint64, qint64>> during;  // gap, the transfer's line time
            for (size_t i = 1; i < times.size(); ++i) {
                const qint64 gap = times[i] - times[i - 1];
                const auto w = std::find_if(windows.begin(), windows.end(), [&](const Window& x) {
                    return times[i] >= x.from && times[i - 1] <= x.to;
                });
                if (w == windows.end()) {
                    quiet.push_back(gap);
                    continue;
                }
                const qint64 line = LineTimeMs(TransferDriver::lineBytes(w->kind), uint32_t(baud));
                during.emplace_back(gap, line);
                if (gap > longestGap) {
                    longestGap = gap;
                    longestGapLine = line;
                    longestGapKind = QString::fromLatin1(TransferDriver::name(w->kind));
                }
            }
            std::sort(quiet.begin(), quiet.end());
            const qint64 oneMeasurement = quiet.empty() ? 0 : quiet.back();
            const qint64 medianGap = quiet.empty() ? 0 : quiet[quiet.size() / 2];
            int overBound = 0;
            qint64 longestOverBound = 0;
            for (const auto& [gap, line] : during) {
                if (gap <= line + oneMeasurement) continue;
                ++overBound;
                longestOverBound = std::max(longestOverBound, gap - line - oneMeasurement);
            }
            std::printf("line: %s, the instrument answering %s\n",
                        usb ? "USB link" : qPrintable(QStringLiteral("%1 bit/s, paced").arg(baud)),
                        usb ? "at once" : "3 ms after each request");
            std::printf("one measurement (the longest interval between measurements without a transfer): %lld ms "
                        "(median %lld ms)\n",
                        static_cast<long long>(oneMeasurement), static_cast<long long>(medianGap));
            std::printf("transfers completed correctly: %d of %d\n", correct, count);
            for (const QString& w : wrong) std::printf("  wrong: %s\n", qPrintable(w));
            std::printf("sampling stalls: %d\n", stalls);
            std::printf("longest gap between measurements during a transfer: %lld ms (%s, its own line time %lld ms)\n",
                        static_cast<long long>(longestGap), qPrintable(longestGapKind),
                        static_cast<long long>(longestGapLine));
            std::printf("intervals during a transfer longer than its line time plus one measurement: %d of %zu",
                        overBound, during.size());
            if (overBound > 0) std::printf(" (by at most %lld ms)", static_cast<long long>(longestOverBound));
            std::printf("\nsampling still running: %s, measurements taken: %zu in %.0f s\n",
                        rig.program().state().SamplingMode == 2 ? "yes" : "no", rig.measurementTimes().size(),
                        to / 1000.0);
            std::printf("transfer durations (mean / longest):\n");
            for (const auto& [name, f] : perKind)
                std::printf("  %-18s %3d  %6lld ms / %6lld ms\n", qPrintable(name), f.count,
                            static_cast<long long>(f.totalMs / std::max(1, f.count)), static_cast<long long>(f.longestMs));
            std::printf("event loop kept waiting at most: %lld ms (lateness of a 10 ms timer)\n",
                        static_cast<long long>(probe.worstMs()));
            app.quit();
            return;
        }
        kind = TransferDriver::kKinds[random() % TransferDriver::kKinds.size()];
        transferFrom = rig.nowMs();
        driver.begin(kind, started++);
        poll.start();
    };

    // Start-up traffic first, then sampling alone for a few measurements.
    QTimer::singleShot(1500, [&] { rig.sampleContinuously(); });
    QTimer::singleShot(baud > 0 && baud < 38400 ? 12000 : 4000, [&] {
        probe.start();
        stallWatch.start();
        next();
    });
    return app.exec();
}
