#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "intake/photointake.h"
#include "panorama/engine/panoramathread.h"
#include "panorama/ui/dragdropwidget.h"
#include "support/dropurls.h"
#include "support/filedialoganswer.h"
#include "support/hostilecorpus.h"
#include "support/panoramaviews.h"

#include <QApplication>
#include <QUrl>
#include <QtTest>

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void decodeGivesTheExpectedOutcome_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("decodes");
        for (const HostileCorpus::Entry& e : corpus.entries())
            QTest::newRow(qPrintable(e.label)) << e.path << e.decodes;
    }

    void decodeGivesTheExpectedOutcome()
    {
        QFETCH(QString, path);
        QFETCH(bool, decodes);
        const QImage image = PhotoIntake::decodePhoto(path);
        QCOMPARE(!image.isNull(), decodes);
        if (decodes) {
            // Whatever the file held, the canvas gets a format it paints without converting.
            QVERIFY(image.format() == QImage::Format_RGB32 ||
                    image.format() == QImage::Format_ARGB32_Premultiplied);
            QVERIFY(image.width() >= 1 && image.height() >= 1);
        }
    }

    void oddButValidPicturesKeepTheirContent()
    {
        const QString root = corpus.folder() + '/';
        const QImage sliver = PhotoIntake::decodePhoto(root + "sliver.png");
        QCOMPARE(sliver.size(), QSize(1, 20000));
        const QImage grey = PhotoIntake::decodePhoto(root + "grey.png");
        QCOMPARE(grey.format(), QImage::Format_RGB32);
        QCOMPARE(qRed(grey.pixel(25, 15)), qGreen(grey.pixel(25, 15)));
        const QImage alpha = PhotoIntake::decodePhoto(root + "alpha.png");
        QCOMPARE(alpha.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(qAbs(qAlpha(alpha.pixel(3, 3)) - 100) <= 1);
    }

    void dropSkipsWhatDoesNotDecodeAndKeepsOrder()
    {
        QList<QUrl> urls;
        QStringList expected;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            urls << QUrl::fromLocalFile(e.path);
            if (e.decodes)
                expected << e.path;
        }
        urls << QUrl("https://example.org/remote.jpg"); // not a local file: empty path
        QStringList received;
        const int count = PhotoIntake::decodeDroppedUrls(
            urls, [&](const QImage&, const QString& path) { received << path; }, false);
        QCOMPARE(received, expected);
        QCOMPARE(count, expected.size());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void dropThatStopsAtFailureKeepsWhatCameBefore()
    {
        const QString root = corpus.folder() + '/';
        const QList<QUrl> urls = {QUrl::fromLocalFile(root + "one.png"),
                                  QUrl::fromLocalFile(root + "notes.png"),
                                  QUrl::fromLocalFile(root + "grey.png")};
        QStringList received;
        const int count = PhotoIntake::decodeDroppedUrls(
            urls, [&](const QImage&, const QString& path) { received << path; }, true);
        QCOMPARE(count, 1);
        QCOMPARE(received, QStringList{root + "one.png"});
    }

    void displayNameIsTheLastPathPiece()
    {
        QCOMPARE(PhotoIntake::displayName("/home/a/b/photo.jpg"), QString("photo.jpg"));
        QCOMPARE(PhotoIntake::displayName("photo.jpg"), QString("photo.jpg"));
        QCOMPARE(PhotoIntake::displayName("/home/a/"), QString());
        QCOMPARE(PhotoIntake::displayName(QString::fromUtf8("/tmp/写真.jpg")), QString::fromUtf8("写真.jpg"));
    }

    void everyDropTargetTakesOnlyWhatDecodes()
    {
        // The canvas skips what does not decode; the panorama list refuses a drop that holds any.
        XFormWidget host;
        QList<QUrl> all;
        int decodable = 0;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            all << QUrl::fromLocalFile(e.path);
            decodable += e.decodes;
            DragDropWidget list;
            QCOMPARE(dropUrls(&list, {QUrl::fromLocalFile(e.path)}), e.decodes);
            QCOMPARE(list.photoPaths().size(), int(e.decodes));
        }
        QVERIFY(dropUrls(&host, all));
        QCOMPARE(host.canvas()->paintImages.size(), decodable);
        QVERIFY(host.canvas()->contentSize().width() > 0);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void bothDialogsTakeOnlyWhatDecodes()
    {
        // Every regular file of the corpus chosen at once, on the canvas and on the panorama list.
        QStringList names;
        int decodable = 0;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            if (QFileInfo(e.path).isFile()) {
                names << QFileInfo(e.path).fileName();
                decodable += e.decodes;
            }
        }
        XFormWidget host;
        DragDropWidget list;
        ModalAnswerer answerer;
        answerer.queue(chooseFilesInDialog(corpus.folder(), names));
        answerer.queue(chooseFilesInDialog(corpus.folder(), names));
        host.canvas()->openFiles();
        QVERIFY(QMetaObject::invokeMethod(&list, "onOpenFiles"));
        QCOMPARE(answerer.answeredClasses(), QStringList({"QFileDialog", "QFileDialog"}));
        QCOMPARE(host.canvas()->paintImages.size(), decodable);
        QCOMPARE(list.photoPaths().size(), decodable);
    }

    void panoramaNamesThePhotoItCannotRead()
    {
        QTemporaryDir views;
        const QStringList good = PanoramaViews::write(views.path());
        QCOMPARE(good.size(), 3);
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            if (e.decodes)
                continue;
            PanoramaRequest request;
            request.style = "Panorama";
            request.imageList = {good[0].toLocal8Bit().toStdString(), e.path.toLocal8Bit().toStdString()};
            PanoramaThread worker(request);
            QSignalSpy errors(&worker, &PanoramaThread::siganlPanoramaError);
            QSignalSpy results(&worker, &PanoramaThread::signalPanoramaResult);
            worker.stitchPanorama();
            QCOMPARE(results.count(), 0);
            QCOMPARE(errors.count(), 1);
            QVERIFY2(errors.at(0).at(0).toString().contains(e.path), qPrintable(e.label));
        }
    }

private:
    HostileCorpus corpus;
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
