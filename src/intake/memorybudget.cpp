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

// A plain number, or nothing ("max" for no limit).
std::optional<qint64> number(const QByteArray& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<qint64> statField(const QByteArray& stat, const QByteArray& name)
{
    for (const QByteArray& line : stat.split('\n')) {
        if (line.startsWith(name + ' '))
            return number(line.mid(name.size() + 1));
    }
    return std::nullopt;
}

struct GroupFiles
{
    QString root;
    QByteArray limit, usage, cache; // file names and the page cache's field in memory.stat
};

// Headroom left by the memory limits of the process's control group and of every group above it.
// The page cache counts as usage there but gives way to photos, as it does in MemAvailable.
std::optional<qint64> controlGroupHeadroom()
{
    static const GroupFiles v2{QStringLiteral("/sys/fs/cgroup"), "memory.max", "memory.current", "file"};
    static const GroupFiles v1{QStringLiteral("/sys/fs/cgroup/memory"), "memory.limit_in_bytes",
                               "memory.usage_in_bytes", "total_cache"};
    std::optional<qint64> headroom;
    for (const QByteArray& line : readAll(QStringLiteral("/proc/self/cgroup")).split('\n')) {
        const QList<QByteArray> parts = line.split(':');
        if (parts.size() < 3)
            continue;
        const bool unified = parts.at(0) == "0" && parts.at(1).isEmpty();
        if (!unified && !parts.at(1).split(',').contains("memory"))
            continue;
        const GroupFiles& files = unified ? v2 : v1;
        QByteArray group = parts.mid(2).join(':').trimmed();
        while (!group.isEmpty()) {
            const QString dir =
                files.root + QString::fromLocal8Bit(group == "/" ? QByteArray() : group) + '/';
            const std::optional<qint64> limit = number(readAll(dir + files.limit));
            const std::optional<qint64> usage = number(readAll(dir + files.usage));
            if (limit && usage) {
                const qint64 cache = statField(readAll(dir + "memory.stat"), files.cache).value_or(0);
                const qint64 room = *limit - *usage + cache;
                headroom = std::min(headroom.value_or(room), room);
            }
            if (group == "/")
                break;
            group = group.left(std::max(1, group.lastIndexOf('/')));
        }
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
