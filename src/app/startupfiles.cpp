#include "app/startupfiles.h"

#include "app/mainwindow.h"
#include "app/projectactions.h"
#include "canvas/painterarea.h"
#include "cli/dispatch.h"

void StartupFiles::open(MainWindow* window, const Dispatch& dispatch)
{
    if (!dispatch.project().isEmpty())
        window->projects()->openProject(dispatch.project());
    if (!dispatch.photos().isEmpty())
        window->canvas()->addPhotoFiles(dispatch.photos());
}
