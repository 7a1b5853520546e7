#include "app/applicationfont.h"
#include "app/mywindows.h"
#include "app/startupfiles.h"
#include "cli/commandline.h"
#include "panorama/engine/stitchfolders.h"
#include "panorama/engine/workerprocess.h"

#include <QApplication>

namespace {

void setUpFont()
{
    registerApplicationFont();
    QApplication::setFont(QFont("Proxima Nova", 9));
}

} // namespace

int main(int argc, char* argv[])
{
    WorkerProcess::restoreChildSignal();
    StitchFolders::sweep();
    const CommandLine commandLine(argc, argv);
    if (commandLine.command() == CommandLine::Command::Window) {
        // What follows "--" is files only, even a name the toolkit would take for its option.
        int toolkitArgc = 1 + commandLine.dispatch().toolkitArgumentCount();
        QApplication app(toolkitArgc, argv);
        QGuiApplication::setDesktopFileName(QStringLiteral("app.seamwright.Seamwright"));
        setUpFont();
        MyWindows window(nullptr);
        window.show();
        StartupFiles::open(window.mainWindow(), commandLine.dispatch());
        return QApplication::exec();
    }
    if (!commandLine.needsApplication())
        return commandLine.exec();

    CommandLine::prepareProcess();
    int toolkitArgc = 1; // the command's arguments are not the toolkit's
    QApplication app(toolkitArgc, argv);
    setUpFont(); // the watermark is measured in the window's font
    return commandLine.exec();
}
