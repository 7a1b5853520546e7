#include "cli/joincommand.h"

#include "canvas/geometry.h"
#include "canvas/overlapjoin.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "cli/stripoutput.h"
#include "export/bandpipeline.h"
#include "export/regionsource.h"
#include "intake/intake.h"
#include "intake/photointake.h"

#include <QEventLoop>

JoinCommand::JoinCommand(const JobOptions& options) : opts(options), progress(options.quiet) {}

bool JoinCommand::decodePhotos(QList<QImage>& images)
{
    Intake intake;
    QEventLoop loop;
    QObject::connect(&intake, &Intake::photoReady, &loop, [&](const QImage& image) { images.append(image); });
    QObject::connect(&intake, &Intake::progressed, &loop, [&](int handled, int total) {
        // Photos arrive in order: one handled but not handed over means nothing will be written.
        if (handled > images.size())
            intake.cancel();
        else
            progress.show(tr("%1 of %2 photos decoded").arg(handled).arg(total));
    });
    QObject::connect(&intake, &Intake::finished, &loop, &QEventLoop::quit);
    intake.start(opts.photos);
    if (!intake.isFinished())
        loop.exec();
    if (images.size() == opts.photos.size())
        return true;

    const int failed = int(images.size());
    const QString missing = opts.photos.at(failed);
    for (const Intake::Refusal& refusal : intake.refused()) {
        if (refusal.path != missing)
            continue;
        const QString name = PhotoIntake::displayName(missing);
        if (refusal.reason == Intake::Reason::TooLarge) {
            progress.report(
                tr("Nothing was written: photo %1 of %2, \"%3\", is too large to open (%4 × %5 pixels).")
                    .arg(failed + 1)
                    .arg(opts.photos.size())
                    .arg(name)
                    .arg(refusal.size.width())
                    .arg(refusal.size.height()));
            return false;
        }
        // The photos before it fitted: the blame is the whole list's, and every place the same photo
        // comes again is named.
        QStringList positions;
        for (int i = failed; i < opts.photos.size(); ++i)
            if (opts.photos.at(i) == missing)
                positions << QString::number(i + 1);
        const QString where = positions.size() == 1
                                  ? tr("position %1").arg(positions.first())
                                  : tr("positions %1").arg(positions.join(QStringLiteral(", ")));
        const QString photo = tr("\"%1\" (%2 × %3 pixels) at %4")
                                  .arg(name)
                                  .arg(refusal.size.width())
                                  .arg(refusal.size.height())
                                  .arg(where);
        progress.report(failed == 0
                            ? tr("Nothing was written: not enough memory for %1.").arg(photo)
                            : tr("Nothing was written: not enough memory for all %1 photos together; %2 did "
                                 "not fit beside the %3 before it.")
                                  .arg(opts.photos.size())
                                  .arg(photo)
                                  .arg(failed));
        return false;
    }
    progress.report(tr("The photo \"%1\" cannot be opened.").arg(missing));
    return false;
}

void JoinCommand::joinOverlaps(PainterArea& canvas)
{
    const OverlapJoin join(canvas);
    for (const auto& pair : join.apartNames())
        progress.report(tr("%1 and %2 do not overlap; joined edge to edge").arg(pair.first, pair.second));
    for (const QString& name : join.duplicateNames())
        progress.report(tr("%1 repeats the photo before it; left out").arg(name));
    join.apply(canvas);
}

bool JoinCommand::run()
{
    if (!StripOutput::acceptsTarget(opts, progress))
        return false;
    QList<QImage> images;
    if (!decodePhotos(images))
        return false;

    StitcherConfig* config = StitcherConfig::instance();
    config->tool = StitcherConfig::NoTool;
    config->spacingColor = opts.spacingColor;
    if (!opts.watermarkText.isEmpty()) {
        config->watermarkText = opts.watermarkText;
        config->watermarkMode =
            opts.watermarkMode == JobOptions::WatermarkMode::Tile ? Watermark::Tile : Watermark::Bottom;
        config->watermarkOpacity = opts.watermarkOpacity;
        config->watermarkSize = opts.watermarkSize;
        config->watermarkSpacing = opts.watermarkSpacing;
        config->watermarkColor = opts.watermarkColor;
    }

    PainterArea canvas;
    for (int i = 0; i < opts.photos.size(); ++i)
        canvas.addImage(images.at(i), PhotoIntake::displayName(opts.photos.at(i)));
    images.clear(); // the canvas shares the pixels
    const bool vertical = opts.direction == JobOptions::Direction::Vertical;
    canvas.setDirection(vertical ? Geometry::Vertical : Geometry::Horizontal);
    if (opts.commonSize > 0) {
        if (vertical)
            canvas.setPaintWidth(opts.commonSize);
        else
            canvas.setPaintHeight(opts.commonSize);
    }
    if (opts.overlap)
        joinOverlaps(canvas);

    int spacingMode = 0;
    if (opts.inner >= 0)
        spacingMode |= Geometry::SpacingInnerBit;
    if (opts.outer >= 0)
        spacingMode |= Geometry::SpacingOuterBit;
    canvas.setSpacingMode(spacingMode);
    canvas.setSpacingInner(std::max(opts.inner, 0));
    canvas.setSpacingOuter(std::max(opts.outer, 0));

    PainterArea* area = &canvas;
    const QSize size = canvas.contentSize();
    // Cut out of cells like the export's bands, so that parts have the whole file's very pixels.
    const RegionSource strip = RegionSource::fromCells(
        size, QSize(PainterArea::renderTileSize, BandPipeline::rowsPerBand(size.width())),
        [area](const QRect& rect) { return area->renderRegion(rect); });
    return StripOutput::write(strip, vertical ? Qt::Vertical : Qt::Horizontal, opts, progress,
                              tr("%1 photos decoded, ").arg(opts.photos.size()));
}
