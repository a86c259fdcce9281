#pragma once
// A progress line on standard error. On a terminal it is one line rewritten
// in place; written to a file or a pipe (a log) it becomes a line now and
// then, so that a day's recording does not fill the log.

#include <QElapsedTimer>
#include <QString>

class ProgressLine {
public:
    static constexpr int kLogIntervalMs = 10000;

    ProgressLine();
    bool onTerminal() const { return terminal_; }
    // -q: nothing is shown.
    void setQuiet(bool quiet) { quiet_ = quiet; }

    // The current state. In a log it is written when forced, or when the
    // last line written is at least kLogIntervalMs old.
    void show(const QString& text, bool force = false);
    // Ends the line on a terminal, so that what follows starts on its own.
    void done();

private:
    bool terminal_ = false;
    bool quiet_ = false;
    bool shown_ = false;
    QElapsedTimer sinceLogged_;
};

// "00:01:05" for 65 seconds; days as "2d 03:00:00".
QString ElapsedText(qint64 ms);
