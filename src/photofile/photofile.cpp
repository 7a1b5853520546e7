#include "photofile/photofile.h"

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PhotoFile {

int openRegular(const char* path)
{
    if (!path || !*path)
        return -1;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isBmpCutShort(QIODevice* device)
{
    if (!device || !device->seek(0))
        return true;
    const QByteArray header = device->read(34);
    if (header.size() < 34 || qFromLittleEndian<quint32>(header.constData() + 14) < 40)
        return false;
    const qint64 width = qFromLittleEndian<qint32>(header.constData() + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(header.constData() + 22)));
    const qint64 bits = qFromLittleEndian<quint16>(header.constData() + 28);
    const quint32 compression = qFromLittleEndian<quint32>(header.constData() + 30);
    if (compression != 0 && compression != 3)
        return false;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return device->size() < qint64(qFromLittleEndian<quint32>(header.constData() + 10)) + rowBytes * height;
}

} // namespace PhotoFile
