#include "settings/aboutdialog.h"
#include "settings/appdialog.h"

#include <QLabel>
#include <QtTest>

class TestSmallDialogs : public QObject
{
    Q_OBJECT
private slots:
    void aboutCannotBeResized()
    {
        AboutDialog about;
        QCOMPARE(about.size(), QSize(378, 224));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(about.windowTitle(), QStringLiteral("About App"));
    }

    void aboutLinesStayPutAtAnyFontSize()
    {
        QFont big = QApplication::font();
        big.setPointSize(24);
        QApplication::setFont(big);
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QMap<QString, QPoint> places;
        for (QLabel* label : about.findChildren<QLabel*>()) {
            places.insert(label->text(), label->pos());
            QVERIFY2(label->font().pixelSize() > 0, qPrintable(label->text()));
            QVERIFY2(label->geometry().bottom() < about.height(), qPrintable(label->text()));
        }
        QCOMPARE(places.value("Quillmoor Seamwright 2.0.0"), QPoint(100, 23));
        QCOMPARE(places.value("2020.02.20 Release"), QPoint(100, 40));
        QCOMPARE(places.size(), 3);
        const QString footer = places.keys().filter("https://").value(0);
        QVERIFY(!footer.isEmpty());
        QCOMPARE(places.value(footer), QPoint(25, 193));
    }

    void downloadAppIsOnePicture()
    {
        AppDialog app;
        QCOMPARE(app.size(), QSize(520, 318));
        QCOMPARE(app.minimumSize(), app.maximumSize());
        QVERIFY(app.content()->styleSheet().contains(":/images/app.png"));
        QVERIFY(app.findChildren<QLabel*>().isEmpty());
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "tst_smalldialogs.moc"
