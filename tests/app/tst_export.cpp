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

QByteArray fileHead(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(8);
}

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;

    // Three photos whose strip is 1000 x 200, or 1020 x 210 with inner and outer spacing of 5.
    struct Fixture
    {
        MainWindow window;
        PainterArea* canvas = window.canvas();
        Fixture()
        {
            window.resize(900, 673);
            window.show();
            canvas->addImage(photo(400, 200, Qt::red), "a.png");
            canvas->addImage(photo(300, 300, Qt::green), "b.png");
            canvas->addImage(photo(200, 100, Qt::darkYellow), "c.png");
            canvas->adjustSize();
        }
    };

private slots:
    void init()
    {
        StitcherConfig& config = *StitcherConfig::instance();
        config.tool = 0;
        config.watermarkMode = 0;
        config.spacingColor = Qt::blue;
    }

    void exportsTheStripAtOnePixelPerUnitAndRestoresTheZoom()
    {
        QVERIFY(dir.isValid());
        Fixture f;
        f.window.spacingAllButton->click();
        f.window.zoomSlider->setValue(0);
        QCOMPARE(f.canvas->painterScale, 0.3);

        const QString path = dir.filePath("strip.png");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        f.window.save();
        QCOMPARE(answerer.answeredClasses(), QStringList{"QFileDialog"});

        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage written = reader.read();
        QCOMPARE(written.size(), QSize(1020, 210));
        QCOMPARE(QColor(written.pixel(0, 0)), QColor(Qt::blue));       // the border
        QCOMPARE(QColor(written.pixel(10, 10)), QColor(Qt::red));      // first photo
        QCOMPARE(QColor(written.pixel(407, 100)), QColor(Qt::blue));   // the gap after it
        QCOMPARE(QColor(written.pixel(500, 100)), QColor(Qt::green));  // second photo
        QCOMPARE(QColor(written.pixel(1010, 200)), QColor(Qt::darkYellow));

        QCOMPARE(f.window.zoomSlider->value(), 0);
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(0));
        QCOMPARE(f.canvas->size(), QSize(int(1020 * 0.3), int(210 * 0.3)));
    }

    void anyNameReceivesPngData()
    {
        Fixture f;
        const QString path = dir.filePath("strip.jpg");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        f.window.save();
        QCOMPARE(fileHead(path), pngSignature);
        QCOMPARE(QImage(path).size(), QSize(1000, 200));
    }

    void trimmingAidsStayOutOfTheFile()
    {
        Fixture f;
        f.window.cutAllButton->click();
        QCOMPARE(f.canvas->cutMode, 3);
        const QString path = dir.filePath("trim.png");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        f.window.save();

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

        ModalAnswerer answerer;
        QString title, text;
        answerer.queue(chooseFileInDialog(path));
        answerer.queue([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                title = box->windowTitle();
                text = box->text();
            }
            ModalAnswerer::pressButton(QMessageBox::Ok)(modal);
        });
        f.window.save();
        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(text.contains(path), qPrintable(text));
        QVERIFY2(text.contains("directory", Qt::CaseInsensitive), qPrintable(text));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(80));
        QCOMPARE(f.canvas->paintImages.size(), 3);
    }

    void cancelledDialogRestoresTheZoom()
    {
        Fixture f;
        f.window.zoomSlider->setValue(70);
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::reject());
        f.window.save();
        QCOMPARE(answerer.answeredCount(), 1);
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(70));
        QCOMPARE(QDir(dir.path()).entryList({"untitled*"}), QStringList());
    }

    void emptyCanvasDoesNothing()
    {
        MainWindow window;
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::reject());
        window.save();
        QCOMPARE(answerer.answeredCount(), 0);
        QCOMPARE(window.canvas()->painterScale, 1.0);
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
