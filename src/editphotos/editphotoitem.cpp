#include "editphotos/editphotoitem.h"

#include "canvas/paintimage.h"
#include "editphotos/editphotoimage.h"

#include <QLabel>
#include <QVBoxLayout>

EditPhotoItem::EditPhotoItem(PaintImage* photo, int index, QWidget* parent)
    : QWidget(parent), index(index), photo(photo)
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(5);
    // No side margins: the 200-wide thumbnail then fills the 200-wide cell instead of being clipped,
    // and three cells fit side by side in the window.
    layout->setContentsMargins(0, 5, 0, 5);

    image = new EditPhotoImage(photo, this);
    layout->addWidget(image);

    const QString name = photo ? photo->name : QString();
    label = new QLabel(this);
    label->setStyleSheet("color: white;");
    // A long file name is shortened in the middle so that the cell keeps its width.
    label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, 200));
    label->setToolTip(name);
    layout->addWidget(label, 0, Qt::AlignHCenter);

    setFixedWidth(200);
}
