#include "app/mainwindow.h"

#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "support/filedialoganswer.h"
#include "support/modalanswerer.h"
#include "widgets/iconpushbutton.h"

#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage photo(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString boxText;

    // Three photos whose strip is 1000 x 200, or 1020 x 210 with inner and outer spacing of 5.
    struct Fixture
    {
        MainWindow window;
        PainterArea* canvas = window.canvas();
        explicit Fixture(bool shown = true)
        {
            window.resize(900, 673);
            if (shown)
                window.show();
            canvas->addImage(photo(400, 200, Qt::red), "a.png");
            canvas->addImage(photo(300, 300, Qt::green), "b.png");
            canvas->addImage(photo(200, 100, Qt::darkYellow), "c.png");
            canvas->adjustSize();
        }
    };

    // Exports through the real save dialog; returns the classes of the modal widgets that showed.
    QStringList exportTo(Fixture& f, const QString& path, bool expectMessage = false)
    {
        ModalAnswerer answerer;
        answerer.queue(path.isEmpty() ? ModalAnswerer::reject() : chooseFileInDialog(path));
        if (expectMessage)
            answerer.queue([this](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    boxText = box->text();
                ModalAnswerer::pressButton(QMessageBox::Ok)(modal);
            });
        f.window.save();
        return answerer.answeredClasses();
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->tool = 0;
        StitcherConfig::instance()->spacingColor = Qt::blue;
        boxText.clear();
    }

    void exportsOnePixelPerUnitAndRestoresTheZoom()
    {
        Fixture f;
        f.window.spacingAllButton->click();
        f.window.zoomSlider->setValue(0);
        QCOMPARE(f.canvas->painterScale, 0.3);
        const QString path = dir.filePath("strip.png");
        QCOMPARE(exportTo(f, path), QStringList{"QFileDialog"});

        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage written = reader.read();
        QCOMPARE(written.size(), QSize(1020, 210));
        QCOMPARE(QColor(written.pixel(0, 0)), QColor(Qt::blue));     // the border
        QCOMPARE(QColor(written.pixel(10, 10)), QColor(Qt::red));    // first photo
        QCOMPARE(QColor(written.pixel(407, 100)), QColor(Qt::blue)); // the gap after it
        QCOMPARE(QColor(written.pixel(1010, 200)), QColor(Qt::darkYellow));

        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(0));
        QCOMPARE(f.canvas->size(), QSize(int(1020 * 0.3), int(210 * 0.3)));
    }

    void anyNameReceivesPngDataWithoutTrimmingAids()
    {
        Fixture f;
        f.window.cutAllButton->click();
        QCOMPARE(f.canvas->cutMode, 3);
        const QString path = dir.filePath("strip.jpg");
        exportTo(f, path);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QImage written(path);
        QCOMPARE(written.size(), QSize(1000, 200));
        // Only photo pixels: no outline, no arrow button.
        const QList<QRgb> photoColours{QColor(Qt::red).rgb(), QColor(Qt::green).rgb(),
                                       QColor(Qt::darkYellow).rgb()};
        int strays = 0;
        for (int y = 0; y < written.height(); ++y)
            for (int x = 0; x < written.width(); ++x)
                strays += !photoColours.contains(written.pixel(x, y) | 0xff000000);
        QCOMPARE(strays, 0);
        // Afterwards the trim tool is off and its buttons are hidden.
        QCOMPARE(StitcherConfig::instance()->tool, 0);
        QCOMPARE(f.canvas->cutMode, 0);
        for (StitcherButton* b : f.canvas->findChildren<StitcherButton*>())
            QVERIFY(b->isHidden());
    }

    void failedWriteIsReportedAndChangesNothing()
    {
        Fixture f;
        f.window.zoomSlider->setValue(80);
        // A parent that is a regular file cannot be written into, not even by root.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = dir.filePath("blocker/strip.png");

        QCOMPARE(exportTo(f, path, true), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(boxText.contains(path) && boxText.contains("directory", Qt::CaseInsensitive),
                 qPrintable(boxText));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(80));
        QCOMPARE(f.canvas->paintImages.size(), 3);
    }

    void stripTooLargeForMemoryIsRefused()
    {
        Fixture f(false);
        // 16384 units high, the thin photo becomes about 260 million units long.
        f.canvas->addImage(photo(16000, 2, Qt::gray), "thin.png");
        f.canvas->setPaintHeight(16384);
        const QString path = dir.filePath("huge.png");
        QCOMPARE(exportTo(f, path, true), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(boxText.contains("too large"), qPrintable(boxText));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f.canvas->painterScale, 1.0);
    }

    void cancelOrEmptyCanvasWritesNothing()
    {
        Fixture f;
        f.window.zoomSlider->setValue(70);
        QCOMPARE(exportTo(f, QString()), QStringList{"QFileDialog"});
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(70));
        QVERIFY(QDir(dir.path()).entryList({"untitled*"}).isEmpty());

        f.canvas->removeAllPhotos();
        QCOMPARE(exportTo(f, QString()), QStringList());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
