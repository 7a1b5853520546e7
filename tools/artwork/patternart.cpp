#include "artkit.h"

#include <QPainterPath>
#include <QtMath>

// The mosaic bands are laid end to end along a stroke, so each strip repeats a whole number of
// times across its width and its two ends meet without a seam.
namespace {

QColor shade(const QColor& base, double amount)
{
    return amount >= 0 ? base.lighter(100 + int(amount * 100)) : base.darker(100 + int(-amount * 100));
}

// Blue tesserae with a light wave running through them.
QImage blueStrip()
{
    const int width = 608, height = 30, columns = 76, rows = 4;
    const qreal period = 76; // eight waves across the strip
    const int rowEdges[rows + 1] = {0, 8, 15, 23, 30};
    const QColor deep(59, 95, 188), wave(0x9c, 0xc6, 0xf6);
    QImage image = Art::blank(width, height, QColor(0x24, 0x3c, 0x7a));
    QPainter painter(&image);
    Art::prepare(painter);
    painter.setPen(Qt::NoPen);
    const qreal cell = qreal(width) / columns;
    for (int col = 0; col < columns; ++col) {
        for (int row = 0; row < rows; ++row) {
            const qreal cx = (col + 0.5) * cell;
            const qreal cy = (rowEdges[row] + rowEdges[row + 1]) / 2.0;
            const qreal crest = 15 + 9 * qSin(2 * M_PI * cx / period);
            const bool onWave = qAbs(cy - crest) < 4.2;
            const double jitter = Art::hash01(col, row) - 0.5;
            painter.setBrush(shade(onWave ? wave : deep, jitter * 0.35));
            painter.drawRoundedRect(QRectF(col * cell + 0.6, rowEdges[row] + 0.6, cell - 1.2,
                                           rowEdges[row + 1] - rowEdges[row] - 1.2),
                                    1, 1);
        }
    }
    return image;
}

// Harlequin diamonds in rose and wine, outlined with pale grout.
QImage redStrip()
{
    const int width = 738, height = 30, diamonds = 18;
    const qreal w = qreal(width) / diamonds;
    const QColor rose(219, 100, 124), wine(0xa8, 0x3a, 0x55), blush(0xf4, 0xc4, 0xcd);
    QImage image = Art::blank(width, height, wine);
    QPainter painter(&image);
    Art::prepare(painter);
    painter.setPen(QPen(blush, 1.2));
    for (int i = -1; i <= diamonds; ++i) {
        const qreal x = i * w;
        // Full diamonds on the centre line, half diamonds between them along both edges.
        painter.setBrush(i % 2 == 0 ? rose : shade(rose, -0.12));
        painter.drawPolygon(QPolygonF({{x, 15}, {x + w / 2, 0}, {x + w, 15}, {x + w / 2, 30}}));
        painter.setBrush(wine);
        painter.drawPolygon(QPolygonF({{x + w / 2, 0}, {x + w, 15}, {x + 3 * w / 2, 0}}));
        painter.drawPolygon(QPolygonF({{x + w / 2, 30}, {x + w, 15}, {x + 3 * w / 2, 30}}));
        painter.setPen(Qt::NoPen);
        painter.setBrush(blush);
        painter.drawEllipse(QPointF(x + w / 2, 15), 2.2, 2.2);
        painter.setPen(QPen(blush, 1.2));
    }
    return image;
}

void blossom(QPainter& painter, const QPointF& centre, qreal radius, const QColor& petal, const QColor& heart)
{
    painter.setPen(QPen(shade(petal, -0.12), 0.8));
    painter.setBrush(petal);
    for (int i = 0; i < 5; ++i) {
        const qreal angle = -M_PI / 2 + i * 2 * M_PI / 5;
        const QPointF at = centre + QPointF(qCos(angle), qSin(angle)) * radius * 0.55;
        painter.drawEllipse(at, radius * 0.48, radius * 0.48);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(heart);
    painter.drawEllipse(centre, radius * 0.3, radius * 0.3);
}

// White blossoms on pale sky blue, with leaves between them.
QImage flowerStrip()
{
    const int width = 594, height = 30, flowers = 11;
    const qreal step = qreal(width) / flowers;
    const QColor sky(200, 226, 246), leaf(0x6f, 0xa8, 0x7a);
    QImage image = Art::blank(width, height, sky);
    QPainter painter(&image);
    Art::prepare(painter);
    for (int i = -1; i <= flowers; ++i) {
        const qreal x = i * step + step / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(leaf);
        for (const int side : {-1, 1}) {
            painter.save();
            painter.translate(x + side * step / 2, 15);
            painter.rotate(side * 35);
            painter.drawEllipse(QPointF(0, -5), 2.6, 5.5);
            painter.drawEllipse(QPointF(0, 5), 2.6, 5.5);
            painter.restore();
        }
        painter.setBrush(QColor(0x8e, 0xbd, 0xe8));
        painter.drawEllipse(QPointF(x - step / 4, 5), 1.6, 1.6);
        painter.drawEllipse(QPointF(x + step / 4, 25), 1.6, 1.6);
        blossom(painter, QPointF(x, 15), 11, QColor(0xff, 0xfd, 0xf8), QColor(0xf2, 0xb1, 0x3c));
    }
    return image;
}

} // namespace

Art::Pictures patternPictures()
{
    return {{"mosaic-blue.png", blueStrip()},
            {"mosaic-red.png", redStrip()},
            {"mosaics-flower.png", flowerStrip()}};
}
