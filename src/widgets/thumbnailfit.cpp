#include "widgets/thumbnailfit.h"

#include <algorithm>

QRect thumbnailRect(const QSize& widget, const QSize& image)
{
    if (image.width() <= 0 || image.height() <= 0 || widget.width() <= 0 || widget.height() <= 0)
        return {};
    const double scale =
        std::min(double(widget.width()) / image.width(), double(widget.height()) / image.height());
    const double width = image.width() * scale;
    const double height = image.height() * scale;
    // int() truncates toward zero, which is what placement needs here, not rounding.
    return QRect(int((widget.width() - width) / 2), int((widget.height() - height) / 2), int(width),
                 int(height));
}
