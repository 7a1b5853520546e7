#pragma once

#include "export/bandpipeline.h"
#include "export/exportformat.h"
#include "export/regionsource.h"
#include "export/stripexport.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// Exports a strip as several files, one per part, each painted from the strip's bands. The parts
// appear together once every one is written; a failure or a cancel leaves no part behind and every
// file that was there before unchanged.
class PartsExport
{
    Q_DECLARE_TR_FUNCTIONS(PartsExport)
public:
    using Result = StripExport::Result;

    // Lines done along the strip of its whole length.
    void setProgress(BandPipeline::Progress callback) { progress = std::move(callback); }
    void setFormat(const ExportFormat& value) { format = value; }
    // Files removed once the new parts are in place: older parts of the same name beyond the new last.
    void setObsolete(const QStringList& files) { obsolete = files; }

    // ends: where each part ends along the strip, as CutPlanner gives them; fileNames: one per part.
    Result save(const RegionSource& strip, Qt::Orientation direction, const QVector<int>& ends,
                const QStringList& fileNames);

    // The rectangle of the strip that part `index` covers.
    static QRect partRect(const QSize& strip, Qt::Orientation direction, const QVector<int>& ends, int index);

    QString errorString() const { return error; }

private:
    BandPipeline::Progress progress;
    ExportFormat format;
    QStringList obsolete;
    QString error;
};
