#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "editphotos/editphotocontent.h"
#include "editphotos/editphotoitem.h"
#include "editphotos/editphotosdialog.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/panoramdialog.h"
#include "support/dropurls.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/panoramaviews.h"
#include "support/popupanswerer.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

// The whole road of a user: photos in, trimmed, spaced, drawn on, brushed, stamped and exported; a
// panorama stitched from overlapping views and handed back; the strip reordered and cut down in
// Edit Photos; exported again. The pixels are checked where the result is known.
class TestFullSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { isolateSettingsStore(); }
    void wholeRoad();

private:
    QString writePhoto(const QString& name, const QSize& size, const QColor& colour)
    {
        return filledImage(size.width(), size.height(), colour).save(dir.filePath(name)) ? dir.filePath(name)
                                                                                         : QString();
    }
    QImage exportStrip(WindowFixture& f, const QString& name)
    {
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(dir.filePath(name)));
        f.topBar(WindowFixture::Export)->click();
        return QImage(dir.filePath(name));
    }
    void drag(XFormWidget* host, QPoint from, const QPoint& by)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host, &press);
        for (int step = 1; step <= 4; ++step) {
            QMouseEvent move(QEvent::MouseMove, from + by * step / 4, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(host, &move);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(host, &release);
    }

    QTemporaryDir dir;
};

void TestFullSession::wholeRoad()
{
    WindowFixture f(true);
    MainWindowProbe& ui = f.ui;
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    PainterArea* canvas = f.canvas;
    XFormWidget* host = ui.canvasHolder;
    StitcherConfig& config = *StitcherConfig::instance();

    // Three photos dropped at once; the first sets the common height of 100.
    const QStringList photos = {writePhoto("red.png", {200, 100}, Qt::red),
                                writePhoto("green.png", {50, 50}, Qt::green),
                                writePhoto("yellow.png", {300, 150}, Qt::yellow)};
    QVERIFY(dropUrls(host, {QUrl::fromLocalFile(photos[0]), QUrl::fromLocalFile(photos[1]),
                            QUrl::fromLocalFile(photos[2])}));
    QCOMPARE(canvas->contentSize(), QSize(500, 100));
    QCOMPARE(ui.heightEdit->text(), QString("100"));
    // A new strip is fitted to the view; the gestures below are measured at 1:1.
    QTRY_VERIFY(ui.zoomSlider->value() != 50);
    ui.zoomSlider->setValue(50);

    // Trim: arm the red photo's right edge and drag it 10 pixels in: its right 10 go.
    ui.cutAllButton->click();
    PaintImage* red = canvas->paintImages.at(0);
    red->rightButton->click();
    QVERIFY(canvas->trimActive);
    const QPoint onRed = canvas->mapTo(host, QPoint(150, 50));
    drag(host, onRed, QPoint(-10, 0));
    QCOMPARE(red->cropRight, 190.0);
    red->rightButton->click(); // disarm

    // Space everything in black, draw a white rectangle on green, brush yellow, stamp a watermark.
    ui.spacingAllButton->click();
    config.spacingColor = Qt::black;
    ui.rectangleButton->click();
    config.penColor = Qt::white;
    const QPoint onGreen = canvas->mapTo(host, QPoint(5 + 190 + 5 + 20, 5 + 20));
    drag(host, onGreen, QPoint(40, 40));
    QCOMPARE(canvas->annotations.size(), 1);
    ui.mosaicButtons[0]->click();
    drag(host, canvas->mapTo(host, QPoint(400, 30)), QPoint(60, 40));
    QCOMPARE(canvas->mosaicStrokes.size(), 1);
    ui.watermarkEdit->setText("SW");
    ui.watermarkBottomButton->click();

    const QImage first = exportStrip(f, "first.png");
    QCOMPARE(first.size(), QSize(5 + 190 + 5 + 100 + 5 + 200 + 5, 110));
    QCOMPARE(first.pixel(2, 2), qRgb(0, 0, 0));                       // outer border
    QCOMPARE(first.pixel(197, 50), qRgb(0, 0, 0));                    // gap after the trimmed red photo
    QCOMPARE(first.pixel(100, 30), qRgb(255, 0, 0));                  // red photo
    QCOMPARE(first.pixel(5 + 190 + 5 + 20, 45), qRgb(255, 255, 255)); // rectangle's left side
    QCOMPARE(first.pixel(5 + 190 + 5 + 40, 45), qRgb(0, 255, 0));     // inside the rectangle
    QCOMPARE(first.pixel(500, 95), qRgb(255, 255, 0));                // yellow away from the brush
    QCOMPARE(config.tool, int(StitcherConfig::NoTool));               // export leaves no tool on

    // A panorama from three overlapping views, through the tips and the real pages.
    const QStringList views = PanoramaViews::write(dir.path());
    QCOMPARE(views.size(), 3);
    ModalAnswerer tips;
    tips.queue(ModalAnswerer::accept());
    f.topBar(WindowFixture::Panorama)->click();
    QCOMPARE(tips.answeredClasses(), QStringList{"PanoramTips"});
    PanoramDialog* panorama = ui.panoramaDialog;
    auto* list = qobject_cast<DragDropWidget*>(panorama->currentPage());
    QVERIFY(list);
    QVERIFY(dropUrls(
        list, {QUrl::fromLocalFile(views[0]), QUrl::fromLocalFile(views[1]), QUrl::fromLocalFile(views[2])}));
    QMetaObject::invokeMethod(list, "onClickNext");
    QTRY_VERIFY_WITH_TIMEOUT(panorama->currentPage()->inherits("PanoramaView"), 120000);
    QVERIFY(QMetaObject::invokeMethod(panorama->currentPage(), "signalsDone"));
    QTRY_COMPARE(canvas->paintImages.size(), 4);
    QCOMPARE(canvas->paintImages.last()->name, QString("panorama.jpg"));
    QVERIFY(canvas->paintImages.last()->image.width() > 900);

    // Edit Photos: editing results are there, so it asks; the panorama then swaps with red and
    // green is deleted.
    ModalAnswerer confirm;
    confirm.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
    f.topBar(WindowFixture::Edit)->click();
    QCOMPARE(confirm.answeredCount(), 1);
    QCOMPARE(canvas->spacingMode, 0);
    QVERIFY(canvas->annotations.isEmpty() && canvas->mosaicStrokes.isEmpty());
    EditPhotoContent* grid = ui.editPhotosDialog->photoGrid();
    QTRY_COMPARE(grid->cells().size(), 4);
    EditPhotoItem* redCell = grid->cells().at(0);
    EditPhotoItem* panoramaCell = grid->cells().at(3);
    QScopedPointer<QMimeData> data(EditPhotoContent::dragData(panoramaCell));
    const QPoint onto = redCell->geometry().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(onto, actions, data.data(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(onto, actions, data.data(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    QDropEvent drop(onto, actions, data.data(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(canvas->paintImages.first()->name, QString("panorama.jpg"));
    QCOMPARE(canvas->paintImages.last()->name, QString("red.png"));
    answerNextPopup(chooseFirstEntry);
    QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, grid->cells().at(1)->geometry().center());
    QTRY_COMPARE(canvas->paintImages.size(), 3);
    QCOMPARE(canvas->paintImages.at(1)->name, QString("yellow.png"));

    // The second export: panorama, yellow, trimmed red; the trip to Edit Photos dropped the spacing,
    // the drawings and the watermark, but kept the trim.
    const QImage second = exportStrip(f, "second.png");
    const QSize content = canvas->contentSize();
    QCOMPARE(second.size(), content);
    QCOMPARE(content.height(), 100);
    QCOMPARE(second.pixel(content.width() - 1, 50), qRgb(255, 0, 0));
    QCOMPARE(second.pixel(content.width() - 190 - 100, 50), qRgb(255, 255, 0));
    QCOMPARE(ui.watermarkEdit->text(), QString());
}

QTEST_MAIN(TestFullSession)
#include "tst_fullsession.moc"
