#pragma once

#include "export/cutplanner.h"
#include "export/exportformat.h"

#include <QString>

// The export choices remembered from one export, and one run, to the next.
namespace ExportChoices {

// The kind asked for, with the quality and lossless setting last chosen.
ExportFormat format(ExportFormat::Kind kind);
void remember(const ExportFormat& format);

struct Parts
{
    QString folder;
    QString name;
    ExportFormat::Kind kind = ExportFormat::Kind::Png;
    int partLength = CutPlanner::defaultPartLength;
    bool calm = true;
    int sensitivity = CutPlanner::defaultSensitivity;
};
Parts parts();
void remember(const Parts& parts);

} // namespace ExportChoices
