#include "export/partfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// A new, unused name beside `target`, starting with a dot so that it stays out of sight.
QString unusedNameBeside(const QString& target, const char* purpose)
{
    const QFileInfo info(target);
    QTemporaryFile probe(info.dir().filePath(QStringLiteral(".%1.%2.XXXXXX").arg(info.fileName(), purpose)));
    probe.setAutoRemove(false);
    if (!probe.open())
        return {};
    return probe.fileName();
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PartFiles::PartFiles(const QStringList& targets) : targets(targets)
{
    files.resize(size_t(targets.size()));
}

PartFiles::~PartFiles()
{
    if (!committed)
        discard();
}

QStringList PartFiles::numberedNames(const QString& fileName, int count)
{
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    const int digits = std::max(3, int(QString::number(count).size()));
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << info.dir().filePath(
            QStringLiteral("%1-%2%3").arg(stem).arg(i, digits, 10, QLatin1Char('0')).arg(suffix));
    return names;
}

bool PartFiles::fail(const QString& target, const QString& why)
{
    error = tr("Could not write \"%1\": %2").arg(QDir::toNativeSeparators(target), why);
    return false;
}

QFile* PartFiles::open(int index)
{
    const QString& target = targets[index];
    const QString name = unusedNameBeside(target, "part");
    if (name.isEmpty()) {
        fail(target, QFileInfo(target).dir().exists() ? tr("the folder cannot be written to")
                                                      : tr("the folder does not exist"));
        return nullptr;
    }
    auto file = std::make_unique<QFile>(name);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(target, file->errorString());
        QFile::remove(name);
        return nullptr;
    }
    files[size_t(index)] = std::move(file);
    return files[size_t(index)].get();
}

bool PartFiles::close(int index)
{
    QFile* file = files[size_t(index)].get();
    if (!file)
        return false;
    const bool ok = file->flush() && ::fsync(file->handle()) == 0;
    const QString why = ok ? QString() : file->errorString();
    file->close();
    if (!ok)
        return fail(targets[index], why.isEmpty() ? systemError() : why);
    if (file->error() != QFileDevice::NoError)
        return fail(targets[index], file->errorString());
    return true;
}

bool PartFiles::commit()
{
    const int count = targets.size();
    for (int i = 0; i < count; ++i)
        if (!files[size_t(i)] || files[size_t(i)]->isOpen())
            return fail(targets[i], tr("the part was not finished"));

    // A hard link keeps each file that is replaced under a second name until every part is in place;
    // where links are not possible (some removable disks) a copy does.
    QStringList backups;
    const auto dropBackups = [&backups] {
        for (const QString& backup : backups)
            if (!backup.isEmpty())
                QFile::remove(backup);
    };
    for (int i = 0; i < count; ++i) {
        QString backup;
        const QFileInfo there(targets[i]);
        // A folder cannot be replaced; its move below fails and undoes the others.
        if (there.isSymLink() || (there.exists() && !there.isDir())) {
            backup = unusedNameBeside(targets[i], "old");
            const QByteArray from = QFile::encodeName(targets[i]), to = QFile::encodeName(backup);
            const bool kept =
                !backup.isEmpty() && (::unlink(to.constData()) == 0) &&
                (::link(from.constData(), to.constData()) == 0 || QFile::copy(targets[i], backup));
            if (!kept) {
                const QString why = systemError();
                if (!backup.isEmpty())
                    QFile::remove(backup);
                dropBackups();
                return fail(targets[i], tr("the file there cannot be kept aside (%1)").arg(why));
            }
        }
        backups << backup;
    }

    for (int i = 0; i < count; ++i) {
        const QByteArray from = QFile::encodeName(files[size_t(i)]->fileName());
        const QByteArray to = QFile::encodeName(targets[i]);
        if (std::rename(from.constData(), to.constData()) == 0)
            continue;
        const QString why = systemError();
        // Back to how it was: the files moved in so far go, the ones they replaced return. A file
        // that cannot return keeps its second name rather than being lost.
        for (int j = i - 1; j >= 0; --j) {
            const QByteArray target = QFile::encodeName(targets[j]);
            if (backups[j].isEmpty())
                ::unlink(target.constData());
            else if (std::rename(QFile::encodeName(backups[j]).constData(), target.constData()) == 0)
                backups[j].clear();
        }
        for (int j = i; j < count; ++j)
            if (!backups[j].isEmpty())
                QFile::remove(backups[j]);
        return fail(targets[i], why);
    }
    committed = true;
    dropBackups();
    files.clear();
    return true;
}

void PartFiles::discard()
{
    for (auto& file : files) {
        if (!file)
            continue;
        file->close();
        file->remove();
    }
    files.clear();
}
