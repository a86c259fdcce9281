#pragma once
// Every message box of the program goes through this interface. The GUI shows
// a real box; tests and command-line tools record or print the text, so no
// test ever blocks on a modal dialog.

#include <QString>

class Notifier {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No };

    virtual ~Notifier() = default;

    // A box with an OK button.
    virtual void message(const QString& text, const QString& caption = QString(), Icon icon = Icon::Information) = 0;

    // A Yes/No question.
    virtual Answer question(const QString& text, const QString& caption) = 0;
};

// Writes every message to standard error and answers questions with a fixed
// answer; used by tools and as a default where no GUI exists.
class ConsoleNotifier : public Notifier {
public:
    explicit ConsoleNotifier(Answer answer = Answer::No) : answer_(answer) {}
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption) override;

private:
    Answer answer_;
};
