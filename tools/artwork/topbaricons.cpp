#include "artkit.h"

#include <QPainterPath>
#include <functional>

namespace {

using Glyph = std::function<void(QPainter&, const QColor&)>;
constexpr qreal stroke = 1.6;

void magnifier(QPainter& p, const QColor& c, bool plus)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8.5, 8.5), 6.2, 6.2);
    p.setPen(Art::pen(c, 2.6));
    p.drawLine(QPointF(13.3, 13.3), QPointF(18, 18));
    p.setPen(Art::pen(c, stroke));
    p.drawLine(QPointF(5.6, 8.5), QPointF(11.4, 8.5));
    if (plus)
        p.drawLine(QPointF(8.5, 5.6), QPointF(8.5, 11.4));
}

void addGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    // A photo with a plus badge cut into its corner.
    p.drawRoundedRect(QRectF(1.8, 3.8, 14.4, 11.4), 2, 2);
    p.drawPolyline(QPolygonF({{4.2, 12.6}, {7.6, 9}, {10, 11.4}, {11.6, 10}}));
    p.drawEllipse(QPointF(11.8, 7.2), 1.0, 1.0);
    p.setPen(Qt::NoPen);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(15.5, 15), 5.6, 5.6);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(c);
    p.drawEllipse(QPointF(15.5, 15), 4.2, 4.2);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Art::pen(Qt::black, 1.4));
    p.drawLine(QPointF(13.2, 15), QPointF(17.8, 15));
    p.drawLine(QPointF(15.5, 12.7), QPointF(15.5, 17.3));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void clearGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(3.5, 5), QPointF(16.5, 5));
    p.drawPolyline(QPolygonF({{7.8, 5}, {7.8, 2.8}, {12.2, 2.8}, {12.2, 5}}));
    p.drawPolyline(QPolygonF({{5, 5}, {6, 17.6}, {14, 17.6}, {15, 5}}));
    p.drawLine(QPointF(8.6, 8.2), QPointF(8.8, 14.6));
    p.drawLine(QPointF(11.4, 8.2), QPointF(11.2, 14.6));
}

void appsGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    // A phone with a download arrow on its screen.
    p.drawRoundedRect(QRectF(5, 1.8, 10, 16.4), 2.2, 2.2);
    p.drawLine(QPointF(9, 15.4), QPointF(11, 15.4));
    p.drawLine(QPointF(10, 5.2), QPointF(10, 11.4));
    p.drawPolyline(QPolygonF({{7.6, 9.2}, {10, 11.6}, {12.4, 9.2}}));
}

void fitGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    const qreal a = 2.5, b = 17.5, l = 5;
    p.drawPolyline(QPolygonF({{a, a + l}, {a, a}, {a + l, a}}));
    p.drawPolyline(QPolygonF({{b - l, a}, {b, a}, {b, a + l}}));
    p.drawPolyline(QPolygonF({{b, b - l}, {b, b}, {b - l, b}}));
    p.drawPolyline(QPolygonF({{a + l, b}, {a, b}, {a, b - l}}));
    p.drawRect(QRectF(6.5, 7.5, 7, 5));
}

void editGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    // Two photos of a grid and a pencil: the photos are rearranged here.
    p.drawRoundedRect(QRectF(1.8, 2.8, 7, 6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(1.8, 11.2, 7, 6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(11.2, 2.8, 7, 6), 1.2, 1.2);
    QPainterPath pencil;
    pencil.moveTo(11.2, 18.4);
    pencil.lineTo(11.8, 15.6);
    pencil.lineTo(17, 10.4);
    pencil.lineTo(19.2, 12.6);
    pencil.lineTo(14, 17.8);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void exportGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{6.5, 8}, {3, 8}, {3, 18}, {17, 18}, {17, 8}, {13.5, 8}}));
    p.drawLine(QPointF(10, 1.8), QPointF(10, 12.5));
    p.drawPolyline(QPolygonF({{6.6, 5}, {10, 1.6}, {13.4, 5}}));
}

void panoramaGlyph(QPainter& p, const QColor& c)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    // A wide frame, slightly curved like a swept view.
    QPainterPath frame;
    frame.moveTo(-4, 4.5);
    frame.quadTo(10, 7, 24, 4.5);
    frame.lineTo(24, 16.5);
    frame.quadTo(10, 14, -4, 16.5);
    frame.closeSubpath();
    p.drawPath(frame);
    p.drawPolyline(QPolygonF({{-1.4, 13.2}, {4, 9}, {8, 12}, {13, 8}, {21.4, 13.2}}));
    p.drawEllipse(QPointF(16.5, 8.6), 1.0, 1.0);
}

void roundGlyph(QPainter& p, const QColor& c, const QString& mark, qreal size)
{
    p.setPen(Art::pen(c, stroke));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 8.2, 8.2);
    Art::drawCentredText(p, QRectF(0, 0.5, 20, 20), mark, c, size);
}

void zoomInGlyph(QPainter& p, const QColor& c)
{
    magnifier(p, c, true);
}
void zoomOutGlyph(QPainter& p, const QColor& c)
{
    magnifier(p, c, false);
}
void helpGlyph(QPainter& p, const QColor& c)
{
    roundGlyph(p, c, QStringLiteral("?"), 12);
}
void aboutGlyph(QPainter& p, const QColor& c)
{
    roundGlyph(p, c, QStringLiteral("i"), 12);
}

struct TopBarEntry
{
    const char* name;
    const char* caption;
    int width;
    int height;
    Glyph glyph;
};

QImage topBarButton(const TopBarEntry& entry, const QColor& color)
{
    QImage image = Art::blank(entry.width, entry.height);
    QPainter painter(&image);
    Art::prepare(painter);
    const qreal captionHeight = 10;
    const qreal glyphTop = qMax(0.0, (entry.height - captionHeight - 20) / 2.0 - 0.5);
    painter.save();
    painter.translate((entry.width - 20) / 2.0, glyphTop);
    entry.glyph(painter, color);
    painter.restore();
    Art::drawCentredText(painter,
                         QRectF(-2, entry.height - captionHeight - 1, entry.width + 4, captionHeight),
                         QString::fromLatin1(entry.caption), color, 8);
    return image;
}

} // namespace

Art::Pictures topBarPictures()
{
    const TopBarEntry entries[] = {
        {"add", "Add", 23, 34, addGlyph},
        {"clear", "Clear", 26, 36, clearGlyph},
        {"apps", "Apps", 25, 35, appsGlyph},
        {"zoomin", "Zoom In", 36, 35, zoomInGlyph},
        {"zoomout", "Zoom Out", 46, 35, zoomOutGlyph},
        {"fit", "Fit", 22, 35, fitGlyph},
        {"edit", "Edit", 26, 34, editGlyph},
        {"export", "Export", 32, 37, exportGlyph},
        {"panorama", "Panorama", 48, 35, panoramaGlyph},
        {"help", "Help", 40, 34, helpGlyph},
        {"about", "About", 30, 37, aboutGlyph},
    };
    Art::Pictures pictures;
    for (const TopBarEntry& entry : entries) {
        const QString base = QStringLiteral("Buttons-%1").arg(QString::fromLatin1(entry.name));
        pictures.append({base + ".png", topBarButton(entry, Art::text)});
        pictures.append({base + "-active.png", topBarButton(entry, Art::accent)});
    }
    return pictures;
}
