#include "panorama/engine/panoramathread.h"

#include "support/panoramaviews.h"

#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/stitching.hpp>

#include <iostream>
#include <sstream>

namespace {

const QString stitchFailedText =
    "Input more images to construct your panorama. Ensure each photo has about 30% "
    "overlap with all other ajacent photograph.";

PanoramaRequest requestFor(const std::string& style, const QStringList& paths)
{
    PanoramaRequest request{style, {}};
    for (const QString& path : paths)
        request.imageList.push_back(path.toLocal8Bit().toStdString());
    return request;
}

// Collects what the pipeline writes to standard output while it is alive.
class StdoutCapture
{
public:
    StdoutCapture() : previous(std::cout.rdbuf(captured.rdbuf())) {}
    ~StdoutCapture() { std::cout.rdbuf(previous); }
    QString text() const { return QString::fromStdString(captured.str()); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

// Runs the pipeline on the calling thread and records its one outcome.
struct DirectRun
{
    explicit DirectRun(const PanoramaRequest& request) : worker(request)
    {
        QSignalSpy results(&worker, &PanoramaThread::signalPanoramaResult);
        QSignalSpy errors(&worker, &PanoramaThread::siganlPanoramaError);
        {
            StdoutCapture capture;
            worker.stitchPanorama();
            console = capture.text();
        }
        resultCount = results.count();
        errorCount = errors.count();
        if (resultCount > 0) {
            image = results.first().at(0).value<QImage>();
            message = results.first().at(1).toString();
        }
        if (errorCount > 0)
            message = errors.first().at(0).toString();
    }

    PanoramaThread worker;
    int resultCount = 0;
    int errorCount = 0;
    QImage image;
    QString message;
    QString console;
};

// Stands in for the progress page: lives on the user-interface thread and notes what arrives.
class Receiver : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    bool allOnOwnThread = true;

public slots:
    void onPanoramaResult(QImage, QString message) { note("result " + message); }
    void onPanoramaError(QString) { note("error"); }
    void onFinished() { note("finished"); }

private:
    void note(const QString& event)
    {
        events << event;
        allOnOwnThread = allOnOwnThread && QThread::currentThread() == thread();
    }
};

// A program that starts a stitch and exits at once, through the event loop or without one.
int runQuittingChild(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString mode = app.arguments().at(2);
    PanoramaRequest request{"Panorama", {}};
    for (int i = 3; i < argc; ++i)
        request.imageList.push_back(argv[i]);
    QPointer<PanoramaThread> worker = new PanoramaThread(request);
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
    if (mode == "return")
        return 0;
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = app.exec();
    std::cout << "stitch over when the loop ended: " << (worker.isNull() || worker->isFinished())
              << std::endl;
    return code;
}

} // namespace

class TestPanoramaThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(views.isValid());
        paths = PanoramaViews::write(views.path());
        QCOMPARE(paths.size(), 3);
        // The generated views must stitch in both modes with the bare library, or nothing below means
        // anything. The stitcher is not deterministic, but its two modes give clearly different heights
        // on these views; a result is told apart by the nearer one.
        std::vector<cv::Mat> images;
        for (const QString& path : paths)
            images.push_back(cv::imread(path.toStdString(), cv::IMREAD_COLOR));
        for (int mode : {cv::Stitcher::PANORAMA, cv::Stitcher::SCANS}) {
            cv::Mat pano;
            QCOMPARE(cv::Stitcher::create(cv::Stitcher::Mode(mode))->stitch(images, pano), cv::Stitcher::OK);
            bareHeights[mode] = pano.rows;
        }
        QVERIFY(qAbs(bareHeights[0] - bareHeights[1]) > 20);
    }

    void styleChoosesStitchMode_data()
    {
        QTest::addColumn<QByteArray>("style");
        QTest::addColumn<int>("mode");
        QTest::newRow("Panorama") << QByteArray("Panorama") << int(cv::Stitcher::PANORAMA);
        QTest::newRow("Scans") << QByteArray("Scans") << int(cv::Stitcher::SCANS);
        QTest::newRow("lower-case scans") << QByteArray("scans") << int(cv::Stitcher::PANORAMA);
        QTest::newRow("empty") << QByteArray() << int(cv::Stitcher::PANORAMA);
    }

    void styleChoosesStitchMode()
    {
        QFETCH(QByteArray, style);
        QFETCH(int, mode);
        const DirectRun run(requestFor(style.toStdString(), paths));
        QCOMPARE(run.errorCount, 0);
        QCOMPARE(run.resultCount, 1);
        QCOMPARE(run.message, QString("OK"));
        QCOMPARE(run.console, QString("stitch images finish, error code = 0\n"));
        QCOMPARE(run.image.format(), QImage::Format_RGB888);
        QVERIFY(run.image.width() > 640);
        const int other = 1 - mode;
        QVERIFY2(qAbs(run.image.height() - bareHeights[mode]) < qAbs(run.image.height() - bareHeights[other]),
                 qPrintable(QString("height %1").arg(run.image.height())));
    }

    void stitcherFailuresGiveCodeAndOneText_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("yawStep");
        QTest::addColumn<QString>("console");
        QTest::newRow("no photo") << 0 << 18.0 << "Can't stitch images, error code = 1\n";
        QTest::newRow("one photo") << 1 << 18.0 << "Can't stitch images, error code = 1\n";
        QTest::newRow("no overlap") << 2 << 80.0 << QString();
    }

    void stitcherFailuresGiveCodeAndOneText()
    {
        QFETCH(int, count);
        QFETCH(double, yawStep);
        QFETCH(QString, console);
        QTemporaryDir dir;
        const QStringList photos = PanoramaViews::write(
            dir.path(), PanoramaViews::defaultFileNames().mid(0, count), {640, 480}, yawStep);
        const DirectRun run(requestFor("Panorama", photos));
        QCOMPARE(run.resultCount, 0);
        QCOMPARE(run.errorCount, 1);
        QCOMPARE(run.message, stitchFailedText);
        if (console.isEmpty())
            QVERIFY2(QRegularExpression("^Can't stitch images, error code = [123]\n$")
                         .match(run.console)
                         .hasMatch(),
                     qPrintable(run.console));
        else
            QCOMPARE(run.console, console);
    }

    void unreadablePhotoIsNamed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::newRow("missing") << "gone.jpg" << QByteArray();
        QTest::newRow("not an image") << "notes.jpg" << QByteArray("these are not pixels");
        QTest::newRow("missing, non-ASCII name") << QString::fromUtf8("Fotoğraf ünü.jpg") << QByteArray();
    }

    void unreadablePhotoIsNamed()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString bad = dir.filePath(name);
        if (!content.isEmpty()) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const DirectRun run(requestFor("Panorama", {paths[0], bad, paths[1]}));
        QCOMPARE(run.resultCount, 0);
        QCOMPARE(run.errorCount, 1);
        QVERIFY2(run.message.contains(bad), qPrintable(run.message));
        QCOMPARE(run.console, QString()); // nothing was stitched
    }

    void libraryExceptionGivesTheUsualText()
    {
        // One-pixel photos make the stitcher's own resizing throw.
        QTemporaryDir dir;
        QStringList dots;
        for (const char* name : {"dot1.png", "dot2.png"}) {
            QImage dot(1, 1, QImage::Format_RGB32);
            dot.fill(Qt::red);
            QVERIFY(dot.save(dir.filePath(name)));
            dots << dir.filePath(name);
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Panorama stitch failed:"));
        const DirectRun run(requestFor("Panorama", dots));
        QCOMPARE(run.resultCount, 0);
        QCOMPARE(run.errorCount, 1);
        QCOMPARE(run.message, stitchFailedText);
    }

    void nonAsciiPathsStitch()
    {
        QTemporaryDir dir;
        const QStringList names = {QString::fromUtf8("Fotoğraf ünü.jpg"), QString::fromUtf8("写真.jpg"),
                                   QString::fromUtf8("третий снимок.jpg")};
        const QStringList photos = PanoramaViews::write(dir.path(), names);
        QCOMPARE(photos.size(), 3);
        // The request carries the locale's 8-bit form, which must be UTF-8 here to be lossless.
        QCOMPARE(photos[1].toLocal8Bit(), photos[1].toUtf8());
        const DirectRun run(requestFor("Panorama", photos));
        QCOMPARE(run.errorCount, 0);
        QCOMPARE(run.resultCount, 1);
    }

    void workerAnnouncesOneOutcomeThenDeletesItself_data()
    {
        QTest::addColumn<int>("photoCount");
        QTest::addColumn<bool>("quitWhileRunning");
        QTest::addColumn<bool>("receiverGone");
        QTest::addColumn<QStringList>("events");
        const QStringList result = {"result OK", "finished"};
        const QStringList error = {"error", "finished"};
        QTest::newRow("result") << 3 << false << false << result;
        QTest::newRow("error") << 1 << false << false << error;
        QTest::newRow("quit while stitching") << 3 << true << false << result;
        QTest::newRow("receiver destroyed") << 3 << false << true << QStringList();
    }

    void workerAnnouncesOneOutcomeThenDeletesItself()
    {
        QFETCH(int, photoCount);
        QFETCH(bool, quitWhileRunning);
        QFETCH(bool, receiverGone);
        QFETCH(QStringList, events);
        StdoutCapture capture;
        auto* receiver = new Receiver;
        QPointer<PanoramaThread> worker =
            new PanoramaThread(requestFor("Panorama", paths.mid(0, photoCount)));
        connect(worker, &PanoramaThread::signalPanoramaResult, receiver, &Receiver::onPanoramaResult);
        connect(worker, &PanoramaThread::siganlPanoramaError, receiver, &Receiver::onPanoramaError);
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        connect(worker, &QThread::finished, receiver, &Receiver::onFinished);
        worker->start(QThread::InheritPriority);
        if (quitWhileRunning) {
            QVERIFY(worker->isRunning());
            worker->quit();
        }
        if (receiverGone)
            delete receiver;
        QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 120000);
        if (receiverGone)
            return;
        QCOMPARE(receiver->events, events);
        QVERIFY(receiver->allOnOwnThread);
        delete receiver;
    }

    void quittingWaitsForTheStitch_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("event loop quits") << "quit"
                                          << "stitch over when the loop ended: 1";
        QTest::newRow("no event loop") << "return"
                                       << "stitch images finish, error code = 0";
    }

    void quittingWaitsForTheStitch()
    {
        QFETCH(QString, mode);
        QFETCH(QString, lastLine);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), QStringList{"--child", mode} + paths);
        QVERIFY(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(output.contains("stitch images finish, error code = 0\n"), qPrintable(output));
        QCOMPARE(output.trimmed().split('\n').last(), lastLine);
    }

private:
    QTemporaryDir views;
    QStringList paths;
    int bareHeights[2] = {0, 0};
};

int main(int argc, char** argv)
{
    // Photo paths travel in the locale's encoding; the application takes it from the environment.
    qputenv("LC_ALL", "C.UTF-8");
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runQuittingChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestPanoramaThread test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panoramathread.moc"
