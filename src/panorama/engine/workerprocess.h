#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// A child program that is handed its input and whose output is collected, for one thread to drive.
// Started with posix_spawn rather than a fork: forking a window process that holds many photos costs
// milliseconds per hundred megabytes, and afterwards a write fault on every page the window touches.
// Standard error is shared with this process. A process still running is killed when this goes.
class WorkerProcess
{
public:
    WorkerProcess() = default;
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;
    ~WorkerProcess();

    // Starts program with the arguments and this process's environment plus the given "NAME=value"
    // entries; input goes to its standard input, which then ends.
    bool start(const QString& program, const QStringList& arguments, const QByteArray& input,
               const QList<QByteArray>& environment = {});
    QString errorString() const { return error; }
    qint64 processId() const { return pid; }
    bool isRunning() const { return running; }

    // Waits up to msecs for output, for the input to drain or for the process to end, and returns
    // as soon as one of them happens.
    void waitForEvent(int msecs);
    // Everything the process has written so far.
    const QByteArray& output() const { return collected; }

    // Asks the process to end, gives it a moment, then kills it; returns once it has ended.
    void stop(int graceMsecs);

    // Once the process has ended: whether a signal ended it, and that signal or its exit code.
    bool crashed() const { return endedBySignal; }
    int exitCode() const { return code; }
    // Once the process has ended: true when the system kept its exit status from this process (a
    // program started with child signals ignored, or another waiter, reaps it first). Only what it
    // wrote can tell then how it ended.
    bool exitStatusLost() const { return statusLost; }

    // Child processes are reaped by this process again when it was started with their end signal
    // ignored, which a program inherits from whoever started it; a start-up step.
    static void restoreChildSignal();

private:
    void writeInput();
    void readOutput();
    void reap(bool block);
    void closeFd(int& fd);

    pid_t pid = 0;
    bool running = false;
    bool endedBySignal = false;
    bool statusLost = false;
    int code = 0;
    int inFd = -1;
    int outFd = -1;
    int pidFd = -1;
    QByteArray pending;
    QByteArray collected;
    QString error;
};
