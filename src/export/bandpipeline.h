#pragma once

#include "export/bandsource.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

class BandConsumer;

// Paints a picture band by band on the calling thread and hands the bands to a consumer, whose work on
// them runs on all cores. At most a few bands are in flight at once, so memory stays bounded whatever
// the picture's size.
class BandPipeline
{
    Q_DECLARE_TR_FUNCTIONS(BandPipeline)
public:
    // Called on the calling thread with the rows finished so far, after bands and at least every tenth
    // of a second while waiting; returning false cancels.
    using Progress = std::function<bool(int rowsDone, int rowsTotal)>;

    // 0 uses one thread per processor core.
    void setThreadCount(int count) { threadCount = count; }
    // 0 sizes the bands by their byte count.
    void setBandRows(int rows) { bandRows = rows; }
    void setProgress(Progress callback) { progress = std::move(callback); }

    bool run(const BandSource& source, BandConsumer& consumer);

    bool wasCancelled() const { return cancelled; }
    QString errorString() const { return error; }

    // The rows of a band for a picture that wide when the caller does not say.
    static int rowsPerBand(int width);

private:
    int threadCount = 0;
    int bandRows = 0;
    Progress progress;
    bool cancelled = false;
    QString error;
};
