#include "support/scrollcorpus.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace ScrollCorpus;

class TestOverlapJoin : public QObject
{
    Q_OBJECT
private slots:
    void messagesAndStatus_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("png") << "png";
        QTest::newRow("jpeg") << "jpg";
    }

    // One line for the pair apart and one for the repeat; the file is the pages joined; a photo that
    // cannot be read still fails as without the option.
    void messagesAndStatus()
    {
        QFETCH(QString, suffix);
        QTemporaryDir dir;
        const Screens s = cut(Page::Text, 360, 640, 60, 40, {0, 270, 270, 1500, 1770});
        QStringList arguments{"join", "--vertical", "--overlap", "-o", dir.filePath("out.png")};
        for (int i = 0; i < s.frames.size(); ++i) {
            arguments << dir.filePath(QStringLiteral("shot-0%1.%2").arg(i + 1).arg(suffix));
            QVERIFY(s.frames[i].save(arguments.last(), nullptr, 85));
        }
        QProcess process;
        process.start(SEAMWRIGHT_EXECUTABLE, arguments);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(
            QString::fromLocal8Bit(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts),
            QStringList({QStringLiteral("seamwright: shot-02.%1 and shot-04.%1 do not overlap; joined edge "
                                        "to edge")
                             .arg(suffix),
                         QStringLiteral("seamwright: shot-03.%1 repeats the photo before it; left out")
                             .arg(suffix)}));

        const QImage first = cut(Page::Text, 360, 640, 60, 40, {0, 270}).expected;
        const QImage second = cut(Page::Text, 360, 640, 60, 40, {1500, 1770}).expected;
        const QImage out(dir.filePath("out.png"));
        QCOMPARE(out.height(), first.height() + second.height());
        const Difference a = difference(out.copy(0, 0, first.width(), first.height()), first);
        const Difference b = difference(out.copy(0, first.height(), first.width(), second.height()), second);
        QVERIFY(suffix == "png" ? a.worstLine + b.worstLine == 0
                                : std::max(a.mean, b.mean) < 3 && std::max(a.worstLine, b.worstLine) < 35);

        process.start(SEAMWRIGHT_EXECUTABLE, arguments << dir.filePath("missing.png"));
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 1);
    }
};

QTEST_MAIN(TestOverlapJoin)
#include "tst_overlapjoin.moc"
