#include "pty_simulator.h"

#include "instrument_model.h"
#include "line_babble.h"
#include "paced_writer.h"
#include "pty_device.h"
#include "reply_faults.h"
#include "request_framer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

int millisUntil(Clock::time_point deadline, Clock::time_point now)
{
    if (deadline == Clock::time_point::max())
        return -1;
    if (deadline <= now)
        return 0;
    const auto ms = std::chrono::duration_cast<Millis>(deadline - now).count() + 1;
    return int(std::min<long long>(ms, 60'000));
}

Clock::time_point after(Clock::time_point t, double seconds)
{
    return t + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

struct PtySimulator::Impl {
    explicit Impl(const Options& o)
        : options(o),
          model(o.address, o.frequency, o.seed),
          faults(o, o.seed ^ 0x9e3779b9u),
          output(o.baud),
          babble(o.seed * 2654435761u + 1),
          link(o.linkPath),
          epoch(Clock::now())
    {
        babble.setOn(o.babble, epoch);
    }

    // --- state guarded by mutex --------------------------------------------
    Options options;
    mutable std::mutex mutex;
    std::condition_variable changed;
    InstrumentModel model;
    FaultPicker faults;
    RequestFramer framer;
    PtyDevice device;
    PacedWriter output;
    LineBabble babble;
    DeviceLink link;
    static constexpr size_t kRequestLogLimit = 20000;
    std::vector<std::vector<uint8_t>> requests;
    size_t replies = 0;

    std::thread thread;
    int wake[2] = {-1, -1};
    bool running = false;
    bool stopRequested = false;
    bool unplugRequested = false;

    // Periodic unplugging.
    Clock::time_point pluggedAt;
    bool autoUnplugged = false;
    Clock::time_point replugAt;

    Clock::time_point quietUntil;  // the master misbehaved; leave it alone until then
    const Clock::time_point epoch;

    // --- called with the mutex held ----------------------------------------
    bool plugLocked(std::string* error)
    {
        if (!device.open(error))
            return false;
        if (!link.pointAt(device.slavePath(), error)) {
            device.close();
            return false;
        }
        pluggedAt = Clock::now();
        autoUnplugged = false;
        return true;
    }

    void unplugLocked()
    {
        output.clear();
        framer.reset();
        device.close();
        link.remove();
    }

    void wakeThread()
    {
        if (wake[1] >= 0) {
            const char c = 1;
            [[maybe_unused]] ssize_t n = ::write(wake[1], &c, 1);
        }
    }

    void closeWakePipe()
    {
        for (int& fd : wake) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

    double instrumentSeconds(Clock::time_point now) const
    {
        return std::chrono::duration<double>(now - epoch).count();
    }

    void readRequests(Clock::time_point now)
    {
        uint8_t buffer[4096];
        for (;;) {
            const ssize_t n = ::read(device.masterFd(), buffer, sizeof buffer);
            if (n > 0) {
                framer.feed(buffer, size_t(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                quietUntil = now + Millis(50);  // no slave left; should not happen while ours is open
            break;
        }
        std::vector<uint8_t> frame;
        while (framer.next(frame)) {
            // The log serves tests; a long run keeps only the newest frames
            // so that it cannot grow without limit.
            if (requests.size() >= kRequestLogLimit)
                requests.erase(requests.begin(), requests.begin() + kRequestLogLimit / 2);
            requests.push_back(frame);
            std::optional<Reply> reply = model.answer(frame, instrumentSeconds(now));
            if (!reply)
                continue;
            std::vector<WriteSegment> segments =
                applyFault(*reply, faults.next(), options.address, options.splitPauseMs, options.lateMs);
            if (segments.empty())
                continue;  // dropped
            // The processing time comes before the reply's first byte; a
            // late reply already waits longer than that.
            segments.front().pauseBeforeMs = std::max(segments.front().pauseBeforeMs, options.turnaroundMs);
            ++replies;
            output.enqueue(std::move(segments), now);
        }
    }

    // Periodic unplugging; returns when it next wants to run.
    Clock::time_point runUnplugSchedule(Clock::time_point now)
    {
        if (options.unplugEverySeconds <= 0)
            return Clock::time_point::max();
        if (device.isOpen()) {
            const Clock::time_point due = after(pluggedAt, options.unplugEverySeconds);
            if (now < due)
                return due;
            unplugLocked();
            autoUnplugged = true;
            replugAt = after(now, std::max(0.0, options.unplugForSeconds));
        }
        if (!autoUnplugged)
            return Clock::time_point::max();  // unplugged by hand: stays out until plugged back by hand
        if (now < replugAt)
            return replugAt;
        if (!plugLocked(nullptr)) {
            replugAt = now + Millis(1000);
            return replugAt;
        }
        return after(pluggedAt, options.unplugEverySeconds);
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopRequested) {
            Clock::time_point now = Clock::now();
            if (unplugRequested) {
                unplugLocked();
                autoUnplugged = false;
                unplugRequested = false;
                changed.notify_all();
            }
            Clock::time_point deadline = runUnplugSchedule(now);
            bool wantWritable = false;
            deadline = std::min(deadline, output.pump(device.masterFd(), now, &wantWritable));
            deadline = std::min(deadline, babble.pump(device.masterFd(), now, !output.transmitting(now)));

            const int fd = device.masterFd();
            pollfd fds[2] = {{wake[0], POLLIN, 0}, {fd, 0, 0}};
            nfds_t count = 1;
            if (fd >= 0 && now < quietUntil) {
                deadline = std::min(deadline, quietUntil);
            } else if (fd >= 0) {
                fds[1].events = short(POLLIN | (wantWritable ? POLLOUT : 0));
                count = 2;
            }
            const int timeout = millisUntil(deadline, now);

            lock.unlock();
            const int ready = ::poll(fds, count, timeout);
            lock.lock();

            if (ready > 0 && (fds[0].revents & POLLIN)) {
                char drain[64];
                while (::read(wake[0], drain, sizeof drain) > 0) {
                }
            }
            if (stopRequested)
                break;
            // The device may have been swapped while we slept; only its own
            // descriptor's events count.
            if (ready > 0 && count == 2 && fd == device.masterFd()
                && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
                readRequests(Clock::now());
        }
        running = false;
        changed.notify_all();
    }
};

PtySimulator::PtySimulator(const Options& options) : impl_(std::make_unique<Impl>(options)) {}

PtySimulator::~PtySimulator()
{
    stop();
}

bool PtySimulator::start(std::string* error)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->running)
        return true;
    if (!impl_->device.isOpen() && !impl_->plugLocked(error))
        return false;
    if (::pipe2(impl_->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error)
            *error = "cannot create the wake-up pipe";
        impl_->unplugLocked();
        return false;
    }
    impl_->stopRequested = false;
    impl_->unplugRequested = false;
    impl_->running = true;
    impl_->thread = std::thread([this] { impl_->run(); });
    return true;
}

void PtySimulator::stop()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->stopRequested = true;
        impl_->wakeThread();
        worker = std::move(impl_->thread);
    }
    if (worker.joinable())
        worker.join();
    std::unique_lock<std::mutex> lock(impl_->mutex);
    // A concurrent stop() may hold the thread; the device is closed only
    // once the thread no longer polls it.
    impl_->changed.wait(lock, [this] { return !impl_->running; });
    impl_->unplugLocked();
    impl_->closeWakePipe();
}

std::string PtySimulator::slavePath() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->device.isOpen() ? impl_->device.slavePath() : std::string();
}

void PtySimulator::unplug()
{
    std::unique_lock<std::mutex> lock(impl_->mutex);
    if (impl_->running) {
        // The thread may be polling the master; it closes it itself.
        impl_->unplugRequested = true;
        impl_->wakeThread();
        impl_->changed.wait(lock, [this] { return !impl_->unplugRequested || !impl_->running; });
    }
    impl_->unplugLocked();
    impl_->autoUnplugged = false;
}

bool PtySimulator::plugBack(std::string* error)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (impl_->device.isOpen())
        return true;
    if (!impl_->plugLocked(error))
        return false;
    impl_->wakeThread();
    return true;
}

bool PtySimulator::pluggedIn() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->device.isOpen();
}

void PtySimulator::injectNext(Fault fault)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.inject(fault);
}

void PtySimulator::injectStray(const std::vector<uint8_t>& bytes)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (bytes.empty())
        return;
    impl_->output.enqueue({WriteSegment{bytes, 0}}, Clock::now());
    impl_->wakeThread();
}

void PtySimulator::setBabble(bool on)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->babble.setOn(on, Clock::now());
    impl_->wakeThread();
}

void PtySimulator::setFaultShares(const Options& options)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.setShares(options);
}

std::vector<std::vector<uint8_t>> PtySimulator::requests() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->requests;
}

size_t PtySimulator::requestCount() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->requests.size();
}

void PtySimulator::clearRequests()
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->requests.clear();
}

size_t PtySimulator::replyCount() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->replies;
}

std::vector<uint8_t> PtySimulator::storedRegister(int reg) const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->model.writtenRegister(reg);
}

std::vector<uint8_t> PtySimulator::startingCapture() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->model.startingCapture();
}

} // namespace sim
