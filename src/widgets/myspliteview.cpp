#include "widgets/myspliteview.h"

#include "widgets/theme.h"

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
    painter.setBrush(QColor(Theme::separator));
    painter.drawRect(event->rect());
}
