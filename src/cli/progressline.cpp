#include "cli/progressline.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

std::FILE* ownStream = nullptr;

} // namespace

void ProgressLine::takeStandardError()
{
    if (ownStream)
        return;
    const int own = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (own >= 0 && nothing >= 0 && (ownStream = ::fdopen(own, "w")) != nullptr) {
        std::setvbuf(ownStream, nullptr, _IOLBF, BUFSIZ);
        ::dup2(nothing, STDERR_FILENO);
    } else if (own >= 0)
        ::close(own);
    if (nothing >= 0)
        ::close(nothing);
}

std::FILE* ProgressLine::stream()
{
    return ownStream ? ownStream : stderr;
}

ProgressLine::ProgressLine(bool quiet) : enabled(!quiet && isatty(fileno(stream()))) {}

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
    std::fprintf(stream(), "\r%s\033[K", qPrintable(text));
    std::fflush(stream());
    shown = true;
}

void ProgressLine::clear()
{
    if (!shown)
        return;
    std::fputs("\r\033[K", stream());
    std::fflush(stream());
    shown = false;
}

void ProgressLine::report(const QString& text)
{
    clear();
    std::fprintf(stream(), "seamwright: %s\n", qPrintable(text));
    std::fflush(stream());
}
