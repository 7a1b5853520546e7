#include "intake/photointake.h"

#include "widgets/busycursor.h"

#include <QFileDialog>
#include <QImageReader>

#include <optional>

namespace PhotoIntake {

QString displayName(const QString& path)
{
    return path.split(QLatin1Char('/')).last();
}

QStringList nameFilters()
{
    return {QStringLiteral("Image files(*.png *.jpg *.bmp *.jpeg *.webp .pbm *.pgm *.ppm *.xbm *.xpm)"),
            QStringLiteral("Any files (*)")};
}

QImage decodePhoto(const QString& path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
        return {};
    QImage image = reader.read();
    if (image.isNull() || qint64(image.width()) * image.height() > maxPixels)
        return {};
    const QImage::Format fast =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != fast)
        image = std::move(image).convertToFormat(fast);
    return image;
}

bool choosePictures(QWidget* parent, const QString& title, const Receiver& receiver)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setWindowTitle(title);
    dialog.setNameFilters(nameFilters());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList paths = dialog.selectedFiles();
    BusyCursor busy;
    for (const QString& path : paths) {
        const QImage image = decodePhoto(path);
        if (!image.isNull())
            receiver(image, path);
    }
    return true;
}

int decodeDroppedUrls(const QList<QUrl>& urls, const Receiver& receiver, bool stopAtFailure)
{
    std::optional<BusyCursor> busy;
    if (!urls.isEmpty())
        busy.emplace();
    int decoded = 0;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        const QImage image = decodePhoto(path);
        if (image.isNull()) {
            if (stopAtFailure)
                break;
            continue;
        }
        receiver(image, path);
        ++decoded;
    }
    return decoded;
}

} // namespace PhotoIntake
