#pragma once

#include "export/bandpipeline.h"
#include "export/bandsource.h"
#include "export/pngwriter.h"

#include <QCoreApplication>
#include <QString>

class QIODevice;

// Exports a picture given in bands as a PNG file. save() replaces the file of that name only once the
// new one is complete: a failed or cancelled export leaves no partial file and destroys nothing.
class StripExport
{
    Q_DECLARE_TR_FUNCTIONS(StripExport)
public:
    enum class Result { Saved, Cancelled, Failed };

    void setProgress(BandPipeline::Progress callback) { pipeline.setProgress(std::move(callback)); }
    void setCompressionLevel(int value) { level = value; }
    void setRowFilter(PngWriter::RowFilter filter) { rowFilter = filter; }
    void setThreadCount(int count) { pipeline.setThreadCount(count); }
    void setBandRows(int rows) { pipeline.setBandRows(rows); }

    Result save(const BandSource& source, const QString& fileName);
    // Writes to an open device; on failure part of a file may have been written.
    Result write(const BandSource& source, QIODevice* device);

    // Why the last export failed, in words for a message box.
    QString errorString() const { return error; }

private:
    BandPipeline pipeline;
    int level = PngWriter::defaultCompressionLevel;
    PngWriter::RowFilter rowFilter = PngWriter::RowFilter::Adaptive;
    QString error;
};
