#include "history/striphistory.h"

#include <QUndoStack>
#include <QtTest>

// The history's steps over plain states, without a canvas: which edits join one step and which do not.
class TestStripHistory : public QObject
{
    Q_OBJECT

    static StripState withCut(double cut)
    {
        StripState s;
        s.layout.cutLeft = cut;
        return s;
    }

private slots:
    void stepsJoinOnlyWithinOneGesture_data()
    {
        QTest::addColumn<QList<quint64>>("keys");
        QTest::addColumn<bool>("undoAfterFirst");
        QTest::addColumn<int>("steps");
        QTest::newRow("a drag is one step") << QList<quint64>{7, 7, 7} << false << 1;
        QTest::newRow("two drags are two") << QList<quint64>{7, 7, 8} << false << 2;
        QTest::newRow("unkeyed edits never join") << QList<quint64>{0, 0, 0} << false << 3;
        QTest::newRow("no joining a step undone and redone") << QList<quint64>{7, 7} << true << 2;
    }
    void stepsJoinOnlyWithinOneGesture()
    {
        QFETCH(QList<quint64>, keys);
        QFETCH(bool, undoAfterFirst);
        QFETCH(int, steps);
        StripState shown;
        StripHistory history(withCut(0), [&shown](const StripState& s) { shown = s; });
        for (int i = 0; i < keys.size(); ++i) {
            history.record(withCut(i), withCut(i + 1), "Trim", keys[i]);
            if (i == 0 && undoAfterFirst) {
                history.stack()->undo();
                history.stack()->redo();
            }
        }
        QCOMPARE(history.stack()->count(), steps);
        QCOMPARE(history.current(), withCut(keys.size()));
        while (history.stack()->canUndo())
            history.stack()->undo();
        QCOMPARE(shown, withCut(0));
        QCOMPARE(history.current(), withCut(0));
    }
};

QTEST_MAIN(TestStripHistory)
#include "tst_striphistory.moc"
