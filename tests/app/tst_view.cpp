#include "app/helppage.h"
#include "app/windowedits.h"
#include "canvas/geometry.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/viewgeometry.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/photocontent.h"
#include "panorama/ui/photoitem.h"
#include "settings/appsettings.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/intakewait.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"
#include "widgets/colourcontrast.h"
#include "widgets/mainframe.h"

#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <map>

namespace {

using WindowEdits::writeFile;

// The colour most of the picture has, and the strongest contrast any pixel makes with it: for text on
// a plain ground, the contrast of the text.
struct Reading
{
    QRgb ground = 0;
    double textContrast = 1;
    double meanLuminance = 0;
};
Reading readingOf(const QImage& picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y) | 0xff000000u];
    Reading r;
    int most = 0;
    for (const auto& [rgb, n] : counts)
        if (n > most)
            most = n, r.ground = rgb;
    for (const auto& [rgb, n] : counts) {
        r.textContrast = std::max(r.textContrast, contrastRatio(rgb, r.ground));
        r.meanLuminance += relativeLuminance(rgb) * n / (picture.width() * picture.height());
    }
    return r;
}

} // namespace

// The window as a user sees and drives it: where the strip sits in its view after the changes a user
// makes; keys, tooltips, readable controls and Qt's own dialogs.
class TestView : public QObject
{
    Q_OBJECT

    struct Fixture : WindowFixture
    {
        XFormWidget* view = ui.canvasHolder;
        explicit Fixture(int photos = 0) : WindowFixture(true)
        {
            QApplication::setActiveWindow(&window);
            addPhotos(QVector<QSize>(photos, QSize(400, 200)));
            QCoreApplication::processEvents();
        }
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
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().setValue("editor/PanoramaTips", false);
    }

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
            QCOMPARE(StitcherConfig::instance()->paintHeight, 300);
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

    void eachKeyTriggersItsAction_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("open") << QKeySequence(QKeySequence::Open) << "Choose Pictures";
        QTest::newRow("save") << QKeySequence(QKeySequence::Save) << "Save";
        QTest::newRow("zoom in") << QKeySequence(QKeySequence::ZoomIn) << "+2";
        QTest::newRow("zoom in without shift") << QKeySequence("Ctrl+=") << "+2";
        QTest::newRow("zoom out") << QKeySequence(QKeySequence::ZoomOut) << "-2";
        QTest::newRow("fit") << QKeySequence("Ctrl+0") << "fit";
        QTest::newRow("help") << QKeySequence(QKeySequence::HelpContents) << "Help";
    }
    void eachKeyTriggersItsAction()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, effect);
        Fixture f(2);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.ui.zoomSlider->setValue(40);

        ModalAnswerer answerer;
        QString asked;
        answerer.queue([&asked](QWidget* modal) {
            asked = modal->windowTitle();
            modal->close();
        });
        QTest::keySequence(&f.window, key);
        const bool asks = effect.size() > 3; // the effect is the title of the window it opens
        if (effect == "fit")
            QCOMPARE(f.canvas->width(), f.ui.canvasHolder->width());
        else if (!asks)
            QCOMPARE(f.ui.zoomSlider->value(), 40 + effect.toInt());
        QTRY_COMPARE(answerer.answeredCount(), int(asks));
        QCOMPARE(asked, asks ? effect : QString());
    }

    // The tips take Escape as "Know-it"; the panorama window that follows keeps it for itself.
    void escapeClosesThePanoramaTipsButNotThePanorama()
    {
        Fixture f(2);
        ModalAnswerer answerer;
        bool tipsStayed = false;
        answerer.queue([&tipsStayed](QWidget* modal) {
            QApplication::setActiveWindow(modal);
            QTest::keyClick(modal, Qt::Key_Escape);
            tipsStayed = modal->isVisible();
            if (tipsStayed) // rather than wait for ever
                static_cast<MainFrame*>(modal)->done();
        });
        f.topBar(Fixture::Panorama)->click();
        QCOMPARE(answerer.answeredClasses(), QStringList{"PanoramTips"});
        QVERIFY(!tipsStayed);
        QVERIFY(f.ui.panoramaDialog->isVisible());
        QApplication::setActiveWindow(f.ui.panoramaDialog);
        QTest::keyClick(f.ui.panoramaDialog, Qt::Key_Escape);
        QVERIFY(f.ui.panoramaDialog->isVisible());

        // Delete removes the selected photos of the panorama list (once the list it replaced is gone).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* list = f.ui.panoramaDialog->findChild<DragDropWidget*>();
        QVERIFY(list);
        for (const char* name : {"a.png", "b.png", "c.png"})
            list->content()->addPhoto(filledImage(60, 40), name);
        list->content()->photos().at(1)->toggleSelected();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->photoPaths(), (QStringList{"a.png", "c.png"}));
        f.ui.panoramaDialog->close();
    }

    void controlsSayWhatTheyDoAndAreReadable()
    {
        Fixture f(2);
        f.ui.cutAllButton->click(); // the trimming arrows show
        QStringList silent;
        for (QAbstractButton* b : f.window.findChildren<QAbstractButton*>())
            if (b->text().isEmpty() && b->toolTip().isEmpty())
                silent << b->metaObject()->className() + QString(" ") + b->objectName();
        QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));

        // A six-digit length shows whole in its entry.
        f.ui.widthEdit->setText("120000");
        QCoreApplication::processEvents();
        const QImage entry = f.ui.widthEdit->grab().toImage();
        int left = entry.width(), right = -1;
        for (int y = 0; y < entry.height(); ++y)
            for (int x = 0; x < entry.width(); ++x)
                if (relativeLuminance(entry.pixel(x, y)) > 0.4)
                    left = std::min(left, x), right = std::max(right, x);
        const QFontMetrics metrics(f.ui.widthEdit->font());
        QVERIFY2(right - left + 1 >= metrics.boundingRect("120000").width() - 2,
                 qPrintable(QString::number(right - left + 1)));
        QVERIFY(left > 1 && right < entry.width() - 2);

        // The panel scrolls while the window is too low for it, down to its last slider.
        auto* panel = f.window.findChild<QScrollArea*>();
        QScrollBar* bar = panel->verticalScrollBar();
        QVERIFY(bar->isVisible());
        bar->setValue(bar->maximum());
        auto* size = panel->widget()->findChild<QSlider*>("watermarkSizeSlider");
        QVERIFY(panel->viewport()->rect().contains(
            QRect(size->mapTo(panel->viewport(), QPoint()), size->size())));
        f.window.resize(900, 900);
        QCoreApplication::processEvents();
        QVERIFY(!bar->isVisible());

        // Every swatch and picker lies within the panel's visible width.
        QWidget* viewport = panel->viewport();
        int swatches = 0;
        for (QAbstractButton* b : panel->widget()->findChildren<QAbstractButton*>()) {
            // The swatches and the picker beside them.
            if (b->parentWidget()
                    ->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)
                    .isEmpty())
                continue;
            const QRect r(b->mapTo(viewport, QPoint()), b->size());
            QVERIFY2(r.left() >= 0 && r.right() < viewport->width(), qPrintable(b->toolTip()));
            QVERIFY(b->visibleRegion().boundingRect().width() == b->width());
            ++swatches;
        }
        QVERIFY(swatches > 0);
    }

    // Qt's own dialogs and the pen-width menu.
    void popupsTakeTheDarkColours()
    {
        Fixture f;
        auto* menu = qobject_cast<QMenu*>(f.ui.smallAction->parent());
        QVERIFY(menu);
        QTemporaryDir folder;
        QFileDialog files(&f.window, "Choose Pictures", folder.path());
        QMessageBox box(QMessageBox::Warning, "Warning", "Are you sure?", QMessageBox::Yes | QMessageBox::No);
        QColorDialog colours;
        QProgressDialog progress("Exporting", "Cancel", 0, 100, &f.window);
        progress.setValue(30);
        const QList<QWidget*> dialogs{menu, &files, &box, &colours, &progress};
        for (QWidget* dialog : dialogs) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            const Reading reading = readingOf(dialog->grab().toImage());
            const double mean = reading.meanLuminance;
            // The colour dialog's spectrum is bright by nature; its ground is what must be dark.
            const bool spectrum = dialog == &colours;
            QVERIFY2(relativeLuminance(reading.ground) < 0.05 && (spectrum || mean < 0.15),
                     dialog->metaObject()->className());
            QVERIFY2(reading.textContrast >= 4.5, dialog->metaObject()->className());
            dialog->hide();
        }
        QVERIFY(files.testOption(QFileDialog::DontUseNativeDialog) ||
                QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    }

    // Help names the guide when the desktop cannot open it, as the offscreen platform cannot, like a
    // desktop without a browser. An installed guide serves as it is; without one the compiled-in guide
    // is written out, replacing a stale copy.
    void helpGuideIsInstalledOrWrittenOutAndNamed()
    {
        Fixture f;
        ModalAnswerer answerer;
        QString text;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &text));
        f.click(Fixture::Help);
        QCOMPARE(answerer.answeredCount(), 1);
        const QString path = text.section('\n', -1);
        QVERIFY2(path.endsWith("index.html") && QFileInfo(path).isFile(), qPrintable(text));

        QTemporaryDir prefix, extract;
        const QString target = extract.filePath("help");
        const QUrl url = HelpPage::locate(prefix.filePath("bin"), target);
        QCOMPARE(url, QUrl::fromLocalFile(target + "/index.html"));
        QFile resource(":/help/index.html");
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(url.toLocalFile(), "old"));
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), url);
        QCOMPARE(WindowEdits::fileHead(url.toLocalFile()), resource.readAll());

        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/seamwright/help"));
        const QString page = prefix.filePath("share/seamwright/help/index.html");
        QVERIFY(writeFile(page, "<html></html>"));
        QVERIFY(QDir(target).removeRecursively());
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), QUrl::fromLocalFile(page));
        QVERIFY(!QDir(target).exists()); // nothing written out while the installed copy serves
    }
};

SEAMWRIGHT_ISOLATED_TEST_MAIN(TestView)
#include "tst_view.moc"
