#include "app/projectactions.h"
#include "app/startupfiles.h"
#include "app/windowedits.h"
#include "cli/dispatch.h"
#include "project/projectfile.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QButtonGroup>
#include <QMessageBox>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Files opened into the window: a project saved from it and opened again, as a drop or the Choose
// Pictures dialog opens it, exports the very pixels the strip exported before; photos named on the
// command line reach the strip as a drop would bring them.
class TestProjects : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QStringList photos;

    static QAbstractButton* penSwatch(WindowFixture& f, int index)
    {
        return f.window.findChild<QWidget*>("penColors")->findChild<QButtonGroup*>()->button(index);
    }

    // The panel shows its tools as they are.
    static void checkPen(WindowFixture& f, QPushButton* shape, QAction* width, int swatch)
    {
        QVERIFY(shape->isChecked() && width->isChecked() && penSwatch(f, swatch)->isChecked());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir.isValid());
        for (const char* format : {"JPEG", "PNG"}) {
            QImage image(80 + photos.size() * 20, 60, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(photos.size() * 120, 180, 220));
            QPainter(&image).fillRect(5, 5, 30, 20, Qt::black);
            photos << dir.filePath(QString("photo.%1").arg(QString(format).toLower()));
            QVERIFY(image.save(photos.last(), format));
        }
    }

    void reopenedProjectExportsTheSamePixels()
    {
        WindowFixture f(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.ui.verticalButton->click();
        f.canvas->addPhotoFiles(photos);
        QVERIFY(waitForIntakes());
        f.ui.onPanoramaDone(filledImage(70, 40, Qt::darkRed));
        WindowEdits::dragEdge(f.canvas, f.canvas->paintImages[0]->bottomButton, {0, 9});
        f.ui.spacingAllButton->click();
        StitcherConfig::instance()->shape = Annotation::Arrow;
        WindowEdits::stroke(f.canvas, StitcherConfig::DrawTool, {20, 20}, {5, 2}, 4);
        StitcherConfig::instance()->mosaicName = "mosaic-normal";
        WindowEdits::stroke(f.canvas, StitcherConfig::MosaicTool, {30, 60}, {5, 2}, 4);
        f.ui.watermarkEdit->setText("Quillmoor");
        f.ui.watermarkTileButton->click();
        f.ui.arrowButton->click();
        f.ui.largeAction->trigger();
        penSwatch(f, 4)->click();
        const QImage before = f.canvas->renderImage();

        const QString path = dir.filePath("strip.seamwright");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        QVERIFY(f.ui.projectActions->saveProject());
        QVERIFY(!f.window.isWindowModified());
        f.topBar(WindowFixture::Clear)->click();
        QVERIFY(f.canvas->paintImages.isEmpty());
        f.ui.pathButton->click();
        f.ui.smallAction->trigger();
        penSwatch(f, 0)->click();

        f.canvas->addPhotoFiles({path});
        QTRY_COMPARE(f.canvas->paintImages.size(), 3);
        QCOMPARE(f.canvas->renderImage(), before);
        QVERIFY(f.ui.watermarkTileButton->isChecked());
        checkPen(f, f.ui.arrowButton, f.ui.largeAction, 4);
        // A project written before tools were kept leaves them as they are, Undo too.
        const QString older = dir.filePath("older.seamwright");
        QVERIFY(ProjectFile().save(f.canvas->state(), older));
        // Opening is one step: Undo gives the cleared strip back.
        QApplication::setActiveWindow(&f.window);
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QVERIFY(f.canvas->paintImages.isEmpty());
        f.canvas->addPhotoFiles({older});
        QTRY_COMPARE(f.canvas->paintImages.size(), 3);
        checkPen(f, f.ui.arrowButton, f.ui.largeAction, 4);
        QCOMPARE(StitcherConfig::instance()->penColor, QColor(Qt::red));
    }

    void photosArriveInOrderAndARefusalIsNamed()
    {
        HostileCorpus corpus; // its giant.png claims 60000 x 60000 pixels
        const QDir dir(corpus.folder());
        QVERIFY(corpus.isValid() && QFileInfo::exists(dir.filePath("giant.png")));
        QVERIFY(filledImage(40, 30, Qt::red).save(dir.filePath("b.png")));
        QVERIFY(filledImage(20, 30, Qt::blue).save(dir.filePath("-a.png")));

        WindowFixture f(true);
        QString message;
        ModalAnswerer answerer;
        answerer.queue([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
            modal->close();
        });
        const Dispatch d = Dispatch::decide({"-platform", "offscreen", dir.filePath("b.png"),
                                             dir.filePath("giant.png"), "--", dir.filePath("-a.png")});
        StartupFiles::open(&f.window, d);
        QVERIFY(waitForIntakes());

        QCOMPARE(WindowEdits::photoNames(f.canvas), (QStringList{"b.png", "-a.png"}));
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        QVERIFY2(message.contains("giant.png") && !message.contains("b.png"), qPrintable(message));

        // A project opens first, whatever its place among the photos.
        const QString project = dir.filePath("kept.seamwright");
        QVERIFY(ProjectFile().save(f.canvas->state(), project));
        WindowFixture g(true);
        StartupFiles::open(&g.window, Dispatch::decide({dir.filePath("b.png"), project}));
        QVERIFY(waitForIntakes());
        QCOMPARE(WindowEdits::photoNames(g.canvas), (QStringList{"b.png", "-a.png", "b.png"}));
    }
};

QTEST_MAIN(TestProjects)
#include "tst_projects.moc"
