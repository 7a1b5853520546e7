#include "export/partfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Working folders are named after the process that owns them, so that a later export can tell the
// ones whose owner is gone.
const char* const workPrefix = ".sw-parts-";

QString systemError(int code = errno)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString partName(int index)
{
    return QStringLiteral("p%1").arg(index);
}

QString backupName(int index)
{
    return QStringLiteral("o%1").arg(index);
}

// What the signal handler may touch: plain memory written before a slot is marked ready.
struct Slot
{
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    std::atomic<int> count{0};
    char path[PATH_MAX] = {};
};
Slot workFolders[8];

int takeSlot(const QByteArray& path)
{
    if (path.size() >= PATH_MAX - 16)
        return -1;
    for (int i = 0; i < int(std::size(workFolders)); ++i) {
        bool expected = false;
        if (!workFolders[i].taken.compare_exchange_strong(expected, true))
            continue;
        std::memcpy(workFolders[i].path, path.constData(), size_t(path.size()) + 1);
        workFolders[i].count = 0;
        workFolders[i].ready = true;
        return i;
    }
    return -1;
}

void releaseSlot(int index)
{
    if (index < 0)
        return;
    workFolders[index].ready = false;
    workFolders[index].taken = false;
}

// Builds "<folder>/<letter><number>" without allocating.
void unlinkNumbered(const char* folder, char letter, int number)
{
    char name[PATH_MAX + 16];
    size_t at = 0;
    while (folder[at] && at < PATH_MAX) {
        name[at] = folder[at];
        ++at;
    }
    name[at++] = '/';
    name[at++] = letter;
    char digits[12];
    int count = 0;
    do {
        digits[count++] = char('0' + number % 10);
        number /= 10;
    } while (number > 0);
    while (count > 0)
        name[at++] = digits[--count];
    name[at] = '\0';
    ::unlink(name);
}

extern "C" void removeUnfinished(int signalNumber)
{
    const int saved = errno;
    for (Slot& slot : workFolders) {
        if (!slot.ready.load())
            continue;
        const int count = slot.count.load();
        for (int i = 0; i < count; ++i) {
            unlinkNumbered(slot.path, 'p', i);
            unlinkNumbered(slot.path, 'o', i);
        }
        ::rmdir(slot.path);
    }
    errno = saved;
    // The handler was reset on entry: the signal now ends the process as it would have.
    ::raise(signalNumber);
}

bool processIsGone(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
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

QStringList PartFiles::existingParts(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    const QRegularExpression numbered(
        QStringLiteral("^%1-(\\d{3,})%2$")
            .arg(QRegularExpression::escape(stem), QRegularExpression::escape(suffix)));
    std::multimap<qint64, QString> found;
    const QDir dir = info.dir();
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = numbered.match(name);
        if (match.hasMatch())
            found.emplace(match.captured(1).toLongLong(), dir.filePath(name));
    }
    QStringList parts;
    for (const auto& entry : found)
        parts << entry.second;
    return parts;
}

int PartFiles::sweep(const QString& folder)
{
    static const QRegularExpression ours(QStringLiteral("^\\.sw-parts-(\\d+)-[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch() || !processIsGone(match.captured(1).toLongLong()))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info;
        // Only a real folder of this user's, never what a link points to.
        if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
            continue;
        QDirIterator entries(dir.filePath(name),
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (entries.hasNext())
            ::unlink(QFile::encodeName(entries.next()).constData());
        removed += ::rmdir(path.constData()) == 0;
    }
    return removed;
}

void PartFiles::removeOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = removeUnfinished;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        // A signal the process was started to ignore stays ignored.
        struct sigaction before = {};
        if (::sigaction(signalNumber, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signalNumber, &action, nullptr);
    }
}

bool PartFiles::fail(const QString& target, const QString& why)
{
    error = tr("Could not write \"%1\": %2").arg(QDir::toNativeSeparators(target), why);
    return false;
}

QString PartFiles::workFolder(QString* why)
{
    if (!folder.isEmpty())
        return folder;
    const QDir dir = QFileInfo(targets.first()).dir();
    if (!dir.exists()) {
        *why = tr("the folder does not exist");
        return {};
    }
    sweep(dir.path());
    QByteArray pattern = QFile::encodeName(
        dir.filePath(QStringLiteral("%1%2-XXXXXX").arg(QLatin1String(workPrefix)).arg(::getpid())));
    if (!::mkdtemp(pattern.data())) {
        *why = errno == EACCES || errno == EROFS ? tr("the folder cannot be written to") : systemError();
        return {};
    }
    folder = QFile::decodeName(pattern);
    slot = takeSlot(pattern);
    return folder;
}

QFile* PartFiles::open(int index)
{
    const QString& target = targets[index];
    QString why;
    const QString work = workFolder(&why);
    if (work.isEmpty()) {
        fail(target, why);
        return nullptr;
    }
    if (slot >= 0 && workFolders[slot].count.load() < index + 1)
        workFolders[slot].count = index + 1;
    // A new file follows the umask; one that replaces a file keeps that file's permissions.
    const QByteArray name = QFile::encodeName(QDir(work).filePath(partName(index)));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(target, systemError());
        return nullptr;
    }
    struct stat there;
    if (::stat(QFile::encodeName(target).constData(), &there) == 0 && S_ISREG(there.st_mode))
        ::fchmod(fd, there.st_mode & 07777);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        fail(target, file->errorString());
        ::close(fd);
        ::unlink(name.constData());
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
            backup = QDir(folder).filePath(backupName(i));
            const QByteArray from = QFile::encodeName(targets[i]), to = QFile::encodeName(backup);
            if (::link(from.constData(), to.constData()) != 0 && !QFile::copy(targets[i], backup)) {
                const QString why = systemError();
                dropBackups();
                return fail(targets[i], tr("the file there cannot be kept aside (%1)").arg(why));
            }
        }
        backups << backup;
    }

    for (int i = 0; i < count; ++i) {
        const QByteArray from = QFile::encodeName(QDir(folder).filePath(partName(i)));
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
        fail(targets[i], why);
        discard();
        return false;
    }
    committed = true;
    dropBackups();
    files.clear();
    discard();
    return true;
}

void PartFiles::discard()
{
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i])
            continue;
        files[i]->close();
        ::unlink(QFile::encodeName(QDir(folder).filePath(partName(int(i)))).constData());
    }
    files.clear();
    releaseSlot(slot);
    slot = -1;
    if (!folder.isEmpty())
        ::rmdir(QFile::encodeName(folder).constData());
    folder.clear();
}
