#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPushButton>

class PaintImage;

// An arrow on an edge of a photo (or of the whole strip) that arms that edge for trimming.
class StitcherButton : public QPushButton
{
    Q_OBJECT
public:
    StitcherButton(PaintImage* paintImage, int direction, QWidget* parent);

    PaintImage* paintImage = nullptr; // none for the strip's own buttons
    int direction = 0;                // edge: 0 left, 1 top, 2 right, 3 bottom
    QPixmap pixmap;
    QPoint lastPosition;

signals:
    void stitchMove(QPoint point);
};
