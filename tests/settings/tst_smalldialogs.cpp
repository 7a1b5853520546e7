#include "settings/aboutdialog.h"

#include <QLabel>
#include <QtTest>

class TestSmallDialogs : public QObject
{
    Q_OBJECT
private slots:
    void aboutKeepsItsLinesInPlaceAtAnyFontSize()
    {
        QFont big = QApplication::font();
        big.setPointSize(24);
        QApplication::setFont(big);
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.size(), QSize(378, 224));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QMap<QString, QRect> places;
        for (QLabel* label : about.findChildren<QLabel*>())
            places.insert(label->text(), label->geometry());
        QCOMPARE(places.size(), 3);
        QCOMPARE(places.value("Quillmoor Seamwright 2.0.0").topLeft(), QPoint(100, 23));
        QCOMPARE(places.value("2020.02.20 Release").topLeft(), QPoint(100, 40));
        const QString footer = places.keys().filter("https://").value(0);
        QCOMPARE(places.value(footer).topLeft(), QPoint(25, 193));
        QVERIFY(places.value(footer).bottom() < about.height());
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "tst_smalldialogs.moc"
