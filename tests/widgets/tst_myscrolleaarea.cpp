#include "widgets/myscrolleaarea.h"

#include <QMouseEvent>
#include <QtTest>

namespace {

void moveTo(QWidget* w, int x)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(x, 5), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void release(QWidget* w, int x)
{
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(x, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestMyScrolleaArea : public QObject
{
    Q_OBJECT
private slots:
    void dragStaysWithinBothEnds_data()
    {
        QTest::addColumn<int>("childWidth");
        QTest::addColumn<int>("startX");
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<QList<int>>("expectedLefts");

        // Area 220 wide; the strip 300 wide may sit anywhere from -79 to 0.
        QTest::newRow("left by steps until the right end would come in")
            << 300 << -3 << QList<int>{100, 50, 30, 29, 0} << QList<int>{-3, -53, -73, -74, -74};
        QTest::newRow("exactly flush on the right is refused")
            << 300 << 0 << QList<int>{100, 20} << QList<int>{0, 0};
        QTest::newRow("right stops before the left edge passes 0")
            << 300 << -10 << QList<int>{0, 7, 11, 20} << QList<int>{-10, -3, -3, -3};
        QTest::newRow("exactly at 0 on the left is allowed")
            << 300 << -10 << QList<int>{0, 10} << QList<int>{-10, 0};
        QTest::newRow("as wide as the area never moves")
            << 220 << 0 << QList<int>{50, 0, 100, -40} << QList<int>{0, 0, 0, 0};
        QTest::newRow("narrower than the area never moves")
            << 150 << 0 << QList<int>{50, 40, 60} << QList<int>{0, 0, 0};
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
            moveTo(&area, moves[i]);
            QCOMPARE(row->x(), expectedLefts[i]);
            QCOMPARE(row->y(), 4);
        }
    }

    void firstMoveAfterReleaseOnlyRearms()
    {
        MyScrolleaArea area;
        area.setFixedSize(220, 23);
        auto* row = new QWidget(&area);
        row->setGeometry(-3, 0, 300, 20);
        area.dragChild = row;

        moveTo(&area, 100);
        moveTo(&area, 90);
        QCOMPARE(row->x(), -13);
        release(&area, 90);
        // A new gesture far from where the last one ended must not jump by the distance between them.
        moveTo(&area, 10);
        QCOMPARE(row->x(), -13);
        moveTo(&area, 15);
        QCOMPARE(row->x(), -8);
    }
};

QTEST_MAIN(TestMyScrolleaArea)
#include "tst_myscrolleaarea.moc"
