#include "app/mainwindow.h"

#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "support/filedialoganswer.h"
#include "support/filesizelimit.h"
#include "support/modalanswerer.h"
#include "support/photolikeimage.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray previous = "the strip exported yesterday";

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PainterArea* canvasOf(const MainWindow& window)
{
    return window.findChild<PainterArea*>();
}

// The "export" button's slot.
void exportFrom(MainWindow& window)
{
    QMetaObject::invokeMethod(&window, "save", Qt::DirectConnection);
}

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

// Exports that replace a file, are cancelled or fail half-way, and strips 40 000 pixels long.
class TestExportSafety : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString existingTarget()
    {
        const QString path = dir.filePath("strip.png");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(previous);
        return path;
    }

    QStringList otherFiles() const
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll("strip.png");
        return files;
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->tool = 0;
        QFile::remove(dir.filePath("strip.png"));
    }

    void longStripExportsPixelForPixel()
    {
        MainWindow window;
        window.show();
        for (int i = 0; i < 10; ++i)
            canvasOf(window)->addImage(photoLikeImage(4000, 100, std::uint32_t(i + 1)), "photo.jpg");
        canvasOf(window)->adjustSize();
        const QString path = existingTarget();
        ModalAnswerer answerer, nested;
        answerer.queue(chooseExistingFile(path, nested));
        exportFrom(window);

        const QImage written(path, "png");
        QCOMPARE(written.size(), QSize(40000, 100));
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32), canvasOf(window)->renderImage());
        QCOMPARE(otherFiles(), QStringList());
    }

    void cancelKeepsThePreviousFile()
    {
        MainWindow window;
        window.show();
        // Long enough to encode that the progress dialog shows.
        const QImage photo = photoLikeImage(4000, 1500, 3);
        for (int i = 0; i < 10; ++i)
            canvasOf(window)->addImage(photo, "photo.jpg");
        canvasOf(window)->adjustSize();
        const QString path = existingTarget();
        ModalAnswerer answerer, nested;
        answerer.queue(chooseExistingFile(path, nested));
        answerer.queue([&window](QWidget* modal) {
            // Window-modal over the main window, so nothing else changes the strip meanwhile.
            QCOMPARE(modal->windowModality(), Qt::WindowModal);
            QCOMPARE(modal->parentWidget(), &window);
            modal->findChild<QPushButton*>()->click();
        });
        exportFrom(window);

        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QProgressDialog"}));
        QCOMPARE(nested.answeredClasses(), QStringList{"QMessageBox"});
        QCOMPARE(contents(path), previous);
        QCOMPARE(otherFiles(), QStringList());
    }

    void failedWriteNamesTheFileAndKeepsIt()
    {
        MainWindow window;
        window.show();
        canvasOf(window)->addImage(photoLikeImage(1000, 300, 4), "photo.jpg");
        canvasOf(window)->adjustSize();
        const QString path = existingTarget();
        QString message;
        ModalAnswerer answerer, nested;
        answerer.queue(chooseExistingFile(path, nested));
        answerer.queue([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
            ModalAnswerer::pressButton(QMessageBox::Ok)(modal);
        });
        {
            const FileSizeLimit fullDisk(100000);
            exportFrom(window);
        }
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)) &&
                     message.contains("large", Qt::CaseInsensitive),
                 qPrintable(message));
        QCOMPARE(contents(path), previous);
        QCOMPARE(otherFiles(), QStringList());
    }
};

QTEST_MAIN(TestExportSafety)
#include "tst_exportsafety.moc"
