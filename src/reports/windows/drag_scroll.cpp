#include "reports/windows/drag_scroll.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

DragScroll::DragScroll(QScrollArea* area) : QObject(area), area_(area)
{
    area_->viewport()->setCursor(Qt::OpenHandCursor);
    area_->viewport()->installEventFilter(this);
}

bool DragScroll::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) break;
        dragging_ = true;
        grabbedAt_ = mouse->globalPosition();
        grabbedValue_ = area_->verticalScrollBar()->value();
        grabbedHorizontal_ = area_->horizontalScrollBar()->value();
        area_->viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        if (!dragging_) break;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The page follows the hand: dragging down shows what is above.
        const QPointF moved = mouse->globalPosition() - grabbedAt_;
        area_->verticalScrollBar()->setValue(grabbedValue_ - int(std::lround(moved.y())));
        area_->horizontalScrollBar()->setValue(grabbedHorizontal_ - int(std::lround(moved.x())));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!dragging_ || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
        dragging_ = false;
        area_->viewport()->setCursor(Qt::OpenHandCursor);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
