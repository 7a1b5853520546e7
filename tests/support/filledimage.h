#pragma once

#include <QColor>
#include <QImage>

// A photo of one colour.
inline QImage filledImage(int width, int height, const QColor& colour = Qt::gray)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}
