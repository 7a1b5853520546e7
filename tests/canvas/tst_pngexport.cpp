#include "canvas/pngexport.h"
#include "support/modalanswerer.h"
#include "support/photolikeimage.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray previous = "the file an export must not destroy";

QString existingFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("strip.png");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(previous);
    return path;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lowers the largest file size the process may write, as a full disk would, until destroyed.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

private:
    rlimit saved{};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

class TestPngExport : public QObject
{
    Q_OBJECT
    QWidget window;

private slots:
    void initTestCase() { window.show(); }

    void replacesFileWithWholeStrip()
    {
        QTemporaryDir dir;
        const QString path = existingFile(dir);
        const QImage strip = photoLikeImage(40000, 60, 1);
        PngExport exporter(&window);
        QCOMPARE(exporter.save(strip, path), PngExport::Result::Saved);
        QCOMPARE(QImage(path, "png").convertToFormat(QImage::Format_RGB32), strip);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"strip.png"});
    }

    // A cancelled or failed export leaves the folder as it was: the old file whole, no new file.
    void cancelOrFailureLeavesNoTrace()
    {
        const QImage strip = photoLikeImage(1500, 1500, 2);
        for (bool exists : {true, false}) {
            QTemporaryDir dir;
            const QString path = exists ? existingFile(dir) : dir.filePath("strip.png");
            ModalAnswerer answerer;
            answerer.queue([](QWidget* modal) {
                QVERIFY(qobject_cast<QProgressDialog*>(modal));
                modal->findChild<QPushButton*>()->click();
            });
            PngExport exporter(&window);
            exporter.setProgressDelay(0);
            QCOMPARE(exporter.save(strip, path), PngExport::Result::Cancelled);
            QCOMPARE(answerer.answeredCount(), 1);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                     exists ? QStringList{"strip.png"} : QStringList());
            QCOMPARE(contents(path), exists ? previous : QByteArray());
        }

        QTemporaryDir dir;
        const QString path = existingFile(dir);
        PngExport exporter(&window);
        {
            const FileSizeLimit limit(100000);
            QCOMPARE(exporter.save(photoLikeImage(800, 600, 3), path), PngExport::Result::Failed);
        }
        QVERIFY2(exporter.errorString().contains("large"), qPrintable(exporter.errorString()));
        QCOMPARE(exporter.save(QImage(), path), PngExport::Result::Failed);
        QCOMPARE(exporter.save(strip, dir.filePath("missing/strip.png")), PngExport::Result::Failed);
        QCOMPARE(contents(path), previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"strip.png"});
    }
};

QTEST_MAIN(TestPngExport)
#include "tst_pngexport.moc"
