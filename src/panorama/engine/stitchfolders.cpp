#include "panorama/engine/stitchfolders.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace StitchFolders {

namespace {

const QString prefix = QStringLiteral("seamwright-stitch-");

} // namespace

QString folderTemplate()
{
    return QDir::tempPath() + '/' + prefix + QString::number(getpid()) + QStringLiteral("-XXXXXX");
}

int sweep()
{
    int removed = 0;
    const QDir temporary(QDir::tempPath());
    const QStringList names = temporary.entryList(
        {prefix + '*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool numeric = false;
        const pid_t owner = pid_t(name.mid(prefix.size()).section('-', 0, 0).toLongLong(&numeric));
        if (!numeric || owner <= 0 || owner == getpid())
            continue;
        // A process of another user answers "not permitted": only a process that is gone frees it.
        if (::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const QString path = temporary.filePath(name);
        struct stat info = {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != geteuid())
            continue;
        removed += QDir(path).removeRecursively();
    }
    return removed;
}

} // namespace StitchFolders
