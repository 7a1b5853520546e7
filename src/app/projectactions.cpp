#include "app/projectactions.h"

#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/stripedit.h"
#include "project/projectfile.h"
#include "settings/appsettings.h"
#include "widgets/busycursor.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

ProjectActions::ProjectActions(QWidget* window, PainterArea* canvas)
    : QObject(window), window(window), canvas(canvas)
{
    save = new QAction(tr("Save &Project..."), this);
    save->setToolTip(
        tr("Keep the strip with its photos, trims, drawings, watermark and tool settings, to edit later"));
    connect(save, &QAction::triggered, this, &ProjectActions::saveProject);
    // Queued: a drop or the file dialog that chose the project has returned before any message shows.
    connect(canvas, &PainterArea::signalProjectChosen, this, &ProjectActions::openProject,
            Qt::QueuedConnection);
}

// The project opened or saved last, else the export folder and the first photo's name.
QString ProjectActions::proposedPath() const
{
    if (!lastProject.isEmpty())
        return lastProject;
    const QList<PaintImage*>& photos = canvas->paintImages;
    const QString base = photos.isEmpty() ? QString() : QFileInfo(photos.first()->name).completeBaseName();
    const QString name = (base.isEmpty() ? QStringLiteral("untitled") : base) + ProjectFile::suffix;
    return QDir(AppSettings::instance()->lastExportFolder()).filePath(name);
}

bool ProjectActions::saveProject()
{
    if (!canvas || canvas->paintImages.isEmpty())
        return false;
    QString fileName = QFileDialog::getSaveFileName(window, tr("Save Project"), proposedPath(),
                                                    tr("Seamwright projects (*.seamwright)"));
    if (fileName.isEmpty())
        return false;
    if (!fileName.endsWith(QLatin1String(ProjectFile::suffix), Qt::CaseInsensitive))
        fileName += QLatin1String(ProjectFile::suffix);
    ProjectFile project;
    bool written = false;
    {
        BusyCursor busy;
        written = project.save(canvas->state(), fileName, StitcherConfig::instance()->toolSettings());
    }
    if (!written) {
        QMessageBox::warning(window, tr("Save Project"),
                             tr("Could not save the project \"%1\":\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), project.errorString()));
        return false;
    }
    lastProject = fileName;
    window->window()->setWindowModified(false);
    emit saved();
    return true;
}

bool ProjectActions::openProject(const QString& fileName)
{
    if (!canvas)
        return false;
    ProjectFile project;
    StripState state;
    std::optional<ToolSettings> tools;
    ProjectFile::Result result = ProjectFile::Result::Unreadable;
    {
        BusyCursor busy;
        result = project.open(fileName, &state, &tools);
    }
    if (result != ProjectFile::Result::Opened) {
        QMessageBox::warning(window, tr("Open Project"), project.errorString());
        return false;
    }
    {
        const StripEdit edit(canvas, tr("Open project"));
        canvas->restoreState(state);
    }
    // Tools are no part of the strip: Undo leaves them as the project set them.
    if (tools) {
        StitcherConfig::instance()->setToolSettings(*tools);
        emit toolSettingsOpened();
    }
    lastProject = fileName;
    window->window()->setWindowModified(false);
    return true;
}
