#include "recording/windows/cursor_arrow.h"

#include <QPainter>

CursorArrow::CursorArrow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("iLedArrow1"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CursorArrow::paintEvent(QPaintEvent*)
{
    // A downward triangle, one pixel row at a time so the tip is exactly one
    // column wide at kTipColumn.
    QPainter p(this);
    const QColor fill(220, 40, 40);
    for (int row = 0; row < kHeight; ++row) {
        const int half = std::max(0, kTipColumn - row * kTipColumn / (kHeight - 1));
        p.fillRect(QRect(kTipColumn - half, row, 2 * half + 1, 1), fill);
    }
}
