#include "widgets/focusring.h"

#include "widgets/theme.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>

namespace {
QPointer<FocusRing> installed;
}

void FocusRing::install()
{
    if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    installed = new FocusRing(qApp);
    qApp->installEventFilter(installed);
}

QWidget* FocusRing::shown()
{
    return installed && installed->ring && installed->ring->isVisible() ? installed->ring.data() : nullptr;
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ring) {
        if (event->type() == QEvent::Paint)
            paint();
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                              reason == Qt::ShortcutFocusReason;
        follow(keyboard ? static_cast<QWidget*>(watched) : nullptr);
    } else if (event->type() == QEvent::FocusOut && watched == target) {
        follow(nullptr);
    } else if (watched == target && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                     event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        place();
    }
    return false;
}

void FocusRing::follow(QWidget* widget)
{
    target = widget && widget->parentWidget() && !widget->isWindow() ? widget : nullptr;
    if (!target) {
        if (ring)
            ring->hide();
        return;
    }
    if (!ring) {
        ring = new QWidget;
        ring->setAttribute(Qt::WA_TransparentForMouseEvents);
        ring->setFocusPolicy(Qt::NoFocus);
        ring->setAttribute(Qt::WA_NoSystemBackground);
        ring->setStyleSheet(QStringLiteral("background: transparent"));
        ring->installEventFilter(this);
    }
    ring->setParent(target->parentWidget());
    place();
}

void FocusRing::place()
{
    if (!ring)
        return;
    if (!target || !target->isVisible()) {
        ring->hide();
        return;
    }
    const int margin = width + 1;
    ring->setGeometry(target->geometry().adjusted(-margin, -margin, margin, margin));
    ring->raise();
    ring->show();
}

void FocusRing::paint()
{
    QPainter painter(ring);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(Theme::handle), width));
    painter.setBrush(Qt::NoBrush);
    const double inset = width / 2.0;
    painter.drawRoundedRect(QRectF(ring->rect()).adjusted(inset, inset, -inset, -inset), 3, 3);
}
