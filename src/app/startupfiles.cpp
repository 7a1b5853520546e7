#include "app/startupfiles.h"

#include "app/mainwindow.h"
#include "canvas/painterarea.h"
#include "cli/dispatch.h"
#include "intake/photointake.h"
#include "widgets/theme.h"

#include <QCoreApplication>
#include <QMessageBox>

void StartupFiles::open(MainWindow* window, const Dispatch& dispatch)
{
    if (!dispatch.project().isEmpty())
        openProject(window, dispatch.project());
    if (!dispatch.photos().isEmpty())
        window->canvas()->addPhotoFiles(dispatch.photos());
}

void StartupFiles::openProject(MainWindow* window, const QString& path)
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("StartupFiles", text); };
    QMessageBox box(QMessageBox::Warning, tr("Open project"),
                    tr("%1 was not opened: this version of Seamwright cannot open projects.")
                        .arg(PhotoIntake::displayName(path)),
                    QMessageBox::Ok, window->window());
    box.setStyleSheet(Theme::dialogStyleSheet());
    box.exec();
}
