#include "export/outputtarget.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool statOf(const QString& path, struct stat& info)
{
    if (path == QLatin1String("-"))
        return ::fstat(STDOUT_FILENO, &info) == 0;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

OutputTarget::Kind OutputTarget::kindOf(const QString& path)
{
    struct stat info;
    if (path == QLatin1String("-"))
        return Kind::Stream;
    // A name that does not exist yet, or whose folder is missing, is a file to be made; the save says
    // why when it cannot be.
    if (!statOf(path, info) || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
        return Kind::File;
    if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode))
        return Kind::Stream;
    return Kind::Refused;
}

QString OutputTarget::refusalText(const QString& path)
{
    return tr("\"%1\" is a device, not a file; it was left alone.").arg(QDir::toNativeSeparators(path));
}

std::unique_ptr<QFile> OutputTarget::openStream(const QString& path, QString* why)
{
    int fd = -1;
    if (path == QLatin1String("-")) {
        fd = ::dup(STDOUT_FILENO);
    } else {
        // A pipe waits here for its reader, as any program writing to it would.
        do
            fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        *why = file->errorString();
        ::close(fd);
        return nullptr;
    }
    return file;
}

bool OutputTarget::sameFile(const QString& a, const QString& b)
{
    struct stat first, second;
    return statOf(a, first) && statOf(b, second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString OutputTarget::isInputText(const QString& output)
{
    return tr("\"%1\" is one of the strip's photos, and writing it would replace the photo. Nothing was "
              "written; choose another name.")
        .arg(QFileInfo(output).fileName());
}

QString OutputTarget::inputAmong(const QString& output, const QStringList& inputs)
{
    struct stat out;
    if (!statOf(output, out))
        return {};
    // Standard output that is a terminal or a pipe is no photo; a file it was sent to may be one.
    if (output == QLatin1String("-") && !S_ISREG(out.st_mode))
        return {};
    for (const QString& input : inputs)
        if (sameFile(output, input))
            return input;
    return {};
}
