#include "app/partsexporter.h"

#include "app/exportchoices.h"
#include "app/partsdialog.h"
#include "canvas/painterarea.h"
#include "export/bandpipeline.h"
#include "export/partfiles.h"
#include "export/partsexport.h"
#include "widgets/busycursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

PartsExporter::PartsExporter(PainterArea* canvas, QWidget* window)
    : QObject(window), canvas(canvas), window(window)
{
    replanTimer.setSingleShot(true);
    replanTimer.setInterval(150);
    connect(&replanTimer, &QTimer::timeout, this, &PartsExporter::replan);
    // The strip may change while the dialog is open.
    connect(canvas, &PainterArea::signalSizeHint, this, [this] {
        if (partsDialog && partsDialog->isVisible())
            replanTimer.start();
    });
}

PartsExporter::~PartsExporter()
{
    if (canvas)
        canvas->setCutPreview({});
}

RegionSource PartsExporter::strip() const
{
    PainterArea* area = canvas;
    const QSize size = area->contentSize();
    // Cut out of cells like the whole export's bands, so that the parts have its very pixels.
    return RegionSource::fromCells(
        size, QSize(PainterArea::renderTileSize, BandPipeline::rowsPerBand(size.width())),
        [area](const QRect& rect) { return area->renderRegion(rect); });
}

Qt::Orientation PartsExporter::direction() const
{
    return canvas->isVertical() ? Qt::Vertical : Qt::Horizontal;
}

CutPlanner::Options PartsExporter::cutOptions() const
{
    const ExportChoices::Parts parts = partsDialog->parts();
    return {direction(), parts.partLength, parts.calm, parts.sensitivity};
}

void PartsExporter::open(const ExportFormat* format, int partLength, const QString& fileName)
{
    if (!canvas || canvas->paintImages.isEmpty())
        return;
    if (!partsDialog) {
        partsDialog = new PartsDialog(window);
        connect(partsDialog, &PartsDialog::choicesChanged, &replanTimer, qOverload<>(&QTimer::start));
        connect(partsDialog, &PartsDialog::exportRequested, this, &PartsExporter::exportNow);
        connect(partsDialog, &QDialog::finished, this, &PartsExporter::closed);
    }
    ExportChoices::Parts parts = ExportChoices::parts();
    if (partLength > 0)
        parts.partLength = partLength;
    if (!fileName.isEmpty()) {
        const QFileInfo file(fileName);
        parts.folder = file.absolutePath();
        parts.name = file.completeBaseName();
    }
    const ExportFormat chosen = format ? *format : ExportChoices::format(parts.kind);
    partsDialog->setChoices(parts, chosen);
    partsDialog->setDirection(direction());
    if (!partsDialog->isVisible()) {
        // Over the tool panel at the right, leaving the strip in view for its cut lines.
        partsDialog->adjustSize();
        const QRect frame = window->window()->frameGeometry();
        partsDialog->move(frame.right() - partsDialog->width() - 12,
                          frame.top() + (frame.height() - partsDialog->height()) / 2);
    }
    partsDialog->show();
    partsDialog->raise();
    partsDialog->activateWindow();
    replan();
}

void PartsExporter::replan()
{
    replanTimer.stop();
    if (!canvas || !partsDialog || !partsDialog->isVisible())
        return;
    QVector<int> ends;
    if (!canvas->paintImages.isEmpty()) {
        BusyCursor busy;
        ends = CutPlanner().plan(strip(), cutOptions());
    }
    partsDialog->setDirection(direction());
    partsDialog->showPlan(ends);
    canvas->setCutPreview(ends.mid(0, std::max(0, int(ends.size()) - 1)));
}

void PartsExporter::closed()
{
    replanTimer.stop();
    if (canvas)
        canvas->setCutPreview({});
}

bool PartsExporter::exportNow()
{
    if (!canvas || !partsDialog || canvas->paintImages.isEmpty())
        return false;
    const ExportChoices::Parts parts = partsDialog->parts();
    const ExportFormat format = partsDialog->format();
    if (!QFileInfo(parts.folder).isDir()) {
        QMessageBox::warning(
            partsDialog, tr("Export in Parts"),
            tr("The folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(parts.folder)));
        return false;
    }
    const RegionSource source = strip();
    const int length = direction() == Qt::Vertical ? source.size.height() : source.size.width();

    // Window-modal over the main window, so nothing changes the strip while it is cut and written.
    QProgressDialog progress(tr("Exporting in parts"), tr("Cancel"), 0, length, window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const auto keepGoing = [&progress](int done) {
        if (done != progress.value())
            progress.setValue(done);
        else if (progress.isVisible())
            QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };

    CutPlanner planner;
    planner.setKeepGoing([&] { return keepGoing(0); });
    QVector<int> ends;
    {
        BusyCursor busy;
        ends = planner.plan(source, cutOptions());
    }
    if (ends.isEmpty()) {
        if (!planner.wasCancelled())
            QMessageBox::warning(partsDialog, tr("Export in Parts"), planner.errorString());
        return false;
    }
    canvas->setCutPreview(ends.mid(0, ends.size() - 1));

    const QString suffix = ExportFormat::suffix(format.kind);
    const QStringList names = PartFiles::numberedNames(
        QDir(parts.folder).filePath(parts.name + QLatin1Char('.') + suffix), ends.size());
    QStringList existing;
    for (const QString& name : names)
        if (QFileInfo::exists(name))
            existing << QFileInfo(name).fileName();
    if (!existing.isEmpty()) {
        progress.hide();
        const QString folder = QDir::toNativeSeparators(parts.folder);
        const QString text =
            existing.size() == 1
                ? tr("\"%1\" already exists in \"%2\". Replace it?").arg(existing.first(), folder)
                : tr("%1 parts of this name already exist in \"%2\" (%3 to %4). Replace them?")
                      .arg(existing.size())
                      .arg(folder, existing.first(), existing.last());
        const auto answer = QMessageBox::question(partsDialog, tr("Export in Parts"), text,
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }

    PartsExport exporter;
    exporter.setFormat(format);
    exporter.setProgress([&keepGoing](int done, int) { return keepGoing(done); });
    PartsExport::Result result = PartsExport::Result::Failed;
    {
        BusyCursor busy;
        result = exporter.save(source, direction(), ends, names);
    }
    if (result == PartsExport::Result::Failed)
        QMessageBox::warning(partsDialog, tr("Export in Parts"), exporter.errorString());
    if (result != PartsExport::Result::Saved)
        return false;
    ExportChoices::remember(parts);
    ExportChoices::remember(format);
    // The work is saved, in parts: closing the window need not ask about it.
    window->window()->setWindowModified(false);
    partsDialog->accept();
    return true;
}

PartsDialog* PartsExporter::dialog() const
{
    return partsDialog;
}
