#include "project/projectfile.h"

#include "intake/photodecoder.h"
#include "project/projectmanifest.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <zip.h>

#include <memory>

namespace {

const char* manifestEntry = "manifest.json";

struct ZipCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipCloser>;

// The whole entry, or nothing when it is missing or fails its checksum.
std::optional<QByteArray> readEntry(zip_t* archive, const QString& name)
{
    zip_stat_t stat;
    const QByteArray entry = name.toUtf8();
    if (zip_stat(archive, entry.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size > quint64(PhotoDecoder::maxPixels) * 4)
        return std::nullopt;
    zip_file_t* file = zip_fopen(archive, entry.constData(), 0);
    if (!file)
        return std::nullopt;
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    // Reading past the end makes libzip check the CRC.
    char extra = 0;
    const bool whole = read == zip_int64_t(stat.size) && zip_fread(file, &extra, 1) == 0;
    zip_fclose(file);
    if (!whole)
        return std::nullopt;
    return bytes;
}

// Decoded exactly as the intake decodes a chosen file, so the strip gets the same pixels back.
QImage decodePhoto(const QByteArray& bytes)
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("seamwright-photo-XXXXXX")));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    return PhotoDecoder::decode(file.fileName());
}

bool cropFits(const Geometry::Crop& crop, const QSize& image)
{
    return crop.left >= 0 && crop.top >= 0 && crop.right <= image.width() && crop.bottom <= image.height() &&
           crop.width() >= 1 && crop.height() >= 1;
}

} // namespace

QByteArray ProjectFile::photoBytes(const PhotoState& photo, QString* extension)
{
    const PhotoSource& source = photo.source;
    if (!source.bytes.isEmpty()) {
        *extension = QFileInfo(source.path).suffix().toLower();
        return source.bytes;
    }
    const QFileInfo file(source.path);
    if (!source.path.isEmpty() && file.size() == source.size && file.lastModified() == source.modified &&
        PhotoDecoder::readHeader(source.path).size == photo.image.size()) {
        QFile in(source.path);
        if (in.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = in.readAll();
            if (bytes.size() == source.size) {
                *extension = file.suffix().toLower();
                return bytes;
            }
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!photo.image.save(&buffer, "PNG"))
        return {};
    *extension = QStringLiteral("png");
    return png;
}

bool ProjectFile::save(const StripState& state, const QString& fileName,
                       const std::optional<ToolSettings>& tools)
{
    error.clear();
    QList<QByteArray> photos;
    QStringList entries;
    for (int i = 0; i < state.photos.size(); ++i) {
        QString extension;
        photos.append(photoBytes(state.photos[i], &extension));
        if (photos.last().isEmpty()) {
            error = tr("The photo \"%1\" could not be kept.").arg(state.photos[i].name);
            return false;
        }
        entries.append(QStringLiteral("photos/%1.%2").arg(i + 1, 4, 10, QLatin1Char('0')).arg(extension));
    }
    const QByteArray manifest = ProjectManifest::write(state, entries, tools);

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &zipError) : nullptr;
    if (!archive) {
        if (memory)
            zip_source_free(memory);
        error = QString::fromUtf8(zip_error_strerror(&zipError));
        zip_error_fini(&zipError);
        return false;
    }
    zip_source_keep(memory);
    bool ok = true;
    const auto add = [&](const QString& name, const QByteArray& bytes, bool compress) {
        zip_source_t* data = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index =
            data ? zip_file_add(archive, name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (data)
                zip_source_free(data);
            ok = false;
            return;
        }
        // Photos are compressed already: they are stored as they are.
        zip_set_file_compression(archive, zip_uint64_t(index), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    };
    add(QString::fromLatin1(manifestEntry), manifest, true);
    for (int i = 0; i < photos.size() && ok; ++i)
        add(entries[i], photos[i], false);
    if (!ok || zip_close(archive) != 0) {
        error = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(memory);
        return false;
    }
    QByteArray container;
    if (zip_source_open(memory) == 0) {
        zip_source_seek(memory, 0, SEEK_END);
        container.resize(qsizetype(zip_source_tell(memory)));
        zip_source_seek(memory, 0, SEEK_SET);
        if (zip_source_read(memory, container.data(), zip_uint64_t(container.size())) != container.size())
            container.clear();
        zip_source_close(memory);
    }
    zip_source_free(memory);
    if (container.isEmpty()) {
        error = tr("The project could not be put together.");
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(container) != container.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

ProjectFile::Result ProjectFile::fail(Result result, const QString& fileName)
{
    const QString name = QDir::toNativeSeparators(fileName);
    switch (result) {
    case Result::NotAProject:
        error = tr("\"%1\" is not a Seamwright project.").arg(name);
        break;
    case Result::Newer:
        error =
            tr("\"%1\" was saved by a newer version of Seamwright. Update Seamwright to open it.").arg(name);
        break;
    case Result::Damaged:
        error = tr("\"%1\" is damaged and cannot be opened.").arg(name);
        break;
    default:
        error = tr("\"%1\" cannot be read: %2").arg(name, error);
        break;
    }
    return result;
}

ProjectFile::Result ProjectFile::open(const QString& fileName, StripState* state,
                                      std::optional<ToolSettings>* tools)
{
    error.clear();
    QFile in(fileName);
    if (!PhotoDecoder::isRegularFile(fileName) || !in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return fail(Result::Unreadable, fileName);
    }
    const QByteArray container = in.readAll();
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source =
        zip_source_buffer_create(container.constData(), zip_uint64_t(container.size()), 0, &zipError);
    Archive archive(source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError) : nullptr);
    const int zipCode = zip_error_code_zip(&zipError);
    zip_error_fini(&zipError);
    if (!archive) {
        if (source)
            zip_source_free(source);
        // A zip cut short has lost its directory but still starts as one.
        const bool zipStart = container.startsWith(QByteArray("PK\x03\x04", 4));
        return fail(zipCode == ZIP_ER_NOZIP && !zipStart ? Result::NotAProject : Result::Damaged, fileName);
    }
    if (zip_name_locate(archive.get(), manifestEntry, 0) < 0)
        return fail(Result::NotAProject, fileName);
    const std::optional<QByteArray> manifest = readEntry(archive.get(), QString::fromLatin1(manifestEntry));
    if (!manifest)
        return fail(Result::Damaged, fileName);
    ProjectManifest::Parsed parsed = ProjectManifest::read(*manifest);
    if (parsed.kind == ProjectManifest::Parsed::NotAProject)
        return fail(Result::NotAProject, fileName);
    if (parsed.kind == ProjectManifest::Parsed::Newer)
        return fail(Result::Newer, fileName);
    if (parsed.kind != ProjectManifest::Parsed::Ok)
        return fail(Result::Damaged, fileName);
    for (int i = 0; i < parsed.state.photos.size(); ++i) {
        PhotoState& photo = parsed.state.photos[i];
        const std::optional<QByteArray> bytes = readEntry(archive.get(), parsed.photoEntries[i]);
        if (!bytes)
            return fail(Result::Damaged, fileName);
        photo.image = decodePhoto(*bytes);
        if (photo.image.isNull() || !cropFits(photo.crop, photo.image.size()))
            return fail(Result::Damaged, fileName);
        photo.source.bytes = *bytes;
        photo.source.path = parsed.photoEntries[i];
    }
    *state = parsed.state;
    if (tools)
        *tools = parsed.tools;
    return Result::Opened;
}
