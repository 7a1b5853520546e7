#include "cli/stripoutput.h"

#include "cli/joboptions.h"
#include "cli/progressline.h"
#include "export/cutplanner.h"
#include "export/outputtarget.h"
#include "export/partfiles.h"
#include "export/partsexport.h"
#include "export/stripexport.h"
#include "export/stripsize.h"

#include <QFileInfo>

namespace {

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

ExportFormat StripOutput::formatOf(const JobOptions& options)
{
    ExportFormat format;
    format.kind = ExportFormat::kindOfName(options.output).value_or(ExportFormat::Kind::Png);
    for (ExportFormat::Kind kind :
         {ExportFormat::Kind::Png, ExportFormat::Kind::Jpeg, ExportFormat::Kind::Webp})
        if (options.format == ExportFormat::suffix(kind))
            format.kind = kind;
    format.quality = options.quality;
    return format;
}

bool StripOutput::acceptsTarget(const JobOptions& options, ProgressLine& progress)
{
    const QString& output = options.output;
    const auto refuse = [&progress](const QString& name, const QString& why) {
        progress.report(tr("Could not write \"%1\": %2").arg(name, why));
        return false;
    };
    const auto isInput = [&](const QString& name) {
        const QString input = OutputTarget::inputAmong(name, options.photos);
        if (!input.isEmpty())
            refuse(name, tr("it is the photo \"%1\" given to read; nothing was written.").arg(input));
        return !input.isEmpty();
    };
    if (options.partLength <= 0) {
        if (OutputTarget::kindOf(output) == OutputTarget::Kind::Refused)
            return refuse(output, OutputTarget::refusalText(output));
        return !isInput(output);
    }
    if (OutputTarget::kindOf(output) != OutputTarget::Kind::File)
        return refuse(output,
                      tr("parts are numbered files named after a file, and this is a pipe or a device."));
    for (const QString& part : PartFiles::existingParts(output)) {
        if (OutputTarget::kindOf(part) != OutputTarget::Kind::File)
            return refuse(part, OutputTarget::refusalText(part));
        if (isInput(part))
            return false;
    }
    return true;
}

bool StripOutput::write(const RegionSource& strip, Qt::Orientation direction, const JobOptions& options,
                        ProgressLine& progress, const QString& done, bool mayCutInParts)
{
    const ExportFormat format = formatOf(options);
    const bool toFile = OutputTarget::kindOf(options.output) == OutputTarget::Kind::File;
    const QString objection =
        StripSize::objection(strip.size, toFile ? StripSize::freeBytesFor(options.output) : -1);
    if (!objection.isEmpty()) {
        progress.report(tr("Could not write \"%1\": %2").arg(options.output, objection));
        return false;
    }
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
        if (mayCutInParts && !format.fits(strip.size) && across <= ExportFormat::maxSide(format.kind))
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
    QStringList older;
    for (const QString& part : PartFiles::existingParts(options.output))
        if (!names.contains(part))
            older << part;
    if (!older.isEmpty() && !options.replaceParts) {
        progress.report(tr("Nothing was written: %1 older parts of this name (%2 to %3) would remain beside "
                           "the %4 new ones; --replace-parts removes them.")
                            .arg(older.size())
                            .arg(fileNameOf(older.first()), fileNameOf(older.last()))
                            .arg(ends.size()));
        return false;
    }
    PartFiles::removeOnSignals();
    PartsExport exporter;
    exporter.setFormat(format);
    exporter.setProgress(showRows);
    exporter.setObsolete(older);
    if (exporter.save(strip, direction, ends, names) != PartsExport::Result::Saved) {
        progress.report(exporter.errorString());
        return false;
    }
    progress.show(done + tr("%1 parts written, %2 to %3")
                             .arg(ends.size())
                             .arg(fileNameOf(names.first()), fileNameOf(names.last())),
                  true);
    return true;
}
