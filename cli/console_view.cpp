#include "console_view.h"

void ConsoleView::setStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < int(panels_.size())) panels_[size_t(panel)] = text;
    if (onStatus) onStatus(panel, text);
}

QString ConsoleView::statusText(int panel) const
{
    return panel >= 0 && panel < int(panels_.size()) ? panels_[size_t(panel)] : QString();
}
