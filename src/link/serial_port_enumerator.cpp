#include "link/serial_port_enumerator.h"

#include <QSerialPortInfo>

QList<PortCandidate> SerialPortEnumerator::ports()
{
    QList<PortCandidate> listed;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        PortCandidate c;
        c.path = info.systemLocation();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            c.identification = UsbIdentification(info.vendorIdentifier(), info.productIdentifier());
        listed << c;
    }
    return MergePortCandidates(listed, extras_);
}

QString SimulatedInstrumentIdentification(const QString& productIdTag)
{
    return QStringLiteral("USB\\VID_0000&PID_") + productIdTag.toUpper();
}
