#pragma once
// Shared by the link benchmarks: the whole program (offscreen) sampling the
// simulated instrument continuously, either on a plain serial line paced at a
// baud rate (the simulator in this process, reached through --port) or on the
// instrument's USB link (--simulate), with a record of when each measurement
// was taken and a probe of how long the event loop was kept waiting.

#include "acquisition/notifier.h"
#include "acquisition/sampling_controller.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "link/baud_list.h"
#include "pty_simulator.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace bench {

inline long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// A 10 ms timer whose lateness tells how long the event loop was kept from
// running it: the longest wait is the longest the window was unresponsive.
class LatenessProbe {
public:
    LatenessProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kIntervalMs);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            const qint64 now = clock_.elapsed();
            worst_ = std::max(worst_, now - last_ - kIntervalMs);
            last_ = now;
        });
    }
    void start()
    {
        clock_.start();
        last_ = 0;
        worst_ = 0;
        timer_.start();
    }
    qint64 worstMs() const { return worst_; }

private:
    static constexpr int kIntervalMs = 10;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

class LinkRig {
public:
    // baud 0: the instrument's USB link (the program's own simulator);
    // otherwise a plain line paced at baud, which must be in the program's
    // speed list.
    bool start(int baud, sim::Options simOptions = sim::Options())
    {
        ProgramOptions options;
        options.settingsPath = dir_.filePath(QStringLiteral("SysSet.ini"));
        options.notifier = &notifier_;
        if (baud == 0) {
            options.simulate = true;
        } else {
            int item = -1;
            for (int i = 0; i < BaudList::kCount; ++i) {
                if (int(BaudList::kEntries[i].baud) == baud) item = i;
            }
            if (item < 0) return fail("no such speed in the program's list");
            QFile ini(options.settingsPath);
            if (!ini.open(QIODevice::WriteOnly)) return fail("cannot write SysSet.ini");
            ini.write(QStringLiteral("[CommBaudrate]\nBaudrate=%1\n").arg(item).toLatin1());
            ini.close();
            simOptions.baud = baud;
            ownSimulator_ = std::make_unique<sim::PtySimulator>(simOptions);
            std::string reason;
            if (!ownSimulator_->start(&reason)) return fail(reason.c_str());
            options.portOverride = QString::fromStdString(ownSimulator_->slavePath());
        }
        program_ = std::make_unique<Program>(options);
        QString error;
        if (!program_->start(&error)) return fail(qPrintable(error));
        program_->mainWindow().resize(1280, 800);
        program_->mainWindow().show();
        clock_.start();
        QObject::connect(&program_->sampling(), &SamplingController::measurementHandled, &program_->sampling(),
                         [this] { times_.push_back(clock_.elapsed()); });
        return true;
    }

    void sampleContinuously()
    {
        program_->mainWindow().action(MainWindow::Command::ContinuousSampling)->trigger();
    }

    sim::PtySimulator& simulator() { return ownSimulator_ ? *ownSimulator_ : *program_->simulator(); }
    Program& program() { return *program_; }
    qint64 nowMs() const { return clock_.elapsed(); }
    const std::vector<qint64>& measurementTimes() const { return times_; }

    // Measurements taken in [fromMs, toMs).
    int measurementsBetween(qint64 fromMs, qint64 toMs) const
    {
        return int(std::count_if(times_.begin(), times_.end(), [&](qint64 t) { return t >= fromMs && t < toMs; }));
    }
    // The longest time without a measurement within [fromMs, toMs).
    qint64 longestGapBetween(qint64 fromMs, qint64 toMs) const
    {
        qint64 last = fromMs, gap = 0;
        for (qint64 t : times_) {
            if (t < fromMs || t >= toMs) continue;
            gap = std::max(gap, t - last);
            last = t;
        }
        return std::max(gap, toMs - last);
    }
    // Reads of register 148 the instrument has seen (the simulator's log is
    // emptied as it is counted, so it does not grow over a long run).
    long bulkRequests()
    {
        for (const auto& f : simulator().requests()) {
            if (f.size() == 8 && f[1] == 0x03 && f[3] == 148) ++bulkRequests_;
        }
        simulator().clearRequests();
        return bulkRequests_;
    }

private:
    bool fail(const char* reason)
    {
        std::fprintf(stderr, "cannot start: %s\n", reason);
        return false;
    }

    QTemporaryDir dir_;
    ConsoleNotifier notifier_;
    std::unique_ptr<sim::PtySimulator> ownSimulator_;
    std::unique_ptr<Program> program_;
    QElapsedTimer clock_;
    std::vector<qint64> times_;
    long bulkRequests_ = 0;
};

} // namespace bench
