#include "app/mainwindow.h"
#include "support/mainwindowprobe.h"

#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "support/filedialoganswer.h"
#include "support/modalanswerer.h"
#include "widgets/iconpushbutton.h"

#include <QFile>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

class TestExport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString boxText;
    const QList<QColor> photoColours{Qt::red, Qt::green, Qt::darkYellow};

    // Three photos whose strip is 1000 x 200, or 1020 x 210 with inner and outer spacing of 5.
    struct Fixture
    {
        MainWindow window;
        MainWindowProbe ui{window};
        PainterArea* canvas = ui.canvas();
        explicit Fixture(const QList<QColor>& colours, bool shown = true)
        {
            window.resize(900, 673);
            window.setVisible(shown);
            const QSize sizes[] = {{400, 200}, {300, 300}, {200, 100}};
            for (int i = 0; i < 3; ++i) {
                QImage photo(sizes[i], QImage::Format_RGB32);
                photo.fill(colours[i]);
                canvas->addImage(photo, "p.png");
            }
            canvas->adjustSize();
        }
    };

    // Exports through the real save dialog; returns the classes of the modal widgets that showed.
    QStringList exportTo(Fixture& f, const QString& path)
    {
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        answerer.queue([this](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                boxText = box->text();
            ModalAnswerer::pressButton(QMessageBox::Ok)(modal);
        });
        f.ui.save();
        return answerer.answeredClasses();
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->tool = 0;
        StitcherConfig::instance()->spacingColor = Qt::blue;
    }

    void exportsOnePixelPerUnitAndRestoresTheZoom()
    {
        Fixture f(photoColours);
        f.ui.spacingAllButton->click();
        f.ui.zoomSlider->setValue(0);
        QCOMPARE(f.canvas->painterScale, 0.3);
        const QString path = dir.filePath("strip.png");
        QCOMPARE(exportTo(f, path), QStringList{"QFileDialog"});
        const QImage written(path);
        QCOMPARE(written.size(), QSize(1020, 210));
        QCOMPARE(QColor(written.pixel(0, 0)), QColor(Qt::blue));     // the border
        QCOMPARE(QColor(written.pixel(10, 10)), QColor(Qt::red));    // first photo
        QCOMPARE(QColor(written.pixel(407, 100)), QColor(Qt::blue)); // the gap after it
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(0));
        QCOMPARE(f.canvas->size(), QSize(int(1020 * 0.3), int(210 * 0.3)));
    }

    void unknownSuffixReceivesPngDataWithoutTrimmingAids()
    {
        Fixture f(photoColours);
        f.ui.cutAllButton->click();
        const QString path = dir.filePath("strip.dat");
        exportTo(f, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QImage written(path);
        QCOMPARE(written.size(), QSize(1000, 200));
        // Only photo pixels: no outline, no arrow button.
        int strays = 0;
        for (int y = 0; y < written.height(); ++y)
            for (int x = 0; x < written.width(); ++x)
                strays += !photoColours.contains(QColor(written.pixel(x, y)));
        QCOMPARE(strays, 0);
        QCOMPARE(f.canvas->cutMode, 0);
    }

    void failedWriteIsReportedAndChangesNothing()
    {
        Fixture f(photoColours);
        f.ui.zoomSlider->setValue(80);
        // A parent that is a regular file cannot be written into, not even by root.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = dir.filePath("blocker/strip.png");
        QCOMPARE(exportTo(f, path), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(boxText.contains(path) && boxText.contains("directory", Qt::CaseInsensitive),
                 qPrintable(boxText));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(80));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
