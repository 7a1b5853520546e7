#include "settings/appsettings.h"
#include "support/isolatedsettings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

// Each run of the program starts with its own AppSettings, so a run is played by starting this
// executable again with "--read-tips", which prints what two reads in a row answer.
static int readTipsTwice()
{
    AppSettings* settings = AppSettings::instance();
    const bool first = settings->readPanoramaTips();
    const bool second = settings->readPanoramaTips();
    printf("%d %d\n", int(first), int(second));
    return 0;
}

class TestAppSettings : public QObject
{
    Q_OBJECT

    QString runOnce(const QString& storeFolder)
    {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", storeFolder);
        run.setProcessEnvironment(env);
        run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read-tips")});
        if (!run.waitForFinished(30000))
            return QStringLiteral("did not finish");
        return QString::fromLatin1(run.readAllStandardOutput()).trimmed();
    }

    static QString storeFile(const QString& folder) { return folder + "/quillmoor/Seamwright.conf"; }

private slots:
    void eachRunReadsTheStoreOnlyOnce_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("answers");
        QTest::newRow("no key: shown once") << QString() << "0 1";
        QTest::newRow("stored true: never shown") << QString("true") << "1 1";
    }

    void eachRunReadsTheStoreOnlyOnce()
    {
        QFETCH(QString, stored);
        QFETCH(QString, answers);
        QTemporaryDir folder;
        if (!stored.isEmpty()) {
            QSettings store(storeFile(folder.path()), QSettings::NativeFormat);
            store.setValue("editor/PanoramaTips", stored == "true");
        }
        QCOMPARE(runOnce(folder.path()), answers);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--read-tips") == 0) {
        QCoreApplication app(argc, argv);
        return readTipsTwice();
    }
    isolateSettingsStore();
    QCoreApplication app(argc, argv);
    TestAppSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appsettings.moc"
