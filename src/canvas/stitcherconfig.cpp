#include "canvas/stitcherconfig.h"

StitcherConfig* StitcherConfig::instance()
{
    static StitcherConfig config;
    return &config;
}
