#pragma once

#include <QColor>
#include <QString>

// What new drawing and mosaic strokes are made with, and which of those two tools is on. A project keeps
// them; they are no edit of the strip.
struct ToolSettings
{
    int tool = 0; // StitcherConfig::NoTool, DrawTool or MosaicTool
    int shape = 0;
    double penWidth = 3.0;
    QColor penColor = Qt::blue;
    QString mosaicName;
    double mosaicSize = 5.0;

    bool operator==(const ToolSettings& o) const
    {
        return tool == o.tool && shape == o.shape && penWidth == o.penWidth && penColor == o.penColor &&
               mosaicName == o.mosaicName && mosaicSize == o.mosaicSize;
    }
};
