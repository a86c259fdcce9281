#pragma once
// Keeps a settings window's number fields to number characters, whichever
// way text comes in: typed keys, paste (keys, context menu, the middle
// button's selection), drag and drop, and input methods. The rule itself is
// settings/number_keys.h; this object applies it to QLineEdits.

#include "settings/number_keys.h"

#include <QObject>

class QLineEdit;

class NumberFieldFilter : public QObject {
    Q_OBJECT
public:
    NumberFieldFilter(MinusKey minus, QObject* parent);

    // Applies the rule to this field from now on.
    void watch(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allows(const QString& text) const { return IsNumberTextAllowed(text, minus_); }

    MinusKey minus_;
};
