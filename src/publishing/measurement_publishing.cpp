#include "measurement_publishing.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/sampling_controller.h"
#include "link/register_map.h"

#include <QDateTime>

namespace {

// How long a stopped publisher may take to send what is queued.
constexpr int kFlushMs = 2000;

} // namespace

MeasurementPublishing::MeasurementPublishing(AcquisitionState& state, SamplingController& sampling,
                                             InstrumentRequests& requests, QObject* parent)
    : QObject(parent), state_(state), requests_(requests)
{
    connect(&sampling, &SamplingController::measurementHandled, this, &MeasurementPublishing::measurementTaken);
    samplingWatch_.setInterval(1000);
    connect(&samplingWatch_, &QTimer::timeout, this, &MeasurementPublishing::watchSampling);
}

MeasurementPublishing::~MeasurementPublishing() = default;

bool MeasurementPublishing::start(const PublisherConfig& config, QString* error)
{
    retire();
    auto publisher = std::make_unique<MqttPublisher>(config);
    if (!publisher->start(error)) {
        emit changed();
        return false;
    }
    publisher_ = std::move(publisher);
    connect(publisher_.get(), &MqttPublisher::statusChanged, this, &MeasurementPublishing::changed);
    connect(publisher_.get(), &MqttPublisher::finished, this, &MeasurementPublishing::changed);
    wasSampling_ = false;
    watchSampling();
    samplingWatch_.start();
    emit changed();
    return true;
}

void MeasurementPublishing::stop()
{
    retire();
    emit changed();
}

// The publisher goes on flushing, says "offline" and disconnects on its
// thread, and is deleted when it is done.
void MeasurementPublishing::retire()
{
    samplingWatch_.stop();
    if (!publisher_) return;
    MqttPublisher* old = publisher_.release();
    old->disconnect(this);
    old->setParent(this);
    connect(old, &MqttPublisher::finished, old, &QObject::deleteLater);
    old->stop(kFlushMs);
    if (!old->running()) old->deleteLater();
}

PublisherStatus MeasurementPublishing::status() const
{
    if (publisher_) return publisher_->status();
    PublisherStatus off;
    off.state = BrokerState::Stopped;
    return off;
}

void MeasurementPublishing::measurementTaken()
{
    sinceMeasurement_.start();
    if (!publisher_) return;
    publisher_->publish(QDateTime::currentDateTime(), state_.ReceivedRecord);
    publisher_->setSamplingState(state_.SamplingMode == SamplingIdle ? QStringLiteral("not sampling")
                                                                     : QStringLiteral("sampling"));
}

void MeasurementPublishing::watchSampling()
{
    if (!publisher_) return;
    const bool sampling = state_.SamplingMode != SamplingIdle;
    if (sampling && !wasSampling_) sinceMeasurement_.start();
    wasSampling_ = sampling;
    if (!sampling) {
        publisher_->setSamplingState(QStringLiteral("not sampling"));
    } else if (!requests_.portOpen()) {
        publisher_->setSamplingState(QStringLiteral("port lost"));
    } else if (sinceMeasurement_.isValid() && sinceMeasurement_.elapsed() > kSilenceMs) {
        publisher_->setSamplingState(QStringLiteral("instrument not answering"));
    }
}
