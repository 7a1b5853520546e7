#include "support/configreset.h"

#include "canvas/stitcherconfig.h"
#include "canvas/tools/annotation.h"
#include "canvas/tools/watermark.h"

void resetConfig()
{
    StitcherConfig& c = *StitcherConfig::instance();
    c.tool = StitcherConfig::NoTool;
    c.shape = Annotation::NoShape;
    c.watermarkMode = Watermark::None;
    c.watermarkText.clear();
    c.mosaicName = QStringLiteral("mosaic:none");
    c.paintWidth = c.paintHeight = 320;
}
