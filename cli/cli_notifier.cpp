#include "cli_notifier.h"

#include "cli_common.h"

void CliNotifier::message(const QString& text, const QString& caption, Icon)
{
    ++count_;
    PrintError(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

Notifier::Answer CliNotifier::question(const QString&, const QString&) { return answer_; }
