#pragma once
// A paint box shows a rectangle of an off-screen surface. It never draws a
// plot itself: painting only copies what the drawing routines left there.

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>

class PaintBox : public QWidget {
    Q_OBJECT
public:
    // surface: the off-screen picture; copyRect: the part to copy, in both
    // the surface's and the box's coordinates.
    PaintBox(const QImage* surface, std::function<QRect()> copyRect, QWidget* parent = nullptr);

    std::function<void(QMouseEvent*)> onMouseMove;
    std::function<void(QMouseEvent*)> onDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const QImage* surface_;
    std::function<QRect()> copyRect_;
};
