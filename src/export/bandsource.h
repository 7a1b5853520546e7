#pragma once

#include <QImage>
#include <QSize>

#include <functional>

// A picture that exists only as bands of rows painted on demand, so that no image of the whole picture
// is ever needed. band(top, rows) returns rows [top, top + rows) as an image size.width() wide, or a
// null image when it cannot be made; it is called on the exporting thread only, in order from the top.
struct BandSource
{
    QSize size;
    std::function<QImage(int top, int rows)> band;

    // Bands of an image that exists already, sharing its memory.
    static BandSource fromImage(const QImage& image)
    {
        return {image.size(), [image](int top, int rows) {
                    QImage rowsOf(image.constScanLine(top), image.width(), rows, image.bytesPerLine(),
                                  image.format());
                    rowsOf.setColorTable(image.colorTable());
                    rowsOf.setDotsPerMeterX(image.dotsPerMeterX());
                    rowsOf.setDotsPerMeterY(image.dotsPerMeterY());
                    return rowsOf;
                }};
    }
};
