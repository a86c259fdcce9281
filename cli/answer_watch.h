#pragma once
// How long a command waits for the instrument. Like the desktop program's
// re-read timer it looks every 2 s whether the awaited answer has come; a
// look while a reply is still coming in does not count. Each look without
// the answer is a miss, on which the command asks again; after the request
// and three repeats it gives up, so a silent instrument ends a command after
// about 8 s instead of never.

#include <QObject>
#include <QTimer>

#include <functional>

class AnswerWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int kRepeats = 3;

    explicit AnswerWatch(std::function<bool()> replyArriving, QObject* parent = nullptr);

    // Starts counting misses from none (again after each answer).
    void arm();
    void disarm();
    bool armed() const { return timer_.isActive(); }

    // Seconds from the request to giving up.
    static int giveUpSeconds();

    // Miss 1 .. kRepeats: time to repeat the request (a sampling repeats on
    // its own and needs nothing here).
    std::function<void(int miss)> onMiss;
    // The miss after the last repeat.
    std::function<void()> onGiveUp;

private:
    void tick();

    std::function<bool()> replyArriving_;
    QTimer timer_;
    int misses_ = 0;
    int deferrals_ = 0;  // looks in a row that found a reply coming in
};
