#include "app/helppage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpPage : public QObject
{
    Q_OBJECT
private slots:
    void installedGuideComesFirst()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/seamwright/help"));
        const QString page = prefix.filePath("share/seamwright/help/index.html");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
        file.close();

        QTemporaryDir extract;
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), extract.path()), QUrl::fromLocalFile(page));
        // Nothing is written out while the installed copy serves.
        QVERIFY(QDir(extract.path()).isEmpty());
    }

    void compiledInGuideIsWrittenOutAndRefreshed()
    {
        QTemporaryDir prefix;
        QTemporaryDir extract;
        const QString target = extract.filePath("help");
        const QUrl url = HelpPage::locate(prefix.filePath("bin"), target);
        QCOMPARE(url, QUrl::fromLocalFile(target + "/index.html"));

        QFile resource(":/help/index.html");
        QVERIFY(resource.open(QIODevice::ReadOnly));
        const QByteArray original = resource.readAll();

        // A stale copy from an older version is replaced, not kept.
        QFile written(url.toLocalFile());
        QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
        written.write("old");
        written.close();
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), url);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), original);
    }
};

QTEST_MAIN(TestHelpPage)
#include "tst_helppage.moc"
