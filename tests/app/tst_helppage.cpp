#include "app/helppage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
} // namespace

class TestHelpPage : public QObject
{
    Q_OBJECT
private slots:
    void installedGuideComesFirst()
    {
        QTemporaryDir prefix, extract;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/seamwright/help"));
        const QString page = prefix.filePath("share/seamwright/help/index.html");
        QVERIFY(writeFile(page, "<html></html>"));
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), extract.path()), QUrl::fromLocalFile(page));
        QVERIFY(QDir(extract.path()).isEmpty()); // nothing written out while the installed copy serves
    }

    // Without an installed guide the compiled-in one is written out, and a stale copy is replaced.
    void compiledInGuideIsWrittenOutAndRefreshed()
    {
        QTemporaryDir prefix, extract;
        const QString target = extract.filePath("help");
        const QUrl url = HelpPage::locate(prefix.filePath("bin"), target);
        QCOMPARE(url, QUrl::fromLocalFile(target + "/index.html"));
        QFile resource(":/help/index.html");
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(url.toLocalFile(), "old"));
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), url);
        QFile written(url.toLocalFile());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), resource.readAll());
    }
};

QTEST_MAIN(TestHelpPage)
#include "tst_helppage.moc"
