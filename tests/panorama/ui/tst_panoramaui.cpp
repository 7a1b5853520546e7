#include "panorama/engine/panoramathread.h"
#include "panorama/ui/cropchoice.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/imageview.h"
#include "panorama/ui/panoramaprocess.h"
#include "panorama/ui/panoramaview.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/panoramtips.h"
#include "panorama/ui/photocontent.h"
#include "panorama/ui/photoitem.h"
#include "panorama/ui/resultgeometry.h"
#include "settings/appsettings.h"
#include "support/dropurls.h"
#include "support/filledimage.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/panoramaviews.h"
#include "support/photolikeimage.h"
#include "support/stitchworkers.h"

#include <QMessageBox>
#include <QSlider>
#include <QWheelEvent>
#include <QtTest>
#include <QtWidgets>

#include <csignal>

namespace {

QPushButton* buttonFor(QWidget* page, const QString& word)
{
    for (QPushButton* button : page->findChildren<QPushButton*>())
        if (button->styleSheet().contains("Panorama-" + word + ".png"))
            return button;
    return nullptr;
}

QList<QUrl> urlsOf(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

// Records the text of each message box and dismisses it with OK.
ModalAnswerer::Answer recordAndOk(QStringList* texts)
{
    return [texts](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        texts->append(box->text());
        box->button(QMessageBox::Ok)->click();
    };
}

// A mouse event as the window system sends it; moves go to the picture when it is under the position
// (the page then receives them through the toolkit's propagation).
void sendMouse(PanoramaView& page, QEvent::Type type, QPoint inPage, Qt::MouseButton button)
{
    QWidget* picture = page.picture();
    const bool onPicture = picture->geometry().contains(picture->parentWidget()->mapFrom(&page, inPage));
    QWidget* target = type == QEvent::MouseMove && onPicture ? picture : &page;
    const QPoint local = target->mapFrom(&page, inPage);
    const bool move = type == QEvent::MouseMove;
    QMouseEvent event(type, local, target->mapToGlobal(local), move ? Qt::NoButton : button,
                      move ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Starts a stitch of the photos through the window, as the user would: a fresh list, a drop, Next.
// The list is replaced from inside its own button's click: the progress page shows at once.
void startStitch(PanoramDialog& dialog, const QStringList& photos)
{
    dialog.showPhotoList();
    dialog.show();
    QPointer<DragDropWidget> list = qobject_cast<DragDropWidget*>(dialog.currentPage());
    QVERIFY(list && dropUrls(list, urlsOf(photos)));
    QTRY_COMPARE(list->photoPaths(), photos);
    buttonFor(list, "next")->click();
    QVERIFY(list && !list->isVisible());
    QVERIFY(qobject_cast<PanoramaProcess*>(dialog.currentPage()) && dialog.currentPage()->isVisible());
}

// The process id of the window's stitch once it runs, or 0.
qint64 workerOf(PanoramDialog& dialog)
{
    auto* progress = qobject_cast<PanoramaProcess*>(dialog.currentPage());
    QPointer<PanoramaThread> worker = progress ? progress->currentWorker() : nullptr;
    if (!worker)
        return 0;
    if (!QTest::qWaitFor([&] { return !worker || worker->workerProcessId() != 0; }, 30000) || !worker)
        return 0;
    return worker->workerProcessId();
}

} // namespace

class TestPanoramaUi : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QTemporaryDir temporary;
    QStringList views;

    QString photo(const QString& name)
    {
        const QString path = folder.filePath(name);
        if (!QFile::exists(path))
            filledImage(40, 30, Qt::darkCyan).save(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        // The worker's folders go where the test can count them.
        QVERIFY(temporary.isValid());
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        views = PanoramaViews::write(folder.path());
        QCOMPARE(views.size(), 3);
    }

    // Next needs two photos and sends them in order, in the chosen style; removing selected cells
    // closes the gaps; the same file twice fills two cells and is sent twice.
    void listRemovesSelectedCellsAndSendsThePhotosInOrder()
    {
        DragDropWidget page;
        QSignalSpy sent(&page, &DragDropWidget::signalsSelectImages);
        QStringList paths;
        const auto add = [&](const QString path) {
            paths << path;
            page.content()->addPhoto(QImage(path), path);
        };
        add(photo("p0.png"));
        buttonFor(&page, "next")->click();
        QCOMPARE(sent.count(), 0);
        for (int i = 1; i < 6; ++i)
            add(photo(QString("p%1.png").arg(i)));
        auto cells = [&page] {
            QList<QPoint> result;
            for (PhotoItem* item : page.content()->photos()) {
                int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
                page.content()->grid()->getItemPosition(page.content()->grid()->indexOf(item), &row, &column,
                                                        &rowSpan, &columnSpan);
                result << QPoint(column, row);
            }
            return result;
        };
        QCOMPARE(cells(), (QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}}));
        page.content()->photos()[2]->toggleSelected();
        page.content()->photos()[4]->toggleSelected();
        buttonFor(&page, "remove")->click();
        const QStringList kept{paths[0], paths[1], paths[3], paths[5]};
        QCOMPARE(page.photoPaths(), kept);
        QCOMPARE(cells(), (QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        buttonFor(&page, "next")->click();
        page.styleSelector()->setCurrentIndex(1);
        add(paths[0]);
        buttonFor(&page, "next")->click();
        QCOMPARE(sent.count(), 2);
        QCOMPARE(sent.at(0).at(0).toStringList(), kept);
        QCOMPARE(sent.at(0).at(1).toString(), QStringLiteral("Panorama"));
        QCOMPARE(sent.at(1).at(0).toStringList(), kept + QStringList{paths[0]});
        QCOMPARE(sent.at(1).at(1).toString(), QStringLiteral("Scans"));
    }

    void emptyPanelFollowsTheList()
    {
        DragDropWidget page;
        page.show();
        QVERIFY(page.emptyPanel()->isVisible());
        QVERIFY(dropUrls(&page, urlsOf({photo("a.png")})));
        QVERIFY(!page.emptyPanel()->isVisible());
        page.content()->photos().first()->toggleSelected();
        buttonFor(&page, "remove")->click();
        QVERIFY(page.photoPaths().isEmpty());
        QVERIFY(page.emptyPanel()->isVisible());

        // A drop that holds a file the list cannot take is refused; the photos in it are added and
        // the file is named.
        QFile text(folder.filePath("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
        text.close();
        ModalAnswerer answerer;
        QString said;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
        QVERIFY(!dropUrls(&page, urlsOf({photo("x.png"), text.fileName(), photo("y.png")})));
        QCOMPARE(page.photoPaths(), (QStringList{photo("x.png"), photo("y.png")}));
        QCOMPARE(said, QString("Add photos: Not a picture: 1 file was not added: notes.txt"));
        QVERIFY(!page.emptyPanel()->isVisible());
    }

    void resultFits_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide panorama") << QSize(1400, 340) << QRect(0, 85, 700, 170);
        QTest::newRow("tall scan") << QSize(350, 680) << QRect(262, 0, 175, 340);
        QTest::newRow("empty picture") << QSize(0, 0) << QRect(350, 170, 0, 0);
    }

    void resultFits()
    {
        QFETCH(QSize, image);
        QFETCH(QRect, expected);
        QImage picture(image, QImage::Format_RGB888);
        picture.fill(Qt::darkGreen);
        PanoramaView page(picture);
        QCOMPARE(page.picture()->geometry(), expected);
    }

    // The page shows and hands back the picture cut to its area unless the box keeps it whole, and the
    // box's state outlives the page. A picture without empty edges has nothing to cut.
    void keepWholeSwitchesShownAndTakenPicture_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QString>("croppedText");
        QTest::newRow("empty wedges") << QRect(100, 40, 1200, 420) << "1200 × 420 px, cropped";
        QTest::newRow("no empty pixel") << QRect(0, 0, 1400, 500) << "1400 × 500 px, not cropped";
    }

    void keepWholeSwitchesShownAndTakenPicture()
    {
        QFETCH(QRect, area);
        QFETCH(QString, croppedText);
        const QImage whole = photoLikeImage(1400, 500, 3).convertToFormat(QImage::Format_RGB888);
        AppSettings::instance()->setKeepWholePanorama(false);
        for (const bool keep : {false, true}) {
            PanoramaView page(whole);
            page.setPictureArea(area);
            QCOMPARE(page.cropChoice()->checkBox()->isChecked(), keep); // remembered from the last page
            const QImage expected = keep ? whole : whole.copy(area);
            QCOMPARE(page.picture()->image(), expected);
            QCOMPARE(page.result(), expected);
            QCOMPARE(page.cropChoice()->sizeLabel()->text(),
                     keep ? "1400 × 500 px, not cropped" : croppedText);
            if (area == whole.rect()) {
                QVERIFY(!page.cropChoice()->checkBox()->isEnabled());
                return;
            }
            page.zoomSlider()->setValue(90);
            page.cropChoice()->checkBox()->click();
            QCOMPARE(page.picture()->geometry(),
                     ResultGeometry::fitPicture((keep ? area : whole.rect()).size()).rect);
            QCOMPARE(page.result().size(), (keep ? area : whole.rect()).size());
        }
    }

    // Dragging moves the picture from the second move on; the slider zooms about the centre, the
    // wheel about the pointer.
    void dragMovesAndZoomKeepsTheCentreOrThePointer()
    {
        PanoramaView page(filledImage(1400, 340, Qt::darkGreen));
        page.resize(700, 400);
        page.show();
        QWidget* picture = page.picture();
        const QPoint start = picture->pos();
        // The first move of each drag only anchors it; any button drags.
        const struct
        {
            Qt::MouseButton button;
            QPoint from, to, movedBefore, movedAfter;
        } drags[] = {{Qt::LeftButton, {300, 150}, {330, 140}, {0, 0}, {30, -10}},
                     {Qt::RightButton, {10, 390}, {15, 392}, {30, -10}, {35, -8}}};
        for (const auto& drag : drags) {
            sendMouse(page, QEvent::MouseMove, drag.from, drag.button);
            QCOMPARE(picture->pos(), start + drag.movedBefore);
            sendMouse(page, QEvent::MouseMove, drag.to, drag.button);
            QCOMPARE(picture->pos(), start + drag.movedAfter);
            sendMouse(page, QEvent::MouseButtonRelease, drag.to, drag.button);
        }
        const QPointF dragged = QRectF(picture->geometry()).center();
        for (const auto& [value, size] : {std::pair{100, QSize(1400, 340)}, std::pair{0, QSize(210, 51)},
                                          std::pair{50, QSize(700, 170)}}) {
            page.zoomSlider()->setValue(value);
            QCOMPARE(picture->size(), size);
            const QPointF after = QRectF(picture->geometry()).center();
            QVERIFY2(qAbs(after.x() - dragged.x()) <= 1.5 && qAbs(after.y() - dragged.y()) <= 1.5,
                     qPrintable(QString("centre moved to %1,%2").arg(after.x()).arg(after.y())));
        }

        const QPoint pointer(500, 170);
        const auto unitUnder = [&] { return (pointer.x() - picture->x()) / double(picture->width()); };
        const double before = unitUnder();
        for (int delta : {120, 240, -120}) {
            QWheelEvent wheel(pointer, page.mapToGlobal(pointer), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&page, &wheel);
            QVERIFY2(qAbs(unitUnder() - before) * picture->width() <= 1.0,
                     qPrintable(QString::number(unitUnder())));
        }
        // Two steps a notch; the picture grows past its fitted width.
        QCOMPARE(page.zoomSlider()->value(), 54);
        QVERIFY(picture->width() > 700);
    }

    // Run the way the main window runs it: modal, waiting in exec() until it finishes.
    void tipsStoreTheBoxAtOnceAndTheCloseControlEndsTheWait()
    {
        auto storedTipsOff = [] { return QSettings().value("editor/PanoramaTips", false).toBool(); };
        PanoramTips tips;
        tips.setWindowFlags(tips.windowFlags() | Qt::Dialog);
        tips.setWindowModality(Qt::ApplicationModal);
        ModalAnswerer answerer;
        answerer.queue([&](QWidget* modal) {
            auto* box = modal->findChild<QCheckBox*>();
            QVERIFY(box && !box->isChecked());
            for (bool off : {true, false, true}) {
                box->setChecked(off);
                QCOMPARE(storedTipsOff(), off);
            }
            // The close event the window system sends to the window, not a call of done().
            QCloseEvent close;
            QApplication::sendEvent(modal->windowHandle(), &close);
            QVERIFY(close.isAccepted());
        });
        bool gaveUp = false;
        QTimer::singleShot(20000, &tips, [&] {
            gaveUp = true;
            emit tips.finished();
        });
        tips.exec();
        QVERIFY2(!gaveUp, "exec() did not return after the tips were closed");
        QCOMPARE(answerer.answeredCount(), 1);
        QVERIFY(!tips.isVisible());
        QVERIFY(storedTipsOff());
    }

    // Closing the window during a stitch ends it at once, quietly, and the stitch started right after
    // it never runs beside it. Its result is handed back on Done, and the next use starts afresh.
    void closingCancelsAndTheNextStitchRunsAlone()
    {
        PanoramDialog dialog;
        QSignalSpy handedBack(&dialog, &PanoramDialog::signalsPanoramaDone);
        QStringList shown;
        ModalAnswerer answerer;
        answerer.queue(recordAndOk(&shown));
        StitchWorkers::Watch watch;

        startStitch(dialog, views);
        const qint64 first = workerOf(dialog);
        QVERIFY(first != 0);
        dialog.close();
        startStitch(dialog, views);
        QTRY_VERIFY_WITH_TIMEOUT(!StitchWorkers::alive(first), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<PanoramaView*>(dialog.currentPage()), 120000);
        QTRY_COMPARE_WITH_TIMEOUT(StitchWorkers::leftoverFolders(), QStringList(), 1000);
        QCOMPARE(watch.stop(), 1);
        QCOMPARE(shown, QStringList());
        QCOMPARE(handedBack.count(), 0);
        // The list and the progress page go with the result.
        QTRY_VERIFY(!dialog.findChild<DragDropWidget*>() && !dialog.findChild<PanoramaProcess*>());

        auto* result = qobject_cast<PanoramaView*>(dialog.currentPage());
        QVERIFY(result->isVisible());
        const QImage panorama = result->picture()->image();
        // Three views turned apart are joined into one picture much wider than any of them.
        QVERIFY2(panorama.width() > 900, qPrintable(QString::number(panorama.width())));
        QCOMPARE(result->picture()->width(), 700);
        QVERIFY(result->cropChoice()->sizeLabel()->text().endsWith("px, cropped"));
        buttonFor(result, "done")->click();
        QCOMPARE(handedBack.count(), 1);
        QCOMPARE(handedBack.at(0).at(0).value<QImage>(), panorama);
        QVERIFY(!dialog.isVisible());
        dialog.showPhotoList();
        auto* fresh = qobject_cast<DragDropWidget*>(dialog.currentPage());
        QVERIFY(fresh && fresh->photoPaths().isEmpty());
    }

    // Cancel on the progress page: the worker goes within a second, the list comes back as it was and
    // stays. A worker killed from outside is reported plainly; the window then stitches again, and
    // names the photo it could not match, once, over the result.
    void cancelledOrKilledStitchesLeaveTheWindowUsable()
    {
        QStringList photos = views;
        const QString unrelated = folder.filePath("unrelated.jpg");
        QVERIFY(photoLikeImage(640, 480, 5).save(unrelated));
        PanoramDialog dialog;
        QStringList shown;
        ModalAnswerer answerer;
        answerer.queue(recordAndOk(&shown));
        startStitch(dialog, photos);
        const qint64 cancelled = workerOf(dialog);
        QVERIFY(cancelled != 0);
        auto* progress = qobject_cast<PanoramaProcess*>(dialog.currentPage());
        QVERIFY(progress && progress->cancelButton()->isVisible());
        progress->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!StitchWorkers::alive(cancelled), 1000);
        auto* list = qobject_cast<DragDropWidget*>(dialog.currentPage());
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->photoPaths(), photos);
        QVERIFY(list->emptyPanel()->isHidden());
        auto* add = list->findChild<QPushButton*>("add");
        QVERIFY(add && add->isVisible());
        // Nothing of the cancelled stitch arrives later.
        QTest::qWait(200);
        QCOMPARE(dialog.currentPage(), list);

        startStitch(dialog, photos);
        const qint64 pid = workerOf(dialog);
        QVERIFY(pid != 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_COMPARE_WITH_TIMEOUT(answerer.answeredCount(), 1, 30000);
        QCOMPARE(shown,
                 QStringList{"Stitching stopped unexpectedly, so no panorama was made. Please try again."});
        QVERIFY(!dialog.isVisible());

        photos.insert(1, unrelated);
        bool overResult = false;
        answerer.queue([&](QWidget* modal) {
            overResult =
                qobject_cast<PanoramaView*>(dialog.currentPage()) && dialog.currentPage()->isVisible();
            recordAndOk (&shown)(modal);
        });
        answerer.queue(recordAndOk(&shown));
        startStitch(dialog, photos);
        QTRY_COMPARE_WITH_TIMEOUT(answerer.answeredCount(), 2, 120000);
        QVERIFY(overResult);
        QCOMPARE(shown.last(),
                 QString("1 of 4 photos could not be matched and were left out: unrelated.jpg"));
        QTest::qWait(300);
        QCOMPARE(answerer.answeredCount(), 2);
        QVERIFY(dialog.isVisible());
    }
};

SEAMWRIGHT_ISOLATED_TEST_MAIN(TestPanoramaUi)
#include "tst_panoramaui.moc"
