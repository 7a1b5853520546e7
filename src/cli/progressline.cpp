#include "cli/progressline.h"

#include <cstdio>
#include <unistd.h>

ProgressLine::ProgressLine(bool quiet) : enabled(!quiet && isatty(STDERR_FILENO)) {}

ProgressLine::~ProgressLine()
{
    clear();
}

void ProgressLine::show(const QString& text, bool force)
{
    if (!enabled)
        return;
    if (shown && !force && sinceLast.isValid() && sinceLast.elapsed() < 100)
        return;
    sinceLast.restart();
    std::fprintf(stderr, "\r%s\033[K", qPrintable(text));
    std::fflush(stderr);
    shown = true;
}

void ProgressLine::clear()
{
    if (!shown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown = false;
}

void ProgressLine::report(const QString& text)
{
    clear();
    std::fprintf(stderr, "seamwright: %s\n", qPrintable(text));
    std::fflush(stderr);
}
