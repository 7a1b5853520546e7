#include "app/partsexporter.h"

#include "app/exportchoices.h"
#include "app/partsdialog.h"
#include "app/sizequestion.h"
#include "canvas/painterarea.h"
#include "export/bandpipeline.h"
#include "export/outputtarget.h"
#include "export/partfiles.h"
#include "export/partsexport.h"
#include "widgets/busycursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

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

void PartsExporter::offer(const QString& fileName, const ExportFormat& format, const QSize& size)
{
    const int across = direction() == Qt::Vertical ? size.width() : size.height();
    const int limit = ExportFormat::maxSide(format.kind);
    if (across > limit) {
        QMessageBox::warning(window, tr("Export"), format.tooLargeText(size));
        return;
    }
    const auto answer = QMessageBox::question(window, tr("Export"),
                                              tr("%1\n\nExport it in parts of at most %2 pixels instead?")
                                                  .arg(format.tooLargeText(size))
                                                  .arg(limit),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        open(&format, limit, fileName);
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
    if (!SizeQuestion::confirm(partsDialog, source.size, QDir(parts.folder).filePath(parts.name)))
        return false;

    // Window-modal over the main window, so nothing changes the strip while it is cut and written. Each
    // goes before a message: even hidden, it would show itself over the message and block it.
    auto progress = progressBox(length);
    CutPlanner planner;
    planner.setKeepGoing([&] { return keepGoing(*progress, 0); });
    QVector<int> ends;
    {
        BusyCursor busy;
        ends = planner.plan(source, cutOptions());
    }
    progress.reset();
    if (ends.isEmpty()) {
        if (!planner.wasCancelled())
            QMessageBox::warning(partsDialog, tr("Export in Parts"), planner.errorString());
        return false;
    }
    canvas->setCutPreview(ends.mid(0, ends.size() - 1));

    const QString suffix = ExportFormat::suffix(format.kind);
    const QString fileName = QDir(parts.folder).filePath(parts.name + QLatin1Char('.') + suffix);
    const QStringList names = PartFiles::numberedNames(fileName, ends.size());
    for (const QString& name : names)
        if (!OutputTarget::inputAmong(name, canvas->sourcePaths()).isEmpty()) {
            QMessageBox::warning(partsDialog, tr("Export in Parts"), OutputTarget::isInputText(name));
            return false;
        }
    QStringList older;
    if (!mayReplace(fileName, names, &older))
        return false;

    progress = progressBox(length);
    PartsExport exporter;
    exporter.setFormat(format);
    exporter.setObsolete(older);
    exporter.setProgress([&](int done, int) { return keepGoing(*progress, done); });
    PartsExport::Result result = PartsExport::Result::Failed;
    {
        BusyCursor busy;
        result = exporter.save(source, direction(), ends, names);
    }
    progress.reset();
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

std::unique_ptr<QProgressDialog> PartsExporter::progressBox(int length) const
{
    auto progress =
        std::make_unique<QProgressDialog>(tr("Exporting in parts"), tr("Cancel"), 0, length, window);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(500);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    return progress;
}

bool PartsExporter::keepGoing(QProgressDialog& progress, int done)
{
    if (done != progress.value())
        progress.setValue(done);
    else if (progress.isVisible())
        QCoreApplication::processEvents();
    return !progress.wasCanceled();
}

// Asks before parts of this name are replaced, and before older ones beyond the new last part are
// left beside them, where they would read as more of the strip; those are removed on "Replace all".
bool PartsExporter::mayReplace(const QString& fileName, const QStringList& names, QStringList* older)
{
    QStringList existing;
    for (const QString& part : PartFiles::existingParts(fileName))
        (names.contains(part) ? existing : *older) << QFileInfo(part).fileName();
    if (existing.isEmpty() && older->isEmpty())
        return true;
    const QString folder = QDir::toNativeSeparators(QFileInfo(fileName).absolutePath());
    if (older->isEmpty()) {
        const QString text =
            existing.size() == 1
                ? tr("\"%1\" already exists in \"%2\". Replace it?").arg(existing.first(), folder)
                : tr("%1 parts of this name already exist in \"%2\" (%3 to %4). Replace them?")
                      .arg(existing.size())
                      .arg(folder, existing.first(), existing.last());
        return QMessageBox::question(partsDialog, tr("Export in Parts"), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    }
    QMessageBox question(QMessageBox::Question, tr("Export in Parts"),
                         tr("\"%1\" holds %2 parts of this name (%3 to %4); this export makes %5. The older "
                            "parts beyond the new last one would be left beside it and read as more of the "
                            "strip. Replace all of them?")
                             .arg(folder)
                             .arg(existing.size() + older->size())
                             .arg((existing + *older).first(), older->last())
                             .arg(names.size()),
                         QMessageBox::Cancel, partsDialog);
    QPushButton* replaceAll = question.addButton(tr("Replace All"), QMessageBox::AcceptRole);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    if (question.clickedButton() != replaceAll)
        return false;
    for (QString& part : *older)
        part = QFileInfo(fileName).dir().filePath(part);
    return true;
}

PartsDialog* PartsExporter::dialog() const
{
    return partsDialog;
}
