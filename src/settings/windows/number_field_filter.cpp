#include "settings/windows/number_field_filter.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace {

// Keys that move the cursor or the focus, select, copy, or only take text
// away. They type nothing that could make a field hold something else than
// a number of what it held before.
bool IsEditingKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    // Escape goes on to the window, which closes as every Qt dialog does on
    // Esc. The field keeps what was typed (these windows keep their fields
    // between showings), so a half-typed value is neither sent nor lost:
    // it is there when the window is shown again.
    case Qt::Key_Escape:
        return true;
    default:
        break;
    }
    return key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut) ||
           key.matches(QKeySequence::SelectAll) || key.matches(QKeySequence::Undo) ||
           key.matches(QKeySequence::Redo);
}

QString ClipboardText(QClipboard::Mode mode)
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text(mode) : QString();
}

} // namespace

NumberFieldFilter::NumberFieldFilter(MinusKey minus, QObject* parent) : QObject(parent), minus_(minus) {}

void NumberFieldFilter::watch(QLineEdit* field) { field->installEventFilter(this); }

bool NumberFieldFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) return !allows(ClipboardText(QClipboard::Clipboard));
        if (IsEditingKey(*key)) return false;
        // Whatever else types a character must type a number's character;
        // keys that type nothing (Shift, function keys) pass unharmed.
        return !IsNumberKeyAllowed(key->text(), minus_);
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData() && allows(drop->mimeData()->text())) return false;
        drop->ignore();
        return true;
    }
    case QEvent::MouseButtonRelease:
        // The middle button pastes the X selection.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
            return !allows(ClipboardText(QClipboard::Selection));
        return false;
    case QEvent::ContextMenu: {
        // The field's own menu, with Paste offered only for a number.
        QMenu* menu = field->createStandardContextMenu();
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste"))
                action->setEnabled(action->isEnabled() && allows(ClipboardText(QClipboard::Clipboard)));
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::InputMethod: {
        auto* input = static_cast<QInputMethodEvent*>(event);
        // The composition goes on; only what it would commit is dropped.
        if (!allows(input->commitString())) input->setCommitString(QString());
        return false;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
