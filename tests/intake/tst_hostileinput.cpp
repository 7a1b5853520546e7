#include "intake/photointake.h"
#include "support/hostilecorpus.h"

#include <QApplication>
#include <QUrl>
#include <QtTest>

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void decodeGivesTheExpectedOutcome_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("decodes");
        for (const HostileCorpus::Entry& e : corpus.entries())
            QTest::newRow(qPrintable(e.label)) << e.path << e.decodes;
    }

    void decodeGivesTheExpectedOutcome()
    {
        QFETCH(QString, path);
        QFETCH(bool, decodes);
        const QImage image = PhotoIntake::decodePhoto(path);
        QCOMPARE(!image.isNull(), decodes);
        if (decodes) {
            // Whatever the file held, the canvas gets a format it paints without converting.
            QVERIFY(image.format() == QImage::Format_RGB32 ||
                    image.format() == QImage::Format_ARGB32_Premultiplied);
            QVERIFY(image.width() >= 1 && image.height() >= 1);
        }
    }

    void oddButValidPicturesKeepTheirContent()
    {
        const QString root = corpus.folder() + '/';
        const QImage sliver = PhotoIntake::decodePhoto(root + "sliver.png");
        QCOMPARE(sliver.size(), QSize(1, 20000));
        const QImage grey = PhotoIntake::decodePhoto(root + "grey.png");
        QCOMPARE(grey.format(), QImage::Format_RGB32);
        QCOMPARE(qRed(grey.pixel(25, 15)), qGreen(grey.pixel(25, 15)));
        const QImage alpha = PhotoIntake::decodePhoto(root + "alpha.png");
        QCOMPARE(alpha.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(qAbs(qAlpha(alpha.pixel(3, 3)) - 100) <= 1);
    }

    void dropSkipsWhatDoesNotDecodeAndKeepsOrder()
    {
        QList<QUrl> urls;
        QStringList expected;
        for (const HostileCorpus::Entry& e : corpus.entries()) {
            urls << QUrl::fromLocalFile(e.path);
            if (e.decodes)
                expected << e.path;
        }
        urls << QUrl("https://example.org/remote.jpg"); // not a local file: empty path
        QStringList received;
        const int count = PhotoIntake::decodeDroppedUrls(
            urls, [&](const QImage&, const QString& path) { received << path; }, false);
        QCOMPARE(received, expected);
        QCOMPARE(count, expected.size());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void dropThatStopsAtFailureKeepsWhatCameBefore()
    {
        const QString root = corpus.folder() + '/';
        const QList<QUrl> urls = {QUrl::fromLocalFile(root + "one.png"),
                                  QUrl::fromLocalFile(root + "notes.png"),
                                  QUrl::fromLocalFile(root + "grey.png")};
        QStringList received;
        const int count = PhotoIntake::decodeDroppedUrls(
            urls, [&](const QImage&, const QString& path) { received << path; }, true);
        QCOMPARE(count, 1);
        QCOMPARE(received, QStringList{root + "one.png"});
    }

    void displayNameIsTheLastPathPiece()
    {
        QCOMPARE(PhotoIntake::displayName("/home/a/b/photo.jpg"), QString("photo.jpg"));
        QCOMPARE(PhotoIntake::displayName("photo.jpg"), QString("photo.jpg"));
        QCOMPARE(PhotoIntake::displayName("/home/a/"), QString());
        QCOMPARE(PhotoIntake::displayName(QString::fromUtf8("/tmp/写真.jpg")), QString::fromUtf8("写真.jpg"));
    }

private:
    HostileCorpus corpus;
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
