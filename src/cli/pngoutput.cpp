#include "cli/pngoutput.h"

#include "canvas/pngwriter.h"
#include "cli/progressline.h"

#include <QSaveFile>

bool PngOutput::write(const QImage& image, const QString& fileName, ProgressLine& progress)
{
    QSaveFile file(fileName);
    QString error;
    if (file.open(QIODevice::WriteOnly)) {
        PngWriter writer;
        writer.setProgress([&progress](int rowsWritten, int rowsTotal) {
            progress.show(tr("writing %1%").arg(rowsTotal > 0 ? qint64(rowsWritten) * 100 / rowsTotal : 100));
            return true;
        });
        if (writer.write(image, &file)) {
            if (file.commit())
                return true;
            error = file.errorString();
        } else {
            file.cancelWriting();
            error = writer.errorString();
        }
    } else {
        error = file.errorString();
    }
    progress.report(tr("Could not write \"%1\": %2").arg(fileName, error));
    return false;
}
