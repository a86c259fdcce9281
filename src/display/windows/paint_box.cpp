#include "display/windows/paint_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

PaintBox::PaintBox(const QImage* surface, std::function<QRect()> copyRect, QWidget* parent)
    : QWidget(parent), surface_(surface), copyRect_(std::move(copyRect))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::paintEvent(QPaintEvent*)
{
    if (!surface_ || surface_->isNull()) return;
    QPainter painter(this);
    const QRect r = copyRect_().intersected(surface_->rect());
    // A box larger than its surface (a window on a screen bigger than the
    // one the surfaces were made for) gets a plain fill where no picture is,
    // never whatever the screen held there.
    if (!r.contains(rect())) {
        QRegion outside(rect());
        outside -= r;
        for (const QRect& part : outside) painter.fillRect(part, palette().color(QPalette::Window));
    }
    painter.drawImage(r.topLeft(), *surface_, r);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouseMove) onMouseMove(event);
    QWidget::mouseMoveEvent(event);
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (onDoubleClick) onDoubleClick(event);
    QWidget::mouseDoubleClickEvent(event);
}
