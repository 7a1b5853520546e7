#include "panorama/engine/panoramathread.h"
#include "panorama/engine/stitchfolders.h"
#include "panorama/engine/stitchinput.h"
#include "panorama/engine/worker/workerguard.h"
#include "panorama/engine/workerprocess.h"

#include "support/hostilecorpus.h"
#include "support/panoramaviews.h"
#include "support/stitchworkers.h"

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

namespace {

// Says how long the program took to leave once its stitch ran.
struct ExitClock
{
    QElapsedTimer clock;
    ~ExitClock() { std::cout << "exit after ms: " << clock.elapsed() << std::endl; }
};

// A program that starts a stitch, says which worker runs it, and then waits to be killed, or leaves
// through the event loop or without one.
int runChild(int argc, char** argv)
{
    ExitClock exitClock;
    QCoreApplication app(argc, argv);
    const QString mode = app.arguments().at(2);
    QPointer<PanoramaThread> worker = new PanoramaThread(StitchWorkers::request(app.arguments().mid(3)));
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    while (worker->workerProcessId() == 0)
        QThread::msleep(5);
    std::cout << "worker " << worker->workerProcessId() << std::endl;
    exitClock.clock.start();
    if (mode == "wait")
        QThread::sleep(300);
    if (mode != "quit")
        return 0;
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace

class TestStitchSafety : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QStringList views;

private slots:
    void initTestCase()
    {
        views = PanoramaViews::write(dir.path());
        QCOMPARE(views.size(), 3);
    }

    // A PNG of under a megabyte that decodes to more than the budget is refused from its header.
    void bombIsRefusedBeforeDecoding()
    {
        const QString bomb = dir.filePath("bomb.png");
        QImage flat(6000, 4000, QImage::Format_RGB32);
        flat.fill(Qt::white);
        QVERIFY(flat.save(bomb, "PNG", 9) && QFileInfo(bomb).size() < 1024 * 1024);
        // The worker's limit follows the photos, far from the machine's memory.
        QVERIFY(StitchInput::weigh(StitchWorkers::request(views).imageList, qint64(1) << 40).addressSpace <
                qint64(1) << 30);
        PanoramaThread worker(StitchWorkers::request({views[0], bomb, views[1]}));
        worker.setMemoryLimit(qint64(64) << 20);
        QSignalSpy errors(&worker, &PanoramaThread::siganlPanoramaError);
        worker.stitchPanorama();
        QCOMPARE(errors.count(), 1);
        const QString said = errors.first().at(0).toString();
        QVERIFY2(said.contains("not enough memory") && said.contains(bomb) && said.contains("6000 × 4000"),
                 qPrintable(said));
    }

    // The worker weighs the headers itself, says when the temporary folder is full, and one whose
    // parent is gone before it is ready removes its folder and ends.
    void workerGuardsItself_data()
    {
        QTest::addColumn<QString>("second"); // the photo after the first view
        QTest::addColumn<bool>("parentGone");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("forged header") << "giant.png" << false << QByteArray("too-large 1\n");
        QTest::newRow("folder full") << "" << false << QByteArray("no-space\n");
        QTest::newRow("parent gone") << "giant.png" << true << QByteArray();
    }

    void workerGuardsItself()
    {
        QFETCH(QString, second);
        QFETCH(bool, parentGone);
        QFETCH(QByteArray, output);
        const HostileCorpus corpus;
        QTemporaryDir folder(QDir::tempPath() + "/seamwright-stitch-test-XXXXXX");
        // Every write to this device fails as on a full disk.
        QVERIFY(second.size() || QFile::link("/dev/full", folder.filePath("panorama.rgb")));
        QProcess worker;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(WorkerGuard::parentVariable, QString::number(parentGone ? 1 : getpid()));
        worker.setProcessEnvironment(environment);
        worker.start(SEAMWRIGHT_STITCH_WORKER, {"panorama", "0", folder.filePath("panorama.rgb")});
        const QString photo = second.isEmpty() ? views[1] : corpus.folder() + '/' + second;
        worker.write(QFile::encodeName(views[0]) + '\0' + QFile::encodeName(photo) + '\0');
        worker.closeWriteChannel();
        QVERIFY(worker.waitForFinished(60000));
        QCOMPARE(worker.readAllStandardOutput(), output);
        QCOMPARE(QFileInfo::exists(folder.path()), !parentGone);
    }

    // Started with child signals ignored, the worker's exit status is lost; its outcome still counts.
    void stitchWithChildSignalsIgnored()
    {
        struct sigaction ignore = {}, previous = {}, restored = {};
        ignore.sa_handler = SIG_IGN;
        QCOMPARE(sigaction(SIGCHLD, &ignore, &previous), 0);
        PanoramaThread worker(StitchWorkers::request(views));
        QSignalSpy results(&worker, &PanoramaThread::signalPanoramaResult);
        worker.stitchPanorama();
        WorkerProcess::restoreChildSignal();
        sigaction(SIGCHLD, &previous, &restored);
        QCOMPARE(results.count(), 1);
        QVERIFY(restored.sa_handler == SIG_DFL);
    }

    // Whatever ends the program during a stitch, its worker goes and takes its folder with it; a
    // program that leaves by itself does so at once.
    void endedDuringAStitch_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("signal"); // 0: the program leaves by itself
        QTest::newRow("TERM") << "wait" << int(SIGTERM);
        QTest::newRow("INT") << "wait" << int(SIGINT);
        QTest::newRow("KILL") << "wait" << int(SIGKILL);
        QTest::newRow("event loop quits") << "quit" << 0;
        QTest::newRow("no event loop") << "return" << 0;
    }

    void endedDuringAStitch()
    {
        QFETCH(QString, mode);
        QFETCH(int, signal);
        QProcess child;
        // Enough photos that the stitch still runs when the signal comes.
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{"--child", mode} + views + views + views);
        QVERIFY(child.waitForReadyRead(30000));
        const QByteArray line = child.readLine().trimmed();
        QVERIFY2(line.startsWith("worker "), line.constData());
        const qint64 worker = line.mid(7).toLongLong();
        if (signal) {
            QCOMPARE(StitchWorkers::leftoverFolders().size(), 1);
            QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
        }
        QVERIFY(child.waitForFinished(10000));
        if (signal) {
            QTRY_VERIFY_WITH_TIMEOUT(!StitchWorkers::alive(worker), 10000);
        } else {
            QVERIFY(!StitchWorkers::alive(worker));
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            const QByteArray exit = child.readAllStandardOutput().trimmed();
            QVERIFY2(exit.startsWith("exit after ms: ") && exit.mid(15).toInt() < 1000, exit.constData());
        }
        QCOMPARE(StitchWorkers::leftoverFolders(), QStringList());
    }

    // Folders of processes that are gone are swept; those of running ones stay.
    void sweepTakesOnlyFoldersOfProcessesGone()
    {
        const pid_t gone = fork();
        if (gone == 0)
            _exit(0);
        QVERIFY(gone > 0 && waitpid(gone, nullptr, 0) == gone);
        const QString dead = QString("seamwright-stitch-%1-Ab12Cd").arg(gone);
        const QString running = QString("seamwright-stitch-%1-Ab12Cd").arg(getppid());
        QVERIFY(QDir::temp().mkpath(dead + "/sub") && QDir::temp().mkdir(running));
        QCOMPARE(StitchFolders::sweep(), 1);
        QCOMPARE(StitchWorkers::leftoverFolders(), QStringList{running});
        QVERIFY(QDir::temp().rmdir(running));
    }
};

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "C.UTF-8");
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    TestStitchSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stitchsafety.moc"
