
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The desktop entry, icons, project file type and metainfo as `cmake --install` puts them in place,
// checked by the desktop's own validators.
class TestDesktopFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix;

    QString installed(const QString& path) const { return prefix.filePath("share/" + path); }
    // The exit status; what the program printed goes to *said.
    static int run(QStringList command, QString* said)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(command.takeFirst(), command);
        process.waitForFinished(120000);
        *said = QString::fromLocal8Bit(process.readAll());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QString said;
        QVERIFY2(run({SEAMWRIGHT_CMAKE, "--install", SEAMWRIGHT_BUILD_DIR, "--component", "desktop",
                      "--prefix", prefix.path()},
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
        command[0] = QStandardPaths::findExecutable(command[0]);
        if (command[0].isEmpty())
            QSKIP("the validator is not installed (scripts/install-deps installs it)");
        QString said;
        QVERIFY2(run(command, &said) == 0 && !said.contains("warning", Qt::CaseInsensitive),
                 qPrintable(said));
    }

    // A file manager hands the window the files it opens, projects among them.
    void entryTakesFiles()
    {
        QFile entry(installed("applications/app.seamwright.Seamwright.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.contains("\nExec=seamwright %F\n"));
        QVERIFY(QRegularExpression("\nMimeType=.*application/x-seamwright-project;").match(text).hasMatch());
    }
};

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
