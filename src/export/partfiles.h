#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Several files that appear together or not at all. Each is written to a temporary file beside its
// final name; commit() moves them all into place, or, if any move fails, puts back what was there
// before. Whatever was not committed is removed on destruction.
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

private:
    void discard();
    bool fail(const QString& target, const QString& why);

    QStringList targets;
    std::vector<std::unique_ptr<QFile>> files;
    bool committed = false;
    QString error;
};
