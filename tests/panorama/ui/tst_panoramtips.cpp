#include "panorama/ui/panoramtips.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

namespace {

bool storedTipsOff()
{
    return QSettings().value("editor/PanoramaTips", false).toBool();
}

QPushButton* knowItButton(QWidget* tips)
{
    for (QPushButton* button : tips->findChildren<QPushButton*>())
        if (button->styleSheet().contains("Know-it"))
            return button;
    return nullptr;
}

// Runs the tips the way the main window does: modal, waiting in exec() until it finishes.
void runTips(const ModalAnswerer::Answer& answer)
{
    PanoramTips tips;
    tips.setWindowFlags(tips.windowFlags() | Qt::Dialog);
    tips.setWindowModality(Qt::ApplicationModal);
    ModalAnswerer answerer;
    answerer.queue(answer);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &tips, &MainFrame::finished);
    giveUp.start(20000);
    tips.exec();
    QVERIFY2(giveUp.isActive(), "exec() did not return after the tips were left");
    QCOMPARE(answerer.answeredCount(), 1);
    QVERIFY(!tips.isVisible());
}

} // namespace

class TestPanoramTips : public QObject
{
    Q_OBJECT
private slots:
    void init() { QSettings().remove("editor/PanoramaTips"); }

    void eachChangeOfTheBoxIsStoredAtOnce()
    {
        PanoramTips tips;
        auto* box = tips.findChild<QCheckBox*>();
        QVERIFY(box);
        QVERIFY(!box->isChecked());
        box->setChecked(true);
        QVERIFY(storedTipsOff());
        box->setChecked(false);
        QVERIFY(!storedTipsOff());
        QVERIFY(QSettings().contains("editor/PanoramaTips"));
    }

    void knowItEndsTheWait()
    {
        runTips([](QWidget* modal) {
            QVERIFY(qobject_cast<PanoramTips*>(modal));
            QPushButton* knowIt = knowItButton(modal);
            QVERIFY(knowIt);
            modal->findChild<QCheckBox*>()->setChecked(true);
            knowIt->click();
        });
        // Leaving with "Know-it" keeps the choice made in the box.
        QVERIFY(storedTipsOff());
    }

    void theWindowsCloseControlEndsTheWaitToo()
    {
        // The close event the window system sends to the window, not a call of done().
        runTips([](QWidget* modal) {
            QVERIFY(modal->windowHandle());
            QCloseEvent close;
            QApplication::sendEvent(modal->windowHandle(), &close);
            QVERIFY(close.isAccepted());
        });
        QVERIFY(!storedTipsOff());
    }
};

SEAMWRIGHT_ISOLATED_TEST_MAIN(TestPanoramTips)
#include "tst_panoramtips.moc"
