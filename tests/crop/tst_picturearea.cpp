#include "crop/picturearea.h"

#include <QtTest>

#include <random>
#include <vector>

using PictureArea::Rect;

namespace {

// A mask drawn in text: '#' covered, '.' empty.
struct DrawnMask
{
    std::vector<unsigned char> bytes;
    PictureArea::Mask mask;

    explicit DrawnMask(const QStringList& rows)
    {
        const int width = rows.isEmpty() ? 0 : rows.first().size();
        for (const QString& row : rows)
            for (const QChar c : row)
                bytes.push_back(c == '#' ? 255 : 0);
        mask = {bytes.data(), width, int(rows.size()), width};
    }
};

// Every rectangle tried: the largest covered area of the mask.
long long bruteForceArea(const PictureArea::Mask& m)
{
    long long best = 0;
    for (int y0 = 0; y0 < m.height; ++y0)
        for (int x0 = 0; x0 < m.width; ++x0)
            for (int y1 = y0; y1 < m.height; ++y1)
                for (int x1 = x0; x1 < m.width; ++x1) {
                    bool full = true;
                    for (int y = y0; y <= y1 && full; ++y)
                        for (int x = x0; x <= x1 && full; ++x)
                            full = m.covered(x, y);
                    if (full)
                        best = std::max(best, (long long)(x1 - x0 + 1) * (y1 - y0 + 1));
                }
    return best;
}

bool holdsOnlyCovered(const PictureArea::Mask& m, const Rect& r)
{
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            if (x < 0 || y < 0 || x >= m.width || y >= m.height || !m.covered(x, y))
                return false;
    return true;
}

// A warped panorama's coverage: a band whose top and bottom edges slope, with holes bitten out.
DrawnMask randomWedges(std::mt19937& random, int width, int height)
{
    QStringList rows;
    std::uniform_int_distribution<int> slope(-3, 3), bite(0, 9);
    const int a = slope(random), b = slope(random);
    for (int y = 0; y < height; ++y) {
        QString row;
        for (int x = 0; x < width; ++x) {
            const int top = height / 4 + a * (x - width / 2) / 4;
            const int bottom = 3 * height / 4 + b * (x - width / 2) / 4;
            row += y >= top && y <= bottom && bite(random) != 0 ? '#' : '.';
        }
        rows << row;
    }
    return DrawnMask(rows);
}

} // namespace

Q_DECLARE_METATYPE(PictureArea::Rect)

class TestPictureArea : public QObject
{
    Q_OBJECT
private slots:
    void findsTheLargestRectangle_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<Rect>("expected");
        QTest::newRow("all covered is the whole") << QStringList{"###", "###"} << Rect{0, 0, 3, 2};
        QTest::newRow("nothing covered") << QStringList{"...", "..."} << Rect{};
        QTest::newRow("one pixel") << QStringList{"...", ".#."} << Rect{1, 1, 1, 1};
        QTest::newRow("wedges at the corners")
            << QStringList{"..####..", ".######.", "########", ".######.", "..####.."} << Rect{2, 0, 4, 5};
        QTest::newRow("tall beats wide")
            << QStringList{"#.##", "#.##", "#...", "#...", "#..."} << Rect{0, 0, 1, 5};
        QTest::newRow("a hole splits the picture")
            << QStringList{"#######", "#######", "###.###", "#######"} << Rect{0, 0, 7, 2};
        QTest::newRow("one empty row") << QStringList{"####", "....", "####", "####"} << Rect{0, 2, 4, 2};
    }

    void findsTheLargestRectangle()
    {
        QFETCH(QStringList, rows);
        QFETCH(Rect, expected);
        const DrawnMask drawn(rows);
        for (const int factor : {1, 2, 3}) {
            const Rect found = PictureArea::largestCovered(drawn.mask, factor);
            QVERIFY2(found == expected, qPrintable(QString("factor %1: %2,%3 %4x%5")
                                                       .arg(factor)
                                                       .arg(found.x)
                                                       .arg(found.y)
                                                       .arg(found.width)
                                                       .arg(found.height)));
        }
        QCOMPARE(PictureArea::allCovered(drawn.mask),
                 expected.area() == drawn.mask.width * drawn.mask.height);
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
            const Rect found = PictureArea::largestCovered(drawn.mask, factor);
            QVERIFY(holdsOnlyCovered(drawn.mask, found));
            QCOMPARE(found.area(), bruteForceArea(drawn.mask));
        }
    }
};

QTEST_APPLESS_MAIN(TestPictureArea)
#include "tst_picturearea.moc"
