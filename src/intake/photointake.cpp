#include "intake/photointake.h"

#include "intake/photodecoder.h"
#include "settings/appsettings.h"

#include <QFileDialog>
#include <QFileInfo>

namespace PhotoIntake {

QString displayName(const QString& path)
{
    return path.split(QLatin1Char('/')).last();
}

QStringList nameFilters(const QList<QByteArray>& formats)
{
    QStringList patterns;
    for (const QByteArray& format : formats)
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return {QStringLiteral("Image files(%1)").arg(patterns.join(QLatin1Char(' '))),
            QStringLiteral("Any files (*)")};
}

QStringList nameFilters()
{
    return nameFilters(PhotoDecoder::photoFormats());
}

QStringList chooseFiles(QWidget* parent, const QString& title, const QStringList& filters)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setWindowTitle(title);
    dialog.setNameFilters(filters);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDirectory(AppSettings::instance()->lastPhotoFolder());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList paths = dialog.selectedFiles();
    if (!paths.isEmpty())
        AppSettings::instance()->setLastPhotoFolder(QFileInfo(paths.first()).absolutePath());
    return paths;
}

QStringList localPaths(const QList<QUrl>& urls)
{
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    return paths;
}

} // namespace PhotoIntake
