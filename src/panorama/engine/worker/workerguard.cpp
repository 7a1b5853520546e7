#include "panorama/engine/worker/workerguard.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace WorkerGuard {

namespace {

char resultFile[4096];
char resultFolder[4096];

// Only a folder made for a stitch is ever removed.
constexpr char folderPrefix[] = "seamwright-stitch-";

void keepResultPath(const char* path)
{
    const size_t length = std::strlen(path);
    if (length == 0 || length >= sizeof resultFile)
        return;
    std::memcpy(resultFile, path, length + 1);
    const char* slash = std::strrchr(path, '/');
    if (!slash || slash == path)
        return;
    const size_t folderLength = size_t(slash - path);
    const char* folderName = path;
    for (const char* p = path; p < slash; ++p)
        if (*p == '/')
            folderName = p + 1;
    if (std::strncmp(folderName, folderPrefix, sizeof folderPrefix - 1) != 0)
        return;
    std::memcpy(resultFolder, path, folderLength);
    resultFolder[folderLength] = '\0';
}

void endOnSignal(int signal)
{
    removeResult();
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(signal, &byDefault, nullptr);
    raise(signal);
}

pid_t expectedParent(char** environment)
{
    const size_t nameLength = std::strlen(parentVariable);
    for (char** entry = environment; entry && *entry; ++entry)
        if (std::strncmp(*entry, parentVariable, nameLength) == 0 && (*entry)[nameLength] == '=')
            return pid_t(std::strtol(*entry + nameLength + 1, nullptr, 10));
    return 0;
}

// Runs before the libraries' own start-up, which takes long enough for a parent to die meanwhile.
void guardFirst(int argc, char** argv, char** environment)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (argc == 4)
        keepResultPath(argv[3]);
    struct sigaction onEnd = {};
    onEnd.sa_handler = endOnSignal;
    sigemptyset(&onEnd.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &onEnd, nullptr);
    // The death signal only covers a parent that goes from now on.
    const pid_t parent = expectedParent(environment);
    if (parent > 0 && getppid() != parent) {
        removeResult();
        _exit(1);
    }
}

} // namespace

void removeResult()
{
    if (resultFile[0])
        unlink(resultFile);
    if (resultFolder[0])
        rmdir(resultFolder);
}

__attribute__((section(".preinit_array"), used)) void (*const runFirst)(int, char**, char**) = guardFirst;

} // namespace WorkerGuard
