#include "overlap/overlapfinder.h"
#include "support/scrollcorpus.h"

#include <QtTest>

using namespace ScrollCorpus;
Q_DECLARE_METATYPE(ScrollCorpus::Page)

namespace {

// The frames as the plan joins them, across the strip only where no thumb moves.
QImage joined(const Screens& s, const OverlapPlan& plan)
{
    QVector<QPair<int, int>> spans;
    for (int i = 0; i < s.frames.size(); ++i)
        spans << (plan.duplicates.contains(i) ? qMakePair(0, 0)
                                              : qMakePair(plan.spans[i].start, plan.spans[i].end));
    return joinSpans(s.frames, spans, s.vertical, s.vertical ? s.expected.width() : s.expected.height());
}

Screens screens(Page kind, const QVector<int>& offsets, bool jpeg, int cross = 360)
{
    Screens s =
        kind == Page::Table ? cut(kind, cross, 640, 80, 0, offsets) : cut(kind, cross, 640, 60, 44, offsets);
    for (QImage& frame : s.frames)
        frame = jpeg ? throughJpeg(frame) : frame;
    return s;
}

} // namespace

class TestOverlapFinder : public QObject
{
    Q_OBJECT
private slots:
    void joinsThePage_data()
    {
        QTest::addColumn<Page>("kind");
        QTest::addColumn<double>("overlap");
        QTest::addColumn<bool>("jpeg");
        for (const auto& [name, kind] : {std::pair("text", Page::Text),
                                         {"chat", Page::Chat},
                                         {"photos", Page::Photos},
                                         {"table", Page::Table}})
            for (double overlap : {0.1, 0.5, 0.9})
                for (bool jpeg : {false, true})
                    QTest::addRow("%s %d%% %s", name, int(overlap * 100), jpeg ? "jpeg" : "png")
                        << kind << overlap << jpeg;
    }

    // Every row once, the bars once, whether the page scrolls down or sideways.
    void joinsThePage()
    {
        QFETCH(Page, kind);
        QFETCH(double, overlap);
        QFETCH(bool, jpeg);
        const int viewport = kind == Page::Table ? 560 : 536;
        const Screens s = screens(kind, offsetsForOverlap(viewport, overlap, 4), jpeg);
        const OverlapPlan plan = OverlapFinder::plan(s.frames, s.vertical);
        QVERIFY(plan.apart.isEmpty());
        QVERIFY(plan.duplicates.isEmpty());
        // The thumb is cut off only where neighbours showed it moving, and then all of it.
        QVERIFY(plan.farBand == 0 || plan.farBand == s.thumbBand);
        const Difference d = difference(joined(s, plan), s.expected);
        QVERIFY2(jpeg ? d.mean < 3 && d.worstLine < 35 : d.worstLine == 0,
                 qPrintable(QString::number(d.worstLine)));
    }

    // A phone's screen: the JPEG smears the footer's edge differently in every frame.
    void phoneScreens()
    {
        Screens s = cut(Page::Chat, 1080, 2340, 210, 150, offsetsForOverlap(1980, 0.4, 3));
        for (QImage& frame : s.frames)
            frame = throughJpeg(frame);
        const Difference d = difference(joined(s, OverlapFinder::plan(s.frames, true)), s.expected);
        QVERIFY2(d.mean < 3 && d.worstLine < 35, qPrintable(QString::number(d.worstLine)));
    }

    void neverInvents_data()
    {
        QTest::addColumn<Page>("kind");
        QTest::addColumn<QVector<int>>("offsets");
        QTest::addColumn<int>("secondCross");
        QTest::addColumn<QVector<int>>("apartAfter"); // index of the later photo of each pair apart
        QTest::addColumn<QVector<int>>("duplicates");
        using Ints = QVector<int>;
        QTest::newRow("one pair apart") << Page::Chat << Ints{0, 270, 1500, 1770} << 0 << Ints{2} << Ints{};
        QTest::newRow("captured twice") << Page::Text << Ints{0, 270, 270, 540} << 0 << Ints{} << Ints{2};
        QTest::newRow("only repeats") << Page::RepeatedChat << Ints{0, 270, 540} << 0 << Ints{1, 2} << Ints{};
        QTest::newRow("other cross size") << Page::Text << Ints{0, 270} << 400 << Ints{1} << Ints{};
    }

    // Neighbours that do not continue each other are named and left whole; a repeat is taken out.
    void neverInvents()
    {
        QFETCH(Page, kind);
        QFETCH(QVector<int>, offsets);
        QFETCH(int, secondCross);
        QFETCH(QVector<int>, apartAfter);
        QFETCH(QVector<int>, duplicates);
        for (bool jpeg : {false, true}) {
            Screens s = screens(kind, offsets, jpeg);
            if (secondCross)
                s.frames[1] = screens(kind, offsets, jpeg, secondCross).frames[1];
            const OverlapPlan plan = OverlapFinder::plan(s.frames, s.vertical);
            QVector<int> later;
            for (const auto& pair : plan.apart) {
                later << pair.second;
                QCOMPARE(plan.spans[pair.first].end, 640);
                QCOMPARE(plan.spans[pair.second].start, 0);
            }
            QCOMPARE(later, apartAfter);
            QCOMPARE(plan.duplicates, duplicates);
            if (!duplicates.isEmpty()) {
                const Difference d = difference(joined(s, plan), s.expected);
                QVERIFY(jpeg ? d.mean < 3 && d.worstLine < 35 : d.worstLine == 0);
            }
        }
    }

    void unrelatedPhotosLeaveTheStrip()
    {
        const QVector<QImage> photos = {screens(Page::Text, {0}, false).frames[0],
                                        screens(Page::Photos, {0}, false).frames[0],
                                        page(Page::Text, 360, 640, 9)};
        for (bool vertical : {true, false}) {
            const OverlapPlan plan = OverlapFinder::plan(photos, vertical);
            QVERIFY(!plan.changesStrip());
            QCOMPARE(plan.apart.size(), 2);
        }
    }
};

QTEST_MAIN(TestOverlapFinder)
#include "tst_overlapfinder.moc"
