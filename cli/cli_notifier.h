#pragma once
// Message boxes of the core as lines on standard error, each one line, and
// questions answered as the command line decided beforehand (--overwrite).

#include "acquisition/notifier.h"

#include <QString>

class CliNotifier : public Notifier {
public:
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption) override;

    void setAnswer(Answer answer) { answer_ = answer; }
    // Messages shown so far.
    int messageCount() const { return count_; }

private:
    Answer answer_ = Answer::No;
    int count_ = 0;
};
