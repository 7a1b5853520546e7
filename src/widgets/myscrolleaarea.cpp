#include "widgets/myscrolleaarea.h"

#include <QMouseEvent>

MyScrolleaArea::MyScrolleaArea(QWidget* parent) : QWidget(parent) {}

void MyScrolleaArea::mouseMoveEvent(QMouseEvent* event)
{
    const int x = qRound(event->localPos().x());
    const int y = qRound(event->localPos().y());
    if (!dragging) {
        // The first move of a gesture only anchors it, so a press never makes the strip jump.
        dragging = true;
        lastX = x;
        lastY = y;
        return;
    }
    if (!dragChild)
        return;
    const int dx = x - lastX;
    lastX = x;
    lastY = y;
    const int left = dragChild->x() + dx;
    // Never leave a gap at either end of the strip.
    if (left <= 0 && left + dragChild->width() > width())
        dragChild->move(left, dragChild->y());
}

void MyScrolleaArea::mouseReleaseEvent(QMouseEvent* event)
{
    dragging = false;
    QWidget::mouseReleaseEvent(event);
}
