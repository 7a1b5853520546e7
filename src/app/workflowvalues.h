#pragma once

#include "canvas/geometry.h"

#include <QString>

#include <optional>

// The numbers behind the tool panel's controls, callable without a window.
namespace WorkflowValues {

// The zoom buttons move the slider by 2 and never leave its range (0..100 unless a fit widened it).
inline int zoomInValue(int value, int maximum = 100)
{
    return value >= maximum ? value : qMin(value + 2, maximum);
}
inline int zoomOutValue(int value, int minimum = 0)
{
    return value <= minimum ? value : qMax(value - 2, minimum);
}

// Pen widths of the Small, Medium and Large entries; anything else counts as Large.
inline double penWidthFor(int entry)
{
    return entry == 0 ? 3.0 : entry == 1 ? 6.0 : 9.0;
}

// Spacing mode of the Inner (0), Outer (1) and All (2) buttons.
inline int spacingModeFor(int button)
{
    using namespace Geometry;
    return button == 0 ? SpacingInnerBit : button == 1 ? SpacingOuterBit : SpacingInnerBit | SpacingOuterBit;
}

// Largest common photo width or height the entries accept, in canvas units: the side of the largest
// photo the intake decodes (16384 x 16384). Beyond it the strip could not be rendered or exported, and
// the layout arithmetic stays far from overflowing.
constexpr int maxCommonSide = 16384;

// The value of a width or height entry, or nothing when it is not a decimal number from 1 to
// maxCommonSide (numbers too long for an int included).
std::optional<int> parseCommonSide(const QString& text);

} // namespace WorkflowValues
