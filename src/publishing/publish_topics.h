#pragma once
// The topics one instrument publishes under, named after the bench:
//   qzr6100/NAME/measurement   one JSON object per measurement
//   qzr6100/NAME/availability  "online" (retained) / "offline" (Last Will)
//   qzr6100/NAME/status        retained: "sampling" or why not
// and the retained Home Assistant discovery configurations
//   homeassistant/sensor/qzr6100_NAME/<readout>/config
// that make the fifteen readouts appear there as one device.

#include <QByteArray>
#include <QString>

// A bench name is one topic level and part of Home Assistant's ids:
// letters, digits, '-' and '_' only.
bool IsValidBenchName(const QString& name);
// The host name (or any text) made into a bench name; "qzr6100" when
// nothing usable is left.
QString BenchNameFrom(const QString& text);

struct PublishTopics {
    explicit PublishTopics(const QString& name);

    QByteArray measurement;
    QByteArray availability;
    QByteArray status;
    QString name;

    // Discovery topic and configuration of readout i (0..14).
    QByteArray discoveryTopic(int readout) const;
    QByteArray discoveryConfig(int readout) const;
};

// The retained status text: the sampling state and, once measurements were
// lost to a full queue, how many ("sampling; 12 measurements lost").
QByteArray StatusText(const QString& samplingState, quint64 lost);
