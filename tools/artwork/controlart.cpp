#include "artkit.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QImage swatch(const QColor& color, bool active)
{
    QImage image = Art::blank(22, 22);
    QPainter painter(&image);
    Art::prepare(painter);
    const QPointF centre(11, 11);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1));
    painter.setBrush(color);
    painter.drawEllipse(centre, 7, 7);
    if (active) {
        painter.setPen(QPen(Art::text, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 9.9, 9.9);
    }
    return image;
}

QImage colourWheel()
{
    QImage image = Art::blank(18, 18);
    QPainter painter(&image);
    Art::prepare(painter);
    const QPointF centre(9, 9);
    QConicalGradient hues(centre, 90);
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 230, 255));
    painter.setPen(Qt::NoPen);
    painter.setBrush(hues);
    painter.drawEllipse(centre, 8, 8);
    QRadialGradient light(centre, 8);
    light.setColorAt(0, QColor(255, 255, 255, 235));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(light);
    painter.drawEllipse(centre, 8, 8);
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 8, 8);
    return image;
}

// Too small for antialiasing to help: set pixel by pixel.
QImage padlock()
{
    static const char* rows[] = {"..###..", ".#...#.", ".#...#.", ".#...#.", "#######",
                                 "#######", "###.###", "###.###", "#######"};
    QImage image = Art::blank(7, 9);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (rows[y][x] == '#')
                Art::setLogicalPixel(image, x, y, Art::iconGrey);
        }
    }
    return image;
}

// The step arrows of spin boxes and drop-downs, set pixel by pixel like the padlock.
QImage stepArrow(bool up)
{
    static const char* rows[] = {"#######", ".#####.", "..###..", "...#..."};
    QImage image = Art::blank(7, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 7; ++x) {
            if (rows[up ? 3 - y : y][x] == '#')
                Art::setLogicalPixel(image, x, y, Art::text);
        }
    }
    return image;
}

QImage undoArrow(const QColor& color)
{
    QImage image = Art::blank(12, 14);
    QPainter painter(&image);
    Art::prepare(painter);
    painter.setPen(Art::pen(color, 1.5));
    QPainterPath path(QPointF(3, 5));
    path.lineTo(7.5, 5);
    path.arcTo(QRectF(4.5, 5, 6.5, 6.5), 90, -180);
    path.lineTo(3.5, 11.5);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF({{0.6, 5}, {4.4, 1.8}, {4.4, 8.2}}));
    return image;
}

QImage binIcon(const QColor& color)
{
    QImage image = Art::blank(12, 14);
    QPainter painter(&image);
    Art::prepare(painter);
    // One-pixel lines on pixel centres: at this size anything else turns to mush.
    painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(1.5, 3.5), QPointF(10.5, 3.5));
    painter.drawPolyline(QPolygonF({{4.5, 3}, {4.5, 1.5}, {7.5, 1.5}, {7.5, 3}}));
    painter.drawPolyline(QPolygonF({{2.5, 4}, {2.5, 12.5}, {9.5, 12.5}, {9.5, 4}}));
    painter.drawLine(QPointF(4.5, 6), QPointF(4.5, 10.5));
    painter.drawLine(QPointF(7.5, 6), QPointF(7.5, 10.5));
    return image;
}

// A trimming handle: a blue pill with a white arrow pointing into the photo. Drawn pointing right
// and turned for the other three edges.
QImage trimArrow(int quarterTurns)
{
    QImage upright = Art::blank(18, 94);
    {
        QPainter painter(&upright);
        Art::prepare(painter);
        painter.setPen(QPen(QColor(8, 38, 84, 200), 1));
        QLinearGradient fill(0, 0, 18, 0);
        fill.setColorAt(0, QColor(0x2a, 0x8c, 0xff));
        fill.setColorAt(1, Art::accent);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(0.5, 0.5, 17, 93), 5, 5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygonF({{5, 39}, {13.5, 47}, {5, 55}}));
        painter.setBrush(QColor(255, 255, 255, 150));
        for (const qreal y : {14.0, 20.0, 74.0, 80.0})
            painter.drawRoundedRect(QRectF(6, y - 1, 6, 2), 1, 1);
    }
    QTransform turn;
    turn.rotate(90 * quarterTurns);
    return upright.transformed(turn);
}

QImage roundButton(int width, int height, const QString& word, bool primary, bool pressed)
{
    QImage image = Art::blank(width, height);
    QPainter painter(&image);
    Art::prepare(painter);
    const QRectF body(0.5, 0.5, width - 1, height - 1);
    const qreal radius = 4;
    if (primary) {
        QLinearGradient fill(0, 0, 0, height);
        fill.setColorAt(0, pressed ? Art::accentDark : QColor(0x2b, 0x8b, 0xff));
        fill.setColorAt(1, pressed ? QColor(0x0c, 0x52, 0xad) : Art::accent);
        painter.setBrush(fill);
        painter.setPen(QPen(pressed ? QColor(0x0a, 0x47, 0x96) : QColor(0x12, 0x6a, 0xd6), 1));
    } else {
        painter.setBrush(pressed ? Art::border : Art::bar);
        painter.setPen(QPen(pressed ? QColor(0x56, 0x61, 0x75) : Art::border, 1));
    }
    painter.drawRoundedRect(body, radius, radius);
    const QColor ink = primary ? QColor(Qt::white) : (pressed ? QColor(Qt::white) : Art::text);
    Art::drawCentredText(painter, QRectF(0, 0, width, height - 0.5), word, ink, 12);
    return image;
}

QImage addButton()
{
    QImage image = Art::blank(70, 21);
    QPainter painter(&image);
    Art::prepare(painter);
    QLinearGradient fill(0, 0, 0, 21);
    fill.setColorAt(0, QColor(0x2b, 0x8b, 0xff));
    fill.setColorAt(1, Art::accent);
    painter.setPen(QPen(QColor(0x12, 0x6a, 0xd6), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 69, 20), 10, 10);
    painter.setPen(Art::pen(Qt::white, 1.6));
    painter.drawLine(QPointF(17, 10.5), QPointF(25, 10.5));
    painter.drawLine(QPointF(21, 6.5), QPointF(21, 14.5));
    painter.setFont(Art::font(12));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(29, 0, 36, 20.5), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Add"));
    return image;
}

} // namespace

Art::Pictures controlPictures()
{
    Art::Pictures pictures;
    const QPair<const char*, QColor> palette[] = {{"blue", Qt::blue},
                                                  {"green", Qt::green},
                                                  {"yellow", Qt::yellow},
                                                  {"orange", QColor(255, 165, 0)},
                                                  {"red", Qt::red},
                                                  {"black", Qt::black},
                                                  {"purple", QColor(128, 0, 128)},
                                                  {"white", Qt::white}};
    for (const auto& entry : palette) {
        const QString name = QString::fromLatin1(entry.first);
        pictures.append({"color/" + name + ".png", swatch(entry.second, false)});
        pictures.append({"color/" + name + "-active.png", swatch(entry.second, true)});
    }
    pictures.append({"color/Beachball.png", colourWheel()});
    pictures.append({"lock.png", padlock()});
    pictures.append({"step-up.png", stepArrow(true)});
    pictures.append({"step-down.png", stepArrow(false)});
    pictures.append({"redo.png", undoArrow(Art::iconGrey)});
    pictures.append({"redo-active.png", undoArrow(Art::accent)});
    pictures.append({"clear.png", binIcon(Art::iconGrey)});
    pictures.append({"clear-small.png", binIcon(Art::accent)});
    pictures.append({"stitcher-toright@3x.png", trimArrow(0)});
    pictures.append({"stitcher-todown@3x.png", trimArrow(1)});
    pictures.append({"stitcher-toleft@3x.png", trimArrow(2)});
    pictures.append({"stitcher-toup@3x.png", trimArrow(3)});
    pictures.append({"Aqua.png", addButton()});
    const QPair<const char*, const char*> words[] = {
        {"remove", "Remove"}, {"next", "Next"}, {"open", "Open"}, {"done", "Done"}};
    for (const auto& word : words) {
        const QString base = QStringLiteral("Panorama-%1").arg(QString::fromLatin1(word.first));
        const bool primary = qstrcmp(word.first, "remove") != 0;
        pictures.append(
            {base + ".png", roundButton(84, 24, QString::fromLatin1(word.second), primary, false)});
        pictures.append(
            {base + "-active.png", roundButton(84, 24, QString::fromLatin1(word.second), primary, true)});
    }
    pictures.append({"Know-it.png", roundButton(84, 24, QStringLiteral("Got it"), true, false)});
    pictures.append({"Know-it-active.png", roundButton(84, 24, QStringLiteral("Got it"), true, true)});
    return pictures;
}
