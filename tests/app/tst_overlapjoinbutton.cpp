#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "support/modalanswerer.h"
#include "support/scrollcorpus.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QtTest>

using namespace ScrollCorpus;

class TestOverlapJoinButton : public QObject
{
    Q_OBJECT
private slots:
    // The key joins the strip; the message names the pair apart and the repeat taken out; the arrows
    // then trim the result like any other trim, and the strip still renders.
    void joinsAndTheArrowsAdjust()
    {
        WindowFixture f(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const Screens s = cut(Page::Chat, 360, 640, 60, 40, {0, 270, 270, 1500});
        for (int i = 0; i < s.frames.size(); ++i)
            f.canvas->appendPhoto(s.frames[i], QStringLiteral("shot-0%1.png").arg(i + 1));
        f.ui.verticalButton->click();

        ModalAnswerer answerer;
        QString said;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
        QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_J));
        QTRY_COMPARE(answerer.answeredCount(), 1);
        QVERIFY2(said.contains("shot-02.png and shot-04.png") && said.contains("shot-03.png"),
                 qPrintable(said));
        QCOMPARE(f.canvas->paintImages.size(), 3);

        // The joined run as the page, then the photo apart whole.
        const QImage page = cut(Page::Chat, 360, 640, 60, 40, {0, 270}).expected;
        const QImage strip = f.canvas->renderImage();
        QCOMPARE(strip.height(), page.height() + 640);
        QVERIFY(strip.width() >= page.width());
        QCOMPARE(difference(strip.copy(0, 0, page.width(), page.height()), page).worstLine, 0.0);
        QCOMPARE(difference(strip.copy(0, page.height(), page.width(), 640),
                            s.frames[3].copy(0, 0, page.width(), 640))
                     .worstLine,
                 0.0);

        f.ui.cutInnerButton->click();
        PaintImage* second = f.canvas->paintImages[1];
        const double top = second->cropTop;
        const int height = f.canvas->contentSize().height();
        second->topButton->click();
        QVERIFY(f.canvas->nudgeArmedEdge(Qt::Key_Down, 10));
        QCOMPARE(second->cropTop, top + 10);
        QCOMPARE(f.canvas->contentSize().height(), height - 10);
        QCOMPARE(f.canvas->renderImage().height(), height - 10);

        // The trim is one step back, and the join, the repeat it took out included, one more.
        second->topButton->click();
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QCOMPARE(f.canvas->contentSize().height(), height);
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QCOMPARE(f.canvas->paintImages.size(), 4);
        QCOMPARE(f.canvas->contentSize().height(), 4 * 640);
    }
};

QTEST_MAIN(TestOverlapJoinButton)
#include "tst_overlapjoinbutton.moc"
