#pragma once
// The texts of one window, kept in the language they were written in, so the
// window can show them again in whatever language is loaded when it gets a
// LanguageChange. The windows write their texts with tr() where they build
// their controls; capture() then remembers every caption, title, tooltip,
// list item and accessible name by its source (the instrument's text, also
// for a window built while English is shown). retranslate() looks each one
// up again.
//
// A text the window has changed since (a status line, a filled-in value) was
// written by its owner in the language of that moment: if it is a whole text
// it is translated too, otherwise it keeps its language until the owner's
// next update.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

class QObject;
class QWidget;

class WindowTexts {
public:
    // Remembers the texts of root and of everything inside it. extraContexts
    // name the translation contexts of texts the window takes from elsewhere
    // (tables of the GUI-free core); the contexts of the classes between a
    // control and root are always searched.
    void capture(QWidget* root, const QStringList& extraContexts = {});
    void retranslate();

    int size() const { return int(entries_.size()); }

    enum class Slot {
        WindowTitle, ToolTip, StatusTip, AccessibleName, AccessibleDescription,
        ButtonText, LabelText, GroupTitle, Placeholder, ComboItem, TabText, HeaderItem,
        ActionText, ActionToolTip,
    };

private:
    struct Entry {
        QPointer<QObject> object;
        Slot slot;
        int index;          // list item, tab or column
        QString source;     // as written in the code
        QString shown;      // as last shown; a different text means the owner changed it
        QStringList contexts;
    };
    void add(QObject* object, Slot slot, int index, const QString& text, const QStringList& contexts);

    std::vector<Entry> entries_;
};
