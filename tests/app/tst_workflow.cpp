#include "app/mainwindow.h"

#include "app/toolbutton.h"
#include "app/workflowvalues.h"
#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "support/modalanswerer.h"
#include "widgets/iconpushbutton.h"

#include <QAction>
#include <QButtonGroup>
#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace {

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return image;
}

} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT
private:
    StitcherConfig& config = *StitcherConfig::instance();

    // Two photos laid out horizontally at 200 units high: 400 + 200 wide.
    struct Fixture
    {
        MainWindow window;
        PainterArea* canvas = window.canvas();
        Fixture()
        {
            canvas->addImage(photo(400, 200), "a.png");
            canvas->addImage(photo(300, 300), "b.png");
            canvas->adjustSize();
        }
        QList<QButtonGroup*> swatchGroups()
        {
            return window.findChild<QScrollArea*>()->widget()->findChildren<QButtonGroup*>();
        }
        QPushButton* topBar(int index) { return window.findChildren<ToolButton*>().at(index)->pushButton; }
        void makeChange(const QString& change)
        {
            if (change.contains("cut"))
                canvas->cutLeft = 10;
            if (change.contains("spacing"))
                window.spacingAllButton->click();
            if (change.contains("watermark"))
                window.watermarkTileButton->click();
            if (change.contains("text"))
                window.watermarkEdit->setText("mine");
            if (change.contains("annotation"))
                canvas->annotations.append(Annotation{});
            if (change.contains("mosaic"))
                canvas->mosaicStrokes.append(MosaicStroke{});
        }
    };

    // Answers the next message box with that button and keeps its title and text.
    void answer(ModalAnswerer& answerer, QMessageBox::StandardButton button)
    {
        answerer.queue([this, button](QWidget* modal) {
            askedTitle = modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                askedText = box->text();
            ModalAnswerer::pressButton(button)(modal);
        });
    }
    QString askedTitle, askedText;

private slots:
    void init()
    {
        // The configuration outlives each window: start every case from its defaults.
        config.tool = config.shape = config.watermarkMode = 0;
        config.watermarkText.clear();
        config.mosaicName = "mosaic:none";
        config.spacingColor = config.penColor = config.watermarkColor = QColor(Qt::blue);
        config.paintWidth = config.paintHeight = 320;
        askedTitle.clear();
        askedText.clear();
    }

    void asksOnlyWhenWorkWouldBeLost_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("toDirection");
        QTest::addColumn<bool>("asks");
        const struct
        {
            const char* change;
            bool direction;
            bool stitching;
        } rows[] = {{"nothing", false, false}, {"cut", true, false},         {"spacing", true, true},
                    {"watermark", true, true}, {"text alone", false, false}, {"annotation", true, true},
                    {"mosaic", true, true}};
        for (const auto& r : rows) {
            QTest::addRow("direction, %s", r.change) << r.change << true << r.direction;
            QTest::addRow("stitching, %s", r.change) << r.change << false << r.stitching;
        }
    }
    void asksOnlyWhenWorkWouldBeLost()
    {
        QFETCH(QString, change);
        QFETCH(bool, toDirection);
        QFETCH(bool, asks);
        Fixture f;
        f.makeChange(change);
        ModalAnswerer answerer;
        answer(answerer, QMessageBox::Yes);
        (toDirection ? f.window.verticalButton : f.window.cutInnerButton)->click();

        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(askedTitle, QString("Warning"));
            QCOMPARE(askedText,
                     QString("Are you sure to go back to %1 and discard your current editing results?")
                         .arg(toDirection ? "Pick Direction" : "Stitching"));
        }
        // Editing results are gone either way; trims only when the direction changed.
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(f.canvas->annotations.isEmpty());
        QVERIFY(f.canvas->mosaicStrokes.isEmpty());
        QCOMPARE(config.watermarkMode, 0);
        QVERIFY(!f.window.watermarkTileButton->isChecked());
        QVERIFY(!f.window.spacingAllButton->isChecked());
        QCOMPARE(f.canvas->hasTrims(), !toDirection && change == "cut");
        // Text alone is no editing result, so nothing ran that would clear it.
        QCOMPARE(config.watermarkText, change == "text alone" ? QString("mine") : QString());
        QCOMPARE(f.window.watermarkEdit->text(), config.watermarkText);
        QCOMPARE(config.tool, toDirection ? 0 : 3);
        QCOMPARE(f.canvas->cutMode, toDirection ? 0 : 1);
        QCOMPARE(f.canvas->direction, toDirection ? 1 : 0);
        QCOMPARE(f.window.horizontalButton->isChecked(), !toDirection);
        // The entry across the strip is the editable one.
        QCOMPARE(f.window.widthEdit->isReadOnly(), !toDirection);
        QCOMPARE(f.window.heightEdit->isReadOnly(), toDirection);
        QCOMPARE(f.window.widthLock->isHidden(), toDirection);
        QCOMPARE(f.window.heightLock->isHidden(), !toDirection);
    }

    void answeringNoKeepsEverything()
    {
        Fixture f;
        f.makeChange("cut spacing watermark annotation");
        f.window.pathButton->click();
        ModalAnswerer answerer;
        for (QPushButton* target : {static_cast<QPushButton*>(f.window.verticalButton),
                                    static_cast<QPushButton*>(f.window.cutOuterButton)}) {
            answer(answerer, QMessageBox::No);
            target->click();
            QVERIFY(!target->isChecked());
            QVERIFY(f.window.horizontalButton->isChecked());
            QVERIFY(f.window.pathButton->isChecked());
            QCOMPARE(config.tool, 1);
            QCOMPARE(f.canvas->direction, 0);
            QCOMPARE(f.canvas->cutMode, 0);
            QCOMPARE(f.canvas->cutLeft, 10.0);
            QCOMPARE(f.canvas->spacingMode, 0x11);
            QCOMPARE(f.canvas->annotations.size(), 1);
            QCOMPARE(config.watermarkMode, 2);
        }
        QCOMPARE(answerer.answeredCount(), 2);
    }

    void clickingTheCheckedDirectionChangesNothing()
    {
        Fixture f;
        f.makeChange("cut spacing");
        ModalAnswerer answerer;
        answer(answerer, QMessageBox::Yes);
        f.window.horizontalButton->click();
        QCOMPARE(answerer.answeredCount(), 0);
        QVERIFY(f.window.horizontalButton->isChecked());
        QCOMPARE(f.canvas->cutLeft, 10.0);
        QCOMPARE(f.canvas->spacingMode, 0x11);
    }

    void toolButtonsFormOneExclusiveSet()
    {
        Fixture f;
        MainWindow& w = f.window;
        const struct
        {
            QPushButton* button;
            int tool, shape, cutMode;
            QString mosaic;
        } steps[] = {
            {w.cutOuterButton, 3, 0, 2, "mosaic:none"},     {w.pathButton, 1, 1, 0, "mosaic:none"},
            {w.arrowButton, 1, 2, 0, "mosaic:none"},        {w.rectangleButton, 1, 3, 0, "mosaic:none"},
            {w.mosaicButtons[2], 2, 3, 0, "mosaic-red"},    {w.cutAllButton, 3, 3, 3, "mosaic-red"},
            {w.mosaicButtons[3], 2, 3, 0, "mosaics-flower"}};
        for (const auto& s : steps) {
            s.button->click();
            for (QPushButton* tool : w.toolButtons())
                QCOMPARE(tool->isChecked(), tool == s.button);
            QCOMPARE(config.tool, s.tool);
            QCOMPARE(config.shape, s.shape);
            QCOMPARE(f.canvas->cutMode, s.cutMode);
            QCOMPARE(config.mosaicName, s.mosaic);
        }
        w.mosaicButtons[3]->click();
        QCOMPARE(config.tool, 0);
        // A spacing mode switches every tool off; the spacing buttons are exclusive among themselves.
        w.pathButton->click();
        w.spacingInnerButton->click();
        w.spacingOuterButton->click();
        QVERIFY(!w.pathButton->isChecked());
        QVERIFY(!w.spacingInnerButton->isChecked());
        QCOMPARE(f.canvas->spacingMode, 0x10);
        QCOMPARE(config.tool, 0);
        w.spacingOuterButton->click();
        QCOMPARE(f.canvas->spacingMode, 0);
    }

    void watermarkSwitchesOnlyTheTrimToolOff()
    {
        Fixture f;
        f.window.cutOuterButton->click();
        f.window.watermarkTileButton->click();
        QCOMPARE(config.watermarkMode, 2);
        QCOMPARE(config.tool, 0);
        QCOMPARE(f.canvas->cutMode, 0);
        QVERIFY(!f.window.cutOuterButton->isChecked());

        f.window.pathButton->click();
        f.window.watermarkBottomButton->click();
        QCOMPARE(config.watermarkMode, 1);
        QVERIFY(!f.window.watermarkTileButton->isChecked());
        QCOMPARE(config.tool, 1);
        QVERIFY(f.window.pathButton->isChecked());
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
        Fixture f;
        f.window.zoomSlider->setValue(start);
        f.topBar(3)->click();
        QCOMPARE(f.window.zoomSlider->value(), afterIn);
        f.window.zoomSlider->setValue(start);
        f.topBar(4)->click();
        QCOMPARE(f.window.zoomSlider->value(), afterOut);
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(afterOut));
    }

    void sizeEntries()
    {
        Fixture f;
        auto enter = [](QLineEdit* edit, const QString& text) {
            edit->setText(text);
            emit edit->editingFinished();
        };
        QCOMPARE(f.window.heightEdit->text(), QString("200"));
        QSignalSpy resized(f.canvas, &PainterArea::signalSizeHint);
        enter(f.window.heightEdit, "200");
        QCOMPARE(resized.count(), 0); // the current height changes nothing

        enter(f.window.heightEdit, "100");
        QCOMPARE(config.paintHeight, 100);
        QCOMPARE(f.window.widthEdit->text(), QString("300"));

        // Sizes the strip could not be rendered at are refused and the entry shows the height in effect.
        for (const QString& text : {QString::number(WorkflowValues::maxCommonSide + 1), QString(30, '9')}) {
            enter(f.window.heightEdit, text);
            QCOMPARE(config.paintHeight, 100);
            QCOMPARE(f.window.heightEdit->text(), QString("100"));
        }
        enter(f.window.heightEdit, QString::number(WorkflowValues::maxCommonSide));
        QCOMPARE(config.paintHeight, WorkflowValues::maxCommonSide);
        enter(f.window.heightEdit, "100");

        // In vertical layout only the width entry counts, with the same bound.
        f.window.verticalButton->click();
        const int width = config.paintWidth;
        enter(f.window.heightEdit, "150");
        QCOMPARE(config.paintHeight, 100);
        enter(f.window.widthEdit, QString::number(WorkflowValues::maxCommonSide + 1));
        QCOMPARE(config.paintWidth, width);
        QCOMPARE(f.window.widthEdit->text(), QString::number(width));
        enter(f.window.widthEdit, "150");
        QCOMPARE(config.paintWidth, 150);
    }

    void swatchesAndThePickerSetTheColours()
    {
        Fixture f;
        const QList<QButtonGroup*> groups = f.swatchGroups();
        groups[0]->button(3)->click();
        groups[1]->button(5)->click();
        groups[2]->button(7)->click();
        QCOMPARE(config.spacingColor, QColor(255, 165, 0));
        QCOMPARE(config.penColor, QColor(Qt::black));
        QCOMPARE(config.watermarkColor, QColor(Qt::white));

        QList<QPushButton*> pickers;
        for (QButtonGroup* g : groups)
            pickers.append(g->parent()->findChildren<QPushButton*>().constLast());
        const QColor picked(12, 34, 56);
        QColor shown;
        ModalAnswerer answerer;
        answerer.queue([&](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            dialog->setCurrentColor(picked);
            dialog->accept();
        });
        pickers[1]->click();
        QCOMPARE(config.penColor, picked);
        QCOMPARE(groups[1]->checkedId(), 5); // the swatch stays

        // Cancelled: nothing changes; the one shared dialog opened on the last colour picked.
        answerer.queue([&](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            shown = dialog->currentColor();
            dialog->setCurrentColor(Qt::red);
            dialog->reject();
        });
        pickers[2]->click();
        QCOMPARE(answerer.answeredCount(), 2);
        QCOMPARE(shown, picked);
        QCOMPARE(config.watermarkColor, QColor(Qt::white));
        QCOMPARE(f.window.findChildren<QColorDialog*>().size(), 1);
    }

    void clearDropsEverythingWithoutAsking()
    {
        Fixture f;
        f.makeChange("cut spacing text annotation");
        ModalAnswerer answerer;
        answer(answerer, QMessageBox::No);
        f.topBar(1)->click();
        QCOMPARE(answerer.answeredCount(), 0);
        QVERIFY(f.canvas->paintImages.isEmpty());
        QVERIFY(f.canvas->annotations.isEmpty());
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.canvas->hasTrims());
        QVERIFY(!f.window.spacingAllButton->isChecked());
        QVERIFY(config.watermarkText.isEmpty());
    }
};

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
