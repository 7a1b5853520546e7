#pragma once

#include "export/regionsource.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <functional>

// Where a strip is cut into parts of at most a given length: with calm cuts, each cut moves back from
// the length to the nearest line across the strip (a row of a vertical strip, a column of a horizontal
// one) whose pixels all lie within a tolerance of each other, so that no drawing or line of text is cut
// in two.
class CutPlanner
{
    Q_DECLARE_TR_FUNCTIONS(CutPlanner)
public:
    static constexpr int defaultPartLength = 5000;
    static constexpr int defaultSensitivity = 90;
    // The most pixels painted at once while looking for a calm line.
    static constexpr qint64 bandPixels = qint64(1) << 22;

    struct Options
    {
        Qt::Orientation direction = Qt::Vertical; // the way the strip runs
        int partLength = defaultPartLength;
        bool calm = true;
        int sensitivity = defaultSensitivity; // 0 cuts exactly at the length, 100 only in one colour
    };

    // Returning false cancels.
    using KeepGoing = std::function<bool()>;

    // The largest difference of one colour channel allowed within a calm line.
    static int tolerance(int sensitivity);
    // Whether line `index` of an RGB32 image is calm: a row when `line` is Qt::Horizontal, a column
    // when it is Qt::Vertical.
    static bool isCalm(const QImage& image, Qt::Orientation line, int index, int tolerance);
    // The lines the search looks at before a cut that is not calm falls back to the length.
    static int searchLength(int partLength) { return partLength / 4; }

    void setKeepGoing(KeepGoing callback) { keepGoing = std::move(callback); }

    // The end of each part along the strip, the last one the strip's length; empty when cancelled or
    // the strip cannot be painted (errorString() then says why).
    QVector<int> plan(const RegionSource& strip, const Options& options);

    bool wasCancelled() const { return cancelled; }
    QString errorString() const { return error; }

private:
    // The end after the calm line nearest before limit, looking no further back than earliest; limit
    // when there is none, -1 when cancelled or the strip cannot be painted.
    int calmEnd(const RegionSource& strip, Qt::Orientation direction, int limit, int earliest, int tolerance);

    KeepGoing keepGoing;
    bool cancelled = false;
    QString error;
};
