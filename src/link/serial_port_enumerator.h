#pragma once
// The serial ports of this computer as Qt SerialPort lists them, with the USB
// identification of each adapter, plus candidates the program was told about
// (a port named on the command line, the simulated instrument's
// pseudo-terminal), which the system listing never contains.

#include "link/port_enumerator.h"

class SerialPortEnumerator : public PortEnumerator {
public:
    explicit SerialPortEnumerator(QList<PortCandidate> extras = {}) : extras_(std::move(extras)) {}

    void setExtraCandidates(QList<PortCandidate> extras) { extras_ = std::move(extras); }
    const QList<PortCandidate>& extraCandidates() const { return extras_; }

    QList<PortCandidate> ports() override;

private:
    QList<PortCandidate> extras_;
};

// The identification the simulated instrument's port carries: a USB
// identification whose product id is the instrument's tag.
QString SimulatedInstrumentIdentification(const QString& productIdTag);
