#include "app/mywindows.h"
#include "app/projectactions.h"
#include "app/recoverycontrols.h"
#include "app/startupfiles.h"
#include "app/windowedits.h"
#include "cli/dispatch.h"
#include "project/projectfile.h"
#include "project/recoverystore.h"
#include "settings/appsettings.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <iostream>

namespace {

const char firstRunArgument[] = "--first-run";

// Presses the question's button that carries this text.
ModalAnswerer::Answer pressText(const QString& text)
{
    return [text](QWidget* modal) {
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
            if (b->text() == text)
                return b->click();
        modal->close();
    };
}

QByteArray pixelHash(PainterArea* canvas)
{
    const QImage image = canvas->renderImage();
    return QCryptographicHash::hash(QByteArray::fromRawData(reinterpret_cast<const char*>(image.constBits()),
                                                            int(image.sizeInBytes())),
                                    QCryptographicHash::Sha1)
        .toHex();
}

// A strip with every kind of edit, made through the window.
void editStrip(WindowFixture& f)
{
    f.addPhotos({{60, 40}, {40, 60}}, Qt::darkCyan);
    f.ui.onPanoramaDone(filledImage(90, 30, Qt::darkRed));
    WindowEdits::dragEdge(f.canvas, f.canvas->paintImages[1]->rightButton, {12, 0});
    f.ui.spacingAllButton->click();
    StitcherConfig::instance()->shape = Annotation::Rectangle;
    WindowEdits::stroke(f.canvas, StitcherConfig::DrawTool, {10, 10}, {20, 15}, 1);
    f.ui.watermarkEdit->setText("Quillmoor");
    f.ui.watermarkBottomButton->click();
}

int copies()
{
    return QDir(RecoveryStore::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

// The child: edits a strip, says its pixels once the recovery copy is written, and waits to be killed.
int editAndWait()
{
    WindowFixture f;
    QObject::connect(f.ui.window.recovery()->store(), &RecoveryStore::written, [&f](qint64, bool ok) {
        std::cout << (ok ? pixelHash(f.canvas).constData() : "failed") << std::endl;
    });
    editStrip(f);
    return QApplication::exec();
}

} // namespace

// Closing the program and starting it again: closing asks before work is lost; a project saved and
// opened again, as a drop or the Choose Pictures dialog opens it, gives the very pixels it had; photos
// and projects named on the command line reach the strip as a drop would bring them; a killed
// process's strip comes back; the folders used are remembered; and the name an export proposes.
class TestAcrossRuns : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<ModalAnswerer> answers;
    std::unique_ptr<MyWindows> top;
    std::unique_ptr<MainWindowProbe> ui;
    int exports = 0;

    PainterArea* canvas() const { return ui->canvas(); }
    bool modified() const { return top->isWindowModified(); }

    // The program's window with two photos, exported through the real save dialog: it is then clean.
    void withTwoPhotos()
    {
        answers = std::make_unique<ModalAnswerer>();
        top = std::make_unique<MyWindows>();
        ui = std::make_unique<MainWindowProbe>(*top->mainWindow());
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top.get()));
        canvas()->addImage(filledImage(60, 40, Qt::red), "a.png");
        canvas()->addImage(filledImage(60, 40, Qt::blue), "b.png");
        answers->queue(chooseFileInDialog(dir.filePath(QString("strip%1.png").arg(++exports))));
        QVERIFY(ui->exportStrip());
        QVERIFY(!modified());
    }

    static QAbstractButton* penSwatch(WindowFixture& f, int index)
    {
        return f.window.findChild<QWidget*>("penColors")->findChild<QButtonGroup*>()->button(index);
    }

    // The panel shows its tools as they are.
    static void checkPen(WindowFixture& f, QPushButton* shape, QAction* width, int swatch)
    {
        QVERIFY(shape->isChecked() && width->isChecked() && penSwatch(f, swatch)->isChecked());
    }

public:
    // The first run, in a process of its own: photos chosen in one folder, the strip exported to
    // another, and the program ends.
    static int firstRun(const QString& photoFolder, const QString& exportFolder)
    {
        WindowFixture f(true);
        ModalAnswerer answerer;
        answerer.queue(chooseFilesInDialog(photoFolder, {"beach.png"}));
        f.ui.open();
        if (!waitForIntakes() || f.canvas->paintImages.isEmpty())
            return 2;
        answerer.queue(chooseFileInDialog(QDir(exportFolder).filePath("out.png")));
        return f.ui.exportStrip() ? 0 : 1;
    }

private slots:
    void init() { QDir(RecoveryStore::rootFolder()).removeRecursively(); }
    void cleanup()
    {
        if (!top)
            return;
        const int pending = answers->pendingCount();
        top->setWindowModified(false);
        ui.reset();
        top.reset();
        StitcherConfig::instance()->tool = StitcherConfig::NoTool;
        QCOMPARE(pending, 0);
    }

    void lookingAroundLeavesTheWindowClean()
    {
        withTwoPhotos();
        QVERIFY(top->windowTitle().endsWith("[*]"));
        ui->zoomSlider->setValue(80);
        ui->onClickFit();
        const QPoint from = canvas()->geometry().center();
        QTest::mousePress(ui->canvasHolder, Qt::LeftButton, Qt::NoModifier, from); // pans
        QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 0), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(ui->canvasHolder, &move);
        QTest::mouseRelease(ui->canvasHolder, Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 0));
        ui->watermarkEdit->setText("not shown while the watermark is off");
        ui->undoPen();
        QVERIFY(!modified());
        QVERIFY(top->close());
        QCOMPARE(answers->answeredCount(), 1); // the export only
    }

    void closeAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("exportTo"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::newRow("discard") << "Discard" << QString() << true;
        QTest::newRow("cancel") << "Cancel" << QString() << false;
        QTest::newRow("export written") << QString("Export…") << "closing.png" << true;
        QTest::newRow("export cancelled") << "Export…" << QString() << false;
        QTest::newRow("project saved") << QString("Save Project…") << "closing.seamwright" << true;
        QTest::newRow("project cancelled") << "Save Project…" << QString() << false;
        QTest::newRow("export fails") << QString("Export…") << "/proc/no-such-place/closing.png" << false;
    }

    void closeAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QString, exportTo);
        QFETCH(bool, closes);
        withTwoPhotos();
        ui->spacingOuterButton->click();
        QVERIFY(modified());
        const int before = answers->answeredCount();

        answers->queue(pressText(answer));
        const bool exporting = answer.endsWith("…");
        const QString target = exportTo.startsWith('/') ? exportTo : dir.filePath(exportTo);
        if (exporting && exportTo.isEmpty())
            answers->queue(ModalAnswerer::reject());
        else if (exporting)
            answers->queue(chooseFileInDialog(target));
        if (exportTo.startsWith('/'))
            answers->queue(ModalAnswerer::pressButton(QMessageBox::Ok)); // the failure is reported
        QCOMPARE(top->close(), closes);
        QCOMPARE(top->isVisible(), !closes);
        QVERIFY(answers->answeredClasses().mid(before).startsWith("QMessageBox"));
        QCOMPARE(answers->answeredCount() - before, 1 + int(exporting) + int(exportTo.startsWith('/')));
        if (exporting && closes) {
            QVERIFY(!modified());
            StripState kept;
            if (target.endsWith(".seamwright"))
                QCOMPARE(int(ProjectFile().open(target, &kept)), int(ProjectFile::Result::Opened));
            else
                QCOMPARE(QImage(target).size(), canvas()->contentSize());
        } else {
            QCOMPARE(modified(), !closes || answer == "Discard");
        }
    }

    void aKilledProcessLeavesAStripThatComesBack()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--edit-and-wait"});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        const QByteArray hash = child.readLine().trimmed();
        QCOMPARE(hash.size(), 40);
        // The copy of a process still running is not taken.
        QCOMPARE(copies(), 1);
        QVERIFY(RecoveryStore::leftovers().isEmpty());
        child.kill(); // SIGKILL: nothing of the child's runs any more
        QVERIFY(child.waitForFinished());

        WindowFixture f;
        ModalAnswerer answerer;
        answerer.queue([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->buttons().at(0)->click(); });
        f.ui.window.recovery()->offerLeftovers();
        QCOMPARE(f.canvas->paintImages.size(), 3);
        QCOMPARE(pixelHash(f.canvas), hash);
        QVERIFY(f.window.isWindowModified());
        QCOMPARE(copies(), 0); // taken
    }

    void theCopyGoesWhenTheStripIsKeptOrEmptied_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("clear") << "clear";
        QTest::newRow("clean close") << "close";
    }
    void theCopyGoesWhenTheStripIsKeptOrEmptied()
    {
        QFETCH(QString, how);
        auto f = std::make_unique<WindowFixture>();
        editStrip(*f);
        QSignalSpy written(f->ui.window.recovery()->store(), &RecoveryStore::written);
        QVERIFY(written.wait(RecoveryControls::writeDelay + 5000));
        QCOMPARE(copies(), 1);
        if (how == "clear")
            f->topBar(WindowFixture::Clear)->click();
        else
            f.reset();
        QTRY_COMPARE(copies(), 0);
    }

    void foldersAreRememberedAcrossRuns()
    {
        QTemporaryDir photos, exports;
        const QImage photo = filledImage(64, 48);
        QVERIFY(photo.save(photos.filePath("beach.png")));

        // The settings store of this process is the child's too (see main below).
        QProcess first;
        first.start(QCoreApplication::applicationFilePath(),
                    {firstRunArgument, photos.path(), exports.path()});
        QVERIFY(first.waitForFinished(60000));
        QVERIFY2(first.exitStatus() == QProcess::NormalExit && first.exitCode() == 0,
                 first.readAllStandardError().constData());
        QVERIFY(QFileInfo(exports.filePath("out.png")).isFile());

        WindowFixture f(true);
        ModalAnswerer answerer;
        QString shownFolder;
        answerer.queue([&shownFolder](QWidget* modal) {
            shownFolder = static_cast<QFileDialog*>(modal)->directory().absolutePath();
            modal->close();
        });
        f.ui.open();
        QCOMPARE(shownFolder, QDir(photos.path()).absolutePath());

        f.canvas->addImage(photo, "beach.png");
        QString proposed;
        answerer.queue([&proposed](QWidget* modal) {
            proposed = static_cast<QFileDialog*>(modal)->selectedFiles().value(0);
            modal->close();
        });
        QVERIFY(!f.ui.exportStrip());
        QCOMPARE(proposed, QDir(exports.path()).absoluteFilePath("beach-strip.png"));
    }

    void exportNameComesFromTheFirstPhoto_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("dots in the name, two photos")
            << QStringList{"2024.07.01 pier.jpeg", "dunes.jpg"} << "2024.07.01 pier-strip.png";
        QTest::newRow("no base name") << QStringList{".png"} << "untitled.png";
    }
    void exportNameComesFromTheFirstPhoto()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, proposed);
        WindowFixture f;
        for (const QString& name : names)
            f.canvas->addImage(filledImage(10, 10), name);
        QCOMPARE(QFileInfo(f.ui.proposedExportPath()).fileName(), proposed);
    }

    void reopenedProjectExportsTheSamePixels()
    {
        QStringList photos;
        for (const char* format : {"JPEG", "PNG"}) {
            QImage image =
                filledImage(80 + photos.size() * 20, 60, QColor::fromHsv(photos.size() * 120, 180, 220));
            QPainter(&image).fillRect(5, 5, 30, 20, Qt::black);
            photos << dir.filePath(QString("photo.%1").arg(QString(format).toLower()));
            QVERIFY(image.save(photos.last(), format));
        }
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
        const QDir folder(corpus.folder());
        QVERIFY(corpus.isValid() && QFileInfo::exists(folder.filePath("giant.png")));
        QVERIFY(filledImage(40, 30, Qt::red).save(folder.filePath("b.png")));
        QVERIFY(filledImage(20, 30, Qt::blue).save(folder.filePath("-a.png")));

        WindowFixture f(true);
        QString message;
        ModalAnswerer answerer;
        answerer.queue([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
            modal->close();
        });
        const Dispatch d = Dispatch::decide({"-platform", "offscreen", folder.filePath("b.png"),
                                             folder.filePath("giant.png"), "--", folder.filePath("-a.png")});
        StartupFiles::open(&f.window, d);
        QVERIFY(waitForIntakes());

        QCOMPARE(WindowEdits::photoNames(f.canvas), (QStringList{"b.png", "-a.png"}));
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        QVERIFY2(message.contains("giant.png") && !message.contains("b.png"), qPrintable(message));

        // A project opens first, whatever its place among the photos.
        const QString project = folder.filePath("kept.seamwright");
        QVERIFY(ProjectFile().save(f.canvas->state(), project));
        WindowFixture g(true);
        StartupFiles::open(&g.window, Dispatch::decide({folder.filePath("b.png"), project}));
        QVERIFY(waitForIntakes());
        QCOMPARE(WindowEdits::photoNames(g.canvas), (QStringList{"b.png", "-a.png", "b.png"}));
    }
};

int main(int argc, char** argv)
{
    // The children inherit the parent's settings store through the environment.
    const bool child = argc > 1 && qstrncmp(argv[1], "--", 2) == 0;
    if (!child)
        isolateSettingsStore();
    QApplication app(argc, argv);
    // A data folder of its own, so that no other suite's window is offered these copies: named after
    // the settings have named the application.
    AppSettings::instance();
    QCoreApplication::setApplicationName("seamwright-acrossruns-test");
    QStandardPaths::setTestModeEnabled(true);
    if (argc == 4 && qstrcmp(argv[1], firstRunArgument) == 0)
        return TestAcrossRuns::firstRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc > 1 && qstrcmp(argv[1], "--edit-and-wait") == 0)
        return editAndWait();
    TestAcrossRuns test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_acrossruns.moc"
