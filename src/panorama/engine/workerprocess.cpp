#include "panorama/engine/workerprocess.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <vector>

extern char** environ;

WorkerProcess::~WorkerProcess()
{
    if (running) {
        ::kill(pid, SIGKILL);
        reap(true);
    }
    closeFd(inFd);
    closeFd(outFd);
    closeFd(pidFd);
}

void WorkerProcess::restoreChildSignal()
{
    struct sigaction current = {};
    if (sigaction(SIGCHLD, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
        struct sigaction byDefault = {};
        byDefault.sa_handler = SIG_DFL;
        sigaction(SIGCHLD, &byDefault, nullptr);
    }
}

bool WorkerProcess::start(const QString& program, const QStringList& arguments, const QByteArray& input,
                          const QList<QByteArray>& environment)
{
    // A socket rather than a pipe for the input: writing to it after the process has gone fails
    // without the signal that would end this one.
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        for (int fd : {in[0], in[1], out[0], out[1]})
            if (fd >= 0)
                ::close(fd);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** entry = environ; entry && *entry; ++entry)
        envp.push_back(*entry);
    std::vector<QByteArray> added(environment.begin(), environment.end());
    for (QByteArray& entry : added)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const int failure = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(in[1]);
    ::close(out[1]);
    inFd = in[0];
    outFd = out[0];
    if (failure != 0) {
        pid = 0;
        error = QString::fromLocal8Bit(std::strerror(failure));
        closeFd(inFd);
        closeFd(outFd);
        return false;
    }
    running = true;
    fcntl(inFd, F_SETFL, fcntl(inFd, F_GETFL) | O_NONBLOCK);
    fcntl(outFd, F_SETFL, fcntl(outFd, F_GETFL) | O_NONBLOCK);
    // Without it (kernels before 5.3) the end is noticed by asking every few milliseconds.
    pidFd = int(syscall(SYS_pidfd_open, pid, 0));
    pending = input;
    writeInput();
    return true;
}

void WorkerProcess::waitForEvent(int msecs)
{
    if (!running)
        return;
    pollfd fds[3];
    nfds_t count = 0;
    if (outFd >= 0)
        fds[count++] = {outFd, POLLIN, 0};
    if (inFd >= 0)
        fds[count++] = {inFd, POLLOUT, 0};
    if (pidFd >= 0)
        fds[count++] = {pidFd, POLLIN, 0};
    ::poll(fds, count, pidFd >= 0 ? msecs : qMin(msecs, 5));
    if (inFd >= 0)
        writeInput();
    if (outFd >= 0)
        readOutput();
    reap(false);
}

void WorkerProcess::stop(int graceMsecs)
{
    if (!running)
        return;
    ::kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMsecs);
    while (running && std::chrono::steady_clock::now() < deadline)
        waitForEvent(5);
    if (running) {
        ::kill(pid, SIGKILL);
        reap(true);
    }
}

void WorkerProcess::writeInput()
{
    while (!pending.isEmpty()) {
        const ssize_t n = ::send(inFd, pending.constData(), size_t(pending.size()), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            pending.clear(); // the process no longer reads
            break;
        }
        pending.remove(0, int(n));
    }
    closeFd(inFd);
}

void WorkerProcess::readOutput()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(outFd, buffer, sizeof buffer);
        if (n > 0) {
            collected.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            closeFd(outFd);
        return;
    }
}

void WorkerProcess::reap(bool block)
{
    int status = 0;
    pid_t ended;
    do
        ended = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0)
        return;
    running = false;
    statusLost = ended != pid;
    endedBySignal = !statusLost && WIFSIGNALED(status);
    code = statusLost ? 0 : endedBySignal ? WTERMSIG(status) : WEXITSTATUS(status);
    closeFd(pidFd);
    closeFd(inFd);
    // What the process wrote before it ended is all there; the pipe has no writer left.
    if (outFd >= 0)
        readOutput();
    closeFd(outFd);
}

void WorkerProcess::closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
