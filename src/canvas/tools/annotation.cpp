#include "canvas/tools/annotation.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

Annotation Annotation::begin(const StripPoint& at, double width, const QColor& color, int shape)
{
    Annotation record;
    record.startPoint = at.point;
    record.startIndex = at.index;
    record.width = width;
    record.color = color;
    record.shape = shape;
    return record;
}

void Annotation::extend(const StripPoint& at)
{
    if (shape == Path) {
        points.append(at);
    } else {
        endPoint = at.point;
        endIndex = at.index;
    }
}

double Annotation::arrowHeadSize(double length, double width)
{
    return std::min(length / 4.0, 2.0 * width);
}

QPolygonF Annotation::arrowPolygon(const QPoint& from, const QPoint& to, double width)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const double length = std::sqrt(double(dx) * dx + double(dy) * dy);
    if (length <= 0.0)
        return {};
    const double head = arrowHeadSize(length, width);
    const double theta = std::atan2(double(dy), double(dx));
    const QPointF across(std::sin(theta), -std::cos(theta));
    const double r = head / length;
    const double r2 = 0.85 * head / length;
    const QPointF p1(from);
    const QPointF p2(to);

    // Each point is pulled from its place beside the tip back toward the tail by the ratio.
    const auto toward = [&](const QPointF& point, double ratio) { return point - ratio * (point - p1); };
    const QPointF barbA = toward(p2 + head * across, r);
    const QPointF barbB = toward(p2 - head * across, r);
    const QPointF shoulderC = toward(p2 + 0.25 * head * across, r2);
    const QPointF shoulderD = toward(p2 - 0.25 * head * across, r2);
    return QPolygonF({p1, shoulderC, barbA, p2, barbB, shoulderD});
}

void Annotation::paint(QPainter& painter, const StripToCanvas& toCanvas) const
{
    if (shape != Path && shape != Arrow && shape != Rectangle)
        return;
    painter.save();
    painter.setPen(QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const QPoint p1 = toCanvas(startPoint, startIndex);
    const QPoint p2 = toCanvas(endPoint, endIndex);
    switch (shape) {
    case Path: {
        QPainterPath path(p1);
        for (const StripPoint& p : points)
            path.lineTo(toCanvas(p.point, p.index));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        break;
    }
    case Rectangle:
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(p1, p2).normalized());
        break;
    case Arrow: {
        const QPolygonF polygon = arrowPolygon(p1, p2, width);
        if (!polygon.isEmpty()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
            painter.drawPolygon(polygon);
        }
        break;
    }
    }
    painter.restore();
}

QRectF Annotation::bounds(const StripToCanvas& toCanvas) const
{
    const QPoint p1 = toCanvas(startPoint, startIndex);
    int left = p1.x(), right = p1.x(), top = p1.y(), bottom = p1.y();
    const auto include = [&](const QPoint& p) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    };
    if (shape == Path) {
        for (const StripPoint& p : points)
            include(toCanvas(p.point, p.index));
    } else {
        include(toCanvas(endPoint, endIndex));
    }
    // Square caps reach half a pen width diagonally, arrow barbs at most twice the width across.
    const double margin = 2.0 * std::abs(width) + 2.0;
    return QRectF(QPointF(left, top), QPointF(right + 1, bottom + 1))
        .adjusted(-margin, -margin, margin, margin);
}

void paintAnnotations(QPainter& painter, const QVector<Annotation>& annotations,
                      const StripToCanvas& toCanvas, const PaintTarget& target)
{
    const QRectF exposed = target.exposedCanvas(1.0);
    for (const Annotation& record : annotations) {
        if (record.bounds(toCanvas).intersects(exposed))
            record.paint(painter, toCanvas);
    }
}
