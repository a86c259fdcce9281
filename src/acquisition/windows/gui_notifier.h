#pragma once
// Message boxes of the program, shown over the active window.

#include "acquisition/notifier.h"

class GuiNotifier : public Notifier {
public:
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption) override;
};
