#pragma once

class Dispatch;
class MainWindow;

// The files named on the command line, taken in as if they had been dropped on the window.
namespace StartupFiles {

// The project first, then the photos through the usual intake, in the order given.
void open(MainWindow* window, const Dispatch& dispatch);

} // namespace StartupFiles
