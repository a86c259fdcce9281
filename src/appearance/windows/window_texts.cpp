#include "appearance/windows/window_texts.h"

#include "appearance/windows/ui_translator.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace {

using Slot = WindowTexts::Slot;

// What QAction shows as its tooltip when none was set: its text without
// mnemonics and ellipsis. Such a tooltip follows the text by itself.
QString DerivedToolTip(QString text)
{
    text.remove(QStringLiteral("..."));
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) text.remove(i, 1);
    }
    return text.trimmed();
}

QString Read(QObject* object, Slot slot, int index)
{
    auto* w = qobject_cast<QWidget*>(object);
    switch (slot) {
    case Slot::WindowTitle: return w->windowTitle();
    case Slot::ToolTip: return w->toolTip();
    case Slot::StatusTip: return w->statusTip();
    case Slot::AccessibleName: return w->accessibleName();
    case Slot::AccessibleDescription: return w->accessibleDescription();
    case Slot::ButtonText: return static_cast<QAbstractButton*>(w)->text();
    case Slot::LabelText: return static_cast<QLabel*>(w)->text();
    case Slot::GroupTitle: return static_cast<QGroupBox*>(w)->title();
    case Slot::Placeholder:
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->placeholderText();
        return static_cast<QLineEdit*>(w)->placeholderText();
    case Slot::ComboItem: {
        auto* combo = static_cast<QComboBox*>(w);
        return index < combo->count() ? combo->itemText(index) : QString();
    }
    case Slot::TabText: return static_cast<QTabWidget*>(w)->tabText(index);
    case Slot::HeaderItem: {
        QTableWidgetItem* item = static_cast<QTableWidget*>(w)->horizontalHeaderItem(index);
        return item ? item->text() : QString();
    }
    case Slot::ActionText: return static_cast<QAction*>(object)->text();
    case Slot::ActionToolTip: return static_cast<QAction*>(object)->toolTip();
    }
    return QString();
}

void Write(QObject* object, Slot slot, int index, const QString& text)
{
    auto* w = qobject_cast<QWidget*>(object);
    switch (slot) {
    case Slot::WindowTitle: w->setWindowTitle(text); break;
    case Slot::ToolTip: w->setToolTip(text); break;
    case Slot::StatusTip: w->setStatusTip(text); break;
    case Slot::AccessibleName: w->setAccessibleName(text); break;
    case Slot::AccessibleDescription: w->setAccessibleDescription(text); break;
    case Slot::ButtonText: static_cast<QAbstractButton*>(w)->setText(text); break;
    case Slot::LabelText: static_cast<QLabel*>(w)->setText(text); break;
    case Slot::GroupTitle: static_cast<QGroupBox*>(w)->setTitle(text); break;
    case Slot::Placeholder:
        if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setPlaceholderText(text);
        else static_cast<QLineEdit*>(w)->setPlaceholderText(text);
        break;
    case Slot::ComboItem: static_cast<QComboBox*>(w)->setItemText(index, text); break;
    case Slot::TabText: static_cast<QTabWidget*>(w)->setTabText(index, text); break;
    case Slot::HeaderItem:
        if (QTableWidgetItem* item = static_cast<QTableWidget*>(w)->horizontalHeaderItem(index)) item->setText(text);
        break;
    case Slot::ActionText: static_cast<QAction*>(object)->setText(text); break;
    case Slot::ActionToolTip: static_cast<QAction*>(object)->setToolTip(text); break;
    }
}

// The classes from the control up to the window: tr() in any of them (or in
// a helper that names one of them) may have written the text.
QStringList ContextsOf(QObject* object, const QWidget* root, const QStringList& extra)
{
    QStringList contexts;
    for (QObject* o = object; o; o = o->parent()) {
        const QString name = QString::fromLatin1(o->metaObject()->className());
        if (!contexts.contains(name)) contexts << name;
        if (o == root) break;
    }
    for (const QString& c : extra) {
        if (!contexts.contains(c)) contexts << c;
    }
    return contexts;
}

QString Translate(const QString& source, const QStringList& contexts)
{
    const QByteArray text = source.toUtf8();
    for (const QString& context : contexts) {
        const QString t = QCoreApplication::translate(context.toLatin1().constData(), text.constData());
        if (t != source) return t;
    }
    return source;
}

// What the text was translated from, when it was; else the text itself.
QString SourceOf(const QString& text, const QStringList& contexts)
{
    for (const QString& context : contexts) {
        const QByteArray query = SourceTextQuery(context, text).toUtf8();
        const QString source = QCoreApplication::translate(kSourceTextContext, query.constData());
        if (source != QString::fromUtf8(query)) return source;
    }
    return text;
}

} // namespace

void WindowTexts::add(QObject* object, Slot slot, int index, const QString& text, const QStringList& contexts)
{
    if (text.trimmed().isEmpty()) return;
    // A window built while English is shown was given the English texts.
    entries_.push_back(Entry{object, slot, index, SourceOf(text, contexts), text, contexts});
}

void WindowTexts::capture(QWidget* root, const QStringList& extraContexts)
{
    entries_.clear();
    QList<QWidget*> widgets{root};
    widgets += root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const QStringList contexts = ContextsOf(w, root, extraContexts);
        add(w, Slot::WindowTitle, 0, w->windowTitle(), contexts);
        add(w, Slot::ToolTip, 0, w->toolTip(), contexts);
        add(w, Slot::StatusTip, 0, w->statusTip(), contexts);
        add(w, Slot::AccessibleName, 0, w->accessibleName(), contexts);
        add(w, Slot::AccessibleDescription, 0, w->accessibleDescription(), contexts);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // A tool button showing an action follows the action.
            auto* tool = qobject_cast<QToolButton*>(w);
            if (!tool || !tool->defaultAction()) add(w, Slot::ButtonText, 0, button->text(), contexts);
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            add(w, Slot::LabelText, 0, label->text(), contexts);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            add(w, Slot::GroupTitle, 0, group->title(), contexts);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            add(w, Slot::Placeholder, 0, combo->placeholderText(), contexts);
            for (int i = 0; i < combo->count(); ++i) add(w, Slot::ComboItem, i, combo->itemText(i), contexts);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            add(w, Slot::Placeholder, 0, edit->placeholderText(), contexts);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) add(w, Slot::TabText, i, tabs->tabText(i), contexts);
        } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
            for (int i = 0; i < table->columnCount(); ++i) {
                if (QTableWidgetItem* item = table->horizontalHeaderItem(i))
                    add(w, Slot::HeaderItem, i, item->text(), contexts);
            }
        }
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        const QStringList contexts = ContextsOf(action, root, extraContexts);
        add(action, Slot::ActionText, 0, action->text(), contexts);
        if (action->toolTip() != DerivedToolTip(action->text()))
            add(action, Slot::ActionToolTip, 0, action->toolTip(), contexts);
    }
}

void WindowTexts::retranslate()
{
    for (Entry& e : entries_) {
        if (!e.object) continue;
        const QString current = Read(e.object, e.slot, e.index);
        // A text its owner has written since (a status line) was written in
        // the language of that moment: a whole text is still found (an
        // English one through what it was translated from), the rest waits
        // for the owner's next update.
        if (current != e.shown) e.source = SourceOf(current, e.contexts);
        const QString text = Translate(e.source, e.contexts);
        if (text != current) Write(e.object, e.slot, e.index, text);
        e.shown = text;
    }
}
