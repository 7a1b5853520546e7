#pragma once

#include <QCoreApplication>
#include <QString>

struct BandSource;
class ProgressLine;

// Writes a picture as a PNG file without a window: the file appears, or replaces the file of that name,
// only once it is complete, so a failure leaves whatever was there before.
class PngOutput
{
    Q_DECLARE_TR_FUNCTIONS(PngOutput)
public:
    // Returns whether the file was written; on failure reports the reason in the window's words. The
    // progress line shows what came before (done) and the rows written.
    static bool write(const BandSource& picture, const QString& fileName, ProgressLine& progress,
                      const QString& done = QString());
};
