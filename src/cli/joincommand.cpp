#include "cli/joincommand.h"

#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "cli/pngoutput.h"
#include "export/bandsource.h"
#include "intake/photodecoder.h"
#include "intake/photointake.h"

#include <QRunnable>
#include <QThreadPool>

#include <atomic>

JoinCommand::JoinCommand(const JobOptions& options) : opts(options), progress(options.quiet) {}

bool JoinCommand::decodePhotos(std::vector<QImage>& images)
{
    const int count = opts.photos.size();
    images.assign(size_t(count), QImage());
    std::atomic<int> decoded{0};
    // Lowest index that failed; photos after it are not worth decoding any more.
    std::atomic<int> firstFailure{count};
    {
        QThreadPool pool;
        for (int i = 0; i < count; ++i) {
            pool.start(QRunnable::create([&, i] {
                if (firstFailure.load() > i) {
                    QImage image = PhotoDecoder::decode(opts.photos[i]);
                    if (image.isNull()) {
                        int seen = firstFailure.load();
                        while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
                        }
                    } else {
                        images[size_t(i)] = std::move(image);
                    }
                }
                ++decoded;
            }));
        }
        while (!pool.waitForDone(100))
            progress.show(tr("%1 of %2 photos decoded").arg(decoded.load()).arg(count));
    }
    // The pool starts tasks in order, so every photo before the first failure was tried.
    if (firstFailure.load() < count) {
        progress.report(tr("The photo \"%1\" cannot be opened.").arg(opts.photos[firstFailure.load()]));
        return false;
    }
    progress.show(tr("%1 of %2 photos decoded").arg(count).arg(count), true);
    return true;
}

bool JoinCommand::run()
{
    std::vector<QImage> images;
    if (!decodePhotos(images))
        return false;

    StitcherConfig* config = StitcherConfig::instance();
    config->tool = 0;
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
        canvas.addImage(images[size_t(i)], PhotoIntake::displayName(opts.photos[i]));
    images.clear(); // the canvas shares the pixels
    const bool vertical = opts.direction == JobOptions::Direction::Vertical;
    canvas.setDirection(vertical ? 1 : 0);
    if (opts.commonSize > 0) {
        if (vertical)
            canvas.setPaintWidth(opts.commonSize);
        else
            canvas.setPaintHeight(opts.commonSize);
    }
    int spacingMode = 0;
    if (opts.inner >= 0)
        spacingMode |= Geometry::SpacingInnerBit;
    if (opts.outer >= 0)
        spacingMode |= Geometry::SpacingOuterBit;
    canvas.spacingMode = spacingMode;
    canvas.setSpacingInner(std::max(opts.inner, 0));
    canvas.setSpacingOuter(std::max(opts.outer, 0));

    PainterArea* area = &canvas;
    const BandSource strip{canvas.contentSize(),
                           [area](int top, int rows) { return area->renderBand(top, rows); }};
    return PngOutput::write(strip, opts.output, progress, tr("%1 photos decoded, ").arg(opts.photos.size()));
}
