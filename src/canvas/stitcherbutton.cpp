#include "canvas/stitcherbutton.h"

StitcherButton::StitcherButton(PaintImage* paintImage, int direction, QWidget* parent)
    : QPushButton(parent), paintImage(paintImage), direction(direction)
{
}
