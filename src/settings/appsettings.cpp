#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const char panoramaTipsKey[] = "editor/PanoramaTips";
const char photoFolderKey[] = "places/PhotoFolder";
const char exportFolderKey[] = "places/ExportFolder";
const char keepWholePanoramaKey[] = "panorama/KeepWhole";

QString storedFolder(const char* key)
{
    const QString folder = QSettings().value(QLatin1String(key)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void storeFolder(const char* key, const QString& folder)
{
    if (!folder.isEmpty())
        QSettings().setValue(QLatin1String(key), QDir::cleanPath(QDir(folder).absolutePath()));
}
} // namespace

AppSettings::AppSettings()
{
    QCoreApplication::setOrganizationName(QStringLiteral("quillmoor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("seamwright.app"));
    QCoreApplication::setApplicationName(QStringLiteral("Seamwright"));
}

AppSettings* AppSettings::instance()
{
    static AppSettings settings;
    return &settings;
}

bool AppSettings::readPanoramaTips()
{
    if (tipsChecked)
        return true;
    tipsChecked = true;
    return QSettings().value(QLatin1String(panoramaTipsKey), false).toBool();
}

void AppSettings::writePanoramaTips(bool off)
{
    QSettings().setValue(QLatin1String(panoramaTipsKey), off);
}

QString AppSettings::lastPhotoFolder() const
{
    return storedFolder(photoFolderKey);
}

void AppSettings::setLastPhotoFolder(const QString& folder)
{
    storeFolder(photoFolderKey, folder);
}

QString AppSettings::lastExportFolder() const
{
    return storedFolder(exportFolderKey);
}

void AppSettings::setLastExportFolder(const QString& folder)
{
    storeFolder(exportFolderKey, folder);
}

bool AppSettings::keepWholePanorama() const
{
    return QSettings().value(QLatin1String(keepWholePanoramaKey), false).toBool();
}

void AppSettings::setKeepWholePanorama(bool keep)
{
    QSettings().setValue(QLatin1String(keepWholePanoramaKey), keep);
}
