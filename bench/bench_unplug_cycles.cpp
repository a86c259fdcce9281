// The instrument's USB cable pulled and plugged back again and again during
// continuous sampling: after each replug sampling must resume by itself.
// Prints the cycles survived and the slowest recovery (from the replug to
// the next measurement).
//
//   bench_unplug_cycles [cycles] [seconds-unplugged]
//
// Defaults: 100 cycles, unplugged for 1 s each time. A cycle that sees no
// measurement within 30 s of the replug counts as lost.

#include "link_bench_rig.h"

#include <QApplication>

#include <cstdlib>

namespace {

constexpr int kGiveUpMs = 30 * 1000;

}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int unpluggedMs = argc > 2 ? std::max(100, int(std::atof(argv[2]) * 1000)) : 1000;

    bench::LinkRig rig;
    if (!rig.start(0)) return 1;

    int cycle = 0, survived = 0;
    qint64 slowest = 0, total = 0;
    qint64 pluggedAt = 0;
    size_t measuredAtPlug = 0;
    enum class Step { Sampling, Unplugged, Recovering } step = Step::Sampling;
    qint64 stepSince = 0;

    QTimer::singleShot(1500, [&] { rig.sampleContinuously(); });
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const qint64 now = rig.nowMs();
        switch (step) {
        case Step::Sampling:
            // A few measurements on the fresh link, then pull the cable.
            if (rig.measurementTimes().size() < measuredAtPlug + 3) return;
            rig.simulator().unplug();
            step = Step::Unplugged;
            stepSince = now;
            return;
        case Step::Unplugged: {
            if (now - stepSince < unpluggedMs) return;
            std::string error;
            if (!rig.simulator().plugBack(&error)) {
                std::fprintf(stderr, "replug failed: %s\n", error.c_str());
                app.exit(1);
                return;
            }
            pluggedAt = now;
            measuredAtPlug = rig.measurementTimes().size();
            step = Step::Recovering;
            return;
        }
        case Step::Recovering: {
            const bool recovered = rig.measurementTimes().size() > measuredAtPlug;
            if (!recovered && now - pluggedAt < kGiveUpMs) return;
            ++cycle;
            if (recovered) {
                const qint64 took = rig.measurementTimes()[measuredAtPlug] - pluggedAt;
                ++survived;
                slowest = std::max(slowest, took);
                total += took;
            } else {
                std::printf("cycle %d: no measurement within %d s of the replug\n", cycle, kGiveUpMs / 1000);
            }
            rig.bulkRequests();  // empties the simulator's log
            if (cycle % 10 == 0) {
                std::printf("%3d cycles, %3d recovered, slowest recovery %lld ms\n", cycle, survived,
                            static_cast<long long>(slowest));
                std::fflush(stdout);
            }
            if (cycle >= cycles) {
                std::printf("cycles survived: %d of %d; slowest recovery %lld ms, mean %lld ms\n", survived, cycles,
                            static_cast<long long>(slowest), static_cast<long long>(survived ? total / survived : 0));
                app.quit();
                return;
            }
            step = Step::Sampling;
            return;
        }
        }
    });
    QTimer::singleShot(3000, [&] { driver.start(); });
    return app.exec();
}
