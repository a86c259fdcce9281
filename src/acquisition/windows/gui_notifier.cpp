#include "acquisition/windows/gui_notifier.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Notifier::Icon icon)
{
    switch (icon) {
    case Notifier::Icon::Warning: return QMessageBox::Warning;
    case Notifier::Icon::Error: return QMessageBox::Critical;
    case Notifier::Icon::Question: return QMessageBox::Question;
    case Notifier::Icon::Information: break;
    }
    return QMessageBox::Information;
}

QString captionOr(const QString& caption)
{
    return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}

} // namespace

void GuiNotifier::message(const QString& text, const QString& caption, Icon icon)
{
    QMessageBox box(boxIcon(icon), captionOr(caption), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

Notifier::Answer GuiNotifier::question(const QString& text, const QString& caption)
{
    const auto choice = QMessageBox::question(QApplication::activeWindow(), captionOr(caption), text,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return choice == QMessageBox::Yes ? Answer::Yes : Answer::No;
}
