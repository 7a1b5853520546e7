#include "app/recoverycontrols.h"
#include "app/windowedits.h"
#include "project/recoverystore.h"
#include "settings/appsettings.h"
#include "support/filledimage.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <iostream>

namespace {

QByteArray pixelHash(PainterArea* canvas)
{
    const QImage image = canvas->renderImage();
    return QCryptographicHash::hash(QByteArray::fromRawData(reinterpret_cast<const char*>(image.constBits()),
                                                            int(image.sizeInBytes())),
                                    QCryptographicHash::Sha1)
        .toHex();
}

// A strip with every kind of edit, made through the window.
void editStrip(WindowFixture& f)
{
    f.addPhotos({{60, 40}, {40, 60}}, Qt::darkCyan);
    f.ui.onPanoramaDone(filledImage(90, 30, Qt::darkRed));
    WindowEdits::dragEdge(f.canvas, f.canvas->paintImages[1]->rightButton, {12, 0});
    f.ui.spacingAllButton->click();
    StitcherConfig::instance()->shape = Annotation::Rectangle;
    WindowEdits::stroke(f.canvas, StitcherConfig::DrawTool, {10, 10}, {20, 15}, 1);
    f.ui.watermarkEdit->setText("Quillmoor");
    f.ui.watermarkBottomButton->click();
}

int copies()
{
    return QDir(RecoveryStore::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

// The child: edits a strip, says its pixels once the recovery copy is written, and waits to be killed.
int editAndWait()
{
    WindowFixture f;
    QObject::connect(f.ui.window.recovery()->store(), &RecoveryStore::written, [&f](qint64, bool ok) {
        std::cout << (ok ? pixelHash(f.canvas).constData() : "failed") << std::endl;
    });
    editStrip(f);
    return QApplication::exec();
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private slots:
    void init() { QDir(RecoveryStore::rootFolder()).removeRecursively(); }

    void aKilledProcessLeavesAStripThatComesBack()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--edit-and-wait"});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        const QByteArray hash = child.readLine().trimmed();
        QCOMPARE(hash.size(), 40);
        // The copy of a process still running is not taken.
        QCOMPARE(copies(), 1);
        QVERIFY(RecoveryStore::leftovers().isEmpty());
        child.kill(); // SIGKILL: nothing of the child's runs any more
        QVERIFY(child.waitForFinished());

        WindowFixture f;
        ModalAnswerer answerer;
        QString asked;
        answerer.queue([&asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            asked = box->text();
            box->buttons().at(0)->click(); // Restore
        });
        f.ui.window.recovery()->offerLeftovers();
        QVERIFY2(asked.startsWith("Restore the strip you were working on at "), qPrintable(asked));
        QCOMPARE(f.canvas->paintImages.size(), 3);
        QCOMPARE(pixelHash(f.canvas), hash);
        QVERIFY(f.window.isWindowModified());
        QCOMPARE(copies(), 0); // taken
    }

    void theCopyGoesWhenTheStripIsKeptOrEmptied_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("clear") << "clear";
        QTest::newRow("clean close") << "close";
    }
    void theCopyGoesWhenTheStripIsKeptOrEmptied()
    {
        QFETCH(QString, how);
        auto f = std::make_unique<WindowFixture>();
        editStrip(*f);
        QSignalSpy written(f->ui.window.recovery()->store(), &RecoveryStore::written);
        QVERIFY(written.wait(RecoveryControls::writeDelay + 5000));
        QCOMPARE(copies(), 1);
        if (how == "clear")
            f->topBar(WindowFixture::Clear)->click();
        else
            f.reset();
        QTRY_COMPARE(copies(), 0);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // A data folder of its own, so that no other suite's window is offered these copies: named after
    // the settings have named the application.
    AppSettings::instance();
    QCoreApplication::setApplicationName("seamwright-recovery-test");
    QStandardPaths::setTestModeEnabled(true);
    if (argc > 1 && qstrcmp(argv[1], "--edit-and-wait") == 0)
        return editAndWait();
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
