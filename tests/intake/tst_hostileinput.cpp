#include "app/windowedits.h"
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/xformwidget.h"
#include "intake/intake.h"
#include "intake/intakerun.h"
#include "intake/memorybudget.h"
#include "intake/photodecoder.h"
#include "panorama/engine/panoramathread.h"
#include "panorama/ui/dragdropwidget.h"
#include "support/dropurls.h"
#include "support/filedialoganswer.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/panoramaviews.h"
#include "support/stitchworkers.h"

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

    // Every file not taken is named with its reason; the one without a local path is no file at all.
    void intakeTakesWhatDecodesInOrderAndNamesTheRest()
    {
        QStringList paths;
        QStringList expected, refused;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            paths << e.path;
            (e.decodes ? expected : refused) << e.path;
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
        QStringList named;
        QMap<QString, Intake::Reason> reasons;
        for (const Intake::Refusal& r : intake.refused()) {
            named << r.path;
            reasons.insert(QFileInfo(r.path).fileName(), r.reason);
        }
        QCOMPARE(named, refused);
        using R = Intake::Reason;
        const QMap<QString, R> some{{"giant.png", R::TooLarge},  {"half.jpg", R::Damaged},
                                    {"third.png", R::Damaged},   {"notes.png", R::NotAPhoto},
                                    {"pipe.jpg", R::CannotOpen}, {"folder.jpg", R::CannotOpen}};
        for (auto it = some.begin(); it != some.end(); ++it)
            QVERIFY2(reasons.value(it.key()) == it.value(), qPrintable(it.key()));
    }

    void everyDropTargetTakesOnlyWhatDecodes()
    {
        // Both drop targets take what decodes and name the rest; the panorama list refuses a drop
        // that holds any file it cannot take.
        XFormWidget host;
        QList<QUrl> all;
        QStringList taken;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            all << QUrl::fromLocalFile(e.path);
            if (e.decodes)
                taken << QFileInfo(e.path).fileName();
            DragDropWidget list;
            ModalAnswerer answerer;
            QString said;
            if (!e.decodes)
                answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
            // A file cut short is told only by decoding it, after the drop was taken.
            const bool dropped = dropUrls(&list, {QUrl::fromLocalFile(e.path)});
            QVERIFY2(dropped == e.decodes || e.label.contains(" cut "), qPrintable(e.label));
            QVERIFY(waitForIntakes());
            QCOMPARE(list.photoPaths().size(), int(e.decodes));
            QVERIFY2(e.decodes || said.contains(QFileInfo(e.path).fileName()), qPrintable(e.label + said));
        }
        // The canvas takes the same file twice, in the order dropped, and skips what is no local file.
        all << QUrl::fromLocalFile(corpus.folder() + "/alpha.png") << QUrl("https://example.com/x.png");
        taken << "alpha.png";
        ModalAnswerer answerer;
        QString said;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said)); // one message names them all
        QVERIFY(dropUrls(&host, all));
        QVERIFY(waitForIntakes());
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        for (const HostileCorpus::Entry& e : corpus.entries())
            QVERIFY2(e.decodes || said.contains(QFileInfo(e.path).fileName()), qPrintable(e.label));
        QCOMPARE(WindowEdits::photoNames(host.canvas()), taken);
        QVERIFY(host.canvas()->contentSize().width() > 0);
    }

    // A large PNG dropped on the panorama list holds its whole picture while its thumbnail decodes; a
    // JPEG decodes reduced.
    void panoramaListWeighsWhatADecodeHolds()
    {
        QImage photo(4000, 3000, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        MemoryBudget::setFixed(qint64(32) << 20);
        for (const QString name : {"large.png", "large.jpg"}) {
            const QString path = corpus.folder() + '/' + name;
            QVERIFY(photo.save(path));
            const bool taken = name.endsWith(".jpg");
            DragDropWidget list;
            ModalAnswerer answerer;
            QString said;
            if (!taken)
                answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
            dropUrls(&list, {QUrl::fromLocalFile(path)});
            QVERIFY(waitForIntakes());
            QFile::remove(path);
            QCOMPARE(list.photoPaths().size(), int(taken));
            QCOMPARE(said,
                     taken ? QString()
                           : "Add photos: Not enough memory for 4000 × 3000 photos: 1 photo was not added: " +
                                 name);
        }
        MemoryBudget::setFixed(std::nullopt);
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

    // Every file the intake refuses, the stitch refuses naming it (the command line's suite shows that
    // for each); one cut short and one whose header lies are told apart.
    void panoramaSaysWhyItCannotReadAPhoto()
    {
        QTemporaryDir views;
        const QStringList good = PanoramaViews::write(views.path(), {"view.jpg"});
        QCOMPARE(good.size(), 1);
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            const bool giant = e.path.endsWith("giant.png");
            if (!giant && !e.label.contains(" cut "))
                continue;
            PanoramaThread worker(StitchWorkers::request({good[0], e.path}));
            QSignalSpy errors(&worker, &PanoramaThread::siganlPanoramaError);
            worker.stitchPanorama();
            const QString message = errors.value(0).value(0).toString();
            QVERIFY2(message.contains(e.path) &&
                         message.contains(giant ? "too large to stitch (60000 × 60000 pixels)"
                                                : "is damaged or incomplete"),
                     qPrintable(e.label + ": " + message));
        }
    }

private:
    HostileCorpus corpus;
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
