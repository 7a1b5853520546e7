#include "canvas/pngexport.h"

#include "canvas/pngwriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

PngExport::Result PngExport::save(const QImage& image, const QString& fileName)
{
    error.clear();
    if (image.isNull()) {
        error = tr("The strip is too large to be rendered.");
        return Result::Failed;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return Result::Failed;
    }

    QProgressDialog progress(tr("Exporting %1").arg(QFileInfo(fileName).fileName()), tr("Cancel"), 0,
                             image.height(), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(progressDelay);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    PngWriter writer;
    // The dialog processes events in setValue once it is shown: that is what keeps the window painted.
    writer.setProgress([&progress](int rowsWritten, int) {
        if (rowsWritten != progress.value())
            progress.setValue(rowsWritten);
        else if (progress.isVisible())
            QCoreApplication::processEvents(); // setValue would skip an unchanged value
        return !progress.wasCanceled();
    });
    if (!writer.write(image, &file)) {
        file.cancelWriting();
        if (writer.wasCancelled())
            return Result::Cancelled;
        error = writer.errorString();
        return Result::Failed;
    }
    if (!file.commit()) {
        error = file.errorString();
        return Result::Failed;
    }
    return Result::Saved;
}
