#include "widgets/colourcontrast.h"
#include "widgets/focusring.h"
#include "widgets/theme.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

// Keyboard focus and check boxes stand out from the theme's grounds, measured on rendered pixels.
class TestFocusRing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Theme::install(); }

    void ringAndBoxesShowOnEveryGround_data()
    {
        QTest::addColumn<QString>("ground");
        QTest::newRow("panel") << QString(Theme::panel);
        QTest::newRow("bar") << QString(Theme::bar);
        QTest::newRow("canvas") << QString(Theme::canvas);
    }
    void ringAndBoxesShowOnEveryGround()
    {
        QFETCH(QString, ground);
        QWidget window;
        window.setStyleSheet(QString("background-color: %1; color: white;").arg(ground));
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(20, 20, 20, 20);
        QPushButton first("first"), second("second");
        QCheckBox box("box");
        for (QWidget* widget :
             {static_cast<QWidget*>(&first), static_cast<QWidget*>(&second), static_cast<QWidget*>(&box)})
            layout->addWidget(widget);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // A click gives no ring; Tab does.
        QTest::mouseClick(&first, Qt::LeftButton);
        QVERIFY(!FocusRing::shown());
        QTest::keyClick(&window, Qt::Key_Tab);
        QTRY_VERIFY(second.hasFocus() && FocusRing::shown());
        const QImage shot = window.grab().toImage();
        const QRect around = second.geometry().adjusted(-2, -2, 2, 2);
        const QColor ring = shot.pixelColor(around.center().x(), around.top());
        QVERIFY2(contrastRatio(ring.rgb(), QColor(ground).rgb()) >= 3.0, qPrintable(ring.name()));

        // The box's frame, unchecked and checked.
        for (bool checked : {false, true}) {
            box.setChecked(checked);
            const QImage boxShot = box.grab().toImage();
            double best = 0;
            for (int x = 0; x < 16; ++x)
                best = std::max(best,
                                contrastRatio(boxShot.pixel(x, boxShot.height() / 2), QColor(ground).rgb()));
            QVERIFY2(best >= 3.0, qPrintable(QString::number(best)));
        }
    }
};

QTEST_MAIN(TestFocusRing)
#include "tst_focusring.moc"
