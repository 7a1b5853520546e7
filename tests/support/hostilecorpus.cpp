#include "support/hostilecorpus.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QImage photo(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(Qt::darkCyan);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::yellow);
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xffffffffu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const char* type, const QByteArray& payload)
{
    const QByteArray body = QByteArray(type) + payload;
    QByteArray words(8, '\0'); // the length before the body, the checksum after it
    qToBigEndian<quint32>(quint32(payload.size()), words.data());
    qToBigEndian<quint32>(crc32(body), words.data() + 4);
    return words.left(4) + body + words.mid(4);
}

// A well-formed PNG signature and header that claims an enormous picture, with a token of data.
QByteArray forgedPng(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8;                                                           // bit depth
    ihdr[9] = 2;                                                           // truecolour
    const QByteArray idat = QByteArray::fromHex("789c636000000001000100"); // a few zero bytes
    return QByteArray::fromHex("89504e470d0a1a0a") + chunk("IHDR", ihdr) + chunk("IDAT", idat) +
           chunk("IEND", {});
}

} // namespace

HostileCorpus::HostileCorpus()
{
    if (!dir.isValid())
        return;
    const QString root = dir.path() + QLatin1Char('/');
    const auto addBytes = [&](const QString& label, const QString& name, const QByteArray& bytes) {
        QFile file(root + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        add(label, name, false);
    };
    const auto addPhoto = [&](const QString& label, const QString& name, const QImage& image) {
        image.save(root + name);
        add(label, name, true);
    };

    addBytes("zero-byte file", "zero-byte.png", {});
    addBytes("text named .png", "notes.png", "These are not the pixels you are looking for.\n");
    const QByteArray jpeg = encoded(photo(640, 480), "JPEG");
    // Like a half-finished download: the reader would fill the missing rows with grey.
    addBytes("JPEG cut in the middle", "half.jpg", jpeg.left(jpeg.size() / 2));
    const QByteArray png = encoded(photo(640, 480), "PNG");
    addBytes("PNG cut to a third", "third.png", png.left(png.size() / 3));
    const QByteArray bmp = encoded(photo(64, 48), "BMP");
    addBytes("BMP cut short", "short.bmp", bmp.left(bmp.size() * 2 / 3));
    addBytes("JPEG cut inside its header", "header-only.jpg", jpeg.left(40));
    addBytes("PNG claiming 60000 x 60000", "giant.png", forgedPng(60000, 60000));

    QDir(root).mkdir("folder.jpg");
    add("directory", "folder.jpg", false);

    photo(10, 10).save(root + "locked.png");
    QFile::setPermissions(root + "locked.png", QFileDevice::Permissions());
    // Root reads through missing permissions; anyone else cannot.
    add("file without read permission", "locked.png", geteuid() == 0);

    QFile::link(root + "nowhere.png", root + "dangling.png");
    add("broken symbolic link", "dangling.png", false);

    // Opening a pipe that nobody writes to waits for ever.
    mkfifo(QFile::encodeName(root + "pipe.jpg").constData(), 0600);
    add("named pipe", "pipe.jpg", false);

    addPhoto("non-ASCII name", QString::fromUtf8("Fotoğraf ünü.png"), photo(40, 30));
    addPhoto("CJK name", QString::fromUtf8("写真.jpg"), photo(40, 30));
    addPhoto("1 x 1 picture", "one.png", photo(1, 1));
    addPhoto("1 x 20000 picture", "sliver.png", photo(1, 20000));
    addPhoto("16-bit PNG", "deep.png", photo(30, 20, QImage::Format_RGBA64));
    addPhoto("greyscale PNG", "grey.png", photo(30, 20, QImage::Format_Grayscale8));
    QImage alpha(30, 20, QImage::Format_ARGB32);
    alpha.fill(QColor(255, 0, 0, 100));
    addPhoto("picture with alpha", "alpha.png", alpha);
}

void HostileCorpus::add(const QString& label, const QString& name, bool decodes)
{
    list.append({label, dir.path() + QLatin1Char('/') + name, decodes});
}
