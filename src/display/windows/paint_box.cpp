#include "display/windows/paint_box.h"

#include <QMouseEvent>
#include <QPainter>

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
