#include "export/regionsource.h"

#include <QVector>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Enough for the cells of a band across a strip and the band before it.
constexpr int keptCells = 8;

struct CellCache
{
    QSize size;
    QSize cell;
    std::function<QImage(const QRect&)> paintCell;
    QVector<QPair<QRect, QImage>> kept; // most recent last

    QImage cellAt(const QRect& rect)
    {
        for (int i = 0; i < kept.size(); ++i) {
            if (kept[i].first == rect) {
                kept.append(kept.takeAt(i));
                return kept.last().second;
            }
        }
        QImage image = paintCell(rect);
        if (image.isNull() || image.size() != rect.size())
            return {};
        if (kept.size() == keptCells)
            kept.removeFirst();
        kept.append({rect, image});
        return image;
    }

    QImage render(const QRect& area)
    {
        // An area that is one whole cell needs no copy.
        const QRect first(area.left() / cell.width() * cell.width(),
                          area.top() / cell.height() * cell.height(), cell.width(), cell.height());
        if (first.intersected(QRect(QPoint(), size)) == area)
            return cellAt(area);
        QImage result(area.size(), QImage::Format_RGB32);
        if (result.isNull())
            return {};
        for (int y = first.top(); y <= area.bottom(); y += cell.height()) {
            for (int x = first.left(); x <= area.right(); x += cell.width()) {
                const QRect rect =
                    QRect(x, y, cell.width(), cell.height()).intersected(QRect(QPoint(), size));
                const QImage image = cellAt(rect);
                if (image.isNull() || image.depth() != 32)
                    return {};
                const QRect common = rect.intersected(area);
                const size_t rowBytes = size_t(common.width()) * 4;
                for (int row = common.top(); row <= common.bottom(); ++row)
                    std::memcpy(result.scanLine(row - area.top()) + (common.left() - area.left()) * 4,
                                image.constScanLine(row - rect.top()) + (common.left() - rect.left()) * 4,
                                rowBytes);
            }
        }
        return result;
    }
};

} // namespace

RegionSource RegionSource::fromCells(const QSize& size, const QSize& cell,
                                     std::function<QImage(const QRect& cell)> paintCell)
{
    auto cache = std::make_shared<CellCache>();
    cache->size = size;
    cache->cell = QSize(std::max(1, cell.width()), std::max(1, cell.height()));
    cache->paintCell = std::move(paintCell);
    return {size, [cache](const QRect& area) { return cache->render(area); }};
}
