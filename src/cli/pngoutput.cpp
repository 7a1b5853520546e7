#include "cli/pngoutput.h"

#include "cli/progressline.h"
#include "export/stripexport.h"

bool PngOutput::write(const BandSource& picture, const QString& fileName, ProgressLine& progress)
{
    StripExport exporter;
    exporter.setProgress([&progress](int rowsDone, int rowsTotal) {
        progress.show(tr("writing %1%").arg(rowsTotal > 0 ? qint64(rowsDone) * 100 / rowsTotal : 100));
        return true;
    });
    if (exporter.save(picture, fileName) == StripExport::Result::Saved)
        return true;
    progress.report(tr("Could not write \"%1\": %2").arg(fileName, exporter.errorString()));
    return false;
}
