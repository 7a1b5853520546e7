#include "export/partsexport.h"

#include "export/partfiles.h"

#include <QDir>

QRect PartsExport::partRect(const QSize& strip, Qt::Orientation direction, const QVector<int>& ends,
                            int index)
{
    const int start = index > 0 ? ends[index - 1] : 0;
    const int length = ends[index] - start;
    return direction == Qt::Vertical ? QRect(0, start, strip.width(), length)
                                     : QRect(start, 0, length, strip.height());
}

PartsExport::Result PartsExport::save(const RegionSource& strip, Qt::Orientation direction,
                                      const QVector<int>& ends, const QStringList& fileNames)
{
    error.clear();
    const int total = direction == Qt::Vertical ? strip.size.height() : strip.size.width();
    if (ends.isEmpty() || ends.size() != fileNames.size() || ends.last() != total) {
        error = tr("There is nothing to export.");
        return Result::Failed;
    }
    for (int i = 0; i < ends.size(); ++i) {
        const QSize size = partRect(strip.size, direction, ends, i).size();
        if (size.isEmpty()) {
            error = tr("There is nothing to export.");
            return Result::Failed;
        }
        if (!format.fits(size)) {
            error = format.tooLargeText(size);
            return Result::Failed;
        }
    }

    PartFiles files(fileNames);
    StripExport part;
    part.setFormat(format);
    for (int i = 0; i < ends.size(); ++i) {
        const QRect area = partRect(strip.size, direction, ends, i);
        const int before = i > 0 ? ends[i - 1] : 0;
        const int length = ends[i] - before;
        part.setProgress([this, before, length, total](int done, int of) {
            return !progress || progress(before + int(qint64(done) * length / std::max(1, of)), total);
        });
        QFile* file = files.open(i);
        if (!file) {
            error = files.errorString();
            return Result::Failed;
        }
        const Result result = part.write(strip.bandsOf(area), file);
        if (result != Result::Saved) {
            error = result == Result::Cancelled
                        ? part.errorString()
                        : tr("Could not write \"%1\": %2")
                              .arg(QDir::toNativeSeparators(fileNames[i]), part.errorString());
            return result;
        }
        if (!files.close(i)) {
            error = files.errorString();
            return Result::Failed;
        }
    }
    if (!files.commit()) {
        error = files.errorString();
        return Result::Failed;
    }
    for (const QString& older : obsolete)
        if (!fileNames.contains(older))
            QFile::remove(older);
    return Result::Saved;
}
