#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Several files that appear together or not at all. Each is written in a hidden working folder of
// this process beside its final name, with the permissions a new file gets (or those of the file it
// replaces); commit() moves them all into place, or, if any move fails, puts back what was there
// before. Whatever was not committed is removed on destruction, and the working folder with it.
class PartFiles
{
    Q_DECLARE_TR_FUNCTIONS(PartFiles)
public:
    explicit PartFiles(const QStringList& targets);
    ~PartFiles();
    PartFiles(const PartFiles&) = delete;
    PartFiles& operator=(const PartFiles&) = delete;

    // The temporary file for target `index`, open for writing; null on failure.
    QFile* open(int index);
    // Flushes the file to the disk and closes it.
    bool close(int index);
    bool commit();

    QString errorString() const { return error; }

    // "NAME-001.EXT", "NAME-002.EXT", ... beside the file name given; at least three digits.
    static QStringList numberedNames(const QString& fileName, int count);
    // The files there now that are numbered after fileName, whatever their number of digits, in
    // the order of their numbers.
    static QStringList existingParts(const QString& fileName);

    // Removes the working folders in `folder` whose process ended without removing them (killed, or
    // the machine stopped). Returns how many went.
    static int sweep(const QString& folder);
    // From now on TERM, INT and HUP remove the unfinished files of every PartFiles before the process
    // ends as those signals end it.
    static void removeOnSignals();

private:
    void discard();
    bool fail(const QString& target, const QString& why);
    QString workFolder(QString* why);

    QStringList targets;
    std::vector<std::unique_ptr<QFile>> files;
    QString folder; // the working folder, once made
    int slot = -1;  // where the signal handler finds it
    bool committed = false;
    QString error;
};
