#include "answer_watch.h"

#include "link/link_master.h"

AnswerWatch::AnswerWatch(std::function<bool()> replyArriving, QObject* parent)
    : QObject(parent), replyArriving_(std::move(replyArriving))
{
    timer_.setInterval(LinkMaster::kReReadIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &AnswerWatch::tick);
}

void AnswerWatch::arm()
{
    misses_ = 0;
    deferrals_ = 0;
    timer_.start();
}

void AnswerWatch::disarm() { timer_.stop(); }

int AnswerWatch::giveUpSeconds() { return (kRepeats + 1) * LinkMaster::kReReadIntervalMs / 1000; }

void AnswerWatch::tick()
{
    // A reply that is coming in is not missing yet; but a line that never
    // stops delivering bytes (noise, another talker) is not an answer either.
    if (replyArriving_ && replyArriving_() && ++deferrals_ <= kRepeats) return;
    deferrals_ = 0;
    ++misses_;
    if (misses_ > kRepeats) {
        timer_.stop();
        if (onGiveUp) onGiveUp();
        return;
    }
    if (onMiss) onMiss(misses_);
}
