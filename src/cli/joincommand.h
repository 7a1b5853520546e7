#pragma once

#include "cli/joboptions.h"
#include "cli/progressline.h"

#include <QCoreApplication>
#include <QImage>
#include <QList>

class PainterArea;

// `seamwright join`: the photos decoded as the window decodes them, laid out and painted by the window's
// canvas (never shown), and written as the export writes.
class JoinCommand
{
    Q_DECLARE_TR_FUNCTIONS(JoinCommand)
public:
    explicit JoinCommand(const JobOptions& options);

    // Returns whether the file was written; reports a failure on standard error.
    bool run();

private:
    // The photos in order, decoded by the window's background intake within its memory budget.
    bool decodePhotos(QList<QImage>& images);
    // Trims where each photo continues the one before; names the neighbours that do not.
    void joinOverlaps(PainterArea& canvas);

    const JobOptions opts;
    ProgressLine progress;
};
