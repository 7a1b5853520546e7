#pragma once

// The editing settings outlive each window and canvas: every case starts with no tool, shape or
// watermark, the first mosaic name and the first common size. Colours, widths and sliders keep their
// values, so that a suite's first case still sees those the program starts with.
void resetConfig();
