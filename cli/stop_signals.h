#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP as an ordinary event: the signal handler only
// writes a byte into a socket pair, and a socket notifier turns it into a
// call on the event loop, where the command can stop in an orderly way
// (a recording saves what it has). A handler set up here stays for the
// process's life.

#include <QObject>

#include <functional>

class QSocketNotifier;

class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    // False when the socket pair could not be made; the signals then keep
    // their default action (the process ends at once).
    bool install();

    // The number of the signal, once per signal received.
    std::function<void(int signalNumber)> onStop;

private:
    QSocketNotifier* notifier_ = nullptr;
};
