#pragma once
// Finds out whether a serial port can be had: a port that is missing, not a
// serial line, or held open by another program is not free.

#include "link/serial_platform.h"

#include <QString>

#include <memory>

class PortProber {
public:
    virtual ~PortProber() = default;
    virtual bool isFree(const QString& path) = 0;
};

// Opens the port exclusively, as the serial component would, and closes it
// again at once.
class ExclusiveOpenProber : public PortProber {
public:
    ExclusiveOpenProber() : device_(serial::CreatePlatformDevice()) {}
    bool isFree(const QString& path) override;

private:
    std::unique_ptr<serial::Device> device_;
};
