#include "app/mainwindow.h"

#include "canvas/stitcherconfig.h"
#include "widgets/iconpushbutton.h"
#include "widgets/myscrolleaarea.h"

#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QSlider>
#include <QValidator>
#include <QtTest>

class TestToolPanel : public QObject
{
    Q_OBJECT
private slots:
    void initialStateAgreesWithTheConfiguration()
    {
        MainWindow window;
        const StitcherConfig& config = *StitcherConfig::instance();
        auto* area = window.findChild<QScrollArea*>();
        QWidget* panel = area->widget();
        QCOMPARE(panel->size(), QSize(238, 720));
        QCOMPARE(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        // Blue first in every swatch row, as in the configuration's three colours.
        const QList<QButtonGroup*> groups = panel->findChildren<QButtonGroup*>();
        QCOMPARE(groups.size(), 3);
        for (QButtonGroup* group : groups) {
            QCOMPARE(group->buttons().size(), config.colorNames.size());
            QCOMPARE(group->checkedId(), 0);
            QVERIFY(group->button(0)->styleSheet().contains(":/images/color/blue-active.png"));
        }
        for (const QColor& field : {config.spacingColor, config.penColor, config.watermarkColor})
            QCOMPARE(field, config.colorList.at(0));
        // Each row is wider than its strip, so the user drags it to reach the picker.
        for (MyScrolleaArea* strip : panel->findChildren<MyScrolleaArea*>())
            QVERIFY(strip->dragChild && strip->dragChild->width() > strip->width());

        const struct
        {
            const char* name;
            int maximum, value, configValue;
        } sliders[] = {{"spacingInnerSlider", 99, 0, 0},
                       {"spacingOuterSlider", 99, 0, 0},
                       {"watermarkOpacitySlider", 255, 255, config.watermarkOpacity},
                       {"watermarkSpacingSlider", 99, 50, config.watermarkSpacing},
                       {"watermarkSizeSlider", 99, 50, config.watermarkSize}};
        for (const auto& s : sliders) {
            auto* slider = panel->findChild<QSlider*>(s.name);
            QVERIFY2(slider, s.name);
            QCOMPARE(slider->maximum(), s.maximum);
            QCOMPARE(slider->value(), s.value);
            QCOMPARE(slider->value(), s.configValue);
        }
        QCOMPARE(window.zoomSlider->value(), 50);
        QCOMPARE(window.zoomSlider->maximum(), 100);

        QVERIFY(window.horizontalButton->isChecked());
        QVERIFY(!window.verticalButton->isChecked());
        for (QPushButton* b : window.toolButtons())
            QVERIFY(!b->isChecked());
        QCOMPARE(config.tool, 0);
        QVERIFY(window.smallAction->isChecked());
        QVERIFY(!window.mediumAction->isChecked() && !window.largeAction->isChecked());
        QCOMPARE(config.penWidth, 3.0);
        QVERIFY(window.widthEdit->isReadOnly());
        QVERIFY(!window.heightEdit->isReadOnly());
        QVERIFY(window.heightLock->isHidden() && !window.widthLock->isHidden());
    }

    void onlyTheSizeButtonIsNotCheckable()
    {
        MainWindow window;
        const QList<QPushButton*> buttons =
            window.findChild<QScrollArea*>()->widget()->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 25);
        int menuButtons = 0;
        for (QPushButton* b : buttons) {
            if (b->menu()) {
                ++menuButtons;
                QVERIFY(!b->isCheckable());
                QCOMPARE(b->menu()->actions(),
                         (QList<QAction*>{window.smallAction, window.mediumAction, window.largeAction}));
            } else {
                QVERIFY(b->isCheckable());
            }
        }
        QCOMPARE(menuButtons, 1);
    }

    void sizeEntriesShareOneValidator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        QTest::newRow("leading zero") << "0" << int(QValidator::Invalid);
        QTest::newRow("leading zero then digits") << "012" << int(QValidator::Invalid);
        QTest::newRow("one digit is not yet a size") << "5" << int(QValidator::Intermediate);
        QTest::newRow("two digits") << "10" << int(QValidator::Acceptable);
        QTest::newRow("three digits") << "320" << int(QValidator::Acceptable);
        QTest::newRow("letters") << "3a" << int(QValidator::Invalid);
    }
    void sizeEntriesShareOneValidator()
    {
        QFETCH(QString, text);
        QFETCH(int, state);
        MainWindow window;
        QCOMPARE(window.widthEdit->validator(), window.heightEdit->validator());
        int pos = 0;
        QCOMPARE(int(window.heightEdit->validator()->validate(text, pos)), state);

        // Typed, an invalid text never reaches the entry.
        window.heightEdit->clear();
        QTest::keyClicks(window.heightEdit, text);
        QVERIFY(!window.heightEdit->text().startsWith('0'));
        QCOMPARE(window.heightEdit->text() == text, state != QValidator::Invalid);
    }
};

QTEST_MAIN(TestToolPanel)
#include "tst_toolpanel.moc"
