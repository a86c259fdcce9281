#pragma once
// The desktop program's side of publishing: while it is switched on, every
// measurement the program takes (single or continuous) goes to the
// publisher with the time it was taken, and the retained status follows
// the sampling: "sampling", "not sampling", "instrument not answering"
// (no measurement for 8 s while sampling) or "port lost". New settings
// replace the publisher; the old one stops cleanly on its own thread.

#include "publishing/mqtt_publisher.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

struct AcquisitionState;
class InstrumentRequests;
class SamplingController;

class MeasurementPublishing : public QObject {
    Q_OBJECT

public:
    static constexpr int kSilenceMs = 8000;

    MeasurementPublishing(AcquisitionState& state, SamplingController& sampling, InstrumentRequests& requests,
                          QObject* parent = nullptr);
    ~MeasurementPublishing() override;

    // Starts publishing with config, replacing any publisher; false with the
    // reason when it cannot start.
    bool start(const PublisherConfig& config, QString* error);
    void stop();

    // Null while off.
    const MqttPublisher* publisher() const { return publisher_.get(); }
    PublisherStatus status() const;

signals:
    // The broker state or the queue changed, or publishing was switched.
    void changed();

private:
    void measurementTaken();
    void watchSampling();
    void retire();

    AcquisitionState& state_;
    InstrumentRequests& requests_;
    std::unique_ptr<MqttPublisher> publisher_;
    QTimer samplingWatch_;
    QElapsedTimer sinceMeasurement_;
    bool wasSampling_ = false;
};
