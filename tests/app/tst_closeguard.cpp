#include "app/mainwindow.h"
#include "app/mywindows.h"
#include "support/mainwindowprobe.h"

#include "canvas/stitcherconfig.h"
#include "project/projectfile.h"
#include "support/filedialoganswer.h"
#include "support/filledimage.h"
#include "support/modalanswerer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Presses the question's button that carries this text.
ModalAnswerer::Answer pressText(const QString& text)
{
    return [text](QWidget* modal) {
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
            if (b->text() == text)
                return b->click();
        modal->close();
    };
}

void dragOn(QWidget* host, QPoint from, QPoint by)
{
    QTest::mousePress(host, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, from + by, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(host, &move);
    QTest::mouseRelease(host, Qt::LeftButton, Qt::NoModifier, from + by);
}

} // namespace

class TestCloseGuard : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<MyWindows> top;
    std::unique_ptr<MainWindowProbe> ui;
    std::unique_ptr<ModalAnswerer> answers;
    int exports = 0;

    PainterArea* canvas() const { return ui->canvas(); }
    bool modified() const { return top->isWindowModified(); }

    // Two photos, exported through the real save dialog: the window is then clean.
    void withTwoPhotos()
    {
        canvas()->addImage(filledImage(60, 40, Qt::red), "a.png");
        canvas()->addImage(filledImage(60, 40, Qt::blue), "b.png");
        answers->queue(chooseFileInDialog(dir.filePath(QString("strip%1.png").arg(++exports))));
        QVERIFY(ui->exportStrip());
        QVERIFY(!modified());
    }

private slots:
    // The window offers recovery copies of the data folder at start: the user's stay out of it.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QVERIFY(dir.isValid());
        answers = std::make_unique<ModalAnswerer>();
        top = std::make_unique<MyWindows>();
        ui = std::make_unique<MainWindowProbe>(*top->mainWindow());
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top.get()));
    }
    void cleanup()
    {
        QCOMPARE(answers->pendingCount(), 0);
        top->setWindowModified(false);
        ui.reset();
        top.reset();
        StitcherConfig::instance()->tool = StitcherConfig::NoTool;
    }

    void lookingAroundLeavesTheWindowClean()
    {
        QVERIFY(top->windowTitle().endsWith("[*]"));
        withTwoPhotos();
        ui->zoomSlider->setValue(80);
        ui->onClickFit();
        dragOn(ui->canvasHolder, canvas()->geometry().center(), {30, 0}); // pans
        ui->watermarkEdit->setText("not shown while the watermark is off");
        ui->undoPen();
        QVERIFY(!modified());
        QVERIFY(top->close());
        QCOMPARE(answers->answeredCount(), 1); // the export only
    }

    void closeAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("exportTo"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::newRow("discard") << "Discard" << QString() << true;
        QTest::newRow("cancel") << "Cancel" << QString() << false;
        QTest::newRow("export written") << QString("Export…") << "closing.png" << true;
        QTest::newRow("export cancelled") << "Export…" << QString() << false;
        QTest::newRow("project saved") << QString("Save Project…") << "closing.seamwright" << true;
        QTest::newRow("project cancelled") << "Save Project…" << QString() << false;
        QTest::newRow("export fails") << QString("Export…") << "/proc/no-such-place/closing.png" << false;
    }

    void closeAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QString, exportTo);
        QFETCH(bool, closes);
        withTwoPhotos();
        ui->spacingOuterButton->click();
        QVERIFY(modified());
        const int before = answers->answeredCount();

        answers->queue(pressText(answer));
        const bool exporting = answer.endsWith("…");
        const QString target = exportTo.startsWith('/') ? exportTo : dir.filePath(exportTo);
        if (exporting && exportTo.isEmpty())
            answers->queue(ModalAnswerer::reject());
        else if (exporting)
            answers->queue(chooseFileInDialog(target));
        if (exportTo.startsWith('/'))
            answers->queue(ModalAnswerer::pressButton(QMessageBox::Ok)); // the failure is reported
        QCOMPARE(top->close(), closes);
        QCOMPARE(top->isVisible(), !closes);
        QVERIFY(answers->answeredClasses().mid(before).startsWith("QMessageBox"));
        QCOMPARE(answers->answeredCount() - before, 1 + int(exporting) + int(exportTo.startsWith('/')));
        if (exporting && closes) {
            QVERIFY(!modified());
            StripState kept;
            if (target.endsWith(".seamwright"))
                QCOMPARE(int(ProjectFile().open(target, &kept)), int(ProjectFile::Result::Opened));
            else
                QCOMPARE(QImage(target).size(), canvas()->contentSize());
        } else {
            QCOMPARE(modified(), !closes || answer == "Discard");
        }
    }
};

QTEST_MAIN(TestCloseGuard)
#include "tst_closeguard.moc"
