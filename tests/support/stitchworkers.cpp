#include "support/stitchworkers.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {

// The fields of /proc/<pid>/stat: "pid (name) state ppid ...". The name may hold spaces.
bool readStat(qint64 pid, QByteArray* name, char* state, qint64* parent)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = file.readAll();
    const int open = stat.indexOf('('), close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    *name = stat.mid(open + 1, close - open - 1);
    const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
    if (rest.size() < 2 || rest[0].isEmpty())
        return false;
    *state = rest[0][0];
    *parent = rest[1].toLongLong();
    return true;
}

} // namespace

namespace StitchWorkers {

PanoramaRequest request(const QStringList& paths, const std::string& style)
{
    PanoramaRequest request{style, {}};
    for (const QString& path : paths)
        request.imageList.push_back(path.toLocal8Bit().toStdString());
    return request;
}

QList<qint64> running()
{
    QList<qint64> pids;
    const qint64 self = getpid();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        QByteArray name;
        char state = 0;
        qint64 parent = 0;
        // The kernel keeps the first fifteen bytes of the program's name.
        if (numeric && readStat(pid, &name, &state, &parent) && parent == self && state != 'Z' &&
            name == QByteArray("seamwright-stitch").left(15))
            pids << pid;
    }
    return pids;
}

bool alive(qint64 pid)
{
    QByteArray name;
    char state = 0;
    qint64 parent = 0;
    return readStat(pid, &name, &state, &parent) && state != 'Z';
}

QStringList leftoverFolders()
{
    return QDir::temp().entryList({QStringLiteral("seamwright-stitch-*")}, QDir::AllEntries | QDir::Hidden);
}

Watch::Watch()
    : sampler([this] {
          while (!done) {
              most = std::max(most.load(), int(running().size()));
              std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
      })
{
}

Watch::~Watch()
{
    stop();
}

int Watch::stop()
{
    done = true;
    if (sampler.joinable())
        sampler.join();
    return most;
}

} // namespace StitchWorkers
