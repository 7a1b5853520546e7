#include "app/startupfiles.h"
#include "canvas/paintimage.h"
#include "cli/dispatch.h"
#include "support/filledimage.h"
#include "support/hostilecorpus.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

// Photos named on the command line reach the window's strip as a drop would bring them.
class TestStartupFiles : public QObject
{
    Q_OBJECT
private slots:
    void photosArriveInOrderAndARefusalIsNamed()
    {
        QTemporaryDir dir;
        HostileCorpus corpus;
        QVERIFY(dir.isValid() && corpus.isValid());
        QVERIFY(filledImage(40, 30, Qt::red).save(dir.filePath("b.png")));
        QVERIFY(filledImage(20, 30, Qt::blue).save(dir.filePath("-a.png")));
        const QString giant = QDir(corpus.folder()).filePath("giant.png");
        QVERIFY(QFileInfo::exists(giant));

        WindowFixture f(true);
        QString message;
        ModalAnswerer answerer;
        answerer.queue([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                message = box->text();
            modal->close();
        });
        const Dispatch d = Dispatch::decide(
            {"-platform", "offscreen", dir.filePath("b.png"), giant, "--", dir.filePath("-a.png")});
        StartupFiles::open(&f.window, d);
        QVERIFY(waitForIntakes());

        QStringList names;
        for (const PaintImage* photo : f.canvas->paintImages)
            names << photo->name;
        QCOMPARE(names, (QStringList{"b.png", "-a.png"}));
        QCOMPARE(f.canvas->paintImages[1]->image.pixelColor(5, 5), QColor(Qt::blue));
        QCOMPARE(answerer.answeredClasses(), QStringList{"QMessageBox"});
        QVERIFY2(message.contains("giant.png") && !message.contains("b.png"), qPrintable(message));
    }
};

QTEST_MAIN(TestStartupFiles)
#include "tst_startupfiles.moc"
