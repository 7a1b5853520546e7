#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "intake/intake.h"
#include "intake/intakerun.h"
#include "intake/photodecoder.h"
#include "panorama/engine/panoramathread.h"
#include "panorama/ui/dragdropwidget.h"
#include "support/dropurls.h"
#include "support/filedialoganswer.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/panoramaviews.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void oddButValidPicturesKeepTheirContent()
    {
        const QString root = corpus.folder() + '/';
        const QImage sliver = PhotoDecoder::decode(root + "sliver.png");
        QCOMPARE(sliver.size(), QSize(1, 20000));
        const QImage grey = PhotoDecoder::decode(root + "grey.png");
        QCOMPARE(grey.format(), QImage::Format_RGB32);
        QCOMPARE(qRed(grey.pixel(25, 15)), qGreen(grey.pixel(25, 15)));
        const QImage alpha = PhotoDecoder::decode(root + "alpha.png");
        QCOMPARE(alpha.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(qAbs(qAlpha(alpha.pixel(3, 3)) - 100) <= 1);
    }

    void intakeTakesWhatDecodesInOrderAndNamesTheGiant()
    {
        QStringList paths;
        QStringList expected;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            paths << e.path;
            if (e.decodes)
                expected << e.path;
        }
        paths << QUrl("https://example.org/remote.jpg").toLocalFile(); // not a local file: empty path
        Intake intake;
        QStringList received;
        connect(&intake, &Intake::photoReady, [&](const QImage& image, const QString& path) {
            // Whatever the file held, the canvas gets a format it paints without converting.
            QVERIFY2(image.format() == QImage::Format_RGB32 ||
                         image.format() == QImage::Format_ARGB32_Premultiplied,
                     qPrintable(path));
            received << path;
        });
        QSignalSpy finished(&intake, &Intake::finished);
        intake.start(paths);
        QVERIFY(finished.wait(20000));
        QCOMPARE(received, expected);
        QCOMPARE(intake.refused().size(), 1);
        QCOMPARE(Intake::refusalText(intake.refused()),
                 QString("Too large to open (60000 × 60000 pixels): 1 photo was not added: giant.png"));
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
            QVERIFY(waitForIntakes());
            QCOMPARE(list.photoPaths().size(), int(e.decodes));
        }
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok)); // the giant is named
        QVERIFY(dropUrls(&host, all));
        QVERIFY(waitForIntakes());
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        QCOMPARE(host.canvas()->paintImages.size(), decodable);
        QVERIFY(host.canvas()->contentSize().width() > 0);
    }

    void listDialogTakesOnlyWhatDecodes()
    {
        // Every file of the corpus that can be typed into the dialog; the list checks each one itself,
        // where a drop is told from the headers.
        QStringList names;
        int decodable = 0;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            const QFileInfo info(e.path);
            if (info.exists() && !info.isDir()) {
                names << info.fileName();
                decodable += e.decodes;
            }
        }
        DragDropWidget list;
        ModalAnswerer answerer;
        answerer.queue(chooseFilesInDialog(corpus.folder(), names));
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok)); // the giant is named
        QVERIFY(QMetaObject::invokeMethod(&list, "onOpenFiles"));
        QVERIFY(waitForIntakes());
        QCOMPARE(answerer.answeredClasses(), QStringList({"QFileDialog", "QMessageBox"}));
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
