#include "instrument_command.h"

#include "cli_common.h"

#include <QCoreApplication>

InstrumentCommand::InstrumentCommand(const LinkOptions& options)
    : link_(options, notifier_), watch_([this] { return link_.replyInProgress(); })
{
}

bool InstrumentCommand::openLink(int* status, std::function<void()> onStop)
{
    if (!link_.openOrReport(status)) return false;
    watch_.onGiveUp = [this] {
        PrintError(link_.noAnswerText());
        end(kExitFailure);
    };
    stopSignals_.onStop = [this, onStop = std::move(onStop)](int signalNumber) {
        stopSignal_ = signalNumber;
        onStop();
    };
    stopSignals_.install();
    return true;
}

void InstrumentCommand::end(int status)
{
    if (ended_) return;
    ended_ = true;
    watch_.disarm();
    QCoreApplication::exit(ending(status));
}
