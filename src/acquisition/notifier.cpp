#include "acquisition/notifier.h"

#include <cstdio>

void ConsoleNotifier::message(const QString& text, const QString& caption, Icon)
{
    const QByteArray line = (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text).toUtf8();
    std::fprintf(stderr, "%s\n", line.constData());
}

Notifier::Answer ConsoleNotifier::question(const QString& text, const QString& caption)
{
    message(text, caption, Icon::Question);
    return answer_;
}
