#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/intakewait.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const char firstRunArgument[] = "--first-run";
}

// Folders remembered from one run of the program to the next, and the name an export proposes.
class TestPlaces : public QObject
{
    Q_OBJECT
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
    void foldersAreRememberedAcrossRuns()
    {
        QTemporaryDir photos;
        QTemporaryDir exports;
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
        MainWindowProbe& ui = f.ui;
        ModalAnswerer answerer;
        QString shownFolder;
        answerer.queue([&shownFolder](QWidget* modal) {
            shownFolder = static_cast<QFileDialog*>(modal)->directory().absolutePath();
            modal->close();
        });
        ui.open();
        QCOMPARE(shownFolder, QDir(photos.path()).absolutePath());

        ui.canvas()->addImage(photo, "beach.png");
        QString proposed;
        answerer.queue([&proposed](QWidget* modal) {
            proposed = static_cast<QFileDialog*>(modal)->selectedFiles().value(0);
            modal->close();
        });
        QVERIFY(!ui.exportStrip());
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
};

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], firstRunArgument) == 0) {
        // The parent's isolated store, inherited through the environment.
        QApplication app(argc, argv);
        return TestPlaces::firstRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    isolateSettingsStore();
    QApplication app(argc, argv);
    TestPlaces test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_places.moc"
