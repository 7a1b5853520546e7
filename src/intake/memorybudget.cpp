#include "intake/memorybudget.h"

#include <QFile>
#include <QList>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <limits>

namespace MemoryBudget {

namespace {

std::atomic<qint64> fixedBytes{-1};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "Name:   1234 kB" anywhere in the text.
std::optional<qint64> kilobyteField(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(name + ':'))
            continue;
        const QList<QByteArray> parts = line.mid(name.size() + 1).simplified().split(' ');
        bool ok = false;
        const qint64 value = parts.value(0).toLongLong(&ok);
        if (!ok || value < 0)
            return std::nullopt;
        return parts.value(1) == "kB" ? value * 1024 : value;
    }
    return std::nullopt;
}

// Headroom left by the memory limits of the process's control group and of every group above it.
std::optional<qint64> controlGroupHeadroom()
{
    // Version 2 lists one line "0::/path".
    QByteArray group;
    for (const QByteArray& line : readAll(QStringLiteral("/proc/self/cgroup")).split('\n')) {
        if (line.startsWith("0::"))
            group = line.mid(3).trimmed();
    }
    if (group.isEmpty())
        return std::nullopt;
    std::optional<qint64> headroom;
    for (;;) {
        const QString dir = QStringLiteral("/sys/fs/cgroup") + QString::fromLocal8Bit(group);
        bool limited = false;
        const qint64 max = readAll(dir + QStringLiteral("/memory.max")).trimmed().toLongLong(&limited);
        bool known = false;
        const qint64 current = readAll(dir + QStringLiteral("/memory.current")).trimmed().toLongLong(&known);
        if (limited && known)
            headroom = std::min(headroom.value_or(max - current), max - current);
        if (group == "/" || group.isEmpty())
            break;
        group = group.left(std::max(1, group.lastIndexOf('/')));
    }
    return headroom;
}

std::optional<qint64> addressSpaceHeadroom()
{
    rlimit limit = {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const std::optional<qint64> used = vmSize(readAll(QStringLiteral("/proc/self/status")));
    return qint64(limit.rlim_cur) - used.value_or(0);
}

} // namespace

std::optional<qint64> memAvailable(const QByteArray& meminfo)
{
    return kilobyteField(meminfo, "MemAvailable");
}

std::optional<qint64> vmSize(const QByteArray& status)
{
    return kilobyteField(status, "VmSize");
}

void setFixed(std::optional<qint64> bytes)
{
    fixedBytes = bytes ? std::max<qint64>(*bytes, 0) : -1;
}

qint64 available()
{
    if (const qint64 fixed = fixedBytes; fixed >= 0)
        return fixed;
    qint64 free = std::numeric_limits<qint64>::max();
    for (const std::optional<qint64>& bound : {memAvailable(readAll(QStringLiteral("/proc/meminfo"))),
                                               controlGroupHeadroom(), addressSpaceHeadroom()}) {
        if (bound)
            free = std::min(free, *bound);
    }
    // A system that reports nothing at all is trusted rather than refused.
    if (free == std::numeric_limits<qint64>::max())
        return free;
    return std::max<qint64>(free - reserveBytes, 0);
}

} // namespace MemoryBudget
