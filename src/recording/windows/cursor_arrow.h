#pragma once
// The small arrow above the trend chart (iLedArrow1) that follows the mouse
// pointer, so the column being read out stays marked.

#include <QWidget>

class CursorArrow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 11;
    static constexpr int kHeight = 10;
    // The tip's column within the arrow.
    static constexpr int kTipColumn = kWidth / 2;

    explicit CursorArrow(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
