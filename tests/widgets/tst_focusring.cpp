#include "widgets/focusring.h"
#include "widgets/theme.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

// The contrast ratio of two colours by their relative luminance.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

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
        QVERIFY2(contrast(ring, QColor(ground)) >= 3.0, qPrintable(ring.name()));

        // The box's frame, unchecked and checked.
        for (bool checked : {false, true}) {
            box.setChecked(checked);
            const QImage boxShot = box.grab().toImage();
            double best = 0;
            for (int x = 0; x < 16; ++x)
                best = std::max(best, contrast(boxShot.pixelColor(x, boxShot.height() / 2), QColor(ground)));
            QVERIFY2(best >= 3.0, qPrintable(QString::number(best)));
        }
    }
};

QTEST_MAIN(TestFocusRing)
#include "tst_focusring.moc"
