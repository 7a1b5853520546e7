#include "support/filledimage.h"
#include "support/hostilecorpus.h"
#include "support/panoramaviews.h"
#include "support/photolikeimage.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Runs the built executable as a user's script would: without any display, and without being told
// which platform to use.
class TestCommands : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString red, green, blue;

    struct Run
    {
        int exitCode = -1;
        QString err;
        QByteArray out;
        QByteArray piped;
    };

    // Run::piped holds what came through the pipe `fifo`, read as it is written.
    Run seamwright(const QStringList& arguments, const QString& fifo = QString())
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        process.setProcessEnvironment(env);
        process.start(SEAMWRIGHT_EXECUTABLE, arguments);
        QProcess reader; // opens the pipe as its reader and keeps what comes through
        if (!fifo.isEmpty())
            reader.start("cat", {fifo});
        process.waitForFinished(240000);
        Run run;
        if (reader.waitForFinished(5000))
            run.piped = reader.readAllStandardOutput();
        reader.kill();
        reader.waitForFinished();
        if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QString writePhoto(const QString& name, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(path(name));
        return path(name);
    }

    static QByteArray digest(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                           : QByteArray();
    }

    // The area's pixels that are nearly black.
    static int countDark(const QImage& image, const QRect& area)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += qGray(image.pixel(x, y)) < 20;
        return count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        red = writePhoto("red.png", {400, 200}, Qt::red);
        green = writePhoto("green.png", {300, 300}, Qt::green);
        blue = writePhoto("blue.png", {200, 100}, Qt::blue);
        QVERIFY(photoLikeImage(400, 400, 3).save(path("cut.png")));
        QFile cut(path("cut.png"));
        QVERIFY(cut.resize(cut.size() / 3));
    }

    void pixelsAtKnownPlaces()
    {
        const QString out = path("pixels.png");
        const Run run = seamwright(
            {"join", "--inner", "0", "--outer", "0", "--color", "#ff00ff", "-o", out, red, green, blue});
        QCOMPARE(run.exitCode, 0);
        const QImage strip(out);
        QCOMPARE(strip.size(), QSize(1020, 210));
        const QRgb magenta = qRgb(255, 0, 255);
        QCOMPARE(strip.pixel(2, 100), magenta);                // outer border
        QCOMPARE(strip.pixel(10, 100), QColor(Qt::red).rgb()); // first photo at the left
        QCOMPARE(strip.pixel(407, 100), magenta);              // between the first and second photo
        QCOMPARE(strip.pixel(1010, 100), QColor(Qt::blue).rgb());
    }

    void watermark_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("marked");
        const QStringList text{"--watermark", "SEAMWRIGHT",       "--watermark-color",
                               "#000000",     "--watermark-size", "100"};
        QTest::newRow("none") << QStringList() << false;
        QTest::newRow("bottom") << text << true;
        QTest::newRow("tile") << text + QStringList{"--watermark-mode", "tile"} << true;
        QTest::newRow("invisible") << text + QStringList{"--watermark-opacity", "0"} << false;
    }

    void watermark()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, marked);
        const QString white = writePhoto("white.png", {600, 300}, Qt::white);
        const QString out = path("marked.png");
        const Run run = seamwright(QStringList{"join"} + options + QStringList{"-o", out, white});
        QCOMPARE(run.exitCode, 0);
        const QImage strip(out);
        QCOMPARE(countDark(strip, strip.rect()) > 50, marked);
        // Bottom stays in the lower half; tiles reach the upper half too.
        const bool upper = countDark(strip, QRect(0, 0, 600, 150)) > 50;
        QCOMPARE(upper, options.contains("tile"));
    }

    // The strip's size follows its options, the format the name's suffix; parts are numbered after the name,
    // the last one shorter.
    void formatsAndParts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("lastSize");
        const auto png = [](const QStringList& options, const QSize& size) {
            QTest::addRow("png %s", qPrintable(options.join(' ')))
                << options << "strip.png" << QStringList{"strip.png"} << QByteArray("png") << size;
        };
        // Side by side at the first photo's height, stacked at its width, or at a common size.
        png({"--vertical", "--size=100"}, {100, 200});
        png({"--inner", "100"}, {1320, 200}); // 160 pixels between photos
        QTest::newRow("one WebP file") << QStringList{"--vertical"} << "strip.webp"
                                       << QStringList{"strip.webp"} << QByteArray("webp") << QSize(400, 800);
        QTest::newRow("JPEG parts of a stacked strip")
            << QStringList{"--vertical", "--parts", "300", "--quality", "80"} << "page.jpg"
            << QStringList{"page-001.jpg", "page-002.jpg", "page-003.jpg"} << QByteArray("jpeg")
            << QSize(400, 200);
        QTest::newRow("PNG parts in columns, cut exactly")
            << QStringList{"--parts=400", "--calm=0"} << "row.png"
            << QStringList{"row-001.png", "row-002.png", "row-003.png"} << QByteArray("png")
            << QSize(200, 200);
    }
    void formatsAndParts()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, name);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, format);
        QFETCH(QSize, lastSize);
        QTemporaryDir out;
        const Run run = seamwright(QStringList{"join"} + options +
                                   QStringList{"-o", out.filePath(name), red, green, blue});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString()); // no progress and no chatter when not on a terminal
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), files);
        QImageReader reader(out.filePath(files.last()));
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.size(), lastSize);
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString out = path("kept.png");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "";
        QTest::newRow("no output") << QStringList{"join", red} << 2 << "-o";
        QTest::newRow("no photo") << QStringList{"join", "-o", out} << 2 << "photo";
        QTest::newRow("unknown option") << QStringList{"join", "--bogus", "-o", out, red} << 2 << "--bogus";
        QTest::newRow("panorama option on join")
            << QStringList{"join", "--scans", "-o", out, red} << 2 << "--scans";
        QTest::newRow("opacity above range")
            << QStringList{"join", "--watermark", "x", "--watermark-opacity=256", "-o", out, red} << 2
            << "256";
        QTest::newRow("size below range") << QStringList{"join", "--size", "9", "-o", out, red} << 2 << "9";
        QTest::newRow("bad colour") << QStringList{"join", "--color", "#12345", "-o", out, red} << 2
                                    << "#12345";
        QTest::newRow("watermark settings without a text")
            << QStringList{"join", "--watermark-mode", "tile", "-o", out, red} << 2 << "--watermark";
        QTest::newRow("calm without parts")
            << QStringList{"join", "--calm", "50", "-o", out, red} << 2 << "--parts";
        QTest::newRow("parts below range") << QStringList{"join", "--parts", "0", "-o", out, red} << 2 << "0";
        QTest::newRow("value missing") << QStringList{"join", "-o", out, red, "--size"} << 2 << "--size";
        QTest::newRow("panorama of one photo") << QStringList{"panorama", "-o", out, red} << 2 << "two";
        QTest::newRow("missing photo")
            << QStringList{"join", "-o", out, red, path("gone.jpg"), blue} << 1 << "gone.jpg";
        QTest::newRow("too long for one JPEG")
            << QStringList{"join", "--vertical", "--size", "40000", "-o", path("long.jpg"), red, green, blue}
            << 1 << "--parts 65500";
        QTest::newRow("hours of work, after the toolkit's options")
            << QStringList{"-style", "fusion", "join", "--size", "1000000", "-o", out, red} << 1
            << "gigapixels";
        QTest::newRow("parts to standard output")
            << QStringList{"join", "--parts", "9", "-o", "-", red} << 2 << "--parts";
        QTest::newRow("PNG cut short, and libpng's own words")
            << QStringList{"join", "-o", out, red, path("cut.png")} << 1 << "cut.png";
        QTest::newRow("folder as output")
            << QStringList{"join", "-o", dir.path(), red} << 1 << "Could not write";
        QTest::newRow("panorama of flat photos")
            << QStringList{"panorama", "-o", out, red, blue} << 1 << "Input more images";
        QTest::newRow("panorama of an unreadable photo")
            << QStringList{"panorama", "-o", out, red, path("gone.jpg")} << 1 << "gone.jpg";
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        // Whatever fails, the file already there stays as it was.
        const QString out = path("kept.png");
        QVERIFY(filledImage(10, 10).save(out));
        const QByteArray before = digest(out);

        const Run run = seamwright(arguments);
        QCOMPARE(run.exitCode, status);
        QCOMPARE(digest(out), before);
        if (status == 0) {
            QVERIFY(!run.out.isEmpty());
            QCOMPARE(run.err, QString());
            return;
        }
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        // One line says what went wrong; a usage error adds the hint.
        const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.filter(QRegularExpression("^seamwright: ")).size(), 1);
        if (status == 2)
            QCOMPARE(lines, QStringList({lines.first(), "Try \"seamwright --help\" for more information."}));
        else
            QCOMPARE(lines.size(), 1);
        QVERIFY(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter("kept.png.").isEmpty());
    }

    // Every file the window's intake refuses stops the join with one line naming it, and never hangs.
    void hostileFiles()
    {
        HostileCorpus corpus;
        QVERIFY(corpus.isValid());
        const QString out = path("hostile.png");
        QVERIFY(filledImage(10, 10).save(out));
        const QByteArray before = digest(out);
        for (const HostileCorpus::Entry& entry : corpus.entries()) {
            const Run run =
                seamwright({"join", "-o", entry.decodes ? path("decoded.png") : out, red, entry.path});
            const QString name = QFileInfo(entry.path).fileName();
            if (entry.decodes) {
                QVERIFY2(run.exitCode == 0, qPrintable(entry.label + ": " + run.err));
                continue;
            }
            // The panorama names it too, the one whose header lies before anything is decoded.
            for (const Run& refused : {run, seamwright({"panorama", "-o", out, red, entry.path})}) {
                QVERIFY2(refused.exitCode == 1, qPrintable(entry.label));
                // The PNG library's own line on a file cut short is not ours to silence here.
                const QStringList lines = refused.err.split('\n', Qt::SkipEmptyParts)
                                              .filter(QRegularExpression("^(?!libpng error: )"));
                QVERIFY2(lines.size() == 1 && lines.first().contains(name),
                         qPrintable(entry.label + ": " + refused.err));
                QCOMPARE(digest(out), before);
            }
        }
    }

    // A pipe or a device is written through and stays what it was; standard output takes "-"; the
    // output is never one of the photos, through a link or not. Parts are files, never a stream.
    void outputKinds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        const QList<QPair<QString, QList<int>>> rows{
            {"pipe", {0, 1, 0}}, {"device", {0, 1, 0}},          {"block device", {1, 1, 1}},
            {"-", {0, 2, 0}},    {"link to a photo", {1, 1, 1}}, {"a photo", {1, 1, 1}}};
        for (const auto& row : rows)
            for (int c = 0; c < 3; ++c) {
                const char* command = c == 0 ? "join" : c == 1 ? "parts" : "panorama";
                QTest::addRow("%s to %s", command, qPrintable(row.first))
                    << command << row.first << row.second[c];
            }
    }
    void outputKinds()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(int, status);
        QTemporaryDir out;
        const bool parts = command == "parts", stream = kind == "pipe" || kind == "device" || kind == "-";
        QStringList photos = PanoramaViews::write(out.path());
        if (command != "panorama") {
            photos = QStringList{out.filePath("photo-001.png"), green};
            QVERIFY(QFile::copy(red, photos.first()));
        }
        const QByteArray photoBefore = digest(photos.first());
        QString target = out.filePath(kind == "link to a photo" && parts ? "link-001.png" : "target");
        if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(target), 0600), 0);
        // A null device, and a block device of a number no driver has.
        const bool block = kind == "block device";
        if (kind.endsWith("device") && ::mknod(QFile::encodeName(target), (block ? S_IFBLK : S_IFCHR) | 0600,
                                               makedev(block ? 240 : 1, 3)) != 0)
            QSKIP("no device file can be made here (not allowed to make device files)");
        if (kind == "link to a photo")
            QVERIFY(QFile::link(photos.first(), target));
        if (kind == "-")
            target = "-";
        if (kind == "a photo")
            target = photos.first();
        const QString output = parts && kind.contains("photo")
                                   ? out.filePath(kind == "a photo" ? "photo.png" : "link.png")
                                   : target;

        const QStringList arguments =
            QStringList{command == "panorama" ? "panorama" : "join", "-q", "-o", output} +
            (stream ? QStringList{"--format", "jpeg"} : QStringList()) +
            (parts ? QStringList{"--parts", "300"} : QStringList());
        const Run run = seamwright(arguments + photos, kind == "pipe" ? target : QString());
        QCOMPARE(run.exitCode, status);
        QCOMPARE(digest(photos.first()), photoBefore);
        const QByteArray written = kind == "-" ? run.out : run.piped;
        QCOMPARE(written.startsWith("\xff\xd8\xff"), status == 0 && (kind == "-" || kind == "pipe"));
        if (kind != "-")
            QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err.count('\n'), status == 0 ? 0 : status == 2 ? 2 : 1);
        struct stat info;
        if (kind == "pipe" || kind.endsWith("device"))
            QVERIFY(::lstat(QFile::encodeName(target), &info) == 0 && !S_ISREG(info.st_mode));
    }

    // TERM and INT take the unfinished parts with them; after a KILL the next export into the folder
    // sweeps them. Fewer parts than the folder holds of the name are written only when told.
    void interruptedAndRepeatedParts_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("TERM") << int(SIGTERM);
        QTest::newRow("INT") << int(SIGINT);
        QTest::newRow("KILL") << int(SIGKILL);
    }
    void interruptedAndRepeatedParts()
    {
        QFETCH(int, signal);
        std::signal(SIGINT, SIG_DFL); // a test runner may have left it ignored for its children
        QTemporaryDir out;
        const QImage photo = photoLikeImage(3000, 3000, 9);
        QVERIFY(photo.save(out.filePath("big.png")));
        const QString target = out.filePath("part.png");
        QProcess process;
        process.start(SEAMWRIGHT_EXECUTABLE,
                      QStringList{"join", "--vertical", "--parts", "1000", "-o", target} +
                          QVector<QString>(10, out.filePath("big.png")).toList());
        const auto working = [&] {
            return QDir(out.path()).entryList({".sw-parts-*"}, QDir::Dirs | QDir::Hidden);
        };
        QTRY_VERIFY_WITH_TIMEOUT(!working().isEmpty(), 120000);
        QTest::qWait(300);
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(working().size(), signal == SIGKILL ? 1 : 0);
        QCOMPARE(QDir(out.path()).entryList({"part-*"}).size(), 0);

        const QString small = writePhoto("small.png", {300, 3000}, Qt::gray);
        QCOMPARE(seamwright({"join", "--vertical", "--parts", "1000", "-o", target, small}).exitCode, 0);
        QCOMPARE(working(), QStringList());
        const Run fewer = seamwright({"join", "--vertical", "--parts", "2000", "-o", target, small});
        QCOMPARE(fewer.exitCode, 1);
        QVERIFY2(fewer.err.contains("--replace-parts"), qPrintable(fewer.err));
        QCOMPARE(seamwright({"join", "--vertical", "--parts", "2000", "--replace-parts", "-o", target, small})
                     .exitCode,
                 0);
        QCOMPARE(QDir(out.path()).entryList({"part-*"}), (QStringList{"part-001.png", "part-002.png"}));
    }

    // Three views and a photo that matches none of them: the panorama is made and the photo named; it is
    // cut to its picture, with no black corner left, unless --no-crop keeps it whole.
    void panorama()
    {
        QStringList photos = PanoramaViews::write(dir.path());
        QVERIFY(photoLikeImage(640, 480, 5).save(path("unrelated.jpg")));
        photos.insert(2, path("unrelated.jpg"));
        const QString cut = path("panorama.png"), whole = path("whole.png");
        const Run run = seamwright(QStringList{"panorama", "-q", "-o", cut} + photos);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(
            run.err.split('\n', Qt::SkipEmptyParts),
            QStringList{"seamwright: 1 of 4 photos could not be matched and were left out: unrelated.jpg"});
        QCOMPARE(seamwright(QStringList{"panorama", "--no-crop", "-o", whole} + photos).exitCode, 0);
        const QImage cutImage = QImage(cut).convertToFormat(QImage::Format_RGB32);
        const QImage wholeImage = QImage(whole).convertToFormat(QImage::Format_RGB32);
        QVERIFY(cutImage.width() > QImage(photos.first()).width());
        // Turned about the vertical, the views bend only at the top and the bottom.
        QVERIFY(cutImage.width() <= wholeImage.width() && cutImage.height() < wholeImage.height());
        QVERIFY(cutImage.height() > wholeImage.height() / 2);
        QCOMPARE(qGray(wholeImage.pixel(0, 0)), 0);
        for (const QPoint corner : {QPoint(0, 0), QPoint(cutImage.width() - 1, cutImage.height() - 1)})
            QVERIFY(qGray(cutImage.pixel(corner)) > 0);
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
