#include "project/recoverystore.h"

#include "intake/photodecoder.h"
#include "project/projectmanifest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace {

const char* manifestName = "manifest.json";
const char* lockName = "owner.lock";

} // namespace

QString RecoveryStore::rootFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("recovery");
}

RecoveryStore::RecoveryStore(QObject* parent) : QObject(parent) {}

RecoveryStore::~RecoveryStore()
{
    if (worker) {
        worker->wait();
        delete worker;
        worker = nullptr;
    }
    if (discardPending)
        discard();
}

void RecoveryStore::write(const StripState& state)
{
    discardPending = false;
    pending = state;
    if (!worker)
        startWrite();
}

void RecoveryStore::discard()
{
    pending.reset();
    if (worker) {
        discardPending = true;
        return;
    }
    // The lock goes before its folder, and the manifest before the lock, so no other process takes
    // the copy for a leftover in between.
    if (!folder.isEmpty())
        QFile::remove(QDir(folder).filePath(manifestName));
    lock.reset();
    if (!folder.isEmpty())
        remove(folder);
    folder.clear();
    photoFiles.clear();
}

void RecoveryStore::startWrite()
{
    const StripState state = *pending;
    pending.reset();
    worker = QThread::create([this, state] {
        QElapsedTimer timer;
        timer.start();
        const bool ok = writeNow(state);
        const qint64 elapsed = timer.elapsed();
        QMetaObject::invokeMethod(this, [this, elapsed, ok] {
            worker->wait();
            delete worker;
            worker = nullptr;
            emit written(elapsed, ok);
            if (discardPending) {
                discardPending = false;
                discard();
            } else if (pending) {
                startWrite();
            }
        });
    });
    worker->start(QThread::LowPriority);
}

// Runs in the worker thread: the shared images are only read.
bool RecoveryStore::writeNow(const StripState& state)
{
    if (folder.isEmpty()) {
        const QString name = QStringLiteral("%1-%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
        const QString path = QDir(rootFolder()).filePath(name);
        if (!QDir().mkpath(path))
            return false;
        lock = std::make_unique<QLockFile>(QDir(path).filePath(lockName));
        if (!lock->tryLock(0))
            return false;
        folder = path;
    }
    const QDir dir(folder);
    QStringList entries;
    QSet<QString> used;
    for (const PhotoState& photo : state.photos) {
        QString entry = photoFiles.value(photo.image.cacheKey());
        if (entry.isEmpty()) {
            QString extension;
            const QByteArray bytes = ProjectFile::photoBytes(photo, &extension);
            entry = QStringLiteral("photo-%1.%2").arg(++nextPhoto).arg(extension);
            QSaveFile file(dir.filePath(entry));
            if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
                !file.commit())
                return false;
            photoFiles.insert(photo.image.cacheKey(), entry);
        }
        entries << entry;
        used << entry;
    }
    QSaveFile manifest(dir.filePath(manifestName));
    const QByteArray json = ProjectManifest::write(state, entries);
    if (!manifest.open(QIODevice::WriteOnly) || manifest.write(json) != json.size() || !manifest.commit())
        return false;
    // Photos the strip no longer holds go once the manifest no longer names them.
    for (auto it = photoFiles.begin(); it != photoFiles.end();) {
        if (!used.contains(it.value())) {
            QFile::remove(dir.filePath(it.value()));
            it = photoFiles.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

QList<RecoveryStore::Leftover> RecoveryStore::leftovers()
{
    QList<Leftover> found;
    const QDir root(rootFolder());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(name));
        // A live owner holds the lock; a process that is gone leaves a stale one, which is taken over.
        QLockFile lock(dir.filePath(lockName));
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        const QFileInfo manifest(dir.filePath(manifestName));
        if (manifest.exists())
            found.append({dir.path(), manifest.lastModified()});
        else
            remove(dir.path());
    }
    std::sort(found.begin(), found.end(),
              [](const Leftover& a, const Leftover& b) { return a.savedAt > b.savedAt; });
    return found;
}

ProjectFile::Result RecoveryStore::restore(const QString& folder, StripState* state, QString* error)
{
    const QDir dir(folder);
    QFile in(dir.filePath(manifestName));
    const auto damaged = [&] {
        *error =
            ProjectFile::tr("\"%1\" is damaged and cannot be opened.").arg(QDir::toNativeSeparators(folder));
        return ProjectFile::Result::Damaged;
    };
    if (!in.open(QIODevice::ReadOnly))
        return damaged();
    ProjectManifest::Parsed parsed = ProjectManifest::read(in.readAll());
    if (parsed.kind != ProjectManifest::Parsed::Ok)
        return damaged();
    for (int i = 0; i < parsed.state.photos.size(); ++i) {
        PhotoState& photo = parsed.state.photos[i];
        const QString path = dir.filePath(QFileInfo(parsed.photoEntries[i]).fileName());
        photo.image = PhotoDecoder::decode(path);
        const Geometry::Crop& c = photo.crop;
        if (photo.image.isNull() || c.left < 0 || c.top < 0 || c.right > photo.image.width() ||
            c.bottom > photo.image.height() || c.width() < 1 || c.height() < 1)
            return damaged();
        QFile bytes(path);
        if (bytes.open(QIODevice::ReadOnly))
            photo.source.bytes = bytes.readAll();
        photo.source.path = parsed.photoEntries[i];
    }
    *state = parsed.state;
    return ProjectFile::Result::Opened;
}

void RecoveryStore::remove(const QString& folder)
{
    QDir(folder).removeRecursively();
}
