#include "panorama/ui/photocontent.h"

#include "panorama/ui/photoitem.h"

#include <QGridLayout>

PhotoContent::PhotoContent(QWidget* parent) : QWidget(parent)
{
    gridLayout = new QGridLayout(this);
    gridLayout->setSizeConstraint(QLayout::SetFixedSize);
    gridLayout->setSpacing(10);
    gridLayout->setContentsMargins(4, 4, 4, 4);
    gridLayout->setColumnStretch(columns - 1, 0);
}

PhotoItem* PhotoContent::addPhoto(const QImage& image, const QString& path)
{
    auto* item = new PhotoItem(image, path);
    const int n = gridLayout->count();
    gridLayout->addWidget(item, n / columns, n % columns);
    return item;
}

void PhotoContent::relayoutPhotos()
{
    const QList<PhotoItem*> items = photos();
    for (PhotoItem* item : items)
        gridLayout->removeWidget(item);
    for (int i = 0; i < items.size(); ++i)
        gridLayout->addWidget(items[i], i / columns, i % columns);
}

QList<PhotoItem*> PhotoContent::photos() const
{
    // The layout keeps its items in the order they were added.
    QList<PhotoItem*> items;
    for (int i = 0; i < gridLayout->count(); ++i)
        if (auto* item = qobject_cast<PhotoItem*>(gridLayout->itemAt(i)->widget()))
            items.append(item);
    return items;
}
