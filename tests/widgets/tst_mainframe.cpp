#include "widgets/mainframe.h"

#include <QLayout>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestMainFrame : public QObject
{
    Q_OBJECT
private slots:
    void settingContentTwiceDeletesTheFirst()
    {
        MainFrame frame;
        QPointer<QWidget> first = new QWidget;
        frame.setContentWidget(first);
        QCOMPARE(first->parentWidget(), &frame);
        QCOMPARE(first->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(first->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);

        auto* second = new QWidget;
        frame.setContentWidget(second);
        QVERIFY(first.isNull());
        QCOMPARE(frame.content(), second);
        QCOMPARE(frame.QWidget::layout()->count(), 1);
        QCOMPARE(frame.QWidget::layout()->itemAt(0)->widget(), second);
    }

    void execReturnsOnlyAfterDone()
    {
        MainFrame frame;
        QSignalSpy finished(&frame, &MainFrame::finished);
        bool sawRunning = false;
        // The first turn of the loop must find exec() still waiting.
        QTimer::singleShot(0, &frame, [&] { sawRunning = frame.isVisible() && finished.isEmpty(); });
        QTimer::singleShot(30, &frame, [&] { frame.done(); });
        QCOMPARE(frame.exec(), 0);
        QVERIFY(sawRunning);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!frame.isVisible());
    }

    void hidingDoesNotEndExec()
    {
        MainFrame frame;
        QSignalSpy finished(&frame, &MainFrame::finished);
        bool stillWaitingAfterHide = false;
        QTimer::singleShot(0, &frame, [&] { frame.hide(); });
        QTimer::singleShot(30, &frame, [&] {
            stillWaitingAfterHide = finished.isEmpty();
            emit frame.finished();
        });
        frame.exec();
        QVERIFY(stillWaitingAfterHide);
        QCOMPARE(finished.count(), 1);
    }

    void closeControlEndsExecOnce()
    {
        MainFrame frame;
        QSignalSpy finished(&frame, &MainFrame::finished);
        QTimer::singleShot(0, &frame, [&] { frame.close(); });
        frame.exec();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!frame.isVisible());

        // Closing again outside exec() reports nothing more.
        frame.show();
        frame.close();
        QCOMPARE(finished.count(), 1);
    }

    void destroyingTheFrameReleasesItsCaller()
    {
        auto* frame = new MainFrame;
        QPointer<MainFrame> guard(frame);
        QTimer::singleShot(0, [frame] { delete frame; });
        frame->exec();
        QVERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
