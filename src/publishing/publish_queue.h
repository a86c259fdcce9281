#pragma once
// The measurements waiting for the broker, oldest first. The front ones
// may be in flight: handed to the MQTT library under a message id and not
// yet confirmed (QoS 1: the broker's acknowledgement; QoS 0: written to the
// connection). A measurement leaves the queue only when it is confirmed, so
// nothing handed over is forgotten when the connection drops, and nothing
// is handed over twice.
//
// The queue is bounded: when it is full, the oldest measurement not yet in
// flight gives way to the new one and is counted as lost. Not thread-safe;
// the publisher guards it.

#include <QByteArray>

#include <cstddef>
#include <deque>

class PublishQueue {
public:
    explicit PublishQueue(size_t limit);

    void push(const QByteArray& payload);

    // The oldest measurement not yet handed over, or null.
    const QByteArray* next() const;
    // next() has been handed over under message id mid.
    void handedOver(int mid);
    // The library confirmed mid; false when it is none of ours (a status
    // or discovery message).
    bool confirm(int mid);
    // The connection went: what was in flight and not confirmed is handed
    // over again after reconnecting (QoS 0, which the library forgets).
    void takeBackInFlight();

    size_t size() const { return items_.size(); }
    size_t inFlight() const { return handedOver_; }
    size_t limit() const { return limit_; }
    unsigned long long lost() const { return lost_; }
    unsigned long long confirmed() const { return confirmed_; }

private:
    struct Item {
        QByteArray payload;
        int mid = -1;
        bool confirmed = false;
    };

    std::deque<Item> items_;
    size_t handedOver_ = 0;  // the first handedOver_ items are in flight
    size_t limit_;
    unsigned long long lost_ = 0;
    unsigned long long confirmed_ = 0;
};
