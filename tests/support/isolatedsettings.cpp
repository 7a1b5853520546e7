#include "support/isolatedsettings.h"

#include <QTemporaryDir>

QString isolateSettingsStore()
{
    static QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    return folder.path();
}
