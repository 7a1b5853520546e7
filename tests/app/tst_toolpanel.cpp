#include "app/mainwindow.h"

#include "canvas/stitcherconfig.h"
#include "widgets/iconpushbutton.h"
#include "widgets/myscrolleaarea.h"

#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QValidator>
#include <QtTest>

class TestToolPanel : public QObject
{
    Q_OBJECT
private:
    static QWidget* panelContent(MainWindow& window) { return window.findChild<QScrollArea*>()->widget(); }

private slots:
    void panelIsFixedAndNeverScrollsVertically()
    {
        MainWindow window;
        auto* area = window.findChild<QScrollArea*>();
        QCOMPARE(area->width(), 240);
        QCOMPARE(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(area->widget()->size(), QSize(238, 720));
    }

    void swatchRowsAgreeWithTheConfiguration()
    {
        MainWindow window;
        const StitcherConfig& config = *StitcherConfig::instance();
        const QList<QButtonGroup*> groups = panelContent(window)->findChildren<QButtonGroup*>();
        QCOMPARE(groups.size(), 3);
        for (QButtonGroup* group : groups) {
            QCOMPARE(group->buttons().size(), config.colorNames.size());
            QVERIFY(group->exclusive());
            QCOMPARE(group->checkedId(), 0);
            QVERIFY(group->button(0)->styleSheet().contains(":/images/color/blue-active.png"));
            QVERIFY(group->button(7)->styleSheet().contains(":/images/color/white.png"));
        }
        QCOMPARE(config.colorList.at(0), config.spacingColor);
        QCOMPARE(config.colorList.at(0), config.penColor);
        QCOMPARE(config.colorList.at(0), config.watermarkColor);
    }

    void swatchRowsAreDraggableStrips()
    {
        MainWindow window;
        const QList<MyScrolleaArea*> strips = panelContent(window)->findChildren<MyScrolleaArea*>();
        QCOMPARE(strips.size(), 3);
        const QList<QSize> sizes{{220, 23}, {220, 22}, {220, 27}};
        const QList<QPoint> places{{-3, 0}, {-3, 0}, {-3, 5}};
        for (int i = 0; i < strips.size(); ++i) {
            QCOMPARE(strips[i]->size(), sizes[i]);
            QVERIFY(strips[i]->dragChild);
            QCOMPARE(strips[i]->dragChild->parentWidget(), strips[i]);
            QCOMPARE(strips[i]->dragChild->pos(), places[i]);
            // Wider than its strip, or the user could not reach the picker.
            QVERIFY(strips[i]->dragChild->width() > strips[i]->width());
        }
    }

    void slidersStartAtTheirValues()
    {
        MainWindow window;
        QWidget* panel = panelContent(window);
        const struct
        {
            const char* name;
            int maximum;
            int value;
        } expected[] = {{"spacingInnerSlider", 99, 0},
                        {"spacingOuterSlider", 99, 0},
                        {"watermarkOpacitySlider", 255, 255},
                        {"watermarkSpacingSlider", 99, 50},
                        {"watermarkSizeSlider", 99, 50}};
        const StitcherConfig& config = *StitcherConfig::instance();
        for (const auto& e : expected) {
            auto* slider = panel->findChild<QSlider*>(e.name);
            QVERIFY2(slider, e.name);
            QCOMPARE(slider->minimum(), 0);
            QCOMPARE(slider->maximum(), e.maximum);
            QCOMPARE(slider->value(), e.value);
        }
        QCOMPARE(config.watermarkOpacity, 255);
        QCOMPARE(config.watermarkSpacing, 50);
        QCOMPARE(config.watermarkSize, 50);
        QCOMPARE(window.zoomSlider->value(), 50);
        QCOMPARE(window.zoomSlider->maximum(), 100);
    }

    void buttonsStartInTheirInitialState()
    {
        MainWindow window;
        QVERIFY(window.horizontalButton->isChecked());
        QVERIFY(!window.verticalButton->isChecked());
        for (QPushButton* tool : window.toolButtons())
            QVERIFY2(!tool->isChecked(), qPrintable(tool->objectName()));
        for (QPushButton* b : {window.spacingInnerButton, window.spacingOuterButton, window.spacingAllButton,
                               window.watermarkBottomButton, window.watermarkTileButton})
            QVERIFY(!b->isChecked());
        QVERIFY(window.smallAction->isChecked());
        QVERIFY(!window.mediumAction->isChecked());
        QVERIFY(!window.largeAction->isChecked());
        QVERIFY(window.watermarkEdit->text().isEmpty());
        QCOMPARE(window.mosaicButtons[0]->objectName(), QString("mosaic-normal"));
        QCOMPARE(window.mosaicButtons[3]->objectName(), QString("mosaics-flower"));

        QCOMPARE(window.widthEdit->text(), QString("0"));
        QCOMPARE(window.heightEdit->text(), QString("0"));
        QVERIFY(window.widthEdit->isReadOnly());
        QVERIFY(!window.heightEdit->isReadOnly());
        QVERIFY(!window.widthLock->isHidden());
        QVERIFY(window.heightLock->isHidden());
    }

    void onlyTheSizeButtonIsNotCheckable()
    {
        MainWindow window;
        int menuButtons = 0;
        const QList<QPushButton*> buttons = panelContent(window)->findChildren<QPushButton*>();
        QVERIFY(buttons.size() >= 23);
        for (QPushButton* b : buttons) {
            if (b->menu()) {
                ++menuButtons;
                QVERIFY(!b->isCheckable());
                QCOMPARE(b->menu()->actions(),
                         (QList<QAction*>{window.smallAction, window.mediumAction, window.largeAction}));
            } else {
                QVERIFY2(b->isCheckable(), qPrintable(b->styleSheet()));
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
        QTest::newRow("sign") << "-10" << int(QValidator::Invalid);
    }
    void sizeEntriesShareOneValidator()
    {
        QFETCH(QString, text);
        QFETCH(int, state);
        MainWindow window;
        QVERIFY(window.heightEdit->validator());
        QCOMPARE(window.widthEdit->validator(), window.heightEdit->validator());
        int pos = 0;
        QCOMPARE(int(window.heightEdit->validator()->validate(text, pos)), state);
    }

    void leadingZeroCannotBeTyped()
    {
        MainWindow window;
        window.heightEdit->clear();
        QTest::keyClicks(window.heightEdit, "0");
        QCOMPARE(window.heightEdit->text(), QString());
        QTest::keyClicks(window.heightEdit, "5");
        QCOMPARE(window.heightEdit->text(), QString("5"));
        QVERIFY(!window.heightEdit->hasAcceptableInput());
    }
};

QTEST_MAIN(TestToolPanel)
#include "tst_toolpanel.moc"
