#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// One line on standard error that rewrites itself while a command works, shown only on a terminal so
// that scripts and logs stay clean.
class ProgressLine
{
public:
    // Shown when standard error is a terminal and the user did not ask for quiet.
    explicit ProgressLine(bool quiet);
    ~ProgressLine();

    bool isEnabled() const { return enabled; }
    // Replaces the line; updates closer together than a tenth of a second are skipped unless forced.
    void show(const QString& text, bool force = false);
    // Clears the line so that a message or the shell prompt starts on a clean line.
    void clear();
    // Clears the line and prints one message line, prefixed with the program's name.
    void report(const QString& text);

    // From now on only the program's own lines reach standard error, through stream(): what libraries
    // print there themselves (libpng's errors, the toolkit's thread warnings) goes nowhere.
    static void takeStandardError();
    static std::FILE* stream();

private:
    bool enabled = false;
    bool shown = false;
    QElapsedTimer sinceLast;
};
