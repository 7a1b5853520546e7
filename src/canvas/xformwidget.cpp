#include "canvas/xformwidget.h"

#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "intake/photointake.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

static QPoint roundedPosition(const QMouseEvent* event)
{
    return {qRound(event->localPos().x()), qRound(event->localPos().y())};
}

XFormWidget::XFormWidget(QWidget* parent) : QWidget(parent), painterArea(new PainterArea)
{
    setAcceptDrops(true);
    painterArea->setParent(this);
    painterArea->show();
}

void XFormWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    painterArea->placeCanvas(width(), height());
}

void XFormWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = roundedPosition(event);
    lastPosition = position;
    gesture = true;
    panning = StitcherConfig::instance()->tool == StitcherConfig::NoTool ||
              !painterArea->geometry().contains(position);
    if (!panning)
        painterArea->toolPress(position - painterArea->pos());
}

void XFormWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!gesture)
        return;
    const QPoint position = roundedPosition(event);
    const QPoint movement = position - lastPosition;
    lastPosition = position;
    if (panning)
        painterArea->panAlongStrip(movement.x(), movement.y());
    else
        painterArea->toolMove(position - painterArea->pos(), movement);
}

void XFormWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !gesture)
        return;
    gesture = false;
    if (!panning)
        painterArea->toolRelease(roundedPosition(event) - painterArea->pos());
}

void XFormWidget::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QWidget::wheelEvent(event);
        return;
    }
    event->accept();
    constexpr int notch = 120;
    wheelRemainder += event->angleDelta().y();
    const int steps = wheelRemainder / notch;
    wheelRemainder -= steps * notch;
    if (steps != 0)
        emit signalWheelZoom(steps, event->position().toPoint());
}

void XFormWidget::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void XFormWidget::dropEvent(QDropEvent* event)
{
    const QStringList paths = PhotoIntake::localPaths(event->mimeData()->urls());
    event->acceptProposedAction();
    if (!paths.isEmpty())
        painterArea->addPhotoFiles(paths);
}
