#include "app/windowedits.h"
#include "canvas/geometry.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/viewgeometry.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QScrollBar>

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
        void wheel(const QPoint& delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPoint at = {})
        {
            if (at.isNull())
                at = view->rect().center();
            QWheelEvent event(at, view->mapToGlobal(at), QPoint(), delta, Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &event);
        }
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
        const QString path = folder.filePath("p.png");
        QVERIFY(filledImage(1600, 1200).save(path));
        Fixture f;
        f.canvas->addPhotoFiles({path, path, path, path, path});
        QVERIFY(waitForIntakes());
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
    }

    // Only a strip with photos can be exported. Cleared, it starts again at 100 %, and the next photos
    // fit unless a zoom is chosen before the loop turns.
    void clearingStartsAgainAndTheNextPhotosFit()
    {
        Fixture f;
        auto* key = f.window.findChild<QAction*>("exportKey");
        QVERIFY(!key->isEnabled() && !f.topBar(Fixture::Export)->isEnabled());
        f.arrive(5);
        QVERIFY(key->isEnabled() && f.topBar(Fixture::Export)->isEnabled());
        f.click(Fixture::Fit);
        f.click(Fixture::Clear);
        QVERIFY(!key->isEnabled());
        QCOMPARE(f.ui.zoomSlider->value(), 50);
        QCOMPARE(f.canvas->painterScale, 1.0);
        QVERIFY(f.wholeStripShown()); // the empty canvas, centred

        // A single tall photo fits across, as nothing is cut off there.
        f.arrive(1, QSize(1200, 1600));
        QVERIFY(f.wholeStripShown());
        QCOMPARE(f.canvas->height(), f.view->height());
        QVERIFY(qAbs(f.canvas->geometry().center().x() - f.view->rect().center().x()) <= 1);

        f.click(Fixture::Clear);
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
            WindowEdits::enter(f.ui.heightEdit, "300");
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
            f.canvas->setStitchMove(QPoint(0, 150));
            QVERIFY(f.canvas->cutTop > 0);
        }
        QVERIFY2(qAbs(f.crossOffset()) <= 1, qPrintable(QString::number(f.crossOffset())));
    }

    void wheelKeysAndBarsScroll_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QPoint>("moved");
        const int notch = ViewGeometry::notchPixels;
        const int arrow = ViewGeometry::arrowPixels;
        for (int zoom : {20, 90}) {
            const QByteArray z = " at " + QByteArray::number(zoom);
            QTest::newRow("wheel" + z) << zoom << "wheel" << QPoint(-notch, 0);
            QTest::newRow("Right arrow" + z) << zoom << "right" << QPoint(-arrow, 0);
            QTest::newRow("Page Down" + z) << zoom << "pagedown" << QPoint(); // a view less an arrow step
            QTest::newRow("scroll bar" + z) << zoom << "bar" << QPoint(-300, 0);
        }
        QTest::newRow("Shift+wheel across a tall strip") << 100 << "shift" << QPoint(0, -notch);
        QTest::newRow("sideways wheel across a tall strip") << 100 << "sideways" << QPoint(0, -notch);
    }
    void wheelKeysAndBarsScroll()
    {
        QFETCH(int, zoom);
        QFETCH(QString, input);
        QFETCH(QPoint, moved);
        Fixture f;
        f.window.resize(1240, 700);
        f.arrive(8); // 8 x 1600 units long, 1200 high
        f.ui.zoomSlider->setValue(zoom);
        QScrollBar* along = f.view->scrollBar(Qt::Horizontal);
        QVERIFY(along->isVisible());
        f.canvas->scrollTo(QPoint(-1000, -100)); // somewhere in the middle
        const QPoint start = f.canvas->pos();
        QCOMPARE(along->value(), 1000);
        if (input == "wheel")
            f.wheel(QPoint(0, -120));
        else if (input == "sideways")
            f.wheel(QPoint(-120, 0));
        else if (input == "shift")
            f.wheel(QPoint(0, -120), Qt::ShiftModifier);
        else if (input == "right")
            QTest::keyClick(f.view, Qt::Key_Right);
        else if (input == "pagedown") {
            QTest::keyClick(f.view, Qt::Key_PageDown);
            moved = QPoint(ViewGeometry::arrowPixels - f.view->width(), 0);
        } else
            along->setValue(along->value() + 300);
        QCOMPARE(f.canvas->pos() - start, moved);
        QCOMPARE(along->value(), -f.canvas->x());
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(zoom));
    }

    // What the screen shows stays while the save dialog is open and after a cancel; a finished
    // export keeps the zoom and the place too.
    void exportLeavesTheViewAlone()
    {
        Fixture f;
        f.arrive(6);
        f.ui.zoomSlider->setValue(70);
        f.canvas->scrollTo(QPoint(-900, 0));
        f.ui.cutAllButton->click();
        const auto state = [&f] {
            QString text;
            QDebug(&text) << f.canvas->painterScale << f.canvas->pos() << "tool"
                          << StitcherConfig::instance()->tool << "cut" << f.canvas->cutMode
                          << f.ui.cutAllButton->isChecked();
            return text;
        };
        const QString before = state();
        QString during;
        QTemporaryDir folder;
        for (bool cancel : {true, false}) {
            ModalAnswerer answerer;
            answerer.queue([&](QWidget* modal) {
                during = state();
                if (cancel)
                    ModalAnswerer::reject()(modal);
                else
                    chooseFileInDialog(folder.filePath("strip.png"))(modal);
            });
            QCOMPARE(f.ui.exportStrip(), !cancel);
            QCOMPARE(during, before);
            if (cancel)
                QCOMPARE(state(), before);
        }
        QCOMPARE(state().section(' ', 0, 1), before.section(' ', 0, 1));
        QVERIFY(!f.ui.cutAllButton->isChecked()); // the tools put down, button and all
    }

    void addedPhotosComeIntoViewAtTheirZoom_data()
    {
        QTest::addColumn<bool>("panorama");
        QTest::newRow("photo") << false;
        QTest::newRow("panorama handed back") << true;
    }
    void addedPhotosComeIntoViewAtTheirZoom()
    {
        QFETCH(bool, panorama);
        Fixture f;
        f.arrive(6);
        f.ui.zoomSlider->setValue(0); // a photo is shorter than the view, the strip longer
        f.canvas->scrollTo(QPoint(0, 0));
        const double zoom = f.canvas->painterScale;
        if (panorama)
            f.ui.onPanoramaDone(filledImage(1500, 1200));
        else
            f.arrive(1);
        QCOMPARE(f.canvas->painterScale, zoom);
        const QRectF last = f.canvas->paintImages.last()->layoutRect;
        const int end = f.canvas->x() + qRound(last.right() * zoom);
        QVERIFY2(end <= f.view->width() && f.canvas->x() + last.left() * zoom >= 0,
                 qPrintable(QString::number(end)));
    }

    void ctrlWheelZoomsAboutThePointer()
    {
        Fixture f;
        f.arrive(5);
        const double fitted = f.canvas->painterScale;
        const QPoint pointer(f.view->width() * 3 / 4, f.view->height() / 2);
        const double unitBefore = (pointer.x() - f.canvas->x()) / f.canvas->painterScale;
        const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
            f.wheel(QPoint(0, delta), modifiers, pointer);
        };
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
