#include "panorama/ui/resultgeometry.h"

#include <algorithm>

namespace ResultGeometry {

Fit fitPicture(const QSize& image)
{
    Fit fit;
    if (image.width() <= 0 || image.height() <= 0) {
        fit.rect = QRect(stageWidth / 2, stageHeight / 2, 0, 0);
        return fit;
    }
    const double scale = std::min(double(stageWidth) / image.width(), double(stageHeight) / image.height());
    fit.baseWidth = image.width() * scale;
    fit.baseHeight = image.height() * scale;
    // int() truncates toward zero, as placement needs.
    fit.rect = QRect(int((stageWidth - fit.baseWidth) * 0.5), int((stageHeight - fit.baseHeight) * 0.5),
                     int(fit.baseWidth), int(fit.baseHeight));
    return fit;
}

QRect zoomAboutCentre(const QRect& current, double baseWidth, double baseHeight, double factor)
{
    const double width = baseWidth * factor;
    const double height = baseHeight * factor;
    return QRect(int(current.x() - (width - current.width()) * 0.5),
                 int(current.y() - (height - current.height()) * 0.5), int(width), int(height));
}

} // namespace ResultGeometry
