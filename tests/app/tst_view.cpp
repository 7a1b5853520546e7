#include "canvas/geometry.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "intake/intakerun.h"
#include "support/filledimage.h"
#include "support/windowfixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

// Where the strip sits in its view after the changes a user makes.
class TestView : public QObject
{
    Q_OBJECT

    StitcherConfig& config = *StitcherConfig::instance();

    struct Fixture : WindowFixture
    {
        XFormWidget* view = ui.canvasHolder;
        Fixture() : WindowFixture(true) {}
        // Photos arrive as an intake hands them over, then the window's loop turns.
        void arrive(int count, QSize size = QSize(1600, 1200))
        {
            for (int i = 0; i < count; ++i)
                canvas->appendPhoto(filledImage(size.width(), size.height()), "p.png");
            QCoreApplication::processEvents();
        }
        void click(TopBar which) { topBar(which)->click(); }
        bool wholeStripShown() const { return view->rect().contains(canvas->geometry()); }
        // Off the centre across the strip, in pixels.
        int crossOffset() const
        {
            const QRect r = canvas->geometry();
            return canvas->isVertical() ? r.center().x() - view->rect().center().x()
                                        : r.center().y() - view->rect().center().y();
        }
    };

private slots:
    void newStripFitsAndFitMovesTheSlider()
    {
        // Through the real intake: the photos decode in the background and arrive one by one.
        QTemporaryDir folder;
        QStringList paths;
        for (int i = 0; i < 5; ++i) {
            paths << folder.filePath(QString("p%1.png").arg(i));
            QVERIFY(filledImage(1600, 1200).save(paths.last()));
        }
        Fixture f;
        IntakeRun* run = f.canvas->addPhotoFiles(paths);
        QSignalSpy finished(run, &IntakeRun::finished);
        QVERIFY(finished.wait(20000));
        // As long as the view: the strip's length is what limits.
        QTRY_VERIFY(f.canvas->width() == f.view->width());
        QCOMPARE(f.canvas->paintImages.size(), 5);
        QVERIFY(f.wholeStripShown());
        const double fitted = f.canvas->painterScale;
        QVERIFY(fitted < 0.3);
        QCOMPARE(f.ui.zoomSlider->value(), Geometry::zoomValueFor(fitted));

        // The next step continues from the fitted scale instead of jumping back to the old value.
        f.click(Fixture::ZoomIn);
        QVERIFY2(f.canvas->painterScale > fitted && f.canvas->painterScale < fitted * 1.15,
                 qPrintable(QString::number(f.canvas->painterScale)));

        // More photos into a strip that has some keep the zoom the user has.
        const double zoom = f.canvas->painterScale;
        f.arrive(1);
        QCOMPARE(f.canvas->painterScale, zoom);
    }

    void clearingStartsAgainAndTheNextPhotosFit()
    {
        Fixture f;
        f.arrive(5);
        f.click(Fixture::Fit);
        f.click(Fixture::Clear);
        QCOMPARE(f.ui.zoomSlider->value(), 50);
        QCOMPARE(f.canvas->painterScale, 1.0);
        QVERIFY(f.wholeStripShown()); // the empty canvas, centred

        // A single tall photo fits across, as nothing is cut off there.
        f.arrive(1, QSize(1200, 1600));
        QVERIFY(f.wholeStripShown());
        QCOMPARE(f.canvas->height(), f.view->height());
        QVERIFY(qAbs(f.canvas->geometry().center().x() - f.view->rect().center().x()) <= 1);
    }

    void zoomChosenBeforeTheBatchEndsIsKept()
    {
        Fixture f;
        for (int i = 0; i < 3; ++i)
            f.canvas->addImage(filledImage(1600, 1200), "p.png");
        f.ui.zoomSlider->setValue(20);
        QCoreApplication::processEvents();
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(20));
    }

    void stripStaysCentredAcross_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : {"vertical", "height entry", "spacing", "outer slider", "strip cut"})
            QTest::newRow(change) << QString(change);
    }
    void stripStaysCentredAcross()
    {
        QFETCH(QString, change);
        Fixture f;
        f.arrive(5);
        f.click(Fixture::ZoomIn);
        if (change == "vertical") {
            f.ui.verticalButton->click();
            QCOMPARE(f.canvas->x() + f.canvas->width() / 2, f.view->width() / 2);
            QVERIFY(f.canvas->x() >= 0); // nothing of the strip's width is cut off
        } else if (change == "height entry") {
            f.ui.heightEdit->setText("300");
            emit f.ui.heightEdit->editingFinished();
            QCOMPARE(config.paintHeight, 300);
        } else if (change == "spacing") {
            f.window.findChild<QSlider*>("spacingOuterSlider")->setValue(90);
            f.ui.spacingAllButton->click();
        } else if (change == "outer slider") {
            f.ui.spacingAllButton->click();
            f.window.findChild<QSlider*>("spacingOuterSlider")->setValue(90);
        } else {
            f.ui.cutAllButton->click();
            StitcherButton* top = f.canvas->stripButtons.at(2); // edges 0, 2, 1, 3
            QCOMPARE(top->direction, int(Geometry::EdgeTop));
            top->click();
            f.canvas->setStitchMove(QPoint(0, -1500)); // a tenth of the movement, against it
            QVERIFY(f.canvas->cutTop > 0);
        }
        QVERIFY2(qAbs(f.crossOffset()) <= 1, qPrintable(QString::number(f.crossOffset())));
    }

    void ctrlWheelZoomsAboutThePointer()
    {
        Fixture f;
        f.arrive(5);
        const double fitted = f.canvas->painterScale;
        const QPoint pointer(f.view->width() * 3 / 4, f.view->height() / 2);
        const double unitBefore = (pointer.x() - f.canvas->x()) / f.canvas->painterScale;

        auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(pointer, f.view->mapToGlobal(pointer), QPoint(), QPoint(0, delta), Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f.view, &event);
        };
        wheel(120, Qt::NoModifier); // without Ctrl the wheel leaves the zoom alone
        QCOMPARE(f.canvas->painterScale, fitted);
        wheel(60, Qt::ControlModifier); // half a notch: nothing yet
        QCOMPARE(f.canvas->painterScale, fitted);
        wheel(60 + 240, Qt::ControlModifier); // with the half before: three notches
        const int value = Geometry::zoomValueFor(fitted) + 3 * 2;
        QCOMPARE(f.ui.zoomSlider->value(), value);
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(value));
        const double unitAfter = (pointer.x() - f.canvas->x()) / f.canvas->painterScale;
        QVERIFY2(qAbs(unitAfter - unitBefore) * f.canvas->painterScale <= 1.0,
                 qPrintable(QString("%1 -> %2").arg(unitBefore).arg(unitAfter)));

        wheel(-120, Qt::ControlModifier);
        QCOMPARE(f.ui.zoomSlider->value(), value - 2);
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
