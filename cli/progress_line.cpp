#include "progress_line.h"

#include "cli_common.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Columns of the terminal on standard error; a line longer than that would
// wrap, and the next rewrite would leave its first part standing.
int TerminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

} // namespace

ProgressLine::ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::show(const QString& text, bool force)
{
    if (quiet_) return;
    if (terminal_) {
        // Back to the start of the line, the text, the rest of the line cleared.
        PrintErr(QStringLiteral("\r") + text.left(TerminalColumns() - 1) + QStringLiteral("\x1b[K"));
        shown_ = true;
        return;
    }
    if (!force && sinceLogged_.isValid() && sinceLogged_.elapsed() < kLogIntervalMs) return;
    sinceLogged_.start();
    PrintErr(text + u'\n');
}

void ProgressLine::done()
{
    if (terminal_ && shown_) PrintErr(QStringLiteral("\n"));
    shown_ = false;
}

QString ElapsedText(qint64 ms)
{
    const qint64 seconds = (ms + 500) / 1000;
    const QString clock = QStringLiteral("%1:%2:%3")
                              .arg((seconds / 3600) % 24, 2, 10, QLatin1Char('0'))
                              .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                              .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    const qint64 days = seconds / 86400;
    return days > 0 ? QStringLiteral("%1d %2").arg(days).arg(clock) : clock;
}
