#include "widgets/mainframe.h"
#include "widgets/myscrolleaarea.h"
#include "widgets/thumbnailfit.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    void dragStaysWithinBothEnds_data()
    {
        QTest::addColumn<int>("childWidth");
        QTest::addColumn<int>("startX");
        QTest::addColumn<QList<int>>("moves"); // -1 releases where the previous move ended
        QTest::addColumn<QList<int>>("expectedLefts");
        // Area 220 wide; a strip 300 wide may sit anywhere from -79 to 0.
        QTest::newRow("left stops before a gap opens on the right")
            << 300 << -3 << QList<int>{100, 50, 30, 24, 23} << QList<int>{-3, -53, -73, -79, -79};
        QTest::newRow("right stops at 0") << 300 << -10 << QList<int>{0, 10, 11} << QList<int>{-10, 0, 0};
        QTest::newRow("narrower never moves") << 150 << 0 << QList<int>{50, 40, 60} << QList<int>{0, 0, 0};
        // A new gesture far from where the last one ended must not jump by the distance between them.
        QTest::newRow("first move after release only re-arms")
            << 300 << -3 << QList<int>{100, 90, -1, 10, 15} << QList<int>{-3, -13, -13, -13, -8};
    }
    void dragStaysWithinBothEnds()
    {
        QFETCH(int, childWidth);
        QFETCH(int, startX);
        QFETCH(QList<int>, moves);
        QFETCH(QList<int>, expectedLefts);
        MyScrolleaArea area;
        area.setFixedSize(220, 23);
        auto* row = new QWidget(&area);
        row->setGeometry(startX, 4, childWidth, 20);
        area.dragChild = row;
        for (int i = 0; i < moves.size(); ++i) {
            const bool release = moves[i] < 0;
            QMouseEvent e(release ? QEvent::MouseButtonRelease : QEvent::MouseMove,
                          QPointF(release ? moves[i - 1] : moves[i], 5),
                          release ? Qt::LeftButton : Qt::NoButton, release ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
            QApplication::sendEvent(&area, &e);
            QCOMPARE(row->x(), expectedLefts[i]);
            QCOMPARE(row->y(), 4);
        }
    }

    void execEndsOnceOnDoneOrClose_data()
    {
        QTest::addColumn<bool>("byClose");
        QTest::newRow("done") << false;
        QTest::newRow("close") << true;
    }
    void execEndsOnceOnDoneOrClose()
    {
        QFETCH(bool, byClose);
        MainFrame frame;
        QSignalSpy finished(&frame, &MainFrame::finished);
        bool sawRunning = false;
        QTimer::singleShot(0, &frame, [&] { sawRunning = frame.isVisible() && finished.isEmpty(); });
        QTimer::singleShot(30, &frame, [&] { byClose ? void(frame.close()) : frame.done(); });
        frame.exec();
        QVERIFY(sawRunning);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!frame.isVisible());
        // Closing again outside exec() reports nothing more.
        frame.show();
        frame.close();
        QCOMPARE(finished.count(), 1);
    }

    void thumbnailFit_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide fills the width") << QSize(400, 100) << QRect(0, 34, 126, 31);
        QTest::newRow("tall fills the height") << QSize(100, 400) << QRect(50, 0, 25, 100);
        QTest::newRow("empty") << QSize(0, 0) << QRect();
    }
    void thumbnailFit()
    {
        QFETCH(QSize, image);
        QFETCH(QRect, expected);
        QCOMPARE(thumbnailRect(QSize(126, 100), image), expected);
        QCOMPARE(thumbnailRect(QSize(0, 100), image), QRect());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
