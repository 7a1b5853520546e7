#include "support/popupanswerer.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

void answerNextPopup(std::function<void(QMenu* menu)> answer)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer]() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(menu);
    });
    timer->start();
}

void chooseFirstEntry(QMenu* menu)
{
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
}

void dismissMenu(QMenu* menu)
{
    QTest::keyClick(menu, Qt::Key_Escape);
}
