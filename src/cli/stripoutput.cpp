#include "cli/stripoutput.h"

#include "cli/joboptions.h"
#include "cli/progressline.h"
#include "export/cutplanner.h"
#include "export/partfiles.h"
#include "export/partsexport.h"
#include "export/stripexport.h"

#include <QFileInfo>

bool StripOutput::write(const RegionSource& strip, Qt::Orientation direction, const JobOptions& options,
                        ProgressLine& progress, const QString& done)
{
    ExportFormat format;
    format.kind = ExportFormat::kindOfName(options.output).value_or(ExportFormat::Kind::Png);
    format.quality = options.quality;
    const auto showRows = [&](int rowsDone, int rowsTotal) {
        const qint64 percent = rowsTotal > 0 ? qint64(rowsDone) * 100 / rowsTotal : 100;
        progress.show(done + tr("%1 of %2 rows written, %3%").arg(rowsDone).arg(rowsTotal).arg(percent));
        return true;
    };

    if (options.partLength <= 0) {
        StripExport exporter;
        exporter.setFormat(format);
        exporter.setProgress(showRows);
        if (exporter.save(strip.bandsOf(QRect(QPoint(), strip.size)), options.output) ==
            StripExport::Result::Saved)
            return true;
        QString why = exporter.errorString();
        const int across = direction == Qt::Vertical ? strip.size.width() : strip.size.height();
        if (!format.fits(strip.size) && across <= ExportFormat::maxSide(format.kind))
            why += tr(" Write it in parts with --parts %1.").arg(ExportFormat::maxSide(format.kind));
        progress.report(tr("Could not write \"%1\": %2").arg(options.output, why));
        return false;
    }

    progress.show(done + tr("finding the cuts"));
    CutPlanner planner;
    const QVector<int> ends =
        planner.plan(strip, {direction, options.partLength, options.calm > 0, options.calm});
    if (ends.isEmpty()) {
        progress.report(tr("Could not write \"%1\": %2").arg(options.output, planner.errorString()));
        return false;
    }
    const QStringList names = PartFiles::numberedNames(options.output, ends.size());
    PartsExport exporter;
    exporter.setFormat(format);
    exporter.setProgress(showRows);
    if (exporter.save(strip, direction, ends, names) != PartsExport::Result::Saved) {
        progress.report(exporter.errorString());
        return false;
    }
    progress.show(done + tr("%1 parts written, %2 to %3")
                             .arg(ends.size())
                             .arg(QFileInfo(names.first()).fileName(), QFileInfo(names.last()).fileName()),
                  true);
    return true;
}
