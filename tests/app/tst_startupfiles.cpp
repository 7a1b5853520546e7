#include "app/startupfiles.h"
#include "app/windowedits.h"
#include "cli/dispatch.h"
#include "project/projectfile.h"
#include "support/filledimage.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QtTest>

// Photos named on the command line reach the window's strip as a drop would bring them.
class TestStartupFiles : public QObject
{
    Q_OBJECT
private slots:
    void photosArriveInOrderAndARefusalIsNamed()
    {
        HostileCorpus corpus; // its giant.png claims 60000 x 60000 pixels
        const QDir dir(corpus.folder());
        QVERIFY(corpus.isValid() && QFileInfo::exists(dir.filePath("giant.png")));
        QVERIFY(filledImage(40, 30, Qt::red).save(dir.filePath("b.png")));
        QVERIFY(filledImage(20, 30, Qt::blue).save(dir.filePath("-a.png")));

        WindowFixture f(true);
        QString message;
        ModalAnswerer answerer;
        answerer.queue([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
            modal->close();
        });
        const Dispatch d = Dispatch::decide({"-platform", "offscreen", dir.filePath("b.png"),
                                             dir.filePath("giant.png"), "--", dir.filePath("-a.png")});
        StartupFiles::open(&f.window, d);
        QVERIFY(waitForIntakes());

        QCOMPARE(WindowEdits::photoNames(f.canvas), (QStringList{"b.png", "-a.png"}));
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        QVERIFY2(message.contains("giant.png") && !message.contains("b.png"), qPrintable(message));

        // A project opens first, whatever its place among the photos.
        const QString project = dir.filePath("kept.seamwright");
        QVERIFY(ProjectFile().save(f.canvas->state(), project));
        WindowFixture g(true);
        StartupFiles::open(&g.window, Dispatch::decide({dir.filePath("b.png"), project}));
        QVERIFY(waitForIntakes());
        QCOMPARE(WindowEdits::photoNames(g.canvas), (QStringList{"b.png", "-a.png", "b.png"}));
    }
};

QTEST_MAIN(TestStartupFiles)
#include "tst_startupfiles.moc"
