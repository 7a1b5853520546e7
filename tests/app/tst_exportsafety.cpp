#include "app/windowedits.h"
#include "canvas/geometry.h"
#include "canvas/stitcherconfig.h"
#include "support/filedialoganswer.h"
#include "support/filesizelimit.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/photolikeimage.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

const QByteArray previous = "the strip exported yesterday";

using WindowEdits::fileHead;

// Chooses a file that exists: the file dialog then asks, in a loop of its own, whether to replace it,
// which only a second answerer can answer; the user says yes.
ModalAnswerer::Answer chooseExistingFile(const QString& path, ModalAnswerer& nested)
{
    return [path, &nested](QWidget* modal) {
        nested.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
        chooseFileInDialog(path)(modal);
    };
}

} // namespace

// The export as the window runs it: one pixel per unit whatever the zoom, no trimming aids, and files
// that are replaced, cancelled or fail half-way; strips 40 000 pixels long.
class TestExportSafety : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString existingTarget()
    {
        const QString path = dir.filePath("strip.png");
        return WindowEdits::writeFile(path, previous) ? path : QString();
    }

    QStringList otherFiles() const
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll("strip.png");
        files.removeAll("blocker");
        return files;
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->spacingColor = Qt::blue;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }

    // At any zoom, with the trimming arrows out and a name the program has no format for: PNG data of
    // one pixel per unit and only the strip's own pixels, then the zoom as it was and no tool left on.
    void exportsOnePixelPerUnitWithoutTrimmingAids()
    {
        // Three photos whose strip is 1000 x 200, or 1020 x 210 with inner and outer spacing of 5.
        WindowFixture f(true);
        const QList<QColor> photoColours{Qt::red, Qt::green, Qt::darkYellow};
        const QSize sizes[] = {{400, 200}, {300, 300}, {200, 100}};
        for (int i = 0; i < 3; ++i)
            f.addPhotos({sizes[i]}, photoColours[i]);
        f.ui.cutAllButton->click();
        f.canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        f.canvas->adjustSize();
        f.ui.zoomSlider->setValue(0);
        const QString path = dir.filePath("strip.dat");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        f.ui.save();
        QCOMPARE(answerer.answeredClasses(), QStringList{"QFileDialog"});
        QCOMPARE(fileHead(path, 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QImage written(path);
        QCOMPARE(written.size(), QSize(1020, 210));
        QCOMPARE(QColor(written.pixel(0, 0)), QColor(Qt::blue));     // the border
        QCOMPARE(QColor(written.pixel(10, 10)), QColor(Qt::red));    // first photo
        QCOMPARE(QColor(written.pixel(407, 100)), QColor(Qt::blue)); // the gap after it
        const QList<QColor> own = photoColours + QList<QColor>{Qt::blue};
        int strays = 0; // an outline or an arrow button
        for (int y = 0; y < written.height(); ++y)
            for (int x = 0; x < written.width(); ++x)
                strays += !own.contains(QColor(written.pixel(x, y)));
        QCOMPARE(strays, 0);
        QCOMPARE(f.canvas->cutMode, int(Geometry::CutNone));
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(0));
    }

    void cancelKeepsThePreviousFile()
    {
        WindowFixture f(true);
        // Long enough to encode that the progress dialog shows.
        const QImage photo = photoLikeImage(4000, 1500, 3);
        for (int i = 0; i < 10; ++i)
            f.canvas->addImage(photo, "photo.jpg");
        f.canvas->adjustSize();
        const QString path = existingTarget();
        ModalAnswerer answerer, nested;
        answerer.queue(chooseExistingFile(path, nested));
        answerer.queue([&f](QWidget* modal) {
            // Window-modal over the main window, so nothing else changes the strip meanwhile.
            QCOMPARE(modal->windowModality(), Qt::WindowModal);
            QCOMPARE(modal->parentWidget(), &f.window);
            modal->findChild<QPushButton*>()->click();
        });
        f.ui.save();

        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QProgressDialog"}));
        QCOMPARE(nested.answeredClasses(), QStringList{"QMessageBox"});
        QCOMPARE(fileHead(path), previous);
        QCOMPARE(otherFiles(), QStringList());
    }

    // A folder that is a file cannot be written into, not even by root; a full disk stops the file
    // half-way; one of the strip's own photos is never written over. Each way one message names the
    // file and the reason, and an old file stays whole.
    void failedWriteNamesTheFileAndKeepsIt_data()
    {
        QTest::addColumn<QString>("over");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder is a file") << QString("blocker/strip.png") << "directory";
        QTest::newRow("disk full") << QString("strip.png") << "large";
        QTest::newRow("one of its photos") << QString("photo.png") << "one of the strip's photos";
    }
    void failedWriteNamesTheFileAndKeepsIt()
    {
        QFETCH(QString, over);
        QFETCH(QString, reason);
        const bool fullDisk = over == "strip.png", photo = over == "photo.png";
        WindowFixture f(true);
        f.canvas->addImage(photoLikeImage(1000, 300, 4), "photo.jpg");
        QString path = dir.filePath(over);
        if (photo) {
            QVERIFY(photoLikeImage(200, 300, 5).save(path));
            f.canvas->addPhotoFiles({path});
            QVERIFY(waitForIntakes());
        }
        f.canvas->adjustSize();
        f.ui.zoomSlider->setValue(80);
        const QByteArray before = fileHead(path);
        if (fullDisk)
            path = existingTarget();
        else if (!photo)
            QVERIFY(QFile(dir.filePath("blocker")).open(QIODevice::WriteOnly));
        ModalAnswerer answerer, nested;
        answerer.queue(fullDisk || photo ? chooseExistingFile(path, nested) : chooseFileInDialog(path));
        QString message;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &message));
        {
            std::optional<FileSizeLimit> limit;
            if (fullDisk)
                limit.emplace(100000);
            f.ui.save();
        }
        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(message.contains(photo ? QFileInfo(path).fileName() : QDir::toNativeSeparators(path)) &&
                     message.contains(reason, Qt::CaseInsensitive),
                 qPrintable(message));
        QCOMPARE(fileHead(path), fullDisk ? previous : before);
        if (!photo)
            QCOMPARE(otherFiles(), QStringList());
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(80));
    }
};

QTEST_MAIN(TestExportSafety)
#include "tst_exportsafety.moc"
