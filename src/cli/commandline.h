#pragma once

#include "cli/dispatch.h"
#include "cli/joboptions.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The executable's arguments: no command opens the window, with the files named; `join` and
// `panorama` run without one.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    enum class Command { Window, Help, Version, Join, Panorama, Usage };
    enum ExitStatus { Written = 0, Failed = 1, UsageError = 2 };

    CommandLine(int argc, char* argv[]);
    // The arguments after the program name.
    explicit CommandLine(const QStringList& arguments);

    Command command() const { return cmd; }
    const JobOptions& options() const { return opts; }
    // The window's photos and project, and what the toolkit may see of the arguments.
    const Dispatch& dispatch() const { return dispatched; }
    // The one-line reason of a usage error.
    QString errorString() const { return error; }
    // Whether the command paints or decodes and so needs an application object first.
    bool needsApplication() const { return cmd == Command::Join || cmd == Command::Panorama; }

    // Readies the process for a command before the application object exists: no display needed,
    // and standard error left to the command's own lines.
    static void prepareProcess();

    // Prints help, the version or the usage error, or runs the command; returns the exit status.
    int exec() const;

    static QString helpText();
    static QString versionText();

private:
    void parse(const QStringList& arguments);
    bool parseOption(const QString& name, const QString& value);
    bool fail(const QString& text);

    Command cmd = Command::Window;
    Dispatch dispatched;
    JobOptions opts;
    QString error;
};
