#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// What one run of `seamwright join` or `seamwright panorama` was asked to do.
struct JobOptions
{
    enum class Direction { Horizontal, Vertical };
    enum class WatermarkMode { Bottom, Tile };
    enum class PanoramaStyle { Panorama, Scans };

    QStringList photos; // in strip order
    QString output;     // "-" is standard output
    QString format;     // png, jpeg or webp; empty: the output's suffix says, else PNG
    bool quiet = false;

    // join: the tool panel's and the bottom bar's values.
    Direction direction = Direction::Horizontal;
    int commonSize = 0; // 0 keeps the first photo's
    int inner = -1;     // slider value; -1 leaves that spacing off
    int outer = -1;
    QColor spacingColor = Qt::white;
    QString watermarkText; // empty: no watermark
    WatermarkMode watermarkMode = WatermarkMode::Bottom;
    int watermarkOpacity = 255;
    int watermarkSize = 50;
    int watermarkSpacing = 50;
    QColor watermarkColor = Qt::blue;
    int quality = 90;          // JPEG and WebP
    int partLength = 0;        // 0: one file
    int calm = 90;             // calm-cut sensitivity of the parts; 0 cuts at the length
    bool replaceParts = false; // older parts of the name beyond the new ones are removed
    // Screenshots of one scrolling page: trimmed where each continues the one before.
    bool overlap = false;

    // panorama
    PanoramaStyle panoramaStyle = PanoramaStyle::Panorama;
    bool keepWhole = false; // the empty edges too, not cut to the largest rectangle of picture
};
