#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {
const char panoramaTipsKey[] = "editor/PanoramaTips";
}

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
