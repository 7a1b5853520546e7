#include "canvas/stitcherconfig.h"

StitcherConfig* StitcherConfig::instance()
{
    static StitcherConfig config;
    return &config;
}

ToolSettings StitcherConfig::toolSettings() const
{
    // The trimming tool belongs to the strip's cuts, not to what strokes are made with.
    const bool kept = tool == DrawTool || tool == MosaicTool;
    return {kept ? tool : NoTool, shape, penWidth, penColor, mosaicName, mosaicSize};
}

void StitcherConfig::setToolSettings(const ToolSettings& settings)
{
    tool = settings.tool;
    shape = settings.shape;
    penWidth = settings.penWidth;
    penColor = settings.penColor;
    mosaicName = settings.mosaicName;
    mosaicSize = settings.mosaicSize;
}
