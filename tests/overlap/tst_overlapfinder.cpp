#include "overlap/overlapfinder.h"
#include "support/scrollcorpus.h"

#include <QPainter>
#include <QtTest>

using namespace ScrollCorpus;
Q_DECLARE_METATYPE(ScrollCorpus::Page)

namespace {

// The frames as the plan joins them, without the duplicates, across the strip only where no thumb moves.
QImage joined(const Screens& s, const OverlapPlan& plan)
{
    const int cross = (s.vertical ? s.frames[0].width() : s.frames[0].height()) - s.thumbBand;
    int length = 0;
    for (int i = 0; i < s.frames.size(); ++i)
        length += plan.duplicates.contains(i) ? 0 : plan.spans[i].end - plan.spans[i].start;
    QImage out(s.vertical ? QSize(cross, length) : QSize(length, cross), QImage::Format_RGB32);
    QPainter p(&out);
    int at = 0;
    for (int i = 0; i < s.frames.size(); ++i) {
        if (plan.duplicates.contains(i))
            continue;
        const int n = plan.spans[i].end - plan.spans[i].start;
        p.drawImage(s.vertical ? QPoint(0, at) : QPoint(at, 0),
                    s.frames[i].copy(s.vertical ? QRect(0, plan.spans[i].start, cross, n)
                                                : QRect(plan.spans[i].start, 0, n, cross)));
        at += n;
    }
    return out;
}

Screens screens(Page kind, const QVector<int>& offsets, bool jpeg, int cross = 360)
{
    Screens s =
        kind == Page::Table ? cut(kind, cross, 640, 80, 0, offsets) : cut(kind, cross, 640, 60, 44, offsets);
    if (jpeg) {
        for (QImage& frame : s.frames)
            frame = throughJpeg(frame);
    }
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
        const struct
        {
            const char* name;
            Page kind;
        } pages[] = {
            {"text", Page::Text}, {"chat", Page::Chat}, {"photos", Page::Photos}, {"table", Page::Table}};
        for (const auto& page : pages) {
            for (double overlap : {0.1, 0.5, 0.9}) {
                for (bool jpeg : {false, true})
                    QTest::addRow("%s %d%% %s", page.name, int(overlap * 100), jpeg ? "jpeg" : "png")
                        << page.kind << overlap << jpeg;
            }
        }
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
        QVERIFY2(jpeg ? d.mean < 3 : d.worstLine == 0, qPrintable(QString::number(d.mean)));
    }

    void neverInvents_data()
    {
        QTest::addColumn<Page>("kind");
        QTest::addColumn<QVector<int>>("offsets");
        QTest::addColumn<int>("secondCross");
        QTest::addColumn<QVector<int>>("apartAfter"); // index of the later photo of each pair apart
        QTest::addColumn<QVector<int>>("duplicates");
        QTest::newRow("one pair apart")
            << Page::Chat << QVector<int>{0, 270, 1500, 1770} << 0 << QVector<int>{2} << QVector<int>{};
        QTest::newRow("captured twice")
            << Page::Text << QVector<int>{0, 270, 270, 540} << 0 << QVector<int>{} << QVector<int>{2};
        QTest::newRow("only repeats")
            << Page::RepeatedChat << QVector<int>{0, 270, 540} << 0 << QVector<int>{1, 2} << QVector<int>{};
        QTest::newRow("other cross size")
            << Page::Text << QVector<int>{0, 270} << 400 << QVector<int>{1} << QVector<int>{};
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
                QVERIFY(jpeg ? d.mean < 3 : d.worstLine == 0);
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
