#pragma once

#include "canvas/geometry.h"

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

    PaintImage* paintImage = nullptr;   // none for the strip's own buttons
    int direction = Geometry::EdgeLeft; // the edge it trims
    QPixmap pixmap;
    QPoint lastPosition;

signals:
    void stitchMove(QPoint point);
};
