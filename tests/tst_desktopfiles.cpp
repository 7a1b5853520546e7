#include "cli/dispatch.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The desktop entry, icons, project file type and metainfo as `cmake --install` puts them in place,
// checked by the desktop's own validators.
class TestDesktopFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix;

    static int run(const QString& program, const QStringList& arguments, QString* said)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool ran = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
        *said = QString::fromLocal8Bit(process.readAll());
        return ran ? process.exitCode() : -1;
    }
    QString installed(const QString& path) const { return prefix.filePath("share/" + path); }

private slots:
    void initTestCase()
    {
        QString said;
        QVERIFY2(run(SEAMWRIGHT_CMAKE,
                     {"--install", SEAMWRIGHT_BUILD_DIR, "--component", "desktop", "--prefix", prefix.path()},
                     &said) == 0,
                 qPrintable(said));
    }

    void validatorsPass_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("desktop entry") << QStringList{
            "desktop-file-validate", installed("applications/app.seamwright.Seamwright.desktop")};
        QTest::newRow("metainfo") << QStringList{
            "appstreamcli", "validate", "--no-net",
            installed("metainfo/app.seamwright.Seamwright.metainfo.xml")};
        // The file type database built from our definition alone.
        QTest::newRow("project file type") << QStringList{"update-mime-database", installed("mime")};
    }

    void validatorsPass()
    {
        QFETCH(QStringList, command);
        const QString program = QStandardPaths::findExecutable(command.takeFirst());
        if (program.isEmpty())
            QSKIP("the validator is not installed (scripts/install-deps installs it)");
        QString said;
        QVERIFY2(run(program, command, &said) == 0, qPrintable(said));
        QVERIFY2(!said.contains("warning", Qt::CaseInsensitive), qPrintable(said));
    }

    // The file manager hands the window what the entry claims: photos the readers decode, and projects
    // by the extension the window recognises.
    void entryClaimsWhatTheWindowTakes()
    {
        QFile entry(installed("applications/app.seamwright.Seamwright.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains("\nExec=seamwright %F\n"));
        const QRegularExpression mimeLine("\nMimeType=([^\n]*)\n");
        const QStringList types = mimeLine.match(text).captured(1).split(';', Qt::SkipEmptyParts);
        QVERIFY(types.contains("application/x-seamwright-project"));
        for (const QString& type : types)
            QVERIFY2(type.startsWith("application/") ||
                         QImageReader::supportedMimeTypes().contains(type.toLatin1()),
                     qPrintable(type));

        QFile globs(installed("mime/globs2"));
        if (globs.open(QIODevice::ReadOnly)) {
            QVERIFY(globs.readAll().contains("application/x-seamwright-project:*.seamwright"));
            QVERIFY(Dispatch::isProject("/photos/trip.seamwright"));
        }
    }
};

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
