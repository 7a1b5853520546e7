#pragma once

#include "cli/joboptions.h"
#include "cli/progressline.h"

#include <QCoreApplication>

// `seamwright panorama`: the photos stitched by the same engine as the panorama window.
class PanoramaCommand
{
    Q_DECLARE_TR_FUNCTIONS(PanoramaCommand)
public:
    explicit PanoramaCommand(const JobOptions& options);

    // Returns whether the file was written; reports a failure on standard error.
    bool run();

private:
    const JobOptions opts;
    ProgressLine progress;
};
