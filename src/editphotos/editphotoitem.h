#pragma once

#include <QPointer>
#include <QWidget>

class EditPhotoImage;
class PaintImage;
class QLabel;

// One cell of the Edit Photos grid: a thumbnail with the photo's name under it.
// The cell leaves the mouse to the grid.
class EditPhotoItem : public QWidget
{
    Q_OBJECT
public:
    EditPhotoItem(PaintImage* photo, int index, QWidget* parent = nullptr);

    // The photo's position in the canvas's strip; -1 once the cell has been deleted.
    int index = -1;
    // Not owned; becomes null if the canvas deletes the photo behind the grid's back.
    QPointer<PaintImage> photo;

    EditPhotoImage* thumbnail() const { return image; }
    QLabel* nameLabel() const { return label; }

private:
    EditPhotoImage* image = nullptr;
    QLabel* label = nullptr;
};
