#include "support/dropurls.h"

#include "support/intakewait.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

bool dropUrls(QWidget* target, const QList<QUrl>& urls, const QPoint& position)
{
    QMimeData data;
    data.setUrls(urls);
    // The toolkit delivers a drop only to the widget that accepted the drag's entry.
    QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    waitForIntakes();
    return drop.isAccepted();
}
