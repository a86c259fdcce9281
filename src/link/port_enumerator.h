#pragma once
// The serial ports a port scan considers, each with the identification of
// the device behind it, and the source that lists them. The real source asks
// the system (serial_port_enumerator.h); tests hand in fixed lists.

#include <QList>
#include <QString>

#include <cstdint>

struct PortCandidate {
    QString path;            // device path to open, e.g. /dev/ttyUSB0
    QString identification;  // "USB\VID_xxxx&PID_xxxx" for USB devices, otherwise empty
};

class PortEnumerator {
public:
    virtual ~PortEnumerator() = default;
    // Every port worth probing, in the order the list should show them.
    virtual QList<PortCandidate> ports() = 0;
};

// "USB\VID_0000&PID_5736": four upper-case hex digits each.
QString UsbIdentification(uint16_t vendorId, uint16_t productId);

// True when both paths name the same device, also through symbolic links.
bool SamePortPath(const QString& a, const QString& b);

// Orders the ports the system lists by name, numbers by value (ttyS2 before
// ttyS10), and appends the extra candidates that are not among them; extras
// without a path are dropped, and so is every later duplicate.
QList<PortCandidate> MergePortCandidates(QList<PortCandidate> listed, const QList<PortCandidate>& extras);
