#include "artkit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void dropZone(QPainter& painter, const QRectF& rect, qreal radius)
{
    painter.setBrush(QColor(0x17, 0x1e, 0x29));
    QPen dashes(Art::border, 1.5, Qt::CustomDashLine, Qt::RoundCap);
    dashes.setDashPattern({4, 3});
    painter.setPen(dashes);
    painter.drawRoundedRect(rect, radius, radius);
}

// Two photos fanned out with a plus badge: "put your pictures here".
void photoStack(QPainter& painter, const QPointF& centre, qreal scale)
{
    painter.save();
    painter.translate(centre);
    painter.scale(scale, scale);
    const QRectF card(-26, -19, 52, 38);
    const QColor paper(0xe9, 0xee, 0xf5);
    painter.setPen(Qt::NoPen);
    for (const qreal angle : {-10.0, 7.0}) {
        painter.save();
        painter.rotate(angle);
        painter.translate(angle < 0 ? -6 : 6, 0);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRoundedRect(card.translated(0, 2), 3, 3);
        painter.setBrush(paper);
        painter.drawRoundedRect(card, 3, 3);
        Art::drawScene(painter, card.adjusted(3, 3, -3, -3), angle < 0 ? 2 : 0);
        painter.restore();
    }
    painter.setBrush(Art::accent);
    painter.setPen(QPen(Art::canvas, 3));
    painter.drawEllipse(QPointF(30, 18), 11, 11);
    painter.setPen(Art::pen(Qt::white, 2.4));
    painter.drawLine(QPointF(25, 18), QPointF(35, 18));
    painter.drawLine(QPointF(30, 13), QPointF(30, 23));
    painter.restore();
}

QImage emptyCanvas()
{
    QImage image = Art::blank(552, 299, Art::canvas);
    QPainter painter(&image);
    Art::prepare(painter);
    dropZone(painter, QRectF(16.5, 14.5, 519, 270), 10);
    photoStack(painter, QPointF(276, 72), 1.0);
    return image;
}

QImage panoramaPanel()
{
    QImage image = Art::blank(442, 181, Art::canvas);
    QPainter painter(&image);
    Art::prepare(painter);
    dropZone(painter, QRectF(1.5, 1.5, 439, 178), 10);
    // A wide, gently curved photo: what the stitch will make of the pictures.
    QPainterPath sweep;
    sweep.moveTo(171, 12);
    sweep.quadTo(221, 19, 271, 12);
    sweep.lineTo(271, 48);
    sweep.quadTo(221, 41, 171, 48);
    sweep.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe9, 0xee, 0xf5));
    painter.drawPath(sweep);
    painter.save();
    painter.setClipPath(sweep);
    Art::drawScene(painter, QRectF(174, 14, 94, 32), 0);
    painter.restore();
    painter.setPen(Art::pen(Art::accent, 2));
    for (const int side : {-1, 1}) {
        const qreal x = 221 + side * 64;
        painter.drawLine(QPointF(x, 30), QPointF(x + side * 14, 30));
        painter.drawPolyline(QPolygonF({{x + side * 9, 25}, {x + side * 14, 30}, {x + side * 9, 35}}));
    }
    return image;
}

QImage overlapTip()
{
    const int width = 324, height = 162;
    QImage image = Art::blank(width, height, Art::panel);
    QPainter painter(&image);
    Art::prepare(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Art::well);
    painter.drawRoundedRect(QRectF(0, 0, width, height), 8, 8);

    // One wide view photographed in three overlapping shots, each sharing about a fifth with the next.
    const qreal shotWidth = 104, step = 84, left = 24, top = 28, shotHeight = 80;
    const QRectF view(left, top, 2 * step + shotWidth, shotHeight);
    const qreal lift[] = {0, -5, 3};
    for (int i = 0; i < 3; ++i) {
        const QRectF shot(left + i * step, top + lift[i], shotWidth, shotHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 90));
        painter.drawRect(shot.adjusted(-2, 0, 2, 4));
        painter.setBrush(QColor(0xf3, 0xf5, 0xf9));
        painter.drawRect(shot.adjusted(-2, -2, 2, 2));
        painter.save();
        painter.setClipRect(shot);
        painter.translate(0, lift[i]);
        Art::drawScene(painter, view, 0);
        painter.restore();
    }
    // The shared parts, tinted and outlined in the accent colour.
    QColor tint = Art::accent;
    tint.setAlpha(95);
    for (int i = 1; i < 3; ++i) {
        const qreal x0 = left + i * step, x1 = left + (i - 1) * step + shotWidth;
        const qreal y0 = top + qMax(lift[i - 1], lift[i]), y1 = top + shotHeight + qMin(lift[i - 1], lift[i]);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        painter.drawRect(QRectF(x0, y0, x1 - x0, y1 - y0));
        painter.setPen(QPen(Art::accent, 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(x0, y0, x1 - x0, y1 - y0));
        // A dimension bracket under the overlap.
        const qreal y = top + shotHeight + 14;
        painter.setPen(Art::pen(Art::accent, 1.5));
        painter.drawLine(QPointF(x0, y), QPointF(x1, y));
        painter.drawLine(QPointF(x0, y - 4), QPointF(x0, y + 4));
        painter.drawLine(QPointF(x1, y - 4), QPointF(x1, y + 4));
    }
    const qreal labelY = top + shotHeight + 22;
    Art::drawCentredText(painter, QRectF(0, labelY, width, 18), QStringLiteral("10% \u2013 30% overlap"),
                         Art::text, 12);
    return image;
}

void desktopMock(QPainter& painter, const QRectF& screen)
{
    painter.save();
    // Stand and bezel.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x43, 0x54));
    const QPointF base(screen.center().x(), screen.bottom() + 10);
    painter.drawRect(QRectF(base.x() - 10, screen.bottom() + 6, 20, 18));
    painter.drawRoundedRect(QRectF(base.x() - 42, screen.bottom() + 22, 84, 6), 3, 3);
    painter.setBrush(QColor(0x0b, 0x0f, 0x16));
    painter.drawRoundedRect(screen.adjusted(-7, -7, 7, 7), 8, 8);
    // The window: top bar, canvas with a strip of three photos, tool panel.
    painter.fillRect(screen, Art::canvas);
    const QRectF top(screen.left(), screen.top(), screen.width(), 14);
    painter.fillRect(top, Art::bar);
    painter.setBrush(Art::text);
    for (int i = 0; i < 7; ++i)
        painter.drawRoundedRect(QRectF(screen.left() + 6 + i * 12, screen.top() + 4, 6, 6), 1.5, 1.5);
    const QRectF tools(screen.right() - 52, top.bottom(), 52, screen.bottom() - top.bottom());
    painter.fillRect(tools, Art::panel);
    for (int i = 0; i < 6; ++i) {
        painter.setBrush(i == 2 ? Art::accent : Art::border);
        painter.drawRoundedRect(QRectF(tools.left() + 6, tools.top() + 8 + i * 16, 40, 8), 2, 2);
    }
    const qreal stripHeight = 54, photoWidth = 48;
    const qreal stripLeft = screen.left() + (tools.left() - screen.left() - 3 * photoWidth) / 2;
    const qreal stripTop = top.bottom() + (tools.height() - stripHeight) / 2;
    for (int i = 0; i < 3; ++i)
        Art::drawScene(painter, QRectF(stripLeft + i * photoWidth, stripTop, photoWidth, stripHeight), i);
    painter.restore();
}

void phoneMock(QPainter& painter, const QRectF& body)
{
    painter.save();
    painter.setPen(QPen(QColor(0x4a, 0x54, 0x68), 1.5));
    painter.setBrush(QColor(0x0b, 0x0f, 0x16));
    painter.drawRoundedRect(body, 12, 12);
    const QRectF screen = body.adjusted(6, 16, -6, -16);
    painter.setPen(Qt::NoPen);
    painter.fillRect(screen, Art::canvas);
    painter.setBrush(QColor(0x3a, 0x43, 0x54));
    painter.drawRoundedRect(QRectF(body.center().x() - 9, body.top() + 7, 18, 3), 1.5, 1.5);
    // A vertical strip: photos joined top to bottom.
    const qreal photoHeight = (screen.height() - 12) / 3;
    for (int i = 0; i < 3; ++i)
        Art::drawScene(
            painter,
            QRectF(screen.left() + 6, screen.top() + 6 + i * photoHeight, screen.width() - 12, photoHeight),
            2 - i);
    painter.restore();
}

QImage downloadPoster()
{
    const int width = 520, height = 318;
    QImage image = Art::blank(width, height);
    QPainter painter(&image);
    Art::prepare(painter);
    QLinearGradient background(0, 0, 0, height);
    background.setColorAt(0, QColor(0x22, 0x2c, 0x3d));
    background.setColorAt(1, Art::canvas);
    painter.fillRect(image.rect(), background);
    QRadialGradient glow(QPointF(370, 150), 220);
    glow.setColorAt(0, QColor(0x17, 0x7d, 0xf7, 70));
    glow.setColorAt(1, QColor(0x17, 0x7d, 0xf7, 0));
    painter.fillRect(image.rect(), glow);

    Art::drawLogo(painter, QRectF(36, 44, 64, 64));
    painter.setPen(Art::text);
    painter.setFont(Art::font(30));
    painter.drawText(QPointF(36, 146), QStringLiteral("Seamwright"));
    painter.setFont(Art::font(13));
    painter.setPen(QColor(0xb9, 0xc0, 0xcc));
    painter.drawText(QRectF(36, 156, 200, 60), Qt::TextWordWrap,
                     QStringLiteral("Join photos into one long picture, stitch panoramas, mark them up."));

    const QRectF badge(36, 226, 150, 34);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Art::accent);
    painter.drawRoundedRect(badge, 17, 17);
    painter.setPen(Art::pen(Qt::white, 2));
    const QPointF arrow(badge.left() + 24, badge.center().y());
    painter.drawLine(arrow + QPointF(0, -7), arrow + QPointF(0, 5));
    painter.drawPolyline(
        QPolygonF({arrow + QPointF(-4.5, 1), arrow + QPointF(0, 5.5), arrow + QPointF(4.5, 1)}));
    painter.drawLine(arrow + QPointF(-6, 9), arrow + QPointF(6, 9));
    Art::drawCentredText(painter, badge.adjusted(30, 0, -8, 0), QStringLiteral("Get the app"), Qt::white, 14);
    painter.setFont(Art::font(11));
    painter.setPen(Art::muted);
    painter.drawText(QPointF(36, 284), QStringLiteral("For desktop and phone"));

    desktopMock(painter, QRectF(248, 62, 236, 148));
    phoneMock(painter, QRectF(420, 128, 74, 150));
    return image;
}

} // namespace

Art::Pictures posterPictures()
{
    return {{"drogbg.png", emptyCanvas()},
            {"panorama-bg.png", panoramaPanel()},
            {"tip-image.png", overlapTip()},
            {"app.png", downloadPoster()},
            {"logo.png", Art::logo(64)}};
}
