#pragma once

#include "canvas/stripstate.h"
#include "project/projectfile.h"

#include <QDateTime>
#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>

class QThread;

// The recovery copy of one process's strip: a folder of the application's data folder holding the
// manifest and each photo's bytes. Written in the background, a photo once and the manifest atomically
// after it; a lock file held while the process runs tells a live copy from one left by a process that
// ended without closing, so two processes never take each other's copy.
class RecoveryStore : public QObject
{
    Q_OBJECT
public:
    explicit RecoveryStore(QObject* parent = nullptr);
    // Waits for a write under way; the copy stays, as a crash would leave it, unless discard() was called.
    ~RecoveryStore() override;

    // Writes the state in the background; while a write runs only the latest state waits for its turn.
    void write(const StripState& state);
    // Removes the copy, once any write under way is over.
    void discard();
    bool isWriting() const { return worker != nullptr; }

    struct Leftover
    {
        QString folder;
        QDateTime savedAt;
    };
    // Copies left by processes no longer running, newest first. Those of running processes are left alone.
    static QList<Leftover> leftovers();
    // The strip a copy holds; errorString() of the project file on failure.
    static ProjectFile::Result restore(const QString& folder, StripState* state, QString* error);
    static void remove(const QString& folder);
    static QString rootFolder();

signals:
    // A write ended; how long it took in the background.
    void written(qint64 milliseconds, bool ok);

private:
    void startWrite();
    bool writeNow(const StripState& state);

    QString folder;
    std::unique_ptr<QLockFile> lock;
    QThread* worker = nullptr;
    std::optional<StripState> pending;
    bool discardPending = false;
    // Photo entries already on disk, by the pixels' cache key; touched by one write at a time.
    QHash<qint64, QString> photoFiles;
    int nextPhoto = 0;
};
