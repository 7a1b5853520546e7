#include "panorama/engine/panoramathread.h"
#include "panorama/ui/panoramaprocess.h"
#include "support/modalanswerer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// Paths the worker cannot read: it answers quickly with an error.
const QStringList missingPhotos{"/nonexistent/seamwright/a.jpg", "/nonexistent/seamwright/b.jpg"};

void tick(PanoramaProcess* page)
{
    QVERIFY(QMetaObject::invokeMethod(page, "processTimer"));
}

// Records the text of each message box and dismisses it with OK.
ModalAnswerer::Answer recordAndOk(QStringList* texts)
{
    return [texts](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts->append(box->windowTitle() + "|" + box->text());
            box->button(QMessageBox::Ok)->click();
        } else {
            modal->close();
        }
    };
}

struct Window
{
    QWidget frame;
    PanoramaProcess* page;
    Window(const QStringList& photos = missingPhotos)
    {
        frame.resize(700, 400);
        page = new PanoramaProcess(photos, "Panorama", &frame);
        frame.show();
    }
    // Keeps the worker's real outcome away from the page, so the test plays it.
    void silenceWorker()
    {
        if (PanoramaThread* worker = page->currentWorker())
            QObject::disconnect(worker, nullptr, page, nullptr);
        // An answer already on its way is dropped too.
        QCoreApplication::removePostedEvents(page, QEvent::MetaCall);
    }
    QTimer* tickTimer() const { return page->findChild<QTimer*>(); }
    bool ticking() const { return tickTimer()->isActive(); }
};

} // namespace

class TestPanoramaProcess : public QObject
{
    Q_OBJECT
private slots:
    void barClimbsAndHoldsWhileTheWorkerRuns()
    {
        Window window;
        window.silenceWorker();
        QStringList shown;

        QCOMPARE(window.page->progress()->value(), 20);
        QVERIFY(window.ticking());
        QCOMPARE(window.tickTimer()->interval(), 600);
        // The test plays the ticks itself.
        window.tickTimer()->stop();
        {
            // Any message now would be a false alarm; answer them all so that one cannot block.
            ModalAnswerer falseAlarms;
            for (int i = 0; i < 30; ++i)
                falseAlarms.queue(recordAndOk(&shown));
            // No event is processed between the ticks, so the worker cannot have deleted itself.
            for (int expected = 22; expected <= 200; expected += 2) {
                tick(window.page);
                QCOMPARE(window.page->progress()->value(), expected);
            }
            for (int i = 0; i < 20; ++i)
                tick(window.page);
            QVERIFY(window.page->currentWorker());
            QCOMPARE(window.page->progress()->value(), 200);
            QCOMPARE(shown, QStringList());
            QVERIFY(window.frame.isVisible());
        }

        // A worker gone without any answer is a real failure: say so and close the window.
        QTRY_VERIFY_WITH_TIMEOUT(!window.page->currentWorker(), 30000);
        ModalAnswerer answerer;
        answerer.queue(recordAndOk(&shown));
        window.tickTimer()->start();
        tick(window.page);
        QCOMPARE(shown, QStringList{"|Camera params adjust failed, Try another projection."});
        QVERIFY(!window.frame.isVisible());
        QVERIFY(!window.ticking());
    }

    void resultStopsTheBarAndIsPassedOn()
    {
        Window window;
        window.silenceWorker();
        QSignalSpy passed(window.page, &PanoramaProcess::signalsPanorama);
        for (int i = 0; i < 16; ++i)
            tick(window.page);
        QImage panorama(300, 100, QImage::Format_RGB888);
        panorama.fill(Qt::magenta);
        QVERIFY(QMetaObject::invokeMethod(window.page, "onPanoramaResult", Q_ARG(QImage, panorama),
                                          Q_ARG(QString, "OK")));
        QCOMPARE(passed.count(), 1);
        QCOMPARE(passed.at(0).at(0).value<QImage>(), panorama);
        QCOMPARE(passed.at(0).at(1).toString(), QStringLiteral("OK"));
        QVERIFY(!window.ticking());
        QCOMPARE(window.page->progress()->value(), 52);
        QVERIFY(window.frame.isVisible());
    }

    void workerErrorIsShownAndClosesTheWindow()
    {
        Window window;
        QStringList shown;
        ModalAnswerer answerer;
        answerer.queue(recordAndOk(&shown));
        QSignalSpy passed(window.page, &PanoramaProcess::signalsPanorama);
        // The real worker fails on the missing photos.
        QTRY_COMPARE_WITH_TIMEOUT(answerer.answeredCount(), 1, 30000);
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].startsWith("|"));
        QVERIFY(shown[0].contains("a.jpg"));
        QVERIFY(!window.frame.isVisible());
        QVERIFY(!window.ticking());
        QCOMPARE(passed.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!window.page->currentWorker(), 30000);
    }
};

QTEST_MAIN(TestPanoramaProcess)
#include "tst_panoramaprocess.moc"
