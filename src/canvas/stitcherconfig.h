#pragma once

#include "canvas/tools/annotation.h"
#include "canvas/tools/watermark.h"
#include "canvas/toolsettings.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// The editing settings shared by the main window, which writes them, and the canvas, which reads them.
class StitcherConfig : public QObject
{
    Q_OBJECT
public:
    // The one process-wide object, made on first use.
    static StitcherConfig* instance();

    // Which tool takes the mouse on the canvas; with none a drag pans.
    enum Tool { NoTool = 0, DrawTool = 1, MosaicTool = 2, TrimTool = 3 };

    int tool = NoTool;
    QList<QColor> colorList{QColor(Qt::blue), QColor(Qt::green), QColor(Qt::yellow),  QColor(255, 165, 0),
                            QColor(Qt::red),  QColor(Qt::black), QColor(128, 0, 128), QColor(Qt::white)};
    QStringList colorNames{"blue", "green", "yellow", "orange", "red", "black", "purple", "white"};
    int shape = Annotation::NoShape;
    int watermarkMode = Watermark::None;
    double penWidth = 3.0;
    double mosaicSize = 5.0;
    QString mosaicName = QStringLiteral("mosaic:none");
    QString watermarkText;
    int watermarkOpacity = 255;
    int watermarkSpacing = 50;
    int watermarkSize = 50;
    QColor watermarkColor = Qt::blue;
    QColor spacingColor = Qt::blue;
    QColor penColor = Qt::blue;
    int paintWidth = 320;
    int paintHeight = 320;

    ToolSettings toolSettings() const;
    void setToolSettings(const ToolSettings& settings);

private:
    StitcherConfig() = default;
};
