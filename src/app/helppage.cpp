#include "app/helppage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
const char* const kResourceRoot = ":/help";

// Copies every file of the compiled-in guide, replacing an older copy.
bool extractTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    bool any = false;
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return false;
        if (QFile::exists(target)) {
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            QFile::remove(target);
        }
        if (!QFile::copy(source, target))
            return false;
        // Resources copy as read-only; the next extraction must be able to replace them.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        any = true;
    }
    return any;
}
} // namespace

QString HelpPage::installedPath(const QString& applicationDir)
{
    return QDir::cleanPath(applicationDir + "/../share/seamwright/help/index.html");
}

QUrl HelpPage::locate(const QString& applicationDir, const QString& extractDir)
{
    const QString installed = installedPath(applicationDir);
    if (QFileInfo(installed).isFile())
        return QUrl::fromLocalFile(installed);
    if (!QFile::exists(QString(kResourceRoot) + "/index.html") || extractDir.isEmpty())
        return {};
    if (!extractTree(kResourceRoot, extractDir))
        return {};
    return QUrl::fromLocalFile(QDir(extractDir).filePath("index.html"));
}

QString HelpPage::defaultExtractDir()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!base.isEmpty())
        return QDir(base).filePath("help");
    // No data folder: a private one with a random name, which no other user can have made first.
    static QTemporaryDir fallback(QDir::temp().filePath("seamwright-help-XXXXXX"));
    return fallback.isValid() ? fallback.path() : QString();
}
