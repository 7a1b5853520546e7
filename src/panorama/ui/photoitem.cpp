#include "panorama/ui/photoitem.h"

#include "intake/photointake.h"
#include "panorama/ui/photoimage.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

PhotoItem::PhotoItem(const QImage& image, const QString& path, QWidget* parent)
    : QWidget(parent), filePath(path)
{
    setFixedWidth(130);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->setContentsMargins(2, 2, 2, 2);

    thumbnailView = new PhotoImage(image, this);
    layout->addWidget(thumbnailView, 0, Qt::AlignHCenter);

    const QString name = PhotoIntake::displayName(path);
    auto* label = new QLabel(this);
    label->setStyleSheet(QStringLiteral("color: white"));
    // A long name is shortened to the cell rather than widening or clipping it.
    label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, thumbnailView->width()));
    if (label->text() != name)
        label->setToolTip(name);
    layout->addWidget(label, 0, Qt::AlignHCenter);
}

void PhotoItem::toggleSelected()
{
    selected = !selected;
    update();
}

void PhotoItem::paintEvent(QPaintEvent*)
{
    if (!selected)
        return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::red, 3));
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 1, height() - 1)));
}
