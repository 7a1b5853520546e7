#pragma once

#include <QCoreApplication>
#include <QString>

struct JobOptions;
struct RegionSource;
class ProgressLine;

// Writes the joined strip without a window, as one file or in parts, in the format its name's suffix
// says (PNG when it says none we know). Files appear, or replace those of their names, only once all
// are complete, so a failure leaves whatever was there before.
class StripOutput
{
    Q_DECLARE_TR_FUNCTIONS(StripOutput)
public:
    // Returns whether everything was written; on failure reports the reason in the window's words. The
    // progress line shows what came before (done) and the rows written.
    static bool write(const RegionSource& strip, Qt::Orientation direction, const JobOptions& options,
                      ProgressLine& progress, const QString& done);
};
