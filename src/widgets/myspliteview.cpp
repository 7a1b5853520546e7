#include "widgets/myspliteview.h"

#include <QPaintEvent>
#include <QPainter>

MySpliteView::MySpliteView(QWidget* parent) : QWidget(parent)
{
    setFixedSize(240, 1);
}

void MySpliteView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor("#262d38"));
    painter.drawRect(event->rect());
}
