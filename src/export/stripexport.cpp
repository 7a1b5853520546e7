#include "export/stripexport.h"

#include <QSaveFile>

StripExport::Result StripExport::write(const BandSource& source, QIODevice* device)
{
    error.clear();
    PngWriter writer(device);
    writer.setCompressionLevel(level);
    writer.setRowFilter(rowFilter);
    if (pipeline.run(source, writer))
        return Result::Saved;
    error = pipeline.errorString();
    return pipeline.wasCancelled() ? Result::Cancelled : Result::Failed;
}

StripExport::Result StripExport::save(const BandSource& source, const QString& fileName)
{
    error.clear();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return Result::Failed;
    }
    const Result result = write(source, &file);
    if (result != Result::Saved) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        error = file.errorString();
        return Result::Failed;
    }
    return Result::Saved;
}
