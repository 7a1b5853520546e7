#pragma once

#include "export/exportformat.h"

#include <QCoreApplication>
#include <QString>

struct JobOptions;
struct RegionSource;
class ProgressLine;

// Writes the joined strip or the panorama without a window, as one file or in parts, in the format
// --format or the name's suffix says (PNG when neither does). Files appear, or replace those of their
// names, only once all are complete, so a failure leaves whatever was there before; a pipe or a
// device is written through.
class StripOutput
{
    Q_DECLARE_TR_FUNCTIONS(StripOutput)
public:
    static ExportFormat formatOf(const JobOptions& options);
    // Whether the output may be written, checked before any photo is read: never a device that is not
    // a stream, never one of the photos (through links too). Reports the refusal.
    static bool acceptsTarget(const JobOptions& options, ProgressLine& progress);
    // Returns whether everything was written; on failure reports the reason in the window's words. The
    // progress line shows what came before (done) and the rows written; a command that cannot cut in
    // parts is not told to.
    static bool write(const RegionSource& strip, Qt::Orientation direction, const JobOptions& options,
                      ProgressLine& progress, const QString& done, bool mayCutInParts = true);
};
