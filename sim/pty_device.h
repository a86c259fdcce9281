#pragma once
// One pseudo-terminal standing in for the instrument's serial device. The
// simulator talks on the master side; the program opens the slave path.
// An inner descriptor of the slave stays open for the device's lifetime so
// that the master does not report hang-up while the program has the port
// closed; it is never read.

#include <string>

namespace sim {

class PtyDevice {
public:
    PtyDevice() = default;
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Opens a fresh pseudo-terminal in raw mode with a non-blocking master.
    bool open(std::string* error);
    // Closes both sides; a program still holding the slave sees hang-up.
    void close();

    bool isOpen() const { return master_ >= 0; }
    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int innerSlave_ = -1;
    std::string slavePath_;
};

// A symbolic link kept pointing at the current slave device, replaced
// atomically so a program opening the link never finds it half-made.
class DeviceLink {
public:
    explicit DeviceLink(std::string path) : path_(std::move(path)) {}
    bool enabled() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    bool pointAt(const std::string& target, std::string* error);
    // Removes the link if it still points where we last set it; a link that
    // someone else has since taken over is left alone.
    void remove();

private:
    std::string path_;
    std::string target_;
};

} // namespace sim
