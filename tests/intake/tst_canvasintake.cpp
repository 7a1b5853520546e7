#include "app/windowedits.h"
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/xformwidget.h"
#include "intake/intakerun.h"
#include "intake/memorybudget.h"
#include "intake/photodecoder.h"
#include "intake/photointake.h"
#include "support/dropurls.h"
#include "support/filedialoganswer.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

namespace {

void writeImage(const QString& path, int w, int h, const char* format)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(path, format));
}

} // namespace

class TestCanvasIntake : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<XFormWidget> host;
    PainterArea* canvas = nullptr;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Fresh copies of a.png named prefix-0.png, prefix-1.png...
    QStringList copies(const QString& prefix, int count) const
    {
        QStringList list;
        for (int i = 0; i < count; ++i) {
            list << path(QString("%1-%2.png").arg(prefix).arg(i));
            QFile::remove(list.last());
            QFile::copy(path("a.png"), list.last());
        }
        return list;
    }
    QStringList names() const { return WindowEdits::photoNames(canvas); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        writeImage(path("a.png"), 60, 40, "PNG");
        writeImage(path("c.jpg"), 30, 50, "JPG");
        writeImage(path("photo.pbm"), 8, 8, "PBM");
        QFile text(path("b.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture\n");
    }
    void init()
    {
        host = std::make_unique<XFormWidget>();
        host->resize(800, 600);
        host->show();
        canvas = host->canvas();
    }
    void cleanup() { host.reset(); }

    void dialogAddsTheDecodableFilesInOrder()
    {
        ModalAnswerer answerer;
        answerer.queue([this](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            // Projects are chosen in the same dialog, with the pictures and on their own.
            QStringList filters = PhotoIntake::nameFilters();
            filters.first().replace(")", " *.seamwright)");
            filters.insert(1, "Seamwright projects (*.seamwright)");
            QCOMPARE(dialog->nameFilters(), filters);
            chooseFilesInDialog(dir.path(), {"a.png", "b.txt", "c.jpg"})(modal);
        });
        QString said;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
        QSignalSpy hint(canvas, &PainterArea::signalSizeHint);
        canvas->openFiles();
        QVERIFY(waitForIntakes());
        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QMessageBox"}));
        QCOMPARE(said, QString("Add photos: Not a picture: 1 file was not added: b.txt"));
        QCOMPARE(names(), (QStringList{"a.png", "c.jpg"}));
        QCOMPARE(canvas->paintImages[1]->image.size(), QSize(30, 50));
        QVERIFY(canvas->addButton->isHidden());
        QVERIFY(!hint.isEmpty()); // resized to the new strip
        QCOMPARE(canvas->size(), QSize(60 + 24, 40));
    }

    void addButtonOpensTheDialogAndCancelChangesNothing()
    {
        canvas->addImage(QImage(path("a.png")), "a.png");
        canvas->adjustSize();
        const QSize before = canvas->size();
        QSignalSpy hint(canvas, &PainterArea::signalSizeHint);
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::reject());
        canvas->openFiles();
        QCOMPARE(answerer.answeredCount(), 1);
        QCOMPARE(names(), QStringList{"a.png"});
        QCOMPARE(canvas->size(), before);
        QCOMPARE(hint.count(), 0);

        canvas->removeAllPhotos();
        answerer.queue(chooseFilesInDialog(dir.path(), {"photo.pbm"}));
        QTest::mouseClick(canvas->addButton, Qt::LeftButton);
        QVERIFY(waitForIntakes());
        QCOMPARE(names(), QStringList{"photo.pbm"});
    }

    void textOnlyDragIsAcceptedAndAddsNothing()
    {
        QMimeData data;
        data.setText("hello");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host.get(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!IntakeRun::running());
        QVERIFY(canvas->paintImages.isEmpty());
        QVERIFY(canvas->addButton->isVisible());
    }

    void budgetRefusalsAreNamedInOneMessage()
    {
        const QStringList paths = copies("budget", 5);
        MemoryBudget::setFixed(2 * PhotoDecoder::decodedBytes({60, 40}));
        QString said;
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
        canvas->addPhotoFiles(paths);
        QVERIFY(waitForIntakes());
        MemoryBudget::setFixed(std::nullopt);
        QCOMPARE(names(), (QStringList{"budget-0.png", "budget-1.png"}));
        QCOMPARE(said, QString("Add photos: Not enough memory for 60 × 40 photos: 3 photos were not added: "
                               "budget-2.png, budget-3.png, budget-4.png"));
    }

    void slowIntakeShowsProgressAndCancelKeepsWhatCame()
    {
        // Eight files of their own: the first three decode, the rest wait until released. Blocking by
        // file rather than by the order decodes start keeps the case true whichever thread runs first.
        const QStringList paths = copies("slow", 8);
        // Shared with the decoding threads, which may outlive a failed check here.
        const auto release = std::make_shared<QSemaphore>();
        auto* run = new IntakeRun(canvas, [this](const QImage& image, const QString& path) {
            canvas->addImage(image, PhotoIntake::displayName(path));
        });
        run->intake()->setDecoder([paths, release](const QString& file, const QSize& box) {
            if (paths.indexOf(file) >= 3)
                release->tryAcquire(1, 20000);
            return PhotoDecoder::decode(file, box);
        });
        QSignalSpy finished(run, &IntakeRun::finished);
        run->start(paths);
        // Input is held off while the photos come in.
        QTest::mouseClick(canvas->addButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()), 20000);
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        QTRY_COMPARE(progress->labelText(), QString("Adding photos: 3 of 8"));
        // Decodes wait on threads of their own: the toolkit's smooth scaling, which the window's
        // painting needs, runs on the global pool and would otherwise wait behind them.
        QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        release->release(8);
        QCOMPARE(finished.count(), 1);
        Intake::threadPool()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(canvas->paintImages.size(), 3);
    }
};

QTEST_MAIN(TestCanvasIntake)
#include "tst_canvasintake.moc"
