#include "cli/pngoutput.h"

#include "cli/progressline.h"
#include "export/stripexport.h"

bool PngOutput::write(const BandSource& picture, const QString& fileName, ProgressLine& progress,
                      const QString& done)
{
    StripExport exporter;
    exporter.setProgress([&](int rowsDone, int rowsTotal) {
        const qint64 percent = rowsTotal > 0 ? qint64(rowsDone) * 100 / rowsTotal : 100;
        progress.show(done + tr("%1 of %2 rows written, %3%").arg(rowsDone).arg(rowsTotal).arg(percent));
        return true;
    });
    if (exporter.save(picture, fileName) == StripExport::Result::Saved)
        return true;
    progress.report(tr("Could not write \"%1\": %2").arg(fileName, exporter.errorString()));
    return false;
}
