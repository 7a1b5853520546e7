#include "app/mainwindow.h"

#include "app/toolbutton.h"
#include "app/workflowvalues.h"
#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"
#include "support/modalanswerer.h"
#include "widgets/iconpushbutton.h"

#include <QAction>
#include <QButtonGroup>
#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace {

QImage photo(int width, int height, QColor color = Qt::darkGreen)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Presses a message box button and records what the box said.
ModalAnswerer::Answer answerBox(QMessageBox::StandardButton button, QString* title, QString* text)
{
    return [=](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            *title = box->windowTitle();
            *text = box->text();
        }
        ModalAnswerer::pressButton(button)(modal);
    };
}

QPushButton* topBarButton(MainWindow& window, int index)
{
    return window.findChildren<ToolButton*>().at(index)->pushButton;
}

} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT
private:
    StitcherConfig& config = *StitcherConfig::instance();

    // A window with two photos on its canvas, laid out horizontally at 200 units high.
    struct Fixture
    {
        MainWindow window;
        PainterArea* canvas = window.canvas();
        Fixture()
        {
            window.resize(900, 673);
            canvas->addImage(photo(400, 200), "a.png");
            canvas->addImage(photo(300, 300), "b.png");
            canvas->adjustSize();
        }
    };

private slots:
    void init()
    {
        // The configuration outlives each window: start every case from its defaults.
        config.tool = 0;
        config.shape = 0;
        config.watermarkMode = 0;
        config.watermarkText.clear();
        config.penWidth = 3.0;
        config.mosaicName = "mosaic:none";
        config.spacingColor = config.penColor = config.watermarkColor = QColor(Qt::blue);
        config.paintWidth = config.paintHeight = 320;
    }

    void directionChangeAsksOnlyWithChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asks");
        QTest::newRow("photos only") << "none" << false;
        QTest::newRow("a strip cut") << "cut" << true;
        QTest::newRow("spacing") << "spacing" << true;
        QTest::newRow("watermark mode") << "watermark" << true;
        QTest::newRow("watermark text alone") << "text" << false;
    }
    void directionChangeAsksOnlyWithChanges()
    {
        QFETCH(QString, change);
        QFETCH(bool, asks);
        Fixture f;
        if (change == "cut")
            f.canvas->cutLeft = 10;
        else if (change == "spacing")
            f.window.spacingAllButton->click();
        else if (change == "watermark")
            f.window.watermarkTileButton->click();
        else if (change == "text")
            f.window.watermarkEdit->setText("mine");

        ModalAnswerer answerer;
        QString title, text;
        answerer.queue(answerBox(QMessageBox::Yes, &title, &text));
        f.window.verticalButton->click();
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(title, QString("Warning"));
            QCOMPARE(
                text,
                QString(
                    "Are you sure to go back to Pick Direction and discard your current editing results?"));
        }
        QVERIFY(f.window.verticalButton->isChecked());
        QVERIFY(!f.window.horizontalButton->isChecked());
        QCOMPARE(f.canvas->direction, 1);
        QVERIFY(!f.canvas->hasTrims());
        QCOMPARE(f.canvas->spacingMode, 0);
        QCOMPARE(config.watermarkMode, 0);
        QVERIFY(!f.window.watermarkTileButton->isChecked());
        // Text alone is no editing result, so nothing ran that would clear it.
        QCOMPARE(config.watermarkText, change == "text" ? QString("mine") : QString());
        // The entries follow the direction.
        QVERIFY(!f.window.widthEdit->isReadOnly());
        QVERIFY(f.window.heightEdit->isReadOnly());
        QVERIFY(f.window.widthLock->isHidden());
        QVERIFY(!f.window.heightLock->isHidden());
    }

    void directionChangeRefusedKeepsEverything()
    {
        Fixture f;
        f.canvas->cutTop = 12;
        f.window.spacingInnerButton->click();
        f.window.pathButton->click();
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::No));
        f.window.verticalButton->click();
        QCOMPARE(answerer.answeredCount(), 1);
        QVERIFY(!f.window.verticalButton->isChecked());
        QVERIFY(f.window.horizontalButton->isChecked());
        QCOMPARE(f.canvas->direction, 0);
        QCOMPARE(f.canvas->cutTop, 12.0);
        QCOMPARE(f.canvas->spacingMode, 0x01);
        QVERIFY(f.window.pathButton->isChecked());
        QCOMPARE(config.tool, 1);
    }

    void clickingTheCheckedDirectionChangesNothing()
    {
        Fixture f;
        f.canvas->cutLeft = 10;
        f.window.cutAllButton->click();
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
        f.window.horizontalButton->click();
        QCOMPARE(answerer.answeredCount(), 0);
        QVERIFY(f.window.horizontalButton->isChecked());
        QVERIFY(f.window.cutAllButton->isChecked());
        QCOMPARE(config.tool, 3);
        QCOMPARE(f.canvas->cutLeft, 10.0);
    }

    void trimToolAsksOnlyWithEditingResults()
    {
        Fixture f;
        f.canvas->cutLeft = 10; // trims are no editing result
        ModalAnswerer answerer;
        f.window.cutInnerButton->click();
        QCOMPARE(answerer.answeredCount(), 0);
        QCOMPARE(config.tool, 3);
        QCOMPARE(f.canvas->cutMode, 1);

        f.window.spacingOuterButton->click();
        f.window.watermarkEdit->setText("kept?");
        f.window.watermarkBottomButton->click();
        QCOMPARE(config.tool, 0);

        answerer.queue(ModalAnswerer::pressButton(QMessageBox::No));
        f.window.cutOuterButton->click();
        QCOMPARE(answerer.answeredCount(), 1);
        QVERIFY(!f.window.cutOuterButton->isChecked());
        QCOMPARE(config.tool, 0);
        QCOMPARE(f.canvas->spacingMode, 0x10);
        QCOMPARE(config.watermarkMode, 1);

        QString title, text;
        answerer.queue(answerBox(QMessageBox::Yes, &title, &text));
        f.window.cutOuterButton->click();
        QCOMPARE(answerer.answeredCount(), 2);
        QCOMPARE(title, QString("Warning"));
        QCOMPARE(text,
                 QString("Are you sure to go back to Stitching and discard your current editing results?"));
        QVERIFY(f.window.cutOuterButton->isChecked());
        QCOMPARE(config.tool, 3);
        QCOMPARE(f.canvas->cutMode, 2);
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.window.spacingOuterButton->isChecked());
        QCOMPARE(config.watermarkMode, 0);
        QVERIFY(!f.window.watermarkBottomButton->isChecked());
        QVERIFY(f.window.watermarkEdit->text().isEmpty());
        QVERIFY(config.watermarkText.isEmpty());
        QCOMPARE(f.canvas->cutLeft, 10.0); // trims survive

        f.window.cutOuterButton->click();
        QCOMPARE(config.tool, 0);
        QCOMPARE(f.canvas->cutMode, 0);
    }

    void watermarkTextAloneIsNoEditingResult()
    {
        Fixture f;
        f.window.watermarkEdit->setText("draft");
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::No));
        f.window.cutAllButton->click();
        QCOMPARE(answerer.answeredCount(), 0);
        QVERIFY(f.window.cutAllButton->isChecked());
        QCOMPARE(config.watermarkText, QString("draft"));
        QCOMPARE(f.window.watermarkEdit->text(), QString("draft"));
    }

    void toolButtonsFormOneExclusiveSet()
    {
        Fixture f;
        MainWindow& w = f.window;
        const struct
        {
            QPushButton* button;
            int tool;
            int shape;
            QString mosaic;
        } cases[] = {{w.cutInnerButton, 3, 0, "mosaic:none"},  {w.pathButton, 1, 1, "mosaic:none"},
                     {w.arrowButton, 1, 2, "mosaic:none"},     {w.rectangleButton, 1, 3, "mosaic:none"},
                     {w.mosaicButtons[2], 2, 3, "mosaic-red"}, {w.mosaicButtons[3], 2, 3, "mosaics-flower"},
                     {w.cutAllButton, 3, 3, "mosaics-flower"}, {w.mosaicButtons[0], 2, 3, "mosaic-normal"}};
        for (const auto& c : cases) {
            c.button->click();
            for (QPushButton* tool : w.toolButtons())
                QCOMPARE(tool->isChecked(), tool == c.button);
            QCOMPARE(config.tool, c.tool);
            QCOMPARE(config.shape, c.shape);
            QCOMPARE(config.mosaicName, c.mosaic);
            QCOMPARE(f.canvas->cutMode, c.button == w.cutInnerButton ? 1
                                        : c.button == w.cutAllButton ? 3
                                                                     : 0);
        }
        // Unchecking the tool that is on leaves no tool.
        w.mosaicButtons[0]->click();
        QCOMPARE(config.tool, 0);
        for (QPushButton* tool : w.toolButtons())
            QVERIFY(!tool->isChecked());

        // A spacing mode switches every tool off, the direction stays.
        w.pathButton->click();
        w.spacingInnerButton->click();
        QVERIFY(!w.pathButton->isChecked());
        QCOMPARE(config.tool, 0);
        QVERIFY(w.horizontalButton->isChecked());
    }

    void spacingButtonsAreExclusiveAndSwitchOff()
    {
        Fixture f;
        const QSize before = f.canvas->contentSize();
        f.window.spacingInnerButton->click();
        QCOMPARE(f.canvas->spacingMode, 0x01);
        f.window.spacingAllButton->click();
        QCOMPARE(f.canvas->spacingMode, 0x11);
        QVERIFY(!f.window.spacingInnerButton->isChecked());
        QVERIFY(f.canvas->contentSize().height() > before.height());
        f.window.spacingOuterButton->click();
        QCOMPARE(f.canvas->spacingMode, 0x10);
        QVERIFY(!f.window.spacingAllButton->isChecked());
        f.window.spacingOuterButton->click();
        QCOMPARE(f.canvas->spacingMode, 0);
        QCOMPARE(f.canvas->contentSize(), before);
    }

    void watermarkSwitchesTheTrimToolOff()
    {
        Fixture f;
        f.window.cutOuterButton->click();
        QCOMPARE(config.tool, 3);
        f.window.watermarkTileButton->click();
        QCOMPARE(config.watermarkMode, 2);
        QCOMPARE(config.tool, 0);
        QCOMPARE(f.canvas->cutMode, 0);
        QVERIFY(!f.window.cutOuterButton->isChecked());

        // Not a trim tool: a drawing tool stays on.
        f.window.pathButton->click();
        f.window.watermarkBottomButton->click();
        QCOMPARE(config.watermarkMode, 1);
        QVERIFY(!f.window.watermarkTileButton->isChecked());
        QCOMPARE(config.tool, 1);
        QVERIFY(f.window.pathButton->isChecked());
        f.window.watermarkBottomButton->click();
        QCOMPARE(config.watermarkMode, 0);
    }

    void penWidthEntries()
    {
        MainWindow window;
        window.largeAction->trigger();
        QCOMPARE(config.penWidth, 9.0);
        window.mediumAction->trigger();
        QCOMPARE(config.penWidth, 6.0);
        QVERIFY(window.mediumAction->isChecked());
        QVERIFY(!window.smallAction->isChecked());
        QVERIFY(!window.largeAction->isChecked());
        window.smallAction->trigger();
        QCOMPARE(config.penWidth, 3.0);
    }

    void zoomButtonsStepWithinRange_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("afterIn");
        QTest::addColumn<int>("afterOut");
        QTest::newRow("middle") << 50 << 52 << 48;
        QTest::newRow("in from 99") << 99 << 100 << 97;
        QTest::newRow("at the top") << 100 << 100 << 98;
        QTest::newRow("out from 1") << 1 << 3 << 0;
        QTest::newRow("at the bottom") << 0 << 2 << 0;
    }
    void zoomButtonsStepWithinRange()
    {
        QFETCH(int, start);
        QFETCH(int, afterIn);
        QFETCH(int, afterOut);
        MainWindow window;
        window.zoomSlider->setValue(start);
        topBarButton(window, 3)->click(); // zoomin
        QCOMPARE(window.zoomSlider->value(), afterIn);
        window.zoomSlider->setValue(start);
        topBarButton(window, 4)->click(); // zoomout
        QCOMPARE(window.zoomSlider->value(), afterOut);
        QCOMPARE(window.canvas()->painterScale, Geometry::zoomFactor(afterOut));
    }

    void heightEntrySetsTheCommonHeight()
    {
        Fixture f;
        QCOMPARE(f.window.heightEdit->text(), QString("200"));
        QSignalSpy sizeHints(f.canvas, &PainterArea::signalSizeHint);

        // Re-entering the current height does nothing.
        f.window.heightEdit->setText("200");
        emit f.window.heightEdit->editingFinished();
        QCOMPARE(sizeHints.count(), 0);

        f.window.heightEdit->setText("100");
        emit f.window.heightEdit->editingFinished();
        QCOMPARE(config.paintHeight, 100);
        QCOMPARE(f.canvas->contentSize(), QSize(200 + 100, 100));
        QCOMPARE(f.window.heightEdit->text(), QString("100"));
        QCOMPARE(f.window.widthEdit->text(), QString("300"));
    }

    void sizeEntryRefusesSizesThatCannotBeRendered()
    {
        Fixture f;
        const QString tooLarge = QString::number(WorkflowValues::maxCommonSide + 1);
        for (const QString& text : {tooLarge, QString("99999999999999999999999")}) {
            f.window.heightEdit->setText(text);
            emit f.window.heightEdit->editingFinished();
            QCOMPARE(config.paintHeight, 200);
            QCOMPARE(f.window.heightEdit->text(), QString("200"));
        }
        f.window.heightEdit->setText(QString::number(WorkflowValues::maxCommonSide));
        emit f.window.heightEdit->editingFinished();
        QCOMPARE(config.paintHeight, WorkflowValues::maxCommonSide);

        // The same bound holds for the width of a vertical strip.
        f.window.verticalButton->click();
        const int width = config.paintWidth;
        f.window.widthEdit->setText(tooLarge);
        emit f.window.widthEdit->editingFinished();
        QCOMPARE(config.paintWidth, width);
        QCOMPARE(f.window.widthEdit->text(), QString::number(width));
    }

    void entryAcrossTheStripOnly()
    {
        Fixture f;
        f.window.verticalButton->click();
        const int height = config.paintHeight;
        const QSize size = f.canvas->contentSize();
        f.window.heightEdit->setText("150");
        emit f.window.heightEdit->editingFinished();
        QCOMPARE(config.paintHeight, height);
        QCOMPARE(f.canvas->contentSize(), size);

        f.window.widthEdit->setText("150");
        emit f.window.widthEdit->editingFinished();
        QCOMPARE(config.paintWidth, 150);
    }

    void swatchesSetTheirColourField()
    {
        MainWindow window;
        const QList<QButtonGroup*> groups =
            window.findChild<QScrollArea*>()->widget()->findChildren<QButtonGroup*>();
        groups[0]->button(3)->click();
        groups[1]->button(5)->click();
        groups[2]->button(7)->click();
        QCOMPARE(config.spacingColor, QColor(255, 165, 0));
        QCOMPARE(config.penColor, QColor(Qt::black));
        QCOMPARE(config.watermarkColor, QColor(Qt::white));
    }

    void pickerSharesOneDialogAndKeepsTheSwatch()
    {
        MainWindow window;
        const QList<QPushButton*> pickers = [&] {
            QList<QPushButton*> found;
            for (QPushButton* b : window.findChild<QScrollArea*>()->widget()->findChildren<QPushButton*>())
                if (b->styleSheet().contains("Beachball"))
                    found.append(b);
            return found;
        }();
        QCOMPARE(pickers.size(), 3);
        const QColor picked(12, 34, 56);
        ModalAnswerer answerer;
        answerer.queue([&](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QColorDialog::DontUseNativeDialog));
            dialog->setCurrentColor(picked);
            dialog->accept();
        });
        pickers[2]->click();
        QCOMPARE(config.watermarkColor, picked);
        QCOMPARE(config.spacingColor, QColor(Qt::blue));

        // Cancelled: nothing changes; the shared dialog opened on the last colour picked.
        QColor shownColour;
        answerer.queue([&](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            shownColour = dialog->currentColor();
            dialog->setCurrentColor(Qt::red);
            dialog->reject();
        });
        pickers[0]->click();
        QCOMPARE(answerer.answeredCount(), 2);
        QCOMPARE(shownColour, picked);
        QCOMPARE(config.spacingColor, QColor(Qt::blue));
        QCOMPARE(window.findChildren<QColorDialog*>().size(), 1);
        const QList<QButtonGroup*> groups =
            window.findChild<QScrollArea*>()->widget()->findChildren<QButtonGroup*>();
        QCOMPARE(groups[2]->checkedId(), 0);
    }

    void clearDropsEverythingWithoutAsking()
    {
        Fixture f;
        f.canvas->cutLeft = 10;
        f.window.spacingAllButton->click();
        f.window.watermarkEdit->setText("gone");
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::No));
        topBarButton(f.window, 1)->click(); // clear
        QCOMPARE(answerer.answeredCount(), 0);
        QVERIFY(f.canvas->paintImages.isEmpty());
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.canvas->hasTrims());
        QVERIFY(!f.window.spacingAllButton->isChecked());
        QVERIFY(config.watermarkText.isEmpty());
        QVERIFY(f.window.horizontalButton->isChecked());
    }
};

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
