#include "canvas/xformwidget.h"

#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "intake/photointake.h"
#include "widgets/theme.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

QPoint roundedPosition(const QMouseEvent* event)
{
    return {qRound(event->localPos().x()), qRound(event->localPos().y())};
}

QScrollBar* makeBar(Qt::Orientation axis, QWidget* parent)
{
    auto* bar = new QScrollBar(axis, parent);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setCursor(Qt::ArrowCursor);
    bar->setStyleSheet(Theme::scrollBarStyleSheet());
    bar->hide();
    return bar;
}

} // namespace

XFormWidget::XFormWidget(QWidget* parent)
    : QWidget(parent), painterArea(new PainterArea), alongX(makeBar(Qt::Horizontal, this)),
      alongY(makeBar(Qt::Vertical, this))
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    painterArea->setParent(this);
    painterArea->installEventFilter(this);
    painterArea->show();
    painterArea->stackUnder(alongX);
    for (QScrollBar* bar : {alongX, alongY}) {
        const Qt::Orientation axis = bar->orientation();
        connect(bar, &QScrollBar::valueChanged, this, [this, axis](int value) {
            if (!syncing)
                painterArea->scrollTo(painterArea->view().withValue(axis, value, painterArea->pos()));
        });
    }
}

QScrollBar* XFormWidget::scrollBar(Qt::Orientation axis) const
{
    return axis == Qt::Horizontal ? alongX : alongY;
}

bool XFormWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == painterArea && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        syncScrollBars();
    return QWidget::eventFilter(watched, event);
}

// The bars show where the view is; they lie over the canvas's edge, only while it can scroll.
void XFormWidget::syncScrollBars()
{
    const bool photos = !painterArea->paintImages.isEmpty();
    const ViewGeometry view = painterArea->view();
    const QPoint place = painterArea->pos();
    const bool showX = photos && view.maximum(Qt::Horizontal) > 0;
    const bool showY = photos && view.maximum(Qt::Vertical) > 0;
    syncing = true;
    for (QScrollBar* bar : {alongX, alongY}) {
        const Qt::Orientation axis = bar->orientation();
        bar->setRange(0, view.maximum(axis));
        bar->setPageStep(axis == Qt::Horizontal ? width() : height());
        bar->setSingleStep(ViewGeometry::arrowPixels);
        bar->setValue(view.value(axis, place));
    }
    syncing = false;
    constexpr int thickness = ViewGeometry::barThickness;
    alongX->setGeometry(0, height() - thickness, width() - (showY ? thickness : 0), thickness);
    alongY->setGeometry(width() - thickness, 0, thickness, height() - (showX ? thickness : 0));
    alongX->setVisible(showX);
    alongY->setVisible(showY);
    alongX->raise();
    alongY->raise();
}

void XFormWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    painterArea->placeCanvas(width(), height());
    syncScrollBars();
}

void XFormWidget::mousePressEvent(QMouseEvent* event)
{
    const bool spaceDrag = event->button() == Qt::LeftButton && spaceHeld;
    if (gestureButton != Qt::NoButton ||
        (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton))
        return;
    const QPoint position = roundedPosition(event);
    lastPosition = position;
    gestureButton = event->button();
    // The middle button, or the left one with Space held, pans whatever the tool.
    panning = gestureButton == Qt::MiddleButton || spaceDrag ||
              StitcherConfig::instance()->tool == StitcherConfig::NoTool ||
              !painterArea->geometry().contains(position);
    if (panning)
        setCursor(Qt::ClosedHandCursor);
    else
        painterArea->toolPress(position - painterArea->pos());
}

void XFormWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (gestureButton == Qt::NoButton)
        return;
    const QPoint position = roundedPosition(event);
    const QPoint movement = position - lastPosition;
    lastPosition = position;
    if (panning)
        painterArea->panBy(movement);
    else
        painterArea->toolMove(position - painterArea->pos(), movement);
}

void XFormWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != gestureButton)
        return;
    gestureButton = Qt::NoButton;
    if (!panning)
        painterArea->toolRelease(roundedPosition(event) - painterArea->pos());
    setSpaceHeld(spaceHeld);
}

void XFormWidget::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!(event->modifiers() & Qt::ControlModifier)) {
        const ViewGeometry view = painterArea->view();
        painterArea->scrollTo(view.wheeled(painterArea->pos(), event->angleDelta(), event->pixelDelta(),
                                           event->modifiers() & Qt::ShiftModifier));
        return;
    }
    constexpr int notch = ViewGeometry::wheelNotch;
    wheelRemainder += event->angleDelta().y();
    const int steps = wheelRemainder / notch;
    wheelRemainder -= steps * notch;
    if (steps != 0)
        emit signalWheelZoom(steps, event->position().toPoint());
}

void XFormWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            setSpaceHeld(true);
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (StitcherConfig::instance()->tool == StitcherConfig::TrimTool &&
        painterArea->nudgeArmedEdge(event->key(), shift ? 10 : 1))
        return;
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (const auto place = painterArea->view().keyed(painterArea->pos(), event->key()))
        painterArea->scrollTo(*place);
    else
        QWidget::keyPressEvent(event);
}

void XFormWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        setSpaceHeld(false);
    else
        QWidget::keyReleaseEvent(event);
}

void XFormWidget::focusOutEvent(QFocusEvent* event)
{
    setSpaceHeld(false);
    QWidget::focusOutEvent(event);
}

void XFormWidget::setSpaceHeld(bool held)
{
    spaceHeld = held;
    if (gestureButton != Qt::NoButton && panning)
        return;
    if (held)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
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
