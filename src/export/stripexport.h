#pragma once

#include "export/bandpipeline.h"
#include "export/bandsource.h"
#include "export/exportformat.h"
#include "export/pngwriter.h"

#include <QCoreApplication>
#include <QString>

class QIODevice;

// Exports a picture given in bands as a PNG, JPEG or WebP file. A PNG file is written band by band; the
// toolkit's JPEG and WebP writers need the whole picture, which those formats' side limits keep within
// bounds. save() replaces the file of that name only once the new one is complete: a failed or
// cancelled export leaves no partial file and destroys nothing.
class StripExport
{
    Q_DECLARE_TR_FUNCTIONS(StripExport)
public:
    enum class Result { Saved, Cancelled, Failed };

    // The rows done so far of rowsTotal; JPEG and WebP count each row twice, painted and then encoded.
    void setProgress(BandPipeline::Progress callback) { progress = std::move(callback); }
    void setFormat(const ExportFormat& value) { format = value; }
    void setCompressionLevel(int value) { level = value; }
    void setRowFilter(PngWriter::RowFilter filter) { rowFilter = filter; }
    void setThreadCount(int count) { pipeline.setThreadCount(count); }
    void setBandRows(int rows) { pipeline.setBandRows(rows); }

    // A stream (a pipe, a terminal, /dev/null, "-" for standard output) is written through instead.
    Result save(const BandSource& source, const QString& fileName);
    // Writes to an open device; on failure part of a file may have been written.
    Result write(const BandSource& source, QIODevice* device);

    // Why the last export failed, in words for a message box.
    QString errorString() const { return error; }

private:
    Result writePng(const BandSource& source, QIODevice* device);
    Result writeWhole(const BandSource& source, QIODevice* device);
    Result writeThrough(const BandSource& source, const QString& streamName);
    Result failed(const QString& why);

    BandPipeline pipeline;
    BandPipeline::Progress progress;
    ExportFormat format;
    int level = PngWriter::defaultCompressionLevel;
    PngWriter::RowFilter rowFilter = PngWriter::RowFilter::Adaptive;
    QString error;
};
