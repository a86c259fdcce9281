#pragma once
// One channel's panel in the record window's " Parameter " group: the
// channel's name ("CH1 "), the quantity it records (Label7 .. Label12), the
// value under the chart's cursor (Label13 .. Label18), a button that shows or
// hides the channel's trace and two buttons that step its vertical scale.

#include "recording/view_state.h"

#include <QColor>
#include <QFrame>

class QLabel;
class QToolButton;

class ChannelPanel : public QFrame {
    Q_OBJECT
public:
    // channel 0 .. 5 (CH1 .. CH6); colour is the channel's trace colour.
    ChannelPanel(int channel, const QColor& color, QWidget* parent = nullptr);

    QLabel* quantityLabel() const { return quantityLabel_; }
    QLabel* valueLabel() const { return valueLabel_; }
    QToolButton* visibilityButton() const { return visibilityButton_; }
    QToolButton* scaleUpButton() const { return scaleUpButton_; }
    QToolButton* scaleDownButton() const { return scaleDownButton_; }

    // The labels' and buttons' part of a visibility or scale change; the
    // visibility button shows whether the trace is drawn.
    void apply(const ChannelChange& change, bool visible);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showToolTips();

    QString name_;  // "CH1" .. "CH6"
    QLabel* nameLabel_ = nullptr;
    QLabel* quantityLabel_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QToolButton* visibilityButton_ = nullptr;
    QToolButton* scaleUpButton_ = nullptr;
    QToolButton* scaleDownButton_ = nullptr;
};
