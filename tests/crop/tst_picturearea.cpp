#include "crop/picturearea.h"

#include <QtTest>

#include <random>
#include <vector>

namespace {

// A mask drawn in text: '#' covered, '.' empty.
struct DrawnMask
{
    std::vector<unsigned char> bytes;
    PictureArea::Mask mask;

    explicit DrawnMask(const QStringList& rows)
    {
        for (const QString& row : rows)
            for (const QChar c : row)
                bytes.push_back(c == '#' ? 255 : 0);
        const int width = rows.isEmpty() ? 0 : rows.first().size();
        mask = {bytes.data(), width, int(rows.size()), width};
    }
};

QRect qRect(const PictureArea::Rect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

bool allCoveredIn(const PictureArea::Mask& m, const QRect& r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!QRect(0, 0, m.width, m.height).contains(x, y) || !m.covered(x, y))
                return false;
    return true;
}

long long bruteForceArea(const PictureArea::Mask& m)
{
    long long best = 0;
    for (int y0 = 0; y0 < m.height; ++y0)
        for (int x0 = 0; x0 < m.width; ++x0)
            for (int y1 = y0; y1 < m.height; ++y1)
                for (int x1 = x0; x1 < m.width; ++x1)
                    if (allCoveredIn(m, QRect(QPoint(x0, y0), QPoint(x1, y1))))
                        best = std::max(best, (long long)(x1 - x0 + 1) * (y1 - y0 + 1));
    return best;
}

// A warped panorama's coverage: a band whose top and bottom edges slope, with holes bitten out.
DrawnMask randomWedges(std::mt19937& random, int width, int height)
{
    std::uniform_int_distribution<int> slope(-3, 3), bite(0, 9);
    const int a = slope(random), b = slope(random);
    QStringList rows;
    for (int y = 0; y < height; ++y) {
        rows << QString();
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 2;
            rows.last() +=
                y >= height / 4 + a * dx / 4 && y <= 3 * height / 4 + b * dx / 4 && bite(random) ? '#' : '.';
        }
    }
    return DrawnMask(rows);
}

} // namespace

class TestPictureArea : public QObject
{
    Q_OBJECT
private slots:
    void findsTheLargestRectangle_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("all covered is the whole") << QStringList{"###", "###"} << QRect(0, 0, 3, 2);
        QTest::newRow("nothing covered") << QStringList{"...", "..."} << QRect();
        QTest::newRow("wedges at the corners")
            << QStringList{"..####..", ".######.", "########", ".######.", "..####.."} << QRect(2, 0, 4, 5);
        QTest::newRow("tall beats wide")
            << QStringList{"#.##", "#.##", "#...", "#...", "#..."} << QRect(0, 0, 1, 5);
        QTest::newRow("a hole splits the picture")
            << QStringList{"#######", "#######", "###.###", "#######"} << QRect(0, 0, 7, 2);
    }

    void findsTheLargestRectangle()
    {
        QFETCH(QStringList, rows);
        QFETCH(QRect, expected);
        const DrawnMask drawn(rows);
        for (const int factor : {1, 2, 3})
            QCOMPARE(qRect(PictureArea::largestCovered(drawn.mask, factor)), expected);
        QCOMPARE(PictureArea::allCovered(drawn.mask),
                 expected.size() == QSize(drawn.mask.width, drawn.mask.height));
    }

    // The reduced first pass must never cost the exact answer, whatever the factor and the mask's size
    // against it.
    void reducedSearchStaysExact_data()
    {
        QTest::addColumn<int>("factor");
        for (const int factor : {0, 1, 2, 3, 4, 7})
            QTest::addRow("factor %d", factor) << factor;
    }

    void reducedSearchStaysExact()
    {
        QFETCH(int, factor);
        std::mt19937 random(2026 + factor);
        std::uniform_int_distribution<int> side(5, 23);
        for (int trial = 0; trial < 60; ++trial) {
            const DrawnMask drawn = randomWedges(random, side(random), side(random));
            const QRect found = qRect(PictureArea::largestCovered(drawn.mask, factor));
            QVERIFY(found.isEmpty() || allCoveredIn(drawn.mask, found));
            QCOMPARE((long long)found.width() * found.height(), bruteForceArea(drawn.mask));
        }
    }
};

QTEST_APPLESS_MAIN(TestPictureArea)
#include "tst_picturearea.moc"
