#pragma once
// Lets the user move a scroll area's page up and down by dragging it with
// the left button: an open hand over the page, a closed hand while it is
// held. The mouse events of the page's own widgets reach the viewport when
// they do not use them, so the whole page can be taken hold of.

#include <QObject>
#include <QPointF>

class QScrollArea;

class DragScroll : public QObject {
    Q_OBJECT
public:
    // Watches `area`'s viewport; a child of the area.
    explicit DragScroll(QScrollArea* area);

    bool dragging() const { return dragging_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollArea* area_;
    bool dragging_ = false;
    QPointF grabbedAt_;  // global position of the press
    int grabbedValue_ = 0;  // the scroll bars' values at the press
    int grabbedHorizontal_ = 0;
};
