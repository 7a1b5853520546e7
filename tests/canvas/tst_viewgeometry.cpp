#include "canvas/viewgeometry.h"

#include <QtTest>

// Where the canvas sits in its view and how wheel and keys move it, without a window.
class TestViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void placesAndScrolls()
    {
        const ViewGeometry strip(false, QSize(3000, 900), QSize(1000, 600));
        const QPoint at(-500, -100);
        const struct
        {
            const char* name;
            QPoint got;
            QPoint expected;
        } cases[] = {
            {"shorter: centred both ways",
             ViewGeometry(false, {400, 200}, {1000, 600}).clamped({-50, 7}),
             {300, 200}},
            {"never past the start", strip.clamped({30, -100}), {0, -100}},
            {"never past the end, nor under a bar", strip.clamped({-2500, -400}), {-2006, -306}},
            {"Shift turns the wheel across", strip.wheeled(at, {0, 120}, {}, true), {-500, -40}},
            {"sideways wheel goes across", strip.wheeled(at, {-240, 0}, {}, false), {-500, -220}},
            {"touchpad pixels as they come", strip.wheeled(at, {0, -120}, {0, -7}, false), {-507, -100}},
            {"vertical strip: down it",
             ViewGeometry(true, {900, 3000}, {600, 1000}).wheeled(at.transposed(), {0, -120}, {}, false),
             {-100, -560}},
            {"End", *strip.keyed(at, Qt::Key_End), {-2006, -100}},
            {"Home", *strip.keyed(at, Qt::Key_Home), {0, -100}},
            {"a photo past the end comes in", strip.revealing({0, 0}, 2500, 2800), {-1806, 0}},
            {"a photo in view stays put", strip.revealing(at, 600, 900), at},
            {"a photo longer than the view shows its start", strip.revealing({0, 0}, 1200, 2500), {-1200, 0}},
        };
        for (const auto& c : cases)
            QVERIFY2(c.got == c.expected,
                     qPrintable(QString("%1: %2,%3").arg(c.name).arg(c.got.x()).arg(c.got.y())));
        QVERIFY(!strip.keyed(at, Qt::Key_A));
    }
};

QTEST_APPLESS_MAIN(TestViewGeometry)
#include "tst_viewgeometry.moc"
